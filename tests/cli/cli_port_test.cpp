// A port that cannot be opened: the window's line, then which port and why, for
// each cause a test can set up (the others are covered by the diagnosis's own tests).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "cli_helpers.h"
#include "sim/pty.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::kCli;

test::ProgramResult Identify(const std::string& port) {
  return test::RunProgram(kCli, {"--port", port, "--family", "E700", "identify"});
}

// The two lines of the box, one after the other (why: the start of the second).
void ExpectPortError(const test::ProgramResult& r, const std::string& why) {
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("Error: communications initialization failed\n" + why), std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("Turn on the phone"), std::string::npos) << r.err;
}

TEST(CliPort, EachCauseIsNamedWithThePort) {
  test::TempDir dir;
  dir.Write("plain.bin", "a file");
  std::filesystem::create_directory(dir.File("folder"));

  // The list of the system's ports follows; which ports there are depends on the machine.
  ExpectPortError(Identify(dir.File("ttyUSB9")), dir.File("ttyUSB9") + " does not exist. ");
  ExpectPortError(Identify(dir.File("plain.bin")),
                  dir.File("plain.bin") + " is a regular file, not a serial device.\n");
  ExpectPortError(Identify(dir.File("folder")),
                  dir.File("folder") + " is a folder, not a serial device.\n");
  ExpectPortError(Identify("/dev/null"),
                  "/dev/null is a character device but no terminal line, not a serial device.\n");
}

TEST(CliPort, ALineHeldByAnotherProgramNamesIt) {
  sim::PtyLine line;
  std::string error;
  ASSERT_TRUE(line.Open(error)) << error;
  const int held = open(line.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
  const auto r = Identify(line.Path());
  close(held);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("Error: communications initialization failed\n" + line.Path() +
                       " is in use by another program: "),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("(process " + std::to_string(getpid()) + ")"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace brantle
