// The operation log on disk: the line format, whole lines from several processes
// writing at once, rotation past the size limit, and a log that cannot be written.

#include "log/log_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "log/operation_log.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

uint64_t Size(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

bool Exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

// The time zone of the test, put back afterwards.
class TimeZone {
 public:
  explicit TimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZone() {
    if (old_.empty())
      unsetenv("TZ");
    else
      setenv("TZ", old_.c_str(), 1);
    tzset();
  }

 private:
  std::string old_;
};

TEST(OperationLogTest, ALineIsTimeProgramAndProcessPortAndFamilyThenTheEvent) {
  {
    TimeZone berlin("CET-1");
    EXPECT_EQ(LogTime(0), "1970-01-01T01:00:00+01:00");
    TimeZone west("XYZ+3:30");
    EXPECT_EQ(LogTime(0), "1969-12-31T20:30:00-03:30");
  }
  test::TempDir dir;
  OperationLog log("cli", dir.File("state/brantle/brantle.log"));
  log.Add("/dev/ttyUSB0 E800", "connected: Samsung KBB05A300");
  log.Add("", "convert: fw.s3 written from fw.bin");
  log.Add("", "box: Dump aborted:\nthe second line -> OK");
  const std::vector<std::string> lines = Lines(dir.File("state/brantle/brantle.log"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines, log.Session());
  const std::string pid = std::to_string(getpid());
  const std::string time = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d )";
  EXPECT_TRUE(std::regex_match(lines[0], std::regex(time + "cli\\[" + pid +
                                                    "\\] /dev/ttyUSB0 E800: connected: Samsung "
                                                    "KBB05A300")))
      << lines[0];
  EXPECT_TRUE(std::regex_match(
      lines[1], std::regex(time + "cli\\[" + pid + "\\]: convert: fw.s3 written from fw.bin")))
      << lines[1];
  // A box of two lines is one line of the log.
  EXPECT_NE(lines[2].find("box: Dump aborted: | the second line -> OK"), std::string::npos);
}

TEST(OperationLogTest, TheFileIsInTheStateFolder) {
  EXPECT_EQ(OperationLog::DefaultPath("/state", "/home/tech"), "/state/brantle/brantle.log");
  EXPECT_EQ(OperationLog::DefaultPath("", "/home/tech"),
            "/home/tech/.local/state/brantle/brantle.log");
  // A relative value is not a base folder.
  EXPECT_EQ(OperationLog::DefaultPath("state", "/home/tech"),
            "/home/tech/.local/state/brantle/brantle.log");
  EXPECT_EQ(OperationLog::DefaultPath("", ""), "");
}

// Four processes log at once, through a rotation or two: every line arrives whole,
// none is lost, and a file is only rotated once it is full.
TEST(LogFileTest, LinesFromFourProcessesAtOnceStayWhole) {
  test::TempDir dir;
  const std::string path = dir.File("brantle.log");
  constexpr uint64_t kLimit = 64 * 1024;
  constexpr int kProcesses = 4, kLines = 500;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      LogFile file(path, kLimit, 3);
      bool ok = true;
      for (int i = 0; i < kLines; ++i)
        ok = file.Append("process " + std::to_string(p) + " line " + std::to_string(i) + " " +
                         std::string(60, char('a' + p))) &&
             ok;
      _exit(ok ? 0 : 1);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const std::regex whole(R"(process ([0-3]) line (\d+) ([a-d]{60}))");
  std::vector<int> next(kProcesses, 0);
  int total = 0;
  // Oldest first: each process's lines in the order it wrote them.
  for (const std::string& name : {path + ".3", path + ".2", path + ".1", path}) {
    if (!Exists(name)) continue;
    if (name != path) {
      EXPECT_GE(Size(name), kLimit) << name << " was rotated before it was full";
    }
    for (const std::string& line : Lines(name)) {
      std::smatch m;
      ASSERT_TRUE(std::regex_match(line, m, whole)) << line;
      const int p = std::stoi(m[1]);
      EXPECT_EQ(m[3].str(), std::string(60, char('a' + p)));
      EXPECT_EQ(std::stoi(m[2]), next[p]++) << line;
      ++total;
    }
  }
  EXPECT_EQ(total, kProcesses * kLines);
  EXPECT_TRUE(Exists(path + ".1"));
}

TEST(LogFileTest, PastOneMegabyteTheFileIsRotatedAndThreeOldOnesKept) {
  test::TempDir dir;
  const std::string path = dir.File("brantle.log");
  LogFile file(path);
  const std::string line(1023, 'x');  // 1 KiB with its line break
  for (int i = 0; i < 1024; ++i) ASSERT_TRUE(file.Append(line));
  EXPECT_EQ(Size(path), 1u << 20);
  EXPECT_FALSE(Exists(path + ".1"));
  ASSERT_TRUE(file.Append("the next line"));
  EXPECT_EQ(Size(path + ".1"), 1u << 20);
  EXPECT_EQ(Lines(path), std::vector<std::string>{"the next line"});
  // Four more full files: the oldest ones are dropped, three are kept.
  for (int round = 0; round < 4; ++round) {
    for (int i = 0; i < 1024; ++i) ASSERT_TRUE(file.Append(line));
  }
  EXPECT_TRUE(Exists(path + ".3"));
  EXPECT_FALSE(Exists(path + ".4"));
}

TEST(LogFileTest, ALogThatCannotBeWrittenFailsNothingAndIsToldOnce) {
  test::TempDir dir;
  std::ofstream(dir.File("plain")) << "a file, not a folder";
  OperationLog log("window", dir.File("plain/brantle/brantle.log"));
  std::vector<std::string> told;
  log.OnProblem = [&](const std::string& problem) { told.push_back(problem); };
  log.Add("", "first");
  log.Add("", "second");
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find(dir.File("plain/brantle/brantle.log") + ": "), std::string::npos)
      << told[0];
  // The run still has its lines, for the window's panel.
  ASSERT_EQ(log.Session().size(), 2u);
  EXPECT_NE(log.Session()[1].find(": second"), std::string::npos);
}

}  // namespace
}  // namespace brantle
