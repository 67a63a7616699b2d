#pragma once
// Command-line options of brantle-cli's phone commands.

#include <cstdint>
#include <string>
#include <vector>

namespace brantle::cli {

struct Options {
  std::string port;            // --port PATH
  std::string simulate;        // --simulate FAMILY: start a virtual phone and use it
  std::string family;          // --family E700|E800|E330|S500|Opti, in any case
  std::string model;           // --model NAME: the OptiFlash model (C200 when not given)
  uint32_t speed = 115200;     // --speed N: for the E families one of kOfferedSpeeds
  uint8_t waitStates = 0;      // --wait-states N
  std::string trace;           // --trace FILE
  bool yes = false;            // --yes: answer Yes to questions (unknown flash)
  uint32_t bootTimeoutS = 60;  // --boot-timeout SECONDS: how long to wait for the phone
  bool help = false;
  bool version = false;
  bool overwrite = false;  // --overwrite: replace target files that exist

  // identify | dump | dump-s500 | flash | erase | tfs, and what follows it.
  std::string command;
  std::vector<std::string> operands;

  // dump / erase: the region, as "firmware", "eeprom", "full" or "START-END".
  std::string region;
  std::string format = "bin";  // dump --format bin|s3|dif
  std::string output;          // -o FILE (dump-s500: the stem of the four files)
  // DIFs written (the dump's DIF, an undo DIF): compression and comment file.
  bool zlib = false;
  std::string commentFile;
  std::string undo;  // --undo FILE: record what is overwritten or erased

  // dump --resume: continue an interrupted dump into -o FILE.
  bool resume = false;
  // flash / erase: read back what was written (--verify); leave out sectors that
  // were read and stay the same (--skip-unchanged).
  bool verify = false;
  bool skipUnchanged = false;

  // flash
  std::string eeprom = "ask";  // --eeprom ask|yes|no
  std::string compare = "bytewise";
  std::string bin1, bin2, ogm1, ogm2;
  std::string fileOffset, length, phoneOffset, offset;  // hexadecimal texts
};

// Parses argv; on error returns false with a message in error. The family is
// given its proper spelling.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// "E700", "E800", "E330", "S500" or "Opti" for that name in any case; empty for
// any other name.
std::string CanonicalFamily(const std::string& name);

}  // namespace brantle::cli
