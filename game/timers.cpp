// The timer table: five timers on the run loop, each started, restarted, stopped and asked
// about by id. Starting the frame timer also wakes the screen, the tilt and the smooth pictures;
// stopping it lets them rest.
#include "app/saltmere_app_delegate.h"

namespace {

bool isTimerId(int id) {
  return id >= 0 && id < kTimerCount;
}

}  // namespace

void SaltmereAppDelegate::initTimers() {
  const TimerEntry rows[kTimerCount] = {
      {nullptr, 0.05f, &SaltmereAppDelegate::renderSceneExpiration, true},
      {nullptr, 2.0f, &SaltmereAppDelegate::endGameTimerExpiration, false},
      {nullptr, 1.0f, &SaltmereAppDelegate::levelTimerExpiration, true},
      {nullptr, 1.0f, &SaltmereAppDelegate::roundTimerExpiration, true},
      {nullptr, 1.0f, &SaltmereAppDelegate::tutorialTimerExpiration, true},
  };
  for (int id = 0; id < kTimerCount; ++id) {
    timerArray[id].interval = rows[id].interval;
    timerArray[id].selector = rows[id].selector;
    timerArray[id].repeats = rows[id].repeats;
  }
}

// A running timer is replaced: it never fires twice in an interval, and its next firing is a
// full interval after the restart.
void SaltmereAppDelegate::startTimer(int id) {
  if (!isTimerId(id) || !timerArray[id].selector || !platform::RunLoop::exists()) return;
  TimerEntry& row = timerArray[id];
  if (row.timer) row.timer->invalidate();
  const auto selector = row.selector;
  row.timer = platform::RunLoop::current().scheduleTimer(
      static_cast<double>(row.interval), [this, selector] { (this->*selector)(); }, row.repeats);
  if (id == kRenderSceneTimer) {
    platform::Application::shared().setIdleTimerDisabled(true);
    startAccelerometer();
    _lastTime = platform::RunLoop::current().now();
    scenePresenter.start();
  }
}

void SaltmereAppDelegate::stopTimer(int id) {
  if (!isTimerId(id)) return;
  TimerEntry& row = timerArray[id];
  if (row.timer) {
    row.timer->invalidate();
    row.timer.reset();
  }
  if (id == kRenderSceneTimer) {
    platform::Application::shared().setIdleTimerDisabled(false);
    stopAccelerometer();
    scenePresenter.stop();
  }
}

// A one-shot timer that has fired still counts as active until it is stopped.
bool SaltmereAppDelegate::isActiveTimer(int id) const {
  return isTimerId(id) && timerArray[id].timer != nullptr;
}

void SaltmereAppDelegate::stopAllTimers() {
  for (int id = 0; id < kTimerCount; ++id) stopTimer(id);
}
