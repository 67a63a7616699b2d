// The README's command examples, run as a newcomer runs them: the first session
// against a virtual phone that keeps its memory, then the offline examples in the
// same folder, in order. A README that stops working fails here.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "cli_helpers.h"
#include "sim/virtual_e_phone.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

// The example lines of a README section: the indented lines of its code blocks,
// with "\" continuations joined.
std::vector<std::string> SectionCommands(const std::string& readme, const std::string& heading) {
  std::vector<std::string> commands;
  const size_t start = readme.find("\n" + heading + "\n");
  if (start == std::string::npos) return commands;
  std::istringstream lines(readme.substr(start + heading.size() + 2));
  std::string line, pending;
  while (std::getline(lines, line)) {
    if (line.rfind("#", 0) == 0) break;  // the next heading
    if (line.rfind("    ", 0) != 0) continue;
    pending += line.substr(4);
    if (!pending.empty() && pending.back() == '\\') {
      pending.back() = ' ';
      continue;
    }
    commands.push_back(pending);
    pending.clear();
  }
  return commands;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

class ReadmeExamples : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream in(std::string(BRANTLE_SOURCE_DIR) + "/README.md");
    std::stringstream text;
    text << in.rdbuf();
    readme = text.str();
    ASSERT_FALSE(readme.empty());
  }

  // Runs the lines as one shell script in the work folder, stopping at the first
  // command that fails; the trace names it.
  test::ProgramResult RunScript(const std::vector<std::string>& lines) {
    std::string script = "set -e -x\ncd " + work.path() + "\n";
    for (const std::string& line : lines)
      script += Replaced(line, "build/bin/", std::string(BRANTLE_BIN_DIR) + "/") + "\n";
    return test::RunProgram("/bin/bash", {"-c", script}, {},
                            {"BRANTLE_LOADERS=" + std::string(BRANTLE_BIN_DIR) + "/loaders",
                             "HOME=" + home.path(), "XDG_CONFIG_HOME=" + home.path()});
  }

  std::string readme;
  test::TempDir work, home;
};

TEST_F(ReadmeExamples, TheFirstSessionThenTheOfflineExamplesRunInOneFolder) {
  const std::vector<std::string> session =
      SectionCommands(readme, "### A first session, on the virtual phone");
  const std::vector<std::string> offline =
      SectionCommands(readme, "### Working with files (no phone needed)");
  ASSERT_GE(session.size(), 5u);
  ASSERT_GE(offline.size(), 5u);
  // The phone the first line starts in a terminal of its own is started here; the
  // path the README shows as an example is the one it got.
  ASSERT_EQ(session[0], "build/bin/brantle-phonesim --family E800");
  sim::EPhoneConfig config;
  config.family = "E800";
  sim::VirtualEPhone phone(config);
  ASSERT_TRUE(phone.Start()) << phone.error();
  std::vector<std::string> lines;
  for (size_t i = 1; i < session.size(); ++i)
    lines.push_back(Replaced(session[i], "/dev/pts/3", phone.PortPath()));
  lines.insert(lines.end(), offline.begin(), offline.end());

  const test::ProgramResult r = RunScript(lines);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  // What the examples claim ends up in the folder.
  for (const char* made : {"original.bin", "back.bin", "undo.dif", "files.cfg", "nand.tfr",
                           "patch.dif", "patch-undo.dif", "work-files.cfg", "fw.s3", "fw.dif",
                           "s500xedh1_2.ogm", "fw.bin", "nand-files.cfg"})
    EXPECT_EQ(access((work.path() + "/" + made).c_str(), F_OK), 0) << made;
}

// An example for a real adapter, on a machine without one, says how to try the
// command without a phone.
TEST_F(ReadmeExamples, AnExampleOnAMissingPortPointsToTheVirtualPhone) {
  if (access("/dev/ttyUSB0", F_OK) == 0) GTEST_SKIP() << "this machine has /dev/ttyUSB0";
  const std::vector<std::string> examples = SectionCommands(readme, "## The command line");
  int tried = 0;
  for (const std::string& example : examples) {
    if (example.find("/dev/ttyUSB0") == std::string::npos) continue;
    ++tried;
    const test::ProgramResult r = RunScript({example});
    EXPECT_NE(r.status, 0) << example;
    EXPECT_NE(r.err.find("--simulate"), std::string::npos) << example << "\n" << r.err;
  }
  EXPECT_GE(tried, 1);
}

}  // namespace
}  // namespace brantle
