// The window's own cost, against the virtual phone over a pseudo-terminal:
//  (a) time from start to the shown window with the phone connected ("Ready");
//  (b) a 1 MiB dump clicked in the window at 806400 baud with line-rate emulation:
//      the time the bytes need on an ideal line divided by the measured time (goal
//      >= 0.97, the engine's own efficiency): progress and pumping must not slow it.
// Runs offscreen unless a display is given.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "dialog_host.h"
#include "main_window.h"
#include "sim/demo_loaders.h"
#include "sim/virtual_e_phone.h"

using namespace brantle;

namespace {

constexpr uint32_t kSpeed = 806400;
constexpr double kLineBytesPerSector = 1 + 8 + 1 + 1 + 65536 + 4;

// Answers the one save dialog with the target and every box with OK.
class Answers : public gui::DialogHost {
 public:
  std::string target;
  Answer Message(QWidget*, MessageKind, const std::string&, Buttons) override {
    return Answer::Yes;
  }
  bool RunFileDialog(QWidget*, FileDialog& d) override {
    d.Names = {target};
    return true;
  }
  bool InputBox(QWidget*, const std::string&, const std::string&, std::string&) override {
    return false;
  }
  bool ChooseDIFs(QWidget*, std::vector<DIFChoice>&) override { return true; }
  void EditDifParameters(QWidget*, DifParametersDialog&) override {}
  bool SelectTfsFiles(QWidget*, std::vector<TfsUploadRow>&) override { return false; }
  void RunCreateDif(QWidget*, OperationFrame&, TKTZDCF&) override {}
  void ShowTfsFileManager(QWidget*, const std::string&) override {}
};

double Since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const QString folder = QDir::temp().filePath("brantle-bench-window");
  QDir(folder).removeRecursively();
  QDir().mkpath(folder);
  std::string error;
  if (!sim::WriteDemoLoaders(folder.toStdString() + "/loaders", error))
    return std::fprintf(stderr, "%s\n", error.c_str()), 1;

  sim::EPhoneConfig config;
  config.family = "E800";
  sim::VirtualEPhone phone(config);
  if (!phone.Start()) return std::fprintf(stderr, "%s\n", phone.error().c_str()), 1;
  Answers answers;
  answers.target = folder.toStdString() + "/dump.bin";

  const auto t0 = std::chrono::steady_clock::now();
  gui::WindowConfig c;
  c.SettingsPath = folder.toStdString() + "/brntl.ini";
  c.ListPorts = [] { return std::vector<SerialPortInfo>{}; };
  c.ExtraPorts = {phone.PortPath()};
  c.StartPort = phone.PortPath();
  c.StartFamily = 1;
  c.Dialogs = &answers;
  gui::TKTZF window(c);
  window.Driver().E().LoadersFolder = folder.toStdString() + "/loaders";
  window.settings().SetComSpeed(std::to_string(kSpeed));
  window.show();
  if (!window.Start()) return 1;
  if (!QTest::qWaitFor([&] { return window.Frame().Connected && !window.Frame().Busy; }, 60000))
    return std::fprintf(stderr, "the phone did not connect\n"), 1;
  std::printf("(a) start to the connected window: %.3f s\n", Since(t0));

  window.findChild<QTabWidget*>("Pages")->setCurrentIndex(1);
  window.findChild<QRadioButton*>("R_DumpNOR_Advanced")->click();
  window.findChild<QComboBox*>("S_DumpNOR_Start")->setEditText("0");
  window.findChild<QComboBox*>("S_DumpNOR_End")->setEditText("FFFFF");
  window.findChild<QPushButton*>("BS_DumpNOR_Tgt")->click();
  phone.SetLineRate(true);
  const auto t1 = std::chrono::steady_clock::now();
  window.findChild<QPushButton*>("B_DumpNOR_Do")->click();
  const double measured = Since(t1);
  if (QFileInfo(QString::fromStdString(answers.target)).size() != 0x100000)
    return std::fprintf(stderr, "the dump failed\n"), 1;
  const double ideal = 16 * kLineBytesPerSector * 10 / kSpeed;
  std::printf(
      "(b) 1 MiB dump in the window at %u baud: ideal %.3f s, measured %.3f s, "
      "efficiency %.3f (goal >= 0.97)\n",
      kSpeed, ideal, measured, ideal / measured);
  window.close();
  return 0;
}
