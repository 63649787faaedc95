// The launch, once, before anything else runs: records and settings read, the timer table
// filled, the screen turned and GL set up, every texture and sound loaded (where the bundle is
// whole), the volumes applied.
// And the teardown, when the game goes.
#include <numbers>

#include "app/interface_file.h"
#include "app/saltmere_app_delegate.h"
#include "app/settings.h"
#include "platform/core/bundle.h"
#include "platform/core/user_defaults.h"
#include "platform/graphics/image.h"
#include "platform/graphics/renderer.h"
#include "platform/input/input_device.h"
#include "platform/screen/display.h"
#include "platform/ui/button.h"
#include "player/bot.h"
#include "sound/sound_engine.h"

namespace {

constexpr float kMusicAtFirstLaunch = 0.6f, kEffectsAtFirstLaunch = 0.9f;
constexpr const char* kTitleFont = "Marker Felt";
constexpr float kButtonTitleSize = 25;
constexpr float kInGameButtonAlpha = 0.7f;

void styleLabel(platform::Label& label, int lines, platform::TextAlignment alignment, float size,
                platform::Color color) {
  label.setNumberOfLines(lines);
  label.setTextAlignment(alignment);
  label.setFont(kTitleFont, size);
  label.setTextColor(color);
}

}  // namespace

void SaltmereAppDelegate::applicationDidFinishLaunching(platform::Application& application) {
  // The interface file makes the window, the GL view and the menus. Without it the game still
  // plays: a window with the GL view over all of the portrait screen, and no menus.
  if (!loadInterfaceFile(platform::Bundle::mainBundle().folder(), *this)) {
    window = std::make_shared<platform::Window>();
    glView = MyEAGLView::initWithCoder({{"frame", {0, 0, 320, 480}}});
    if (glView) window->addSubview(glView);
  }
  window->makeKeyAndVisible();

  platform::UserDefaults& defaults = platform::UserDefaults::standard();
  highScore = static_cast<int>(defaults.integerForKey(kHighScoreKey));
  highLevel = static_cast<int>(defaults.integerForKey(kHighLevelKey));
  // A stored 0 reads like a missing key: the sliders never store less than 0.01.
  if (defaults.floatForKey(kMusicKey) == 0) defaults.setFloat(kMusicAtFirstLaunch, kMusicKey);
  if (defaults.floatForKey(kEffectsKey) == 0) {
    defaults.setFloat(kEffectsAtFirstLaunch, kEffectsKey);
  }
  initTimers();
  application.setStatusBarOrientation(platform::InterfaceOrientation::LandscapeRight, false);

  // The landscape turn is the view's, not GL's: GL draws x over 0 to 480 and y over 0 to 320.
  if (glView) {
    glView->setBounds({{0, 0}, {kWorldWidth, kWorldHeight}});
    glView->setTransform(window->transform().concat(
        platform::AffineTransform::rotation(std::numbers::pi_v<float> / 2)));
    glView->setCurrentContext();
    // The surface follows the view to landscape and to the window's own pixels.
    glView->setDelegate(this);
    glView->setAutoresizesEAGLSurface(true);
  }
  scenePresenter.paint = [this](const std::vector<SceneSprite>& sprites) { paintScene(sprites); };
  // The game's texels are drawn as they are, in white where a texture has alpha alone.
  platform::Renderer::shared().state().projection =
      platform::orthographic(0, kWorldWidth, 0, kWorldHeight);

  // The page brings the scene's art and the sounds after the menu's first picture.
  platform::Bundle::mainBundle().whenWhole([this] { loadCatalogue(); });

  // Every menu turned for the landscape screen, and hidden.
  landscapeThisObject(mainMenuView.get());
  for (auto* button :
       {&mainPlayButton, &mainAchievementButton, &mainChallengeButton, &mainSettingsButton}) {
    landscapeThisButton(button->get());
  }
  makeTableView();
  landscapeThisObject(settingsMenuView.get());
  landscapeThisButton(settingsCreditsButton.get());
  landscapeThisButton(settingsBackButton.get());
  makeSlider({{270, 20}, {185, 55}}, 1, defaults.floatForKey(kMusicKey));
  makeSlider({{255, 105}, {185, 55}}, 2, defaults.floatForKey(kEffectsKey));
  landscapeThisObject(playMenuView.get());
  landscapeThisButton(playTutorialButton.get());
  landscapeThisButton(playPlayButton.get());
  landscapeThisButton(playBackButton.get());
  if (highScoreLabel) {
    landscapeThisObject(highScoreLabel.get());
    styleLabel(*highScoreLabel, 0, platform::TextAlignment::Left, 20, platform::Color::black());
  }
  landscapeThisObject(creditsMenuView.get());
  landscapeThisButton(creditsBackButton.get());
  landscapeThisObject(achievementsMenuView.get());
  landscapeThisButton(achievementsBackButton.get());
  imageStar1 = platform::ScaledImage::named(kTextureFiles[kTextureStar]);
  landscapeThisObject(tutorialMenuView.get());
  landscapeThisObject(blackView.get());
  if (gameOverLabel) {
    landscapeThisObject(gameOverLabel.get());
    styleLabel(*gameOverLabel, 0, platform::TextAlignment::Center, 50, platform::Color::white());
    gameOverLabel->setBounds({{240, 160}, {480, 320}});
  }
  for (platform::View* button : {gamePlayButton.get(), gamePauseButton.get()}) {
    if (!button) continue;
    landscapeThisObject(button);
    button->setAlpha(kInGameButtonAlpha);
    // The pause key works them; passed by, the focus leaves Enter and A to throw in a game.
    if (auto* control = dynamic_cast<platform::ControlView*>(button)) control->setTakesFocus(false);
  }
  landscapeThisObject(achievementView.get());
  landscapeThisObject(achievementStar.get());
  if (achievementLabel) {
    landscapeThisObject(achievementLabel.get());
    styleLabel(*achievementLabel, 1, platform::TextAlignment::Center, 20, platform::Color::black());
    achievementLabel->setBounds({{240, 160}, {240, 50}});
  }
  makeHintLabel();
  makeDemoBanner();
  displayMenu(mainMenuView.get(), false);
}

// A view laid out in landscape coordinates turned a quarter turn onto the portrait window, where
// its landscape centre (cx, cy) becomes (320 - cy, cx); hidden until its menu shows.
void SaltmereAppDelegate::landscapeThisObject(platform::View* view) {
  if (!view) return;
  view->setHidden(true);
  view->setAlpha(1.0f);
  view->setTransform(
      view->transform().concat(platform::AffineTransform::rotation(std::numbers::pi_v<float> / 2)));
  view->setCenter(platform::windowPointFromLandscape(view->center()));
}

void SaltmereAppDelegate::landscapeThisButton(platform::View* view) {
  landscapeThisObject(view);
  if (auto* button = dynamic_cast<platform::Button*>(view)) {
    button->setTitleFont(kTitleFont, kButtonTitleSize);
    button->setTitleColor(platform::Color::black());
  }
}

bool SaltmereAppDelegate::shouldAutorotateToInterfaceOrientation(
    platform::InterfaceOrientation orientation) const {
  return orientation == platform::InterfaceOrientation::LandscapeRight;
}

// A line of white, centred text laid over the window in landscape (the device hint, the demo's
// banner), hidden until it has something to say.
std::shared_ptr<platform::Label> SaltmereAppDelegate::addTextLine(platform::Size box, float size) {
  auto label = std::make_shared<platform::Label>();
  label->setFrame({{0, 0}, box});
  styleLabel(*label, 1, platform::TextAlignment::Center, size, platform::Color::white());
  label->setHidden(true);
  window->addSubview(label);
  landscapeThisObject(label.get());
  return label;
}

SaltmereAppDelegate::SaltmereAppDelegate() = default;

SaltmereAppDelegate::~SaltmereAppDelegate() {
  demoPlayer.reset();
  if (demoTimer) demoTimer->invalidate();
  platform::UserDefaults::standard().release();  // what a demo held is not the player's
  writeSettingsNow();  // a volume still waiting to be written is not lost on quitting
  if (hintLabel) platform::setInputDeviceObserver({});
  stopAllTimers();
  if (soundDeviceTimer) soundDeviceTimer->invalidate();
  scoreBlockTexture.reset();
  centeredTextTexture.reset();
  SoundEngine_Teardown();
  for (auto& texture : _textures) texture.reset();
  glView.reset();
  window.reset();
}
