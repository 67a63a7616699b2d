#include "console_ui.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "dif/DIFCore.h"
#include "lang/lang_get.h"
#include "operations/flash_workflow.h"
#include "run_log.h"

namespace brantle::cli {
namespace {

bool Named(const std::set<std::string>& names, const std::string& fileName) {
  for (const auto& n : names) {
    const size_t slash = n.rfind('/');
    if (n == fileName || (slash != std::string::npos && n.substr(slash + 1) == fileName))
      return true;
  }
  return false;
}

std::atomic<bool> interrupted{false};
std::atomic<int> terminatedBy{0};

void OnSigint(int) {
  interrupted = true;
}

void OnTermination(int signal) {
  terminatedBy = signal;
}

void Catch(int signal, void (*handler)(int)) {
  struct sigaction sa {};
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  sigaction(signal, &sa, nullptr);
}

}  // namespace

void CatchInterrupt() {
  Catch(SIGINT, OnSigint);
}

void CatchTermination() {
  Catch(SIGTERM, OnTermination);
  Catch(SIGHUP, OnTermination);
}

int TerminationSignal() {
  return terminatedBy;
}

bool InterruptPending() {
  return interrupted;
}

ConsoleUi::ConsoleUi(ConsoleProgress& progress, bool assumeYes)
    : progress_(progress), assumeYes_(assumeYes) {}

Answer ConsoleUi::Message(MessageKind kind, const std::string& text, Buttons buttons) {
  const Answer answer = Show(kind, text, buttons);
  if (log) log->Add("", BoxLogText(kind, context + text, buttons, answer));
  return answer;
}

Answer ConsoleUi::Show(MessageKind kind, const std::string& text, Buttons buttons) {
  progress_.Finish();
  const bool loud = kind == MessageKind::Error || kind == MessageKind::Warning;
  if (loud && isatty(STDERR_FILENO)) std::fputc('\a', stderr);
  if (kind == MessageKind::Error) {
    ++errors_;
    lastError_ = text;
  }
  std::fprintf(stderr, "%s%s\n", context.c_str(), text.c_str());
  if (buttons == Buttons::Ok) return Answer::Ok;
  const bool eepromQuestion = IsEepromQuestion(text);
  if (eepromQuestion && eeprom != "ask") {
    std::fprintf(stderr, "(answered %s: --eeprom %s)\n", eeprom == "yes" ? "Yes" : "No",
                 eeprom.c_str());
    return eeprom == "yes" ? Answer::Yes : Answer::No;
  }
  if (assumeYes_) {
    std::fprintf(stderr, "(answered Yes: --yes)\n");
    return Answer::Yes;
  }
  const Answer answer = Ask(text);
  // A No to cancelling goes on, a No to the EEPROM leaves the EEPROM out; any
  // other No stops what was asked about.
  if (answer == Answer::No && !eepromQuestion && text != LangGet("Query_Cancel")) declined_ = true;
  return answer;
}

bool CanAsk() {
  return isatty(STDIN_FILENO) == 1;
}

bool AskYes(const std::string& question) {
  std::fprintf(stderr, "%s%s[y/N] ", question.c_str(), question.empty() ? "" : " ");
  std::string line;
  std::getline(std::cin, line);
  // The terminal echoes the answer with its line break; a log gets one of its own.
  if (!isatty(STDERR_FILENO)) std::fputc('\n', stderr);
  const bool yes = !line.empty() && (line[0] == 'y' || line[0] == 'Y');
  // A box's question is logged with its box; this one is the run's own.
  if (!question.empty())
    LogRun(BoxLogText(MessageKind::Question, question, Buttons::YesNo,
                      yes ? Answer::Yes : Answer::No));
  return yes;
}

// On a terminal the person answers; without one nobody can, and guessing could
// write where nobody wanted it: the operation stops.
Answer ConsoleUi::Ask(const std::string& text) {
  if (CanAsk()) return AskYes("") ? Answer::Yes : Answer::No;
  // Ctrl-C without a terminal is all the answer there will be.
  if (text == LangGet("Query_Cancel")) return Answer::Yes;
  const bool eepromQuestion = IsEepromQuestion(text);
  std::fprintf(
      stderr, "(no terminal to answer on: %s)\n",
      eepromQuestion ? "give --eeprom yes or --eeprom no" : "stopped; give --yes to go on");
  ++errors_;
  lastError_ = std::string("no terminal to answer the question on; give ") +
               (eepromQuestion ? "--eeprom yes or --eeprom no" : "--yes");
  if (onRefuse) onRefuse();
  return Answer::No;
}

void ConsoleUi::SetProgressRange(int64_t min, int64_t max) {
  min_ = min;
  progress_.Start(static_cast<uint64_t>(max > min ? max - min : 0), false);
}

void ConsoleUi::SetProgressPosition(int64_t position) {
  progress_.SetPosition(position - min_);
}

void ConsoleUi::StepProgress(int64_t delta) {
  progress_.Step(static_cast<int32_t>(delta));
}

void ConsoleUi::SetStatus(const std::string& text) {
  progress_.Status(text);
}

void ConsoleUi::PumpMessages() {
  if (interrupted.exchange(false)) {
    progress_.Finish();
    if (onInterrupt) onInterrupt();
  }
  if (terminatedBy != 0 && onTerminate) onTerminate();
}

bool ConsoleUi::RunFileDialog(FileDialog& dialog) {
  if (fileAnswers.empty()) return false;
  dialog.Names = {fileAnswers.front()};
  fileAnswers.pop_front();
  return true;
}

bool ConsoleUi::InputBox(const std::string&, const std::string&, std::string& value) {
  if (inputAnswers.empty()) return false;
  value = inputAnswers.front();
  inputAnswers.pop_front();
  return true;
}

bool ConsoleUi::SelectTfsFiles(std::vector<TfsUploadRow>& rows) {
  rows = tfsRows;
  return !rows.empty();
}

void ConsoleUi::ShowIdleState() {
  progress_.Finish();
}

bool ConsoleUi::ChooseDIFs(std::vector<DIFChoice>& files) {
  for (DIFChoice& f : files) {
    // The same rules as the dialog's check boxes: Undo clears Apply and the TFS box.
    if (Named(undoFiles, f.Name)) CheckUndo(f, true);
    if (Named(noTfsFiles, f.Name)) CheckTakeTFS(f, false);
    std::fprintf(stderr, "%-32s %s%s%s\n", f.Name.c_str(), f.Apply ? " apply" : "",
                 f.Undo ? " undo" : "", f.TakeTFS ? " tfs" : "");
  }
  return true;
}

}  // namespace brantle::cli
