// The window in the chosen language: at its smallest every tab and sub-page caption
// shows whole, in English and in (longer) German; Qt's own buttons speak the language;
// the file manager opens over the middle of the window.

#include <QComboBox>
#include <QFileInfo>
#include <QLayout>
#include <QLibraryInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <filesystem>

#include "caption_checks.h"
#include "gui_test_registry.h"
#include "lang/languages.h"
#include "modal_answer.h"
#include "qt_dialog_host.h"
#include "shipped_languages.h"
#include "tfsfm.h"
#include "window_rig.h"

namespace brantle::test {

class WindowLayoutTest : public QObject {
  Q_OBJECT
 private slots:
  void EveryCaptionShowsWholeInTheSmallestWindow();
  void QtsOwnButtonsSpeakTheChosenLanguage();
  void TheFileManagerOpensOverTheMiddleOfTheWindow();
  void cleanup();
};

namespace {

void Choose(QComboBox* selector, int index) {
  selector->setCurrentIndex(index);
  emit selector->activated(index);
}

// A rig with the shipped languages; German chosen by its entry.
void ChooseGerman(WindowRig& rig) {
  Choose(rig.Find<QComboBox>("LangSel"), LanguageEntry("DE"));
}

}  // namespace

void WindowLayoutTest::cleanup() {
  UnloadLanguages();
}

void WindowLayoutTest::EveryCaptionShowsWholeInTheSmallestWindow() {
  WindowRig rig("E700");
  QVERIFY(LoadShippedLanguages(rig));
  QVERIFY(rig.StartWithoutPhone());
  auto* pages = rig.Find<QTabWidget>("Pages");
  QCOMPARE(pages->tabText(6), QString("About"));

  rig.window->resize(1, 1);
  Settle(rig.window.get());
  const QSize english = rig.window->size();
  QCOMPARE(english, rig.window->minimumSize());
  CheckCaptionsWhole(rig, "English");
  if (QTest::currentTestFailed()) return;

  ChooseGerman(rig);
  QCOMPARE(pages->tabText(6), QString("\u00DCber"));
  QCOMPARE(rig.Find<QListWidget>("L_Developer")->item(3)->text(), QString("TFS-(NAND-)Dienste"));
  rig.window->resize(1, 1);
  Settle(rig.window.get());
  QCOMPARE(rig.window->size(), rig.window->minimumSize());
  CheckCaptionsWhole(rig, "German");
}

void WindowLayoutTest::QtsOwnButtonsSpeakTheChosenLanguage() {
  const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFileInfo::exists(translations + "/qtbase_de.qm"))
    QSKIP("Qt's German translation (qtbase_de.qm, Debian qt6-translations-l10n) is missing");
  WindowRig rig("E700");
  QVERIFY(LoadShippedLanguages(rig));
  QVERIFY(rig.StartWithoutPhone());
  gui::QtDialogHost host;
  // The window's own Yes/No box; its buttons read as Qt writes them, less the
  // shortcut marks.
  const auto buttons = [&] {
    QStringList texts;
    ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
      for (QMessageBox::StandardButton b : {QMessageBox::Yes, QMessageBox::No})
        texts << box->button(b)->text().remove('&');
      box->button(QMessageBox::No)->click();
    });
    host.Message(rig.window.get(), MessageKind::Question, "?", Buttons::YesNo);
    return texts;
  };
  QCOMPARE(buttons(), (QStringList{"Yes", "No"}));
  ChooseGerman(rig);
  QCOMPARE(buttons(), (QStringList{"Ja", "Nein"}));
  QCOMPARE(QLocale().language(), QLocale::German);
  Choose(rig.Find<QComboBox>("LangSel"), 0);
  QCOMPARE(buttons(), (QStringList{"Yes", "No"}));
  QCOMPARE(QLocale().language(), QLocale::English);
}

void WindowLayoutTest::TheFileManagerOpensOverTheMiddleOfTheWindow() {
  WindowRig rig("E700");
  QVERIFY(rig.StartWithoutPhone());
  rig.window->move(120, 90);
  gui::QtDialogHost host;
  host.ShowTfsFileManager(rig.window.get(), "E700");
  auto* manager = rig.window->findChild<gui::TSTFM*>();
  QVERIFY(manager);
  QVERIFY(QTest::qWaitForWindowExposed(manager));
  QCOMPARE(manager->geometry().center(), rig.window->geometry().center());
  manager->close();
}

BRANTLE_GUI_TEST(WindowLayoutTest)

}  // namespace brantle::test

#include "window_layout_test.moc"
