// The dialogs where the window opens them, end to end against the virtual phone and
// files: what the phone and the files hold afterwards.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include "dif/dif_helpers.h"
#include "formats/rtf_text.h"
#include "formats/tfs_pair.h"
#include "gui_test_registry.h"
#include "support/recording_ui.h"
#include "window_rig.h"

namespace brantle::test {

class WindowDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void ThreeDifsOneAsUndoFlashedFromTheDifPage();
  void CreateDifWithACommentThenApplyItToABin();
  void FilesFlashedIntoTheFileSystemComeBackInADump();
  void AStyledCommentSavedWithADumpShowsItsStylesInTheInformationDialog();
};

namespace {

constexpr int kTabFlashing = 0;
constexpr int kTabDeveloper = 4;

std::string Bytes(const std::vector<uint8_t>& v) {
  return std::string(v.begin(), v.end());
}

}  // namespace

void WindowDialogsTest::ThreeDifsOneAsUndoFlashedFromTheDifPage() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  std::string expected = Bytes(rig.phone->Nor());
  Dif({Nord(0x1000, "AAAA")}).SaveToFile(rig.dir.File("a.dif"), 0);
  // b.dif's patch must not reach the phone; its undo data is what is wanted.
  Dif({Nord(0x2000, "BBBB"), Rev(0x3000, "ZZZZ")}).SaveToFile(rig.dir.File("b.dif"), 0);
  Dif({Nord(0x1002, "CC")}).SaveToFile(rig.dir.File("c.dif"), 1);

  bool shown = false;
  rig.dialogs.onDifInfo = [&](gui::TDIFInfo& dialog) {
    shown = dialog.Files().size() == 3;
    dialog.Table()->item(1, 2)->setCheckState(Qt::Checked);  // b.dif: Undo
  };
  rig.ShowPage(kTabFlashing, "L_Flashing", 1);
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("a.dif"), rig.dir.File("b.dif"),
                                                       rig.dir.File("c.dif")});
  QVERIFY(rig.Click("BS_FlashDIF_Src"));
  QVERIFY(shown);
  QCOMPARE(rig.Find<QLineEdit>("T_FlashDIF_Src")->text(), QString("3 DIF file(s) selected"));
  QVERIFY(rig.Click("B_FlashDIF_Do"));
  expected.replace(0x1000, 4, "AACC");
  expected.replace(0x3000, 4, "ZZZZ");
  QCOMPARE(Bytes(rig.phone->Nor()), expected);
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error), std::vector<std::string>{});
}

void WindowDialogsTest::CreateDifWithACommentThenApplyItToABin() {
  WindowRig rig("E700");
  QVERIFY(rig.StartWithoutPhone());
  const std::string original = Pattern(0x30000, 1);
  std::string target = original;
  target.replace(0x100, 6, "CHANGE");
  target.replace(0x2FFF0, 4, "TAIL");
  rig.dir.Write("original.bin", original);
  rig.dir.Write("target.bin", target);
  rig.dir.Write("work.bin", original);

  rig.dialogs.onParameters = [&](gui::TNDPF& dialog) {
    dialog.findChild<QComboBox*>("Compress")->setCurrentIndex(1);
    dialog.findChild<QTextEdit*>("E_Comment")->setPlainText("Release notes: fixes the menu");
  };
  rig.dialogs.onCreateDif = [&](gui::CreateDifDialog& dialog) {
    rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("original.bin")});
    dialog.findChild<QPushButton*>("BS_BIN1")->click();
    rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("target.bin")});
    dialog.findChild<QPushButton*>("BS_BIN2")->click();
    dialog.findChild<QPushButton*>("B_DIFParameters")->click();
    QVERIFY(dialog.findChild<QPushButton*>("B_CreateDIF")->isEnabled());
    dialog.findChild<QPushButton*>("B_CreateDIF")->click();
    // Then the save dialog of the patch.
    rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("patch.dif")});
  };
  rig.ShowPage(kTabDeveloper);
  QVERIFY(rig.Click("CreateDIF"));
  TDIFFile patch;
  QCOMPARE(patch.LoadFromFile(rig.dir.File("patch.dif")), 0);
  std::string comment;
  for (const TDIFBlock& b : patch.Blocks)
    if (b.Kind == "dIFC") comment = RtfToPlainText(TDIFFile::GetComment(b));
  QCOMPARE(comment, std::string("Release notes: fixes the menu"));

  // Apply DIF file(s) to BIN/TFS...: the patch into a copy of the original.
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("patch.dif")});
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("work.bin")});
  QVERIFY(rig.Click("UnpackDIF"));
  QCOMPARE(ReadFile(rig.dir.File("work.bin")), target);
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error), std::vector<std::string>{});
}

void WindowDialogsTest::FilesFlashedIntoTheFileSystemComeBackInADump() {
  WindowRig rig("E800");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  rig.dir.Write("ring.mid", "MThd ring tone");
  rig.dir.Write("logo.jpg", std::string(3000, 'J'));
  rig.dialogs.onTfsFiles = [&](gui::TTFSSelector& dialog) {
    dialog.findChild<QComboBox*>("S_Folder")->setEditText("/user/");
    rig.dialogs.files.push_back(
        std::vector<std::string>{rig.dir.File("ring.mid"), rig.dir.File("logo.jpg")});
    dialog.findChild<QPushButton*>("B_Browse")->click();
  };
  rig.ShowPage(kTabDeveloper);
  QVERIFY(rig.Click("FlashTFSFiles"));
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error), std::vector<std::string>{});
  // Writing files ends the connection; the phone starts again in boot mode.
  QVERIFY(rig.WaitConnected());

  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("files.tfs")});
  QVERIFY(rig.Click("NANDDump"));
  RecordingUi ui;
  TDIFFile dump;
  QVERIFY(ReadTfsPair(ui, dump, rig.dir.File("files.tfs"), nullptr));
  std::map<std::string, std::string> files;
  for (const TDIFBlock& b : dump.Blocks) {
    std::string name, contents;
    TDIFFile::GetTFSFile(b, name, contents);
    files[name] = contents;
  }
  QCOMPARE(files["/user/ring.mid"], std::string("MThd ring tone"));
  QCOMPARE(files["/user/logo.jpg"], std::string(3000, 'J'));
}

void WindowDialogsTest::AStyledCommentSavedWithADumpShowsItsStylesInTheInformationDialog() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  // The dump's DIF options: "Привет, phone" typed, then made bold, red and 14 points.
  rig.dialogs.onParameters = [&](gui::TNDPF& dialog) {
    auto* edit = dialog.findChild<QTextEdit*>("E_Comment");
    edit->setPlainText(QString::fromUtf8("Привет, phone"));
    edit->selectAll();
    dialog.findChild<QToolButton*>("B_Bold")->click();
    auto* size = dialog.findChild<QComboBox*>("S_FontSize");
    size->setCurrentIndex(size->findData(14));
    emit size->activated(size->currentIndex());
    auto* color = dialog.findChild<QComboBox*>("S_Color");
    int red = -1;
    for (int i = 0; i < color->count(); ++i)
      if (color->itemData(i).value<QColor>() == QColor(Qt::red)) red = i;
    color->setCurrentIndex(red);
    emit color->activated(red);
  };
  rig.ShowPage(1, "L_Dumping", 0);
  rig.Find<QRadioButton>("R_DumpNOR_DIF")->click();
  rig.Find<QRadioButton>("R_DumpNOR_Advanced")->click();
  rig.Find<QComboBox>("S_DumpNOR_Start")->setEditText("0");
  rig.Find<QComboBox>("S_DumpNOR_End")->setEditText("FFF");
  QVERIFY(rig.Click("B_DumpNOR_DIFOptions"));
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("dump.dif")});
  QVERIFY(rig.Click("BS_DumpNOR_Tgt"));
  QVERIFY(rig.Click("B_DumpNOR_Do"));
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error), std::vector<std::string>{});

  // The information dialog shows the comment of the chosen file with its styles.
  QTextCharFormat shown;
  QString text;
  rig.dialogs.onDifInfo = [&](gui::TDIFInfo& dialog) {
    auto* comment = dialog.findChild<QTextEdit*>("E_SelectedComment");
    text = comment->toPlainText();
    QTextCursor cursor(comment->document());
    cursor.setPosition(3);
    shown = cursor.charFormat();
  };
  rig.ShowPage(0, "L_Flashing", 1);
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("dump.dif")});
  QVERIFY(rig.Click("BS_FlashDIF_Src"));
  QCOMPARE(text, QString::fromUtf8("Привет, phone"));
  QVERIFY(shown.fontWeight() >= QFont::Bold);
  QCOMPARE(shown.fontPointSize(), 14.0);
  QCOMPARE(shown.foreground().color(), QColor(Qt::red));
  QVERIFY(!shown.fontItalic());
}

BRANTLE_GUI_TEST(WindowDialogsTest)

}  // namespace brantle::test

#include "window_dialogs_test.moc"
