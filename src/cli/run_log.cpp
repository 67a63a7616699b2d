#include "run_log.h"

#include <cstdio>
#include <memory>

namespace brantle::cli {
namespace {

std::unique_ptr<OperationLog> runLog;

}  // namespace

bool OpenRunLog(std::vector<std::string>& args, std::string& error) {
  std::string path = OperationLog::DefaultPath();
  for (size_t i = 0; i < args.size();) {
    if (args[i] == "--no-log") {
      path.clear();
      args.erase(args.begin() + i);
    } else if (args[i] == "--log") {
      if (i + 1 >= args.size() || args[i + 1].empty()) return error = "--log needs a FILE", false;
      path = args[i + 1];
      args.erase(args.begin() + i, args.begin() + i + 2);
    } else {
      ++i;
    }
  }
  if (path.empty()) return true;
  runLog = std::make_unique<OperationLog>("cli", path);
  runLog->OnProblem = [](const std::string& problem) {
    std::fprintf(stderr, "brantle-cli: the operation log is not written (%s)\n", problem.c_str());
  };
  return true;
}

OperationLog* RunLog() {
  return runLog.get();
}

void LogRun(const std::string& event) {
  if (runLog) runLog->Add("", event);
}

}  // namespace brantle::cli
