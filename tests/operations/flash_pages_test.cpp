// The flash pages' input half: the image each page builds from its files and fields,
// the errors it shows, and the DIF page's merge.

#include "operations/flash_pages.h"

#include <gtest/gtest.h>

#include "support/phone_rig.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

struct Block {
  std::string kind;
  uint32_t address;
  std::string bytes;
  bool operator==(const Block& o) const {
    return kind == o.kind && address == o.address && bytes == o.bytes;
  }
};

std::vector<Block> Blocks(const TDIFFile& dif) {
  std::vector<Block> blocks;
  for (const TDIFBlock& b : dif.Blocks) {
    uint32_t address = 0;
    std::string bytes;
    TDIFFile::GetNORData(b, address, bytes);
    blocks.push_back({b.Kind, address, bytes});
  }
  return blocks;
}

class FlashPagesTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::RecordingUi ui;
  TDIFFile image;
};

TEST_F(FlashPagesTest, BinPartTakesLengthBytesFromTheFileOffsetToThePhoneOffset) {
  dir.Write("part.bin", "0123456789");
  ASSERT_TRUE(BuildBinPartImage(ui, {dir.File("part.bin"), " 3 ", "1F000", "4"}, image));
  EXPECT_EQ(Blocks(image), std::vector<Block>({{"NORD", 0x1F000, "3456"}}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FlashPagesTest, BinPartReportsOpenAndReadFailures) {
  dir.Write("part.bin", "0123456789");
  EXPECT_FALSE(BuildBinPartImage(ui, {dir.File("missing.bin"), "0", "0", "1"}, image));
  // Past the end, and a length the rule never cleaned up (invalid = all bits set).
  EXPECT_FALSE(BuildBinPartImage(ui, {dir.File("part.bin"), "8", "0", "3"}, image));
  EXPECT_FALSE(BuildBinPartImage(ui, {dir.File("part.bin"), "0", "0", "zz"}, image));
  EXPECT_EQ(ui.Texts(MessageKind::Error),
            std::vector<std::string>(
                {"Flashing aborted: " + dir.File("missing.bin") + ": No such file or directory",
                 "Flashing aborted: Error: some error reading file",
                 "Flashing aborted: Error: some error reading file"}));
  EXPECT_TRUE(image.Blocks.empty());
}

TEST_F(FlashPagesTest, BinImageIsOneBlockAtZeroAndUnreadableFilesAreReported) {
  dir.Write("fw.bin", "firmware");
  ASSERT_TRUE(BuildBinImage(ui, dir.File("fw.bin"), image));
  EXPECT_EQ(Blocks(image), std::vector<Block>({{"NORD", 0, "firmware"}}));

  EXPECT_FALSE(BuildS3Image(ui, dir.File("missing.s3"), image));
  EXPECT_EQ(ui.Texts(MessageKind::Error),
            std::vector<std::string>(
                {"Operation aborted: " + dir.File("missing.s3") + ": No such file or directory"}));
}

TEST_F(FlashPagesTest, TwoBinDifferencesBytewiseOr64K) {
  const std::string original(0x20000, 'a');
  std::string target = original;
  target[0x10005] = 'b';
  dir.Write("1.bin", original);
  dir.Write("2.bin", target);
  ASSERT_TRUE(BuildBinDiffImage(ui, dir.File("1.bin"), dir.File("2.bin"), 0, image));
  EXPECT_EQ(Blocks(image), std::vector<Block>({{"NORD", 0x10005, "b"}}));

  TDIFFile chunks;
  ASSERT_TRUE(BuildBinDiffImage(ui, dir.File("1.bin"), dir.File("2.bin"), 1, chunks));
  EXPECT_EQ(Blocks(chunks),
            std::vector<Block>({{"NORD", 0x10000, target.substr(0x10000, 0x10000)}}));
}

TEST_F(FlashPagesTest, HexImageAtTheTrimmedOffset) {
  BuildHexImage("\t1fe ", "\xAA\xBB", image);
  EXPECT_EQ(Blocks(image), std::vector<Block>({{"NORD", 0x1FE, "\xAA\xBB"}}));
}

TEST_F(FlashPagesTest, DifPageKeepsCountTfsFlagAndComment) {
  test::PhoneRig rig("E700");  // not connected: the page only merges
  TDIFFile dif;
  dif.PhoneID = kDIFPhoneID;
  dif.SetComment(dif.AddBlock(), "{\\rtf1 patch notes}");
  dif.SetNORData(dif.AddBlock(), 0x100, "xy");
  ASSERT_EQ(dif.SaveToFile(dir.File("a.dif"), 1), kDIFOk);

  FlashDifPage page;
  FlashUndoChoice undo;
  undo.Params.Comment = "typed before";
  EXPECT_FALSE(page.ActionEnabled());
  page.Select(rig.frame, {dir.File("a.dif")}, undo);
  EXPECT_EQ(page.Count(), 1);
  EXPECT_FALSE(page.HasTfs());
  EXPECT_TRUE(page.ActionEnabled());
  EXPECT_EQ(page.SourceLine(), "1 DIF file(s) selected");
  EXPECT_EQ(undo.Params.Comment, "{\\rtf1 patch notes}");

  // Files of which none can be loaded, and Cancel in the dialog, keep the earlier
  // selection and its comment.
  EXPECT_FALSE(page.Select(rig.frame, {dir.File("missing.dif")}, undo));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error).back(),
            dir.File("missing.dif") + " ignored: could not open file");
  dif.SetNORData(dif.AddBlock(), 0x200, "zz");
  ASSERT_EQ(dif.SaveToFile(dir.File("b.dif"), 0), kDIFOk);
  rig.ui.chooseDIFs = [](std::vector<DIFChoice>&) { return false; };
  EXPECT_FALSE(page.Select(rig.frame, {dir.File("b.dif")}, undo));
  EXPECT_EQ(rig.ui.dialogs.size(), 2u);
  EXPECT_EQ(page.SourceLine(), "1 DIF file(s) selected");
  EXPECT_TRUE(page.ActionEnabled());
  EXPECT_EQ(undo.Params.Comment, "{\\rtf1 patch notes}");

  // Confirmed with nothing ticked: nothing is selected.
  rig.ui.chooseDIFs = [](std::vector<DIFChoice>& files) {
    for (DIFChoice& f : files) f.Apply = f.Undo = f.TakeTFS = false;
    return true;
  };
  EXPECT_TRUE(page.Select(rig.frame, {dir.File("b.dif")}, undo));
  EXPECT_EQ(page.SourceLine(), "0 DIF file(s) selected");
  EXPECT_FALSE(page.ActionEnabled());
  EXPECT_EQ(undo.Params.Comment, "");
}

TEST_F(FlashPagesTest, AFailedBuildNeverReachesThePhone) {
  test::PhoneRig rig("E700");
  FlashUndoChoice undo;
  undo.Make = true;
  FlashBinPage(rig.frame, rig.driver, dir.File("missing.bin"), undo);
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
            std::vector<std::string>(
                {"Flashing aborted: " + dir.File("missing.bin") + ": No such file or directory"}));
  EXPECT_TRUE(rig.ui.fileDialogs.empty()) << "no undo is offered for an operation never run";
  EXPECT_FALSE(rig.frame.Busy);
}

// Nothing to write is said, not reported as "Flashing completed.": a truncated download
// of zero bytes, an S3 file of only its header and end records, two equal BIN files.
TEST_F(FlashPagesTest, AnImageWithoutDataIsNotFlashed) {
  test::PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.ePhone->Nor();
  dir.Write("empty.bin", "");
  dir.Write("empty.s3", "S00600004844521B\r\nS70500000000FA\r\n");
  dir.Write("same.bin", std::string(0x20000, 'S'));
  FlashUndoChoice undo;
  undo.Make = true;
  FlashBinPage(rig.frame, rig.driver, dir.File("empty.bin"), undo);
  FlashS3Page(rig.frame, rig.driver, dir.File("empty.s3"), undo);
  FlashBinDiffPage(rig.frame, rig.driver, dir.File("same.bin"), dir.File("same.bin"), 0, undo);
  const std::string nothing =
      "There is no data to flash: the source holds none (an empty file, an S3 file without data "
      "records, or two BIN files that do not differ). Nothing was sent to the phone.";
  EXPECT_EQ(rig.ui.Texts(MessageKind::Warning), std::vector<std::string>(3, nothing));
  EXPECT_TRUE(rig.ui.Texts(MessageKind::Information).empty());
  EXPECT_TRUE(rig.ui.fileDialogs.empty()) << "no undo is offered for nothing written";
  EXPECT_EQ(rig.ePhone->Stats().reads, 0);
  EXPECT_EQ(rig.ePhone->Stats().programs, 0);
  EXPECT_EQ(rig.ePhone->Nor(), before);
  EXPECT_FALSE(rig.frame.Busy);
  EXPECT_FALSE(HasDataToFlash(TDIFFile{}));
}

TEST(FlashPageSources, AllForSingleSourcesAnyForTheFileSet) {
  EXPECT_TRUE(SourcesFilled(SourceNeed::All, {"a.bin"}));
  EXPECT_FALSE(SourcesFilled(SourceNeed::All, {""}));
  EXPECT_FALSE(SourcesFilled(SourceNeed::All, {"orig.bin", ""}));
  EXPECT_TRUE(SourcesFilled(SourceNeed::All, {"orig.bin", "new.bin"}));
  EXPECT_TRUE(SourcesFilled(SourceNeed::Any, {"", "", "x_1.ogm", ""}));
  EXPECT_FALSE(SourcesFilled(SourceNeed::Any, {"", "", "", ""}));
}

}  // namespace
}  // namespace brantle
