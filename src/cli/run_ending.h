#pragma once
// The line every phone command ends with, saying what happened, and the exit
// status that says the same: completed (0), cancelled with what was left untouched
// (1, or 128 + the signal), failed with the reason (1).

#include <string>

#include "cli_options.h"
#include "operations/operation_tally.h"

namespace brantle::cli {

struct Ending {
  enum class Kind { Completed, Cancelled, Failed };
  Kind kind = Kind::Completed;
  std::string text;
  int signal = 0;  // SIGTERM or SIGHUP that cancelled the run
};

// What a run did besides its command.
struct RunFacts {
  std::string start, end;  // dump and erase: the region
  bool undoSaved = false;  // the undo DIF was written
  OperationTally tally;    // what the phone confirmed: written, erased, left out
};

// What the command did when it went through.
std::string CompletedText(const Options& o, const RunFacts& facts);
// What a command stopped once it had begun left as it was.
std::string UntouchedText(const Options& o, const RunFacts& facts);
// Where the undo data of a failed flash or erase is, if it was saved.
std::string UndoSavedText(const Options& o, const RunFacts& facts);

// Prints the line and gives the exit status.
int End(const Ending& ending);

}  // namespace brantle::cli
