#pragma once
// Faults a virtual phone puts into the payload of its next read: data that trickles
// in pieces with pauses, or a line unplugged part way. Set from any thread; the next
// read takes them.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "sim/pty.h"

namespace brantle::sim {

class ReadFaults {
 public:
  void Trickle(uint32_t pieceSize, uint32_t pauseMs);
  void UnplugAfter(uint32_t bytes);

  // Sends n bytes through send() with what is pending. A read shorter than the
  // unplug point loses the line after its payload. False when the line is gone.
  bool SendPayload(PtyLine& line, const uint8_t* data, uint32_t n, int stallMs,
                   const std::function<bool(const uint8_t*, size_t)>& send);

 private:
  std::mutex mutex_;
  uint32_t piece_ = 0;  // 0: no trickle pending
  uint32_t pauseMs_ = 0;
  std::atomic<int64_t> unplugAfter_{-1};
};

}  // namespace brantle::sim
