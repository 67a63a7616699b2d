#pragma once
// The line every phone command ends with, saying what happened, and the exit
// status that says the same: completed (0), cancelled with what was left untouched
// (1, or 128 + the signal), failed with the reason (1).

#include <string>

#include "cli_options.h"

namespace brantle::cli {

struct Ending {
  enum class Kind { Completed, Cancelled, Failed };
  Kind kind = Kind::Completed;
  std::string text;
  int signal = 0;  // SIGTERM or SIGHUP that cancelled the run
};

// What the command did when it went through. start and end are the region of dump
// and erase; undoSaved: the undo DIF was written.
std::string CompletedText(const Options& o, const std::string& start, const std::string& end,
                          bool undoSaved);
// What a command stopped once it had begun left as it was.
std::string UntouchedText(const Options& o, bool undoSaved);

// Prints the line and gives the exit status.
int End(const Ending& ending);

}  // namespace brantle::cli
