#pragma once
// What the window is for the phone commands: the console Ui, settings that live
// only for this run (the command line takes options and never writes brntl.ini),
// the operation frame, the link and the connect driver.

#include <string>

#include "cli_options.h"
#include "console_progress.h"
#include "console_ui.h"
#include "engine/ktze_internals.h"
#include "operations/connect_driver.h"
#include "operations/operation_frame.h"
#include "settings/settings.h"

namespace brantle::cli {

class PhoneApp {
 public:
  explicit PhoneApp(const Options& options);
  ~PhoneApp();  // ends the connection and closes the port

  // Opens the port, waits for the phone in boot mode and runs the connect steps;
  // false after the message the window would show.
  bool Connect(const std::string& port);
  // What identify prints: the flash type, one line or more.
  std::string FlashText();
  // The operation just run ended without an error box and was not cancelled.
  bool Succeeded() const { return ui.errors() == errors_ && !frame.Cancel; }

  ConsoleProgress progress;
  ConsoleUi ui;
  Settings settings;
  OperationFrame frame;
  Link link;
  ConnectDriver driver;

 private:
  const Options& options_;
  int errors_ = 0;  // error boxes shown before the operation
};

}  // namespace brantle::cli
