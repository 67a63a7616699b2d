// brantle-cli: the phone operations and the offline service from a shell, for
// scripts and for technicians without a desktop.

#include <cstdio>
#include <string>
#include <vector>

#include "cli_options.h"
#include "lang/collation.h"
#include "lang/lang_get.h"
#include "offline_commands.h"
#include "phone_commands.h"
#include "tfs_commands.h"

int main(int argc, char** argv) {
  using namespace brantle::cli;
  brantle::UseCollationOfEnvironment();
  const std::vector<std::string> args(argv + 1, argv + argc);
  brantle::SetMissingKeyReporter(
      [](const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); });
  if (IsOfflineCommand(args)) return RunOfflineCommand(args);
  if (IsTfsCommand(args)) return RunTfsCommand(args);
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error)) {
    std::fprintf(stderr, "brantle-cli: %s\n\n%s\n%s%s", error.c_str(), UsageText(),
                 OfflineUsageText(), TfsUsageText());
    return kExitUsage;
  }
  if (options.help) {
    std::printf("%s\n%s%s", UsageText(), OfflineUsageText(), TfsUsageText());
    return 0;
  }
  return RunPhoneCommand(options);
}
