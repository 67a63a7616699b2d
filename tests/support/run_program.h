#pragma once
// Runs a program of the build (from build/bin) with arguments and collects its
// exit status and output, for tests of the command-line front ends.

#include <string>
#include <vector>

namespace brantle::test {

struct ProgramResult {
  int status = -1;  // exit status; -1 when it did not exit normally
  std::string out;  // standard output
  std::string err;  // standard error
};

ProgramResult RunProgram(const std::string& path, const std::vector<std::string>& args);

}  // namespace brantle::test
