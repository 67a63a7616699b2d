// Operations started from the window's pages against the virtual phone: what the
// phone and the files hold afterwards, and how the window behaves meanwhile.

#include <signal.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>

#include "close_signals.h"
#include "gui_test_registry.h"
#include "window_rig.h"

namespace brantle::test {

class WindowOperationsTest : public QObject {
  Q_OBJECT
 private slots:
  void FullDumpEqualsThePhonesMemory();
  void FlashBinWithUndoAndUndoBackFromTheDifPage();
  void CancelDuringADumpLeavesNoTarget();
  void ACloseWhileBusyIsRefusedAndAfterwardsSavesTheSettings();
  void SigtermDuringADumpCancelsAndCloses();
  void ClearingTheBinSourceDisablesFlashing();
  void HexDataAndAnEraseChangeExactlyTheirBytes();
};

namespace {

constexpr int kTabFlashing = 0;
constexpr int kTabDumping = 1;

std::string Bytes(const std::vector<uint8_t>& v) {
  return std::string(v.begin(), v.end());
}

// Chooses the dump target and mode on the Dumping page.
void PrepareDump(WindowRig& rig, const std::string& target, const char* mode) {
  rig.ShowPage(kTabDumping, "L_Dumping", 0);
  rig.Find<QRadioButton>(mode)->click();
  rig.dialogs.files.push_back(std::vector<std::string>{target});
  QVERIFY(rig.Click("BS_DumpNOR_Tgt"));
  QCOMPARE(rig.Find<QLineEdit>("T_DumpNOR_Tgt")->text().toStdString(), target);
}

}  // namespace

void WindowOperationsTest::FullDumpEqualsThePhonesMemory() {
  WindowRig rig("E800");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  const std::string target = rig.dir.File("full.bin");
  PrepareDump(rig, target, "R_DumpNOR_Full");
  auto* bar = rig.Find<QProgressBar>("Progress");
  int highest = 0, maximum = 0;
  connect(bar, &QProgressBar::valueChanged, [&](int v) {
    highest = std::max(highest, v);
    maximum = bar->maximum();
  });
  QVERIFY(rig.Click("B_DumpNOR_Do"));  // returns when the dump has ended
  QCOMPARE(ReadFile(target), Bytes(rig.phone->Nor()));
  QCOMPARE(maximum, 16 << 20);
  QCOMPARE(highest, maximum);
  QCOMPARE(rig.dialogs.Texts(MessageKind::Information),
           std::vector<std::string>{"Dump completed."});
  QVERIFY(!rig.window->Frame().Busy);
  QVERIFY(rig.Find<QWidget>("Pages")->isEnabled());
}

void WindowOperationsTest::FlashBinWithUndoAndUndoBackFromTheDifPage() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  const std::vector<uint8_t> original = rig.phone->Nor();
  // A 192 KB image from address 0 whose bytes all differ from the phone's.
  std::string image = Bytes(original).substr(0, 3 * 0x10000);
  for (char& c : image) c = static_cast<char>(~c);
  rig.dir.Write("new.bin", image);
  const std::string undo = rig.dir.File("undo.dif");

  rig.ShowPage(kTabFlashing, "L_Flashing", 0);
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("new.bin")});
  QVERIFY(rig.Click("BS_FlashBIN_Src"));
  rig.Find<QCheckBox>("C_FlashBIN_MakeUndo")->setChecked(true);
  rig.dialogs.files.push_back(std::vector<std::string>{undo});
  QVERIFY(rig.Click("B_FlashBIN_Do"));
  std::vector<uint8_t> now = rig.phone->Nor();
  QCOMPARE(Bytes(now).substr(0, image.size()), image);
  QCOMPARE(Bytes(now).substr(image.size()), Bytes(original).substr(image.size()));
  QVERIFY(std::filesystem::exists(undo));

  // The undo file flashed back from the DIF page restores the original.
  rig.ShowPage(kTabFlashing, "L_Flashing", 1);
  rig.dialogs.files.push_back(std::vector<std::string>{undo});
  QVERIFY(rig.Click("BS_FlashDIF_Src"));
  QCOMPARE(rig.Find<QLineEdit>("T_FlashDIF_Src")->text(), QString("1 DIF file(s) selected"));
  QVERIFY(rig.Click("B_FlashDIF_Do"));
  QCOMPARE(Bytes(rig.phone->Nor()), Bytes(original));
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error), std::vector<std::string>{});
  QCOMPARE(rig.dialogs.Count("Flashing completed."), 2);
}

void WindowOperationsTest::CancelDuringADumpLeavesNoTarget() {
  WindowRig rig("E800");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  const std::string target = rig.dir.File("cancelled.bin");
  PrepareDump(rig, target, "R_DumpNOR_Full");
  // The click below returns only when the dump has ended: the Cancel click is
  // scheduled first and made as soon as the button is enabled.
  auto* cancel = rig.Find<QPushButton>("Cancel");
  bool othersDisabled = false;
  QTimer clicker;
  clicker.setInterval(0);
  connect(&clicker, &QTimer::timeout, [&] {
    if (!cancel->isEnabled()) return;
    clicker.stop();
    // While busy, everything but Cancel waits.
    othersDisabled = !rig.Find<QWidget>("Pages")->isEnabled() &&
                     !rig.Find<QPushButton>("Disconnect")->isEnabled();
    cancel->click();
  });
  clicker.start();
  rig.dialogs.answers.push_back(Answer::Yes);  // "Are you sure to cancel?"
  QVERIFY(rig.Click("B_DumpNOR_Do"));
  QCOMPARE(rig.dialogs.Count("Are you sure to cancel?"), 1);
  QVERIFY(othersDisabled);
  QVERIFY(!std::filesystem::exists(target));
  QVERIFY(rig.phone->Stats().reads < 256);
  QVERIFY(!rig.window->Frame().Busy);
  QVERIFY(rig.window->Frame().Connected);
  QVERIFY(rig.dialogs.Texts(MessageKind::Information).empty());
}

void WindowOperationsTest::ACloseWhileBusyIsRefusedAndAfterwardsSavesTheSettings() {
  WindowRig rig("E800");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  PrepareDump(rig, rig.dir.File("dump.bin"), "R_DumpNOR_FWOnly");
  bool refused = false;
  QTimer closer;
  closer.setInterval(0);
  connect(&closer, &QTimer::timeout, [&] {
    if (!rig.window->Frame().Busy) return;
    closer.stop();
    refused = !rig.window->close();
  });
  closer.start();
  QVERIFY(rig.Click("B_DumpNOR_Do"));
  QVERIFY(refused);
  QVERIFY(rig.window->isVisible());
  QVERIFY(std::filesystem::exists(rig.dir.File("dump.bin")));
  QVERIFY(!std::filesystem::exists(rig.SettingsPath()));  // nothing written yet

  QVERIFY(rig.window->close());
  const std::string ini = ReadFile(rig.SettingsPath());
  QVERIFY2(ini.find("ComPort=" + rig.phone->PortPath()) != std::string::npos, ini.c_str());
  QVERIFY2(ini.find("PhoneType=E800") != std::string::npos, ini.c_str());
  QVERIFY2(ini.find("Locale=EN") != std::string::npos, ini.c_str());
  // The phone was told the connection ended: it went back to boot mode.
  QVERIFY(!rig.window->Frame().Connected);
}

void WindowOperationsTest::SigtermDuringADumpCancelsAndCloses() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  gui::CloseOnSignals(*rig.window);
  const std::string target = rig.dir.File("sigterm.bin");
  PrepareDump(rig, target, "R_DumpNOR_Full");
  QTimer killer;
  killer.setInterval(0);
  connect(&killer, &QTimer::timeout, [&] {
    if (!rig.Find<QPushButton>("Cancel")->isEnabled()) return;
    killer.stop();
    raise(SIGTERM);
  });
  killer.start();
  QVERIFY(rig.Click("B_DumpNOR_Do"));
  QVERIFY(QTest::qWaitFor([&] { return !rig.window->isVisible(); }, 10000));
  QVERIFY(!std::filesystem::exists(target));
  QVERIFY(rig.dialogs.messages.empty());
  QVERIFY(std::filesystem::exists(rig.SettingsPath()));
  signal(SIGTERM, SIG_DFL);
}

void WindowOperationsTest::ClearingTheBinSourceDisablesFlashing() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  rig.dir.Write("a.bin", "abc");
  rig.ShowPage(kTabFlashing, "L_Flashing", 0);
  auto* action = rig.Find<QPushButton>("B_FlashBIN_Do");
  QVERIFY(!action->isEnabled());
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("a.bin")});
  QVERIFY(rig.Click("BS_FlashBIN_Src"));
  QVERIFY(action->isEnabled());
  QVERIFY(rig.Click("BC_FlashBIN_Src"));
  QVERIFY(rig.Find<QLineEdit>("T_FlashBIN_Src")->text().isEmpty());
  QVERIFY(!action->isEnabled());
}

void WindowOperationsTest::HexDataAndAnEraseChangeExactlyTheirBytes() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  std::string expected = Bytes(rig.phone->Nor());

  // Typed bytes at a typed offset; the end and length lines follow as they are typed.
  rig.ShowPage(kTabFlashing, "L_Flashing", 6);
  auto* offset = rig.Find<QComboBox>("S_FlashHex_Offset");
  offset->setEditText("12345");
  emit offset->lineEdit()->editingFinished();
  rig.Find<QPlainTextEdit>("E_FlashHex_Data")->setPlainText("AB CD 0 1f");
  QCOMPARE(rig.Find<QLabel>("T_FlashHex_EndOffset")->text(), QString("12348"));
  QCOMPARE(rig.Find<QLabel>("T_FlashHex_Length")->text(), QString("4"));
  QVERIFY(rig.Click("B_FlashHex_Do"));
  expected.replace(0x12345, 4, std::string("\xAB\xCD\x00\x1F", 4));
  QCOMPARE(Bytes(rig.phone->Nor()), expected);
  // A text that is not hexadecimal cannot be flashed.
  rig.Find<QPlainTextEdit>("E_FlashHex_Data")->setPlainText("ZZ not hex");
  QVERIFY(!rig.Find<QPushButton>("B_FlashHex_Do")->isEnabled());

  // An advanced erase of 20000..2FFFF: whole sectors, nothing around them.
  rig.ShowPage(2);
  rig.Find<QRadioButton>("R_Erase_Advanced")->click();
  auto* start = rig.Find<QComboBox>("S_Erase_Start");
  auto* end = rig.Find<QComboBox>("S_Erase_End");
  start->setEditText("20000");
  end->setEditText("2ffff");
  emit end->lineEdit()->editingFinished();
  QCOMPARE(end->currentText(), QString("2FFFF"));
  QCOMPARE(rig.Find<QPushButton>("B_Erase_Do")->text(), QString("Erase NOR region..."));
  QVERIFY(rig.Click("B_Erase_Do"));
  expected.replace(0x20000, 0x10000, std::string(0x10000, '\xFF'));
  QCOMPARE(Bytes(rig.phone->Nor()), expected);
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error), std::vector<std::string>{});
}

BRANTLE_GUI_TEST(WindowOperationsTest)

}  // namespace brantle::test

#include "window_operations_test.moc"
