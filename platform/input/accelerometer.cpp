// Tilt from keyboard, mouse, finger, stick or motion sensors, sampled on the run loop's clock.
#include "platform/input/accelerometer.h"

#include <algorithm>

#include "platform/core/run_loop.h"
#include "platform/input/input_journal.h"

namespace platform {

void KeyboardTilt::settle(double now) {
  value_ = reading(now);
  since_ = now;
}

void KeyboardTilt::press(int direction, double now) {
  settle(now);
  (direction > 0 ? leftHeld_ : rightHeld_) = true;
}

void KeyboardTilt::release(int direction, double now) {
  settle(now);
  (direction > 0 ? leftHeld_ : rightHeld_) = false;
}

void KeyboardTilt::level(double now) {
  settle(now);
  value_ = 0;
}

double KeyboardTilt::reading(double now) const {
  const int direction = heldDirection();
  if (direction == 0) return value_;
  const double target = direction * kLimit;
  const double step = kRate * std::max(0.0, now - since_);
  return value_ < target ? std::min(target, value_ + step) : std::max(target, value_ - step);
}

bool KeyboardTilt::isActive(double now) const {
  return heldDirection() != 0 || reading(now) != 0;
}

double TiltSources::reading(double now) const {
  if (injected) return *injected;
  if (motion) return *motion;
  if (stick) return *stick;
  if (keyboard.isActive(now)) return keyboard.reading(now);
  if (device) return *device;
  if (touch) return *touch;
  return mouse.value_or(0);
}

Accelerometer& Accelerometer::shared() {
  static Accelerometer accelerometer;
  return accelerometer;
}

void Accelerometer::setDelegate(AccelerometerDelegate* delegate) {
  delegate_ = delegate;
  restart();
}

void Accelerometer::setUpdateInterval(double seconds) {
  updateInterval_ = seconds;
  restart();
}

Acceleration Accelerometer::sample(double now) const {
  return {0, sources_.reading(now), 0, now};
}

void Accelerometer::restart() {
  if (timer_) timer_->invalidate();
  timer_.reset();
  journaled_.reset();
  if (delegate_ && RunLoop::exists()) {
    timer_ = RunLoop::current().scheduleTimer(
        updateInterval_, [this] { deliver(); }, true);
  }
}

void Accelerometer::deliver() {
  if (!delegate_) return;
  const Acceleration reading = sample(RunLoop::current().now());
  // A replay holds each reading until the next, so only a change is journaled; the first since
  // the start always is, as the sources may have been reset while it was stopped.
  if (journaled_ != reading.y) {
    journaled_ = reading.y;
    journal(InputEntry::of(InputEntry::Kind::Tilt, reading.y));
  }
  delegate_->accelerometer(*this, reading);
}

}  // namespace platform
