// --simulate without real loaders: the command line makes stand-in demo loaders for
// the run, says so in one line, and leaves nothing behind, also when stopped by a
// signal. Real loaders, when there, are what the virtual phone is sent.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "cli_helpers.h"
#include "engine/ktze_loaders.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace brantle::test {
namespace {

namespace fs = std::filesystem;

bool Empty(const std::string& folder) { return fs::is_empty(folder); }

class CliStandIns : public ::testing::Test {
 protected:
  TempDir loaders;  // the loaders folder the program is given: empty to start with
  TempDir tmp;      // its $TMPDIR, where the stand-ins go
  std::vector<std::string> Env() const {
    return {"BRANTLE_LOADERS=" + loaders.path(), "TMPDIR=" + tmp.path()};
  }
};

TEST_F(CliStandIns, WithoutLoadersTheVirtualPhoneIsServedStandInsThatAreRemovedAfterwards) {
  const ProgramResult r = RunProgram(kCli, {"--simulate", "E800", "identify"}, {}, Env());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Flash: Samsung"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("\nStand-in demo loaders (no real loaders in " + loaders.path() + ")\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("not found"), std::string::npos) << r.err;
  EXPECT_TRUE(Empty(tmp.path()));
  EXPECT_TRUE(Empty(loaders.path()));
}

TEST_F(CliStandIns, TheStandInsAreRemovedWhenASignalEndsTheRun) {
  TempDir out;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    bool sent = false, present = false;
    const ProgramResult r = RunProgram(
        kCli,
        {"--simulate", "E330", "dump", "--region", "full", "-o",
         out.File(std::to_string(signal) + ".bin")},
        [&](pid_t pid, const std::string& err) {
          // Told once the virtual phone runs: the whole dump lies ahead.
          if (sent || err.find("Stand-in demo loaders") == std::string::npos) return;
          present = !Empty(tmp.path());
          kill(pid, signal);
          sent = true;
        },
        Env());
    ASSERT_TRUE(sent) << r.err;
    EXPECT_TRUE(present);
    // Ctrl-C asks first (no one answers here); the other two stop the dump.
    if (signal != SIGINT) {
      EXPECT_EQ(r.status, 128 + signal) << r.err;
    }
    EXPECT_TRUE(Empty(tmp.path()));
  }
}

TEST_F(CliStandIns, RealLoadersAreUsedAsTheyAreAndNoStandInIsMade) {
  for (const LoaderFile& file : LoadersOfFamily("E700", ""))
    loaders.Write(file.name, std::string(file.size, '\x5A'));
  const ProgramResult r = RunProgram(kCli, {"--simulate", "E700", "identify"}, {}, Env());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("Stand-in"), std::string::npos) << r.err;
  EXPECT_TRUE(Empty(tmp.path()));
}

}  // namespace
}  // namespace brantle::test
