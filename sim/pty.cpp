#include "sim/pty.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace brantle::sim {
namespace {

// Unpaced reads take whatever is queued; the pty never holds much more than this.
constexpr size_t kRawChunk = 65536;

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

bool SetFlag(int fd, int getCmd, int setCmd, int flag) {
  const int flags = fcntl(fd, getCmd);
  return flags >= 0 && fcntl(fd, setCmd, flags | flag) == 0;
}

int MillisUntil(PtyLine::Clock::time_point deadline) {
  const auto left = deadline - PtyLine::Clock::now();
  if (left <= std::chrono::nanoseconds::zero()) return 0;
  // Rounded up, so that a wait never ends just before its deadline and spins.
  return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

}  // namespace

PtyLine::~PtyLine() {
  Close();
}

bool PtyLine::Open(std::string& error) {
  auto fail = [&](const char* what) {
    error = std::string(what) + ": " + std::strerror(errno);
    Close();
    return false;
  };
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0) return fail("cannot create a pseudo-terminal");
  if (grantpt(master_) != 0 || unlockpt(master_) != 0)
    return fail("cannot unlock the pseudo-terminal");
  char name[256];
  if (ptsname_r(master_, name, sizeof name) != 0) return fail("cannot name the pseudo-terminal");
  path_ = name;
  slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) return fail("cannot open the pseudo-terminal's slave");
  // Raw before the PC opens it: no echo of what the phone sends, no line editing.
  termios tio{};
  if (tcgetattr(slave_, &tio) != 0) return fail("cannot read the line settings");
  cfmakeraw(&tio);
  if (tcsetattr(slave_, TCSANOW, &tio) != 0) return fail("cannot set raw mode");
  if (!SetFlag(master_, F_GETFL, F_SETFL, O_NONBLOCK) ||
      !SetFlag(master_, F_GETFD, F_SETFD, FD_CLOEXEC)) {
    return fail("cannot configure the pseudo-terminal");
  }
  int wake[2];
  if (pipe2(wake, O_NONBLOCK | O_CLOEXEC) != 0) return fail("cannot create a pipe");
  wakeRead_ = wake[0];
  wakeWrite_ = wake[1];
  return true;
}

void PtyLine::Close() {
  CloseFd(master_);
  CloseFd(slave_);
  CloseFd(wakeRead_);
  CloseFd(wakeWrite_);
  rx_.clear();
  rxPos_ = 0;
}

void PtyLine::Unplug(int drainTimeoutMs) {
  // Closing the master hangs the slave up and throws away what the PC has not read
  // yet; a cable pulled out would still leave those bytes in the PC's buffer. A poll
  // of the slave first moves bytes still on their way into its input (a count of the
  // input alone misses them on a busy machine), so no input means the PC has all.
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(drainTimeoutMs);
  while (slave_ >= 0 && Clock::now() < deadline) {
    pollfd pending{slave_, POLLIN, 0};
    if (poll(&pending, 1, 0) <= 0 || !(pending.revents & POLLIN)) break;
    if (SleepFor(std::chrono::milliseconds(1)) != Io::kOk) break;
  }
  CloseFd(master_);
  CloseFd(slave_);
  rx_.clear();
  rxPos_ = 0;
}

void PtyLine::RequestStop() {
  stop_.store(true);
  // The pipe is never drained, so every later poll wakes at once as well.
  if (wakeWrite_ >= 0) {
    const char b = 1;
    [[maybe_unused]] const ssize_t ignored = write(wakeWrite_, &b, 1);
  }
}

void PtyLine::SetLine(uint32_t baud, bool parity) {
  baud_ = baud == 0 ? 1 : baud;
  bitsPerByte_ = parity ? 11 : 10;  // start, 8 data, [parity], stop
}

std::chrono::nanoseconds PtyLine::LineTime(size_t bytes) const {
  const uint64_t bits = static_cast<uint64_t>(bytes) * bitsPerByte_;
  return std::chrono::nanoseconds(bits * 1000000000ull / baud_);
}

size_t PtyLine::PaceChunk() const {
  // About 10 ms of line time: small enough to keep the schedule smooth, large
  // enough that the system calls cost nothing next to the line time.
  const size_t perTenMs = baud_ / bitsPerByte_ / 100;
  return std::clamp<size_t>(perTenMs, 64, 256);
}

PtyLine::Io PtyLine::SleepUntil(Clock::time_point when) {
  for (;;) {
    if (stop_.load()) return Io::kStopped;
    const auto left = when - Clock::now();
    if (left <= std::chrono::nanoseconds::zero()) return Io::kOk;
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    const timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    pollfd pfd{wakeRead_, POLLIN, 0};
    ppoll(&pfd, wakeRead_ >= 0 ? 1 : 0, &ts, nullptr);
  }
}

PtyLine::Io PtyLine::SleepFor(std::chrono::nanoseconds duration) {
  return SleepUntil(Clock::now() + duration);
}

PtyLine::Io PtyLine::WaitReadable(Clock::time_point deadline, bool noDeadline) {
  if (!noDeadline && Clock::now() >= deadline) return Io::kTimeout;
  pollfd pfds[2] = {{master_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
  const int rc = poll(pfds, 2, noDeadline ? -1 : MillisUntil(deadline));
  if (stop_.load()) return Io::kStopped;
  if (rc > 0 && (pfds[0].revents & (POLLHUP | POLLERR)) && !(pfds[0].revents & POLLIN)) {
    // No slave open at all: poll would report this at once forever, so do not spin.
    const auto step = std::chrono::milliseconds(10);
    return SleepUntil(noDeadline ? Clock::now() + step : std::min(deadline, Clock::now() + step));
  }
  return Io::kOk;
}

PtyLine::Io PtyLine::Fill(int idleTimeoutMs) {
  if (rxPos_ < rx_.size()) return Io::kOk;
  rx_.clear();
  rxPos_ = 0;
  const bool forever = idleTimeoutMs < 0;
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(forever ? 0 : idleTimeoutMs);
  for (;;) {
    if (stop_.load()) return Io::kStopped;
    if (master_ < 0) return Io::kGone;
    const bool pace = pace_.load();
    const size_t want = pace ? PaceChunk() : kRawChunk;
    rx_.resize(want);
    const ssize_t got = read(master_, rx_.data(), want);
    if (got > 0) {
      rx_.resize(static_cast<size_t>(got));
      if (!pace) return Io::kOk;
      // The bytes reached the pty at once, but on a wire they would still be arriving.
      const Clock::time_point start = std::max(Clock::now(), inBusyUntil_);
      inBusyUntil_ = start + LineTime(rx_.size());
      return SleepUntil(inBusyUntil_);
    }
    rx_.clear();
    if (got < 0 && errno == EINTR) continue;
    // EAGAIN: nothing queued. EIO: nobody has the slave open; cannot happen while
    // our own slave descriptor lives, but it must not end the phone either.
    const Io io = WaitReadable(deadline, forever);
    if (io != Io::kOk) return io;
  }
}

PtyLine::Io PtyLine::Read(uint8_t* dst, size_t n, int idleTimeoutMs) {
  size_t done = 0;
  while (done < n) {
    const Io io = Fill(idleTimeoutMs);
    if (io != Io::kOk) return io;
    const size_t k = std::min(n - done, rx_.size() - rxPos_);
    std::memcpy(dst + done, rx_.data() + rxPos_, k);
    rxPos_ += k;
    done += k;
  }
  return Io::kOk;
}

PtyLine::Io PtyLine::Skip(size_t n, int idleTimeoutMs) {
  while (n > 0) {
    const Io io = Fill(idleTimeoutMs);
    if (io != Io::kOk) return io;
    const size_t k = std::min(n, rx_.size() - rxPos_);
    rxPos_ += k;
    n -= k;
  }
  return Io::kOk;
}

PtyLine::Io PtyLine::DrainUntilQuiet(int quietMs) {
  for (;;) {
    const Io io = Fill(quietMs);
    if (io == Io::kTimeout) return Io::kOk;
    if (io != Io::kOk) return io;
    rxPos_ = rx_.size();
  }
}

void PtyLine::DropBuffered() {
  rx_.clear();
  rxPos_ = 0;
}

PtyLine::Io PtyLine::WriteSome(const uint8_t* src, size_t n, int stallTimeoutMs) {
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(stallTimeoutMs);
  size_t done = 0;
  while (done < n) {
    if (stop_.load()) return Io::kStopped;
    if (master_ < 0) return Io::kGone;
    const ssize_t put = write(master_, src + done, n - done);
    if (put > 0) {
      done += static_cast<size_t>(put);
      deadline = Clock::now() + std::chrono::milliseconds(stallTimeoutMs);
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno != EAGAIN) return Io::kTimeout;  // the bytes are lost
    if (Clock::now() >= deadline) return Io::kTimeout;
    pollfd pfds[2] = {{master_, POLLOUT, 0}, {wakeRead_, POLLIN, 0}};
    poll(pfds, 2, MillisUntil(deadline));
  }
  return Io::kOk;
}

PtyLine::Io PtyLine::Write(const uint8_t* src, size_t n, int stallTimeoutMs) {
  if (master_ < 0) return Io::kGone;
  if (!pace_.load()) return WriteSome(src, n, stallTimeoutMs);
  // An absolute schedule: sleeping until the ideal time of every chunk keeps the
  // rate exact however late each wake-up comes.
  const Clock::time_point start = std::max(Clock::now(), outBusyUntil_);
  const size_t chunk = PaceChunk();
  size_t sent = 0;
  while (sent < n) {
    const size_t k = std::min(chunk, n - sent);
    Io io = WriteSome(src + sent, k, stallTimeoutMs);
    if (io != Io::kOk) return io;
    sent += k;
    io = SleepUntil(start + LineTime(sent));
    if (io != Io::kOk) return io;
  }
  outBusyUntil_ = start + LineTime(n);
  return Io::kOk;
}

void PtyLine::WriteOrDrop(uint8_t b) {
  if (master_ < 0) return;
  [[maybe_unused]] const ssize_t ignored = write(master_, &b, 1);
}

}  // namespace brantle::sim
