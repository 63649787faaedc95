// Setting up and taking down a headless game, in the order the game's own launch expects.
#include "app/headless_game.h"

#include <cstdio>
#include <cstdlib>

#include "app/replay.h"
#include "platform/core/application.h"
#include "platform/core/random.h"
#include "platform/core/user_defaults.h"
#include "platform/input/accelerometer.h"

std::unique_ptr<HeadlessGame> HeadlessGame::make(const std::string& command, uint32_t seed,
                                                 const nlohmann::json& defaults, int scale,
                                                 double presentRate) {
  char folder[] = "/tmp/tidewick-replay-XXXXXX";
  if (!mkdtemp(folder)) {
    std::fprintf(stderr, "tidewick %s: no folder for a store of settings\n", command.c_str());
    return nullptr;
  }
  std::unique_ptr<HeadlessGame> made(new HeadlessGame(folder));
  platform::UserDefaults::useFile(made->store_ / "defaults.json");
  platform::UserDefaults& store = platform::UserDefaults::standard();
  for (const auto& [key, value] : defaults.items()) {
    if (isFloatSetting(key)) {
      store.setFloat(value.get<float>(), key);
    } else {
      store.setInteger(value.get<long>(), key);
    }
  }
  platform::gameRandom().seed(seed);
  setenv("ALSOFT_DRIVERS", "null", 1);

  made->display_ =
      platform::Display::open({.scale = scale, .headless = true, .refreshRate = presentRate});
  if (!made->display_) {
    std::fprintf(stderr, "tidewick %s: no headless display\n", command.c_str());
    return nullptr;
  }
  platform::Application& application = platform::Application::shared();
  application.setURLOpener([](const std::string&) {});  // never a mail program
  platform::Accelerometer::shared().sources().injected = 0.0;
  made->game_ = std::make_unique<SaltmereAppDelegate>();
  if (presentRate > 0) made->game_->scenePresenter.setPacing(Pacing::Smooth, presentRate);
  application.setDelegate(made->game_.get());
  return made;
}

HeadlessGame::~HeadlessGame() {
  platform::Application& application = platform::Application::shared();
  if (game_) application.setDelegate(nullptr);
  game_.reset();
  application.setURLOpener({});
  std::error_code error;
  std::filesystem::remove_all(store_, error);
}

void HeadlessGame::launch() {
  game_->applicationDidFinishLaunching(platform::Application::shared());
}
