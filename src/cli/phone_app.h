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
  // false after the message the window would show, and where the phone did not
  // answer as the family expects, which family was tried.
  bool Connect(const std::string& port);
  // What identify prints: the flash type, one line or more.
  std::string FlashText();
  // The operation just run ended without an error box.
  bool Failed() const { return ui.errors() != errors_; }
  // Ctrl-C (and Yes to "cancel?"), or No to a question that stops the command.
  bool Cancelled() const { return frame.Cancel || interrupted_ || ui.declined(); }

  ConsoleProgress progress;
  ConsoleUi ui;
  Settings settings;
  OperationFrame frame;
  Link link;
  ConnectDriver driver;

 private:
  void OnInterrupt();

  const Options& options_;
  int errors_ = 0;  // error boxes shown before the operation
  // Ctrl-C where the Cancel button could not take it: while waiting for the phone
  // or during the connect steps. The command then stops before it begins.
  bool interrupted_ = false;
};

}  // namespace brantle::cli
