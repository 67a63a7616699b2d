#include "log/operation_log.h"

#include <unistd.h>

#include <cstdlib>

#include "files/file_access.h"
#include "lang/lang_get.h"

namespace brantle {

OperationLog::OperationLog(std::string program, const std::string& path)
    : program_(std::move(program)),
      file_(path.empty() ? nullptr : std::make_unique<LogFile>(path)) {}

void OperationLog::Add(const std::string& context, const std::string& event) {
  const std::string line = LogTime(std::time(nullptr)) + " " + program_ + "[" +
                           std::to_string(getpid()) + "]" + (context.empty() ? "" : " " + context) +
                           ": " + OneLine(event);
  session_.push_back(line);
  if (OnLine) OnLine(line);
  if (!file_ || file_->Append(line) || told_) return;
  told_ = true;
  if (OnProblem) OnProblem(file_->Problem());
}

bool OperationLog::SaveSession(Ui& ui, const std::string& path) const {
  std::string text;
  for (const std::string& line : session_) text += line + "\n";
  if (ReplaceFileContents(path, text)) return true;
  ui.Error(LangGet("ErrC_Write_File") + " " + path);
  return false;
}

std::string OperationLog::DefaultPath(const std::string& xdgStateHome, const std::string& home) {
  // Relative XDG values are to be ignored, as the base directory rules say.
  if (!xdgStateHome.empty() && xdgStateHome[0] == '/') return xdgStateHome + "/brantle/brantle.log";
  // Without a home there is nowhere to keep it.
  return home.empty() ? "" : home + "/.local/state/brantle/brantle.log";
}

std::string OperationLog::DefaultPath() {
  const char* state = std::getenv("XDG_STATE_HOME");
  const char* home = std::getenv("HOME");
  return DefaultPath(state ? state : "", home ? home : "");
}

std::string LogTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
  // strftime writes the offset as +0100; ISO 8601 in a log reads +01:00.
  std::string line = text;
  if (line.size() >= 5) line.insert(line.size() - 2, ":");
  return line;
}

std::string BoxLogText(MessageKind kind, const std::string& text, Buttons buttons, Answer answer) {
  static const char* const kKinds[] = {"error", "information", "warning", "question"};
  std::string line = std::string(kKinds[static_cast<int>(kind)]) + ": " + text;
  if (buttons == Buttons::YesNo) line += answer == Answer::Yes ? " -> Yes" : " -> No";
  return line;
}

std::string OneLine(const std::string& text) {
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    if (text[i] == '\n')
      line += " | ";
    else
      line += text[i];
  }
  return line;
}

}  // namespace brantle
