#pragma once
// The operation log: what was done to which phone, when, and with what result, one
// line per event, kept on disk for both front ends and shown in the window. A line
// starts with the local time (ISO 8601 with seconds and offset), the program and its
// process id, the port and family where there is one, then the event:
//
//   2026-12-09T14:03:12+01:00 cli[4242] /dev/ttyUSB0 E800: dump: completed ...
//
// A log that cannot be written never stops anything: the front end is told once.

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "log/log_file.h"
#include "ui/ui.h"

namespace brantle {

class OperationLog {
 public:
  // program: "window" or "cli"; path: the log file, empty for none.
  OperationLog(std::string program, const std::string& path);

  // One event; context is "PORT FAMILY", or empty where there is no phone.
  void Add(const std::string& context, const std::string& event);

  // The lines of this run, oldest first.
  const std::vector<std::string>& Session() const { return session_; }
  // The file, empty without one.
  std::string Path() const { return file_ ? file_->Path() : ""; }
  // The lines of this run as a text file; false after an error box when it could
  // not be written.
  bool SaveSession(Ui& ui, const std::string& path) const;

  // Every line as it is added (the window's panel).
  std::function<void(const std::string& line)> OnLine;
  // The first line that could not be written, with why; told once per run.
  std::function<void(const std::string& problem)> OnProblem;

  // $XDG_STATE_HOME/brantle/brantle.log, else ~/.local/state/brantle/brantle.log.
  static std::string DefaultPath(const std::string& xdgStateHome, const std::string& home);
  static std::string DefaultPath();

 private:
  std::string program_;
  std::unique_ptr<LogFile> file_;
  std::vector<std::string> session_;
  bool told_ = false;
};

// "2026-12-09T14:03:12+01:00": local time with its offset from UTC.
std::string LogTime(std::time_t when);
// A text of several lines as one log line: its line breaks become " | ".
std::string OneLine(const std::string& text);

// A message box in the log: "error: TEXT", "question: TEXT -> No".
std::string BoxLogText(MessageKind kind, const std::string& text, Buttons buttons, Answer answer);

}  // namespace brantle
