// The run loop's two clocks: real time for play, virtual time for tests and replays. Game time
// comes only from here, never from the wall clock.
#pragma once

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Absolute time in seconds.
  virtual double now() const = 0;
};

// Monotonic time of the machine: immune to the wall clock being set.
class RealClock final : public Clock {
 public:
  double now() const override;
};

// Time that moves only when the run loop moves it to the next due event.
class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(double start = 0) : now_(start) {}
  double now() const override { return now_; }
  void advanceTo(double t) {
    if (t > now_) now_ = t;
  }

 private:
  double now_;
};

}  // namespace platform
