// Menus: a whole menu shown or hidden in one call, and the action every button sends, told
// apart by the button's tag.
#include <vector>

#include "app/saltmere_app_delegate.h"
#include "app/settings.h"

namespace {

constexpr float kOverlayAlpha = 0.7f;
enum ButtonTag : int { kPlayTutorialTag = 7, kPlayPlayTag = 8 };

void setHidden(const std::shared_ptr<platform::View>& view, bool hidden) {
  if (view) view->setHidden(hidden);
}

}  // namespace

// Every menu shown or hidden asks for the menu music; the in-game buttons and the game-over
// overlay leave the music alone.
void SaltmereAppDelegate::displayMenu(platform::View* menu, bool hide) {
  if (!menu) {
    setHidden(gamePauseButton, hide);
    setHidden(gamePlayButton, true);
    return;
  }
  if (menu == blackView.get()) {
    blackView->setHidden(hide);
    blackView->setAlpha(kOverlayAlpha);
    setHidden(gameOverLabel, hide);
    return;
  }
  // Each menu with its members, the menu's own view first.
  using Members = std::vector<std::shared_ptr<platform::View>>;
  const Members menus[] = {
      {mainMenuView, mainPlayButton, mainAchievementButton, mainChallengeButton, mainSettingsButton,
       highScoreLabel},
      {playMenuView, playTutorialButton, playPlayButton, playBackButton},
      {settingsMenuView, settingsCreditsButton, settingsBackButton},
      {creditsMenuView, creditsBackButton},
      {tutorialMenuView},
      {achievementsMenuView, achievementsBackButton},
  };
  for (const Members& members : menus) {
    if (members.front().get() != menu) continue;
    for (const auto& view : members) setHidden(view, hide);
    break;
  }
  newMusicMode(kMusicMenu);
}

void SaltmereAppDelegate::buttonPressed(int tag) {
  switch (tag) {
    case kPlayTutorialTag:
      startSound(kSoundButton);
      tutorialScene(true);
      displayMenu(playMenuView.get(), true);
      displayMenu(tutorialMenuView.get(), false);
      break;
    case kPlayPlayTag:
      startSound(kSoundButton);
      displayMenu(playMenuView.get(), true);
      displayMenu(nullptr, false);
      resetGame();
      setMusicLevels();
      setEffectsLevels();
      newMusicMode(kMusicSilent);
      newRound();
      startTimer(kRenderSceneTimer);
      break;
    default:
      break;
  }
}
