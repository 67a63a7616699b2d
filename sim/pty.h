#pragma once
// The phone's end of a pseudo-terminal: the master side, seen as a serial line.
// Bytes can be paced at the line's speed in both directions, and every wait ends
// on its timeout or when RequestStop() is called from another thread.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brantle::sim {

class PtyLine {
 public:
  using Clock = std::chrono::steady_clock;

  enum class Io {
    kOk,
    kTimeout,  // nothing moved for the whole timeout
    kStopped,  // RequestStop() was called
    kGone,     // the line was unplugged
  };

  PtyLine() = default;
  ~PtyLine();
  PtyLine(const PtyLine&) = delete;
  PtyLine& operator=(const PtyLine&) = delete;

  // Creates the pair. The slave is opened here once, put in raw mode and kept open
  // until Close(), so that the PC can close and reopen it without the master seeing
  // a hang-up.
  bool Open(std::string& error);
  void Close();
  const std::string& Path() const { return path_; }

  // Closes both ends once the PC has taken what was sent (or after drainTimeoutMs):
  // the PC then sees the line end; later I/O here returns kGone.
  void Unplug(int drainTimeoutMs);

  // Thread-safe; wakes every present and future wait.
  void RequestStop();
  bool StopRequested() const { return stop_.load(); }

  // Line settings, used for pacing: bits per byte are 10 without parity, 11 with.
  void SetLine(uint32_t baud, bool parity);
  void SetPacing(bool on) { pace_.store(on); }  // thread-safe

  // Exactly n bytes; the timeout applies to the gap between bytes, below 0 waits forever.
  Io Read(uint8_t* dst, size_t n, int idleTimeoutMs);
  Io ReadByte(uint8_t& b, int idleTimeoutMs) { return Read(&b, 1, idleTimeoutMs); }
  // Consumes n bytes without keeping them.
  Io Skip(size_t n, int idleTimeoutMs);
  // Consumes everything until the line has been quiet for quietMs.
  Io DrainUntilQuiet(int quietMs);
  // Drops input already received but not yet consumed.
  void DropBuffered();

  // Sends all bytes; kTimeout when the PC took nothing for stallTimeoutMs (the rest
  // is then lost, as on a line nobody listens to).
  Io Write(const uint8_t* src, size_t n, int stallTimeoutMs);
  Io Write(const std::vector<uint8_t>& bytes, int stallTimeoutMs) {
    return Write(bytes.data(), bytes.size(), stallTimeoutMs);
  }
  // Never blocks: a byte that does not fit into the buffer is dropped.
  void WriteOrDrop(uint8_t b);

  // Waits; kStopped when a stop is requested meanwhile.
  Io SleepFor(std::chrono::nanoseconds duration);

 private:
  Io SleepUntil(Clock::time_point when);
  Io Fill(int idleTimeoutMs);
  Io WaitReadable(Clock::time_point deadline, bool noDeadline);
  Io WriteSome(const uint8_t* src, size_t n, int stallTimeoutMs);
  std::chrono::nanoseconds LineTime(size_t bytes) const;
  size_t PaceChunk() const;

  int master_ = -1;
  int slave_ = -1;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::string path_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> pace_{false};
  uint32_t baud_ = 38400;
  uint32_t bitsPerByte_ = 11;
  Clock::time_point inBusyUntil_{};
  Clock::time_point outBusyUntil_{};
  std::vector<uint8_t> rx_;
  size_t rxPos_ = 0;
};

}  // namespace brantle::sim
