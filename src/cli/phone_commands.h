#pragma once
// The commands that talk to a phone: identify, dump, flash, erase and the file
// system.

#include "cli_options.h"

namespace brantle::cli {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int RunPhoneCommand(const Options& options);

}  // namespace brantle::cli
