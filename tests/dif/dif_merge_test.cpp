// Merging the DIF files a person chose, the dialog's rules, and applying a DIF to an
// image with undo capture.

#include <gtest/gtest.h>

#include "dif/DIFCore.h"
#include "dif_helpers.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle::test {
namespace {

class Merge : public ::testing::Test {
 protected:
  std::string Save(const std::string& name, const TDIFFile& dif, int compress = 0) {
    EXPECT_EQ(0, dif.SaveToFile(dir_.File(name), compress));
    return dir_.File(name);
  }
  TDIFFile Run(const std::vector<std::string>& files, int expectedCount) {
    TDIFFile target;
    EXPECT_EQ(expectedCount, LoadAndMergeDIFs(target, files, ui_));
    return target;
  }

  TempDir dir_;
  RecordingUi ui_;
};

TEST_F(Merge, LaterFileWinsAndMovingItUpReversesThat) {
  const std::string a = Save("a.dif", Dif({Nord(0, "AAAA")}));
  const std::string b = Save("b.dif", Dif({Nord(2, "BBBB")}), 1);
  EXPECT_EQ((Contents{{"NORD", Le32(0) + "AABBBB"}}), ContentsOf(Run({a, b}, 2)));

  ui_.chooseDIFs = [](std::vector<DIFChoice>& files) {
    DIFInfoView view;
    view.selected = 1;
    return MoveChoiceUp(files, view);
  };
  EXPECT_EQ((Contents{{"NORD", Le32(0) + "AAAABB"}}), ContentsOf(Run({a, b}, 2)));
}

TEST_F(Merge, DialogRowsAndDefaults) {
  const std::string full = Save("full.dif", Dif({Comment("first"), Nord(0, "n"), Rev(0, "r"),
                                                 Tfs("/t", "x"), Comment("{\\rtf1 last}")}));
  const std::string undoOnly = Save("undo.dif", Dif({Rev(0, "r")}));
  Run({full, undoOnly}, 2);
  ASSERT_EQ(1u, ui_.dialogs.size());
  const std::vector<DIFChoice>& rows = ui_.dialogs[0];
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ("full.dif", rows[0].Name);
  EXPECT_EQ("{\\rtf1 last}", rows[0].Comment);
  EXPECT_TRUE(rows[0].HasNOR && rows[0].HasReversal && rows[0].HasTFS);
  EXPECT_TRUE(rows[0].Apply && !rows[0].Undo && rows[0].TakeTFS);
  EXPECT_EQ("undo.dif", rows[1].Name);
  EXPECT_EQ("", rows[1].Comment);
  EXPECT_TRUE(!rows[1].HasNOR && rows[1].HasReversal && !rows[1].HasTFS);
  EXPECT_TRUE(!rows[1].Apply && rows[1].Undo && !rows[1].TakeTFS);
}

TEST_F(Merge, UndoOnlyFileBecomesDataWithoutReversal) {
  const std::string undo = Save("undo.dif", Dif({Rev(4, "old"), Rev(0, "zz")}));
  EXPECT_EQ((Contents{{"NORD", Le32(0) + "zz"}, {"NORD", Le32(4) + "old"}}),
            ContentsOf(Run({undo}, 1)));
}

TEST_F(Merge, ReversalSurvivesOnlyWhenEveryFileBringsIt) {
  const std::string withRev = Save("r.dif", Dif({Nord(0, "new"), Rev(0, "old")}));
  const std::string plain = Save("p.dif", Dif({Nord(10, "x")}));
  EXPECT_EQ((Contents{{"NORD", Le32(0) + "new"}, {"NORD", Le32(10) + "x"}}),
            ContentsOf(Run({withRev, plain}, 2)));

  const std::string withRev2 = Save("r2.dif", Dif({Nord(1, "NEW"), Rev(1, "OLD")}));
  EXPECT_EQ((Contents{{"NORD", Le32(0) + "nNEW"}, {"nOrR", Le32(0) + "oOLD"}}),
            ContentsOf(Run({withRev, withRev2}, 2)));
}

TEST_F(Merge, UndoSwapsDataAndReversal) {
  const std::string both = Save("both.dif", Dif({Nord(0, "new"), Rev(0, "old")}));
  ui_.chooseDIFs = [](std::vector<DIFChoice>& files) {
    CheckUndo(files[0], true);
    return true;
  };
  EXPECT_EQ((Contents{{"NORD", Le32(0) + "old"}, {"nOrR", Le32(0) + "new"}}),
            ContentsOf(Run({both}, 1)));
}

TEST_F(Merge, ClearedTFSBoxKeepsTheComment) {
  const std::string a =
      Save("a.dif", Dif({Comment("note"), Nord(0, "n"), Tfs("/f", "1"), Block("abCd", "k")}));
  const std::string b = Save("b.dif", Dif({Tfs("/g", "2")}));
  ui_.chooseDIFs = [](std::vector<DIFChoice>& files) {
    CheckTakeTFS(files[0], false);
    return true;
  };
  EXPECT_EQ(
      (Contents{
          {"dIFC", "note"}, {"NORD", Le32(0) + "n"}, {"TFSF", Le32(2) + "/g2"}, {"abCd", "k"}}),
      ContentsOf(Run({a, b}, 2)));
}

TEST_F(Merge, RowsWithNothingChosenAreNotCounted) {
  const std::string a = Save("a.dif", Dif({Nord(0, "a")}));
  const std::string b = Save("b.dif", Dif({Nord(5, "b")}));
  ui_.chooseDIFs = [](std::vector<DIFChoice>& files) {
    CheckApply(files[0], false);
    return true;
  };
  EXPECT_EQ((Contents{{"NORD", Le32(5) + "b"}}), ContentsOf(Run({a, b}, 1)));
}

TEST_F(Merge, RejectedFilesAreReportedAndLeftOut) {
  const std::string good = Save("good.dif", Dif({Nord(0, "g")}));
  TDIFFile foreign = Dif({Nord(0, "f")});
  foreign.PhoneID = "XX  ";
  const std::string foreignFile = Save("foreign.dif", foreign);
  const std::string critical = Save("critical.dif", Dif({Nord(0, "c"), Block("Zzzz", "")}));
  dir_.Write("junk.dif", "not a DIF at all, not a DIF at all");
  const std::string missing = dir_.File("missing.dif");

  const TDIFFile target = Run({missing, dir_.File("junk.dif"), foreignFile, good, critical}, 1);
  EXPECT_EQ((std::vector<std::string>{
                missing + " ignored: could not open file",
                dir_.File("junk.dif") + " ignored: invalid DIF file",
                foreignFile + " ignored: phone ID 'XX' is not supported by this BRNTL version",
                critical + " ignored: block 'Zzzz' is not supported by this BRNTL version"}),
            ui_.Texts(MessageKind::Error));
  ASSERT_EQ(1u, ui_.dialogs.size());
  ASSERT_EQ(1u, ui_.dialogs[0].size());
  EXPECT_EQ("good.dif", ui_.dialogs[0][0].Name);
  EXPECT_EQ((Contents{{"NORD", Le32(0) + "g"}}), ContentsOf(target));
}

TEST_F(Merge, NothingUsableOrCancelledLeavesTargetEmpty) {
  EXPECT_TRUE(Run({dir_.File("missing.dif")}, 0).Blocks.empty());
  EXPECT_TRUE(ui_.dialogs.empty());
  EXPECT_TRUE(Run({}, 0).Blocks.empty());

  const std::string good = Save("good.dif", Dif({Nord(0, "g")}));
  ui_.chooseDIFs = [](std::vector<DIFChoice>&) { return false; };
  EXPECT_TRUE(Run({good}, 0).Blocks.empty());
}

TEST_F(Merge, ADialogReturningTheSameFileTwiceMergesItOnce) {
  const std::string a = Save("a.dif", Dif({Nord(0, "a")}));
  ui_.chooseDIFs = [](std::vector<DIFChoice>& files) {
    files.push_back(files[0]);
    DIFChoice bogus = files[0];
    bogus.source = 7;
    files.push_back(bogus);
    return true;
  };
  EXPECT_EQ((Contents{{"NORD", Le32(0) + "a"}}), ContentsOf(Run({a}, 1)));
}

// ---- the dialog's rules ----------------------------------------------------------

TEST(DIFInfoRules, BoxesClearEachOtherAndNeedContent) {
  DIFChoice c;
  c.HasNOR = c.HasReversal = c.HasTFS = true;
  c.Apply = c.TakeTFS = true;
  CheckUndo(c, true);
  EXPECT_TRUE(c.Undo && !c.Apply && !c.TakeTFS);
  CheckTakeTFS(c, true);
  EXPECT_TRUE(c.Undo && c.TakeTFS);
  CheckApply(c, true);
  EXPECT_TRUE(c.Apply && !c.Undo && c.TakeTFS);

  DIFChoice tfsOnly;
  tfsOnly.HasTFS = true;
  CheckApply(tfsOnly, true);
  CheckUndo(tfsOnly, true);
  EXPECT_FALSE(tfsOnly.Apply || tfsOnly.Undo);
}

TEST(DIFInfoRules, MovingFollowsTheRecordAndScrollsByOne) {
  std::vector<DIFChoice> files(8);
  for (int i = 0; i < 8; ++i) files[i].Name = std::string(1, static_cast<char>('a' + i));
  DIFInfoView view{5, 0};
  EXPECT_TRUE(MoveChoiceDown(files, view));
  EXPECT_EQ(6, view.selected);
  EXPECT_EQ(1, view.firstVisible);
  EXPECT_EQ("f", files[6].Name);
  EXPECT_TRUE(MoveChoiceDown(files, view));
  EXPECT_FALSE(MoveChoiceDown(files, view));  // already last
  EXPECT_EQ(7, view.selected);
  EXPECT_EQ(2, view.firstVisible);

  view = {2, 2};
  EXPECT_TRUE(MoveChoiceUp(files, view));
  EXPECT_EQ(1, view.selected);
  EXPECT_EQ(1, view.firstVisible);
  view = {0, 0};
  EXPECT_FALSE(MoveChoiceUp(files, view));
  EXPECT_EQ("acbdeghf", [&] {
    std::string order;
    for (const DIFChoice& f : files) order += f.Name;
    return order;
  }());
}

// ---- applying --------------------------------------------------------------------

TEST(ApplyToImage, GrowsWithFFAndRecordsWhatWasThere) {
  std::string image;
  TDIFFile dif = Dif({Nord(0x100, Pattern(16, 1))});
  TDIFFile undo;
  ApplyToImage(dif, image, &undo);
  ASSERT_EQ(0x110u, image.size());
  EXPECT_EQ(std::string(0x100, '\xFF') + Pattern(16, 1), image);
  EXPECT_EQ((Contents{{"nOrR", Le32(0x100) + std::string(16, '\xFF')}}), ContentsOf(undo));
}

TEST(ApplyToImage, OverlapsAreResolvedFirstAndUndoRestores) {
  const std::string original = Pattern(64, 2);
  std::string image = original;
  TDIFFile dif = Dif({Nord(10, "abcdef"), Tfs("/ignored", "x"), Nord(12, "XY"), Nord(60, "tail!")});
  TDIFFile undo;
  ApplyToImage(dif, image, &undo);
  std::string expected = original;
  expected.replace(10, 6, "abXYef");
  expected.replace(60, 4, "tail!");
  EXPECT_EQ(expected, image);
  EXPECT_EQ((Contents{{"nOrR", Le32(10) + original.substr(10, 6)},
                      {"nOrR", Le32(60) + original.substr(60, 4) + "\xFF"}}),
            ContentsOf(undo));

  TDIFFile restore;
  SplitOffReversal(undo, restore);
  EXPECT_TRUE(undo.Blocks.empty());
  ApplyToImage(restore, image);
  EXPECT_EQ(original + "\xFF", image);
}

// ---- creation parameters ---------------------------------------------------------

TEST(DIFCreationParams, CompatibilityAndDisabledSelectors) {
  EXPECT_EQ("Any BRNTL version", DIFCompatibilityText(kReversalSeparate, 0, " \n\t"));
  EXPECT_EQ("BRNTL v0.60 and higher", DIFCompatibilityText(kReversalEmbed, 0, ""));
  EXPECT_EQ("BRNTL v0.60 and higher", DIFCompatibilityText(0, kCompressionZLib, ""));
  EXPECT_EQ("BRNTL v0.60 and higher", DIFCompatibilityText(0, 0, " x "));

  TDIFCreationParams params;
  EXPECT_EQ(0, params.CType + params.RType + params.Compress);
  params.CType = kComparison64K;
  params.RType = kReversalEmbed;
  params.PrepareForShow(true, false);
  EXPECT_EQ(kComparison64K, params.CType);
  EXPECT_EQ(kReversalNone, params.RType);
  params.PrepareForShow(false, true);
  EXPECT_EQ(kComparisonBytewise, params.CType);
}

}  // namespace
}  // namespace brantle::test
