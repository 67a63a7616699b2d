#pragma once
// The frame around every long operation: the busy state of the window, the cancel
// flag the workflows poll between blocks, the progress bar with its status and
// time-left lines, the error boxes of the engine, DIF and file-system codes, and the
// file dialogs with a remembered folder per purpose.
//
// The frame is itself a Ui: it stands between the core and the window, so progress
// reported by any routine runs through the bar, the ETA and message pumping, and
// "back to idle" rebuilds the whole window state. Everything runs on the window's
// thread; the frame holds no lock.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/ktze_internals.h"
#include "log/operation_log.h"
#include "operations/eta.h"
#include "operations/operation_tally.h"
#include "settings/settings.h"
#include "ui/ui.h"

namespace brantle {

// The comment and compression a tab uses for the DIFs it writes; kept for the run.
struct UndoParameters {
  std::string Comment;  // RTF document
  int Compress = 0;
};

// The address fields' parser: up to 8 hexadecimal digits; empty is 0; anything else
// is all bits set. Read as signed, so invalid entries and values from 80000000 up
// are negative.
int32_t FieldHexToInt(const std::string& text);

// The text of an engine result code as an error box shows it after its prefix;
// empty for a code without one.
std::string EngineErrorDetail(int code);

// The error box of an engine result: prefix, one space, the code's text (empty for
// a code without one); detail, when given, follows (why a loader was not sent);
// secondLine, when given, goes below (what the person can do about it).
void ShowEngineError(Ui& ui, const std::string& prefix, int code, const std::string& detail = "",
                     const std::string& secondLine = "");

class OperationFrame final : public Ui {
 public:
  OperationFrame(Ui& window, Settings& settings, Clock& clock = SystemClock());

  // Window-wide flags.
  bool PortOpen = false;
  bool Connected = false;
  bool Busy = false;
  bool Cancel = false;
  bool TimerRunning = false;  // the connect timer

  // What the flash-type line shows while connected.
  std::string FlashTypeText;
  bool FlashKnown = false;
  // Re-opens the port for polling; the connect driver installs it.
  std::function<void()> ReinitializePort;
  // While no phone is connected, the connect driver's word on the last attempts: the
  // status line instead of "Connect the phone..." (empty: that line), and whether
  // "Connect again" applies.
  std::string IdleNotice;
  bool RetryPossible = false;

  Settings& settings() { return settings_; }
  Ui& window() { return window_; }
  // The family, model and NOR areas the window works with.
  const FamilyChoice& Family() const { return family_; }
  void SetFamily(const FamilyChoice& family) { family_ = family; }
  const NorAreas& Areas() const { return family_.Areas; }

  // A new operation: busy, and its tally starts empty. Called again while busy
  // (a workflow that begins inside a page's operation) it is the same operation.
  void BeginOperation();
  // Busy again within the operation after a part of it went back to idle (the
  // erase after its reads): the tally goes on.
  void ContinueOperation();
  // What the operation running, or the last one, did to the phone.
  // The operation log the front end keeps (nullptr: none). Every message box and its
  // answer goes into it; so do the events the connect driver and the workflows add.
  OperationLog* Log = nullptr;
  // Operation records open now (operation_record.h): only the outermost one logs.
  int OpenRecords = 0;
  // One event, with the port and family while a port is open.
  void LogEvent(const std::string& event);
  // One event of the phone connection, with the port and family even when the port
  // would not open (a connect failure names the port it tried).
  void LogPhoneEvent(const std::string& event);
  // Error boxes shown so far in this run, and the last one's text.
  int ErrorsShown() const { return errorsShown_; }
  const std::string& LastError() const { return lastError_; }

  OperationTally& Tally() { return tally_; }
  const OperationTally& Tally() const { return tally_; }
  // A phone answered in boot mode: "Initializing" in navy while the connect runs.
  void ShowInitializing();
  void ShowIdleState() override;
  const WindowState& State() const { return state_; }
  void EnableCancel(bool enabled);
  // After each engine block of a loop: a failed block shows its error box (prefix as
  // given, then the code's text) and a failed block or a cancel takes the window back
  // to idle. True when the loop must stop; the result tells the two apart.
  bool StopAfterBlock(int result, const std::string& prefix);
  // The Cancel button: asks, and on Yes sets the cancel flag.
  void RequestCancel();
  // Sets the cancel flag without asking, where the Cancel button is enabled; false
  // (and nothing done) where it is not.
  bool CancelNow();

  // Progress. The bar's Min, Max and Position are mirrored here for the ETA and the
  // "n of m bytes done" status.
  void SetProgressRange(int64_t min, int64_t max) override;
  void SetProgressPosition(int64_t position) override;
  void StepProgress(int64_t delta) override;
  void StepOrResetProgress(int64_t delta);
  // A new phase: position 0, the range 0..max, a fresh ETA.
  void StartPhase(int64_t max);
  void StartEta();
  int64_t Position() const { return position_; }
  int64_t Max() const { return max_; }

  void SetStatusText(const std::string& text);
  // text + ", " + position + " of " + max + " bytes done"
  void SetStatusWithCount(const std::string& text);

  // The engine's status goes to the status line plainly or with the byte count;
  // its progress steps the bar.
  void RouteEngine(Link& link, bool withCount);
  // While polling: the engine only keeps the window alive.
  void RouteEngineToPump(Link& link);

  // Sounds and shows the completion box of key unless status messages are disabled.
  void Completed(const std::string& key);

  // File dialogs. Filter and caption are language keys; key names the remembered
  // folder in the settings' Paths section. On true the name(s) are in FileName()
  // / FileNames() and FilterIndex().
  bool SelectOpenFile(const std::string& ext, const std::string& filterKey,
                      const std::string& titleKey, const std::string& key);
  bool SelectOpenFiles(const std::string& ext, const std::string& filterKey,
                       const std::string& titleKey, const std::string& key);
  bool SelectSaveFile(const std::string& ext, const std::string& filterKey,
                      const std::string& titleKey, const std::string& key, bool overwritePrompt,
                      const std::string& initialName = "");
  const std::string& FileName() const { return names_.front(); }
  const std::vector<std::string>& FileNames() const { return names_; }
  int FilterIndex() const { return filterIndex_; }

  // The DIF options of a tab: selectors fixed at their first entries.
  void EditUndoParameters(UndoParameters& pair, const std::string& captionKey);

  // Ui, passed on to the window.
  Answer Message(MessageKind kind, const std::string& text, Buttons buttons) override;
  void SetStatus(const std::string& text) override { SetStatusText(text); }
  void PumpMessages() override { window_.PumpMessages(); }
  bool ChooseDIFs(std::vector<DIFChoice>& files) override { return window_.ChooseDIFs(files); }
  void ShowWindow(const WindowState& state) override { window_.ShowWindow(state); }
  void SetEtaLine(const std::string& text) override;
  bool RunFileDialog(FileDialog& dialog) override;
  void EditDifParameters(DifParametersDialog& dialog) override {
    window_.EditDifParameters(dialog);
  }
  bool InputBox(const std::string& title, const std::string& prompt, std::string& value) override {
    return window_.InputBox(title, prompt, value);
  }
  bool SelectTfsFiles(std::vector<TfsUploadRow>& rows) override {
    return window_.SelectTfsFiles(rows);
  }

 private:
  bool RunDialog(FileDialog::Mode mode, const std::string& ext, const std::string& filterKey,
                 const std::string& titleKey, const std::string& key, bool overwritePrompt,
                 const std::string& initialName);
  void UpdateEta();
  void Render() { window_.ShowWindow(state_); }

  Ui& window_;
  Settings& settings_;
  Eta eta_;
  FamilyChoice family_;
  WindowState state_;
  OperationTally tally_;
  int errorsShown_ = 0;
  std::string lastError_;
  int64_t min_ = 0;
  int64_t max_ = 0;
  int64_t position_ = 0;
  std::vector<std::string> names_;
  int filterIndex_ = 1;
};

}  // namespace brantle
