#include "files/simulator_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "files/program_folder.h"

namespace brantle {

SimulatorProcess::~SimulatorProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  if (output_) std::fclose(output_);
}

bool SimulatorProcess::Start(const std::string& family, std::string& error,
                             const std::string& model) {
  const std::string exe = ExecutableFolder() + "/brantle-phonesim";
  int fds[2];
  if (pipe(fds) != 0) return error = "cannot start the virtual phone (pipe)", false;
  pid_ = fork();
  if (pid_ < 0) return error = "cannot start the virtual phone (fork)", false;
  if (pid_ == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    if (model.empty())
      execl(exe.c_str(), exe.c_str(), "--family", family.c_str(), static_cast<char*>(nullptr));
    else
      execl(exe.c_str(), exe.c_str(), "--family", family.c_str(), "--model", model.c_str(),
            static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // The first line the virtual phone prints is its pseudo-terminal. The pipe stays
  // open so that anything it prints later cannot kill it.
  output_ = fdopen(fds[0], "r");
  char line[512] = {0};
  const bool got = output_ && std::fgets(line, sizeof line, output_) != nullptr;
  port_ = got ? std::string(line) : std::string();
  while (!port_.empty() && (port_.back() == '\n' || port_.back() == '\r')) port_.pop_back();
  if (port_.empty()) return error = "the virtual phone did not start (" + exe + ")", false;
  return true;
}

}  // namespace brantle
