// Classic and smooth pictures of the scene.
#include "gl/scene_presenter.h"

// Down when a tenth of a window's refreshes came half a refresh late or more; up when all but
// one of a window's pictures were painted and presented in under half a refresh, which leaves
// the other half for putting them on screen.
bool PictureRate::refresh(double lag, double interval) {
  const long refresh = refreshes_++;
  late_ += lag >= interval / 2;
  if (refresh % kWindow == kWindow - 1) {
    if (stride_ == 1 && late_ * 10 >= kWindow) {
      stride_ = 2;
    } else if (stride_ == 2 && painted_ >= kWindow / 4 && slow_ <= 1) {
      stride_ = 1;
    }
    late_ = painted_ = slow_ = 0;
  }
  // A refresh a whole interval late would only be painted over at once.
  return (refresh + 1) % stride_ == 0 && lag < interval;
}

void PictureRate::painted(double seconds, double interval) {
  ++painted_;
  slow_ += seconds >= interval / 2;
}

void ScenePresenter::setPacing(Pacing pacing, double refreshRate) {
  stop();
  pacing_ = pacing;
  if (refreshRate > 0) refreshRate_ = refreshRate;
}

void ScenePresenter::start() {
  if (pacing_ != Pacing::Smooth || !platform::RunLoop::exists()) return;
  stop();
  // A present is placed by the time it was due on the loop's clock, so pictures step evenly
  // through the frames.
  rate_ = {};
  link_ = platform::RunLoop::current().scheduleRefreshTimer(1 / refreshRate_, [this] {
    platform::RunLoop& loop = platform::RunLoop::current();
    const double interval = 1 / refreshRate_, lag = loop.lag();
    if (!loop.turnedByRefreshes() && !rate_.refresh(lag, interval)) return;
    const long before = pictures_;
    present(loop.now());
    // The loop's lag grows by the real time the picture took.
    if (pictures_ != before) rate_.painted(loop.lag() - lag, interval);
  });
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
  if (!current_) return;
  if (!showing()) {
    // Nothing is painted, but the latest frame is what a repaint shows once the screen does.
    if (!currentShownWhole_) lastShown_ = current_->sprites;
    currentShownWhole_ = true;
    return;
  }
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
