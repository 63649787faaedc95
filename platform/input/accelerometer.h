// The shared accelerometer: tilt readings from the desktop's devices, delivered to a delegate on
// the main run loop once per update interval.
#pragma once

#include <memory>
#include <optional>

namespace platform {

class Timer;

// In units of gravity. Only y tilts anything here: with the screen in landscape, y runs from the
// screen's right edge to its left, so a left-edge-down tilt reads positive.
struct Acceleration {
  double x = 0, y = 0, z = 0;
  double timestamp = 0;
};

class Accelerometer;

class AccelerometerDelegate {
 public:
  virtual ~AccelerometerDelegate() = default;
  virtual void accelerometer(Accelerometer& accelerometer, const Acceleration& acceleration) = 0;
};

// The keyboard's tilt: holding a steering key moves the reading towards ±0.5 at 1.0 per second,
// letting go keeps it, and levelling brings it back to 0.
class KeyboardTilt {
 public:
  static constexpr double kLimit = 0.5;
  static constexpr double kRate = 1.0;

  // direction +1 tilts the left edge down (Left/A), -1 the right edge (Right/D).
  void press(int direction, double now);
  void release(int direction, double now);
  void level(double now);
  double reading(double now) const;
  // Steering keys are held, or the reading is off level.
  bool isActive(double now) const;
  // Held steering direction: +1 left, -1 right, 0 none or both.
  int heldDirection() const { return (leftHeld_ ? 1 : 0) - (rightHeld_ ? 1 : 0); }

 private:
  void settle(double now);
  double value_ = 0;
  double since_ = 0;
  bool leftHeld_ = false, rightHeld_ = false;
};

// Every source of tilt there is. When several are active, the first in this order wins: injected
// readings, a controller's motion sensor, its left stick, the keyboard, the device's own motion
// sensor (a phone's, in the page), a finger on the steering strip, the mouse.
struct TiltSources {
  std::optional<double> injected;
  std::optional<double> motion;
  std::optional<double> stick;
  KeyboardTilt keyboard;
  std::optional<double> device;
  std::optional<double> touch;
  std::optional<double> mouse;

  double reading(double now) const;
};

class Accelerometer {
 public:
  static Accelerometer& shared();

  AccelerometerDelegate* delegate() const { return delegate_; }
  // While a delegate is set, it gets one sample per update interval on the main run loop.
  void setDelegate(AccelerometerDelegate* delegate);
  double updateInterval() const { return updateInterval_; }
  void setUpdateInterval(double seconds);

  TiltSources& sources() { return sources_; }
  Acceleration sample(double now) const;

 private:
  void restart();
  void deliver();

  AccelerometerDelegate* delegate_ = nullptr;
  double updateInterval_ = 0.1;
  std::shared_ptr<Timer> timer_;
  TiltSources sources_;
  // The reading journaled last since the accelerometer started.
  std::optional<double> journaled_;
};

}  // namespace platform
