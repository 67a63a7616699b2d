#include "operations/connect_driver.h"

#include <sys/stat.h>

#include "engine/result_codes.h"
#include "engine/text_fields.h"
#include "files/port_diagnosis.h"
#include "lang/lang_get.h"

namespace brantle {
namespace {

// Polls in a row without a phone before the port is closed and opened again.
constexpr int kPollsBeforeReopen = 200;
constexpr uint32_t kTickMs = 50;
// After a failed connect, a phone silent this long and then in boot mode again was
// restarted: it is connected without waiting for the person. Shorter silences come
// from the phone's boot code giving up on the failed attempt by itself.
constexpr uint64_t kRestartSilenceMs = 2000;

// What a speed the loader refused could have been.
std::string OfferedSpeedsLine(const OptiFlash& flash) {
  std::string list;
  for (size_t i = 0; i < flash.BaudList.size(); ++i) {
    if (i > 0) list += i + 1 == flash.BaudList.size() ? " and " : ", ";
    list += std::to_string(flash.BaudList[i]);
  }
  return list.empty() ? "" : "The phone's loader offers " + list + " bit/s.";
}

bool PathExists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0;
}

// The phone type as the Settings page lists it.
std::string PhoneTypeText(const FamilyChoice& family) {
  if (family.Family == "Opti")
    return LangGet(std::string("Phone_Opti_") + kOptiModelNames[family.OptiType]);
  return LangGet("Phone_" + family.Family);
}

}  // namespace

ConnectDriver::ConnectDriver(OperationFrame& frame, Link& link)
    : frame_(frame), link_(link), e_(link), opti_(link) {
  frame_.ReinitializePort = [this] { ReinitializePort(); };
}

std::string ConnectDriver::PortName() const {
  return frame_.settings().ComPort();
}

uint32_t ConnectDriver::Speed() const {
  return FixedSpeed != 0 ? FixedSpeed
                         : static_cast<uint32_t>(std::stoul(frame_.settings().ComSpeed()));
}

void ConnectDriver::ClosePort() {
  if (IsOpti())
    opti_.Close();
  else
    e_.EClose();
  frame_.PortOpen = false;
}

void ConnectDriver::ReinitializePort() {
  frame_.TimerRunning = false;
  if (frame_.PortOpen) ClosePort();
  // The family may have changed since the port was opened: close with both engines.
  opti_.Close();
  e_.EClose();
  polls_ = 0;
  if (PortName().empty()) {
    // No port chosen (a machine without any): the window waits for one to appear.
    portGone_ = true;
    openFailed_ = false;
    return;
  }
  const FamilyChoice& family = frame_.Family();
  const int r = family.Family == "Opti" ? opti_.OptiOpenPort(PortName(), family.OptiType)
                                        : e_.EInitPort(PortName(), family.Family);
  if (r != kOk) {
    // A port that is not there is watched for; one that is there but would not open
    // waits for the person.
    portGone_ = !PathExists(PortName());
    openFailed_ = !portGone_;
    // The box's own text first; the second line says which port and why.
    Report(LangGet("Err_COM_Init_Fail"), DiagnosePort(PortName()));
    return;
  }
  portGone_ = false;
  openFailed_ = false;
  frame_.PortOpen = true;
  frame_.TimerRunning = true;
  ShowNotice();
}

void ConnectDriver::Rearm() {
  waiting_ = false;
  failures_.Forget();
  ShowNotice();
}

void ConnectDriver::ChangePort(const std::string& port) {
  frame_.settings().SetComPort(port);
  Rearm();
  ReinitializePort();
  frame_.ShowIdleState();
}

void ConnectDriver::ChangeFamily(int selectorIndex) {
  frame_.TimerRunning = false;
  if (frame_.PortOpen) ClosePort();
  frame_.SetFamily(frame_.settings().SetFamilyBySelectorIndex(selectorIndex));
  Rearm();
  ReinitializePort();
  frame_.ShowIdleState();
  frame_.PumpMessages();
}

void ConnectDriver::ChangeSpeed(const std::string& speed) {
  // Takes effect at the next connection; a phone waiting after a failed attempt is
  // tried again with it.
  frame_.settings().SetComSpeed(speed);
  if (frame_.Connected) return;
  Rearm();
  frame_.ShowIdleState();
}

void ConnectDriver::ConnectAgain() {
  if (frame_.Busy || frame_.Connected) return;
  // Nothing changed: the same failure again is only counted.
  waiting_ = false;
  ShowNotice();
  if (!frame_.PortOpen) ReinitializePort();
  frame_.ShowIdleState();
}

void ConnectDriver::PortsChanged() {
  if (frame_.Busy || frame_.Connected) return;
  // A port that would not open may open now; any failure is worth a box again.
  failures_.Forget();
  if (openFailed_) ReinitializePort();
  ShowNotice();
  frame_.ShowIdleState();
}

void ConnectDriver::ShowNotice() {
  frame_.IdleNotice = failures_.StatusLine();
  frame_.RetryPossible = waiting_ || openFailed_;
}

void ConnectDriver::Report(const std::string& text, const std::string& causes) {
  frame_.LogPhoneEvent("connect failed: " + text);
  const bool tell = failures_.Record(text);
  ShowNotice();
  // Behind the box the window is idle already, its status line saying what failed.
  if (!frame_.Busy) frame_.ShowIdleState();
  if (tell) frame_.Error(causes.empty() ? text : text + "\n" + causes);
}

void ConnectDriver::Tick() {
  if (frame_.Busy) return;
  if (frame_.Connected) {
    if (!IsOpti()) return;
    frame_.TimerRunning = false;
    if (!keepAlive_.Tick(opti_)) {
      // The engine has closed the port. The timer keeps polling the closed port
      // until the periodic reopen brings it back.
      frame_.Connected = false;
      frame_.PortOpen = false;
      frame_.Error(LangGet("Err_Lost_Phone"));
      frame_.ShowIdleState();
    }
    frame_.TimerRunning = true;
    return;
  }
  if (frame_.PortOpen) return Poll();
  if (portGone_) {
    // Back once the system lists the device again (the adapter plugged in).
    if (PathExists(PortName())) {
      ReinitializePort();
      frame_.ShowIdleState();
    }
    return;
  }
  // A port the engine closed after a lost phone is reopened as the periodic reopen
  // would; one that would not open waits for the person.
  if (!openFailed_ && ++polls_ > kPollsBeforeReopen) {
    ReinitializePort();
    frame_.ShowIdleState();
  }
}

void ConnectDriver::Poll() {
  frame_.TimerRunning = false;
  frame_.RouteEngineToPump(link_);
  // While waiting, only a boot byte sent now counts: the queue holds what came while
  // the phone was still answering.
  if (waiting_) link_.PurgeInput();
  const int r = IsOpti() ? opti_.WaitBootPrompt(1, 250) : e_.EWaitBoot(1, 250);
  const uint64_t now = link_.clock().NowMs();
  if (r != kOk) {
    if (!PathExists(PortName())) return PortVanished();
    if (waiting_ && now - lastHeardMs_ >= kRestartSilenceMs) restarted_ = true;
    if (++polls_ > kPollsBeforeReopen) ReinitializePort();
    frame_.TimerRunning = frame_.PortOpen;
    return;
  }
  polls_ = 0;
  if (waiting_) {
    lastHeardMs_ = now;
    if (!restarted_) {
      frame_.TimerRunning = true;
      return;
    }
    waiting_ = false;
  }
  Connect();
}

void ConnectDriver::PortVanished() {
  ClosePort();
  portGone_ = true;
  openFailed_ = false;
  waiting_ = false;
  Report(LangGet("Err_COM_Init_Fail"),
         DiagnosePort(PortName()) + (ExplainFailures ? "\n" + PortGoneHint() : ""));
}

void ConnectDriver::Connect() {
  attempted_ = true;
  connecting_ = true;
  failedStep_.clear();
  frame_.BeginOperation();
  frame_.ShowInitializing();
  // Cancel ends a wait or an upload at once; the attempt then stops.
  link_.Abandon = [this] { return frame_.Cancel; };
  const bool connected = IsOpti() ? ConnectOpti() : ConnectE();
  link_.Abandon = nullptr;
  connecting_ = false;
  if (!connected) return;
  frame_.Connected = true;
  frame_.TimerRunning = true;
  keepAlive_.Reset();
  frame_.LogPhoneEvent("connected: " + ConnectedText());
  failures_.Forget();
  ShowNotice();
  frame_.ShowIdleState();
  // Where a trace's connect ends and the work begins.
  link_.TraceNote("ready: " + frame_.FlashTypeText);
}

bool ConnectDriver::ConnectE() {
  // Each step's failure, or a cancel during or after it, ends the attempt; a cancel
  // that comes once the last step went through leaves the phone connected (a close
  // then ends the connection properly).
  const auto failed = [this](const char* key, int r, const std::string& detail = "") {
    if (frame_.Cancel) return ConnectCancelled(), true;
    if (r == kOk) return false;
    return ConnectError(key, r, detail), true;
  };
  // A missing loader file is found before the phone is booted, which leaves it
  // waiting in boot mode.
  if (!e_.LoadImages())
    return ConnectError("ErrC_Init_Loader_1", kErrLoader, e_.LoaderError()), false;
  frame_.RouteEngine(link_, false);
  const uint8_t w = frame_.settings().WaitStates();
  if (failed("ErrC_Init_Bootup", e_.EBootCommand(w, w, w, w))) return false;

  frame_.StartPhase(e_.Loader1Size);
  frame_.RouteEngine(link_, true);
  link_.OnEngineProgress = [this](int32_t d) { frame_.StepOrResetProgress(d); };
  if (failed("ErrC_Init_Loader_1", e_.ESendLoader1(), e_.LoaderError())) return false;

  frame_.RouteEngine(link_, false);
  if (failed("ErrC_Init_Speed", e_.ESwitchSpeed(Speed()))) return false;

  frame_.StartPhase(e_.Loader2Size);
  frame_.RouteEngine(link_, true);
  if (const int r = e_.ESendLoader2();
      r != kOk && failed("ErrC_Init_Loader_2", r, e_.LoaderError()))
    return false;

  const EFlashInfo& flash = e_.FlashInfo;
  frame_.FlashKnown = flash.Known != 0;
  frame_.FlashTypeText = flash.MakerName + " " + flash.ModelName;
  if (!frame_.FlashKnown &&
      frame_.Message(MessageKind::Warning,
                     LangGet("Warn_Unknown_Flash_1") + " " + HexByte(flash.MakerID) + "/" +
                         HexByte(flash.DeviceID) + ". " + LangGet("Warn_Unknown_Flash_2"),
                     Buttons::YesNo) != Answer::Yes) {
    // The phone is connected as far as the engine knows: end that properly, and
    // wait for the person before connecting it again.
    frame_.Connected = true;
    Disconnect(true);
    waiting_ = true;
    restarted_ = false;
    lastHeardMs_ = link_.clock().NowMs();
    ShowNotice();
    frame_.ShowIdleState();
    return false;
  }
  return true;
}

bool ConnectDriver::ConnectOpti() {
  frame_.StartPhase(opti_.LoaderUploadBytes());
  frame_.RouteEngine(link_, true);
  link_.OnEngineProgress = [this](int32_t d) { frame_.StepOrResetProgress(d); };
  const OptiConnectResult result = RunOptiConnect(opti_, Speed(), LangGet("Status_Flashes"));
  if (frame_.Cancel && (result.code != kOk || result.flashDetectError)) {
    ConnectCancelled();
    return false;
  }
  if (result.flashDetectError) {
    frame_.PortOpen = false;
    openFailed_ = true;
    frame_.ShowIdleState();
    Report(LangGet("Err_Flash_Detect_Error"), "");
    return false;
  }
  if (result.code != kOk) {
    // The loader's speeds are known only now, and gone once the port is reopened.
    const std::string speeds = result.code == kErrSpeed ? OfferedSpeedsLine(opti_.Flash) : "";
    ConnectError(result.prefixKey, result.code, opti_.LoaderError(), speeds);
    return false;
  }
  frame_.FlashKnown = true;
  hint_ = result.summary.hint;
  frame_.FlashTypeText = result.summary.info.MakerName + " " + result.summary.info.ModelName;
  return true;
}

void ConnectDriver::ConnectError(const std::string& prefixKey, int code, const std::string& detail,
                                 const std::string& secondLine) {
  frame_.TimerRunning = false;
  failedStep_ = prefixKey;
  // The error line as the engine's error box words it, then what to check.
  std::string error = LangGet(prefixKey) + " " + EngineErrorDetail(code);
  if (code == kErrLoader && !detail.empty()) error += ": " + detail;
  const ConnectFailureFacts facts{prefixKey, code, PhoneTypeText(frame_.Family()),
                                  std::to_string(Speed()),
                                  IsOpti() ? opti_.LoadersFolder : e_.LoadersFolder};
  const std::string causes = ExplainFailures ? ConnectFailureHint(facts) : "";
  waiting_ = true;
  restarted_ = false;
  lastHeardMs_ = link_.clock().NowMs();
  ReinitializePort();
  frame_.ShowIdleState();
  Report(error,
         secondLine.empty() || causes.empty() ? secondLine + causes : secondLine + "\n" + causes);
}

void ConnectDriver::ConnectCancelled() {
  frame_.LogPhoneEvent("connect cancelled");
  frame_.TimerRunning = false;
  waiting_ = true;
  restarted_ = false;
  lastHeardMs_ = link_.clock().NowMs();
  ReinitializePort();
  frame_.ShowIdleState();
}

int ConnectDriver::Terminate() {
  return IsOpti() ? opti_.FinishConnection() : e_.ETerminate();
}

void ConnectDriver::Disconnect(bool showMessage) {
  frame_.TimerRunning = false;
  frame_.RouteEngine(link_, false);
  const int r = Terminate();
  if (r != kOk) ShowEngineError(frame_, LangGet("ErrC_Terminate"), r);
  frame_.LogPhoneEvent("disconnected");
  frame_.Connected = false;
  frame_.FlashKnown = false;
  frame_.FlashTypeText.clear();
  hint_.clear();
  ClosePort();
  ReinitializePort();
  if (showMessage && !frame_.settings().DisableDisconnectMessage())
    frame_.Information(LangGet("Msg_Phone_Disconnected"));
  frame_.ShowIdleState();
}

bool ConnectDriver::RequestClose() {
  if (frame_.Busy) return false;
  frame_.TimerRunning = false;
  frame_.RouteEngine(link_, false);
  if (frame_.Connected) {
    Terminate();
    frame_.LogPhoneEvent("disconnected");
    frame_.Connected = false;
  }
  if (frame_.PortOpen) ClosePort();
  frame_.ShowIdleState();
  return true;
}

bool ConnectDriver::TickUntilConnected(uint32_t timeoutMs, const std::function<bool()>& stop) {
  attempted_ = false;
  const uint64_t deadline = link_.clock().NowMs() + timeoutMs;
  while (link_.clock().NowMs() < deadline) {
    Tick();
    if (frame_.Connected) return true;
    if (attempted_ || (stop && stop())) return false;
    // A port that cannot be opened, or has gone, is not waited for.
    if (!frame_.PortOpen && (openFailed_ || portGone_)) return false;
    link_.clock().SleepMs(kTickMs);
  }
  return false;
}

std::string ConnectDriver::ConnectedText() const {
  std::string text;
  if (IsOpti()) {
    text = frame_.FlashTypeText;
    for (const std::string& line : FlashHintLines()) text += "; " + line;
  } else {
    const EFlashInfo& f = e_.FlashInfo;
    text = (f.Known ? frame_.FlashTypeText : LangGet("FType_Unknown")) + " (maker " +
           HexByte(f.MakerID) + ", device " + HexByte(f.DeviceID) + ")";
  }
  return text + ", " + std::to_string(Speed()) + " bit/s";
}

std::vector<std::string> ConnectDriver::FlashHintLines() const {
  std::vector<std::string> lines;
  std::string line;
  for (char c : hint_ + "\n") {
    if (c != '\n') {
      if (c != '\r') line += c;
    } else if (!line.empty()) {
      lines.push_back(std::move(line));
      line.clear();
    }
  }
  return lines;
}

std::string ConnectDriver::FlashHelpText() const {
  // What is known of a flash the tables do not list: the IDs it reported.
  if (!frame_.FlashKnown)
    return LangGet("FType_Unknown") + "\n" + LangGet("Warn_Unknown_Flash_1") + " " +
           HexByte(e_.FlashInfo.MakerID) + "/" + HexByte(e_.FlashInfo.DeviceID) + ".";
  std::string text;
  for (const std::string& line : FlashHintLines()) text += (text.empty() ? "" : "\n") + line;
  return text.empty() ? frame_.FlashTypeText : text;
}

}  // namespace brantle
