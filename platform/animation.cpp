// The fade keeps a ticking timer so the screen is redrawn while it runs, and a one-shot timer
// that settles every view still fading at its target.
#include "platform/animation.h"

namespace platform {

namespace {

constexpr double kRedrawInterval = 1.0 / 30;

}  // namespace

void AlphaAnimation::start(const std::vector<std::shared_ptr<View>>& views, float to,
                           double duration, std::function<void()> completion) {
  RunLoop& loop = RunLoop::current();
  const double now = loop.now();
  std::vector<std::weak_ptr<View>> fading;
  for (const auto& view : views) {
    if (!view) continue;
    view->alphaRamp_ = View::AlphaRamp{view->alpha(), to, now, duration};
    fading.push_back(view);
  }
  Layer::screenChanged();
  auto ticker = loop.scheduleTimer(
      kRedrawInterval, [] { Layer::screenChanged(); }, true);
  loop.scheduleTimer(
      duration,
      [fading, to, ticker, completion] {
        ticker->invalidate();
        for (const auto& weak : fading) {
          const auto view = weak.lock();
          if (view && view->alphaRamp_) view->setAlpha(to);
        }
        if (completion) completion();
      },
      false);
}

}  // namespace platform
