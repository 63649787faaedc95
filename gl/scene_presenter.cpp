// Classic and smooth pictures of the scene.
#include "gl/scene_presenter.h"

void ScenePresenter::setPacing(Pacing pacing, double refreshRate) {
  stop();
  pacing_ = pacing;
  if (refreshRate > 0) refreshRate_ = refreshRate;
}

void ScenePresenter::start() {
  if (pacing_ != Pacing::Smooth || !platform::RunLoop::exists()) return;
  stop();
  // A present is placed by the time it was due on the loop's clock, so pictures step evenly
  // through the frames. A loop catching up skips the presents it is late for: they would only
  // be painted over at once.
  link_ = platform::RunLoop::current().scheduleTimer(
      1 / refreshRate_,
      [this] {
        platform::RunLoop& loop = platform::RunLoop::current();
        if (loop.lag() < 1 / refreshRate_) present(loop.now());
      },
      true);
}

void ScenePresenter::stop() {
  if (link_) link_->invalidate();
  link_.reset();
  previous_.reset();
  current_.reset();
  lastFraction_ = -1;
}

void ScenePresenter::simulated(SceneFrame frame) {
  if (pacing_ == Pacing::Classic || !link_) {
    show(frame.sprites);
    return;
  }
  previous_ = std::move(current_);
  current_ = std::move(frame);
  currentShownWhole_ = false;
}

void ScenePresenter::present(double time) {
  if (!current_ || !showing()) return;
  const float fraction = previous_ ? presentFraction(previous_->time, current_->time, time) : 1.0f;
  // A frame running late leaves the picture at its last place: it is not painted again.
  if (fraction >= 1 && currentShownWhole_) return;
  currentShownWhole_ = fraction >= 1;
  lastFraction_ = fraction;
  show(previous_ ? spritesBetween(*previous_, *current_, fraction) : current_->sprites);
}

void ScenePresenter::repaint() {
  if (!lastShown_.empty() && paint) paint(lastShown_);
}

void ScenePresenter::show(const std::vector<SceneSprite>& sprites) {
  lastShown_ = sprites;
  if (!showing()) return;  // kept, for a repaint when the screen shows again
  ++pictures_;
  if (paint) paint(sprites);
}
