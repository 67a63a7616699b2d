// brantle-cli: the phone operations and the offline service from a shell, for
// scripts and for technicians without a desktop.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli_options.h"
#include "help_texts.h"
#include "lang/collation.h"
#include "lang/lang_get.h"
#include "offline_commands.h"
#include "phone_commands.h"
#include "run_log.h"
#include "tfs_commands.h"

namespace {

int Run(const std::vector<std::string>& args) {
  using namespace brantle::cli;
  if (IsOfflineCommand(args)) return RunOfflineCommand(args);
  if (IsTfsCommand(args)) return RunTfsCommand(args);
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error)) return UsageError(error, options.command);
  if (options.help) {
    const std::string help = CommandHelp(options.command);
    std::fputs((help.empty() ? MainHelp() : help).c_str(), stdout);
    return 0;
  }
  return RunPhoneCommand(options);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brantle::cli;
  brantle::UseCollationOfEnvironment();
  const std::vector<std::string> args(argv + 1, argv + argc);
  brantle::SetMissingKeyReporter(
      [](const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); });
  if (std::find(args.begin(), args.end(), "--version") != args.end()) {
    std::printf("%s\n", VersionText().c_str());
    return 0;
  }
  const bool help = std::find(args.begin(), args.end(), "--help") != args.end() ||
                    std::find(args.begin(), args.end(), "-h") != args.end();
  std::vector<std::string> rest = args;
  std::string error;
  if (!OpenRunLog(rest, error)) return UsageError(error, "");
  // Asking for help does nothing worth a line in the log.
  if (!help) {
    std::string command = "brantle-cli";
    for (const std::string& a : args) command += " " + a;
    LogRun("command: " + command);
  }
  const int status = Run(rest);
  if (!help) LogRun("exit status " + std::to_string(status));
  return status;
}
