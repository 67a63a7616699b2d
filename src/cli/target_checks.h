#pragma once
// The files a command writes, checked before anything is touched: each must be
// writable where it is named, an existing one is replaced only when the person says
// so (on a terminal) or gave --overwrite, and a file the command reads is never one
// of them (an undo file must not be replaced by the operation that would need it).

#include <string>
#include <vector>

namespace brantle::cli {

struct TargetCheck {
  std::vector<std::string> targets;  // the files to be written; empty names are skipped
  std::vector<std::string> inputs;   // the files read
  bool overwrite = false;            // --overwrite
};

// 0 when the command may write its targets; else the exit status after the
// message: 2 when refused, 1 when the person chose to keep an existing file.
int CheckTargets(const TargetCheck& check, const std::string& command);

}  // namespace brantle::cli
