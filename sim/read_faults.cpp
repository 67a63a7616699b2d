#include "sim/read_faults.h"

#include <algorithm>
#include <chrono>

namespace brantle::sim {

void ReadFaults::Trickle(uint32_t pieceSize, uint32_t pauseMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  piece_ = std::max<uint32_t>(1, pieceSize);
  pauseMs_ = pauseMs;
}

void ReadFaults::UnplugAfter(uint32_t bytes) {
  unplugAfter_.store(bytes);
}

bool ReadFaults::SendPayload(PtyLine& line, const uint8_t* data, uint32_t n, int stallMs,
                             const std::function<bool(const uint8_t*, size_t)>& send) {
  uint32_t piece = n;
  uint32_t pauseMs = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (piece_ != 0) {
      piece = piece_;
      pauseMs = pauseMs_;
    }
    piece_ = 0;
  }
  const int64_t unplugAt = unplugAfter_.exchange(-1);
  const bool unplug = unplugAt >= 0;
  const uint32_t stopAt = unplug ? static_cast<uint32_t>(std::min<int64_t>(unplugAt, n)) : n;
  for (uint32_t pos = 0; pos < stopAt;) {
    const uint32_t k = std::min(piece, stopAt - pos);
    if (!send(data + pos, k)) return false;
    pos += k;
    if (pos < stopAt && pauseMs > 0 &&
        line.SleepFor(std::chrono::milliseconds(pauseMs)) != PtyLine::Io::kOk)
      return false;
  }
  if (!unplug) return true;
  line.Unplug(stallMs);
  return false;
}

}  // namespace brantle::sim
