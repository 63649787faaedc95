// The fade keeps a ticking timer so the screen is redrawn while it runs, and a one-shot timer
// that settles every view still fading at its target.
#include "platform/ui/animation.h"

namespace platform {

namespace {

constexpr double kRedrawInterval = 1.0 / 30;
uint64_t sAnimations = 0;

}  // namespace

void AlphaAnimation::start(const std::vector<std::shared_ptr<View>>& views, float to,
                           double duration, std::function<void()> completion) {
  RunLoop& loop = RunLoop::current();
  const double now = loop.now();
  const uint64_t animation = ++sAnimations;
  std::vector<std::weak_ptr<View>> fading;
  for (const auto& view : views) {
    if (!view) continue;
    view->alphaRamp_ = View::AlphaRamp{view->alpha(), to, now, duration, animation};
    fading.push_back(view);
  }
  Layer::screenChanged();
  auto ticker = loop.scheduleTimer(
      kRedrawInterval, [] { Layer::screenChanged(); }, true);
  loop.scheduleTimer(
      duration,
      [fading, to, ticker, completion, animation] {
        ticker->invalidate();
        // A view that has since been set, or taken into a later fade, is not this fade's.
        for (const auto& weak : fading) {
          const auto view = weak.lock();
          if (view && view->alphaRamp_ && view->alphaRamp_->animation == animation) {
            view->setAlpha(to);
          }
        }
        if (completion) completion();
      },
      false);
}

}  // namespace platform
