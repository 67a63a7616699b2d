#pragma once
// The time-left line of an operation: an estimate from the progress made so far,
// recomputed at most every 5 seconds and counted down in whole seconds between.

#include <cstdint>
#include <optional>
#include <string>

#include "engine/clock.h"

namespace brantle {

class Eta {
 public:
  explicit Eta(Clock& clock) : clock_(clock) {}

  // A new phase of the progress bar begins.
  void Start();
  // The line for the bar's position and maximum, or nothing when the line stays as it
  // is (the first two seconds, and less than 800 ms after an estimate).
  std::optional<std::string> Update(int32_t position, int32_t max);

 private:
  Clock& clock_;
  uint32_t startTick_ = 0;
  uint32_t lastEstimateAt_ = kNoEstimate;
  double remainingSeconds_ = 0;
  static constexpr uint32_t kNoEstimate = 10000000;
};

// "ETA: hh:mm:ss"; anything from 100 hours up shows as zero.
std::string EtaLine(double seconds);

}  // namespace brantle
