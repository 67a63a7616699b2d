// What an operation did to the phone, as the tally keeps it: the stretches merged,
// each kind of step counted as the virtual phone saw it, one operation's parts
// adding up and the next operation starting empty.

#include "operations/operation_tally.h"

#include <gtest/gtest.h>

#include "operations/dump_workflow.h"
#include "operations/erase_workflow.h"
#include "operations/flash_pages.h"
#include "operations/flash_workflow.h"
#include "operations/tfs_workflows.h"
#include "support/phone_rig.h"

namespace brantle {
namespace {

using test::PhoneRig;

constexpr uint32_t kSector = 0x10000;

std::vector<NorStretch> Stretches(std::initializer_list<NorStretch> list) {
  return list;
}

TEST(NorStretchesTest, TouchingAndOverlappingStretchesMergeInAnyOrder) {
  NorStretches s;
  s.Add(0x20000, kSector);
  s.Add(0x40000, kSector);
  EXPECT_EQ(s.List(), Stretches({{0x20000, 0x2FFFF}, {0x40000, 0x4FFFF}}));
  s.Add(0x30000, kSector);  // fills the gap
  EXPECT_EQ(s.List(), Stretches({{0x20000, 0x4FFFF}}));
  s.Add(0x25000, 0x100);  // already inside: counted, not listed again
  s.Add(0x10000, 1);
  s.Add(0x70000, 0);  // nothing
  EXPECT_EQ(s.List(), Stretches({{0x10000, 0x10000}, {0x20000, 0x4FFFF}}));
  EXPECT_EQ(s.Bytes(), 3u * kSector + 0x100 + 1);
  EXPECT_EQ(s.Text(), "10000-10000, 20000-4FFFF");
  // A stretch at the very end of the address space.
  s.Add(0xFFFFFF00u, 0x100);
  EXPECT_EQ(s.List().back(), (NorStretch{0xFFFFFF00u, 0xFFFFFFFFu}));
  EXPECT_TRUE(NorStretches().Empty());
}

TEST(OperationTallyTest, AFlashCountsReadsProgramsVerificationAndUnchangedSectors) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  rig.settings.SetSkipUnchanged(true);
  rig.settings.SetVerifyWrites(true);
  std::vector<uint8_t> wanted = rig.Nor();
  wanted[0x31234] = static_cast<uint8_t>(~wanted[0x31234]);  // the middle sector changes

  TDIFFile image;
  image.SetNORData(
      image.AddBlock(), 0x20000,
      std::string(reinterpret_cast<const char*>(wanted.data()) + 0x20000, 3 * kSector));
  TDIFFile undo;
  ASSERT_TRUE(FlashImage(rig.frame, rig.driver, image, "NORD", &undo, "NORD", nullptr));
  ASSERT_EQ(rig.Nor(), wanted);

  const OperationTally& t = rig.frame.Tally();
  // Three sectors read for the undo, the changed one read back once more.
  EXPECT_EQ(t.Read.List(), Stretches({{0x20000, 0x4FFFF}}));
  EXPECT_EQ(t.Read.Bytes(), 4u * kSector);
  EXPECT_EQ(t.Read.Bytes(), uint64_t{kSector} * rig.ePhone->Stats().reads);
  EXPECT_EQ(t.Programmed.List(), Stretches({{0x30000, 0x3FFFF}}));
  EXPECT_EQ(t.Unchanged.List(), Stretches({{0x20000, 0x2FFFF}, {0x40000, 0x4FFFF}}));
  EXPECT_EQ(t.UnchangedCount, 2);
  EXPECT_TRUE(t.Erased.Empty());
  EXPECT_TRUE(t.EepromKept.Empty());
  EXPECT_FALSE(t.WroteNothing());
}

TEST(OperationTallyTest, NoToTheEepromQuestionKeepsItsSectorsOutOfTheProgrammed) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  std::vector<uint8_t> wanted = rig.Nor();
  rig.ui.answers = {Answer::No};
  // Two bytes: the firmware area's last and the EEPROM area's first.
  FlashHexPage(rig.frame, rig.driver, "DFFFFF", "\x12\x34", {});
  wanted[0xDFFFFF] = 0x12;
  EXPECT_EQ(rig.Nor(), wanted);

  const OperationTally& t = rig.frame.Tally();
  EXPECT_EQ(t.Programmed.List(), Stretches({{0xDF0000, 0xDFFFFF}}));
  EXPECT_EQ(t.EepromKept.List(), Stretches({{0xE00000, 0xE0FFFF}}));
  // Something was written: the flash still says it completed.
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>{"Flashing completed."});
}

TEST(OperationTallyTest, AnEraseAddsUpOverItsPartsAndTheNextOperationStartsEmpty) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  rig.ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{rig.dir.File("undo.dif")}});
  // The undo and edge reads each end idle before the erase goes on.
  ASSERT_TRUE(EraseNor(rig.frame, rig.driver, "10100", "2FEFF", true, {}));

  const OperationTally& t = rig.frame.Tally();
  EXPECT_EQ(t.Erased.List(), Stretches({{0x10000, 0x2FFFF}}));
  EXPECT_EQ(t.Erased.Bytes(), 2u * kSector);
  // The head and tail written back with their sectors.
  EXPECT_EQ(t.Programmed.List(), Stretches({{0x10000, 0x2FFFF}}));
  EXPECT_EQ(t.Read.Bytes(), uint64_t{kSector} * rig.ePhone->Stats().reads);
  EXPECT_EQ(t.Read.List(), Stretches({{0x10000, 0x2FFFF}}));

  std::string data;
  rig.frame.BeginOperation();
  ASSERT_TRUE(DumpRegion(rig.frame, rig.driver, 0x50000, 0x5FFFF, data));
  EXPECT_EQ(rig.frame.Tally().Read.List(), Stretches({{0x50000, 0x5FFFF}}));
  EXPECT_TRUE(rig.frame.Tally().Erased.Empty());
  EXPECT_TRUE(rig.frame.Tally().Programmed.Empty());
}

TEST(OperationTallyTest, AnOptiFlashEraseIsItsRegionExactly) {
  PhoneRig rig("Opti", 0);
  ASSERT_TRUE(rig.Connect());
  ASSERT_TRUE(EraseNor(rig.frame, rig.driver, "10100", "2FEFF", false, {}));
  EXPECT_EQ(rig.frame.Tally().Erased.List(), Stretches({{0x10100, 0x2FEFF}}));
  EXPECT_TRUE(rig.frame.Tally().Programmed.Empty());
  EXPECT_TRUE(rig.frame.Tally().Read.Empty());
}

TEST(OperationTallyTest, FilesSentAndAFormatCount) {
  PhoneRig rig("E800");
  ASSERT_TRUE(rig.Connect());
  rig.dir.Write("a.txt", "hello");
  rig.dir.Write("b.txt", "world!");
  ASSERT_TRUE(FlashTfsFiles(
      rig.frame, rig.driver,
      {{rig.dir.File("a.txt"), "/user/a.txt"}, {rig.dir.File("b.txt"), "/user/b.txt"}}));
  EXPECT_EQ(rig.frame.Tally().FilesSent, 2);
  EXPECT_EQ(rig.frame.Tally().FileBytesSent, 11u);
  EXPECT_EQ(rig.ePhone->NandTree().files.size(), 2u);
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>{"Flashing completed. Phone disconnected."});

  ASSERT_TRUE(rig.driver.TickUntilConnected(10000));
  EXPECT_EQ(rig.frame.Tally().FilesSent, 0);  // connecting is an operation of its own
  ASSERT_TRUE(FormatNand(rig.frame, rig.driver));
  EXPECT_TRUE(rig.frame.Tally().NandFormatted);
  EXPECT_FALSE(rig.frame.Tally().WroteNothing());
  EXPECT_EQ(rig.ePhone->Stats().formats, 1);
}

}  // namespace
}  // namespace brantle
