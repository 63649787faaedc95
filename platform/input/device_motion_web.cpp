// The page's motion sensor: devicemotion events, read in the axes of the screen as it is turned.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "platform/input/accelerometer.h"
#include "platform/input/device_motion.h"

namespace platform {

namespace {

EM_BOOL motion(int, const EmscriptenDeviceMotionEvent* event, void*) {
  // This emscripten never fills in the event's supportedFields: a reading that is missing comes
  // as zeros (null) or not numbers (undefined), which give no tilt.

  // The angle the content is turned by: the screen orientation's, else iOS's window.orientation.
  // Every browser on iOS and iPadOS is WebKit, and reports gravity's pull; the rest report the
  // force holding the device up, as the standard has it.
  // clang-format off
  const int angle = EM_ASM_INT({
    if (screen.orientation && typeof screen.orientation.angle === 'number') {
      return screen.orientation.angle;
    }
    return typeof window.orientation === 'number' ? window.orientation : 0;
  });
  static const bool gravityPull = EM_ASM_INT({
    return /iPhone|iPad|iPod/.test(navigator.userAgent) ||
           (navigator.platform === 'MacIntel' && navigator.maxTouchPoints > 1);
  });
  // clang-format on
  const std::optional<double> tilt =
      tiltFromMotion({event->accelerationIncludingGravityX, event->accelerationIncludingGravityY,
                      event->accelerationIncludingGravityZ},
                     angle, gravityPull ? MotionSign::GravityPull : MotionSign::HoldingForce);
  if (tilt) Accelerometer::shared().sources().device = tilt;
  return EM_FALSE;
}

}  // namespace

void listenToDeviceMotion() {
  const bool inHands = EM_ASM_INT({ return matchMedia('(pointer: coarse)').matches; });
  if (inHands) emscripten_set_devicemotion_callback(nullptr, EM_FALSE, motion);
}

}  // namespace platform
