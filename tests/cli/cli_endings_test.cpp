// Every run ends with one line that says what happened, and the exit status says the
// same; the progress a log or a terminal keeps ends where the work ended.

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#include "dif/DIFFiles.h"
#include "phone_fixture.h"

namespace brantle {
namespace {

using test::ReadFile;

using test::LastLine;

class CliEndings : public test::CliOnPhone {};

TEST_F(CliEndings, ACompletedRunSaysWhatItDid) {
  dir.Write("fw.bin", Nor(0, 0x10000).replace(0x100, 3, "NEW"));
  const std::vector<std::pair<std::vector<std::string>, std::string>> runs = {
      {{"identify"}, "Completed: the flash type was read."},
      {{"dump", "--region", "0-FFFF", "-o", dir.File("d.bin")},
       "Completed: NOR 0-FFFF saved to " + dir.File("d.bin") + "."},
      {{"flash", "bin", dir.File("fw.bin"), "--undo", dir.File("u.dif")},
       "Completed: " + dir.File("fw.bin") + " flashed; undo data saved in " + dir.File("u.dif") +
           "."},
      {{"flash", "hex", "--offset", "E00000", "AB", "--eeprom", "no"},
       "Completed: nothing was written; EEPROM area E00000-E0FFFF kept."},
      {{"erase", "--region", "10100-2FEFF"}, "Completed: NOR 10100-2FEFF erased."},
      {{"tfs", "raw-read", "0", "3", dir.File("r.tfr")},
       "Completed: NAND sectors 0-3 saved to " + dir.File("r.tfr") + "."},
  };
  for (const auto& [args, ending] : runs) {
    const auto r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(LastLine(r.err), ending) << r.err;
  }
  EXPECT_EQ(Nor(0x10100, 0x1FE00), std::string(0x1FE00, '\xFF'));
  EXPECT_EQ(ReadFile(dir.File("d.bin")).size(), 0x10000u);
}

TEST_F(CliEndings, WithoutATerminalTheProgressLinesEndWithTheFinalCount) {
  const auto r = Run({"dump", "--region", "0-2FFFF", "-o", dir.File("d.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  // The last progress line of each phase counts all of its bytes.
  for (const std::string phase : {"Sending loader #1, ", "Sending loader #2, ", "Reading at "}) {
    const size_t at = r.err.rfind(phase);
    ASSERT_NE(at, std::string::npos) << phase << "\n" << r.err;
    const std::string line = r.err.substr(at, r.err.find('\n', at) - at);
    const size_t comma = line.rfind(", ");
    unsigned long done = 0, total = 0;
    ASSERT_EQ(std::sscanf(line.c_str() + comma + 2, "%lu of %lu bytes done", &done, &total), 2)
        << line;
    EXPECT_EQ(done, total) << line;
    if (phase == "Reading at ") {
      EXPECT_EQ(total, 0x30000u) << line;
    }
  }
}

TEST_F(CliEndings, OnATerminalTheBarEndsAtTheFullCount) {
  const auto r =
      test::RunProgramOnTerminal(test::kCli,
                                 {"--port", phone->PortPath(), "--family", family, "dump",
                                  "--region", "0-2FFFF", "-o", dir.File("d.bin")},
                                 "", true);
  ASSERT_EQ(r.status, 0) << r.err;
  // The state each bar was left in: the text before each line break, after its last
  // carriage return.
  std::vector<std::string> bars;
  size_t start = 0;
  for (size_t end; (end = r.err.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = r.err.substr(start, end - start);
    const std::string shown = line.substr(line.rfind('\r', line.size() - 2) + 1);
    if (shown.rfind("\r", 0) == 0 || shown.find("] ") != std::string::npos) bars.push_back(shown);
  }
  ASSERT_EQ(bars.size(), 3u) << r.err;  // two loaders, the read
  for (const std::string& bar : bars) EXPECT_NE(bar.find("] 100% "), std::string::npos) << bar;
  EXPECT_NE(bars[2].find("Reading at 020000, 196608 of 196608 bytes done"), std::string::npos)
      << bars[2];
}

TEST_F(CliEndings, AFailedRunGivesTheReason) {
  phone->FailReadChecksums(100);
  const auto r = Run({"dump", "--region", "0-FFFF", "-o", dir.File("d.bin")});
  EXPECT_EQ(r.status, 1) << r.err;
  // The window's text, with its two blanks after the prefix of a failed block.
  EXPECT_EQ(LastLine(r.err), "Failed: Dump aborted:  unrecoverable CRC error") << r.err;
  EXPECT_FALSE(std::ifstream(dir.File("d.bin")).good());
}

TEST_F(CliEndings, AFailedFlashSaysWhereItsUndoDataIs) {
  const std::string before = Nor();
  dir.Write("fw.bin", std::string(0x20000, '\x5A'));
  phone->FailProgramChecksums(1000);
  const auto r = Run({"flash", "bin", dir.File("fw.bin"), "--undo", dir.File("u.dif")});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(
      LastLine(r.err),
      "Failed: Flashing aborted:  unrecoverable CRC error; undo data saved in " + dir.File("u.dif"))
      << r.err;
  // It holds the bytes the flash was about to overwrite.
  TDIFFile undo;
  ASSERT_EQ(undo.LoadFromFile(dir.File("u.dif")), kDIFOk);
  std::string old(0x20000, '\x5A');  // the image, with the undo data put back
  for (const TDIFBlock& block : undo.Blocks) {
    uint32_t address = 0;
    std::string bytes;
    TDIFFile::GetNORData(block, address, bytes);
    ASSERT_LE(address + bytes.size(), old.size());
    old.replace(address, bytes.size(), bytes);
  }
  EXPECT_TRUE(old == before.substr(0, 0x20000));
}

TEST_F(CliEndings, CtrlCWhileWaitingForThePhoneEndsTheWaitWithNothingTouched) {
  phone->GoSilent();
  bool sent = false;
  const auto r = Run({"identify"}, [&](pid_t pid, const std::string& err) {
    if (!sent && err.find("Turn on the phone") != std::string::npos) {
      kill(pid, SIGINT);
      sent = true;
    }
  });
  ASSERT_TRUE(sent) << r.err;
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(LastLine(r.err), "Cancelled: nothing on the phone was read or written.") << r.err;
}

TEST_F(CliEndings, DeclinedFormatIsACancelNotACompletion) {
  dir.Write("a.txt", "stays");
  ASSERT_EQ(Run({"tfs", "put", dir.File("a.txt") + "=/user/a.txt"}).status, 0);
  const auto r = test::RunProgramOnTerminal(
      test::kCli, {"--port", phone->PortPath(), "--family", family, "tfs", "format"}, "n\n");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(LastLine(r.err), "Cancelled: the NAND was not formatted.") << r.err;
  EXPECT_EQ(phone->NandTree().files.count("/user/a.txt"), 1u);
}

// The erase asks its own EEPROM question; --eeprom answers it as it answers a flash's.
// The last line says what was erased and what was kept, as the phone holds it.
TEST_F(CliEndings, AnEraseTakesItsEepromAnswerFromTheOption) {
  const std::string before = Nor();
  auto r = Run({"erase", "--region", "eeprom", "--eeprom", "no"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(LastLine(r.err), "Completed: nothing was erased; EEPROM area E00000-FFFFFF kept.")
      << r.err;
  EXPECT_EQ(NorDifference(before), "");

  r = Run({"erase", "--region", "DF0000-E0FFFF", "--eeprom", "no"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(LastLine(r.err), "Completed: NOR DF0000-DFFFFF erased; EEPROM area E00000-E0FFFF kept.")
      << r.err;
  EXPECT_NE(r.err.find("You are going to erase system EEPROM area"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("(answered No: --eeprom no)"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Erase completed.\nThe EEPROM area was not erased: E00000-E0FFFF"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(Nor(0xDF0000, 0x10000), std::string(0x10000, '\xFF'));
  EXPECT_EQ(Nor(0xE00000, 0x10000), before.substr(0xE00000, 0x10000));

  r = Run({"erase", "--region", "E00000-E0FFFF", "--eeprom", "yes"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Erase completed."), std::string::npos) << r.err;
  EXPECT_EQ(Nor(0xE00000, 0x10000), std::string(0x10000, '\xFF'));
}

// Without a terminal the EEPROM question of an erase could not be answered: the
// command does not begin, and the phone is not even connected.
TEST_F(CliEndings, AnEepromEraseWithoutATerminalIsRefusedBeforeConnecting) {
  const std::string before = Nor();
  for (const char* region : {"eeprom", "full", "DFFFFF-E00000"}) {
    const auto r = Run({"erase", "--region", region});
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("the erase reaches into the EEPROM area (E00000-FFFFFF) and there is "
                         "no terminal to ask on: give --eeprom yes or --eeprom no"),
              std::string::npos)
        << r.err;
  }
  EXPECT_EQ(phone->Stats().connects, 0);
  EXPECT_EQ(NorDifference(before), "");
  // Below the EEPROM area nothing is asked: the erase goes ahead.
  EXPECT_EQ(Run({"erase", "--region", "DF0000-DFFFFF"}).status, 0);
  EXPECT_EQ(phone->Stats().connects, 1);
}

// What identify prints comes before its last line, also when both go into one file.
TEST_F(CliEndings, IdentifyEndsWithItsCompletedLine) {
  const auto r = test::RunProgram("/bin/sh", {"-c", test::kCli + " --port " + phone->PortPath() +
                                                        " --family E800 identify 2>&1"});
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(LastLine(r.out), "Completed: the flash type was read.") << r.out;
  EXPECT_NE(r.out.find("Flash: Samsung KBB05A300"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace brantle
