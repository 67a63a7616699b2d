#pragma once
// Brings a phone from "Disconnected" to "Ready" and back: the window's 50 ms connect
// timer polls the port for a phone in boot mode, runs the connect steps of its
// family when one answers, keeps an OptiFlash loader alive while connected, and
// ends the connection on request. Each Tick does at most one engine step sequence
// and nothing while an operation runs.
//
// A connect that fails is not tried again on its own: the window waits for the
// person (a changed setting, "Connect again") or for the phone to be restarted
// (silent for a while, then in boot mode again). A port that disappears (an adapter
// unplugged) is watched for until it is back. The first failure of a kind is shown
// in a box, repeats only in the status line (ConnectFailures).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/ktze_flasher.h"
#include "engine/ktze_flasher_opti.h"
#include "engine/ktze_internals.h"
#include "engine/opti_connect.h"
#include "operations/connect_failures.h"
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
  // The first box of a failed connect names the likely causes in the window's words
  // (its Settings page, "Connect again"); a front end that tells them its own way
  // (the command line names its options) turns this off.
  bool ExplainFailures = true;

  Link& link() { return link_; }
  EEngine& E() { return e_; }
  OptiEngine& Opti() { return opti_; }
  bool IsOpti() const { return frame_.Family().Family == "Opti"; }

  // Closes the port if open and opens it again for polling, for the family the
  // window shows (a port or family change, start-up, after a connect error).
  // Shows "Err_COM_Init_Fail" when it cannot be opened, with a second line naming
  // the port and the cause (once; the same failure again goes to the status line).
  void ReinitializePort();
  // The person picked another port, family or speed: the setting is written, the
  // port reopened for it where that matters, and the next phone answering is
  // connected.
  void ChangePort(const std::string& port);
  void ChangeFamily(int selectorIndex);
  void ChangeSpeed(const std::string& speed);
  // "Connect again": the next phone answering is connected; a port that could not
  // be opened is tried again. The same failure again is only counted.
  void ConnectAgain();
  // The ports the system has changed (an adapter plugged in or out).
  void PortsChanged();

  // The connect timer's tick.
  void Tick();
  // Ticks every 50 ms until a phone is connected, a connect attempt ended,
  // timeoutMs passed or stop, when given, says so between ticks; for front ends
  // without a timer. True when connected.
  bool TickUntilConnected(uint32_t timeoutMs, const std::function<bool()>& stop = {});

  // A connect sequence runs (the window is "Initializing"); Cancel ends it.
  bool Connecting() const { return connecting_; }
  // A connect failed (or was cancelled) and the window waits for the person or for
  // the phone to be restarted before it tries again.
  bool WaitingForPerson() const { return waiting_; }
  // The port was there and has gone; polling resumes when it is back.
  bool PortGone() const { return portGone_; }

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
  // What the operation log says of a phone connected: its flash, chip IDs and speed.
  std::string ConnectedText() const;

  // Failed polls since the port was last re-initialised.
  int PollCount() const { return polls_; }
  // The message prefix key of the connect step that failed last ("ErrC_Init_Bootup",
  // ...); empty when the last connect attempt did not fail in a step.
  const std::string& FailedStep() const { return failedStep_; }
  const ConnectFailures& Failures() const { return failures_; }

 private:
  void Connect();
  bool ConnectE();
  bool ConnectOpti();
  // A connect step failed: the error (in a box the first time, with its likely
  // causes), the port reopened, the window waiting for the person.
  void ConnectError(const std::string& prefixKey, int code, const std::string& detail,
                    const std::string& secondLine = "");
  // The person cancelled the connect: the port is reopened, nothing else happens.
  void ConnectCancelled();
  // Polls with the port open; false when the port has gone meanwhile.
  void Poll();
  void PortVanished();
  // Tells a failure the first time in a box; keeps the status line up to date.
  void Report(const std::string& text, const std::string& causes);
  // Something changed: attempts may start at once, failures are told anew.
  void Rearm();
  void ShowNotice();
  int Terminate();
  void ClosePort();

  OperationFrame& frame_;
  Link& link_;
  EEngine e_;
  OptiEngine opti_;
  OptiKeepAlive keepAlive_;
  ConnectFailures failures_;
  int polls_ = 0;
  bool attempted_ = false;
  bool connecting_ = false;
  bool waiting_ = false;
  bool restarted_ = false;    // while waiting: the phone fell silent long enough
  uint64_t lastHeardMs_ = 0;  // while waiting: when the phone last sent its boot byte
  bool portGone_ = false;
  bool openFailed_ = false;  // the port exists but would not open
  std::string hint_;         // the chips' lines, separated by LF CR as the summary makes them
  std::string failedStep_;
};

}  // namespace brantle
