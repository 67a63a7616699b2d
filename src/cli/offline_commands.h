#pragma once
// The commands that work on files only: dif info|create|apply and convert.

#include <string>
#include <vector>

namespace brantle::cli {

// True when args start with an offline command word ("dif" or "convert").
bool IsOfflineCommand(const std::vector<std::string>& args);
// Runs it; returns the exit status (0, 1 after a message, 2 for bad options).
int RunOfflineCommand(const std::vector<std::string>& args);

}  // namespace brantle::cli
