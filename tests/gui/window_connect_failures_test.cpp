// The window when a connect fails: one box, the Settings page within reach, the
// attempt ended by Cancel or a close, an unplugged adapter told once and found again,
// and a signal that ends the window while a box is up.

#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "gui_test_registry.h"
#include "modal_answer.h"
#include "sim/demo_loaders.h"
#include "sim/pty.h"
#include "window_rig.h"

namespace brantle::test {

class WindowConnectFailuresTest : public QObject {
  Q_OBJECT
 private slots:
  void AWrongPhoneTypeIsToldOnceAndTheSettingsPageFixesIt();
  void CancelEndsAConnectAttempt();
  void ACloseDuringAConnectAttemptEndsItAndTheWindow();
  void ASignalEndsTheWindowWhileAFailureBoxIsUp();
  void AnUnpluggedAdapterIsToldOnceAndFoundAgain();
};

namespace {

QString Text(const WindowRig& rig, const char* name) {
  return rig.Find<QLabel>(name)->text();
}

// Runs action once, at the first moment the window shows "Initializing".
class WhenInitializing {
 public:
  WhenInitializing(const WindowRig& rig, std::function<void()> action) {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this, &rig, action] {
      if (Text(rig, "PhoneStatus") != "Initializing") return;
      timer_.stop();
      done = true;
      action();
    });
    timer_.start();
  }
  bool done = false;

 private:
  QTimer timer_;
};

}  // namespace

void WindowConnectFailuresTest::AWrongPhoneTypeIsToldOnceAndTheSettingsPageFixesIt() {
  WindowRig rig("E700");
  rig.config.family = "E800";  // the phone on the line is of another family
  QVERIFY(rig.Start());
  QVERIFY(QTest::qWaitFor([&] { return !rig.dialogs.messages.empty(); }, 15000));
  QVERIFY(QTest::qWaitFor([&] { return !rig.window->Frame().Busy; }, 5000));
  const std::vector<std::string> errors = rig.dialogs.Texts(MessageKind::Error);
  QCOMPARE(errors.size(), size_t{1});
  QVERIFY2(errors[0].find("phone type on the Settings page (now: Samsung "
                          "SGH-E100/E700/X100/X460/X600)") != std::string::npos,
           errors[0].c_str());
  // The window waits for the person, who can reach every setting.
  QCOMPARE(Text(rig, "PhoneStatus"), QString("Disconnected"));
  for (const char* selector : {"COMPort", "COMSpeed", "PType", "LangSel"})
    QVERIFY2(rig.Find<QComboBox>(selector)->isEnabled(), selector);
  QCOMPARE(Text(rig, "StatusStr"),
           QString("Connect failed: Initializing (bootup): communications timeout"));

  // Another try with nothing changed fails the same way: counted, not boxed.
  QVERIFY(rig.Click("B_ConnectAgain"));
  QVERIFY(QTest::qWaitFor(
      [&] { return Text(rig, "StatusStr").startsWith("2 attempts failed: Initializing"); }, 20000));
  QCOMPARE(rig.dialogs.messages.size(), size_t{1});

  // The right type on the Settings page connects the same phone, not restarted.
  auto* type = rig.Find<QComboBox>("PType");
  type->setCurrentIndex(1);
  emit type->activated(1);
  QVERIFY(rig.WaitConnected());
  QCOMPARE(Text(rig, "PhoneStatus"), QString("Ready"));
  QCOMPARE(rig.dialogs.messages.size(), size_t{1});
  QVERIFY(!rig.Find<QPushButton>("B_ConnectAgain")->isEnabled());
}

void WindowConnectFailuresTest::CancelEndsAConnectAttempt() {
  WindowRig rig("E700");
  rig.config.family = "E800";  // the boot command then waits 3 s for its answer
  WhenInitializing cancel(rig, [&] { rig.Click("Cancel"); });
  QVERIFY(rig.Start());
  QVERIFY(QTest::qWaitFor([&] { return cancel.done && !rig.window->Frame().Busy; }, 15000));
  // Only the confirmation was asked; no error, the port open again, nothing else.
  QCOMPARE(rig.dialogs.messages.size(), size_t{1});
  QCOMPARE(rig.dialogs.messages[0].text, std::string("Are you sure to cancel?"));
  QCOMPARE(Text(rig, "PhoneStatus"), QString("Disconnected"));
  QVERIFY(rig.window->Frame().PortOpen);
  QVERIFY(rig.Find<QPushButton>("B_ConnectAgain")->isEnabled());
  QVERIFY(rig.Find<QComboBox>("PType")->isEnabled());
}

void WindowConnectFailuresTest::ACloseDuringAConnectAttemptEndsItAndTheWindow() {
  WindowRig rig("E700");
  rig.config.family = "E800";
  WhenInitializing close(rig, [&] { rig.window->close(); });
  QVERIFY(rig.Start());
  QVERIFY(QTest::qWaitFor([&] { return close.done && !rig.window->isVisible(); }, 15000));
  QVERIFY(rig.dialogs.messages.empty());
  QVERIFY(!rig.window->Frame().PortOpen);
}

void WindowConnectFailuresTest::ASignalEndsTheWindowWhileAFailureBoxIsUp() {
  WindowRig rig("E700");
  rig.config.family = "E800";  // the connect fails and a real box comes up
  rig.realDialogs = true;
  QString shown;
  ModalAnswer<QMessageBox> signal([&](QMessageBox* box) {
    shown = box->text();
    rig.window->CloseFromSignal();  // what SIGTERM does
  });
  QVERIFY(rig.Start());
  QVERIFY(QTest::qWaitFor([&] { return signal.answered && !rig.window->isVisible(); }, 20000));
  QVERIFY2(shown.startsWith("Initializing (bootup): communications timeout"), qPrintable(shown));
  QVERIFY(QApplication::activeModalWidget() == nullptr);
  QVERIFY(!rig.window->Frame().PortOpen);
}

void WindowConnectFailuresTest::AnUnpluggedAdapterIsToldOnceAndFoundAgain() {
  TempDir dir, loaders;
  std::string error;
  QVERIFY(sim::WriteDemoLoaders(loaders.path(), error));
  // The adapter's device as the system names it; the phone is not on yet.
  const std::string port = dir.File("ttyUSB0");
  auto adapter = std::make_unique<sim::PtyLine>();
  QVERIFY2(adapter->Open(error), error.c_str());
  QCOMPARE(symlink(adapter->Path().c_str(), port.c_str()), 0);
  ScriptedDialogs dialogs;
  gui::WindowConfig c;
  c.SettingsPath = dir.File("brntl.ini");
  c.ListPorts = [port] {
    return access(port.c_str(), F_OK) == 0 ? std::vector<SerialPortInfo>{{port, "USB serial"}}
                                           : std::vector<SerialPortInfo>{};
  };
  c.StartFamily = 1;
  c.Dialogs = &dialogs;
  gui::TKTZF window(c);
  window.Driver().E().LoadersFolder = loaders.path();
  window.show();
  window.Start();
  QVERIFY(window.Frame().PortOpen);

  // Unplugged: the system removes the device (a pseudo-terminal's number would soon
  // be given to another line).
  adapter.reset();
  QCOMPARE(unlink(port.c_str()), 0);
  QVERIFY(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }, 10000));
  const std::string box = dialogs.messages[0].text;
  QVERIFY2(box.rfind("Error: communications initialization failed\n" + port, 0) == 0, box.c_str());
  QVERIFY2(box.find("unplugged") != std::string::npos, box.c_str());
  // The selector still names the port the window waits for.
  auto* selector = window.findChild<QComboBox*>("COMPort");
  QVERIFY(
      QTest::qWaitFor([&] { return selector->currentText().contains("(not present)"); }, 10000));
  QCOMPARE(selector->currentData().toString(), QString::fromStdString(port));

  // Plugged in again, a phone on it: found and connected without a word from anyone.
  sim::EPhoneConfig config;
  config.family = "E800";
  sim::VirtualEPhone phone(config);
  QVERIFY(phone.Start());
  QCOMPARE(symlink(phone.PortPath().c_str(), port.c_str()), 0);
  QVERIFY(QTest::qWaitFor([&] { return window.Frame().Connected; }, 15000));
  QVERIFY2(dialogs.messages.size() == 1, dialogs.messages.back().text.c_str());
  QVERIFY(
      QTest::qWaitFor([&] { return !selector->currentText().contains("(not present)"); }, 10000));
  window.close();
}

BRANTLE_GUI_TEST(WindowConnectFailuresTest)

}  // namespace brantle::test

#include "window_connect_failures_test.moc"
