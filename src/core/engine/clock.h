#pragma once
// Millisecond tick counter and sleep, behind an interface so that tests can run
// every deadline of the link on a clock they drive themselves.

#include <cstdint>

namespace brantle {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint64_t NowMs() = 0;
  virtual void SleepMs(uint32_t ms) = 0;
};

// The real monotonic clock (steady_clock).
Clock& SystemClock();

}  // namespace brantle
