// Every kind of `flash` against the virtual phone, its whole memory compared with
// what the files and texts given ask for afterwards.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "dif/DIFFiles.h"
#include "phone_fixture.h"

namespace brantle {
namespace {

class CliFlash : public test::CliOnPhone {};

// One S-record of type 3 (32-bit address), as a line of the file.
std::string S3Record(uint32_t address, const std::string& data) {
  std::string bytes{static_cast<char>(data.size() + 5), static_cast<char>(address >> 24),
                    static_cast<char>(address >> 16), static_cast<char>(address >> 8),
                    static_cast<char>(address)};
  bytes += data;
  uint8_t sum = 0;
  for (char c : bytes) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
  bytes.push_back(static_cast<char>(~sum));
  std::string line = "S3";
  char hex[3];
  for (char c : bytes) {
    std::snprintf(hex, sizeof hex, "%02X", static_cast<uint8_t>(c));
    line += hex;
  }
  return line + "\r\n";
}

TEST_F(CliFlash, HexDataIsWrittenAsTheBytesTheTextStandsFor) {
  const std::string before = Nor();
  auto r = Run({"flash", "hex", "--offset", "E00000", "AB CD", "--undo", dir.File("u.dif"),
                "--eeprom", "yes"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(NorDifference(std::string(before).replace(0xE00000, 2, "\xAB\xCD")), "");

  // The undo DIF holds the two bytes replaced and nothing else.
  TDIFFile undo;
  ASSERT_EQ(undo.LoadFromFile(dir.File("u.dif")), kDIFOk);
  ASSERT_EQ(undo.Blocks.size(), 1u);
  EXPECT_EQ(undo.Blocks[0].Kind, "NORD");
  uint32_t address = 0;
  std::string bytes;
  TDIFFile::GetNORData(undo.Blocks[0], address, bytes);
  EXPECT_EQ(address, 0xE00000u);
  EXPECT_EQ(bytes, before.substr(0xE00000, 2));

  r = Run({"flash", "dif", dir.File("u.dif"), "--eeprom", "yes"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(NorDifference(before), "");
}

TEST_F(CliFlash, HexTextOrOffsetThatCannotBeFlashedIsRefusedBeforeConnecting) {
  const std::string before = Nor();
  const std::vector<std::vector<std::string>> refused = {
      {"--offset", "E00000", "ZZ not hex"}, {"--offset", "E00000", "ABC"},
      {"--offset", "E00000", " "},          {"--offset", "FFFFFF", "AB CD"},
      {"--offset", "E0000G", "AB"},         {"AB"},
  };
  for (std::vector<std::string> args : refused) {
    args.insert(args.begin(), {"flash", "hex"});
    args.insert(args.end(), {"--eeprom", "yes"});
    const auto r = Run(args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("brantle-cli: "), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Turn on the phone"), std::string::npos) << r.err;
  }
  EXPECT_EQ(phone->Stats().connects, 0);
  EXPECT_EQ(NorDifference(before), "");
}

TEST_F(CliFlash, AnImageWithoutDataIsRefusedBeforeConnecting) {
  dir.Write("empty.bin", "");
  dir.Write("same.bin", std::string(0x100, 'S'));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"flash", "bin", dir.File("empty.bin")},
        std::vector<std::string>{"flash", "diff", dir.File("same.bin"), dir.File("same.bin")}}) {
    const auto r = Run(args);
    EXPECT_EQ(r.status, 2) << r.err;
    // An empty file is refused as such; two files that do not differ have no data.
    EXPECT_TRUE(r.err.find(dir.File("empty.bin") + ": is empty") != std::string::npos ||
                r.err.find("There is no data to flash") != std::string::npos)
        << r.err;
    EXPECT_EQ(r.out.find("Completed"), std::string::npos) << r.out;
  }
  EXPECT_EQ(phone->Stats().connects, 0);
}

TEST_F(CliFlash, TwoBinDifferencesWriteOnlyWhatTheTargetChanges) {
  const std::string before = Nor();
  std::string original = before.substr(0, 0x30000);
  original[0x20000] = static_cast<char>(~original[0x20000]);  // not the phone's, not changed
  std::string target = original;
  target.replace(0x100, 4, "DIFF");
  target[0x2FFFF] = static_cast<char>(~target[0x2FFFF]);
  dir.Write("original.bin", original);
  dir.Write("target.bin", target);
  auto r = Run({"flash", "diff", dir.File("original.bin"), dir.File("target.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string expected = before;
  expected.replace(0x100, 4, "DIFF");
  expected[0x2FFFF] = target[0x2FFFF];
  EXPECT_EQ(NorDifference(expected), "");

  // Whole 64 KB blocks: every block that differs is written from the target.
  StartPhone(PhoneOf("E800"));
  r = Run({"flash", "diff", dir.File("original.bin"), dir.File("target.bin"), "--compare", "64k"});
  ASSERT_EQ(r.status, 0) << r.err;
  expected = before;
  expected.replace(0, 0x10000, target, 0, 0x10000);
  expected.replace(0x20000, 0x10000, target, 0x20000, 0x10000);
  EXPECT_EQ(NorDifference(expected), "");
}

TEST_F(CliFlash, S3RecordsLandAtTheirAddresses) {
  const std::string before = Nor();
  const std::string across(16, '\x3C');
  dir.Write("fw.s3", "S0030000FC\r\n" + S3Record(0x1FFF8, across) + S3Record(0x50000, "S3S3") +
                         "S70500000000FA\r\n");
  const auto r = Run({"flash", "s3", dir.File("fw.s3")});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string expected = before;
  expected.replace(0x1FFF8, across.size(), across);
  expected.replace(0x50000, 4, "S3S3");
  EXPECT_EQ(NorDifference(expected), "");
}

TEST_F(CliFlash, S500FilesLandInTheirWindows) {
  StartPhone(PhoneOf("S500"));
  const std::string before = Nor();
  const std::string ogm1(0x20, '\x0A'), bin2(0x10, '\x2B');
  dir.Write("fw_1.ogm", ogm1);
  dir.Write("fw_2.bin", bin2);
  const auto r =
      Run({"flash", "s500", "--ogm1", dir.File("fw_1.ogm"), "--bin2", dir.File("fw_2.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string expected = before;
  expected.replace(0x700000, ogm1.size(), ogm1);
  expected.replace(0x800000, bin2.size(), bin2);
  EXPECT_EQ(NorDifference(expected), "");
}

TEST_F(CliFlash, PartOfAFileLandsAtThePhoneOffset) {
  const std::string before = Nor();
  std::string file(0x3000, '\0');
  for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<char>(i * 7 + 3);
  dir.Write("part.bin", file);
  const auto r = Run({"flash", "part", dir.File("part.bin"), "--file-offset", "1000", "--length",
                      "1800", "--phone-offset", "3F800"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(NorDifference(std::string(before).replace(0x3F800, 0x1800, file, 0x1000, 0x1800)), "");
}

TEST_F(CliFlash, DifFilesThatCannotBeUsedStopTheFlashBeforeConnecting) {
  const std::string before = Nor();
  TDIFFile good;
  good.PhoneID = kDIFPhoneID;
  good.CreatorText = kDIFCreatorText;
  good.SetNORData(good.AddBlock(), 0x20000, "GOOD");
  ASSERT_EQ(good.SaveToFile(dir.File("good.dif"), 0), kDIFOk);
  dir.Write("random.dif", std::string(300, '\x5A'));
  const auto r = Run({"flash", "dif", dir.File("good.dif"), dir.File("random.dif")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find(dir.File("random.dif") + ": invalid DIF file"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Nothing was sent to the phone."), std::string::npos) << r.err;
  EXPECT_EQ(phone->Stats().connects, 0);
  EXPECT_EQ(NorDifference(before), "");
}

TEST_F(CliFlash, DifFilesWithNothingForThePhoneStopTheFlashBeforeConnecting) {
  StartPhone(PhoneOf("S500"));
  const std::string before = Nor();
  for (const char* name : {"files.dif", "comment.dif"}) {
    TDIFFile dif;
    dif.PhoneID = kDIFPhoneID;
    dif.CreatorText = kDIFCreatorText;
    if (std::string(name) == "files.dif")
      dif.SetTFSFile(dif.AddBlock(), "/user/a.txt", "text");
    else
      dif.SetComment(dif.AddBlock(), "{\\rtf1 only words\\par}");
    ASSERT_EQ(dif.SaveToFile(dir.File(name), 0), kDIFOk);
    const auto r = Run({"flash", "dif", dir.File(name)});
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(dir.File(name) + ": nothing in it"), std::string::npos) << r.err;
  }
  EXPECT_EQ(phone->Stats().connects, 0);
  EXPECT_EQ(NorDifference(before), "");
}

TEST_F(CliFlash, FilesThatCannotBeReadStopTheCommandBeforeConnecting) {
  const std::string before = Nor();
  dir.Write("fw.bin", "FIRMWARE");
  dir.Write("bad.s3", "S00600004844521B\nS3XX\n");
  dir.Write("huge.bin", std::string((32u << 20) + 1, '\x11'));
  dir.Write("short.bin", "0123");
  dir.Write("ogm1.ogm", std::string(0x100001, '\x22'));
  dir.Write("pair.tfs", "no CFG beside it");
  // A pair whose CFG names a folder where a file should be.
  dir.Write("folder.tfs", "ABCD");
  dir.Write("folder.cfg",
            "TFSVERSION : TFS3.0_E700_0001\nNUM_DIR : 1\nMAXFILES : 200\nSET_DIR\n"
            "DIR_NAME : /user\nEND_DIR\nSET_FILE\nFILE_NAME : /user/\nFILE_SIZE : 4\n"
            "END_FILE\nEND_TFS\n");
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"tfs", "flash", dir.File("folder.tfs")},
       "folder.tfs: /user/ names no file for the phone's file system"},
      {{"flash", "bin", dir.File("missing.bin")}, "missing.bin: No such file or directory"},
      {{"flash", "bin", dir.File("huge.bin")}, "huge.bin: Flashing aborted: "},
      {{"flash", "s3", dir.File("missing.s3")}, "missing.s3: No such file or directory"},
      {{"flash", "s3", dir.File("bad.s3")}, "bad.s3: Error: invalid S3 file, line 1"},
      {{"flash", "diff", dir.File("fw.bin"), dir.File("missing.bin")},
       "missing.bin: No such file or directory"},
      {{"flash", "part", dir.File("missing.bin"), "--file-offset", "0", "--length", "4",
        "--phone-offset", "10000"},
       "missing.bin: No such file or directory"},
      {{"flash", "part", dir.File("short.bin"), "--file-offset", "2", "--length", "4",
        "--phone-offset", "10000"},
       "--file-offset 2 and --length 4 reach beyond the end of " + dir.File("short.bin") +
           " (4 bytes, hexadecimal)"},
      {{"flash", "part", dir.File("short.bin"), "--file-offset", "0", "--length", "4K",
        "--phone-offset", "10000"},
       "brantle-cli: --length 4K is not a hexadecimal number\nsee brantle-cli flash --help\n"},
      {{"flash", "s500", "--bin2", dir.File("missing.bin")},
       "missing.bin: No such file or directory"},
      {{"flash", "s500", "--ogm1", dir.File("ogm1.ogm")}, "Operation aborted: invalid OGM1 file"},
      {{"flash", "s500"},
       "brantle-cli: flash s500 needs --bin1, --bin2, --ogm1 or --ogm2\n"
       "see brantle-cli flash --help\n"},
      {{"flash", "bin", dir.File("fw.bin"), "--undo", dir.File("u.dif"), "--comment",
        dir.File("missing.txt")},
       "missing.txt"},
      {{"tfs", "flash", dir.File("pair.tfs")}, "pair.tfs: "},
      {{"tfs", "put", dir.File("missing.txt") + "=/user/a.txt"},
       "missing.txt: No such file or directory"},
      {{"tfs", "put", dir.File("fw.bin") + "=user/a.txt"},
       "brantle-cli: tfs put takes LOCAL=/TFS/PATH, not " + dir.File("fw.bin") + "=user/a.txt\n"},
      {{"tfs", "put", dir.File("fw.bin") + "=/user/ok.bin", dir.File("fw.bin") + "=/user/"},
       "brantle-cli: /user/ names no file for the phone's file system"},
      {{"tfs", "put", dir.File("fw.bin") + "=/"}, "brantle-cli: / names no file"},
      {{"tfs", "raw-read", "10", "9", dir.File("r.tfr")}, "the first sector lies after the last"},
      {{"tfs", "raw-read", "0", "65536", dir.File("r.tfr")}, "the NAND has sectors 0 to 65535"},
      {{"dump", "--region", "somewhere", "-o", dir.File("d.bin")},
       "brantle-cli: --region somewhere: give firmware, eeprom, full or START-END in "
       "hexadecimal\nsee brantle-cli dump --help\n"},
  };
  for (const auto& [args, message] : refused) {
    const auto r = Run(args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(message), std::string::npos) << message << "\n" << r.err;
    EXPECT_EQ(r.err.find("Turn on the phone"), std::string::npos) << r.err;
  }
  EXPECT_EQ(phone->Stats().connects, 0);
  EXPECT_EQ(NorDifference(before), "");
  EXPECT_FALSE(std::ifstream(dir.File("u.dif")).good());
  EXPECT_FALSE(std::ifstream(dir.File("d.bin")).good());
  EXPECT_FALSE(std::ifstream(dir.File("r.tfr")).good());
}

}  // namespace
}  // namespace brantle
