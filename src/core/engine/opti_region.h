#pragma once
// Reading a NOR region from an OptiFlash phone, in pieces of at most 64 KB.

#include <cstdint>
#include <functional>
#include <string>

#include "engine/ktze_flasher_opti.h"

namespace brantle {

// Reads start..end (inclusive) into data; an empty region (start > end) reads
// nothing. Between pieces, a true cancelled() stops the read (result 0, data
// empty, *wasCancelled set).
int OptiReadRegion(OptiEngine& engine, uint32_t start, uint32_t end, std::string& data,
                   const std::function<bool()>& cancelled = {}, bool* wasCancelled = nullptr);

}  // namespace brantle
