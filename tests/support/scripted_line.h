#pragma once
// An in-memory serial line for byte-exact tests. It records everything the
// program writes and every line-control call, and hands out bytes that a test
// queued or that its responder queues in answer to what was written. Ports made
// by Factory() all share the line, as a reopened real port shares the cable.

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/serial_port.h"

namespace brantle::test {

std::string Bytes(std::initializer_list<uint8_t> list);
std::string Hex(const std::string& bytes);  // "E6 00 01" for test messages

class ScriptedLine {
 public:
  // With a clock, bytes queued with QueueAt become readable only at their time.
  explicit ScriptedLine(Clock* clock = nullptr) : clock_(clock) {}

  PortFactory Factory();

  void Queue(const std::string& bytes) { QueueAt(0, bytes); }
  void QueueAt(uint64_t timeMs, const std::string& bytes);

  // Called with every chunk the program writes (after it is recorded).
  std::function<void(ScriptedLine&, const std::string&)> onWrite;

  bool failOpen = false;
  bool pseudoTerminal = true;

  std::string Written() const;
  std::vector<std::string> WriteChunks() const;  // one entry per Write call
  std::vector<std::string> Events() const;       // "open P", "line 38400 2", "rts", ...
  int ReadCalls() const;
  void ClearWritten();

  // Used by the ports.
  bool Open(const std::string& path);
  void Event(const std::string& e);
  size_t Read(uint8_t* buf, size_t max);
  void Write(const uint8_t* buf, size_t len);
  void PurgeInput();

 private:
  struct Pending {
    uint64_t at;
    uint8_t byte;
  };
  Clock* clock_;
  mutable std::recursive_mutex mutex_;
  std::deque<Pending> incoming_;
  std::string written_;
  std::vector<std::string> chunks_;
  std::vector<std::string> events_;
  int readCalls_ = 0;
};

}  // namespace brantle::test
