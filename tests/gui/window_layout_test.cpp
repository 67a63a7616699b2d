// The window in the chosen language: at its smallest every tab and sub-page caption
// shows whole, in English and in (longer) German; the file manager opens over the
// middle of the window.

#include <QComboBox>
#include <QLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

#include "caption_checks.h"
#include "gui_test_registry.h"
#include "qt_dialog_host.h"
#include "shipped_languages.h"
#include "tfsfm.h"
#include "window_rig.h"

namespace brantle::test {

class WindowLayoutTest : public QObject {
  Q_OBJECT
 private slots:
  void EveryCaptionShowsWholeInTheSmallestWindow();
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
