// Which kind of device the player used last, so that what the game tells them (its hints)
// speaks of that device, and changes when they pick up another.
#pragma once

#include <functional>

namespace platform {

enum class InputDevice { Mouse, Keyboard, Pad, Touch };

// The mouse until anything else is used.
InputDevice lastInputDevice();
// A device was used; the observer hears of it when that is a change.
void noteInputDevice(InputDevice device);
void setInputDeviceObserver(std::function<void(InputDevice)> observer);

}  // namespace platform
