// The five dialogs on their own: the rules they show and what they hand back.

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>

#include "comment_editor.h"
#include "difif.h"
#include "difpform.h"
#include "formats/rtf_text.h"
#include "gui_test_registry.h"
#include "tfsfm.h"
#include "tfssel.h"
#include "window_rig.h"

namespace brantle::test {

class DialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void CompatibilityLineForEveryCombination();
  void DisabledSelectorsStartAtTheirFirstEntryAndValuesStay();
  void LoadCommentOfAPlainTextFileAndSaveIt();
  void InformationBoxesFollowTheirRules();
  void SevenDifsScrollAndMovesKeepTheSelection();
  void CancelReturnsNothing();
  void TfsListBuiltModifiedAndClearedAfterAsking();
  void FileManagerListsNamesAndSizes();
};

namespace {

DIFChoice Choice(const std::string& name, bool nor, bool reversal, bool tfs) {
  DIFChoice c;
  c.Name = name;
  c.HasNOR = nor;
  c.HasReversal = reversal;
  c.HasTFS = tfs;
  c.Apply = nor;
  c.TakeTFS = tfs;
  c.Comment = PlainTextToRtf("comment of " + name);
  return c;
}

Qt::CheckState State(QTableWidget* t, int row, int column) {
  return t->item(row, column)->checkState();
}

void Check(QTableWidget* t, int row, int column, bool on) {
  t->item(row, column)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

}  // namespace

void DialogsTest::CompatibilityLineForEveryCombination() {
  WindowRig rig;
  QVERIFY(rig.StartWithoutPhone());
  gui::TNDPF dialog(rig.window->Frame(), rig.window.get());
  DifParametersDialog p;
  dialog.Load(p);
  auto* line = dialog.findChild<QLabel*>("T_Compatibility");
  auto* rType = dialog.findChild<QComboBox*>("RType");
  auto* compress = dialog.findChild<QComboBox*>("Compress");
  auto* editor = dialog.findChild<QTextEdit*>("E_Comment");
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 2; ++c)
      for (const char* comment : {"", "  \n ", "a note"}) {
        rType->setCurrentIndex(r);
        compress->setCurrentIndex(c);
        editor->setPlainText(comment);
        const bool any = r != 2 && c == 0 && QString(comment).trimmed().isEmpty();
        QCOMPARE(line->text(), QString(any ? "Any BRNTL version" : "BRNTL v0.60 and higher"));
      }
}

void DialogsTest::DisabledSelectorsStartAtTheirFirstEntryAndValuesStay() {
  WindowRig rig;
  QVERIFY(rig.StartWithoutPhone());
  gui::TNDPF dialog(rig.window->Frame(), rig.window.get());
  DifParametersDialog p;
  p.Caption = "Reverse DIF file creation parameters...";
  p.ComparisonEnabled = false;
  p.ReversalEnabled = false;
  p.CType = 1;
  p.RType = 2;
  p.Compress = 1;
  dialog.Load(p);
  QCOMPARE(dialog.windowTitle(), QString("Reverse DIF file creation parameters..."));
  auto* cType = dialog.findChild<QComboBox*>("CType");
  QVERIFY(!cType->isEnabled());
  QCOMPARE(cType->currentIndex(), 0);
  QCOMPARE(dialog.findChild<QComboBox*>("RType")->currentIndex(), 0);
  QCOMPARE(dialog.findChild<QComboBox*>("Compress")->currentIndex(), 1);
  dialog.findChild<QTextEdit*>("E_Comment")->setPlainText("kept");
  DifParametersDialog out;
  dialog.Store(out);
  QCOMPARE(out.CType, 0);
  QCOMPARE(out.Compress, 1);
  QCOMPARE(RtfToPlainText(out.Comment), std::string("kept"));
}

void DialogsTest::LoadCommentOfAPlainTextFileAndSaveIt() {
  WindowRig rig;
  QVERIFY(rig.StartWithoutPhone());
  rig.dir.Write("note.txt", "first line\nsecond line");
  gui::TNDPF dialog(rig.window->Frame(), rig.window.get());
  dialog.Load(DifParametersDialog{});
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("note.txt")});
  dialog.findChild<QPushButton*>("B_LoadComment")->click();
  QCOMPARE(rig.dialogs.fileDialogs.back().Title, std::string("Choose RTF/TXT file to read..."));
  QCOMPARE(dialog.findChild<QTextEdit*>("E_Comment")->toPlainText(),
           QString("first line\nsecond line"));
  QCOMPARE(dialog.findChild<QLabel*>("T_Compatibility")->text(), QString("BRNTL v0.60 and higher"));
  // Plain text shows at the editor's own size, which its size list names.
  auto* editor = dialog.findChild<QTextEdit*>("E_Comment");
  QTextCursor inText(editor->document());
  inText.setPosition(3);
  QCOMPARE(inText.charFormat().fontPointSize(), 10.0);
  editor->setTextCursor(inText);
  QCOMPARE(dialog.findChild<QComboBox*>("S_FontSize")->currentText(), QString("10"));

  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("saved.rtf")});
  dialog.findChild<QPushButton*>("B_SaveComment")->click();
  const std::string saved = ReadFile(rig.dir.File("saved.rtf"));
  QVERIFY(LooksLikeRtf(saved));
  QCOMPARE(RtfToPlainText(saved), std::string("first line\nsecond line"));
  // The folder is remembered for the next comment.
  QCOMPARE(rig.window->settings().Folder("DIFCreate_RTFOpen"), rig.dir.path() + "/");

  // A file that cannot be read: the error box, the editor as it was.
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("absent.txt")});
  dialog.findChild<QPushButton*>("B_LoadComment")->click();
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error).back(), "Error: some error reading file " +
                                                             rig.dir.File("absent.txt") +
                                                             ": No such file or directory");
  QCOMPARE(dialog.findChild<QTextEdit*>("E_Comment")->toPlainText(),
           QString("first line\nsecond line"));
}

void DialogsTest::InformationBoxesFollowTheirRules() {
  gui::TDIFInfo dialog(nullptr);
  dialog.Show({Choice("patch.dif", true, true, true), Choice("tfs-only.dif", false, false, true)});
  QTableWidget* t = dialog.Table();
  enum { kApply = 1, kUndo = 2, kTfs = 3 };
  // Boxes only where the file has the content.
  QVERIFY(!(t->item(1, kApply)->flags() & Qt::ItemIsEnabled));
  QVERIFY(!(t->item(1, kUndo)->flags() & Qt::ItemIsEnabled));
  QVERIFY(t->item(1, kTfs)->flags() & Qt::ItemIsEnabled);
  // Undo clears Apply and TFS; Apply clears Undo; TFS is independent.
  Check(t, 0, kUndo, true);
  QCOMPARE(State(t, 0, kApply), Qt::Unchecked);
  QCOMPARE(State(t, 0, kTfs), Qt::Unchecked);
  Check(t, 0, kTfs, true);
  QCOMPARE(State(t, 0, kUndo), Qt::Checked);
  Check(t, 0, kApply, true);
  QCOMPARE(State(t, 0, kUndo), Qt::Unchecked);
  QCOMPARE(State(t, 0, kTfs), Qt::Checked);
  const DIFChoice& f = dialog.Files()[0];
  QVERIFY(f.Apply && !f.Undo && f.TakeTFS);
  // The selected row's comment, read-only.
  t->setCurrentCell(1, 0);
  auto* comment = dialog.findChild<QTextEdit*>("E_SelectedComment");
  QCOMPARE(comment->toPlainText(), QString("comment of tfs-only.dif"));
  QVERIFY(comment->isReadOnly());
}

void DialogsTest::SevenDifsScrollAndMovesKeepTheSelection() {
  gui::TDIFInfo dialog(nullptr);
  std::vector<DIFChoice> six, seven;
  for (int i = 0; i < 7; ++i) {
    DIFChoice c = Choice("d" + std::to_string(i) + ".dif", true, false, false);
    if (i < 6) six.push_back(c);
    seven.push_back(c);
  }
  dialog.show();
  QScrollBar* bar = dialog.Table()->verticalScrollBar();
  dialog.Show(six);
  QApplication::processEvents();
  QCOMPARE(bar->maximum(), 0);  // six rows fit
  QVERIFY(!bar->isVisible());
  dialog.Show(seven);
  QTRY_VERIFY(bar->isVisible());
  QCOMPARE(bar->maximum(), 1);  // one row more than fits

  // Up on the first row does nothing; Down moves the selected DIF and keeps it selected.
  dialog.findChild<QPushButton*>("B_MoveUp")->click();
  QCOMPARE(dialog.Files()[0].Name, std::string("d0.dif"));
  dialog.findChild<QPushButton*>("B_MoveDown")->click();
  QCOMPARE(dialog.Files()[0].Name, std::string("d1.dif"));
  QCOMPARE(dialog.Files()[1].Name, std::string("d0.dif"));
  QCOMPARE(dialog.Table()->currentRow(), 1);
  dialog.Table()->setCurrentCell(6, 0);
  dialog.findChild<QPushButton*>("B_MoveDown")->click();
  QCOMPARE(dialog.Files()[6].Name, std::string("d6.dif"));
}

void DialogsTest::CancelReturnsNothing() {
  gui::TDIFInfo dialog(nullptr);
  std::vector<DIFChoice> files = {Choice("a.dif", true, true, false),
                                  Choice("b.dif", true, false, false)};
  const std::vector<DIFChoice> before = files;
  QTimer::singleShot(0, &dialog, [&] {
    dialog.findChild<QPushButton*>("B_MoveDown")->click();
    dialog.findChild<QPushButton*>("B_Cancel")->click();
  });
  QVERIFY(!dialog.Run(files));
  QCOMPARE(files[0].Name, before[0].Name);
  QTimer::singleShot(0, &dialog, [&] {
    dialog.findChild<QPushButton*>("B_MoveDown")->click();
    dialog.findChild<QPushButton*>("B_OK")->click();
  });
  QVERIFY(dialog.Run(files));
  QCOMPARE(files[0].Name, std::string("b.dif"));
}

void DialogsTest::TfsListBuiltModifiedAndClearedAfterAsking() {
  WindowRig rig;
  QVERIFY(rig.StartWithoutPhone());
  rig.dir.Write("ring.mid", "MThd");
  rig.dir.Write("logo.jpg", "JFIF");
  gui::TTFSSelector dialog(rig.window->Frame(), rig.window.get());
  auto* list = dialog.findChild<QTreeWidget*>("G_TFSFiles");
  QVERIFY(!dialog.findChild<QPushButton*>("B_FlashTFS")->isEnabled());
  // Two files chosen at once go into the folder shown.
  auto* folder = dialog.findChild<QComboBox*>("S_Folder");
  folder->setEditText("/user/");
  rig.dialogs.files.push_back(
      std::vector<std::string>{rig.dir.File("ring.mid"), rig.dir.File("logo.jpg")});
  dialog.findChild<QPushButton*>("B_Browse")->click();
  QCOMPARE(list->topLevelItemCount(), 2);
  QCOMPARE(list->topLevelItem(0)->text(1), QString("/user/ring.mid"));
  QVERIFY(dialog.findChild<QPushButton*>("B_FlashTFS")->isEnabled());

  list->setCurrentItem(list->topLevelItem(1));
  QCOMPARE(dialog.findChild<QLineEdit*>("T_Name")->text(), QString("logo.jpg"));
  dialog.findChild<QLineEdit*>("T_Name")->setText("boot.jpg");
  dialog.findChild<QPushButton*>("B_Modify")->click();
  QCOMPARE(list->topLevelItem(1)->text(1), QString("/user/boot.jpg"));

  rig.dialogs.answers.push_back(Answer::No);
  dialog.findChild<QPushButton*>("B_ClearList")->click();
  QCOMPARE(list->topLevelItemCount(), 2);
  rig.dialogs.answers.push_back(Answer::Yes);
  dialog.findChild<QPushButton*>("B_ClearList")->click();
  QCOMPARE(list->topLevelItemCount(), 0);
  QCOMPARE(rig.dialogs.Count("Are you sure?"), 2);
  QVERIFY(!dialog.findChild<QPushButton*>("B_FlashTFS")->isEnabled());
}

void DialogsTest::FileManagerListsNamesAndSizes() {
  TempDir home;
  home.Write("dump.bin", std::string(1234, 'x'));
  home.Write("a.dif", "12");
  const QByteArray oldHome = qgetenv("HOME");
  qputenv("HOME", QByteArray::fromStdString(home.path()));
  gui::TSTFM manager("E800", nullptr);
  qputenv("HOME", oldHome);
  QCOMPARE(manager.Places(0)->itemText(0), QString("[Phone] E800"));
  QCOMPARE(manager.Places(1)->currentText().toStdString(), home.path());
  QTreeWidget* list = manager.List(1);
  QCOMPARE(list->topLevelItemCount(), 2);
  QCOMPARE(list->topLevelItem(0)->text(0), QString("a.dif"));
  QCOMPARE(list->topLevelItem(0)->text(1), QString("2"));
  QCOMPARE(list->topLevelItem(1)->text(0), QString("dump.bin"));
  QCOMPARE(list->topLevelItem(1)->text(1), QString("1234"));
  QCOMPARE(manager.List(0)->topLevelItemCount(), 0);  // the phone's side shows nothing
}

BRANTLE_GUI_TEST(DialogsTest)

}  // namespace brantle::test

#include "dialogs_test.moc"
