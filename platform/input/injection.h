// Input and notices fed to the run loop as timed events, for tests and replays. They take the
// same roads as the devices' own.
#pragma once

#include "platform/core/geometry.h"
#include "platform/screen/touch.h"

namespace platform::inject {

// One phase of a touch at a window (portrait) point, with where it was at its previous event.
void touch(double at, long id, TouchPhase phase, Point location, Point previous);
// A tilt reading that overrides every device from then on.
void acceleration(double at, double y);
void resignActive(double at);
void becomeActive(double at);

}  // namespace platform::inject
