// The device's tilt from its motion reading: gravity seen along the screen's left edge.
#include "platform/input/device_motion.h"

#include <cmath>

namespace platform {

namespace {

constexpr double kStandardGravity = 9.80665;

}  // namespace

std::optional<double> tiltFromMotion(const MotionReading& reading, int screenAngle,
                                     MotionSign sign) {
  if (reading.x == 0 && reading.y == 0 && reading.z == 0) return std::nullopt;
  if (!std::isfinite(reading.x) || !std::isfinite(reading.y)) return std::nullopt;
  // Gravity's pull in the device's axes.
  const double pull = sign == MotionSign::GravityPull ? 1 : -1;
  const double gx = pull * reading.x / kStandardGravity, gy = pull * reading.y / kStandardGravity;
  // The screen's left edge, in the device's axes: its -x in portrait; turned 90 degrees (the
  // device's top to the left), its +y; and so on round.
  switch (((screenAngle % 360) + 360) % 360) {
    case 90:
      return gy;
    case 180:
      return gx;
    case 270:
      return -gy;
    default:
      return -gx;
  }
}

}  // namespace platform
