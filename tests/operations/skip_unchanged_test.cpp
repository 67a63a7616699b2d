// Leaving out unchanged sectors: a sector whose old contents were read and that the
// image does not change is not programmed, counted by the program commands the
// virtual phone saw.

#include <gtest/gtest.h>

#include "operations/flash_workflow.h"
#include "operations/verified_write.h"
#include "support/phone_rig.h"

namespace brantle {
namespace {

using test::PhoneRig;

constexpr uint32_t kSector = 0x10000;
constexpr uint32_t kAt = 0x20000;
constexpr uint32_t kSectors = 4;

std::string NorBytes(const std::vector<uint8_t>& nor, uint32_t at, uint32_t n) {
  return std::string(reinterpret_cast<const char*>(nor.data()) + at, n);
}

TDIFFile ImageOf(uint32_t address, const std::string& bytes) {
  TDIFFile image;
  image.SetNORData(image.AddBlock(), address, bytes);
  return image;
}

TEST(SkipUnchangedTest, EFlashingWhatThePhoneHoldsProgramsNoSector) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  rig.settings.SetSkipUnchanged(true);
  const std::vector<uint8_t> before = rig.Nor();

  TDIFFile image = ImageOf(kAt, NorBytes(before, kAt, kSectors * kSector));
  TDIFFile undo;
  EXPECT_TRUE(FlashImage(rig.frame, rig.driver, image, "NORD", &undo, "NORD", nullptr));

  EXPECT_EQ(rig.ePhone->Stats().reads, static_cast<int>(kSectors));
  EXPECT_EQ(rig.ePhone->Stats().programs, 0);
  EXPECT_EQ(rig.Nor(), before);
  EXPECT_EQ(rig.ui.progressMax, 0);
  EXPECT_EQ(rig.ui.statuses.back().rfind(SkippedText(kSectors), 0), 0u) << rig.ui.statuses.back();
  // Not "Flashing completed.": nothing was.
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>{"Nothing was written to the phone.\nThe phone already held "
                                     "the bytes to write (unchanged sectors skipped: 4)."});
}

TEST(SkipUnchangedTest, EOneChangedByteProgramsOneSector) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  rig.settings.SetSkipUnchanged(true);
  std::vector<uint8_t> expected = rig.Nor();
  const uint32_t changed = kAt + 2 * kSector + 0x1234;
  expected[changed] = static_cast<uint8_t>(~expected[changed]);

  TDIFFile image = ImageOf(kAt, NorBytes(expected, kAt, kSectors * kSector));
  TDIFFile undo;
  EXPECT_TRUE(FlashImage(rig.frame, rig.driver, image, "NORD", &undo, "NORD", nullptr));

  EXPECT_EQ(rig.ePhone->Stats().programs, 1);
  EXPECT_EQ(rig.Nor(), expected);
  EXPECT_EQ(rig.ui.progressMax, int64_t{kSector});
}

TEST(SkipUnchangedTest, ASectorNotReadIsProgrammedEvenWhenUnchanged) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  rig.settings.SetSkipUnchanged(true);
  const std::vector<uint8_t> before = rig.Nor();

  // Whole sectors without undo are not read: nothing tells that they are unchanged.
  TDIFFile image = ImageOf(kAt, NorBytes(before, kAt, kSectors * kSector));
  EXPECT_TRUE(FlashImage(rig.frame, rig.driver, image, "NORD", nullptr, "nOrR", nullptr));

  EXPECT_EQ(rig.ePhone->Stats().reads, 0);
  EXPECT_EQ(rig.ePhone->Stats().programs, static_cast<int>(kSectors));
}

TEST(SkipUnchangedTest, OptiFlashingWhatThePhoneHoldsWithUndoWritesNothing) {
  PhoneRig rig("Opti", 0);
  ASSERT_TRUE(rig.Connect());
  rig.settings.SetSkipUnchanged(true);
  std::vector<uint8_t> expected = rig.Nor();

  TDIFFile image = ImageOf(0x30000, NorBytes(expected, 0x30000, 0x30000));
  TDIFFile undo;
  EXPECT_TRUE(FlashImage(rig.frame, rig.driver, image, "NORD", &undo, "NORD", nullptr));
  EXPECT_EQ(rig.optiPhone->Stats().txdts, 0);

  // One changed byte: only its piece (the second, from the 128 KB boundary on).
  expected[0x50000] = static_cast<uint8_t>(~expected[0x50000]);
  TDIFFile changed = ImageOf(0x30000, NorBytes(expected, 0x30000, 0x30000));
  TDIFFile undo2;
  EXPECT_TRUE(FlashImage(rig.frame, rig.driver, changed, "NORD", &undo2, "NORD", nullptr));
  EXPECT_GT(rig.optiPhone->Stats().txdts, 0);
  EXPECT_EQ(rig.Nor(), expected);
  EXPECT_EQ(rig.ui.progressMax, 0x20000);
}

}  // namespace
}  // namespace brantle
