// brantle-cli end to end: the real program against a virtual phone it starts.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cli_helpers.h"
#include "sim/virtual_e_phone.h"
#include "sim/virtual_opti_phone.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::kCli;
using test::ReadFile;

TEST(CliPhone, IdentifyPrintsTheFlashType) {
  const auto r = test::RunProgram(kCli, {"--simulate", "E330", "identify"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Flash: Samsung KBB05A300 (maker EC, device E2)\n");
  EXPECT_NE(r.err.find("Turn on the phone"), std::string::npos);
}

TEST(CliPhone, DumpTrimsTheRegionAndTracesTheLine) {
  test::TempDir dir;
  const auto r = test::RunProgram(
      kCli, {"--simulate", "E700", "--speed", "806400", "--trace", dir.File("trace.txt"), "dump",
             "--start", "1FFF0", "--end", "2000F", "-o", dir.File("dump.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<uint8_t> nor = sim::VirtualEPhone::PatternNor(16u << 20);
  EXPECT_EQ(ReadFile(dir.File("dump.bin")),
            std::string(nor.begin() + 0x1FFF0, nor.begin() + 0x20010));
  const std::string trace = ReadFile(dir.File("trace.txt"));
  EXPECT_NE(trace.find("TX 000000  E6"), std::string::npos);
  EXPECT_NE(trace.find("line 806400 8N1"), std::string::npos);
}

TEST(CliPhone, OptiIdentifyAndDump) {
  // The virtual phone of a model with the larger areas has 32 MiB of NOR in four chips.
  auto r = test::RunProgram(kCli, {"--simulate", "Opti", "--model", "x480", "identify"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Flash: 4 flashes (? for info)\n"
            "  0: Samsung KBB05A300, 64 Mbit in 135 sectors at 00000000\n"
            "  1: Samsung KBB05A300, 64 Mbit in 135 sectors at 00800000\n"
            "  2: Samsung KBB05A300, 64 Mbit in 135 sectors at 01000000\n"
            "  3: Samsung KBB05A300, 64 Mbit in 135 sectors at 01800000\n");

  test::TempDir dir;
  r = test::RunProgram(kCli, {"--simulate", "Opti", "--speed", "921600", "dump", "--start", "FFF0",
                              "--end", "2000F", "-o", dir.File("d.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<uint8_t> nor = sim::VirtualOptiPhone::PatternNor(16u << 20);
  EXPECT_EQ(ReadFile(dir.File("d.bin")), std::string(nor.begin() + 0xFFF0, nor.begin() + 0x20010));
  // Every region the program offers can be read from the virtual phone of the model.
  r = test::RunProgram(kCli, {"--simulate", "Opti", "--model", "X480", "--speed", "921600", "dump",
                              "--region", "eeprom", "-o", dir.File("e.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<uint8_t> large = sim::VirtualOptiPhone::PatternNor(32u << 20);
  EXPECT_EQ(ReadFile(dir.File("e.bin")), std::string(large.begin() + 0x1A00000, large.end()));

  // A speed the loader does not offer ends the connection with the window's message.
  r = test::RunProgram(kCli, {"--simulate", "Opti", "--speed", "57600", "identify"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Initializing (switching speed): invalid speed"), std::string::npos)
      << r.err;
}

TEST(CliPhone, BadInputIsRefusedWithAMessage) {
  auto r = test::RunProgram(kCli, {"--port", "/dev/brantle-none", "--family", "E700", "identify"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("communications initialization failed"), std::string::npos);

  r = test::RunProgram(kCli,
                       {"--simulate", "E700", "dump", "--start", "20", "--end", "10", "-o", "x"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "brantle-cli: --region 20-10: the start lies above the end\n"
            "see brantle-cli dump --help\n");

  r = test::RunProgram(kCli, {"--family", "E900", "--port", "/dev/null", "identify"});
  EXPECT_EQ(r.status, 2);
  r = test::RunProgram(kCli, {"--simulate", "E700", "--speed", "fast", "identify"});
  EXPECT_EQ(r.status, 2);
}

TEST(CliPhone, CommandsThePhoneCannotDoAreRefusedBeforeConnecting) {
  const std::vector<std::vector<std::string>> refused = {
      {"--simulate", "Opti", "tfs", "format"},
      {"--simulate", "S500", "tfs", "dump", "x.tfs"},
      {"--simulate", "E700", "dump", "--region", "full", "--undo", "u.dif", "-o", "x"},
      {"--simulate", "E700", "flash", "bin", "a.bin", "--eeprom", "maybe"},
      {"--simulate", "E700", "flash", "tar", "a.tar"},
      {"--simulate", "E700", "flash", "diff", "only-one.bin"},
      {"--simulate", "E800", "dump-s500", "-o", "stem"},
  };
  for (const auto& args : refused) {
    const auto r = test::RunProgram(kCli, args);
    EXPECT_EQ(r.status, 2) << args[2] << " " << args[3];
    EXPECT_EQ(r.err.find("Virtual"), std::string::npos) << "no phone was started: " << r.err;
  }
}

TEST(CliPhone, APhoneOfAnotherFamilyIsNamedAsSuch) {
  sim::EPhoneConfig config;
  config.family = "E700";
  sim::VirtualEPhone phone(config);
  ASSERT_TRUE(phone.Start()) << phone.error();
  auto r = test::RunProgram(kCli, {"--port", phone.PortPath(), "--family", "E800", "identify"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("Initializing (bootup): communications timeout\n"
                       "Tried as E800: the boot code answered, but not as an E800 phone does. The "
                       "phone may be of another family (--family) or not in boot mode.\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(phone.Stats().connects, 0);

  // Nothing answers an E-family boot wait from an OptiFlash phone.
  sim::VirtualOptiPhone opti{sim::OptiPhoneConfig{}};
  ASSERT_TRUE(opti.Start());
  r = test::RunProgram(
      kCli, {"--port", opti.PortPath(), "--family", "e330", "--boot-timeout", "1", "identify"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("Error: no phone in boot mode answered on " + opti.PortPath() +
                       " within 1 s (tried as E330). The phone may be of another family "
                       "(--family) or not in boot mode.\n"),
            std::string::npos)
      << r.err;
}

// A phone on a port gets only real loaders (a virtual phone of --simulate gets
// stand-ins instead, see cli_stand_in_test.cpp).
TEST(CliPhone, MissingLoaderFilesAreFoundBeforeConnecting) {
  test::TempDir loaders;
  loaders.Write("e800_loader1.bin", "too short");
  sim::EPhoneConfig config;
  config.family = "E800";
  sim::VirtualEPhone phone(config);
  ASSERT_TRUE(phone.Start()) << phone.error();
  const auto r =
      test::RunProgram(kCli, {"--port", phone.PortPath(), "--family", "E800", "identify"}, {},
                       {"BRANTLE_LOADERS=" + loaders.path()});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("brantle-cli: loader file " + loaders.path() + "/"), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("Nothing was sent to the phone.\n"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Stand-in"), std::string::npos) << r.err;
  EXPECT_EQ(phone.Stats().connects, 0);
}

}  // namespace
}  // namespace brantle
