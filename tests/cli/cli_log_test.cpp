// The command line's operation log: what a dump, a flash with undo, a failed command
// and an offline conversion leave in it, the line format, several runs at once, and
// a log that cannot be written.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "phone_fixture.h"

namespace brantle {
namespace {

using test::ReadFile;

std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadFile(path));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The events of the log, each without the time and the program's process id.
std::vector<std::string> Events(const std::string& path) {
  static const std::regex head(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d cli\[\d+\](.*))");
  std::vector<std::string> events;
  for (const std::string& line : Lines(path)) {
    std::smatch m;
    EXPECT_TRUE(std::regex_match(line, m, head)) << line;
    events.push_back(m[1]);
  }
  return events;
}

// Whether some event starts with text.
bool Has(const std::vector<std::string>& events, const std::string& text) {
  for (const std::string& e : events)
    if (e.rfind(text, 0) == 0) return true;
  return false;
}

std::string Listed(const std::vector<std::string>& events) {
  std::string all;
  for (const std::string& e : events) all += e + "\n";
  return all;
}

class CliLog : public test::CliOnPhone {
 protected:
  test::ProgramResult RunLogged(std::vector<std::string> args) {
    args.insert(args.begin(), {"--log", log});
    return Run(args);
  }
  std::string log = dir.File("brantle.log");
};

TEST_F(CliLog, ADumpIsLoggedWithItsRegionFileAndResult) {
  const std::string target = dir.File("d.bin");
  ASSERT_EQ(RunLogged({"dump", "--region", "10000-1FFFF", "-o", target}).status, 0);
  const std::vector<std::string> events = Events(log);
  const std::string at = " " + phone->PortPath() + " E800: ";
  for (const std::string& e :
       {std::string(": command: brantle-cli --port ") + phone->PortPath(),
        at + "connected: Samsung KBB05A300 (maker EC, device E2), 115200 bit/s",
        at + "dump started: NOR 10000-1FFFF to " + target + " (BIN/CLA)",
        at + "information: Dump completed.", at + "dump completed; read 65536 bytes; ",
        at + "disconnected", ": ended: Completed: NOR 10000-1FFFF saved to " + target,
        std::string(": exit status 0")})
    EXPECT_TRUE(Has(events, e)) << e << "\n" << Listed(events);
}

TEST_F(CliLog, AFlashWithUndoIsLoggedWithWhatItWroteAndWhereTheUndoIs) {
  dir.Write("fw.bin", Nor(0, 0x20000).replace(0x100, 3, "NEW"));
  const std::string undo = dir.File("u.dif");
  ASSERT_EQ(RunLogged({"flash", "bin", dir.File("fw.bin"), "--undo", undo, "--verify"}).status, 0);
  const std::vector<std::string> events = Events(log);
  const std::string at = " " + phone->PortPath() + " E800: ";
  for (const std::string& e : {at + "flash BIN started: " + dir.File("fw.bin") +
                                   "; verify after writing on, skip unchanged sectors off",
                               at + "undo DIF saved: " + undo,
                               // Each sector read for the undo and once more to verify it.
                               at + "flash BIN completed; read 262144 bytes, wrote 131072 bytes; "})
    EXPECT_TRUE(Has(events, e)) << e << "\n" << Listed(events);
}

TEST_F(CliLog, AFailedCommandIsLoggedWithItsError) {
  const auto r = test::RunProgram(
      test::kCli, {"--log", log, "--port", dir.File("ttyUSB9"), "--family", "E700", "identify"});
  ASSERT_EQ(r.status, 1);
  const std::vector<std::string> events = Events(log);
  // The port that would not open is named with the family tried.
  EXPECT_TRUE(Has(events, " " + dir.File("ttyUSB9") +
                              " E700: connect failed: Error: communications initialization failed"))
      << Listed(events);
  EXPECT_TRUE(Has(events, ": error: Error: communications initialization failed | " +
                              dir.File("ttyUSB9") + " does not exist"))
      << Listed(events);
  EXPECT_TRUE(Has(events, ": ended: Failed: Error: communications initialization failed"))
      << Listed(events);
  EXPECT_TRUE(Has(events, ": exit status 1")) << Listed(events);
}

TEST_F(CliLog, AnOfflineConversionIsLoggedWithWhatItReadAndWrote) {
  dir.Write("fw.bin", std::string(1000, 'F'));
  const std::string out = dir.File("fw.s3");
  ASSERT_EQ(
      test::RunProgram(test::kCli, {"--log", log, "convert", "bin-to-s3", dir.File("fw.bin"), out})
          .status,
      0);
  // A refused one, with the reason.
  ASSERT_EQ(test::RunProgram(test::kCli, {"convert", "bin-to-s3", dir.File("none.bin"),
                                          dir.File("x.s3"), "--log", log})
                .status,
            2);
  const std::vector<std::string> events = Events(log);
  for (const std::string& e : {": ended: Completed: " + out + " written from " + dir.File("fw.bin"),
                               ": refused: " + dir.File("none.bin") + ": No such file or directory",
                               std::string(": exit status 2")})
    EXPECT_TRUE(Has(events, e)) << e << "\n" << Listed(events);
  // No file contents: the firmware's bytes are nowhere in the log.
  EXPECT_EQ(ReadFile(log).find("FFFFFFFFFF"), std::string::npos);
}

// Four runs at once, many times each: every line arrives whole.
TEST_F(CliLog, FourRunsAtOnceLeaveWholeLines) {
  dir.Write("fw.bin", std::string(100, 'x'));
  std::string script;
  for (int p = 0; p < 4; ++p) {
    script += "(for i in $(seq 25); do " + test::kCli + " --log " + log + " dif info " +
              dir.File("missing" + std::to_string(p) + ".dif") + " 2>/dev/null; done) &\n";
  }
  script += "wait\n";
  ASSERT_EQ(test::RunProgram("/bin/sh", {"-c", script}).status, 0);
  const std::vector<std::string> events = Events(log);  // each line checked whole
  EXPECT_EQ(events.size(), 4u * 25 * 3);                // command, refused, exit status
}

TEST_F(CliLog, WithoutALogOrWithOneThatCannotBeWrittenTheCommandStillRuns) {
  dir.Write("fw.bin", std::string(100, 'x'));
  const std::string state = dir.File("state");
  auto r = test::RunProgram(
      test::kCli, {"--no-log", "convert", "bin-to-s3", dir.File("fw.bin"), dir.File("a.s3")}, {},
      {"XDG_STATE_HOME=" + state});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(std::ifstream(state + "/brantle/brantle.log").good());
  // The usual place otherwise.
  r = test::RunProgram(test::kCli, {"convert", "bin-to-s3", dir.File("fw.bin"), dir.File("b.s3")},
                       {}, {"XDG_STATE_HOME=" + state});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(ReadFile(state + "/brantle/brantle.log").find("ended: Completed: "), std::string::npos);

  // A log under a plain file: told once, and the conversion goes on.
  r = test::RunProgram(test::kCli, {"--log", dir.File("fw.bin") + "/x.log", "convert", "bin-to-s3",
                                    dir.File("fw.bin"), dir.File("c.s3")});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string told = "brantle-cli: the operation log is not written";
  EXPECT_NE(r.err.find(told), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find(told), r.err.rfind(told)) << r.err;
  EXPECT_TRUE(std::ifstream(dir.File("c.s3")).good());
}

}  // namespace
}  // namespace brantle
