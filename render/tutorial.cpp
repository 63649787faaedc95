// The tutorial: a slide show of three scenes (tilt to move Nerin, protect the babies, throw
// trash back), each stepped once a second by its timer and left by a tap, drawn on black with
// the instruction and the "tap to continue" hint in two labels, and the device hint's line.
#include "app/saltmere_app_delegate.h"
#include "gl/placed_draw.h"

namespace {

struct TutorialScene {
  int step;  // the next animation step into the scene's tables
  int deviceImage;
  bool showBabies;
  bool animating;
  int trashImage;  // 0: none
  int swipeImage;  // 0: none
  platform::Point trashPosition, devicePosition, swipePosition;
};

// The scene counter: 2, 4 and 6 are the three scenes; 1, 3 and 5 live only inside the call that
// sets up the next one; anything else ends the tutorial.
int ct = 0;
TutorialScene tutorialScene;
platform::Point origCenterGameOver, origCenterAchievement;

enum : int { kStart = 1, kTilt = 2, kProtectSetUp = 3, kProtect = 4, kThrowSetUp = 5, kThrow = 6 };

// Tilt: the crab walks left, back, right, back, with the device tilted to match.
constexpr int kTiltCrabX[] = {100, 240, 380, 240};
constexpr int kTiltDevice[] = {kTextureTutorialDeviceTiltLeft, kTextureTutorialDevice,
                               kTextureTutorialDeviceTiltRight, kTextureTutorialDevice};
// Protect: a bottle sinks towards a baby and the crab steps under it.
constexpr int kProtectCrabX[] = {310, 380};
constexpr int kProtectTrashY[] = {220, 120};
constexpr int kProtectDevice[] = {kTextureTutorialDevice, kTextureTutorialDeviceTiltRight};
// Throw: the bottle goes up and away as a finger swipes.
constexpr int kThrowTrashX[] = {420, 420, 420, 360};
constexpr int kThrowTrashY[] = {100, 200, 100, 200};
constexpr int kThrowSwipeX[] = {280, 280, 280, 200};
constexpr int kThrowSwipeY[] = {200, 240, 200, 240};
constexpr int kThrowSwipe[] = {kTextureTutorialSwipe, kTextureTutorialSwipeUp,
                               kTextureTutorialSwipe, kTextureTutorialSwipeLeft};
constexpr float kBabiesX[] = {50, 430, 150, 330};
constexpr const char* kLabelFont = "Marker Felt";

// The hint shares its label with the achievement pop-up, whose fade leaves it at alpha 0: it is
// shown whole, not merely unhidden.
void showTapToContinue(platform::Label* label) {
  if (!label) return;
  label->setAlpha(1);
  label->setHidden(false);
}

}  // namespace

void SaltmereAppDelegate::tutorialScene(bool advance) {
  TutorialScene& scene = ::tutorialScene;
  if (advance) ct += 1;
  switch (ct) {
    case kStart:
      startSound(kSoundButton);
      resetGame();
      nerin.rect.origin.y += 10;
      for (int i = 0; i < 4; ++i) babies[i].rect.origin.x = kBabiesX[i];
      if (gameOverLabel) {
        gameOverLabel->setFont(kLabelFont, 35);
        origCenterGameOver = gameOverLabel->center();
      }
      if (achievementLabel) {
        origCenterAchievement = achievementLabel->center();
        achievementLabel->setHidden(true);
        achievementLabel->setTextColor(platform::Color::white());
        achievementLabel->setText("tap to continue");
        // Window (portrait) centres: the hint at landscape (240, 300), the instruction at
        // (240, 180).
        achievementLabel->setCenter({20, 240});
      }
      if (gameOverLabel) {
        gameOverLabel->setCenter({140, 240});
        gameOverLabel->setHidden(false);
      }
      scene = {};
      scene.devicePosition = {240, 230};
      scene.animating = true;
      startTimer(kTutorialTimer);
      if (gameOverLabel) gameOverLabel->setText("move nerin by tilting");
      showHint(HintPlace::Steering);
      ct = kTilt;
      [[fallthrough]];
    case kTilt:
      nerin.rect.origin.x = static_cast<float>(kTiltCrabX[scene.step]);
      scene.deviceImage = kTiltDevice[scene.step];
      if (++scene.step > 3) {
        scene.step = 0;
        showTapToContinue(achievementLabel.get());
      }
      tutorialDrawScene();
      break;
    case kProtectSetUp:
      startSound(kSoundButton);
      if (achievementLabel) achievementLabel->setHidden(true);
      if (gameOverLabel) gameOverLabel->setText("protect babies");
      showHint(HintPlace::Steering);
      scene.step = 0;
      scene.showBabies = true;
      scene.trashPosition.x = 420;
      scene.trashImage = kTextureTrash02;
      ct = kProtect;
      [[fallthrough]];
    case kProtect:
      nerin.rect.origin.x = static_cast<float>(kProtectCrabX[scene.step]);
      scene.trashPosition.y = static_cast<float>(kProtectTrashY[scene.step]);
      scene.deviceImage = kProtectDevice[scene.step];
      if (++scene.step > 1) {
        scene.step = 0;
        showTapToContinue(achievementLabel.get());
      }
      tutorialDrawScene();
      break;
    case kThrowSetUp:
      startSound(kSoundButton);
      if (achievementLabel) achievementLabel->setHidden(true);
      if (gameOverLabel) gameOverLabel->setText("throw trash back");
      showHint(HintPlace::Throwing);
      scene.step = 0;
      scene.showBabies = true;
      nerin.rect.origin.x = 380;
      scene.trashPosition.x = 420;
      scene.devicePosition.x -= 40;
      scene.trashImage = kTextureTrash02;
      scene.deviceImage = kTextureTutorialDeviceSwipes;
      ct = kThrow;
      [[fallthrough]];
    case kThrow:
      scene.trashPosition = {static_cast<float>(kThrowTrashX[scene.step]),
                             static_cast<float>(kThrowTrashY[scene.step])};
      scene.swipePosition = {static_cast<float>(kThrowSwipeX[scene.step]),
                             static_cast<float>(kThrowSwipeY[scene.step])};
      scene.swipeImage = kThrowSwipe[scene.step];
      if (++scene.step > 3) {
        scene.step = 0;
        showTapToContinue(achievementLabel.get());
      }
      tutorialDrawScene();
      break;
    default:  // the end: the labels as they were, back to the play menu
      showHint(HintPlace::None);
      startSound(kSoundButton2);
      stopTimer(kTutorialTimer);
      ct = 0;
      if (achievementLabel) {
        achievementLabel->setHidden(true);
        achievementLabel->setCenter(origCenterAchievement);
        achievementLabel->setTextColor(platform::Color::black());
      }
      if (gameOverLabel) {
        gameOverLabel->setHidden(true);
        gameOverLabel->setCenter(origCenterGameOver);
        gameOverLabel->setFont(kLabelFont, 50);
      }
      displayMenu(tutorialMenuView.get(), true);
      displayMenu(playMenuView.get(), false);
      break;
  }
}

// The timer keeps stepping the scene; `animating` is never cleared, the stopped timer ends it.
void SaltmereAppDelegate::tutorialTimerExpiration() {
  if (::tutorialScene.animating) tutorialScene(false);
}

void SaltmereAppDelegate::tutorialDrawScene() {
  const TutorialScene& scene = ::tutorialScene;
  platform::Renderer::shared().clear({0, 0, 0, 0});
  placedDraw(_textures[scene.deviceImage], scene.devicePosition);
  if (scene.swipeImage != 0) placedDraw(_textures[scene.swipeImage], scene.swipePosition);
  if (scene.trashImage != 0) placedDraw(_textures[scene.trashImage], scene.trashPosition);
  placedDraw(_textures[kTextureTutorialNerin], nerin.rect.origin);
  if (scene.showBabies) {
    for (int i = 0; i < 4; ++i) placedDraw(_textures[babies[i].type], babies[i].rect.origin);
  }
  if (glView) glView->swapBuffers();
}
