#pragma once
// Runs a program of the build (from build/bin) with arguments and collects its
// exit status and output, for tests of the command-line front ends. The program gets
// a home of its own: HOME and the XDG folders lie in a temporary folder.

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace brantle::test {

struct ProgramResult {
  int status = -1;  // exit status; -1 when it did not exit normally
  std::string out;  // standard output
  std::string err;  // standard error
};

// watch, when given, sees the standard error collected so far after each piece of
// it arrives, with the child's process id (to send it a signal, say). env holds
// "NAME=value" entries set for the program on top of this process's environment.
using ProgramWatch = std::function<void(pid_t pid, const std::string& err)>;
ProgramResult RunProgram(const std::string& path, const std::vector<std::string>& args,
                         const ProgramWatch& watch = {}, const std::vector<std::string>& env = {});

// As RunProgram, but with a terminal (a pseudo-terminal) as standard input on which
// typed has been typed; standard output and error are still collected apart. With
// errorsToo, standard error is that terminal as well (and nothing is typed).
ProgramResult RunProgramOnTerminal(const std::string& path, const std::vector<std::string>& args,
                                   const std::string& typed, bool errorsToo = false);

}  // namespace brantle::test
