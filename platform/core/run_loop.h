// The main thread's run loop: one at a time, it delivers timer firings, input events and
// application notices, and sleeps in between until something is due.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "platform/core/clock.h"

namespace platform {

class RunLoop;

// A repeating or one-shot timer on the run loop. The loop keeps it alive until it is invalidated;
// a one-shot timer invalidates itself when it has fired.
class Timer {
 public:
  void invalidate();
  bool isValid() const { return valid_; }
  double interval() const { return interval_; }
  bool repeats() const { return repeats_; }
  // When the timer fires next.
  double fireDate() const;

 private:
  friend class RunLoop;
  Timer(RunLoop& loop, double start, double interval, std::function<void()> target, bool repeats,
        uint64_t sequence);

  RunLoop* loop_;
  double start_;
  double interval_;
  std::function<void()> target_;
  bool repeats_;
  bool everyRefresh_ = false;  // fires once a turn of a loop the screen's refreshes turn
  uint64_t sequence_;          // breaks ties between timers due at the same moment
  uint64_t firings_ = 1;       // the timer is due at start_ + firings_ · interval_
  bool valid_ = true;
};

// Where input comes from while the loop waits: the desktop's window and devices.
class EventSource {
 public:
  virtual ~EventSource() = default;
  // Waits at most `timeout` seconds (infinity: until something arrives), then delivers what has
  // arrived, each event to its handler.
  virtual void waitAndDispatch(double timeout) = 0;
};

// The loop's clock is always virtual: it reads exactly the time a thing was due, never how late
// the loop got to it, so every handler sees the same times in a live game and in its replay.
// Unpaced, the clock jumps straight to whatever is due next (tests, replays). Paced, it follows
// the machine's clock: the loop waits until a thing is due by the pace, then delivers it at its
// due time; input arriving meanwhile is stamped with the paced time.
class RunLoop {
 public:
  static constexpr double kForever = std::numeric_limits<double>::infinity();
  // A paced loop further behind than this stops catching up: its pace is held back to the next
  // thing due, so the game waits for a busy machine instead of racing through what it missed.
  static constexpr double kMostBehind = 0.25;

  // The loop becomes the current one for as long as it lives.
  explicit RunLoop(VirtualClock& clock);
  ~RunLoop();
  RunLoop(const RunLoop&) = delete;
  RunLoop& operator=(const RunLoop&) = delete;

  // The loop that timers are scheduled on; there must be one.
  static RunLoop& current();
  static bool exists();

  double now() const { return clock_.now(); }

  // Paces the loop by `real` from now on, `rate` seconds of the loop's clock a real second
  // (0 stands the clock still; input still comes); null makes it jump again.
  void setPace(const Clock* real, double rate = 1);
  // A new rate from the clock's time on (set by a handler: from that handler's time).
  void setRate(double rate);
  // The time input that arrived `age` real seconds ago is delivered at: the paced time it arrived
  // at, never before the clock.
  double inputTime(double age = 0) const;
  // How far the clock is behind its pace (0 unpaced): a late loop's handlers can leave out
  // what only shows the present moment.
  double lag() const;

  // Fires `target` every `interval` seconds from now on (first firing one interval from now),
  // or once when `repeats` is false.
  std::shared_ptr<Timer> scheduleTimer(double interval, std::function<void()> target, bool repeats);
  // Fires `target` at every refresh of the screen, refreshes coming every `interval` seconds. A
  // loop the refreshes themselves turn (the browser's animation frames) fires it once a turn,
  // after what fell due, at the turn's paced time, however often the screen refreshes; any other
  // loop fires it as a repeating timer.
  std::shared_ptr<Timer> scheduleRefreshTimer(double interval, std::function<void()> target);
  // Each turn() is one refresh of the screen (true), or refresh timers keep their own times
  // (false, as at the start: a game played to a moment at once sees every refresh on its way).
  void setTurnedByRefreshes(bool turned) { turnedByRefreshes_ = turned; }
  bool turnedByRefreshes() const { return turnedByRefreshes_; }

  // Delivers `event` at absolute time `at`: injected input and notices for tests and replays.
  // An event is delivered before any timer due at the same moment.
  void post(double at, std::function<void()> event);

  void setEventSource(EventSource* source) { source_ = source; }
  // Runs after every burst of deliveries, before the loop waits: layout and compositing.
  void addBeforeWaitingObserver(std::function<void()> observer);

  // Delivers until stop(). Unpaced, it also returns once nothing is left to deliver.
  void run();
  // One turn of a paced loop without its wait: delivers what is due by the pace, then runs the
  // observers. Answers the real seconds until the next thing is due (kForever: only input can
  // come). A loop driven from outside, by the browser's animation frames, turns once a frame.
  double turn();
  // Delivers everything due up to `time` at once, paced or not, then sets the clock to `time`.
  void runUntil(double time);
  void stop() { stopped_ = true; }
  // Timers scheduled and not yet invalidated: a measure of timers leaked.
  size_t timerCount() const { return timers_.size(); }

 private:
  friend class Timer;
  struct Posted {
    double at;
    uint64_t sequence;
    std::function<void()> event;
  };

  // Delivers the earliest thing due at or before `limit`; false when nothing is.
  bool deliverNext(double limit);
  void afterDeliveries();
  double nextDue() const;
  std::shared_ptr<Timer> earliestTimer() const;
  // Fires the refresh timers of a loop the refreshes turn, at `time`; false when there are none.
  bool refresh(double time);
  void forget(Timer* timer);
  // The clock's time by the pace.
  double paced() const;
  // Restarts the pace at the clock's time `from`.
  void rebase(double from);
  void runPaced();

  VirtualClock& clock_;
  const Clock* pace_ = nullptr;
  double rate_ = 1;
  double paceStart_ = 0, clockStart_ = 0;  // the pace's real and clock times when it was set
  long rebases_ = 0;                       // how often the pace was set anew
  RunLoop* previous_;
  EventSource* source_ = nullptr;
  std::vector<std::shared_ptr<Timer>> timers_;
  std::vector<Posted> posted_;  // kept sorted by (at, sequence)
  std::vector<std::function<void()>> beforeWaiting_;
  uint64_t sequence_ = 0;
  bool stopped_ = false;
  bool turnedByRefreshes_ = false;
};

}  // namespace platform
