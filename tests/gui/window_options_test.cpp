// The window's command line: what it takes, and what it refuses before a window opens.

#include "window_options.h"

#include <QTest>

#include "gui_test_registry.h"
#include "support/temp_dir.h"

namespace brantle::test {

class WindowOptionsTest : public QObject {
  Q_OBJECT
 private slots:
  void FamiliesAndModelsInAnyCase();
  void BadOptionsAreRefusedWithTheReason();
  void AnExistingTraceFileIsNeverReplaced();
};

namespace {

bool Parse(const std::vector<std::string>& args, gui::WindowOptions& o, std::string& error) {
  o = {};
  error.clear();
  return gui::ParseWindowOptions(args, o, error);
}

}  // namespace

void WindowOptionsTest::FamiliesAndModelsInAnyCase() {
  gui::WindowOptions o;
  std::string error;
  QVERIFY(Parse({"--simulate", "e330", "--port", "/dev/ttyX", "--port", "/dev/ttyY"}, o, error));
  QCOMPARE(o.Simulate, std::string("E330"));
  QCOMPARE(o.FamilyIndex(), 2);
  QCOMPARE(o.Ports, (std::vector<std::string>{"/dev/ttyX", "/dev/ttyY"}));
  QVERIFY(Parse({"--simulate", "OPTI", "--model", "x480"}, o, error));
  QCOMPARE(o.Model, std::string("X480"));
  QCOMPARE(o.FamilyIndex(), 4 + 16);  // the last of the seventeen models
  QVERIFY(Parse({}, o, error));
  QCOMPARE(o.FamilyIndex(), -1);
}

void WindowOptionsTest::BadOptionsAreRefusedWithTheReason() {
  gui::WindowOptions o;
  std::string error;
  QVERIFY(!Parse({"--simulate", "E900"}, o, error));
  QCOMPARE(error, std::string("unknown family for --simulate: E900"));
  QVERIFY(!Parse({"--model", "X480", "--simulate", "E800"}, o, error));
  QCOMPARE(error, std::string("--model goes with --simulate Opti"));
  QVERIFY(!Parse({"--simulate", "Opti", "--model", "X999"}, o, error));
  QCOMPARE(error, std::string("unknown model X999"));
  QVERIFY(!Parse({"--port"}, o, error));
  QCOMPARE(error, std::string("--port needs a value"));
  QVERIFY(!Parse({"--speed", "115200"}, o, error));
  QCOMPARE(error, std::string("unknown option --speed"));
}

void WindowOptionsTest::AnExistingTraceFileIsNeverReplaced() {
  TempDir dir;
  dir.Write("backup.bin", "a backup");
  gui::WindowOptions o;
  std::string error;
  QVERIFY(!Parse({"--trace", dir.File("backup.bin")}, o, error));
  QCOMPARE(error, "--trace " + dir.File("backup.bin") + ": the file exists; name a new one");
  QCOMPARE(ReadFile(dir.File("backup.bin")), std::string("a backup"));
  QVERIFY(Parse({"--trace", dir.File("new.trace")}, o, error));
  QCOMPARE(o.Trace, dir.File("new.trace"));
}

BRANTLE_GUI_TEST(WindowOptionsTest)

}  // namespace brantle::test

#include "window_options_test.moc"
