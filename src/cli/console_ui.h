#pragma once
// The command line's side of the Ui port: messages on stderr (with the terminal
// bell for errors and warnings on a terminal), progress through ConsoleProgress,
// questions asked on a terminal or answered by options, and the dialogs of the
// workflows answered from the command line: the files named there, in the order
// the workflow asks for them.

#include <deque>
#include <functional>
#include <set>
#include <string>

#include "console_progress.h"
#include "log/operation_log.h"
#include "ui/ui.h"

namespace brantle::cli {

class ConsoleUi final : public Ui {
 public:
  ConsoleUi(ConsoleProgress& progress, bool assumeYes);

  // DIF files (by name as given or without folder) to apply backwards, or whose
  // TFS files are left out.
  std::set<std::string> undoFiles;
  std::set<std::string> noTfsFiles;
  // The file dialogs' answers in order; a dialog beyond them is cancelled.
  std::deque<std::string> fileAnswers;
  // The input boxes' answers in order.
  std::deque<std::string> inputAnswers;
  // What the file-system selector would hold.
  std::vector<TfsUploadRow> tfsRows;
  // Put before every message: the file a check before connecting is about.
  std::string context;
  // The EEPROM question: "ask" (on a terminal), "yes" or "no".
  std::string eeprom = "ask";
  // Ctrl-C was pressed: the Cancel button.
  std::function<void()> onInterrupt;
  // SIGTERM or SIGHUP came: called at every pump until the operation can stop.
  std::function<void()> onTerminate;
  // A question that needs a person and there is none: the operation must stop.
  std::function<void()> onRefuse;
  // Where the messages go besides the terminal, for a command that runs without an
  // operation frame (which logs them itself).
  OperationLog* log = nullptr;

  Answer Message(MessageKind kind, const std::string& text, Buttons buttons) override;
  void SetProgressRange(int64_t min, int64_t max) override;
  void SetProgressPosition(int64_t position) override;
  void StepProgress(int64_t delta) override;
  void SetStatus(const std::string& text) override;
  void PumpMessages() override;
  void ShowIdleState() override;
  bool ChooseDIFs(std::vector<DIFChoice>& files) override;
  void SetEtaLine(const std::string& text) override { progress_.Eta(text); }
  bool RunFileDialog(FileDialog& dialog) override;
  bool InputBox(const std::string& title, const std::string& prompt, std::string& value) override;
  bool SelectTfsFiles(std::vector<TfsUploadRow>& rows) override;

  int errors() const { return errors_; }
  // The text of the last error, or why a question could not be asked.
  const std::string& lastError() const { return lastError_; }
  // A question was answered No where No stops what was asked about (formatting, an
  // unknown flash), rather than an error or a cancel.
  bool declined() const { return declined_; }
  // The EEPROM question was answered No: the flash left the EEPROM area out.

 private:
  // The message on the terminal, and the answer (asked, or given by the options).
  Answer Show(MessageKind kind, const std::string& text, Buttons buttons);
  Answer Ask(const std::string& text);

  ConsoleProgress& progress_;
  bool assumeYes_;
  int64_t min_ = 0;
  int errors_ = 0;
  std::string lastError_;
  bool declined_ = false;
};

// Whether a person can answer questions: the input is a terminal.
bool CanAsk();
// Asks on the terminal; true for an answer starting with y or Y.
bool AskYes(const std::string& question);

// Ctrl-C from now on sets a flag that PumpMessages turns into a cancel request.
void CatchInterrupt();
// SIGTERM and SIGHUP from now on are kept for PumpMessages to stop the operation
// with, without a question: the phone connection still has to be ended properly.
void CatchTermination();
// The signal that asked the program to end, or 0.
int TerminationSignal();
// Ctrl-C was pressed and PumpMessages has not yet taken it.
bool InterruptPending();

}  // namespace brantle::cli
