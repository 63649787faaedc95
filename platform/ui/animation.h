// One timed alpha animation: views fade linearly from their alpha now to a target over a
// duration, timed by the run loop's clock (so a replay's fades are exact), the screen redrawn
// while they run. Setting a view's alpha during the fade ends its part at that value.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/core/run_loop.h"
#include "platform/screen/view.h"

namespace platform {

class AlphaAnimation {
 public:
  // Starts the fade; `completion` runs once it is over.
  static void start(const std::vector<std::shared_ptr<View>>& views, float to, double duration,
                    std::function<void()> completion = {});
};

}  // namespace platform
