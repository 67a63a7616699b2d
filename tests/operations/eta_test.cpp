// The time-left line: when it is recomputed, counted down or left alone.

#include "operations/eta.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"

namespace brantle {
namespace {

TEST(EtaLine, Formats) {
  EXPECT_EQ(EtaLine(3729), "ETA: 01:02:09");
  EXPECT_EQ(EtaLine(0), "ETA: 00:00:00");
  EXPECT_EQ(EtaLine(99 * 3600 + 59 * 60 + 59), "ETA: 99:59:59");
  EXPECT_EQ(EtaLine(100 * 3600), "ETA: 00:00:00");
}

TEST(Eta, EstimatesAfterTwoSecondsAndCountsDownBetween) {
  test::FakeClock clock;
  Eta eta(clock);
  eta.Start();
  EXPECT_EQ(eta.Update(0, 100), "ETA: 00:00:00");  // nothing done yet
  clock.SleepMs(1999);
  EXPECT_EQ(eta.Update(10, 100), std::nullopt);  // too early to tell
  clock.SleepMs(1);
  // 25 % in 2 s: 8 s in all, 6 s left.
  EXPECT_EQ(eta.Update(25, 100), "ETA: 00:00:06");
  clock.SleepMs(799);
  EXPECT_EQ(eta.Update(30, 100), std::nullopt);  // within 800 ms of the estimate
  clock.SleepMs(1);
  EXPECT_EQ(eta.Update(30, 100), "ETA: 00:00:06");  // 0.8 s counts as no whole second
  clock.SleepMs(1700);
  EXPECT_EQ(eta.Update(40, 100), "ETA: 00:00:04");  // 2.5 s since: two seconds off
  clock.SleepMs(2500);
  // 5 s after the last estimate a new one: 7 s elapsed, 70 % done, 3 s left.
  EXPECT_EQ(eta.Update(70, 100), "ETA: 00:00:03");
  clock.SleepMs(4999);
  EXPECT_EQ(eta.Update(71, 100), "ETA: 00:00:00");  // counted down, never below zero
}

TEST(Eta, RoundsHalvesToEvenAndRestartsPerPhase) {
  test::FakeClock clock;
  Eta eta(clock);
  eta.Start();
  clock.SleepMs(2000);
  // 2000 ms for 4 of 9: 4.5 s in all, 2.5 s left, shown as 2.
  EXPECT_EQ(eta.Update(4, 9), "ETA: 00:00:02");
  eta.Start();  // a new phase estimates afresh once two seconds have passed
  clock.SleepMs(1000);
  EXPECT_EQ(eta.Update(50, 100), std::nullopt);
  clock.SleepMs(1000);
  EXPECT_EQ(eta.Update(50, 100), "ETA: 00:00:02");
}

}  // namespace
}  // namespace brantle
