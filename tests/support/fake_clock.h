#pragma once
// A clock that only moves when someone sleeps on it: every deadline of the link
// can be tested without waiting for real time.

#include <atomic>

#include "engine/clock.h"

namespace brantle::test {

class FakeClock final : public Clock {
 public:
  uint64_t NowMs() override { return now_; }
  void SleepMs(uint32_t ms) override { now_ += ms; }

 private:
  std::atomic<uint64_t> now_{1000000};
};

}  // namespace brantle::test
