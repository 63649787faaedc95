// The player's two controls: tilt, smoothed into the crab's steering, and the end of a touch,
// which throws whatever the claws hold sideways along the finger's last movement (or, with no
// game on, dismisses the game-over screen).
#include "app/achievements.h"
#include "app/saltmere_app_delegate.h"

namespace {

constexpr double kTiltInterval = 0.04;  // 25 readings a second
// Each reading moves the filtered tilt 8 % of the way towards it.
constexpr double kTiltSmoothing = 0.08;
constexpr float kThrowSpin = 300;
constexpr float kClawOpenAfterThrow = 1;

}  // namespace

void SaltmereAppDelegate::startAccelerometer() {
  platform::Accelerometer& accelerometer = platform::Accelerometer::shared();
  accelerometer.setDelegate(this);
  accelerometer.setUpdateInterval(kTiltInterval);
}

void SaltmereAppDelegate::stopAccelerometer() {
  platform::Accelerometer::shared().setDelegate(nullptr);
}

void SaltmereAppDelegate::accelerometer(platform::Accelerometer&,
                                        const platform::Acceleration& acceleration) {
  _accelerometer = kTiltSmoothing * acceleration.y + (1 - kTiltSmoothing) * _accelerometer;
}

void SaltmereAppDelegate::handleTap(const platform::TouchSet& touches) {
  if (touches.empty()) return;
  const platform::Touch& touch = *touches.front();
  if (_state != kGameStateStopped) {
    // The window keeps the device's portrait axes: a growing window y is a movement to the
    // right on the game's screen.
    const float sideways = kThrowSideways * (touch.locationInView(nullptr).y -
                                             touch.previousLocationInView(nullptr).y);
    int tires = 0, woks = 0;
    for (Claw& claw : nerin.claw) {
      const int d = claw.holdingTrash;
      if (d < 0 || d >= kMaxTrash) continue;
      countAchievement(kCountThrow);
      Trash& piece = trash[d];
      piece.velocity = {sideways, -kThrowRise};
      piece.rotationVelocity = kThrowSpin;
      piece.state = TrashStateThrown;
      if (piece.type == kTextureTrash03) {
        countAchievement(kCountTireThrown);
        ++tires;
      }
      if (piece.type == kTextureTrash01) {
        ++woks;
      } else if (piece.type == kTextureStar) {
        countAchievement(kCountStarThrown);
      }
      // The claw stays open a second, then the idle rule closes it with a snap.
      claw.holdingTrash = -1;
      claw.timer = kClawOpenAfterThrow;
      claw.type = kTextureClawOpen;
    }
    if (tires == 2) newAchievement(kAchievementTireTosser);
    if (woks == 2) newAchievement(kAchievementWokToss);
    return;
  }
  // The game-over screen ignores touches until the end-of-game timer has run out.
  if (blackView && !blackView->isHidden()) {
    if (isActiveTimer(kEndGameTimer)) return;
    displayMenu(blackView.get(), true);
    displayMenu(mainMenuView.get(), false);
  }
  if (tutorialMenuView && !tutorialMenuView->isHidden()) tutorialScene(true);
}
