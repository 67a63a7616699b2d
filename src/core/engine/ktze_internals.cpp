#include "engine/ktze_internals.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <shared_mutex>
#include <thread>

#include "engine/posix_serial_port.h"

namespace brantle {
namespace {

// Driver queue size; also the largest piece of any transfer.
constexpr size_t kPiece = 1024;
// No countdown is shown during the first second of a wait.
constexpr uint64_t kQuietMs = 1000;

}  // namespace

Link::Link(PortFactory factory, Clock& clock) : factory_(std::move(factory)), clock_(clock) {}
Link::Link() : Link(MakePosixSerialPort) {}
Link::~Link() {
  ClosePort();
}

void Link::SetTrace(std::shared_ptr<Tracer> tracer) {
  tracer_ = std::move(tracer);
}

void Link::TraceNote(const std::string& text) {
  if (tracer_) tracer_->Note(text);
}

void Link::Status(const std::string& text) {
  if (OnEngineStatus) OnEngineStatus(text);
}

void Link::Progress(int32_t delta) {
  if (OnEngineProgress) OnEngineProgress(delta);
}

bool Link::Abandoned() const {
  return Abandon && Abandon();
}

const std::string& Link::Resolve(const std::string& text, const std::string& fallback) const {
  return text == kDefaultText ? fallback : text;
}

int Link::OpenPort(uint32_t baud, uint8_t parity) {
  ClosePort();
  std::unique_ptr<SerialPort> port = factory_();
  if (tracer_) port = MakeTracingPort(std::move(port), tracer_);
  if (!port->Open(PortName)) return -1;
  if (!port->Configure(baud, parity)) {
    port->Close();
    return -1;
  }
  port->ClearBreak();
  port->PurgeInput();
  port->PurgeOutput();
  port_ = std::move(port);
  return 0;
}

void Link::ClosePort() {
  if (!port_) return;
  port_->Flush();
  port_->PurgeInput();
  port_->PurgeOutput();
  port_->Close();
  port_.reset();
}

bool Link::IsPseudoTerminal() const {
  return port_ && port_->IsPseudoTerminal();
}

void Link::ClearRts() {
  if (port_) port_->ClearRts();
}
void Link::ClearDtr() {
  if (port_) port_->ClearDtr();
}
void Link::PurgeInput() {
  if (port_) port_->PurgeInput();
}

void Link::ReportCountdown(const std::string& text, uint64_t deadline, uint64_t now) {
  // Seconds left, rounded half to even; nonsense (past the deadline) shows 0.
  double seconds =
      std::nearbyint((static_cast<double>(deadline) - static_cast<double>(now)) / 1000.0);
  if (seconds < 0 || seconds > 65536) seconds = 0;
  Status(text + ", " + Texts.TimeOut + " " + std::to_string(static_cast<long>(seconds)));
}

bool Link::ReadByte(uint8_t& b, const std::string& text, uint32_t timeoutMs) {
  const std::string& shown = Resolve(text, Texts.Waiting);
  const uint64_t start = clock_.NowMs();
  for (;;) {
    if (port_ && port_->Read(&b, 1) == 1) return true;
    if (Abandoned()) return false;
    const uint64_t now = clock_.NowMs();
    if (now - start > kQuietMs) ReportCountdown(shown, start + timeoutMs, now);
    clock_.SleepMs(1);
    if (clock_.NowMs() >= start + timeoutMs) return false;
  }
}

bool Link::ReadString(std::string& s, size_t n, uint32_t timeoutMs, const std::string& text) {
  const std::string& shown = Resolve(text, Texts.Waiting);
  s.assign(n, '\0');
  size_t received = 0;
  uint64_t activity = clock_.NowMs();
  while (received < n) {
    const size_t want = std::min(n - received, kPiece);
    const size_t got = port_ ? port_->Read(reinterpret_cast<uint8_t*>(&s[received]), want) : 0;
    if (got > 0) {
      activity = clock_.NowMs();
      received += got;
      continue;
    }
    const uint64_t now = clock_.NowMs();
    if (now >= activity + timeoutMs || Abandoned()) return false;
    if (now - activity > kQuietMs) ReportCountdown(shown, activity + timeoutMs, now);
    clock_.SleepMs(1);
  }
  return true;
}

void Link::WriteString(const std::string& s) {
  if (!port_ || s.empty()) return;
  port_->Write(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  port_->Flush();
}

void Link::WriteBlock(const uint8_t* buf, size_t len, const std::string& text) {
  const std::string& shown = Resolve(text, Texts.WritingData);
  for (size_t done = 0; done < len && !Abandoned();) {
    const size_t piece = std::min(len - done, kPiece);
    if (port_) {
      port_->Write(buf + done, piece);
      port_->Flush();
    }
    done += piece;
    Progress(static_cast<int32_t>(piece));
    Status(shown);
  }
}

// The receive worker: fills the buffer piece by piece while the calling thread
// keeps reporting progress and pumping the window.
bool Link::ReadBlock(uint8_t* buf, size_t len, uint32_t timeoutMs, const std::string& text) {
  const std::string& shown = Resolve(text, Texts.ReadingData);
  std::shared_mutex lock;  // guards received: one writer (worker), readers (us)
  size_t received = 0;
  std::atomic<bool> finished{false};
  std::atomic<bool> success{false};
  std::mutex doneMutex;  // with done: wakes us the moment the worker ends
  std::condition_variable done;
  SerialPort* port = port_.get();
  Clock& clock = clock_;

  std::thread worker([&] {
    uint64_t activity = clock.NowMs();
    size_t got_total = 0;
    for (;;) {
      if (got_total == len) {
        success = true;
        break;
      }
      const size_t want = std::min(len - got_total, kPiece);
      const size_t got = port ? port->Read(buf + got_total, want) : 0;
      if (got > 0) {
        activity = clock.NowMs();
        got_total += got;
        std::unique_lock<std::shared_mutex> write(lock);
        received = got_total;
        continue;
      }
      if (clock.NowMs() >= activity + timeoutMs) break;
      clock.SleepMs(1);
    }
    std::lock_guard<std::mutex> guard(doneMutex);
    finished = true;
    done.notify_one();
  });

  size_t reported = 0;
  auto report = [&] {
    size_t now;
    {
      std::shared_lock<std::shared_mutex> read(lock);
      now = received;
    }
    // A zero delta would read as "new operation" to a resetting progress bar.
    if (now != reported) Progress(static_cast<int32_t>(now - reported));
    reported = now;
  };
  // At least one round, so the status line names the transfer however fast it was;
  // then a report at least every 20 ms until the worker is done.
  do {
    report();
    Status(shown);
    std::unique_lock<std::mutex> wait(doneMutex);
    done.wait_for(wait, std::chrono::milliseconds(20), [&] { return finished.load(); });
  } while (!finished);
  worker.join();
  report();
  return success;
}

}  // namespace brantle
