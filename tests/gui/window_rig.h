#pragma once
// The real main window against a virtual phone on a pseudo-terminal, its settings
// and language folder in a temporary folder and its dialogs scripted.

#include <QTest>
#include <memory>
#include <string>

#include "driven_dialogs.h"
#include "main_window.h"
#include "sim/pty.h"
#include "sim/virtual_e_phone.h"
#include "sim/virtual_opti_phone.h"
#include "support/temp_dir.h"

namespace brantle::test {

class WindowRig {
 public:
  // family: "E700", "E800", "E330", "S500" or "Opti" (the first OptiFlash model).
  // ini: what brntl.ini holds at start.
  explicit WindowRig(const std::string& family = "E800", const std::string& ini = "");
  ~WindowRig();

  // Starts the virtual phone (if not already) and the window on its port.
  bool Start();
  // Creates the window on ports without a phone: a pseudo-terminal nobody answers.
  bool StartWithoutPhone();
  // Processes events until the phone is Ready (false if it never gets there).
  bool WaitConnected();
  // Picks the phone's port on the Settings page, as a person does; false if the
  // selector does not list it.
  bool ChoosePhonePort() const;

  template <typename T>
  T* Find(const char* name) const {
    return window->findChild<T*>(name);
  }
  // Clicks a control by name; false if there is none or it is disabled.
  bool Click(const char* name) const;
  // Shows the tab page holding the control and, in a page list, its sub-page.
  void ShowPage(int tab, const char* list = nullptr, int row = 0) const;
  // Types an advanced region into the page's fields: prefix "Erase" fills
  // S_Erase_Start and S_Erase_End after choosing R_Erase_Advanced.
  void SetRegion(const std::string& prefix, const char* start, const char* end) const;

  std::string SettingsPath() const { return dir.File("brntl.ini"); }
  std::string LogPath() const { return dir.File("state/brantle.log"); }
  // The memory of the phone started, E or Opti.
  std::vector<uint8_t> Nor() const { return phone ? phone->Nor() : optiPhone->Nor(); }

  TempDir dir;
  TempDir loaders;
  DrivenDialogs dialogs;
  // Set before Start: Qt's own message boxes and file dialogs instead of the script.
  bool realDialogs = false;
  // Set before Start: the stand-in loaders of the run, as --simulate hands them over.
  const StandInLoaders* standIns = nullptr;
  sim::EPhoneConfig config;
  std::unique_ptr<sim::VirtualEPhone> phone;
  sim::OptiPhoneConfig optiConfig;
  std::unique_ptr<sim::VirtualOptiPhone> optiPhone;  // instead of phone for "Opti"
  std::unique_ptr<sim::PtyLine> silent;              // a line where no phone answers
  std::unique_ptr<gui::TKTZF> window;

 private:
  bool Open(const std::vector<std::string>& ports, const std::string& startPort);
  std::string family_;
};

}  // namespace brantle::test
