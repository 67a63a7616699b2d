#pragma once
// What a phone command takes from files and typed texts, read and checked before
// the phone is touched: a mistake found after the connect would leave the person
// waiting for a phone that is then not used, or write only part of what was asked.

#include <string>

#include "cli_options.h"
#include "formats/nor_regions.h"

namespace brantle::cli {

// What the checks produced for the command to use.
struct CheckedInputs {
  std::string hexBytes;  // flash hex: the bytes the typed text stands for
};

// 0 when the command can go ahead, else the exit status after the message.
int CheckInputs(const Options& options, const NorAreas& areas, CheckedInputs& inputs);

}  // namespace brantle::cli
