// What the status area shows once an operation has ended, however it ended: an empty
// bar that does not move, no time left, and the idle text in the status line.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "gui_test_registry.h"
#include "window_rig.h"

namespace brantle::test {

class WindowIdleTest : public QObject {
  Q_OBJECT
 private slots:
  void EveryEndingLeavesTheStatusAreaIdle();
  void TheStatusAreaKeepsItsPlaceAndForgetsTheFlashOnDisconnect();
  void TheWindowOpensCentred();
};

namespace {

constexpr int kTabFlashing = 0;
constexpr int kTabDumping = 1;

// Empty, not Qt's busy indicator (a range of nothing), no estimate, the idle line.
QString IdleProblem(const WindowRig& rig) {
  auto* bar = rig.Find<QProgressBar>("Progress");
  if (bar->maximum() <= bar->minimum()) return "the bar is a busy indicator";
  if (bar->value() != bar->minimum()) return "the bar is not empty";
  const QString eta = rig.Find<QLabel>("ETA")->text();
  if (eta != "ETA: 00:00:00") return "ETA line: " + eta;
  const QString status = rig.Find<QLabel>("StatusStr")->text();
  if (status != "Select operation to perform...") return "status line: " + status;
  return "";
}

void DumpRegion(WindowRig& rig, const std::string& target) {
  rig.ShowPage(kTabDumping, "L_Dumping", 0);
  rig.Find<QRadioButton>("R_DumpNOR_FWOnly")->click();
  rig.dialogs.files.push_back(std::vector<std::string>{target});
  QVERIFY(rig.Click("BS_DumpNOR_Tgt"));
  QVERIFY(rig.Click("B_DumpNOR_Do"));
}

}  // namespace

void WindowIdleTest::EveryEndingLeavesTheStatusAreaIdle() {
  WindowRig rig("E800");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  QCOMPARE(IdleProblem(rig), QString());

  // Failed: the phone's replies stay corrupt until the dump gives up.
  rig.phone->FailReadChecksums(1000);
  DumpRegion(rig, rig.dir.File("failed.bin"));
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error).size(), size_t{1});
  QCOMPARE(IdleProblem(rig), QString());
  rig.phone->FailReadChecksums(0);

  // Cancelled in the middle.
  QTimer clicker;
  clicker.setInterval(0);
  connect(&clicker, &QTimer::timeout, [&] {
    if (!rig.Find<QPushButton>("Cancel")->isEnabled()) return;
    clicker.stop();
    rig.Find<QPushButton>("Cancel")->click();
  });
  clicker.start();
  rig.dialogs.answers.push_back(Answer::Yes);
  DumpRegion(rig, rig.dir.File("cancelled.bin"));
  QCOMPARE(rig.dialogs.Count("Are you sure to cancel?"), 1);
  QCOMPARE(IdleProblem(rig), QString());

  // Completed: a flash with undo, whose undo DIF is optimised before it is saved.
  std::string image(0x20000, '\0');
  const std::vector<uint8_t> nor = rig.phone->Nor();
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(~nor[0x100000 + i]);
  rig.dir.Write("part.bin", image);
  rig.ShowPage(kTabFlashing, "L_Flashing", 0);
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("part.bin")});
  QVERIFY(rig.Click("BS_FlashBIN_Src"));
  rig.Find<QCheckBox>("C_FlashBIN_MakeUndo")->setChecked(true);
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("undo.dif")});
  QVERIFY(rig.Click("B_FlashBIN_Do"));
  QCOMPARE(rig.dialogs.Count("Flashing completed."), 1);
  QCOMPARE(IdleProblem(rig), QString());

  // A phase with nothing to count, where an operation stopped (a DIF creation whose
  // input could not be read): the bar must not turn into a busy indicator.
  OperationFrame& frame = rig.window->Frame();
  frame.BeginOperation();
  frame.StartPhase(0);
  frame.ShowIdleState();
  QCOMPARE(IdleProblem(rig), QString());
}

void WindowIdleTest::TheStatusAreaKeepsItsPlaceAndForgetsTheFlashOnDisconnect() {
  WindowRig rig("E700");
  QVERIFY(rig.StartWithoutPhone());
  QTest::qWait(0);
  auto* bar = rig.Find<QProgressBar>("Progress");
  auto* status = rig.Find<QLabel>("StatusStr");
  const QRect barBefore = bar->geometry();
  const QRect statusBefore = status->geometry();
  rig.window->settings().SetComPort(rig.phone->PortPath());
  rig.window->Driver().ChangePort(rig.phone->PortPath());
  QVERIFY(rig.WaitConnected());
  QVERIFY(rig.Find<QWidget>("P_FType")->isVisible());
  QVERIFY(QTest::qWaitFor([&] { return bar->geometry() == barBefore; }, 1000));
  QCOMPARE(status->geometry(), statusBefore);

  QVERIFY(rig.Click("Disconnect"));
  QCOMPARE(rig.Find<QLabel>("FlashType")->text(), QString("Unidentified!!!"));
  QCOMPARE(bar->geometry(), barBefore);
}

void WindowIdleTest::TheWindowOpensCentred() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  const QRect screen = rig.window->screen()->availableGeometry();
  const QPoint off = rig.window->geometry().center() - screen.center();
  QVERIFY2(std::abs(off.x()) <= 2 && std::abs(off.y()) <= 2,
           qPrintable(QString("%1,%2 from the centre").arg(off.x()).arg(off.y())));
}

BRANTLE_GUI_TEST(WindowIdleTest)

}  // namespace brantle::test

#include "window_idle_test.moc"
