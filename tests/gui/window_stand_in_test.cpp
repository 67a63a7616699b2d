// A virtual phone served stand-in demo loaders: the window's title says so for as
// long as the run lasts, in the language chosen; with real loaders it does not.

#include <QTest>

#include "engine/ktze_loaders.h"
#include "files/stand_in_loaders.h"
#include "lang/lang_get.h"
#include "gui_test_registry.h"
#include "support/scoped_env.h"
#include "window_rig.h"

namespace brantle::test {
namespace {

QString ProgramTitle() {
  return QString::fromStdString(LangGet("Win_Product") + " " + LangGet("Win_Version"));
}

}  // namespace

class WindowStandInTest : public QObject {
  Q_OBJECT
 private slots:
  void TheTitleNamesTheStandInsAndTheFolderThatLacksRealLoaders();
  void WithRealLoadersTheTitleIsTheProgramsOwn();
};

void WindowStandInTest::TheTitleNamesTheStandInsAndTheFolderThatLacksRealLoaders() {
  TempDir empty, tmp;
  ScopedEnv scoped("TMPDIR", tmp.path());
  StandInLoaders standIns;
  std::string error;
  QVERIFY(standIns.Prepare(empty.path(), "E800", "", error));
  WindowRig rig("E800");
  rig.standIns = &standIns;
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  QCOMPARE(rig.window->windowTitle(),
           ProgramTitle() + " - Stand-in demo loaders (no real loaders in " +
               QString::fromStdString(empty.path()) + ")");
}

void WindowStandInTest::WithRealLoadersTheTitleIsTheProgramsOwn() {
  TempDir real;
  for (const LoaderFile& file : LoadersOfFamily("E800", ""))
    real.Write(file.name, std::string(file.size, '\x5A'));
  StandInLoaders standIns;
  std::string error;
  QVERIFY(standIns.Prepare(real.path(), "E800", "", error));
  WindowRig rig("E800");
  rig.standIns = &standIns;
  QVERIFY(rig.Start());
  QCOMPARE(rig.window->windowTitle(), ProgramTitle());
}

BRANTLE_GUI_TEST(WindowStandInTest)

}  // namespace brantle::test

#include "window_stand_in_test.moc"
