#pragma once
// Command-line options of brantle-cli.

#include <cstdint>
#include <string>
#include <vector>

namespace brantle::cli {

struct Options {
  std::string port;            // --port PATH
  std::string simulate;        // --simulate FAMILY: start a virtual phone and use it
  std::string family;          // --family E700|E800|E330|S500|Opti
  std::string model;           // --model NAME: the OptiFlash model (C200 when not given)
  uint32_t speed = 115200;     // --speed N
  uint8_t waitStates = 0;      // --wait-states N
  std::string trace;           // --trace FILE
  bool yes = false;            // --yes: continue with an unknown flash
  uint32_t bootTimeoutS = 60;  // --boot-timeout SECONDS: how long to wait for the phone
  std::string command;         // identify | dump
  // dump
  bool haveStart = false, haveEnd = false;
  uint32_t start = 0, end = 0;
  std::string output;  // -o FILE
  bool help = false;
};

// Parses argv; on error returns false with a message in error.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

const char* UsageText();

}  // namespace brantle::cli
