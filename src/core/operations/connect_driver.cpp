#include "operations/connect_driver.h"

#include "engine/result_codes.h"
#include "engine/text_fields.h"
#include "files/port_diagnosis.h"
#include "lang/lang_get.h"

namespace brantle {
namespace {

// Polls in a row without a phone before the port is closed and opened again.
constexpr int kPollsBeforeReopen = 200;
constexpr uint32_t kTickMs = 50;

// What a speed the loader refused could have been.
std::string OfferedSpeedsLine(const OptiFlash& flash) {
  std::string list;
  for (size_t i = 0; i < flash.BaudList.size(); ++i) {
    if (i > 0) list += i + 1 == flash.BaudList.size() ? " and " : ", ";
    list += std::to_string(flash.BaudList[i]);
  }
  return list.empty() ? "" : "The phone's loader offers " + list + " bit/s.";
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
  const FamilyChoice& family = frame_.Family();
  const int r = family.Family == "Opti" ? opti_.OptiOpenPort(PortName(), family.OptiType)
                                        : e_.EInitPort(PortName(), family.Family);
  if (r != kOk) {
    // The box's own text first; the second line says which port and why.
    frame_.Error(LangGet("Err_COM_Init_Fail") + "\n" + DiagnosePort(PortName()));
    return;
  }
  frame_.PortOpen = true;
  frame_.TimerRunning = true;
}

void ConnectDriver::ChangePort(const std::string& port) {
  frame_.settings().SetComPort(port);
  ReinitializePort();
  frame_.ShowIdleState();
}

void ConnectDriver::ChangeFamily(int selectorIndex) {
  frame_.TimerRunning = false;
  if (frame_.PortOpen) ClosePort();
  frame_.SetFamily(frame_.settings().SetFamilyBySelectorIndex(selectorIndex));
  ReinitializePort();
  frame_.ShowIdleState();
  frame_.PumpMessages();
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
  frame_.TimerRunning = false;
  frame_.RouteEngineToPump(link_);
  const int r = IsOpti() ? opti_.WaitBootPrompt(1, 250) : e_.EWaitBoot(1, 250);
  if (r != kOk) {
    if (++polls_ > kPollsBeforeReopen) {
      polls_ = 0;
      ReinitializePort();
    }
    frame_.TimerRunning = true;
    return;
  }
  polls_ = 0;
  Connect();
}

void ConnectDriver::Connect() {
  attempted_ = true;
  failedStep_.clear();
  frame_.BeginOperation();
  frame_.ShowInitializing();
  if (!(IsOpti() ? ConnectOpti() : ConnectE())) return;
  frame_.Connected = true;
  frame_.TimerRunning = true;
  keepAlive_.Reset();
  frame_.ShowIdleState();
}

bool ConnectDriver::ConnectE() {
  frame_.RouteEngine(link_, false);
  const uint8_t w = frame_.settings().WaitStates();
  int r = e_.EBootCommand(w, w, w, w);
  if (r != kOk) return ConnectError("ErrC_Init_Bootup", r, ""), false;

  frame_.StartPhase(e_.Loader1Size);
  frame_.RouteEngine(link_, true);
  link_.OnEngineProgress = [this](int32_t d) { frame_.StepOrResetProgress(d); };
  r = e_.ESendLoader1();
  if (r != kOk) return ConnectError("ErrC_Init_Loader_1", r, e_.LoaderError()), false;

  frame_.RouteEngine(link_, false);
  r = e_.ESwitchSpeed(Speed());
  if (r != kOk) return ConnectError("ErrC_Init_Speed", r, ""), false;

  frame_.StartPhase(e_.Loader2Size);
  frame_.RouteEngine(link_, true);
  r = e_.ESendLoader2();
  if (r != kOk) return ConnectError("ErrC_Init_Loader_2", r, e_.LoaderError()), false;

  const EFlashInfo& flash = e_.FlashInfo;
  frame_.FlashKnown = flash.Known != 0;
  frame_.FlashTypeText = flash.MakerName + " " + flash.ModelName;
  if (!frame_.FlashKnown &&
      frame_.Message(MessageKind::Warning,
                     LangGet("Warn_Unknown_Flash_1") + " " + HexByte(flash.MakerID) + "/" +
                         HexByte(flash.DeviceID) + ". " + LangGet("Warn_Unknown_Flash_2"),
                     Buttons::YesNo) != Answer::Yes) {
    // The phone is connected as far as the engine knows: end that properly.
    frame_.Connected = true;
    Disconnect(true);
    return false;
  }
  return true;
}

bool ConnectDriver::ConnectOpti() {
  frame_.StartPhase(opti_.LoaderUploadBytes());
  frame_.RouteEngine(link_, true);
  link_.OnEngineProgress = [this](int32_t d) { frame_.StepOrResetProgress(d); };
  const OptiConnectResult result = RunOptiConnect(opti_, Speed(), LangGet("Status_Flashes"));
  if (result.flashDetectError) {
    frame_.PortOpen = false;
    frame_.Error(LangGet("Err_Flash_Detect_Error"));
    frame_.ShowIdleState();
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
  ShowEngineError(frame_, LangGet(prefixKey), code, code == kErrLoader ? detail : "", secondLine);
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
  frame_.Connected = false;
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
    link_.clock().SleepMs(kTickMs);
  }
  return false;
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
