#pragma once
// Brings a phone from "Disconnected" to "Ready" and back: the window's 50 ms connect
// timer polls the port for a phone in boot mode, runs the connect steps of its
// family when one answers, keeps an OptiFlash loader alive while connected, and
// ends the connection on request. Each Tick does at most one engine step sequence
// and nothing while an operation runs.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/ktze_flasher.h"
#include "engine/ktze_flasher_opti.h"
#include "engine/ktze_internals.h"
#include "engine/opti_connect.h"
#include "operations/operation_frame.h"

namespace brantle {

class ConnectDriver {
 public:
  // The link is the driver's: the engines and the workflows talk through it.
  ConnectDriver(OperationFrame& frame, Link& link);

  // The port to use (a device path) and the speed after the switch; taken from the
  // settings at construction and at every re-initialisation.
  std::string PortName() const;
  uint32_t Speed() const;
  // A front end that takes the speed as an option (any rate the line can do) sets
  // it here; 0 uses the window's speed setting.
  uint32_t FixedSpeed = 0;

  Link& link() { return link_; }
  EEngine& E() { return e_; }
  OptiEngine& Opti() { return opti_; }
  bool IsOpti() const { return frame_.Family().Family == "Opti"; }

  // Closes the port if open and opens it again for polling, for the family the
  // window shows (a port or family change, start-up, after a connect error).
  // Shows "Err_COM_Init_Fail" when it cannot be opened, with a second line naming
  // the port and the cause.
  void ReinitializePort();
  // The person picked another port or family: the setting is written, the port
  // reopened for it and the window refreshed.
  void ChangePort(const std::string& port);
  void ChangeFamily(int selectorIndex);
  // The connect timer's tick.
  void Tick();
  // Ticks every 50 ms until a phone is connected, a connect attempt ended,
  // timeoutMs passed or stop, when given, says so between ticks; for front ends
  // without a timer. True when connected.
  bool TickUntilConnected(uint32_t timeoutMs, const std::function<bool()>& stop = {});

  // "Disconnect phone": terminate, close, reopen for polling; the message box only
  // when showMessage and not disabled in the settings.
  void Disconnect(bool showMessage);
  // The window is closing: false (refused) while busy; otherwise the connection
  // ends and the port closes.
  bool RequestClose();

  // The OptiFlash chips of the flash-type help, a line each; none for the E families
  // and for a single chip, which the flash-type line names itself.
  std::vector<std::string> FlashHintLines() const;
  // What the flash-type help icon shows: those lines, or else the flash-type line;
  // for a flash the tables do not know, "Unidentified!!!" and the IDs it reported.
  std::string FlashHelpText() const;

  // Failed polls since the port was last re-initialised.
  int PollCount() const { return polls_; }
  // The message prefix key of the connect step that failed last ("ErrC_Init_Bootup",
  // ...); empty when the last connect attempt did not fail in a step.
  const std::string& FailedStep() const { return failedStep_; }

 private:
  void Connect();
  bool ConnectE();
  bool ConnectOpti();
  void ConnectError(const std::string& prefixKey, int code, const std::string& detail,
                    const std::string& secondLine = "");
  int Terminate();
  void ClosePort();

  OperationFrame& frame_;
  Link& link_;
  EEngine e_;
  OptiEngine opti_;
  OptiKeepAlive keepAlive_;
  int polls_ = 0;
  bool attempted_ = false;
  std::string hint_;  // the chips' lines, separated by LF CR as the summary makes them
  std::string failedStep_;
};

}  // namespace brantle
