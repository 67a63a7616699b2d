// The window's connection states and status area against the virtual phone.

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "gui_test_registry.h"
#include "sim/pty.h"
#include "window_rig.h"

namespace brantle::test {

class WindowConnectTest : public QObject {
  Q_OBJECT
 private slots:
  void DisconnectedUntilAPhoneAnswersThenInitializingThenReady();
  void DisconnectMessageAndItsSuppression();
  void DeveloperButtonsOnlyInDeveloperMode();
  void FlashHelpShowsTheFlashType();
  void NoSerialPortAtAllOpensTheWindowAndWaitsForAnAdapter();
  void ThePortListIsReadAgainWhenTheSelectorOpens();
};

namespace {

QString Text(WindowRig& rig, const char* name) {
  return rig.Find<QLabel>(name)->text();
}

}  // namespace

void WindowConnectTest::DisconnectedUntilAPhoneAnswersThenInitializingThenReady() {
  WindowRig rig("E800");
  QVERIFY(rig.StartWithoutPhone());
  QCOMPARE(Text(rig, "PhoneStatus"), QString("Disconnected"));
  QVERIFY(!rig.Find<QWidget>("P_FType")->isVisible());
  QVERIFY(!rig.Find<QPushButton>("Disconnect")->isEnabled());
  QVERIFY(rig.Find<QComboBox>("COMPort")->isEnabled());

  // Every phone status the line shows, sampled whenever the window processes events
  // (the connect sequence pumps them between its steps).
  QStringList seen;
  const auto sample = [&] {
    const QString s = Text(rig, "PhoneStatus");
    if (seen.isEmpty() || seen.back() != s) seen << s;
  };
  QTimer sampler;
  sampler.setInterval(0);
  connect(&sampler, &QTimer::timeout, sample);
  sampler.start();
  // The technician picks the port the phone is on.
  QVERIFY(rig.ChoosePhonePort());
  QVERIFY(rig.WaitConnected());
  sampler.stop();
  sample();

  QCOMPARE(seen.first(), QString("Disconnected"));
  QVERIFY2(seen.contains("Initializing"), qPrintable(seen.join(", ")));
  QCOMPARE(seen.back(), QString("Ready"));
  QCOMPARE(Text(rig, "PhoneStatus"), QString("Ready"));
  QVERIFY(rig.Find<QWidget>("P_FType")->isVisible());
  QCOMPARE(Text(rig, "FlashType"), QString("Samsung KBB05A300"));
  QVERIFY(rig.Find<QPushButton>("Disconnect")->isEnabled());
  for (const char* selector : {"COMPort", "COMSpeed", "PType", "LangSel"})
    QVERIFY2(!rig.Find<QComboBox>(selector)->isEnabled(), selector);
  QVERIFY(rig.dialogs.messages.empty());
}

void WindowConnectTest::DisconnectMessageAndItsSuppression() {
  for (const bool silent : {false, true}) {
    WindowRig rig("E700", silent ? "[Settings]\nDisable_Disconnect_Message=1\n" : "");
    QVERIFY(rig.Start());
    QVERIFY(rig.WaitConnected());
    QVERIFY(rig.Click("Disconnect"));
    QCOMPARE(Text(rig, "PhoneStatus"), QString("Disconnected"));
    QVERIFY(!rig.window->Frame().Connected);
    QCOMPARE(rig.dialogs.Count("Phone disconnected."), silent ? 0 : 1);
  }
}

void WindowConnectTest::DeveloperButtonsOnlyInDeveloperMode() {
  for (const bool developer : {false, true}) {
    WindowRig rig("E700", developer ? "[Settings]\nDeveloper_Mode=1\n" : "");
    QVERIFY(rig.Start());
    for (const char* name : {"B_Dev_TFSR", "B_Dev_TFSW", "B_Dev_TFSD", "B_Dev_TFSM"})
      QCOMPARE(rig.Find<QPushButton>(name)->isVisible(), developer);
  }
}

void WindowConnectTest::FlashHelpShowsTheFlashType() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  rig.Find<QToolButton>("H_FType")->click();
  QCOMPARE(rig.dialogs.Texts(MessageKind::Information),
           std::vector<std::string>{"Samsung KBB05A300"});
}

void WindowConnectTest::NoSerialPortAtAllOpensTheWindowAndWaitsForAnAdapter() {
  TempDir dir;
  ScriptedDialogs dialogs;
  std::vector<SerialPortInfo> system;
  gui::WindowConfig c;
  c.SettingsPath = dir.File("brntl.ini");
  c.ListPorts = [&] { return system; };
  c.Dialogs = &dialogs;
  gui::TKTZF window(c);
  window.show();
  window.Start();
  // One box, saying how to go on without a phone or with a port of one's own.
  const std::vector<std::string> errors = dialogs.Texts(MessageKind::Error);
  QCOMPARE(errors.size(), size_t{1});
  QVERIFY(errors[0].rfind("No COM ports found...\n", 0) == 0);
  QVERIFY(errors[0].find("--simulate") != std::string::npos);
  QVERIFY(errors[0].find("--port") != std::string::npos);
  QVERIFY(window.isVisible());
  QVERIFY(!window.Frame().PortOpen);

  // An adapter is plugged in: the window finds it, chooses it and polls it.
  sim::PtyLine line;
  std::string error;
  QVERIFY2(line.Open(error), error.c_str());
  system.push_back({line.Path(), "USB serial"});
  QVERIFY(QTest::qWaitFor([&] { return window.Frame().PortOpen; }, 10000));
  QCOMPARE(window.settings().ComPort(), line.Path());
  QCOMPARE(window.findChild<QComboBox*>("COMPort")->currentData().toString(),
           QString::fromStdString(line.Path()));
  QCOMPARE(dialogs.messages.size(), size_t{1});
}

void WindowConnectTest::ThePortListIsReadAgainWhenTheSelectorOpens() {
  TempDir dir;
  ScriptedDialogs dialogs;
  std::vector<SerialPortInfo> system = {{"/nonexistent/ttyS0", ""}};
  gui::WindowConfig c;
  c.SettingsPath = dir.File("brntl.ini");
  c.ListPorts = [&] { return system; };
  c.Dialogs = &dialogs;
  gui::TKTZF window(c);
  window.Start();
  auto* port = window.findChild<QComboBox*>("COMPort");
  QCOMPARE(port->count(), 1);
  // An adapter plugged in after start.
  system.push_back({"/nonexistent/ttyUSB0", "FTDI FT232R USB UART"});
  port->showPopup();
  port->hidePopup();
  QCOMPARE(port->count(), 2);
  QCOMPARE(port->itemText(1), QString("/nonexistent/ttyUSB0  (FTDI FT232R USB UART)"));
  QCOMPARE(port->currentData().toString(), QString("/nonexistent/ttyS0"));
}

BRANTLE_GUI_TEST(WindowConnectTest)

}  // namespace brantle::test

#include "window_connect_test.moc"
