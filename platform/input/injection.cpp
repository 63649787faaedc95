// Injected events are posted to the current run loop.
#include "platform/input/injection.h"

#include "platform/core/application.h"
#include "platform/core/run_loop.h"
#include "platform/input/accelerometer.h"

namespace platform::inject {

void touch(double at, long id, TouchPhase phase, Point location, Point previous) {
  RunLoop::current().post(at,
                          [=] { TouchRouter::shared().deliver(id, phase, location, previous); });
}

void acceleration(double at, double y) {
  RunLoop::current().post(at, [y] { Accelerometer::shared().sources().injected = y; });
}

void resignActive(double at) {
  RunLoop::current().post(at, [] { Application::shared().setActive(false); });
}

void becomeActive(double at) {
  RunLoop::current().post(at, [] { Application::shared().setActive(true); });
}

}  // namespace platform::inject
