#pragma once
// Reading a NOR region from an E-family phone: whole 64 KB sectors over the line,
// then the parts of the first and last sector outside the region cut away.

#include <cstdint>
#include <functional>
#include <string>

#include "engine/ktze_flasher.h"

namespace brantle {

// The E engine addresses 256 sectors: the region must lie inside 16 MiB.
bool ERegionValid(uint32_t start, uint32_t end);

// Reads start..end (inclusive) into data. Between sectors, a true cancelled()
// stops the read (result kOk, data empty, *wasCancelled set).
int EReadRegion(EEngine& engine, uint32_t start, uint32_t end, std::string& data,
                const std::function<bool()>& cancelled = {}, bool* wasCancelled = nullptr);

}  // namespace brantle
