#include "window_rig.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>

#include "sim/demo_loaders.h"

namespace brantle::test {
namespace {

int FamilyIndex(const std::string& family) {
  // The selector's order: the four E families, then the OptiFlash models.
  const char* families[] = {"E700", "E800", "E330", "S500", "Opti"};
  for (int i = 0; i < 5; ++i)
    if (family == families[i]) return i;
  return 0;
}

}  // namespace

WindowRig::WindowRig(const std::string& family, const std::string& ini) : family_(family) {
  config.family = family;
  if (!ini.empty()) dir.Write("brntl.ini", ini);
  std::string error;
  sim::WriteDemoLoaders(loaders.path(), error);
}

WindowRig::~WindowRig() {
  // Closing ends the phone connection before the phone goes away.
  if (window && !window->Frame().Busy) window->close();
  window.reset();
}

bool WindowRig::Open(const std::vector<std::string>& ports, const std::string& startPort) {
  gui::WindowConfig c;
  c.SettingsPath = SettingsPath();
  c.ListPorts = [] { return std::vector<SerialPortInfo>{}; };
  c.ExtraPorts = ports;
  c.StartPort = startPort;
  c.StartFamily = FamilyIndex(family_);
  c.Dialogs = realDialogs ? nullptr : &dialogs;
  c.LogPath = LogPath();
  c.StandIns = standIns;
  window = std::make_unique<gui::TKTZF>(c);
  dialogs.frame = &window->Frame();
  window->Driver().E().LoadersFolder = loaders.path();
  window->Driver().Opti().LoadersFolder = loaders.path();
  window->show();
  window->Start();
  return true;
}

bool WindowRig::Start() {
  if (family_ == "Opti") {
    if (!optiPhone) {
      optiPhone = std::make_unique<sim::VirtualOptiPhone>(optiConfig);
      if (!optiPhone->Start()) return false;
    }
    return Open({optiPhone->PortPath()}, optiPhone->PortPath());
  }
  if (!phone) {
    phone = std::make_unique<sim::VirtualEPhone>(config);
    if (!phone->Start()) return false;
  }
  return Open({phone->PortPath()}, phone->PortPath());
}

bool WindowRig::StartWithoutPhone() {
  phone = std::make_unique<sim::VirtualEPhone>(config);
  if (!phone->Start()) return false;
  // The phone's port is listed, but the window starts on a line nobody answers.
  silent = std::make_unique<sim::PtyLine>();
  std::string error;
  if (!silent->Open(error)) return false;
  return Open({silent->Path(), phone->PortPath()}, silent->Path());
}

bool WindowRig::ChoosePhonePort() const {
  auto* port = Find<QComboBox>("COMPort");
  const int index = port->findData(QString::fromStdString(phone->PortPath()));
  if (index < 0) return false;
  port->setCurrentIndex(index);
  emit port->activated(index);
  return true;
}

bool WindowRig::WaitConnected() {
  return QTest::qWaitFor([this] { return window->Frame().Connected && !window->Frame().Busy; },
                         30000);
}

bool WindowRig::Click(const char* name) const {
  auto* button = Find<QAbstractButton>(name);
  if (!button || !button->isEnabled()) return false;
  button->click();
  return true;
}

void WindowRig::ShowPage(int tab, const char* list, int row) const {
  Find<QTabWidget>("Pages")->setCurrentIndex(tab);
  if (list) Find<QListWidget>(list)->setCurrentRow(row);
}

void WindowRig::SetRegion(const std::string& prefix, const char* start, const char* end) const {
  Find<QRadioButton>(("R_" + prefix + "_Advanced").c_str())->click();
  auto* first = Find<QComboBox>(("S_" + prefix + "_Start").c_str());
  auto* last = Find<QComboBox>(("S_" + prefix + "_End").c_str());
  first->setEditText(start);
  emit first->lineEdit()->editingFinished();
  last->setEditText(end);
  emit last->lineEdit()->editingFinished();
}

}  // namespace brantle::test
