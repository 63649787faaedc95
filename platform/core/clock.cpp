// The real clock reads the machine's monotonic time.
#include "platform/core/clock.h"

#include <chrono>

namespace platform {

double RealClock::now() const {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace platform
