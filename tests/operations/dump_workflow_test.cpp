// NOR dumps against the virtual phones: the sectors and pieces read, the bytes
// returned, the three file types, the 2BIN+2OGM set and its proposed names, and the
// ends of a dump: engine errors, a cancel, regions the phone cannot address.

#include "operations/dump_workflow.h"

#include <gtest/gtest.h>

#include "dif/DIFFiles.h"
#include "formats/s3_file.h"
#include "support/phone_rig.h"

namespace brantle {
namespace {

using test::PhoneRig;
using test::ReadFile;

std::string NorBytes(const PhoneRig& rig, uint32_t start, uint32_t end) {
  const std::vector<uint8_t> nor = rig.Nor();
  return std::string(nor.begin() + start, nor.begin() + end + 1);
}

// Clicks Cancel (and confirms) at the first progress report of the operation.
void CancelAtFirstPump(PhoneRig& rig) {
  rig.ui.answers = {Answer::Yes};
  rig.ui.onPump = [&rig] {
    if (rig.frame.State().CancelEnabled) rig.frame.RequestCancel();
  };
}

TEST(DumpRegionTest, EReadsWholeSectorsAndCutsTheRegion) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  std::string data;
  ASSERT_TRUE(DumpRegion(rig.frame, rig.driver, 0x10001, 0x2FFFE, data));
  EXPECT_EQ(rig.ePhone->Stats().reads, 2);
  EXPECT_EQ(data.size(), 131070u);
  EXPECT_EQ(data, NorBytes(rig, 0x10001, 0x2FFFE));
  EXPECT_EQ(rig.ui.progressMax, 131070);  // the bar counts the region, not the sectors
  EXPECT_FALSE(rig.frame.Busy);
}

TEST(DumpRegionTest, OptiReadsPiecesOf64K) {
  PhoneRig rig("Opti", 0);
  ASSERT_TRUE(rig.Connect());
  const int before = rig.optiPhone->Stats().sucks;
  std::string data;
  ASSERT_TRUE(DumpRegion(rig.frame, rig.driver, 0, 0x1FFFFF, data));
  EXPECT_EQ(rig.optiPhone->Stats().sucks - before, 32);
  EXPECT_EQ(data, NorBytes(rig, 0, 0x1FFFFF));
}

TEST(DumpRegionTest, ERefusesRegionsBeyond16MiBBeforeSendingAnything) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  std::string data;
  EXPECT_FALSE(DumpRegion(rig.frame, rig.driver, 0xFF0000, 0x100FFFF, data));
  EXPECT_EQ(rig.ePhone->Stats().reads, 0);
  ASSERT_EQ(rig.ui.Texts(MessageKind::Error).size(), 1u);
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error)[0],
            "Dump aborted: the region reaches beyond 16 MiB, which this phone's loader cannot "
            "address");
}

TEST(DumpNorTest, BinDumpWritesTheRegionAndCompletes) {
  PhoneRig rig("E800");
  ASSERT_TRUE(rig.Connect());
  const std::string target = rig.dir.File("dump.bin");
  ASSERT_TRUE(DumpNor(rig.frame, rig.driver, "20000", "3FFFF", DumpFileType::BinCla, target, {}));
  EXPECT_EQ(ReadFile(target), NorBytes(rig, 0x20000, 0x3FFFF));
  ASSERT_EQ(rig.ui.messages.size(), 1u);
  EXPECT_EQ(rig.ui.messages[0].kind, MessageKind::Information);
  EXPECT_EQ(rig.ui.messages[0].text, "Dump completed.");
}

TEST(DumpNorTest, DifDumpIsOneNordBlockAndTheCommentOnlyWhenNotBlank) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  const NorAreas areas = rig.frame.Areas();
  const std::string start = RegionHex(areas.EepromStart());
  const std::string end = RegionHex(areas.Total() - 1);
  const std::string eeprom = NorBytes(rig, areas.EepromStart(), areas.Total() - 1);

  const std::string plain = rig.dir.File("ee.dif");
  ASSERT_TRUE(DumpNor(rig.frame, rig.driver, start, end, DumpFileType::Dif, plain, {}));
  TDIFFile dif;
  ASSERT_EQ(dif.LoadFromFile(plain), kDIFOk);
  ASSERT_EQ(dif.Blocks.size(), 1u);
  EXPECT_EQ(dif.Blocks[0].Kind, "NORD");
  uint32_t address = 0;
  std::string bytes;
  TDIFFile::GetNORData(dif.Blocks[0], address, bytes);
  EXPECT_EQ(address, areas.EepromStart());
  EXPECT_EQ(bytes, eeprom);
  EXPECT_EQ(dif.PhoneID, "BRNA");

  const std::string commented = rig.dir.File("ee2.dif");
  UndoParameters options;
  options.Comment = "{\\rtf1 EEPROM of my phone\\par}";
  options.Compress = 1;
  ASSERT_TRUE(DumpNor(rig.frame, rig.driver, start, end, DumpFileType::Dif, commented, options));
  TDIFFile second;
  ASSERT_EQ(second.LoadFromFile(commented), kDIFOk);
  ASSERT_EQ(second.Blocks.size(), 2u);
  EXPECT_EQ(second.Blocks[0].Kind, "dIFC");
  EXPECT_EQ(TDIFFile::GetComment(second.Blocks[0]), options.Comment);
  EXPECT_EQ(second.Blocks[1].Data, dif.Blocks[0].Data);
}

TEST(DumpNorTest, S3DumpReadsBackAsTheRegion) {
  PhoneRig rig("Opti", 0);
  ASSERT_TRUE(rig.Connect());
  const std::string target = rig.dir.File("dump.s3");
  ASSERT_TRUE(DumpNor(rig.frame, rig.driver, "1F8", "20107", DumpFileType::S3, target, {}));
  std::vector<TDIFBlock> blocks;
  ASSERT_EQ(ParseS3Text(ReadFile(target), blocks), kS3AllLinesValid);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(NORAddress(blocks[0]), 0x1F8u);
  EXPECT_EQ(std::string(NORDataBytes(blocks[0]), NORDataLength(blocks[0])),
            NorBytes(rig, 0x1F8, 0x20107));
}

TEST(DumpNorTest, FailuresLeaveTheTargetUntouched) {
  struct Case {
    const char* name;
    std::function<void(PhoneRig&)> arrange;
    const char* start;
    std::vector<std::string> errors;
  };
  const std::vector<Case> cases = {
      {"cancel", CancelAtFirstPump, "0", {}},
      {"crc",
       [](PhoneRig& rig) { rig.ePhone->FailReadChecksums(100); },
       "0",
       {"Dump aborted:  unrecoverable CRC error"}},
      {"field",
       [](PhoneRig&) {},
       "1O000",
       {"Dump aborted: invalid region (hexadecimal NOR addresses, start not above end)"}},
      {"inverted",
       [](PhoneRig&) {},
       "40000",
       {"Dump aborted: invalid region (hexadecimal NOR addresses, start not above end)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PhoneRig rig("E700");
    ASSERT_TRUE(rig.Connect());
    rig.dir.Write("old.bin", "old contents");
    c.arrange(rig);
    EXPECT_FALSE(DumpNor(rig.frame, rig.driver, c.start, "3FFFF", DumpFileType::BinCla,
                         rig.dir.File("old.bin"), {}));
    EXPECT_EQ(ReadFile(rig.dir.File("old.bin")), "old contents");
    EXPECT_EQ(rig.ui.Texts(MessageKind::Error), c.errors);
    EXPECT_TRUE(rig.ui.Texts(MessageKind::Information).empty());
    EXPECT_FALSE(rig.frame.Busy);
  }
}

TEST(DumpS500Test, WritesTheFourWindowsOfTheFirmwareArea) {
  PhoneRig rig("S500");
  ASSERT_TRUE(rig.Connect());
  S500Names names;
  for (S500Part part : {kS500Bin1, kS500Ogm1, kS500Bin2, kS500Ogm2})
    names[part] = rig.dir.File("s500xedh1" + std::string(S500WindowOf(part).Suffix));
  ASSERT_TRUE(DumpS500(rig.frame, rig.driver, names));
  for (S500Part part : {kS500Bin1, kS500Ogm1, kS500Bin2, kS500Ogm2}) {
    const S500Window& w = S500WindowOf(part);
    EXPECT_EQ(ReadFile(names[part]), NorBytes(rig, w.Base, w.Last)) << w.Suffix;
  }
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information), std::vector<std::string>{"Dump completed."});
}

TEST(S500DumpTargetsTest, ProposesNamesFromTheFileChosenLast) {
  test::RecordingUi ui;
  test::TempDir dir;
  Settings settings(dir.File("brntl.ini"));
  OperationFrame frame(ui, settings);
  S500DumpTargets targets;
  EXPECT_EQ(targets.Proposal(kS500Bin2), "");

  ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{"/fw/s500xedh1_1.bin"}});
  ASSERT_TRUE(targets.Choose(frame, kS500Bin1));
  ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{"/fw/other_2.ogm"}});
  ASSERT_TRUE(targets.Choose(frame, kS500Bin2));
  EXPECT_EQ(ui.fileDialogs[1].InitialName, "s500xedh1_2.bin");
  EXPECT_EQ(ui.fileDialogs[1].DefaultExt, "bin");
  EXPECT_EQ(targets.Names()[kS500Bin2], "/fw/other_2.ogm");

  ui.fileAnswers.push_back(std::nullopt);  // Cancel keeps the field
  EXPECT_FALSE(targets.Choose(frame, kS500Ogm1));
  EXPECT_EQ(ui.fileDialogs[2].InitialName, "other_1.ogm");
  EXPECT_EQ(ui.fileDialogs[2].Title, "Choose OGM 1 file to write...");
  EXPECT_TRUE(targets.Names()[kS500Ogm1].empty());
  EXPECT_FALSE(targets.DumpEnabled());

  // After the page is shown again the fields decide: BIN1 first.
  targets.TabShown();
  EXPECT_EQ(targets.Proposal(kS500Ogm2), "s500xedh1_2.ogm");
  targets.SetName(kS500Ogm1, "a_1.ogm");
  targets.SetName(kS500Ogm2, "a_2.ogm");
  EXPECT_TRUE(targets.DumpEnabled());
}

}  // namespace
}  // namespace brantle
