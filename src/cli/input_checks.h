#pragma once
// What a phone command takes from files and typed texts, read and checked before
// the phone is touched: a mistake found after the connect would leave the person
// waiting for a phone that is then not used, or write only part of what was asked.

#include <string>
#include <vector>

#include "cli_options.h"
#include "dif/DIFFiles.h"
#include "formats/nor_regions.h"

namespace brantle::cli {

// What the checks produced for the command to use.
struct CheckedInputs {
  std::string hexBytes;  // flash hex: the bytes the typed text stands for
};

// The files and typed data of flash and of tfs flash|put, read and checked as the
// command will use them. 0 when the command can go ahead, else the exit status
// after the message.
int CheckInputs(const Options& options, const NorAreas& areas, CheckedInputs& inputs);

// The files flash reads.
std::vector<std::string> FlashInputs(const Options& options);

// Loads every DIF as the merge will; false after a message naming each file that
// cannot be used (the merge would leave it out and go on with the others).
bool CheckDifFiles(const std::vector<std::string>& files, std::vector<TDIFFile>* loaded = nullptr);

// dif apply: every file readable and valid, every --undo file holding undo data,
// and something of every file going to the BIN or TFS file given. 0 to go ahead,
// else the exit status after the message.
int CheckDifApply(const std::vector<std::string>& files, const std::vector<std::string>& undo,
                  const std::vector<std::string>& noTfs, const std::string& bin,
                  const std::string& tfs);

}  // namespace brantle::cli
