// What brantle-cli says about its own command line: help for every command, the
// version, one-line refusals that point to the help, names in any case, the speeds
// of each family, and a README that agrees with the help.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "cli_helpers.h"
#include "sim/tfs_volume_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::kCli;
using test::RunProgram;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

int Lines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

TEST(CliOptions, EveryCommandHasItsHelp) {
  const std::vector<std::pair<std::string, std::string>> topics = {
      {"identify", "connect, show the flash type"},
      {"dump", "-o FILE"},
      {"dump-s500", "STEM_1.bin"},
      {"flash", "flash hex --offset HEX"},
      {"erase", "what lies outside R is written back"},
      {"tfs", "tfs raw-read FIRST LAST OUT.tfr"},
      {"dif", "dif apply D.dif..."},
      {"convert", "s500-to-dif"},
  };
  for (const auto& [command, part] : topics) {
    const auto r = RunProgram(kCli, {command, "--help"});
    EXPECT_EQ(r.status, 0) << command << ": " << r.err;
    EXPECT_TRUE(Has(r.out, part)) << command << ":\n" << r.out;
    EXPECT_TRUE(r.err.empty()) << command << ": " << r.err;
  }
  // The help of a part is shorter than the whole help.
  const auto whole = RunProgram(kCli, {"--help"});
  EXPECT_EQ(whole.status, 0);
  EXPECT_GT(Lines(whole.out), Lines(RunProgram(kCli, {"dif", "--help"}).out));
  // Help with the options of a command in place.
  EXPECT_EQ(RunProgram(kCli, {"dif", "apply", "x.dif", "--help"}).out,
            RunProgram(kCli, {"dif", "--help"}).out);
  EXPECT_EQ(RunProgram(kCli, {"tfs", "decode", "--help"}).out,
            RunProgram(kCli, {"tfs", "--help"}).out);
}

TEST(CliOptions, TheHelpNamesSpeedsDefaultsAndTimings) {
  const std::string help = RunProgram(kCli, {"--help"}).out;
  for (const char* part :
       {"38400, 76800, 115200, 153600, 230400, 307200, 460800, 537600,", "614400 or 806400",
        "(default C200)", "--wait-states N", "--boot-timeout S", "(default 60)", "--overwrite",
        "--version", "--reversal none|separate|embed", "(default none)", "--eeprom ask|yes|no",
        "--bin1 F", "--file-offset HEX"})
    EXPECT_TRUE(Has(help, part)) << part;
  EXPECT_TRUE(Has(RunProgram(kCli, {"dif", "--help"}).out, "(default none)"));
}

TEST(CliOptions, VersionIsTheWindowsVersion) {
  const auto r = RunProgram(kCli, {"--version", "--reversal none|separate|embed", "(default none)",
                                   "--eeprom ask|yes|no", "--bin1 F", "--file-offset HEX"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "brantle-cli 0.68 dev 0816\n");
}

TEST(CliOptions, AnErrorIsOneLineAndWhereTheHelpIs) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"--port", "/dev/null", "--family", "E700", "identify", "--frobnicate"},
       "brantle-cli: unknown option --frobnicate\nsee brantle-cli identify --help\n"},
      {{"frobnicate"}, "brantle-cli: unknown command frobnicate\nsee brantle-cli --help\n"},
      {{}, "brantle-cli: no command given\nsee brantle-cli --help\n"},
      {{"dif", "frobnicate"},
       "brantle-cli: dif takes info, create or apply\nsee brantle-cli dif --help\n"},
      {{"convert", "bin-to-bin", "a", "b"},
       "brantle-cli: unknown conversion bin-to-bin\nsee brantle-cli convert --help\n"},
      {{"tfs", "ls"}, "brantle-cli: tfs ls takes IN.tfr\nsee brantle-cli tfs --help\n"},
      {{"tfs", "put", "a.txt=/user/a.txt"},
       "brantle-cli: tfs put talks to a phone: give --port PATH (its serial device) or "
       "--simulate FAMILY\nsee brantle-cli tfs --help\n"},
      {{"--simulate", "E700", "--port", "/dev/null", "identify"},
       "brantle-cli: give either --port PATH or --simulate FAMILY, not both\n"
       "see brantle-cli identify --help\n"},
  };
  for (const auto& [args, err] : refused) {
    const auto r = RunProgram(kCli, args);
    EXPECT_EQ(r.status, 2) << err;
    EXPECT_EQ(r.err, err);
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
}

TEST(CliOptions, FamiliesAndModelsInAnyCase) {
  auto r = RunProgram(kCli, {"--simulate", "e330", "identify"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Has(r.err, "Virtual E330 phone")) << r.err;
  r = RunProgram(kCli, {"--simulate", "OPTI", "--family", "opti", "--model", "s20X", "identify"});
  EXPECT_EQ(r.status, 0) << r.err;
  // Files only: the family of a raw dump, here the E800's 32 MiB NAND.
  test::TempDir dir;
  sim::TfsVolumeBuilder builder;
  builder.AddFile("/a.txt", "a");
  const std::vector<uint8_t> image = builder.Build(65536);
  dir.Write("nand.tfr", std::string(image.begin(), image.end()));
  r = RunProgram(kCli, {"tfs", "ls", dir.File("nand.tfr"), "--family", "e800"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "         1 /a.txt\n");
}

TEST(CliOptions, EFamiliesTakeTheTenSpeedsOfTheSelectorOnly) {
  for (const char* speed : {"9600", "921600", "12345", "38401"}) {
    const auto r = RunProgram(kCli, {"--simulate", "E800", "--speed", speed, "identify"});
    EXPECT_EQ(r.status, 2) << speed;
    EXPECT_EQ(r.err, std::string("brantle-cli: --speed ") + speed +
                         " is not one of the speeds of the E800 family: 38400, 76800, 115200, "
                         "153600, 230400, 307200, 460800, 537600, 614400, 806400\n"
                         "see brantle-cli identify --help\n");
  }
  const auto r = RunProgram(kCli, {"--simulate", "S500", "--speed", "537600", "identify"});
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST(CliOptions, AnOptiSpeedTheLoaderDoesNotOfferListsTheOnesItDoes) {
  const auto r = RunProgram(kCli, {"--simulate", "Opti", "--speed", "57600", "identify"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.err,
                  "Initializing (switching speed): invalid speed\n"
                  "The phone's loader offers 115200, 230400, 460800 and 921600 bit/s.\n"))
      << r.err;
}

TEST(CliOptions, DemoLoadersHelpCreatesNothing) {
  ASSERT_FALSE(std::filesystem::exists("--help"));
  const auto r = RunProgram(std::string(BRANTLE_BIN_DIR) + "/brantle-demo-loaders", {"--help"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "usage: brantle-demo-loaders FOLDER")) << r.out;
  EXPECT_FALSE(std::filesystem::exists("--help"));
}

// The README's section on the command line, from its heading to the next one of
// the same level.
std::string ReadmeCommandLine() {
  std::ifstream in(std::string(BRANTLE_SOURCE_DIR) + "/README.md");
  std::stringstream all;
  all << in.rdbuf();
  const std::string text = all.str();
  const size_t start = text.find("## The command line");
  if (start == std::string::npos) return "";
  const size_t end = text.find("\n## ", start + 1);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::set<std::string> OptionsIn(const std::string& text) {
  std::set<std::string> options;
  const std::regex option("(^|[^A-Za-z0-9-])(--?[a-z][a-z0-9-]*)");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
       it != std::sregex_iterator(); ++it)
    options.insert((*it)[2]);
  return options;
}

TEST(CliOptions, TheReadmeNamesEveryOptionTheHelpLists) {
  const std::string readme = ReadmeCommandLine();
  ASSERT_FALSE(readme.empty());
  const std::set<std::string> documented = OptionsIn(readme);
  std::string help = RunProgram(kCli, {"--help"}).out;
  for (const char* command :
       {"identify", "dump", "dump-s500", "flash", "erase", "tfs", "dif", "convert"})
    help += RunProgram(kCli, {command, "--help"}).out;
  const std::set<std::string> listed = OptionsIn(help);
  EXPECT_GT(listed.size(), 30u);
  for (const std::string& option : listed)
    EXPECT_TRUE(documented.count(option)) << option << " is in --help but not in the README";
  // And the other way round: the README promises nothing the program does not take.
  for (const std::string& option : documented)
    EXPECT_TRUE(listed.count(option)) << option << " is in the README but not in --help";
}

}  // namespace
}  // namespace brantle
