// What the pages show and offer: the Developer tab's service pages for each family,
// the file manager page's pointer to a button the window really shows, the address
// fields' lists, and the TFS selector's first folder.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QWheelEvent>

#include "gui_test_registry.h"
#include "lang/lang_get.h"
#include "tfssel.h"
#include "window_rig.h"

namespace brantle::test {

class WindowPagesTest : public QObject {
  Q_OBJECT
 private slots:
  void ServicePagesOfferTheFamilysButtonsOrSayTheyAreNotAvailable();
  void TheFileManagerPageNamesAButtonTheWindowShows();
  void AddressFieldsOfferTheAreasAndKeepWhatIsTyped();
  void TheTfsSelectorStartsAtTheRoot();
};

namespace {

constexpr int kTabFlashing = 0;
constexpr int kTabDumping = 1;
constexpr int kTabErasing = 2;
constexpr int kTabTfs = 3;
constexpr int kTabDeveloper = 4;

void Choose(QComboBox* selector, int index) {
  selector->setCurrentIndex(index);
  emit selector->activated(index);
}

QStringList Items(QComboBox* field) {
  QStringList items;
  for (int i = 0; i < field->count(); ++i) items << field->itemText(i);
  return items;
}

void Wheel(QWidget* target) {
  const QPointF at = target->rect().center();
  QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &wheel);
}

}  // namespace

void WindowPagesTest::ServicePagesOfferTheFamilysButtonsOrSayTheyAreNotAvailable() {
  WindowRig rig("E800");
  QVERIFY(rig.StartWithoutPhone());
  const struct {
    int row;
    const char* name;
    const char* textKey;
    int family;  // the selector entry whose family has the page's buttons
  } pages[] = {{1, "S500", "Lbl_S500_Service", 3},
               {2, "Opti", "Lbl_Opti_Service", 4},
               {3, "TFS", "Lbl_TFS_Operations", 1}};
  const QString notAvailable = QString::fromStdString(LangGet("Lbl_NA_Create_DIF"));
  for (const int family : {1, 3, 4}) {
    Choose(rig.Find<QComboBox>("PType"), family);
    // DIF files are created and applied for every family.
    rig.ShowPage(kTabDeveloper, "L_Developer", 0);
    QCOMPARE(rig.Find<QLabel>("L_DIF_Service")->text().toStdString(), LangGet("Lbl_Service"));
    QVERIFY(rig.Find<QPushButton>("CreateDIF")->isVisible());
    QVERIFY(rig.Find<QPushButton>("UnpackDIF")->isVisible());
    for (const auto& page : pages) {
      rig.ShowPage(kTabDeveloper, "L_Developer", page.row);
      const std::string n = page.name;
      QCOMPARE(rig.Find<QLabel>(("L_" + n + "_Service").c_str())->text().toStdString(),
               LangGet(page.textKey));
      const bool offered = family == page.family;
      QCOMPARE(rig.Find<QWidget>(("P_" + n).c_str())->isVisible(), offered);
      auto* note = rig.Find<QLabel>(("L_" + n + "_NA").c_str());
      QCOMPARE(note->isVisible(), !offered);
      QCOMPARE(note->text(), notAvailable);
    }
  }

  // The S500 conversion offered asks for each file of the set by its own title.
  Choose(rig.Find<QComboBox>("PType"), 3);
  rig.ShowPage(kTabDeveloper, "L_Developer", 1);
  QVERIFY(rig.Click("S500toBD"));
  std::vector<std::string> titles;
  for (const FileDialog& d : rig.dialogs.fileDialogs) titles.push_back(d.Title);
  QCOMPARE(titles, (std::vector<std::string>{"Choose BIN 1 file...", "Choose BIN 2 file...",
                                             "Choose OGM 1 file...", "Choose OGM 2 file..."}));
}

void WindowPagesTest::TheFileManagerPageNamesAButtonTheWindowShows() {
  for (const bool developer : {false, true}) {
    WindowRig rig("E700", developer ? "[Settings]\nDeveloper_Mode=1\n" : "");
    QVERIFY(rig.StartWithoutPhone());
    rig.ShowPage(kTabTfs, "L_TFS", 3);
    const QString text = rig.Find<QLabel>("L_T_ManageTFS")->text();
    QCOMPARE(rig.Find<QPushButton>("B_Dev_TFSM")->isVisible(), developer);
    QVERIFY2(text.contains("\"Dev-TFSM\""), qPrintable(text));
    if (developer) {
      QVERIFY2(!text.contains("Developer_Mode"), qPrintable(text));
    } else {
      // How to have the button: the setting and the file it goes in.
      QVERIFY2(text.contains("Developer_Mode=1"), qPrintable(text));
      QVERIFY2(text.contains(QString::fromStdString(rig.SettingsPath())), qPrintable(text));
    }
  }
}

void WindowPagesTest::AddressFieldsOfferTheAreasAndKeepWhatIsTyped() {
  WindowRig rig("E700");  // 14 MiB of firmware, then 2 MiB of EEPROM
  QVERIFY(rig.StartWithoutPhone());
  const QStringList starts{"0", "E00000"};
  const QStringList ends{"DFFFFF", "FFFFFF"};

  rig.ShowPage(kTabFlashing, "L_Flashing", 6);
  auto* offset = rig.Find<QComboBox>("S_FlashHex_Offset");
  QCOMPARE(Items(offset), starts);
  rig.Find<QPlainTextEdit>("E_FlashHex_Data")->setPlainText("AB CD");
  Choose(offset, 1);
  QCOMPARE(rig.Find<QLabel>("T_FlashHex_EndOffset")->text(), QString("E00001"));
  // The wheel over the field (a turn up, towards "0") changes nothing, and a typed "E"
  // stays "E" in the field that has the focus.
  Wheel(offset);
  Wheel(offset->lineEdit());
  QCOMPARE(offset->currentText(), QString("E00000"));
  rig.window->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
  offset->lineEdit()->setFocus();
  offset->lineEdit()->selectAll();
  QTest::keyClicks(offset->lineEdit(), "E");
  QCOMPARE(offset->currentText(), QString("E"));

  rig.ShowPage(kTabFlashing, "L_Flashing", 5);
  QCOMPARE(Items(rig.Find<QComboBox>("S_FlashBINOffset_PhoneOffset")), starts);
  rig.dir.Write("full.bin", std::string(0xE00010, '\xFF'));
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("full.bin")});
  QVERIFY(rig.Click("BS_FlashBINOffset_Src"));
  // A full image holds the EEPROM area at its start; its parts fit the areas' sizes.
  QCOMPARE(Items(rig.Find<QComboBox>("S_FlashBINOffset_BINOffset")), starts);
  QCOMPARE(Items(rig.Find<QComboBox>("S_FlashBINOffset_Length")),
           (QStringList{"E00010", "E00000", "200000"}));

  for (const auto& [tab, prefix] : {std::pair{kTabDumping, "DumpNOR"}, {kTabErasing, "Erase"}}) {
    rig.ShowPage(tab, tab == kTabDumping ? "L_Dumping" : nullptr);
    rig.Find<QRadioButton>(("R_" + std::string(prefix) + "_Advanced").c_str())->click();
    auto* start = rig.Find<QComboBox>(("S_" + std::string(prefix) + "_Start").c_str());
    auto* end = rig.Find<QComboBox>(("S_" + std::string(prefix) + "_End").c_str());
    QCOMPARE(Items(start), starts);
    QCOMPARE(Items(end), ends);
    Choose(end, 0);
    QCOMPARE(end->currentText(), QString("DFFFFF"));
  }
}

void WindowPagesTest::TheTfsSelectorStartsAtTheRoot() {
  WindowRig rig("E700");
  QVERIFY(rig.StartWithoutPhone());
  rig.dir.Write("ring.mid", "tune");
  gui::TTFSSelector dialog(rig.window->Frame(), rig.window.get());
  QCOMPARE(dialog.findChild<QComboBox*>("S_Folder")->currentText(), QString("/"));
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("ring.mid")});
  dialog.findChild<QPushButton*>("B_Browse")->click();
  dialog.findChild<QPushButton*>("B_Add")->click();
  auto* list = dialog.findChild<QTreeWidget*>("G_TFSFiles");
  QCOMPARE(list->topLevelItemCount(), 1);
  QCOMPARE(list->topLevelItem(0)->text(1), QString("/ring.mid"));
}

BRANTLE_GUI_TEST(WindowPagesTest)

}  // namespace brantle::test

#include "window_pages_test.moc"
