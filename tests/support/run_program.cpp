#include "support/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "support/temp_dir.h"

extern char** environ;

namespace brantle::test {
namespace {

std::string NameOf(const std::string& entry) {
  return entry.substr(0, entry.find('='));
}

size_t EnvironmentSize() {
  size_t n = 0;
  while (environ[n] != nullptr) ++n;
  return n;
}

// entries with those of over put over them.
std::vector<std::string> Overlay(const std::vector<std::string>& entries,
                                 const std::vector<std::string>& over) {
  std::vector<std::string> all;
  for (const std::string& entry : entries) {
    bool replaced = false;
    for (const auto& own : over) replaced = replaced || NameOf(own) == NameOf(entry);
    if (!replaced) all.push_back(entry);
  }
  all.insert(all.end(), over.begin(), over.end());
  return all;
}

// This process's environment with a home of the program's own (nothing a test runs
// writes into the person's) and the entries of env put over it; built before the
// fork, since the child may only call async-signal-safe functions.
std::vector<std::string> ChildEnvironment(const std::string& home,
                                          const std::vector<std::string>& env) {
  const std::vector<std::string> ownHome = {
      "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config",
      "XDG_DATA_HOME=" + home + "/.local/share", "XDG_CACHE_HOME=" + home + "/.cache",
      "XDG_STATE_HOME=" + home + "/.local/state"};
  return Overlay(Overlay(std::vector<std::string>(environ, environ + EnvironmentSize()), ownHome),
                 env);
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (auto& t : texts) pointers.push_back(&t[0]);
  pointers.push_back(nullptr);
  return pointers;
}

// input: the program's standard input. terminal, when not -1, is the slave of a
// pseudo-terminal whose master is terminalMaster: the program's standard error then
// goes there and is read from the master; Run closes terminal.
ProgramResult Run(const std::string& path, const std::vector<std::string>& args,
                  const ProgramWatch& watch, const std::vector<std::string>& env, int input,
                  int terminal = -1, int terminalMaster = -1) {
  ProgramResult result;
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return result;
  if (terminal >= 0) {
    close(err[1]);
    close(err[0]);
    err[1] = dup(terminal);
    err[0] = dup(terminalMaster);
  }
  std::vector<std::string> argTexts = {path};
  argTexts.insert(argTexts.end(), args.begin(), args.end());
  const TempDir home;
  std::vector<std::string> envTexts = ChildEnvironment(home.path(), env);
  const std::vector<char*> argv = Pointers(argTexts), envp = Pointers(envTexts);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    dup2(input, STDIN_FILENO);
    for (int fd : {out[0], out[1], err[0], err[1], input}) close(fd);
    execve(path.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  // The master reads the end of the program's output only once no one else holds
  // the terminal open.
  if (terminal >= 0) close(terminal);
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open_count = 2;
  while (open_count > 0 && poll(fds, 2, -1) > 0) {
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      char buf[4096];
      // A terminal's master reads EIO once the program has closed its end.
      const ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n > 0) {
        sinks[i]->append(buf, static_cast<size_t>(n));
        if (i == 1 && watch) watch(pid, result.err);
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_count;
      }
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace

ProgramResult RunProgram(const std::string& path, const std::vector<std::string>& args,
                         const ProgramWatch& watch, const std::vector<std::string>& env) {
  const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
  ProgramResult result = Run(path, args, watch, env, null);
  close(null);
  return result;
}

ProgramResult RunProgramOnTerminal(const std::string& path, const std::vector<std::string>& args,
                                   const std::string& typed, bool errorsToo) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return {};
  const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (terminal < 0) return {};
  ProgramResult result;
  if (errorsToo) {
    // Raw, so that what the program writes comes back as written.
    termios tio{};
    tcgetattr(terminal, &tio);
    cfmakeraw(&tio);
    tcsetattr(terminal, TCSANOW, &tio);
    result = Run(path, args, {}, {}, terminal, terminal, master);
  } else {
    // The line discipline keeps what was typed until the program reads a line.
    if (write(master, typed.data(), typed.size()) == ssize_t(typed.size()))
      result = Run(path, args, {}, {}, terminal);
    close(terminal);
  }
  close(master);
  return result;
}

}  // namespace brantle::test
