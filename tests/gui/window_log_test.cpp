// The window's operation log: what the panel shows is what the file holds, the panel
// shown or hidden as last time, and the session saved, copied and its folder opened.

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "gui_test_registry.h"
#include "window_rig.h"

namespace brantle::test {

class WindowLogTest : public QObject {
  Q_OBJECT
 private slots:
  void ConnectDumpAndDisconnectAreInThePanelAndTheFile();
  void TheSessionIsSavedCopiedAndItsFolderOpened();
  void ThePanelIsShownAsLastTimeAndKeepsToTheEnd();
  void ALogThatCannotBeWrittenIsToldOnceAndStopsNothing();
};

namespace {

std::vector<std::string> FileLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string text = ReadFile(path), line;
  for (char c : text) {
    if (c != '\n') {
      line += c;
      continue;
    }
    lines.push_back(line);
    line.clear();
  }
  return lines;
}

QString Panel(const WindowRig& rig) {
  return rig.Find<QPlainTextEdit>("E_Log")->toPlainText();
}

}  // namespace

void WindowLogTest::ConnectDumpAndDisconnectAreInThePanelAndTheFile() {
  WindowRig rig("E800");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  rig.ShowPage(1, "L_Dumping", 0);
  rig.Find<QRadioButton>("R_DumpNOR_Advanced")->click();
  rig.Find<QComboBox>("S_DumpNOR_Start")->setEditText("10000");
  rig.Find<QComboBox>("S_DumpNOR_End")->setEditText("1FFFF");
  const std::string target = rig.dir.File("part.bin");
  rig.dialogs.files.push_back(std::vector<std::string>{target});
  QVERIFY(rig.Click("BS_DumpNOR_Tgt"));
  QVERIFY(rig.Click("B_DumpNOR_Do"));
  QVERIFY(rig.Click("Disconnect"));

  const std::string port = rig.phone->PortPath();
  const QString panel = Panel(rig);
  for (const std::string& event :
       {port + " E800: connected: Samsung KBB05A300 (maker EC, device E2), 115200 bit/s",
        port + " E800: dump started: NOR 10000-1FFFF to " + target + " (BIN/CLA)",
        port + " E800: information: Dump completed.",
        port + " E800: dump completed; read 65536 bytes", port + " E800: disconnected"})
    QVERIFY2(panel.contains(QString::fromStdString(event)), event.c_str());
  // The panel is this session; the file holds the same lines.
  const std::vector<std::string> lines = FileLines(rig.LogPath());
  QCOMPARE(panel, QString::fromStdString([&] {
             std::string all;
             for (const std::string& l : lines) all += (all.empty() ? "" : "\n") + l;
             return all;
           }()));
  QVERIFY(lines.front().find(" window[") != std::string::npos);
  QCOMPARE(ReadFile(target).size(), size_t{0x10000});
}

void WindowLogTest::TheSessionIsSavedCopiedAndItsFolderOpened() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  const std::string saved = rig.dir.File("support.log");
  rig.dialogs.files.push_back(std::vector<std::string>{saved});
  QVERIFY(rig.Click("B_SaveLog"));
  QCOMPARE(rig.dialogs.fileDialogs.back().Title, std::string("Choose log file to write..."));
  QCOMPARE(ReadFile(saved), ReadFile(rig.LogPath()));
  QVERIFY(ReadFile(saved).find("connected: Samsung KBB05A300") != std::string::npos);

  QVERIFY(rig.Click("B_CopyLog"));
  QCOMPARE(QGuiApplication::clipboard()->text(), Panel(rig));

  QVERIFY(rig.Click("B_OpenLogFolder"));
  QCOMPARE(rig.dialogs.foldersOpened, std::vector<std::string>{rig.dir.File("state")});
}

void WindowLogTest::ThePanelIsShownAsLastTimeAndKeepsToTheEnd() {
  {
    WindowRig rig("E700");
    QVERIFY(rig.Start());
    QVERIFY(!rig.Find<QWidget>("P_Log")->isVisible());
    QVERIFY(rig.WaitConnected());
    auto* toggle = rig.Find<QPushButton>("B_ShowLog");
    toggle->click();
    QVERIFY(rig.Find<QWidget>("P_Log")->isVisible());
    // Shown after the connect: its line, wider than the panel, shows from its start.
    QScrollBar* across = rig.Find<QPlainTextEdit>("E_Log")->horizontalScrollBar();
    QVERIFY(across->maximum() > 0);
    QCOMPARE(across->value(), across->minimum());
    rig.window->close();
    QVERIFY(ReadFile(rig.SettingsPath()).find("Show_Log=1") != std::string::npos);

    // Started again with those settings: the panel is up, and the toggle says so.
    WindowRig again("E700", ReadFile(rig.SettingsPath()));
    QVERIFY(again.Start());
    QVERIFY(again.Find<QWidget>("P_Log")->isVisible());
    QVERIFY(again.Find<QPushButton>("B_ShowLog")->isChecked());
    QVERIFY(again.WaitConnected());

    // A person who scrolled up keeps their place while lines come in.
    auto* text = again.Find<QPlainTextEdit>("E_Log");
    for (int i = 0; i < 200; ++i) again.window->Frame().LogEvent("line " + std::to_string(i));
    QScrollBar* bar = text->verticalScrollBar();
    QCOMPARE(bar->value(), bar->maximum());
    // New lines wider than the panel show from their start, the time.
    QScrollBar* wide = text->horizontalScrollBar();
    QCOMPARE(wide->value(), wide->minimum());
    bar->setValue(0);
    again.window->Frame().LogEvent("one more");
    QCOMPARE(bar->value(), 0);
    // Never the focus: it stays where the person left it.
    QVERIFY(!text->hasFocus());
  }
}

void WindowLogTest::ALogThatCannotBeWrittenIsToldOnceAndStopsNothing() {
  WindowRig rig("E800");
  rig.dir.Write("state", "a plain file where the log's folder would be");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  // The phone works as ever; the panel says once why there is no log file.
  const QString problem =
      "The operation log is not written: " + QString::fromStdString(rig.LogPath()) +
      ": Not a directory";
  QCOMPARE(Panel(rig).count(problem), 1);
  QVERIFY(Panel(rig).contains("connected: Samsung KBB05A300"));
  QVERIFY(rig.Click("Disconnect"));
  QCOMPARE(Panel(rig).count(problem), 1);
  QVERIFY(rig.dialogs.Texts(MessageKind::Error).empty());
}

BRANTLE_GUI_TEST(WindowLogTest)

}  // namespace brantle::test

#include "window_log_test.moc"
