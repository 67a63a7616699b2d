#include "operations/eta.h"

#include <cmath>
#include <cstdio>

namespace brantle {

void Eta::Start() {
  startTick_ = static_cast<uint32_t>(clock_.NowMs());
  lastEstimateAt_ = kNoEstimate;
}

std::optional<std::string> Eta::Update(int32_t position, int32_t max) {
  if (position == 0 || max == 0) return EtaLine(0);
  // Tick arithmetic wraps like the 32-bit counter it copies; right after Start the
  // difference to the "no estimate" mark is huge, which forces a full estimate.
  const uint32_t elapsed = static_cast<uint32_t>(clock_.NowMs()) - startTick_;
  const uint32_t sinceEstimate = elapsed - lastEstimateAt_;
  if (sinceEstimate < 800 || elapsed < 2000) return std::nullopt;
  double shown;
  if (sinceEstimate >= 5000) {
    lastEstimateAt_ = elapsed;
    const double e = elapsed;
    remainingSeconds_ = std::nearbyint((max * (e / position) - e) / 1000.0);  // halves to even
    shown = remainingSeconds_;
  } else {
    shown = remainingSeconds_ - sinceEstimate / 1000;
  }
  return EtaLine(shown < 0 ? 0 : shown);
}

std::string EtaLine(double seconds) {
  const long long total = static_cast<long long>(seconds);
  const long long hours = total / 3600;
  if (hours > 99 || total < 0) return "ETA: 00:00:00";
  char line[32];
  std::snprintf(line, sizeof line, "ETA: %02lld:%02lld:%02lld", hours, (total - 3600 * hours) / 60,
                total % 60);
  return line;
}

}  // namespace brantle
