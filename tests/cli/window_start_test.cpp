// The window program started where it cannot open a window: one line that says how
// to run it, and an exit status a script can test, instead of Qt's abort. Its own
// options are checked first, on any machine.

#include <gtest/gtest.h>

#include "support/run_program.h"

namespace brantle::test {
namespace {

const std::string kWindow = std::string(BRANTLE_BIN_DIR) + "/brantle";
// No display of any kind, and Qt left to choose its platform.
const std::vector<std::string> kNoDisplay = {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="};

TEST(WindowStart, NoDisplayIsOneLineSayingHowAndExitStatusOne) {
  const ProgramResult r = RunProgram(kWindow, {"--simulate", "E800"}, {}, kNoDisplay);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find("QT_QPA_PLATFORM=offscreen"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("xvfb-run"), std::string::npos) << r.err;
}

TEST(WindowStart, ABadOptionIsToldAsSuchWithoutADisplay) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--simulate", "E900"}, {"--bogus"}, {"stray"}}) {
    const ProgramResult r = RunProgram(kWindow, args, {}, kNoDisplay);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("see brantle --help"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("display"), std::string::npos) << r.err;
  }
  // Qt's own options are Qt's: they pass our check and reach Qt, which has no display.
  const ProgramResult qt = RunProgram(kWindow, {"-style", "Fusion", "-reverse"}, {}, kNoDisplay);
  EXPECT_EQ(qt.status, 1) << qt.err;
}

}  // namespace
}  // namespace brantle::test
