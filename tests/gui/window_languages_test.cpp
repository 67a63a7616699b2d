// The shipped languages in the window: the selector offers all nine; each one
// re-captions everything at once, Qt's own buttons included, with no caption cut
// short at the window's default size; Arabic lays the window out right to left while
// addresses and paths still read left to right; the choice survives a restart.

#include <QComboBox>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "caption_checks.h"
#include "gui_test_registry.h"
#include "lang/lang_get.h"
#include "modal_answer.h"
#include "qt_dialog_host.h"
#include "shipped_languages.h"
#include "window_rig.h"

namespace brantle::test {

class WindowLanguagesTest : public QObject {
  Q_OBJECT
 private slots:
  void EveryLanguageShowsEveryCaptionWhole();
  void ArabicIsLaidOutRightToLeftWithAddressesLeftToRight();
  void QtsButtonsFollowAndTheChoiceSurvivesARestart();
  void cleanup() { UnloadLanguages(); }
};

namespace {

void Choose(QComboBox* selector, int index) {
  selector->setCurrentIndex(index);
  emit selector->activated(index);
}

// The texts of the standard buttons of a real Yes/No box, less shortcut marks.
QStringList QtButtons(WindowRig& rig) {
  gui::QtDialogHost host;
  QStringList texts;
  ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
    for (QMessageBox::StandardButton b : {QMessageBox::Yes, QMessageBox::No})
      texts << box->button(b)->text().remove('&');
    box->button(QMessageBox::No)->click();
  });
  host.Message(rig.window.get(), MessageKind::Question, "?", Buttons::YesNo);
  return texts;
}

}  // namespace

void WindowLanguagesTest::EveryLanguageShowsEveryCaptionWhole() {
  WindowRig rig("E700");
  QVERIFY(LoadShippedLanguages(rig));
  QVERIFY(rig.StartWithoutPhone());
  auto* selector = rig.Find<QComboBox>("LangSel");
  QCOMPARE(selector->count(), 9);
  const QSize start = rig.window->size();
  for (int i = 0; i < selector->count(); ++i) {
    Choose(selector, i);
    Settle(rig.window.get());
    // Everything is in the language now, without a restart: the tab captions too.
    const QString language = selector->itemText(i);
    QCOMPARE(rig.Find<QTabWidget>("Pages")->tabText(0),
             QString::fromStdString(LangGet("Win_Tab_Flashing")));
    // The default size grows where a language needs more room, never shrinks below it.
    QVERIFY(rig.window->width() >= start.width() ||
            rig.window->width() == rig.window->minimumWidth());
    CheckCaptionsWhole(rig, language);
    if (QTest::currentTestFailed()) return;
  }
}

void WindowLanguagesTest::ArabicIsLaidOutRightToLeftWithAddressesLeftToRight() {
  WindowRig rig("E700");
  QVERIFY(LoadShippedLanguages(rig));
  QVERIFY(rig.StartWithoutPhone());
  const int arabic = LanguageEntry("AR");
  QVERIFY(arabic > 0);
  Choose(rig.Find<QComboBox>("LangSel"), arabic);
  QCOMPARE(rig.window->layoutDirection(), Qt::RightToLeft);
  for (const char* name : {"T_FlashBIN_Src", "S_FlashHex_Offset", "E_FlashHex_Data", "COMPort",
                           "S_DumpNOR_Start", "T_FlashBINOffset_EndBINOffset", "E_Log"})
    QVERIFY2(rig.Find<QWidget>(name)->layoutDirection() == Qt::LeftToRight, name);
  Choose(rig.Find<QComboBox>("LangSel"), 0);
  QCOMPARE(rig.window->layoutDirection(), Qt::LeftToRight);
}

void WindowLanguagesTest::QtsButtonsFollowAndTheChoiceSurvivesARestart() {
  const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFileInfo::exists(translations + "/qtbase_pl.qm"))
    QSKIP("Qt's translations (Debian qt6-translations-l10n) are missing");
  WindowRig rig("E700");
  QVERIFY(LoadShippedLanguages(rig));
  QVERIFY(rig.StartWithoutPhone());
  const QStringList english = QtButtons(rig);
  QCOMPARE(english, (QStringList{"Yes", "No"}));
  // Each language's Qt buttons differ from the English ones.
  auto* selector = rig.Find<QComboBox>("LangSel");
  for (int i = 1; i < selector->count(); ++i) {
    Choose(selector, i);
    QVERIFY2(QtButtons(rig) != english, qPrintable(selector->itemText(i)));
  }
  Choose(selector, LanguageEntry("DE"));
  QCOMPARE(QtButtons(rig), (QStringList{"Ja", "Nein"}));
  QCOMPARE(QLocale().language(), QLocale::German);
  Choose(selector, 0);
  QCOMPARE(QtButtons(rig), english);
  QCOMPARE(QLocale().language(), QLocale::English);
  Choose(selector, LanguageEntry("PL"));
  QCOMPARE(QtButtons(rig), (QStringList{"Tak", "Nie"}));
  rig.window->close();

  // Started again with the settings it wrote: Polish, before anything is chosen.
  WindowRig again("E700", ReadFile(rig.SettingsPath()));
  QVERIFY(LoadShippedLanguages(again));
  QVERIFY(again.StartWithoutPhone());
  QCOMPARE(again.Find<QComboBox>("LangSel")->currentIndex(), LanguageEntry("PL"));
  QCOMPARE(QtButtons(again), (QStringList{"Tak", "Nie"}));
}

BRANTLE_GUI_TEST(WindowLanguagesTest)

}  // namespace brantle::test

#include "window_languages_test.moc"
