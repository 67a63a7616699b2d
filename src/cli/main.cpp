// brantle-cli: the phone operations and the offline service from a shell, for
// scripts and for technicians without a desktop.

#include <cstdio>
#include <string>
#include <vector>

#include "cli_options.h"
#include "offline_commands.h"
#include "phone_commands.h"

int main(int argc, char** argv) {
  using namespace brantle::cli;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (IsOfflineCommand(args)) return RunOfflineCommand(args);
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error)) {
    std::fprintf(stderr, "brantle-cli: %s\n\n%s\n%s", error.c_str(), UsageText(), OfflineUsageText());
    return kExitUsage;
  }
  if (options.help) {
    std::printf("%s\n%s", UsageText(), OfflineUsageText());
    return 0;
  }
  return RunPhoneCommand(options);
}
