// The offline service end to end on real files: what each operation writes, and
// the create-DIF dialog's rules.

#include "operations/offline_service.h"

#include <gtest/gtest.h>

#include "dif/DIFCore.h"
#include "files/file_access.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

std::string Image(size_t size, uint8_t seed) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>(seed + i * 7 + (i >> 9));
  return s;
}

TDIFFile Load(const std::string& path) {
  TDIFFile dif;
  EXPECT_EQ(dif.LoadFromFile(path), kDIFOk) << path;
  return dif;
}

std::vector<std::string> Kinds(const TDIFFile& dif) {
  std::vector<std::string> kinds;
  for (const auto& b : dif.Blocks) kinds.push_back(b.Kind);
  return kinds;
}

class OfflineServiceTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::RecordingUi ui;
};

TEST_F(OfflineServiceTest, CreateFromTargetOnlyIsOneBlockWithoutReversal) {
  const std::string target = Image(70000, 3);
  dir.Write("b.bin", target);
  CreateDifRequest r;
  r.Target = dir.File("b.bin");
  r.Params.RType = kReversalEmbed;  // disabled without an original: back to none
  r.Output = dir.File("p.dif");
  ASSERT_TRUE(CreateDif(ui, r));
  const TDIFFile dif = Load(r.Output);
  ASSERT_EQ(Kinds(dif), std::vector<std::string>{"NORD"});
  EXPECT_EQ(NORAddress(dif.Blocks[0]), 0u);
  EXPECT_EQ(std::string(NORDataBytes(dif.Blocks[0]), NORDataLength(dif.Blocks[0])), target);
  EXPECT_EQ(dif.PhoneID, "BRNA");
}

TEST_F(OfflineServiceTest, SeparateReversalGoesToItsOwnDifAsData) {
  std::string original = Image(4096, 1), target = original;
  target[100] ^= 0x55;
  target[2000] ^= 0x0F;
  dir.Write("a.bin", original);
  dir.Write("b.bin", target);
  CreateDifRequest r;
  r.Original = dir.File("a.bin");
  r.Target = dir.File("b.bin");
  r.Params.RType = kReversalSeparate;
  r.Params.Compress = kCompressionZLib;
  r.Output = dir.File("p.dif");
  r.UndoOutput = dir.File("u.dif");
  ASSERT_TRUE(CreateDif(ui, r));
  const TDIFFile patch = Load(r.Output), undo = Load(r.UndoOutput);
  EXPECT_EQ(Kinds(patch), (std::vector<std::string>{"NORD", "NORD"}));
  EXPECT_EQ(Kinds(undo), (std::vector<std::string>{"NORD", "NORD"}));
  // Applying the patch and then the undo gives the original back.
  TDIFFile p = patch, u = undo;
  std::string image = original;
  ApplyToImage(p, image);
  EXPECT_EQ(image, target);
  ApplyToImage(u, image);
  EXPECT_EQ(image, original);
}

TEST_F(OfflineServiceTest, MergedPatchGetsUndoFromTheOriginal) {
  const std::string original = Image(1024, 9);
  dir.Write("a.bin", original);
  TDIFFile patch;
  patch.PhoneID = kDIFPhoneID;
  patch.SetNORData(patch.AddBlock(), 16, "new!");
  ASSERT_EQ(patch.SaveToFile(dir.File("m.dif"), 0), kDIFOk);

  CreateDifRequest r;
  r.Original = dir.File("a.bin");
  r.Merge = {dir.File("m.dif")};
  r.Params.RType = kReversalEmbed;
  r.Params.Comment = "{\\rtf1 note\\par}";
  r.Output = dir.File("p.dif");
  ASSERT_TRUE(CreateDif(ui, r));
  const TDIFFile dif = Load(r.Output);
  ASSERT_EQ(Kinds(dif), (std::vector<std::string>{"dIFC", "NORD", "nOrR"}));
  EXPECT_EQ(std::string(NORDataBytes(dif.Blocks[2]), 4), original.substr(16, 4));
}

TEST_F(OfflineServiceTest, MergedCommentIsKeptUnlessTheRequestBringsItsOwn) {
  TDIFFile patch;
  patch.PhoneID = kDIFPhoneID;
  patch.SetComment(patch.AddBlock(), "{\\rtf1 merged note\\par}");
  patch.SetNORData(patch.AddBlock(), 16, "new!");
  ASSERT_EQ(patch.SaveToFile(dir.File("m.dif"), 0), kDIFOk);

  CreateDifRequest r;
  r.Merge = {dir.File("m.dif")};
  r.Output = dir.File("p.dif");
  ASSERT_TRUE(CreateDif(ui, r));
  std::string comment;
  ASSERT_TRUE(GetDIFComment(Load(r.Output), comment));
  EXPECT_EQ(comment, "{\\rtf1 merged note\\par}");

  r.Params.Comment = "{\\rtf1 own note\\par}";
  ASSERT_TRUE(CreateDif(ui, r));
  ASSERT_TRUE(GetDIFComment(Load(r.Output), comment));
  EXPECT_EQ(comment, "{\\rtf1 own note\\par}");
}

TEST_F(OfflineServiceTest, SeparateReversalWithoutAnOriginalWritesNoUndoDif) {
  dir.Write("b.bin", Image(4096, 5));
  CreateDifRequest r;
  r.Target = dir.File("b.bin");
  r.Params.RType = kReversalSeparate;
  r.Output = dir.File("p.dif");
  r.UndoOutput = dir.File("u.dif");
  bool undoWritten = true;
  ASSERT_TRUE(CreateDif(ui, r, &undoWritten));
  EXPECT_FALSE(undoWritten);
  std::string bytes;
  EXPECT_NE(ReadWholeFile(r.UndoOutput, bytes), FileStatus::Ok);

  r.Original = dir.File("b.bin");
  ASSERT_TRUE(CreateDif(ui, r, &undoWritten));
  EXPECT_TRUE(undoWritten);
  EXPECT_EQ(ReadWholeFile(r.UndoOutput, bytes), FileStatus::Ok);
}

TEST_F(OfflineServiceTest, NothingToCreateWritesNothing) {
  CreateDifRequest r;
  r.Original = dir.File("missing.bin");  // an original alone enables nothing
  r.Output = dir.File("p.dif");
  EXPECT_FALSE(CreateDif(ui, r));
  EXPECT_NE(ReadWholeFile(r.Output, r.Output), FileStatus::Ok);
}

TEST_F(OfflineServiceTest, UnreadableTargetStopsWithTheCreatePrefix) {
  CreateDifRequest r;
  r.Target = dir.File("missing.bin");
  r.Output = dir.File("p.dif");
  EXPECT_FALSE(CreateDif(ui, r));
  ASSERT_EQ(ui.Texts(MessageKind::Error).size(), 1u);
  EXPECT_EQ(ui.Texts(MessageKind::Error)[0],
            "DIF creation aborted: " + dir.File("missing.bin") + ": No such file or directory");
}

TEST_F(OfflineServiceTest, ApplyToAMissingBinMakesItFromFF) {
  TDIFFile patch;
  patch.PhoneID = kDIFPhoneID;
  patch.SetNORData(patch.AddBlock(), 0x100, std::string(16, '\x11'));
  ASSERT_EQ(patch.SaveToFile(dir.File("p.dif"), 1), kDIFOk);
  ASSERT_TRUE(ApplyDifs(ui, {dir.File("p.dif")}, dir.File("out.bin"), ""));
  std::string image;
  ASSERT_EQ(ReadWholeFile(dir.File("out.bin"), image), FileStatus::Ok);
  EXPECT_EQ(image, std::string(0x100, '\xFF') + std::string(16, '\x11'));
}

TEST_F(OfflineServiceTest, ForeignDifIsRefusedWithThePhoneIdMessage) {
  TDIFFile foreign;
  foreign.PhoneID = "XYZW";
  foreign.SetNORData(foreign.AddBlock(), 0, "abc");
  ASSERT_EQ(foreign.SaveToFile(dir.File("f.dif"), 0), kDIFOk);
  TDIFFile dif;
  EXPECT_FALSE(LoadFirmware(ui, dir.File("f.dif"), FirmwareKind::Dif, dif));
  ASSERT_EQ(ui.Texts(MessageKind::Error).size(), 1u);
  EXPECT_EQ(ui.Texts(MessageKind::Error)[0],
            "Operation aborted: phone ID 'XYZW' is not supported by this BRNTL version");
}

TEST_F(OfflineServiceTest, BinThroughS3AndBackIsUnchanged) {
  const std::string image = Image(100003, 5);
  dir.Write("a.bin", image);
  TDIFFile dif;
  ASSERT_TRUE(LoadFirmware(ui, dir.File("a.bin"), FirmwareKind::Bin, dif));
  ASSERT_TRUE(SaveFirmware(ui, dif, dir.File("a.s3"), FirmwareKind::S3, {}));
  TDIFFile back;
  ASSERT_TRUE(LoadFirmware(ui, dir.File("a.s3"), FirmwareKind::S3, back));
  ASSERT_TRUE(SaveFirmware(ui, back, dir.File("b.bin"), FirmwareKind::Bin, {}));
  std::string again;
  ASSERT_EQ(ReadWholeFile(dir.File("b.bin"), again), FileStatus::Ok);
  EXPECT_EQ(again, image);
}

TEST(CreateDifState, TheDialogRules) {
  // Nothing chosen: nothing to create, no parameters.
  CreateDifState s = ComputeCreateDifState(false, false, false, 0, false, false);
  EXPECT_FALSE(s.CreateEnabled);
  EXPECT_FALSE(s.CTypeEnabled);
  EXPECT_EQ(s.Summary, "0 DIF file(s) selected");
  // Both images: everything.
  s = ComputeCreateDifState(true, true, false, 0, false, false);
  EXPECT_TRUE(s.CreateEnabled && s.CTypeEnabled && s.RTypeEnabled);
  // A target alone: no comparison choice, no reversal.
  s = ComputeCreateDifState(false, true, false, 0, false, false);
  EXPECT_TRUE(s.CreateEnabled);
  EXPECT_FALSE(s.CTypeEnabled || s.RTypeEnabled);
  // Merged DIFs with reversal and TFS, no images: reversal possible.
  s = ComputeCreateDifState(false, false, false, 2, true, true);
  EXPECT_TRUE(s.CreateEnabled && s.RTypeEnabled);
  EXPECT_FALSE(s.CTypeEnabled);
  EXPECT_EQ(s.Summary, "2 DIF file(s) selected, reversal possible, TFS present");
  // Merged DIFs without reversal and no original: no reversal to offer.
  s = ComputeCreateDifState(false, false, true, 1, false, false);
  EXPECT_FALSE(s.RTypeEnabled);
  EXPECT_TRUE(s.CreateEnabled);
}

}  // namespace
}  // namespace brantle

namespace brantle {
namespace {

TEST(OfflineServiceNor, DataBeyondTheLargestNorMakesNoGiantImage) {
  test::TempDir dir;
  test::RecordingUi ui;
  TDIFFile far;
  far.PhoneID = kDIFPhoneID;
  far.SetNORData(far.AddBlock(), 0xFFFFFF00u, "x");
  ASSERT_EQ(far.SaveToFile(dir.File("far.dif"), 0), kDIFOk);
  EXPECT_FALSE(ApplyDifs(ui, {dir.File("far.dif")}, dir.File("out.bin"), ""));
  ASSERT_EQ(ui.Texts(MessageKind::Error).size(), 1u);
  EXPECT_EQ(ui.Texts(MessageKind::Error)[0], "Operation aborted: invalid DIF file");
  EXPECT_FALSE(SaveFirmware(ui, far, dir.File("out.bin"), FirmwareKind::Bin, {}));
  std::string bytes;
  EXPECT_NE(ReadWholeFile(dir.File("out.bin"), bytes), FileStatus::Ok);
}

}  // namespace
}  // namespace brantle
