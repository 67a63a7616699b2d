#pragma once
// What a phone command takes from files and typed texts, read and checked before
// the phone is touched: a mistake found after the connect would leave the person
// waiting for a phone that is then not used, or write only part of what was asked.

#include <string>
#include <vector>

#include "cli_options.h"
#include "dif/DIFFiles.h"
#include "formats/input_file_problem.h"
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

// Each input file as the command will read it; one that cannot be used is named with
// the reason ("fw.bin: No such file or directory", "... is empty"). Empty names are
// options not given. True when every file can be read.
bool CheckReadable(const std::vector<std::string>& files, EmptyInput empty = EmptyInput::Refused);

// The EEPROM question comes for sure when the command writes or erases in the
// EEPROM area (touches); a command that could only stop there does not begin without
// a terminal to ask on or an answer given (--eeprom, --yes). 0 to go ahead.
int CheckEepromQuestion(const Options& options, const NorAreas& areas, bool touches);

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
