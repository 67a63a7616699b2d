#pragma once
// Brings an E-family phone from boot mode to a running second loader for the
// command line, and ends the connection. The window's connect driver does the
// same steps on its timer.

#include <string>

#include "cli_options.h"
#include "console_progress.h"
#include "engine/ktze_flasher.h"
#include "engine/ktze_internals.h"

namespace brantle::cli {

class EConnection {
 public:
  EConnection(const Options& options, ConsoleProgress& progress);
  ~EConnection();  // terminates a connected phone and closes the port

  // Opens the port, waits for the phone and runs the connect steps. On failure
  // returns false with the message the window would show in error.
  bool Connect(const std::string& port, std::string& error);
  EEngine& engine() { return engine_; }
  Link& link() { return link_; }
  // Message composed from a prefix text and an engine result.
  std::string ErrorText(const std::string& prefix, int code) const;

 private:
  bool WaitForPhone();
  void Disconnect();

  const Options& options_;
  ConsoleProgress& progress_;
  Link link_;
  EEngine engine_;
  bool connected_ = false;
};

}  // namespace brantle::cli
