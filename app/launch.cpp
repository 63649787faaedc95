// The launch, once, before anything else runs: records and settings read, the timer table
// filled, the screen turned and GL set up, every texture and sound loaded, the volumes applied.
// And the teardown, when the game goes.
#include <numbers>

#include "app/saltmere_app_delegate.h"
#include "app/settings.h"
#include "platform/user_defaults.h"
#include "sound/sound_engine.h"

namespace {

constexpr float kMusicAtFirstLaunch = 0.6f, kEffectsAtFirstLaunch = 0.9f;

}  // namespace

void SaltmereAppDelegate::applicationDidFinishLaunching(platform::Application& application) {
  // The window and the GL view as the interface file describes them: the portrait screen, and
  // the GL view over all of it.
  window = std::make_shared<platform::Window>();
  glView = MyEAGLView::initWithCoder({{"frame", {0, 0, 320, 480}}});
  if (glView) window->addSubview(glView);
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
  }
  glMatrixMode(GL_PROJECTION);
  glOrthof(0, kWorldWidth, 0, kWorldHeight, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

  loadTextures();
  loadSounds();
  setMusicLevels();
  setEffectsLevels();
}

SaltmereAppDelegate::~SaltmereAppDelegate() {
  stopAllTimers();
  SoundEngine_Teardown();
  for (auto& texture : _textures) texture.reset();
  glView.reset();
  window.reset();
}
