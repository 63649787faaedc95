// The last device used, and who is told when it changes.
#include "platform/input/input_device.h"

namespace platform {
namespace {

InputDevice sLast = InputDevice::Mouse;
std::function<void(InputDevice)> sObserver;

}  // namespace

InputDevice lastInputDevice() {
  return sLast;
}

void noteInputDevice(InputDevice device) {
  if (device == sLast) return;
  sLast = device;
  if (sObserver) sObserver(device);
}

void setInputDeviceObserver(std::function<void(InputDevice)> observer) {
  sObserver = std::move(observer);
}

}  // namespace platform
