// The pages' file fields take a path typed or pasted into them and files dropped
// from a file manager, checked as a file chosen in the dialog is: a file that cannot
// be used is refused with the same message and never reaches the phone.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <filesystem>

#include "dif/dif_helpers.h"
#include "gui_test_registry.h"
#include "window_rig.h"

namespace brantle::test {

class WindowFileFieldsTest : public QObject {
  Q_OBJECT
 private slots:
  void ATypedOrPastedPathIsTakenOnlyWhenItCanBeRead();
  void AFileDroppedFromAFileManagerIsCheckedAsAChosenOne();
  void DroppedDifsAreMergedAndCancelKeepsTheEarlierSelection();
  void ATypedTfsFileIsTakenWithItsCfgShownUnderItsLabel();
};

namespace {

constexpr int kTabFlashing = 0;
constexpr int kTabTfs = 3;

std::string Bytes(const std::vector<uint8_t>& v) {
  return std::string(v.begin(), v.end());
}

// Typed as a person types: the old text selected and replaced, then Enter.
void Type(QLineEdit* field, const QString& text) {
  field->selectAll();
  QTest::keyClicks(field, text);
  QTest::keyClick(field, Qt::Key_Return);
}

// Pasted with Ctrl+V over the old text, then the field is left for the next one.
void Paste(QLineEdit* field, const QString& text) {
  QApplication::clipboard()->setText(text);
  field->selectAll();
  QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
  emit field->editingFinished();
}

// Files dragged from a file manager and let go over the field; false when the field
// does not take them.
bool Drop(QWidget* field, const std::vector<std::string>& files) {
  QMimeData data;
  QList<QUrl> urls;
  for (const std::string& f : files) urls << QUrl::fromLocalFile(QString::fromStdString(f));
  data.setUrls(urls);
  const QPointF at = field->rect().center();
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(field, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(field, &drop);
  return drop.isAccepted();
}

std::string Text(QLineEdit* field) {
  return field->text().toStdString();
}

}  // namespace

void WindowFileFieldsTest::ATypedOrPastedPathIsTakenOnlyWhenItCanBeRead() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  const std::string firmware = Pattern(0x2000, 7);
  rig.dir.Write("fw.bin", firmware);
  rig.dir.Write("empty.bin", "");
  std::filesystem::create_directory(rig.dir.File("folder.bin"));
  rig.ShowPage(kTabFlashing, "L_Flashing", 0);
  auto* field = rig.Find<QLineEdit>("T_FlashBIN_Src");
  auto* action = rig.Find<QPushButton>("B_FlashBIN_Do");

  // Refused, each with its reason; the field stays empty and nothing can be flashed.
  Type(field, QString::fromStdString(rig.dir.File("gone.bin")));
  Paste(field, QString::fromStdString(rig.dir.File("folder.bin")));
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("empty.bin")});
  QVERIFY(rig.Click("BS_FlashBIN_Src"));
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error),
           (std::vector<std::string>{rig.dir.File("gone.bin") + ": No such file or directory",
                                     rig.dir.File("folder.bin") + ": is a folder",
                                     rig.dir.File("empty.bin") + ": is empty"}));
  QCOMPARE(Text(field), std::string());
  QVERIFY(!action->isEnabled());

  // A file address pasted from a file manager is its path.
  Paste(field, QUrl::fromLocalFile(QString::fromStdString(rig.dir.File("fw.bin"))).toString());
  QCOMPARE(Text(field), rig.dir.File("fw.bin"));
  QVERIFY(action->isEnabled());
  // A refused path later keeps the file taken before.
  Type(field, QString::fromStdString(rig.dir.File("folder.bin")));
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error).back(),
           rig.dir.File("folder.bin") + ": is a folder");
  QCOMPARE(Text(field), rig.dir.File("fw.bin"));

  std::string expected = Bytes(rig.phone->Nor());
  QVERIFY(rig.Click("B_FlashBIN_Do"));
  expected.replace(0, firmware.size(), firmware);
  QCOMPARE(Bytes(rig.phone->Nor()), expected);
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error).size(), size_t{4});
}

void WindowFileFieldsTest::AFileDroppedFromAFileManagerIsCheckedAsAChosenOne() {
  WindowRig rig("E700");
  QVERIFY(rig.StartWithoutPhone());
  rig.dir.Write("part.bin", std::string(0x30, 'p'));
  rig.dir.Write("other.bin", "other");
  rig.ShowPage(kTabFlashing, "L_Flashing", 5);
  auto* field = rig.Find<QLineEdit>("T_FlashBINOffset_Src");

  // One file per field: two at once are not taken at all.
  QVERIFY(!Drop(field, {rig.dir.File("part.bin"), rig.dir.File("other.bin")}));
  QVERIFY(Drop(field, {rig.dir.File("missing.bin")}));
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error),
           std::vector<std::string>{rig.dir.File("missing.bin") + ": No such file or directory"});
  QCOMPARE(Text(field), std::string());

  QVERIFY(Drop(field, {rig.dir.File("part.bin")}));
  QCOMPARE(Text(field), rig.dir.File("part.bin"));
  // The page took the file: its length is offered, and picked, the last byte follows.
  auto* length = rig.Find<QComboBox>("S_FlashBINOffset_Length");
  const int whole = length->findText("30");
  QVERIFY(whole >= 0);
  length->setCurrentIndex(whole);
  emit length->activated(whole);
  QCOMPARE(rig.Find<QLabel>("T_FlashBINOffset_EndBINOffset")->text(), QString("2F"));
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error).size(), size_t{1});
}

void WindowFileFieldsTest::DroppedDifsAreMergedAndCancelKeepsTheEarlierSelection() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  Dif({Nord(0x1000, "AAAA")}).SaveToFile(rig.dir.File("a.dif"), 0);
  Dif({Nord(0x2000, "BB")}).SaveToFile(rig.dir.File("b.dif"), 0);
  Dif({Nord(0x3000, "CC")}).SaveToFile(rig.dir.File("c.dif"), 0);
  rig.ShowPage(kTabFlashing, "L_Flashing", 1);
  auto* field = rig.Find<QLineEdit>("T_FlashDIF_Src");

  int dialogs = 0;
  bool cancel = false;
  rig.dialogs.chooseDIFs = [&](std::vector<DIFChoice>&) {
    ++dialogs;
    return !cancel;
  };
  QVERIFY(Drop(field, {rig.dir.File("a.dif"), rig.dir.File("b.dif")}));
  QCOMPARE(dialogs, 1);
  QCOMPARE(Text(field), std::string("2 DIF file(s) selected"));

  // "Cancel" in "Opening DIF files...": the two stay chosen.
  cancel = true;
  Type(field, QString::fromStdString(rig.dir.File("c.dif")));
  QCOMPARE(dialogs, 2);
  QCOMPARE(Text(field), std::string("2 DIF file(s) selected"));
  // A file that is no DIF is refused as a chosen one is, and changes nothing.
  QVERIFY(Drop(field, {rig.dir.File("none.dif")}));
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error),
           std::vector<std::string>{rig.dir.File("none.dif") + " ignored: could not open file"});
  QCOMPARE(Text(field), std::string("2 DIF file(s) selected"));

  std::string expected = Bytes(rig.phone->Nor());
  QVERIFY(rig.Click("B_FlashDIF_Do"));
  expected.replace(0x1000, 4, "AAAA");
  expected.replace(0x2000, 2, "BB");
  QCOMPARE(Bytes(rig.phone->Nor()), expected);
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error).size(), size_t{1});
}

void WindowFileFieldsTest::ATypedTfsFileIsTakenWithItsCfgShownUnderItsLabel() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());  // "Flash files..." needs a phone
  rig.dir.Write("fw.tfs", "data");
  rig.dir.Write("fw.cfg", "TFSVERSION: TFS3.0_E700_0001\r\n");
  rig.dir.Write("lone.tfs", "data");
  rig.ShowPage(kTabTfs, "L_TFS", 0);
  auto* tfs = rig.Find<QLineEdit>("T_FlashTFS_TFS");
  auto* cfg = rig.Find<QLineEdit>("T_FlashTFS_CFG");
  QCOMPARE(rig.Find<QLabel>("L_FlashTFS_CFG")->text(), QString("CFG file:"));

  Type(tfs, QString::fromStdString(rig.dir.File("fw.tfs")));
  QCOMPARE(Text(tfs), rig.dir.File("fw.tfs"));
  QCOMPARE(Text(cfg), rig.dir.File("fw.cfg"));
  QVERIFY(rig.Find<QPushButton>("B_FlashTFS_Do")->isEnabled());

  // Without its CFG, or not there at all: refused as a chosen file is; the pair stays.
  Type(tfs, QString::fromStdString(rig.dir.File("lone.tfs")));
  QVERIFY(Drop(tfs, {rig.dir.File("gone.tfs")}));
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error),
           (std::vector<std::string>{"no CFG file found for the TFS file",
                                     rig.dir.File("gone.tfs") + ": No such file or directory"}));
  QCOMPARE(Text(tfs), rig.dir.File("fw.tfs"));
  QCOMPARE(Text(cfg), rig.dir.File("fw.cfg"));
}

BRANTLE_GUI_TEST(WindowFileFieldsTest)

}  // namespace brantle::test

#include "window_file_fields_test.moc"
