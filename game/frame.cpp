// One frame while a game runs, twenty times a second: measure the time since the last one,
// move the world, judge the game and the level, draw (the background, the world, the present:
// at once, or at the screen's refresh when pictures are smooth). And the pause: a resign notice
// stops whatever runs and silences the music; become-active brings both back.
#include "app/saltmere_app_delegate.h"

namespace {

// A frame after a stall advances the world by a tenth of a second, not by the stall.
constexpr float kLongestFrame = 0.5f, kFrameAfterStall = 0.1f;

}  // namespace

void SaltmereAppDelegate::renderSceneExpiration() {
  const double now = platform::RunLoop::current().now();
  float dt = static_cast<float>(now - _lastTime);
  _lastTime = now;
  if (dt > kLongestFrame) dt = kFrameAfterStall;
  if (_state != kGameStateStopped) moveObjects(dt);
  if (_state == kGameStatePlaying) {
    if (isGameComplete()) {
      gameComplete();
    } else if (isLevelComplete()) {
      levelComplete();
    }
  }
  drawObjects(dt);
  scenePresenter.simulated(sceneFrame);
  if (frameEnded) frameEnded(dt);
}

// While the player's own pause is on (the resume button showing), the desktop's notices
// change nothing.
void SaltmereAppDelegate::applicationWillResignActive(platform::Application&) {
  writeSettingsNow();  // a volume still waiting to be written is not lost if the game is closed
  demoWindowAway(true);
  if (gamePlayButton && !gamePlayButton->isHidden()) return;
  resign.resignCount += 1;
  if (resign.resignCount != 1) return;
  resign.savedMusicMode = newMusicMode(0);
  for (int id = 0; id < kTimerCount; ++id) {
    resign.timerWasActive[id] = isActiveTimer(id);
    if (resign.timerWasActive[id]) stopTimer(id);
  }
}

void SaltmereAppDelegate::applicationDidBecomeActive(platform::Application&) {
  demoWindowAway(false);
  if (gamePlayButton && !gamePlayButton->isHidden()) return;
  if (resign.resignCount <= 0) return;
  resign.resignCount -= 1;
  for (int id = 0; id < kTimerCount; ++id) {
    if (resign.timerWasActive[id]) startTimer(id);
  }
  newMusicMode(resign.savedMusicMode);
}
