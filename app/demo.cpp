// The demo: a main menu left alone for half a minute fades out and the built-in player shows
// what a game looks like. It is a guest: the records, achievements and settings it would earn
// are held in memory and dropped, and the first sign of the player hands the menu back.
#include "app/saltmere_app_delegate.h"
#include "platform/core/user_defaults.h"
#include "platform/input/accelerometer.h"
#include "platform/screen/display.h"
#include "platform/ui/animation.h"
#include "player/bot.h"

namespace {

// Seconds untouched on the main menu before the demo, of the menu's fade, and of the game over
// shown before the menu comes back.
constexpr double kDemoIdle = 30, kDemoFade = 1, kDemoGameOverShown = 5;

constexpr float kBannerSize = 18;
constexpr platform::Size kBannerBox = {120, 26};
constexpr platform::Point kBannerCentre = {240, 16};  // landscape, at the top

void stop(std::shared_ptr<platform::Timer>& timer) {
  if (timer) timer->invalidate();
  timer.reset();
}

}  // namespace

void SaltmereAppDelegate::makeDemoBanner() {
  if (!window) return;
  demoBanner = addTextLine(kBannerBox, kBannerSize);
  demoBanner->setText("demo");
  demoBanner->setCenter(platform::windowPointFromLandscape(kBannerCentre));
}

// The wait starts again whenever the main menu shows or the player stirs on it, and stops when
// it hides or the window goes away.
void SaltmereAppDelegate::armDemo() {
  if (demoPhase != DemoPhase::Off) return;
  stop(demoTimer);
  if (demoAway || demoWaitsForGame || !mainMenuView || mainMenuView->isHidden() ||
      !platform::RunLoop::exists()) {
    return;
  }
  demoTimer = platform::RunLoop::current().scheduleTimer(
      kDemoIdle, [this] { startDemo(); }, false);
}

void SaltmereAppDelegate::startDemo() {
  stop(demoTimer);
  demoPhase = DemoPhase::Fading;
  platform::AlphaAnimation::start(menuMembers(mainMenuView.get()), 0, kDemoFade, [this] {
    if (demoPhase == DemoPhase::Fading) playDemo();
  });
}

void SaltmereAppDelegate::playDemo() {
  demoPhase = DemoPhase::Playing;
  // A volume the player just set is stored before the store is held.
  writeSettingsNow();
  platform::UserDefaults::standard().hold();
  demoSetAside = {highScore, highLevel, std::move(gameEnded)};
  gameEnded = [this] { demoGameOver(); };
  displayMenu(mainMenuView.get(), true);
  for (const auto& view : menuMembers(mainMenuView.get())) view->setAlpha(1);
  startGame();
  if (demoBanner) demoBanner->setHidden(false);
  demoPlayer = std::make_unique<Bot>(*this);
  demoPlayer->setActive(true);
}

// The game-over screen shows for a while, untapped, before the menu comes back.
void SaltmereAppDelegate::demoGameOver() {
  demoPhase = DemoPhase::Over;
  demoPlayer.reset();
  demoTimer = platform::RunLoop::current().scheduleTimer(
      kDemoGameOverShown, [this] { endDemo(); }, false);
}

void SaltmereAppDelegate::endDemo() {
  if (demoPhase == DemoPhase::Off) return;
  const bool played = demoPhase != DemoPhase::Fading;
  demoPhase = DemoPhase::Off;
  stop(demoTimer);
  if (played) {
    demoPlayer.reset();
    // The player's own devices steer again.
    platform::Accelerometer::shared().sources().injected.reset();
    stopAllTimers();
    for (int slot = 0; slot < kSoundCount; ++slot) stopSound(slot);
    _state = kGameStateStopped;
    displayMenu(nullptr, true);
    displayMenu(blackView.get(), true);
    if (demoBanner) demoBanner->setHidden(true);
    highScore = demoSetAside.highScore;
    highLevel = demoSetAside.highLevel;
    gameEnded = std::move(demoSetAside.gameEnded);
    platform::UserDefaults::standard().release();
  }
  for (const auto& view : menuMembers(mainMenuView.get())) view->setAlpha(1);
  displayMenu(mainMenuView.get(), false);
}

// A window sent away ends the demo, and no demo starts until it is back.
void SaltmereAppDelegate::demoWindowAway(bool away) {
  demoAway = away;
  endDemo();
  armDemo();
}

// A wake ends a demo (and goes no further: the click that ends it presses nothing on the menu)
// or starts the main menu's wait again.
bool SaltmereAppDelegate::playerWoke(platform::Application&) {
  if (demoPhase == DemoPhase::Off) {
    armDemo();
    return false;
  }
  endDemo();
  return true;
}
