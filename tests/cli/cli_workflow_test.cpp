// What the README walks a newcomer through, run against one virtual phone that
// keeps its memory between the program's runs: identify, dump the firmware, flash
// a changed image with an undo file, flash the undo back, erase a region, write
// files into the phone's file system and dump them back.

#include <gtest/gtest.h>

#include <csignal>

#include "lang/lang_get.h"
#include "phone_fixture.h"

namespace brantle {
namespace {

class CliWorkflow : public test::CliOnPhone {};

TEST_F(CliWorkflow, DumpFlashUndoAndEraseRoundTrip) {
  constexpr uint32_t kFirmware = 0xE00000;
  auto r = Run({"dump", "--region", "firmware", "-o", dir.File("fw.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Dump completed."), std::string::npos);
  const std::string original = test::ReadFile(dir.File("fw.bin"));
  const std::string before = Nor();
  ASSERT_EQ(original, before.substr(0, kFirmware));

  std::string changed = original;
  changed.replace(0x12345, 5, "HELLO");
  changed.replace(0xD00000, 3, "BYE");
  dir.Write("changed.bin", changed);
  r = Run({"flash", "bin", dir.File("changed.bin"), "--undo", dir.File("undo.dif"), "--zlib"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Flashing completed."), std::string::npos);
  EXPECT_EQ(NorDifference(changed + before.substr(kFirmware)), "");

  r = Run({"flash", "dif", dir.File("undo.dif")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(NorDifference(before), "");

  r = Run({"erase", "--region", "10100-2FEFF"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Nor(0x10100, 0x1FE00), std::string(0x1FE00, '\xFF'));
  EXPECT_EQ(Nor(0x10000, 0x100), original.substr(0x10000, 0x100));
  EXPECT_EQ(Nor(0x2FF00, 0x100), original.substr(0x2FF00, 0x100));
}

TEST_F(CliWorkflow, FilesWrittenIntoTheFileSystemDumpBack) {
  dir.Write("a.txt", "first file\n");
  dir.Write("b.bin", std::string(5000, '\x5A'));
  auto r = Run({"tfs", "put", dir.File("a.txt") + "=/user/a.txt",
                dir.File("b.bin") + "=/user/sounds/b.bin"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Flashing completed. Phone disconnected."), std::string::npos);
  r = Run({"tfs", "dump", dir.File("back.tfs")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string cfg = test::ReadFile(dir.File("back.cfg"));
  EXPECT_NE(cfg.find("/user/a.txt"), std::string::npos) << cfg;
  EXPECT_NE(cfg.find("/user/sounds/b.bin"), std::string::npos) << cfg;
  const std::string data = test::ReadFile(dir.File("back.tfs"));
  EXPECT_NE(data.find("first file\n"), std::string::npos);
  EXPECT_NE(data.find(std::string(5000, '\x5A')), std::string::npos);
}

TEST_F(CliWorkflow, TheE800sWholeNandReadsBackRawSectorForSector) {
  dir.Write("a.txt", "kept in the NAND\n");
  auto r = Run({"tfs", "put", dir.File("a.txt") + "=/user/a.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  r = Run({"tfs", "raw-read", "0", "65535", dir.File("nand.tfr")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<uint8_t> nand = phone->NandSectors();
  ASSERT_EQ(nand.size(), 65536u * 512);
  EXPECT_TRUE(test::ReadFile(dir.File("nand.tfr")) == std::string(nand.begin(), nand.end()));
}

TEST_F(CliWorkflow, EepromWithoutATerminalIsNotGuessed) {
  dir.Write("ee.bin", std::string(0x20000, '\x11'));
  const std::string before = Nor();
  // The question would come for sure: the command does not begin.
  auto r = Run({"flash", "part", dir.File("ee.bin"), "--file-offset", "0", "--length", "10000",
                "--phone-offset", "E00000"});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(r.err,
            "brantle-cli: the flash writes into the EEPROM area (E00000-FFFFFF) and there is no "
            "terminal to ask on: give --eeprom yes or --eeprom no\nsee brantle-cli flash --help\n");
  EXPECT_EQ(phone->Stats().connects, 0);
  EXPECT_EQ(NorDifference(before), "");
  r = Run({"tfs", "format"});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("tfs format asks before it formats the NAND and there is no terminal to ask "
                       "on: give --yes\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(phone->Stats().connects, 0);
  r = Run({"flash", "part", dir.File("ee.bin"), "--file-offset", "0", "--length", "10000",
           "--phone-offset", "E00000", "--eeprom", "yes"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(NorDifference(std::string(before).replace(0xE00000, 0x10000, 0x10000, '\x11')), "");
}

TEST_F(CliWorkflow, CtrlCStopsADumpAfterTheCurrentSectorAndWritesNothing) {
  phone->SetLineRate(true);
  dir.Write("full.bin", "the file that was there");
  bool sent = false;
  const auto r =
      test::RunProgram(test::kCli,
                       {"--port", phone->PortPath(), "--family", "E800", "--speed", "806400",
                        "dump", "--region", "full", "-o", dir.File("full.bin"), "--overwrite"},
                       [&](pid_t pid, const std::string& err) {
                         if (!sent && err.find("Reading") != std::string::npos) {
                           kill(pid, SIGINT);
                           sent = true;
                         }
                       });
  ASSERT_TRUE(sent) << r.err;
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("Are you sure to cancel?"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Dump completed."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\nCancelled: " + dir.File("full.bin") +
                       " not written; the phone is unchanged.\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(test::ReadFile(dir.File("full.bin")), "the file that was there");
  EXPECT_LT(phone->Stats().reads, 256);
}

TEST_F(CliWorkflow, TermAndHangupStopADumpWithoutAskingAndEndThePhoneConnection) {
  for (const int signal : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    phone->SetLineRate(true);
    dir.Write("full.bin", "the file that was there");
    const int readsBefore = phone->Stats().reads;
    bool sent = false;
    const auto r = Run({"--speed", "806400", "dump", "--region", "full", "-o", dir.File("full.bin"),
                        "--overwrite"},
                       [&](pid_t pid, const std::string& err) {
                         if (!sent && err.find("Reading") != std::string::npos) {
                           kill(pid, signal);
                           sent = true;
                         }
                       });
    ASSERT_TRUE(sent) << r.err;
    EXPECT_EQ(r.status, 128 + signal) << r.err;
    EXPECT_NE(
        r.err.find(std::string("\nCancelled by ") + (signal == SIGTERM ? "SIGTERM" : "SIGHUP") +
                   ": " + dir.File("full.bin") + " not written; the phone is unchanged.\n"),
        std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("Are you sure to cancel?"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Dump completed."), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadFile(dir.File("full.bin")), "the file that was there");
    EXPECT_LT(phone->Stats().reads - readsBefore, 256);

    // The phone has left its loader: the next command finds it in boot mode.
    phone->SetLineRate(false);
    const auto next = Run({"identify"});
    EXPECT_EQ(next.status, 0) << next.err;
  }
}

TEST_F(CliWorkflow, TermWhileWaitingForThePhoneEndsTheWait) {
  phone->GoSilent();
  bool sent = false;
  const auto r = Run({"identify"}, [&](pid_t pid, const std::string& err) {
    if (!sent && err.find("Turn on the phone") != std::string::npos) {
      kill(pid, SIGTERM);
      sent = true;
    }
  });
  ASSERT_TRUE(sent) << r.err;
  EXPECT_EQ(r.status, 128 + SIGTERM) << r.err;
  EXPECT_EQ(r.err.find("no phone in boot mode answered"), std::string::npos) << r.err;
}

TEST_F(CliWorkflow, AnUnknownFlashIsNamedByTheLanguageTable) {
  sim::EPhoneConfig config = PhoneOf("E700");
  config.makerId = 0x12;
  config.deviceId = 0x34;
  StartPhone(config);
  const auto r = Run({"--yes", "identify"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Flash: " + LangGet("FType_Unknown") + " (maker 12, device 34)\n");
}

}  // namespace
}  // namespace brantle
