#pragma once
// The serial link: the only code that talks to the port. It sends strings and
// blocks and receives bytes, strings and large blocks under deadlines, reporting a
// status line (with a seconds countdown) and progress through two callbacks so the
// window stays alive during long transfers.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/clock.h"
#include "engine/serial_port.h"
#include "engine/status_texts.h"
#include "engine/trace.h"

namespace brantle {

using StatusCallback = std::function<void(const std::string&)>;
using ProgressCallback = std::function<void(int32_t)>;

// "`" as a status text means: the operation's own default text.
constexpr char kDefaultText[] = "`";

class Link {
 public:
  explicit Link(PortFactory factory, Clock& clock = SystemClock());
  Link();  // real serial lines, real time
  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  // Device path to open, e.g. /dev/ttyUSB0; set before OpenPort.
  std::string PortName;
  // Receive every status text / progress delta (0 at the start of an operation,
  // the negative length of a block about to be retried). Empty: ignored.
  StatusCallback OnEngineStatus;
  ProgressCallback OnEngineProgress;
  // Asked while a reply is awaited or a block goes out: true ends the wait or the
  // upload at once, as if the line had fallen silent (a connect attempt the person
  // cancelled). Empty: never.
  std::function<bool()> Abandon;
  EStatusTexts Texts;

  // Every port opened from now on is traced to tracer (nullptr: no trace).
  void SetTrace(std::shared_ptr<Tracer> tracer);
  // A line of the trace that is not a byte on the line (a connect that finished).
  void TraceNote(const std::string& text);

  // Opens PortName exclusively at baud, 8 data bits, parity (0 none, 2 even),
  // 1 stop bit. Returns 0, or -1 when the port cannot be opened or set up.
  int OpenPort(uint32_t baud, uint8_t parity);
  void ClosePort();
  bool IsOpen() const { return port_ != nullptr; }
  bool IsPseudoTerminal() const;

  bool ReadByte(uint8_t& b, const std::string& text, uint32_t timeoutMs);
  bool ReadString(std::string& s, size_t n, uint32_t timeoutMs, const std::string& text);
  void WriteString(const std::string& s);
  void WriteBlock(const uint8_t* buf, size_t len, const std::string& text);
  bool ReadBlock(uint8_t* buf, size_t len, uint32_t timeoutMs, const std::string& text);

  // Line control used by the connect steps.
  void ClearRts();
  void ClearDtr();
  void PurgeInput();

  Clock& clock() { return clock_; }
  void Status(const std::string& text);
  void Progress(int32_t delta);

 private:
  void ReportCountdown(const std::string& text, uint64_t deadline, uint64_t now);
  bool Abandoned() const;
  const std::string& Resolve(const std::string& text, const std::string& fallback) const;

  PortFactory factory_;
  Clock& clock_;
  std::unique_ptr<SerialPort> port_;
  std::shared_ptr<Tracer> tracer_;
};

}  // namespace brantle
