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

std::unique_ptr<SandboxGame> SandboxGame::prepare(const std::string& command,
                                                  const ReplayScript& opening) {
  char folder[] = "/tmp/tidewick-replay-XXXXXX";
  if (!mkdtemp(folder)) {
    std::fprintf(stderr, "tidewick %s: no folder for a store of settings\n", command.c_str());
    return nullptr;
  }
  std::unique_ptr<SandboxGame> made(new SandboxGame(folder));
  platform::UserDefaults::useFile(made->store_ / "defaults.json");
  restoreStoredValues(opening.defaults);
  platform::gameRandom().seed(opening.seed);
  platform::gameRandom().skip(opening.draws);
  return made;
}

std::unique_ptr<SandboxGame> SandboxGame::make(const std::string& command,
                                               const ReplayScript& opening, int scale,
                                               double presentRate) {
  std::unique_ptr<SandboxGame> made = prepare(command, opening);
  if (!made) return nullptr;
  setenv("ALSOFT_DRIVERS", "null", 1);
  made->ownDisplay_ =
      platform::Display::open({.scale = scale, .headless = true, .refreshRate = presentRate});
  if (!made->ownDisplay_) {
    std::fprintf(stderr, "tidewick %s: no headless display\n", command.c_str());
    return nullptr;
  }
  made->display_ = made->ownDisplay_.get();
  made->makeGame(opening, presentRate);
  return made;
}

std::unique_ptr<SandboxGame> SandboxGame::makeIn(platform::Display& window,
                                                 const std::string& command,
                                                 const ReplayScript& opening) {
  std::unique_ptr<SandboxGame> made = prepare(command, opening);
  if (!made) return nullptr;
  made->display_ = &window;
  made->makeGame(opening, window.refreshRate());
  made->game_->scenePresenter.showing = [&window] { return window.isShowing(); };
  return made;
}

void SandboxGame::makeGame(const ReplayScript& opening, double presentRate) {
  platform::Application& application = platform::Application::shared();
  application.setURLOpener([](const std::string&) {});  // never a mail program
  platform::Accelerometer::shared().sources().injected = 0.0;
  resetWorldRecords();
  game_ = std::make_unique<SaltmereAppDelegate>();
  game_->demoWaitsForGame = opening.demoWaits;
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
