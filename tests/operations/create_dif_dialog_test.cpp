// The create-DIF dialog's model: what each Select button asks and takes, the
// folders it remembers, the merged DIFs' flags and comment, and what it enables.

#include "operations/create_dif_dialog.h"

#include <gtest/gtest.h>

#include "dif/DIFCore.h"
#include "support/fake_clock.h"
#include "support/frame_rig.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using Answer = test::RecordingUi::FileAnswer;

struct CreateDifDialogTest : ::testing::Test, test::FrameRig {
  // A DIF of ours with a patch at 0x20 and, when asked, its reversal and a comment.
  std::string WriteDif(const std::string& name, bool reversal, const std::string& comment) {
    TDIFFile dif;
    dif.PhoneID = kDIFPhoneID;
    if (!comment.empty()) dif.SetComment(dif.AddBlock(), comment);
    dif.SetNORData(dif.AddBlock(), 0x20, "new!");
    if (reversal) dif.SetReverseData(dif.AddBlock(), 0x20, "old!");
    EXPECT_EQ(dif.SaveToFile(dir.File(name), 0), kDIFOk);
    return dir.File(name);
  }

  TKTZDCF dialog;
};

TEST_F(CreateDifDialogTest, ImageSelectorsAskForBinFilesAndRememberTheirFolders) {
  dir.Write("a.bin", "a");
  ui.fileAnswers.push_back(Answer{{dir.File("a.bin")}});
  ui.fileAnswers.push_back(std::nullopt);
  ASSERT_TRUE(dialog.SelectBIN1(frame));
  EXPECT_FALSE(dialog.SelectBIN2(frame));  // cancelled: the field stays empty

  ASSERT_EQ(ui.fileDialogs.size(), 2u);
  for (const FileDialog& d : ui.fileDialogs) {
    EXPECT_EQ(d.DialogMode, FileDialog::Mode::Open);
    EXPECT_EQ(d.DefaultExt, "bin");
    EXPECT_EQ(d.Title, "Choose BIN file...");
    EXPECT_EQ(d.Filter, "BIN and CLA files (*.bin; *.CLA)|*.bin;*.cla|All Files (*.*)|*.*");
  }
  EXPECT_EQ(dialog.BIN1(), dir.File("a.bin"));
  EXPECT_TRUE(dialog.BIN2().empty());
  EXPECT_EQ(settings.Folder("DIFCreate_BIN1"), dir.path() + "/");
  EXPECT_EQ(settings.Folder("DIFCreate_BIN2"), "");

  EXPECT_FALSE(dialog.Confirm());  // an original alone gives nothing to create
}

TEST_F(CreateDifDialogTest, TfsFileIsTakenOnlyWithItsCfgBesideIt) {
  dir.Write("lone.tfs", "x");
  dir.Write("fw.tfs", "x");
  dir.Write("fw.cfg", "TFSVERSION: TFS3.0_E700_0001\r\n");
  ui.fileAnswers.push_back(Answer{{dir.File("lone.tfs")}});
  ui.fileAnswers.push_back(Answer{{dir.File("fw.tfs")}});

  EXPECT_FALSE(dialog.SelectTFS(frame));
  EXPECT_TRUE(dialog.TFS().empty());
  EXPECT_TRUE(ui.messages.empty());  // refused without a word
  ASSERT_TRUE(dialog.SelectTFS(frame));
  EXPECT_EQ(dialog.TFS(), dir.File("fw.tfs"));
  EXPECT_EQ(ui.fileDialogs[0].Title, "Choose TFS file...");
  EXPECT_EQ(ui.fileDialogs[0].DefaultExt, "tfs");
  EXPECT_EQ(settings.Folder("DIFCreate_TFS"), dir.path() + "/");
  EXPECT_TRUE(dialog.State().CreateEnabled);
  EXPECT_TRUE(dialog.Confirm());
}

TEST_F(CreateDifDialogTest, MergedDifsSetTheFlagsAndBringTheirComment) {
  const std::string withUndo = WriteDif("u.dif", true, "{\\rtf1 Patch notes}");
  ui.fileAnswers.push_back(Answer{{withUndo}});
  ASSERT_TRUE(dialog.SelectDIFs(frame));
  EXPECT_EQ(ui.fileDialogs[0].DialogMode, FileDialog::Mode::OpenMany);
  EXPECT_EQ(ui.fileDialogs[0].Title, "Choose DIF file...");
  EXPECT_EQ(settings.Folder("CreateDIF_DIFR"), dir.path() + "/");
  EXPECT_EQ(dialog.MergedCount(), 1);
  EXPECT_TRUE(dialog.ReversalPresent());
  EXPECT_FALSE(dialog.TfsPresent());
  EXPECT_EQ(dialog.Parameters.Comment, "{\\rtf1 Patch notes}");

  CreateDifState s = dialog.State();
  EXPECT_EQ(s.Summary, "1 DIF file(s) selected, reversal possible");
  EXPECT_TRUE(s.CreateEnabled);
  EXPECT_TRUE(s.RTypeEnabled);  // no target: the merged reversal can be split off
  EXPECT_FALSE(s.CTypeEnabled);

  // Showing the dialog again needs a new confirmation and brings the comment back.
  ASSERT_TRUE(dialog.Confirm());
  dialog.Parameters.Comment = "edited";
  dialog.Shown();
  EXPECT_FALSE(dialog.Confirmed());
  EXPECT_EQ(dialog.Parameters.Comment, "{\\rtf1 Patch notes}");

  // A new choice replaces the merge; without reversal the flag goes.
  const std::string plain = WriteDif("p.dif", false, "");
  ui.fileAnswers.push_back(Answer{{plain}});
  ASSERT_TRUE(dialog.SelectDIFs(frame));
  EXPECT_FALSE(dialog.ReversalPresent());
  EXPECT_EQ(dialog.State().Summary, "1 DIF file(s) selected");
  EXPECT_FALSE(dialog.State().RTypeEnabled);

  // A cancelled choice keeps the merge; Clear empties it.
  EXPECT_FALSE(dialog.SelectDIFs(frame));
  EXPECT_EQ(dialog.MergedCount(), 1);
  dialog.ClearDIFs();
  EXPECT_EQ(dialog.MergedCount(), 0);
  EXPECT_TRUE(dialog.Merged().Blocks.empty());
  EXPECT_EQ(dialog.State().Summary, "0 DIF file(s) selected");
}

TEST_F(CreateDifDialogTest, ParametersShowOnlyTheSelectorsThatApply) {
  dialog.Parameters.CType = kComparison64K;
  dialog.Parameters.RType = kReversalSeparate;
  ui.editParameters = [](DifParametersDialog& d) { d.Compress = kCompressionZLib; };

  dir.Write("b.bin", "b");
  ui.fileAnswers.push_back(Answer{{dir.File("b.bin")}});
  ASSERT_TRUE(dialog.SelectBIN2(frame));
  dialog.EditParameters(frame);  // target only: nothing to compare against
  ASSERT_EQ(ui.parameterDialogs.size(), 1u);
  const DifParametersDialog& shown = ui.parameterDialogs[0];
  EXPECT_EQ(shown.Caption, "DIF file creation parameters...");
  EXPECT_FALSE(shown.ComparisonEnabled || shown.ReversalEnabled);
  EXPECT_EQ(shown.CType, kComparisonBytewise);
  EXPECT_EQ(shown.RType, kReversalNone);
  EXPECT_EQ(dialog.Parameters.Compress, kCompressionZLib);  // kept for the run

  ui.fileAnswers.push_back(Answer{{dir.File("b.bin")}});
  ASSERT_TRUE(dialog.SelectBIN1(frame));
  dialog.Parameters.RType = kReversalEmbed;
  dialog.EditParameters(frame);
  EXPECT_TRUE(ui.parameterDialogs[1].ComparisonEnabled && ui.parameterDialogs[1].ReversalEnabled);
  EXPECT_EQ(ui.parameterDialogs[1].RType, kReversalEmbed);
}

}  // namespace
}  // namespace brantle
