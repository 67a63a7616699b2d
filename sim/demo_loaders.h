#pragma once
// Demo loader files: the right names and sizes, a marker text at the start and a
// deterministic filler. They let the virtual phone and the README demo run
// without real loaders; the engine refuses to send them to a real line.

#include <string>

namespace brantle::sim {

// Writes every loader file the engine knows into folder (created if needed).
// Returns false with a message in error on failure.
bool WriteDemoLoaders(const std::string& folder, std::string& error);

}  // namespace brantle::sim
