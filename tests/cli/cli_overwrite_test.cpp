// No file is replaced without a Yes: an existing target is refused without a
// terminal unless --overwrite is given, asked about on one, and a file the command
// reads is never its target.

#include <gtest/gtest.h>

#include "dif/DIFFiles.h"
#include "phone_fixture.h"

namespace brantle {
namespace {

using test::ReadFile;

class CliOverwrite : public test::CliOnPhone {
 protected:
  // The command line Run gives, for the runs on a terminal.
  std::vector<std::string> Args(const std::vector<std::string>& args) const {
    std::vector<std::string> all = {"--port", phone->PortPath(), "--family",
                                    family,   "--boot-timeout",  "20"};
    all.insert(all.end(), args.begin(), args.end());
    return all;
  }
};

TEST_F(CliOverwrite, AnExistingDumpTargetIsKeptUnlessOverwriteIsGiven) {
  dir.Write("backup.bin", "a 14 MiB backup, say");
  auto r = Run({"dump", "--region", "0-F", "-o", dir.File("backup.bin")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(r.err, "brantle-cli: " + dir.File("backup.bin") +
                       " exists; give --overwrite to replace it\nsee brantle-cli dump --help\n");
  EXPECT_EQ(ReadFile(dir.File("backup.bin")), "a 14 MiB backup, say");
  EXPECT_EQ(phone->Stats().connects, 0);

  r = Run({"dump", "--region", "0-F", "-o", dir.File("backup.bin"), "--overwrite"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir.File("backup.bin")), Nor(0, 16));
}

TEST_F(CliOverwrite, OnATerminalTheCommandAsks) {
  dir.Write("backup.bin", "kept");
  auto r = test::RunProgramOnTerminal(
      test::kCli, Args({"dump", "--region", "0-F", "-o", dir.File("backup.bin")}), "n\n");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find(dir.File("backup.bin") + " exists. Replace it? [y/N] \n"), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("Cancelled: " + dir.File("backup.bin") + " kept; nothing was done.\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(ReadFile(dir.File("backup.bin")), "kept");
  EXPECT_EQ(phone->Stats().connects, 0);

  r = test::RunProgramOnTerminal(
      test::kCli, Args({"dump", "--region", "0-F", "-o", dir.File("backup.bin")}), "y\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir.File("backup.bin")), Nor(0, 16));
}

TEST_F(CliOverwrite, EveryTargetOfAPhoneCommandIsChecked) {
  const std::string before = Nor();
  dir.Write("fw.bin", Nor(0, 0x10) + "CHANGED");
  for (const char* name : {"u.dif", "s_2.ogm", "t.cfg", "r.tfr"}) dir.Write(name, "earlier");
  const std::vector<std::vector<std::string>> refused = {
      {"flash", "bin", dir.File("fw.bin"), "--undo", dir.File("u.dif")},
      {"erase", "--region", "10000-1FFFF", "--undo", dir.File("u.dif")},
      {"tfs", "dump", dir.File("t.tfs")},
      {"tfs", "raw-read", "0", "1", dir.File("r.tfr")},
      {"identify", "--trace", dir.File("u.dif")},
  };
  for (const auto& args : refused) {
    const auto r = Run(args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(" exists; give --overwrite to replace it"), std::string::npos) << r.err;
  }
  StartPhone(PhoneOf("S500"));
  const auto r = Run({"dump-s500", "-o", dir.File("s")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find(dir.File("s_2.ogm") + " exists"), std::string::npos) << r.err;
  for (const char* name : {"u.dif", "s_2.ogm", "t.cfg", "r.tfr"})
    EXPECT_EQ(ReadFile(dir.File(name)), "earlier") << name;
  // Nor may the trace of a flash replace the image it flashes.
  const auto flash =
      Run({"flash", "bin", dir.File("fw.bin"), "--trace", dir.File("fw.bin"), "--overwrite"});
  EXPECT_EQ(flash.status, 2) << flash.err;
  EXPECT_NE(flash.err.find("is also a file this command reads"), std::string::npos) << flash.err;
  EXPECT_EQ(ReadFile(dir.File("fw.bin")), Nor(0, 0x10) + "CHANGED");
  EXPECT_EQ(phone->Stats().connects, 0);
}

TEST_F(CliOverwrite, AnUndoFileIsNeverReplacedByTheFlashThatReadsIt) {
  auto r = Run({"flash", "hex", "--offset", "20000", "AB CD", "--undo", dir.File("undo.dif")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string undo = ReadFile(dir.File("undo.dif"));
  const std::string changed = Nor();
  for (const bool overwrite : {false, true}) {
    std::vector<std::string> args = {"flash", "dif", dir.File("undo.dif"), "--undo",
                                     dir.File("./undo.dif")};
    if (overwrite) args.push_back("--overwrite");
    r = Run(args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(dir.File("./undo.dif") + " is also a file this command reads (" +
                         dir.File("undo.dif") + "); the file written needs a name of its own"),
              std::string::npos)
        << r.err;
  }
  EXPECT_EQ(ReadFile(dir.File("undo.dif")), undo);
  EXPECT_EQ(NorDifference(changed), "");
  EXPECT_EQ(phone->Stats().connects, 1);
}

TEST_F(CliOverwrite, FilesOnlyCommandsKeepTheirTargetsToo) {
  dir.Write("fw.bin", std::string(0x100, 'F'));
  dir.Write("fw.s3", "earlier");
  auto r =
      test::RunProgram(test::kCli, {"convert", "bin-to-s3", dir.File("fw.bin"), dir.File("fw.s3")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(r.err, "brantle-cli: " + dir.File("fw.s3") +
                       " exists; give --overwrite to replace it\nsee brantle-cli convert --help\n");
  r = test::RunProgram(
      test::kCli, {"convert", "bin-to-s3", dir.File("fw.bin"), dir.File("fw.bin"), "--overwrite"});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("is also a file this command reads"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(dir.File("fw.bin")), std::string(0x100, 'F'));
  r = test::RunProgram(test::kCli,
                       {"dif", "create", "--target", dir.File("fw.bin"), "-o", dir.File("fw.s3")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find(" exists; give --overwrite"), std::string::npos) << r.err;
  dir.Write("nand.tfr", "");
  dir.Write("fw.cfg", "earlier");
  r = test::RunProgram(test::kCli, {"tfs", "decode", dir.File("nand.tfr"), dir.File("fw.tfs")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find(dir.File("fw.cfg") + " exists"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(dir.File("fw.cfg")), "earlier");
  EXPECT_EQ(ReadFile(dir.File("fw.s3")), "earlier");
  r = test::RunProgram(
      test::kCli, {"convert", "bin-to-s3", dir.File("fw.bin"), dir.File("fw.s3"), "--overwrite"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(ReadFile(dir.File("fw.s3")), "earlier");
}

}  // namespace
}  // namespace brantle
