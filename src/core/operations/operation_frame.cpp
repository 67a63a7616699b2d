#include "operations/operation_frame.h"

#include <algorithm>
#include <climits>

#include "engine/result_codes.h"
#include "engine/text_fields.h"
#include "lang/lang_get.h"

namespace brantle {

int32_t FieldHexToInt(const std::string& text) {
  return static_cast<int32_t>(static_cast<uint32_t>(HexToInt(text)));
}

std::string EngineErrorDetail(int code) {
  if ((code <= kErrOpen && code >= kErrCrc) || code == kOk)
    return LangGet("KTZ_Error_" + std::to_string(code));
  return code == kErrLoader ? EngineErrorText(code) : "";
}

void ShowEngineError(Ui& ui, const std::string& prefix, int code, const std::string& detail,
                     const std::string& secondLine) {
  std::string text = prefix + " " + EngineErrorDetail(code);
  if (!detail.empty()) text += ": " + detail;
  if (!secondLine.empty()) text += "\n" + secondLine;
  ui.Error(text);
}

OperationFrame::OperationFrame(Ui& window, Settings& settings, Clock& clock)
    : window_(window), settings_(settings), eta_(clock), family_(settings.Family()) {}

void OperationFrame::BeginOperation() {
  if (!Busy) tally_ = {};
  ContinueOperation();
}

void OperationFrame::ContinueOperation() {
  Busy = true;
  Cancel = false;
  state_.Busy = true;
  state_.PhoneStatus = Connected ? ColoredText{LangGet("PStatus_Ready"), TextColor::Green}
                                 : ColoredText{LangGet("PStatus_Disconnected"), TextColor::Maroon};
  state_.StatusLine = LangGet("SBar_Select_Operation");
  state_.DisconnectEnabled = false;
  state_.SelectorsEnabled = false;
  state_.CreateDifEnabled = false;
  state_.UnpackDifEnabled = false;
  state_.FlashHelpEnabled = false;
  state_.PanelButtonsEnabled = false;
  state_.RetryEnabled = false;
  // A phase that forgets to start its own estimate still measures from here.
  eta_.Start();
  Render();
}

void OperationFrame::ShowInitializing() {
  state_.PhoneStatus = {LangGet("PStatus_Initializing"), TextColor::Navy};
  state_.SelectorsEnabled = false;
  // Cancel ends the connect attempt.
  state_.CancelEnabled = true;
  Render();
  window_.PumpMessages();
}

void OperationFrame::ShowIdleState() {
  Busy = false;
  state_.Busy = false;
  SetProgressPosition(0);
  state_.EtaLine = EtaLine(0);
  state_.CancelEnabled = false;
  state_.CreateDifEnabled = true;
  state_.UnpackDifEnabled = true;
  state_.FlashHelpEnabled = true;
  if (PortOpen && !Connected) {
    if (!TimerRunning && ReinitializePort) ReinitializePort();
    TimerRunning = PortOpen;
  }
  if (Connected) {
    state_.PhoneStatus = {LangGet("PStatus_Ready"), TextColor::Green};
    state_.FlashTypeVisible = true;
    state_.StatusLine = LangGet("SBar_Select_Operation");
    state_.DisconnectEnabled = true;
    state_.SelectorsEnabled = false;
    state_.FlashType = FlashKnown ? ColoredText{FlashTypeText, TextColor::Navy}
                                  : ColoredText{LangGet("FType_Unknown"), TextColor::Maroon};
    state_.FlashHelpVisible = true;
    state_.RetryEnabled = false;
  } else {
    state_.PhoneStatus = {LangGet("PStatus_Disconnected"), TextColor::Maroon};
    state_.StatusLine = IdleNotice.empty() ? LangGet("SBar_Connect") : IdleNotice;
    state_.FlashTypeVisible = false;
    // Nothing is identified until the next phone is.
    state_.FlashType = {LangGet("FType_Unknown"), TextColor::Maroon};
    state_.RetryEnabled = RetryPossible;
    state_.DisconnectEnabled = false;
    state_.SelectorsEnabled = true;
    state_.FlashHelpVisible = false;
  }
  state_.PhoneCommandsEnabled = Connected;
  state_.FileSystemCommandsEnabled = Connected && family_.HasFileSystem();
  state_.FamilySelectorIndex = family_.SelectorIndex;
  if (family_.Family == "S500") {
    state_.Panel = FamilyPanel::S500;
    state_.PanelButtonsEnabled = true;
  } else if (family_.Family == "Opti") {
    state_.Panel = FamilyPanel::Opti;
    state_.PanelButtonsEnabled = true;
  } else {
    state_.Panel = FamilyPanel::Tfs;
    state_.PanelButtonsEnabled = Connected;
  }
  state_.DeveloperButtonsVisible = settings_.DeveloperMode();
  Render();
}

void OperationFrame::EnableCancel(bool enabled) {
  if (state_.CancelEnabled == enabled) return;
  state_.CancelEnabled = enabled;
  Render();
}

bool OperationFrame::StopAfterBlock(int result, const std::string& prefix) {
  if (result != kOk) ShowEngineError(*this, prefix, result);
  if (result == kOk && !Cancel) return false;
  ShowIdleState();
  return true;
}

void OperationFrame::RequestCancel() {
  if (!state_.CancelEnabled) return;
  if (window_.Message(MessageKind::Question, LangGet("Query_Cancel"), Buttons::YesNo) !=
      Answer::Yes)
    return;
  CancelNow();
}

bool OperationFrame::CancelNow() {
  if (!state_.CancelEnabled) return false;
  Cancel = true;
  EnableCancel(false);
  return true;
}

void OperationFrame::SetProgressRange(int64_t min, int64_t max) {
  min_ = min;
  max_ = max;
  // A new range is a new phase: its estimate must not measure from an older one.
  eta_.Start();
  window_.SetProgressRange(min, max);
}

void OperationFrame::SetProgressPosition(int64_t position) {
  position_ = position;
  window_.SetProgressPosition(position);
}

void OperationFrame::StepProgress(int64_t delta) {
  // The bar's own step keeps the position inside its range.
  position_ = std::min(std::max(position_ + delta, min_), max_);
  window_.StepProgress(delta);
  UpdateEta();
  window_.PumpMessages();
}

void OperationFrame::StepOrResetProgress(int64_t delta) {
  if (delta != 0) return StepProgress(delta);
  SetProgressPosition(0);
  UpdateEta();
  window_.PumpMessages();
}

void OperationFrame::StartPhase(int64_t max) {
  SetProgressPosition(0);
  SetProgressRange(0, max);
  StartEta();
}

void OperationFrame::StartEta() {
  eta_.Start();
}

void OperationFrame::UpdateEta() {
  const auto clip = [](int64_t v) {
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX));
  };
  if (auto line = eta_.Update(clip(position_), clip(max_))) SetEtaLine(*line);
}

void OperationFrame::SetEtaLine(const std::string& text) {
  if (state_.EtaLine == text) return;
  state_.EtaLine = text;
  window_.SetEtaLine(text);
}

void OperationFrame::SetStatusText(const std::string& text) {
  state_.StatusLine = text;
  window_.SetStatus(text);
  window_.PumpMessages();
}

void OperationFrame::SetStatusWithCount(const std::string& text) {
  SetStatusText(text + ", " + std::to_string(position_) + " " + LangGet("Status_Of") + " " +
                std::to_string(max_) + " " + LangGet("Status_Bytes"));
}

void OperationFrame::RouteEngine(Link& link, bool withCount) {
  if (withCount)
    link.OnEngineStatus = [this](const std::string& t) { SetStatusWithCount(t); };
  else
    link.OnEngineStatus = [this](const std::string& t) { SetStatusText(t); };
  link.OnEngineProgress = [this](int32_t d) { StepProgress(d); };
}

void OperationFrame::RouteEngineToPump(Link& link) {
  link.OnEngineStatus = [this](const std::string&) { PumpMessages(); };
  link.OnEngineProgress = [this](int32_t) { PumpMessages(); };
}

void OperationFrame::Completed(const std::string& key) {
  if (!settings_.DisableAllStatusMessages()) Information(LangGet(key));
}

Answer OperationFrame::Message(MessageKind kind, const std::string& text, Buttons buttons) {
  if (kind == MessageKind::Error) {
    ++errorsShown_;
    lastError_ = text;
  }
  const Answer answer = window_.Message(kind, text, buttons);
  LogEvent(BoxLogText(kind, text, buttons, answer));
  return answer;
}

void OperationFrame::LogEvent(const std::string& event) {
  if (!Log) return;
  if (PortOpen || Connected) return LogPhoneEvent(event);
  Log->Add("", event);
}

void OperationFrame::LogPhoneEvent(const std::string& event) {
  if (!Log) return;
  std::string context = settings_.ComPort() + " " + family_.Family;
  if (family_.Family == "Opti") context += std::string(" ") + kOptiModelNames[family_.OptiType];
  Log->Add(context, event);
}

bool OperationFrame::RunFileDialog(FileDialog& dialog) {
  return window_.RunFileDialog(dialog);
}

bool OperationFrame::RunDialog(FileDialog::Mode mode, const std::string& ext,
                               const std::string& filterKey, const std::string& titleKey,
                               const std::string& key, bool overwritePrompt,
                               const std::string& initialName) {
  FileDialog d;
  d.DialogMode = mode;
  d.DefaultExt = ext;
  d.Filter = LangGet(filterKey);
  d.Title = LangGet(titleKey);
  d.Folder = settings_.Folder(key);
  d.InitialName = initialName;
  d.OverwritePrompt = overwritePrompt;
  if (!window_.RunFileDialog(d) || d.Names.empty()) return false;
  names_ = d.Names;
  filterIndex_ = d.FilterIndex;
  // The folder of the (last) chosen file, with its separator.
  const std::string& last = names_.back();
  const size_t slash = last.rfind('/');
  settings_.SetFolder(key, slash == std::string::npos ? "" : last.substr(0, slash + 1));
  return true;
}

bool OperationFrame::SelectOpenFile(const std::string& ext, const std::string& filterKey,
                                    const std::string& titleKey, const std::string& key) {
  return RunDialog(FileDialog::Mode::Open, ext, filterKey, titleKey, key, false, "");
}

bool OperationFrame::SelectOpenFiles(const std::string& ext, const std::string& filterKey,
                                     const std::string& titleKey, const std::string& key) {
  return RunDialog(FileDialog::Mode::OpenMany, ext, filterKey, titleKey, key, false, "");
}

bool OperationFrame::SelectSaveFile(const std::string& ext, const std::string& filterKey,
                                    const std::string& titleKey, const std::string& key,
                                    bool overwritePrompt, const std::string& initialName) {
  return RunDialog(FileDialog::Mode::Save, ext, filterKey, titleKey, key, overwritePrompt,
                   initialName);
}

void OperationFrame::EditUndoParameters(UndoParameters& pair, const std::string& captionKey) {
  DifParametersDialog d;
  d.Caption = LangGet(captionKey);
  d.ComparisonEnabled = false;
  d.ReversalEnabled = false;
  d.Compress = pair.Compress;
  d.Comment = pair.Comment;
  window_.EditDifParameters(d);
  pair.Comment = d.Comment;
  pair.Compress = d.Compress;
}

}  // namespace brantle
