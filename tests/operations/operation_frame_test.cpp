// The operation frame without a phone: the window state it computes, the status
// and time-left lines, cancelling, error boxes, file dialogs with remembered
// folders, the DIF options of a tab and the address fields.

#include "operations/operation_frame.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"
#include "support/frame_rig.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

struct FrameTest : ::testing::Test, test::FrameRig {
  void Family(int selectorIndex) {
    frame.SetFamily(settings.SetFamilyBySelectorIndex(selectorIndex));
  }
};

TEST_F(FrameTest, IdleWindowFollowsTheConnectionAndTheFamily) {
  Family(1);  // E800
  frame.ShowIdleState();
  WindowState s = ui.windows.back();
  EXPECT_EQ(s.PhoneStatus, (ColoredText{"Disconnected", TextColor::Maroon}));
  EXPECT_EQ(s.StatusLine, "Connect the phone and press power button once...");
  EXPECT_TRUE(s.SelectorsEnabled);
  EXPECT_FALSE(s.DisconnectEnabled);
  EXPECT_FALSE(s.FlashTypeVisible);
  EXPECT_FALSE(s.FlashHelpVisible);
  EXPECT_EQ(s.Panel, FamilyPanel::Tfs);
  EXPECT_FALSE(s.PanelButtonsEnabled);  // the file system needs a phone
  EXPECT_EQ(s.FamilySelectorIndex, 1);

  Family(20);  // X480: the conversions work without a phone
  frame.ShowIdleState();
  s = ui.windows.back();
  EXPECT_EQ(s.Panel, FamilyPanel::Opti);
  EXPECT_TRUE(s.PanelButtonsEnabled);
  EXPECT_EQ(s.FamilySelectorIndex, 20);
  EXPECT_EQ(frame.Areas().FirmwareSize, 0x1A00000u);

  frame.Connected = true;
  frame.FlashKnown = false;
  frame.ShowIdleState();
  s = ui.windows.back();
  EXPECT_EQ(s.FlashType, (ColoredText{"Unidentified!!!", TextColor::Maroon}));
  EXPECT_FALSE(s.SelectorsEnabled);
  EXPECT_TRUE(s.DisconnectEnabled);
}

TEST_F(FrameTest, BeginOperationLocksTheWindowAndIdleUnlocksIt) {
  Family(3);  // S500
  frame.Connected = true;
  frame.ShowIdleState();
  frame.BeginOperation();
  const WindowState busy = ui.windows.back();
  EXPECT_TRUE(frame.Busy);
  EXPECT_TRUE(busy.Busy);
  EXPECT_EQ(busy.PhoneStatus, (ColoredText{"Ready", TextColor::Green}));
  EXPECT_EQ(busy.StatusLine, "Select operation to perform...");
  EXPECT_FALSE(busy.DisconnectEnabled || busy.SelectorsEnabled || busy.CreateDifEnabled ||
               busy.UnpackDifEnabled || busy.FlashHelpEnabled || busy.PanelButtonsEnabled);
  frame.EnableCancel(true);
  frame.ShowIdleState();
  const WindowState idle = ui.windows.back();
  EXPECT_FALSE(frame.Busy);
  EXPECT_FALSE(idle.Busy);
  EXPECT_FALSE(idle.CancelEnabled);
  EXPECT_TRUE(idle.CreateDifEnabled && idle.UnpackDifEnabled && idle.PanelButtonsEnabled);
  EXPECT_EQ(idle.EtaLine, "ETA: 00:00:00");
}

TEST_F(FrameTest, CancelAsksAndOnlyYesSetsTheFlag) {
  frame.BeginOperation();
  frame.EnableCancel(true);
  ui.answers = {Answer::No, Answer::Yes};
  frame.RequestCancel();
  EXPECT_FALSE(frame.Cancel);
  EXPECT_TRUE(frame.State().CancelEnabled);
  frame.RequestCancel();
  EXPECT_TRUE(frame.Cancel);
  EXPECT_FALSE(frame.State().CancelEnabled);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "Are you sure to cancel?");
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Question);
  // The flag stays until the next operation begins.
  frame.ShowIdleState();
  EXPECT_TRUE(frame.Cancel);
  frame.BeginOperation();
  EXPECT_FALSE(frame.Cancel);
}

TEST_F(FrameTest, CancelNowStopsWithoutAskingWhereTheButtonIsEnabled) {
  frame.BeginOperation();
  EXPECT_FALSE(frame.CancelNow());
  EXPECT_FALSE(frame.Cancel);
  frame.EnableCancel(true);
  EXPECT_TRUE(frame.CancelNow());
  EXPECT_TRUE(frame.Cancel);
  EXPECT_FALSE(frame.State().CancelEnabled);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FrameTest, StatusWithCountAndTheTimeLeftLine) {
  frame.StartPhase(16777216);
  frame.StepProgress(65536);
  frame.SetStatusWithCount("Reading");
  EXPECT_EQ(ui.statuses.back(), "Reading, 65536 of 16777216 bytes done");
  // 4 MiB of 16 MiB after 10 s: 30 s to go; 2.5 s later the line counts down.
  clock.SleepMs(10000);
  frame.StepProgress(4194304 - 65536);
  EXPECT_EQ(ui.etaLines.back(), "ETA: 00:00:30");
  clock.SleepMs(2500);
  frame.StepProgress(1);
  EXPECT_EQ(ui.etaLines.back(), "ETA: 00:00:28");
  // A reset to 0 shows zero.
  frame.StepOrResetProgress(0);
  EXPECT_EQ(frame.Position(), 0);
}

// A phase that sets its range without starting an estimate of its own (the DIF
// optimiser, the S3 reader) must not measure from a phase that ended long ago: the
// line would promise hours for seconds of work.
TEST_F(FrameTest, AnEstimateNeverMeasuresFromAnEarlierPhase) {
  frame.BeginOperation();
  frame.StartPhase(1000);
  clock.SleepMs(600000);  // a dump that failed after ten minutes
  frame.StepProgress(10);
  frame.ShowIdleState();
  EXPECT_EQ(frame.State().EtaLine, "ETA: 00:00:00");
  clock.SleepMs(300000);

  frame.BeginOperation();
  frame.SetProgressRange(0, 100);
  clock.SleepMs(3000);
  frame.StepProgress(50);  // half done after 3 s: 3 s to go
  EXPECT_EQ(ui.etaLines.back(), "ETA: 00:00:03");
}

TEST_F(FrameTest, EngineErrorBoxes) {
  ShowEngineError(frame, "Dump aborted: ", -5);
  ShowEngineError(frame, "Terminating:", -2);
  ShowEngineError(frame, "Reading:", -77);
  ShowEngineError(frame, "Initializing (loader1):", -6, "loader file x not found");
  EXPECT_EQ(ui.Texts(MessageKind::Error),
            (std::vector<std::string>{"Dump aborted:  unrecoverable CRC error",
                                      "Terminating: communications timeout", "Reading: ",
                                      "Initializing (loader1): loader image unavailable: loader "
                                      "file x not found"}));
}

TEST_F(FrameTest, FileDialogsRememberTheFolderPerPurpose) {
  ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{"/data/fw/new.bin"}, 1});
  ASSERT_TRUE(frame.SelectOpenFile("bin", "FF_BIN", "FF_BINR_Caption", "FlashBIN_Src"));
  EXPECT_EQ(frame.FileName(), "/data/fw/new.bin");
  EXPECT_EQ(settings.Folder("FlashBIN_Src"), "/data/fw/");
  EXPECT_EQ(ui.fileDialogs[0].Title, "Choose BIN file...");
  EXPECT_EQ(ui.fileDialogs[0].Folder, "");
  // The next dialog of the purpose starts there; a cancel stores nothing.
  ui.fileAnswers.push_back(std::nullopt);
  EXPECT_FALSE(frame.SelectSaveFile("dif", "FF_DIF", "FF_RDIFW_Caption", "FlashBIN_Src", true));
  EXPECT_EQ(ui.fileDialogs[1].Folder, "/data/fw/");
  EXPECT_TRUE(ui.fileDialogs[1].OverwritePrompt);
  EXPECT_EQ(ui.fileDialogs[1].DialogMode, FileDialog::Mode::Save);
  EXPECT_EQ(settings.Folder("FlashBIN_Src"), "/data/fw/");
}

TEST_F(FrameTest, UndoParametersKeepSelectorsAtTheirFirstEntries) {
  UndoParameters pair{"{\\rtf1 old}", 1};
  ui.editParameters = [](DifParametersDialog& d) {
    d.Comment = "{\\rtf1 new}";
    d.Compress = 0;
  };
  frame.EditUndoParameters(pair, "SCap_RDIF_Create_Parameters");
  ASSERT_EQ(ui.parameterDialogs.size(), 1u);
  const DifParametersDialog& shown = ui.parameterDialogs[0];
  EXPECT_FALSE(shown.ComparisonEnabled || shown.ReversalEnabled);
  EXPECT_EQ(shown.CType + shown.RType, 0);
  EXPECT_EQ(shown.Compress, 1);
  EXPECT_EQ(shown.Comment, "{\\rtf1 old}");
  EXPECT_EQ(pair.Comment, "{\\rtf1 new}");
  EXPECT_EQ(pair.Compress, 0);
}

TEST(FieldHexToIntTest, InvalidEntriesAreNegative) {
  EXPECT_EQ(FieldHexToInt(""), 0);
  EXPECT_EQ(FieldHexToInt("e00000"), 0xE00000);
  EXPECT_EQ(FieldHexToInt("123456789"), -1);
  EXPECT_EQ(FieldHexToInt("12 34"), -1);
  EXPECT_EQ(FieldHexToInt("FFFFFFFF"), -1);
  EXPECT_LT(FieldHexToInt("80000000"), 0);
}

}  // namespace
}  // namespace brantle
