#pragma once
// Demo loader files: the right names and sizes, a marker text at the start and a
// deterministic filler. They let the virtual phone run without real loaders (the
// build's demo set, the stand-ins of --simulate); the engine refuses to send them to
// a real line.

#include <string>

namespace brantle {

// Writes every loader file the engine knows into folder (created if needed).
// Returns false with a message in error on failure.
bool WriteDemoLoaders(const std::string& folder, std::string& error);

}  // namespace brantle
