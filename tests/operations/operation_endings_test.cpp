// How a flash or an erase ends: the words chosen from what the tally says was done,
// checked first on their own and then against the virtual phones, where the phone's
// memory and file system show whether the words are true.

#include "operations/operation_endings.h"

#include <gtest/gtest.h>

#include "operations/erase_workflow.h"
#include "operations/flash_pages.h"
#include "operations/flash_workflow.h"
#include "operations/tfs_workflows.h"
#include "support/frame_rig.h"
#include "support/phone_rig.h"

namespace brantle {
namespace {

using test::PhoneRig;

const char kEepromKept[] = "The EEPROM area was left as it was after No to the EEPROM question.";

TEST(FlashEndingTest, WordsFollowTheTally) {
  OperationTally t;
  t.Programmed.Add(0, 0x10000);
  EXPECT_EQ(FlashEnding(t).Text, "Flashing completed.");
  EXPECT_TRUE(FlashEnding(t).Plain);
  // A No to the EEPROM question while other sectors were written: still completed.
  t.EepromKept.Add(0xE00000, 0x10000);
  EXPECT_EQ(FlashEnding(t).Text, "Flashing completed.");
  t.FilesSent = 2;
  EXPECT_EQ(FlashEnding(t).Text, "Flashing completed. Phone disconnected.");

  OperationTally none;
  EXPECT_EQ(FlashEnding(none).Text, "Nothing was written to the phone.");
  EXPECT_FALSE(FlashEnding(none).Plain);
  none.EepromKept.Add(0xE00000, 0x10000);
  none.AddUnchanged(0x20000, 0x10000);
  none.AddUnchanged(0x40000, 0x10000);
  none.FilesLeftOut = 3;
  EXPECT_EQ(FlashEnding(none).Text,
            std::string("Nothing was written to the phone.\n") + kEepromKept +
                "\nThe phone already held the bytes to write (unchanged sectors skipped: 2).\n"
                "3 file(s) for the phone's file system were not sent: this phone has none.");

  OperationTally norOnly;
  norOnly.Programmed.Add(0, 1);
  norOnly.FilesLeftOut = 1;
  EXPECT_EQ(FlashEnding(norOnly).Text,
            "Flashing completed.\n1 file(s) for the phone's file system were not sent: this "
            "phone has none.");
  EXPECT_FALSE(FlashEnding(norOnly).Plain);
}

TEST(EraseEndingTest, WordsFollowTheTally) {
  OperationTally t;
  t.Erased.Add(0x10000, 0x20000);
  EXPECT_EQ(EraseEnding(t).Text, "Erase completed.");
  EXPECT_TRUE(EraseEnding(t).Plain);
  t.EepromKept.Add(0xE00000, 0x100000);
  EXPECT_EQ(EraseEnding(t).Text, "Erase completed.\nThe EEPROM area was not erased: E00000-EFFFFF");
  EXPECT_FALSE(EraseEnding(t).Plain);

  OperationTally none;
  none.EepromKept.Add(0xE00100, 0xFE00);
  EXPECT_EQ(EraseEnding(none).Text,
            "Nothing was erased.\nThe EEPROM area was not erased: E00100-E0FEFF");
  EXPECT_FALSE(EraseEnding(none).Plain);
}

TEST(ShowEndingTest, OnlyAPlainCompletionIsSilencedByTheSettings) {
  test::FrameRig rig;
  rig.settings.SetDisableAllStatusMessages(true);
  ShowEnding(rig.frame, {"Flashing completed.", true});
  ShowEnding(rig.frame, {"Nothing was written to the phone.", false});
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>{"Nothing was written to the phone."});
  rig.settings.SetDisableAllStatusMessages(false);
  ShowEnding(rig.frame, {"Erase completed.", true});
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information).back(), "Erase completed.");
}

// ---- against the phones ------------------------------------------------------------------

TEST(FlashEndingPhoneTest, EverySectorSkippedAfterNoSaysNothingWasWritten) {
  for (const char* family : {"E700", "Opti"}) {
    SCOPED_TRACE(family);
    PhoneRig rig(family);
    // A second 8 MiB chip, so that the OptiFlash phone's chips reach the EEPROM area.
    sim::OptiChipConfig upper;
    upper.base = 8u << 20;
    rig.optiConfig.chips.push_back(upper);
    ASSERT_TRUE(rig.Connect());
    // Told even with the status messages off: the phone is not what was asked for.
    rig.settings.SetDisableAllStatusMessages(true);
    const std::vector<uint8_t> before = rig.Nor();
    rig.ui.answers = {Answer::No};
    FlashHexPage(rig.frame, rig.driver, "E00010", "\xAB\xCD", {});
    EXPECT_EQ(rig.Nor(), before);
    EXPECT_EQ(
        rig.ui.Texts(MessageKind::Information),
        std::vector<std::string>{std::string("Nothing was written to the phone.\n") + kEepromKept});
  }
}

TEST(FlashEndingPhoneTest, OptiFlashWritesTheNorAndNamesTheFilesItCannotTake) {
  PhoneRig rig("Opti", 0);
  ASSERT_TRUE(rig.Connect());
  TDIFFile image;
  image.SetNORData(image.AddBlock(), 0x30000, "\x01\x02\x03");
  image.SetTFSFile(image.AddBlock(), "/user/a.txt", "file");
  image.SetTFSFile(image.AddBlock(), "/user/empty.txt", "");
  ASSERT_TRUE(FlashImage(rig.frame, rig.driver, image, "NORD", nullptr, "nOrR", nullptr));
  EXPECT_EQ(rig.Nor()[0x30002], 0x03);
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>{"Flashing completed.\n1 file(s) for the phone's file system "
                                     "were not sent: this phone has none."});
}

TEST(FlashEndingPhoneTest, AnS500PhoneIsSentNoFiles) {
  PhoneRig rig("S500");
  ASSERT_TRUE(rig.Connect());
  rig.dir.Write("a.txt", "hello");
  FlashTfsFiles(rig.frame, rig.driver, {{rig.dir.File("a.txt"), "/user/a.txt"}});
  EXPECT_TRUE(rig.ePhone->NandTree().files.empty());
  EXPECT_TRUE(rig.frame.Connected);  // nothing sent: the phone stays in its loader
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>{"Nothing was written to the phone.\n1 file(s) for the "
                                     "phone's file system were not sent: this phone has none."});
}

TEST(EraseEndingPhoneTest, AnEraseEndsWithItsOwnWordsAndTheSettingSilencesThem) {
  for (const bool silent : {false, true}) {
    PhoneRig rig("E700");
    ASSERT_TRUE(rig.Connect());
    rig.settings.SetDisableAllStatusMessages(silent);
    std::vector<uint8_t> wanted = rig.Nor();
    std::fill(wanted.begin() + 0x10100, wanted.begin() + 0x2FF00, 0xFF);
    ASSERT_TRUE(EraseNor(rig.frame, rig.driver, "10100", "2FEFF", false, {}));
    EXPECT_EQ(rig.Nor(), wanted);
    EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
              silent ? std::vector<std::string>{} : std::vector<std::string>{"Erase completed."});
  }
}

}  // namespace
}  // namespace brantle
