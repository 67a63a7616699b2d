#pragma once
// The operation log of one command-line run: opened by main from --log FILE and
// --no-log (default: the state folder's brantle.log), written by the command, the
// questions asked on the terminal and the line the run ends with. A log that cannot
// be written is told once on stderr and stops nothing.

#include <string>
#include <vector>

#include "log/operation_log.h"

namespace brantle::cli {

// Takes --log FILE and --no-log out of args (they may stand anywhere) and opens the
// run's log. False with error set for --log without a file.
bool OpenRunLog(std::vector<std::string>& args, std::string& error);

// The run's log; nullptr before OpenRunLog or with --no-log.
OperationLog* RunLog();

// One event of the run (nothing without a log).
void LogRun(const std::string& event);

}  // namespace brantle::cli
