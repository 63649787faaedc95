// A phone's or tablet's own accelerometer, as a browser reports it, turned into the game's tilt:
// units of gravity along the landscape screen's left edge (left edge down reads positive).
#pragma once

#include <optional>

namespace platform {

// What the browser says: acceleration including gravity in m/s², in the device's own axes (x to
// the right of its natural, portrait screen, y to its top, z out of the screen).
struct MotionReading {
  double x = 0, y = 0, z = 0;
};

// Which way the browser's numbers point. The standard (and Chromium on Android) reports the
// force that holds the device up: a phone upright reads +9.8 on y. WebKit on iOS reports the pull
// of gravity itself, the other way round.
enum class MotionSign { HoldingForce, GravityPull };

// The tilt for a screen turned `screenAngle` degrees (0, 90, 180 or 270: the browser's screen
// orientation angle, the content turned against the device's rotation). Nothing for a reading of
// all zeros (a browser without a sensor sends that) or with a number missing.
std::optional<double> tiltFromMotion(const MotionReading& reading, int screenAngle,
                                     MotionSign sign);

#ifdef __EMSCRIPTEN__
// On a device held in the hands (a touch screen its main pointer), the browser's devicemotion
// events become the accelerometer's `device` source.
void listenToDeviceMotion();
#endif

}  // namespace platform
