// Erasing NOR regions on the virtual phones: whole sectors with the bytes around the
// region kept, nothing erased when a read before fails, the undo DIF that puts the
// region back, the cancel between sectors, the EEPROM question asked before anything
// is erased, and the OptiFlash erase by writing 0xFF.

#include "operations/erase_workflow.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "operations/flash_workflow.h"
#include "support/phone_rig.h"

namespace brantle {
namespace {

using test::PhoneRig;

// The NOR after erasing start..end: 0xFF there, the rest as before.
std::vector<uint8_t> Erased(std::vector<uint8_t> nor, uint32_t start, uint32_t end) {
  std::fill(nor.begin() + start, nor.begin() + end + 1, 0xFF);
  return nor;
}

TEST(EraseRegionTest, WholeSectorsAreErasedWithoutReadsOrWriteBack) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.Nor();
  rig.frame.BeginOperation();
  EXPECT_TRUE(EraseRegion(rig.frame, rig.driver, 0x10000, 0x2FFFF, nullptr, "nOrR"));
  const sim::EPhoneStats stats = rig.ePhone->Stats();
  EXPECT_GT(stats.erases, 0);
  EXPECT_EQ(stats.reads, 0);
  EXPECT_EQ(stats.programs, 0);
  EXPECT_EQ(rig.Nor(), Erased(before, 0x10000, 0x2FFFF));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information), std::vector<std::string>{"Erase completed."});
  EXPECT_FALSE(rig.frame.Busy);
}

TEST(EraseRegionTest, BytesAroundAnUnalignedRegionAreReadFirstAndFlashedBack) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.Nor();
  rig.frame.BeginOperation();
  EXPECT_TRUE(EraseRegion(rig.frame, rig.driver, 0x10100, 0x2FEFF, nullptr, "nOrR"));
  // Sectors 1 and 2 before the erase; the flash back reads them again, as it does for
  // any sector it only partly writes.
  EXPECT_EQ(rig.ePhone->Stats().reads, 4);
  EXPECT_GT(rig.ePhone->Stats().programs, 0);
  EXPECT_EQ(rig.Nor(), Erased(before, 0x10100, 0x2FEFF));
  EXPECT_TRUE(rig.ui.Texts(MessageKind::Error).empty());
  // The write-back is part of the erase: it ends with the erase's own message.
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information), std::vector<std::string>{"Erase completed."});
  EXPECT_FALSE(rig.frame.Busy);
}

TEST(EraseRegionTest, AReadErrorBeforeTheEraseErasesNothing) {
  for (bool makeUndo : {true, false}) {
    SCOPED_TRACE(makeUndo ? "undo" : "head");
    PhoneRig rig("E700");
    ASSERT_TRUE(rig.Connect());
    const std::vector<uint8_t> before = rig.Nor();
    rig.ePhone->FailReadChecksums(100);
    EXPECT_FALSE(EraseNor(rig.frame, rig.driver, "10100", "2FEFF", makeUndo, {}));
    EXPECT_EQ(rig.ePhone->Stats().erases, 0);
    EXPECT_EQ(rig.Nor(), before);
    EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
              std::vector<std::string>{"Dump aborted:  unrecoverable CRC error"});
    EXPECT_TRUE(rig.ui.fileDialogs.empty());  // nothing recorded, nothing offered
    EXPECT_FALSE(rig.frame.Busy);
  }
}

TEST(EraseNorTest, TheUndoDifFlashedBackRestoresTheRegion) {
  PhoneRig rig("E800");
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.Nor();
  const std::string undoName = rig.dir.File("undo.dif");
  rig.ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{undoName}});
  ASSERT_TRUE(EraseNor(rig.frame, rig.driver, "10100", "2FEFF", true, {}));
  EXPECT_EQ(rig.Nor(), Erased(before, 0x10100, 0x2FEFF));
  ASSERT_EQ(rig.ui.fileDialogs.size(), 1u);
  EXPECT_EQ(rig.ui.fileDialogs[0].Title, "Choose reverse DIF file to write...");

  TDIFFile undo;
  ASSERT_EQ(undo.LoadFromFile(undoName), kDIFOk);
  ASSERT_EQ(undo.Blocks.size(), 1u);
  EXPECT_EQ(undo.Blocks[0].Kind, "NORD");
  EXPECT_EQ(NORAddress(undo.Blocks[0]), 0x10100u);
  ASSERT_TRUE(FlashImage(rig.frame, rig.driver, undo, "NORD", nullptr, "nOrR", nullptr));
  EXPECT_EQ(rig.Nor(), before);
}

TEST(EraseNorTest, CancelBetweenSectorsStillRestoresTheBytesAroundTheRegion) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.Nor();
  rig.ui.answers = {Answer::Yes};
  rig.ui.onPump = [&rig] {
    if (rig.ePhone->Stats().erases > 0 && rig.frame.State().CancelEnabled)
      rig.frame.RequestCancel();
  };
  EXPECT_FALSE(EraseNor(rig.frame, rig.driver, "10100", "3FEFF", false, {}));
  // Sector 1 was erased and its head put back; sectors 2 and 3 were never touched.
  EXPECT_EQ(rig.Nor(), Erased(before, 0x10100, 0x1FFFF));
  EXPECT_FALSE(rig.frame.Busy);
}

TEST(EraseNorTest, RefusesWhatThePhoneCannotAddress) {
  struct Case {
    const char* start;
    const char* end;
    const char* error;
  };
  for (const Case& c : {
           Case{"FF0000", "100FFFF",
                "Erasing aborted: the region reaches beyond 16 MiB, which this phone's loader "
                "cannot address"},
           Case{"30000", "2FFFF",
                "Erasing aborted: invalid region (hexadecimal NOR addresses, start not above "
                "end)"},
       }) {
    SCOPED_TRACE(c.start);
    PhoneRig rig("E700");
    ASSERT_TRUE(rig.Connect());
    EXPECT_FALSE(EraseNor(rig.frame, rig.driver, c.start, c.end, true, {}));
    EXPECT_EQ(rig.ePhone->Stats().erases, 0);
    EXPECT_EQ(rig.ePhone->Stats().reads, 0);
    EXPECT_EQ(rig.ui.Texts(MessageKind::Error), std::vector<std::string>{c.error});
  }
}

// The EEPROM area of these families starts at E00000, a sector boundary.
class EraseEepromTest : public ::testing::TestWithParam<const char*> {
 protected:
  EraseEepromTest() : rig(GetParam()) {
    // A second 8 MiB chip, so that the OptiFlash phone's chips reach the EEPROM area.
    sim::OptiChipConfig upper;
    upper.base = 8u << 20;
    rig.optiConfig.chips.push_back(upper);
  }
  void SetUp() override { ASSERT_TRUE(rig.Connect()); }
  std::vector<std::string> Warnings() const { return rig.ui.Texts(MessageKind::Warning); }
  PhoneRig rig;
};

TEST_P(EraseEepromTest, NoKeepsTheWholeEepromSectorAndSaysSo) {
  const std::vector<uint8_t> before = rig.Nor();
  rig.ui.answers = {Answer::No};
  EXPECT_TRUE(EraseNor(rig.frame, rig.driver, "E00100", "E0FEFF", false, {}));
  ASSERT_EQ(Warnings().size(), 1u) << "asked once, before anything was erased";
  EXPECT_EQ(Warnings()[0].rfind("Warning! You are going to erase system EEPROM area", 0), 0u)
      << Warnings()[0];
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>{
                "Nothing was erased.\nThe EEPROM area was not erased: E00100-E0FEFF"});
  const std::vector<uint8_t> after = rig.Nor();
  EXPECT_TRUE(
      std::equal(after.begin() + 0xE00000, after.begin() + 0xE00100, before.begin() + 0xE00000))
      << "head";
  EXPECT_TRUE(
      std::equal(after.begin() + 0xE0FF00, after.begin() + 0xE10000, before.begin() + 0xE0FF00))
      << "tail";
  EXPECT_EQ(after, before);
  EXPECT_TRUE(rig.ui.Texts(MessageKind::Error).empty());
  EXPECT_FALSE(rig.frame.Busy);
}

TEST_P(EraseEepromTest, YesErasesTheRegionAndPutsBackHeadAndTailWithoutAskingAgain) {
  const std::vector<uint8_t> before = rig.Nor();
  rig.ui.answers = {Answer::Yes, Answer::No};  // a second question would skip the write-back
  EXPECT_TRUE(EraseNor(rig.frame, rig.driver, "E00100", "E0FEFF", false, {}));
  EXPECT_EQ(Warnings().size(), 1u);
  const std::vector<uint8_t> after = rig.Nor();
  EXPECT_TRUE(
      std::equal(after.begin() + 0xE00000, after.begin() + 0xE00100, before.begin() + 0xE00000))
      << "head";
  EXPECT_TRUE(
      std::equal(after.begin() + 0xE0FF00, after.begin() + 0xE10000, before.begin() + 0xE0FF00))
      << "tail";
  EXPECT_EQ(after, Erased(before, 0xE00100, 0xE0FEFF));
  EXPECT_TRUE(rig.ui.Texts(MessageKind::Error).empty());
}

TEST_P(EraseEepromTest, NoErasesOnlyTheFirmwarePartOfARegionAcrossTheBoundary) {
  const std::vector<uint8_t> before = rig.Nor();
  const std::string undoName = rig.dir.File("undo.dif");
  rig.ui.answers = {Answer::No};
  rig.ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{undoName}});
  EXPECT_TRUE(EraseNor(rig.frame, rig.driver, "DF0100", "E0FEFF", true, {}));
  EXPECT_EQ(Warnings().size(), 1u);
  // One ending, the erase's own, naming the part kept (the head's write-back says
  // nothing of its own).
  EXPECT_EQ(
      rig.ui.Texts(MessageKind::Information),
      std::vector<std::string>{"Erase completed.\nThe EEPROM area was not erased: E00000-E0FEFF"});
  EXPECT_EQ(rig.Nor(), Erased(before, 0xDF0100, 0xDFFFFF));

  // The undo holds what was erased, and puts it back without touching the EEPROM.
  TDIFFile undo;
  ASSERT_EQ(undo.LoadFromFile(undoName), kDIFOk);
  ASSERT_EQ(undo.Blocks.size(), 1u);
  EXPECT_EQ(NORAddress(undo.Blocks[0]), 0xDF0100u);
  EXPECT_EQ(NORDataLength(undo.Blocks[0]), 0xFF00u);
  ASSERT_TRUE(FlashImage(rig.frame, rig.driver, undo, "NORD", nullptr, "nOrR", nullptr));
  EXPECT_EQ(rig.Nor(), before);
  EXPECT_EQ(Warnings().size(), 1u);
}

TEST_P(EraseEepromTest, AFirmwareRegionAsksNothing) {
  const std::vector<uint8_t> before = rig.Nor();
  EXPECT_TRUE(EraseNor(rig.frame, rig.driver, "DF0100", "DFFEFF", false, {}));
  EXPECT_TRUE(Warnings().empty());
  EXPECT_EQ(rig.Nor(), Erased(before, 0xDF0100, 0xDFFEFF));
}

INSTANTIATE_TEST_SUITE_P(Families, EraseEepromTest, ::testing::Values("E700", "Opti"));

TEST(EraseNorTest, OptiWritesErasedBytesOverExactlyTheRegion) {
  PhoneRig rig("Opti", 0);
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.Nor();
  const std::string undoName = rig.dir.File("undo.dif");
  rig.ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{undoName}});
  ASSERT_TRUE(EraseNor(rig.frame, rig.driver, "10100", "2FEFF", true, {}));
  EXPECT_EQ(rig.Nor(), Erased(before, 0x10100, 0x2FEFF));
  EXPECT_TRUE(rig.ui.Texts(MessageKind::Error).empty());

  TDIFFile undo;
  ASSERT_EQ(undo.LoadFromFile(undoName), kDIFOk);
  ASSERT_TRUE(FlashImage(rig.frame, rig.driver, undo, "NORD", nullptr, "nOrR", nullptr));
  EXPECT_EQ(rig.Nor(), before);
}

}  // namespace
}  // namespace brantle
