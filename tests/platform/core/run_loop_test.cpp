// Timers and injected events on the virtual clock, and a paced loop that is late.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/run_loop.h"

using platform::Clock;
using platform::RunLoop;
using platform::Timer;
using platform::VirtualClock;

namespace {

// A clock the test sets by hand, which the loop takes as the machine's.
class HandClock : public Clock {
 public:
  double now() const override { return t; }
  double t = 0;
};

// Waiting moves the hand clock on by the time asked for (and a microsecond, as any wait takes)
// plus `late`: a busy machine.
class LateWaits : public platform::EventSource {
 public:
  LateWaits(HandClock& clock, RunLoop& loop) : clock_(clock), loop_(loop) {
    loop_.setEventSource(this);
  }
  ~LateWaits() override { loop_.setEventSource(nullptr); }
  void waitAndDispatch(double timeout) override {
    clock_.t += std::min(timeout, 10.0) + 1e-6 + late;
    if (arrival) loop_.post(loop_.inputTime(), arrival);
  }
  double late = 0;
  std::function<void()> arrival;

 private:
  HandClock& clock_;
  RunLoop& loop_;
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

// However late the loop gets to a firing, its handler reads the firing's own time; input is
// stamped with the time it arrived by the pace, after everything that fell due before it.
TEST(RunLoopTest, LatePacedLoopDeliversEveryFiringAtItsOwnTime) {
  VirtualClock clock(0);
  RunLoop loop(clock);
  HandClock machine;
  machine.t = 500;
  LateWaits waits(machine, loop);
  waits.late = 0.13;  // well over two intervals, under the most a loop catches up
  std::vector<double> firings, inputs;
  waits.arrival = [&] { inputs.push_back(loop.now()); };
  auto timer = loop.scheduleTimer(
      0.05,
      [&] {
        firings.push_back(loop.now());
        if (firings.size() == 40) loop.stop();
      },
      true);
  loop.setPace(&machine);
  loop.run();
  ASSERT_EQ(firings.size(), 40u);
  for (size_t k = 0; k < firings.size(); ++k) {
    EXPECT_EQ(firings[k], static_cast<double>(k + 1) * 0.05) << "firing " << k;
  }
  ASSERT_FALSE(inputs.empty());
  for (size_t k = 1; k < inputs.size(); ++k) EXPECT_GT(inputs[k], inputs[k - 1]);
  EXPECT_GT(loop.lag(), 0.0);
  EXPECT_LE(loop.lag(), RunLoop::kMostBehind);
}

// A machine that stalls for two seconds does not make the loop race through forty frames: the
// pace is held back, the frames come on at their own rate, each at its own time.
TEST(RunLoopTest, PacedLoopFarBehindWaitsInsteadOfRacing) {
  VirtualClock clock(0);
  RunLoop loop(clock);
  HandClock machine;
  LateWaits waits(machine, loop);
  std::vector<double> firings, machineTimes;
  auto timer = loop.scheduleTimer(
      0.05,
      [&] {
        firings.push_back(loop.now());
        machineTimes.push_back(machine.t);
        if (firings.size() == 1) waits.late = 2.0;
        if (firings.size() == 2) waits.late = 0;
        if (firings.size() == 6) loop.stop();
      },
      true);
  loop.setPace(&machine);
  loop.run();
  ASSERT_EQ(firings.size(), 6u);
  for (size_t k = 0; k < firings.size(); ++k) {
    EXPECT_EQ(firings[k], static_cast<double>(k + 1) * 0.05);
  }
  // After the stall, one frame at once, then one every 0.05 s of the machine's time.
  for (size_t k = 2; k < machineTimes.size(); ++k) {
    EXPECT_NEAR(machineTimes[k] - machineTimes[k - 1], 0.05, 1e-5) << "firing " << k;
  }
}

TEST(RunLoopTest, PaceRateSpeedsStopsAndResumesTheClock) {
  VirtualClock clock(0);
  RunLoop loop(clock);
  HandClock machine;
  loop.setPace(&machine, 2);
  machine.t = 1;
  EXPECT_DOUBLE_EQ(loop.inputTime(), 2);
  // Input that waited a quarter of a real second came half a second of the clock ago.
  EXPECT_DOUBLE_EQ(loop.inputTime(0.25), 1.5);
  loop.runUntil(2);
  loop.setRate(0);
  machine.t = 5;
  EXPECT_DOUBLE_EQ(loop.inputTime(), 2);
  EXPECT_DOUBLE_EQ(loop.inputTime(1), 2);
  loop.setRate(1);
  machine.t = 6;
  EXPECT_DOUBLE_EQ(loop.inputTime(), 3);
  // Never before what the clock has delivered.
  EXPECT_DOUBLE_EQ(loop.inputTime(0.5), 2.5);
  EXPECT_DOUBLE_EQ(loop.inputTime(5), 2);
  // A run ahead of the pace (a watcher skipping forward) moves the pace along with it.
  loop.runUntil(10);
  EXPECT_DOUBLE_EQ(loop.inputTime(), 10);
  EXPECT_DOUBLE_EQ(loop.lag(), 0);
}

// A watcher pausing at the end of its script, in the middle of a burst at eight times the speed:
// the clock stays at the end, and no frame past it is delivered.
TEST(RunLoopTest, AClockStoodStillByAHandlerStaysAtThatHandlersTime) {
  VirtualClock clock(2.9375);
  RunLoop loop(clock);
  HandClock machine;
  loop.setPace(&machine, 8);
  std::vector<double> frames;
  const auto timer = loop.scheduleTimer(
      0.0625, [&] { frames.push_back(loop.now()); }, true);
  loop.post(3, [&loop] { loop.setRate(0); });
  machine.t = 0.0325;  // the clock's pace is at 3.1975: frames up to 3.1875 are due
  loop.run();          // stood still, with nothing else to wait for: it returns
  EXPECT_EQ(frames, std::vector<double>{3});
  EXPECT_EQ(loop.now(), 3);
  EXPECT_EQ(loop.inputTime(), 3);
  timer->invalidate();
}

// A browser's animation frames turn the page's loop, at 30, 60 or 120 a second or unevenly:
// every turn gets one refresh, after the frames that fell due and at the turn's paced time.
// Elsewhere the same refresh timer keeps to its interval.
TEST(RunLoopTest, ALoopTurnedByRefreshesRefreshesOnceATurnAfterWhatFellDue) {
  VirtualClock clock(0);
  RunLoop loop(clock);
  HandClock machine;
  loop.setPace(&machine);
  loop.setTurnedByRefreshes(true);
  std::vector<std::string> events;
  const auto frames = loop.scheduleTimer(
      1.0 / 30, [&] { events.push_back("frame " + std::to_string(loop.now())); }, true);
  const auto refreshes = loop.scheduleRefreshTimer(
      1.0 / 60, [&] { events.push_back("refresh " + std::to_string(loop.now())); });
  for (const double t : {1.0 / 120, 2.0 / 120, 0.05, 0.1}) {
    machine.t = t;
    loop.turn();
  }
  EXPECT_EQ(events, (std::vector<std::string>{"refresh " + std::to_string(1.0 / 120),
                                              "refresh " + std::to_string(2.0 / 120),
                                              "frame " + std::to_string(1.0 / 30),
                                              "refresh " + std::to_string(0.05),
                                              "frame " + std::to_string(2.0 / 30),
                                              "frame " + std::to_string(3.0 / 30),
                                              "refresh " + std::to_string(0.1)}));
  // Refreshes alone are never a reason to wake: the next thing due is the frame.
  refreshes->invalidate();
  EXPECT_NEAR(loop.turn(), 4.0 / 30 - 0.1, 1e-9);
  EXPECT_EQ(events.size(), 7u);
  frames->invalidate();
}

TEST(RunLoopTest, ARefreshTimerOfAnyOtherLoopKeepsToItsInterval) {
  VirtualClock clock(0);
  RunLoop loop(clock);
  std::vector<double> refreshes;
  const auto timer = loop.scheduleRefreshTimer(0.25, [&] { refreshes.push_back(loop.now()); });
  loop.runUntil(1);
  EXPECT_EQ(refreshes, (std::vector<double>{0.25, 0.5, 0.75, 1}));
  timer->invalidate();
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
