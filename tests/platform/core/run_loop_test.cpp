// Timers and injected events on the virtual clock, and a late real loop skipping firings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/run_loop.h"

using platform::Clock;
using platform::RunLoop;
using platform::Timer;
using platform::VirtualClock;

namespace {

// A clock the test sets by hand, which the loop treats as real time.
class HandClock : public Clock {
 public:
  double now() const override { return t; }
  double t = 0;
};

}  // namespace

TEST(RunLoopTest, RepeatingTimerStaysOnItsGridOverTenThousandFirings) {
  VirtualClock clock(100);
  RunLoop loop(clock);
  std::vector<double> firings;
  auto timer = loop.scheduleTimer(
      0.05, [&] { firings.push_back(loop.now()); }, true);
  loop.runUntil(100 + 10000 * 0.05 + 0.01);
  ASSERT_EQ(firings.size(), 10000u);
  for (size_t k = 0; k < firings.size(); ++k) {
    ASSERT_DOUBLE_EQ(firings[k], 100 + (k + 1) * 0.05) << "firing " << k;
  }
  EXPECT_TRUE(timer->isValid());
}

TEST(RunLoopTest, OneShotTimerFiresOnceAndInvalidatesItself) {
  VirtualClock clock;
  RunLoop loop(clock);
  int fired = 0;
  auto timer = loop.scheduleTimer(
      2.0, [&] { ++fired; }, false);
  loop.runUntil(1.99);
  EXPECT_EQ(fired, 0);
  loop.runUntil(10);
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(timer->isValid());
}

TEST(RunLoopTest, InvalidationStopsATimerEvenFromItsOwnHandler) {
  VirtualClock clock;
  RunLoop loop(clock);
  int outside = 0, inside = 0;
  auto stopped = loop.scheduleTimer(
      1, [&] { ++outside; }, true);
  std::shared_ptr<Timer> self;
  self = loop.scheduleTimer(
      1,
      [&] {
        if (++inside == 3) self->invalidate();
      },
      true);
  loop.runUntil(2.5);
  stopped->invalidate();
  loop.runUntil(10);
  EXPECT_EQ(outside, 2);
  EXPECT_EQ(inside, 3);
  EXPECT_FALSE(stopped->isValid());
  EXPECT_FALSE(self->isValid());
}

TEST(RunLoopTest, TimerStartedInsideAnotherFiresAFullIntervalLater) {
  VirtualClock clock;
  RunLoop loop(clock);
  std::vector<double> inner;
  std::shared_ptr<Timer> innerTimer;
  auto outer = loop.scheduleTimer(
      0.3,
      [&] {
        innerTimer = loop.scheduleTimer(
            1, [&] { inner.push_back(loop.now()); }, false);
      },
      false);
  loop.runUntil(5);
  ASSERT_EQ(inner.size(), 1u);
  EXPECT_DOUBLE_EQ(inner[0], 1.3);
}

TEST(RunLoopTest, TiesGoToInjectedEventsFirstThenTimersInSchedulingOrder) {
  VirtualClock clock;
  RunLoop loop(clock);
  std::string order;
  auto a = loop.scheduleTimer(
      1, [&] { order += 'a'; }, true);
  auto b = loop.scheduleTimer(
      1, [&] { order += 'b'; }, true);
  loop.post(2, [&] { order += 'E'; });
  loop.post(1, [&] { order += 'e'; });
  loop.runUntil(2);
  EXPECT_EQ(order, "eabEab");
}

TEST(RunLoopTest, VirtualRunEndsWhenNothingIsLeftAndStopEndsIt) {
  VirtualClock clock;
  RunLoop loop(clock);
  int events = 0;
  loop.post(3, [&] { ++events; });
  loop.post(1, [&] { ++events; });
  loop.run();
  EXPECT_EQ(events, 2);
  EXPECT_DOUBLE_EQ(loop.now(), 3);

  auto forever = loop.scheduleTimer(
      1,
      [&] {
        if (++events == 5) loop.stop();
      },
      true);
  loop.run();
  EXPECT_EQ(events, 5);
}

TEST(RunLoopTest, LateRealLoopSkipsMissedFiringsInsteadOfBursting) {
  HandClock clock;
  RunLoop loop(clock);
  int fired = 0;
  auto timer = loop.scheduleTimer(
      0.05, [&] { ++fired; }, true);
  clock.t = 0.52;  // the loop was busy for ten intervals
  loop.runUntil(clock.t);
  EXPECT_EQ(fired, 1);
  EXPECT_DOUBLE_EQ(timer->fireDate(), 0.55);
}

TEST(RunLoopTest, TheNewestLoopIsCurrentUntilItGoes) {
  VirtualClock clock;
  RunLoop outer(clock);
  {
    RunLoop inner(clock);
    EXPECT_EQ(&RunLoop::current(), &inner);
  }
  EXPECT_EQ(&RunLoop::current(), &outer);
}
