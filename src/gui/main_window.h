#pragma once
// The main window: the tab pages of every command, the status area, the connect
// timer and the settings. It owns the core objects of the run (settings, operation
// frame, link, connect driver); its handlers call the core's page actions and
// workflows and render the window state the frame computes.

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "captions.h"
#include "dialog_host.h"
#include "engine/ktze_internals.h"
#include "files/serial_ports.h"
#include "files/stand_in_loaders.h"
#include "operations/connect_driver.h"
#include "operations/operation_frame.h"
#include "qt_dialog_host.h"
#include "qt_translations.h"
#include "qt_ui.h"
#include "settings/settings.h"
#include "status_area.h"
#include "window_context.h"

class QTabWidget;
class QTimer;

namespace brantle::gui {

class FlashingTab;
class DumpingTab;
class ErasingTab;
class TfsTab;
class DeveloperTab;
class SettingsTab;
class LogPanel;

struct WindowConfig {
  std::string SettingsPath = Settings::DefaultPath();
  // Ports the system does not list (--port, the virtual phone's).
  std::vector<std::string> ExtraPorts;
  std::function<std::vector<SerialPortInfo>()> ListPorts = [] { return ListSerialPorts(); };
  // Selected at start instead of the stored choice (the virtual phone's port and
  // family); -1 keeps the stored family.
  std::string StartPort;
  int StartFamily = -1;
  std::string TraceFile;
  // The operation log's file; empty: none.
  std::string LogPath = OperationLog::DefaultPath();
  // The stand-in loaders of a virtual phone, named in the title while used.
  const StandInLoaders* StandIns = nullptr;
  // Null: Qt's own message boxes and file dialogs.
  DialogHost* Dialogs = nullptr;
};

class TKTZF : public QWidget {
  Q_OBJECT
 public:
  explicit TKTZF(WindowConfig config, QWidget* parent = nullptr);
  ~TKTZF() override;

  // Centres the window, opens the port of the settings and starts the connect timer.
  // A machine without serial ports is told how to go on; the window then waits for
  // an adapter to be plugged in.
  void Start();

  OperationFrame& Frame() { return *frame_; }
  ConnectDriver& Driver() { return *driver_; }
  Settings& settings() { return settings_; }
  Link& link() { return link_; }

  void RunOperation(const std::function<void()>& handler);
  // SIGTERM, SIGINT, SIGHUP: close as the close button does; while an operation
  // runs, cancel it first (without asking) and close when it has stopped.
  void CloseFromSignal();

  // The ports the selector lists now, enumerated again.
  std::vector<SerialPortInfo> Ports() const;
  void ApplyLanguage();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Render(const WindowState& state);
  void OnTimer();
  // Lists the ports every second; a change is shown and told to the connect driver.
  void WatchPorts();
  std::vector<std::string> PortPaths() const;
  void Disconnect();
  void ShowFlashHelp();
  void CloseIfAsked();

  WindowConfig config_;
  Settings settings_;
  OperationLog log_;
  std::unique_ptr<QtDialogHost> ownDialogs_;
  DialogHost& dialogs_;
  Captions captions_;
  QtTranslations qtTexts_;
  StatusArea* status_;
  std::unique_ptr<QtUi> ui_;
  std::unique_ptr<OperationFrame> frame_;
  Link link_;
  std::unique_ptr<ConnectDriver> driver_;
  std::unique_ptr<WindowContext> context_;
  QTabWidget* pages_ = nullptr;
  QTimer* timer_ = nullptr;
  FlashingTab* flashing_ = nullptr;
  DumpingTab* dumping_ = nullptr;
  ErasingTab* erasing_ = nullptr;
  TfsTab* tfs_ = nullptr;
  DeveloperTab* developer_ = nullptr;
  SettingsTab* settingsTab_ = nullptr;
  LogPanel* logPanel_ = nullptr;
  bool closeAsked_ = false;
  bool closing_ = false;
  std::vector<std::string> knownPorts_;
  int ticks_ = 0;
};

}  // namespace brantle::gui
