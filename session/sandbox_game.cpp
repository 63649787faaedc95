// Setting up and taking down a sandboxed game, in the order the game's own launch expects.
#include "session/sandbox_game.h"

#include <cstdio>
#include <cstdlib>

#include "platform/core/application.h"
#include "platform/core/random.h"
#include "platform/core/user_defaults.h"
#include "platform/input/accelerometer.h"
#include "session/recorder.h"
#include "session/replay.h"
#include "world/world.h"

std::unique_ptr<SandboxGame> SandboxGame::prepare(const std::string& command, uint32_t seed,
                                                  const nlohmann::json& defaults) {
  char folder[] = "/tmp/tidewick-replay-XXXXXX";
  if (!mkdtemp(folder)) {
    std::fprintf(stderr, "tidewick %s: no folder for a store of settings\n", command.c_str());
    return nullptr;
  }
  std::unique_ptr<SandboxGame> made(new SandboxGame(folder));
  platform::UserDefaults::useFile(made->store_ / "defaults.json");
  restoreStoredValues(defaults);
  platform::gameRandom().seed(seed);
  return made;
}

std::unique_ptr<SandboxGame> SandboxGame::make(const std::string& command, uint32_t seed,
                                               const nlohmann::json& defaults, int scale,
                                               double presentRate) {
  std::unique_ptr<SandboxGame> made = prepare(command, seed, defaults);
  if (!made) return nullptr;
  setenv("ALSOFT_DRIVERS", "null", 1);
  made->ownDisplay_ =
      platform::Display::open({.scale = scale, .headless = true, .refreshRate = presentRate});
  if (!made->ownDisplay_) {
    std::fprintf(stderr, "tidewick %s: no headless display\n", command.c_str());
    return nullptr;
  }
  made->display_ = made->ownDisplay_.get();
  made->makeGame(presentRate);
  return made;
}

std::unique_ptr<SandboxGame> SandboxGame::makeIn(platform::Display& window,
                                                 const std::string& command, uint32_t seed,
                                                 const nlohmann::json& defaults) {
  std::unique_ptr<SandboxGame> made = prepare(command, seed, defaults);
  if (!made) return nullptr;
  made->display_ = &window;
  made->makeGame(window.refreshRate());
  made->game_->scenePresenter.showing = [&window] { return window.isShowing(); };
  return made;
}

void SandboxGame::makeGame(double presentRate) {
  platform::Application& application = platform::Application::shared();
  application.setURLOpener([](const std::string&) {});  // never a mail program
  platform::Accelerometer::shared().sources().injected = 0.0;
  resetWorldRecords();
  game_ = std::make_unique<SaltmereAppDelegate>();
  if (presentRate > 0) game_->scenePresenter.setPacing(Pacing::Smooth, presentRate);
  application.setDelegate(game_.get());
}

SandboxGame::~SandboxGame() {
  platform::Application& application = platform::Application::shared();
  if (game_) application.setDelegate(nullptr);
  game_.reset();
  application.setURLOpener({});
  std::error_code error;
  std::filesystem::remove_all(store_, error);
}

void SandboxGame::launch() {
  game_->applicationDidFinishLaunching(platform::Application::shared());
}
