// Watching a script: its game runs on a loop paced by the machine's clock at the chosen speed.
// Space pauses (and at the end plays it again from the start); Right and Left (or the d-pad) go 5 s
// forward and back; 1 to 4 set the speed (x1, x2, x4, x8); Escape or closing the window ends it.
// Going back plays the script again from the start up to that point, silently and without pictures,
// as fast as the machine goes; so does going forward from where it is. A line at the top of the
// screen shows the time and the speed.
#include "session/watch.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>

#include "platform/core/clock.h"
#include "platform/input/desktop_events.h"
#include "platform/screen/display.h"
#include "platform/screen/touch.h"
#include "platform/ui/label.h"
#include "player/bot.h"
#include "session/command_line.h"
#include "session/replay.h"
#include "session/sandbox_game.h"

namespace {

constexpr const char* kUsage = "Usage: tidewick watch SCRIPT.json [--scale N]\n";
constexpr double kSkip = 5;
constexpr double kSpeeds[] = {1, 2, 4, 8};
constexpr platform::Point kOverlayCentre = {240, 12};
constexpr platform::Size kOverlayBox = {480, 20};
constexpr float kOverlaySize = 14;

std::string clockText(double seconds) {
  const int whole = static_cast<int>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d", whole / 60, whole % 60);
  return text;
}

class Watcher final : public platform::EventSource {
 public:
  Watcher(platform::Display& window, ReplayScript script)
      : window_(window), script_(std::move(script)) {}

  // Plays until Escape or the window closes, then shows `left` the game; false when a game
  // could not be made.
  bool run(const std::function<void(SaltmereAppDelegate&, double)>& left) {
    if (!start(0)) return false;
    // A seek back asked for before leaving is made first: the world left is the one it reached.
    for (;;) {
      sandbox_->loop().run();
      if (restartAt_ && !start(*std::exchange(restartAt_, std::nullopt))) return false;
      if (quit_) break;
    }
    if (left) left(game(), loop().now());
    end();
    return true;
  }

  void waitAndDispatch(double timeout) override {
    SDL_Event event;
    if (platform::waitForEvent(timeout, event)) handle(event);
    while (SDL_PollEvent(&event)) handle(event);
  }

 private:
  platform::RunLoop& loop() { return sandbox_->loop(); }
  double speed() const { return kSpeeds[speedStep_]; }

  // A fresh game from the script, brought to `at` at once.
  bool start(double at) {
    end();
    sandbox_ = SandboxGame::makeIn(window_, "watch", script_.seed, script_.defaults);
    if (!sandbox_) return false;
    SaltmereAppDelegate& game = sandbox_->game();
    loop().setEventSource(this);
    loop().addBeforeWaitingObserver([this] {
      showOverlay();
      window_.layoutIfNeeded();
      window_.compositeIfNeeded();
    });
    presentAtWindowRate();
    bot_ = std::make_unique<Bot>(game);
    postScript(script_, loop(), game, *bot_);
    loop().post(script_.duration, [this] { setPaused(true); });
    sandbox_->launch();
    makeOverlay();
    paced_ = false;
    skipTo(at);
    loop().setPace(&machine_, paused_ ? 0 : speed());
    paced_ = true;
    return true;
  }

  void end() {
    if (sandbox_) sandbox_->loop().setEventSource(nullptr);
    overlay_.reset();
    bot_.reset();
    sandbox_.reset();  // its loop goes before the next one is made
    platform::TouchRouter::shared().reset();
  }

  // Runs the game to `at` as fast as it goes, with no sound and no pictures on the way.
  void skipTo(double at) { runUnseen(sandbox_->game(), loop(), std::min(at, script_.duration)); }

  void setPaused(bool paused) {
    paused_ = paused;
    if (paced_) loop().setRate(paused_ ? 0 : speed());
  }

  // At the end of the script, playing again starts it over.
  void togglePause() {
    if (paused_ && loop().now() >= script_.duration) {
      paused_ = false;
      seek(-script_.duration);
      return;
    }
    setPaused(!paused_);
  }

  void setSpeed(int step) {
    speedStep_ = step;
    if (!paused_) loop().setRate(speed());
    presentAtWindowRate();
  }

  // Pictures at the window's refresh rate of real time, whatever the speed.
  void presentAtWindowRate() {
    ScenePresenter& presenter = sandbox_->game().scenePresenter;
    const bool running = presenter.isRunning();
    presenter.setPacing(Pacing::Smooth, window_.refreshRate() / speed());
    if (running) presenter.start();
  }

  void seek(double by) {
    const double target = std::clamp(loop().now() + by, 0.0, script_.duration);
    if (by < 0) {
      restartAt_ = target;  // a game cannot go back: the script plays again up to there
      loop().stop();
    } else {
      skipTo(target);
    }
  }

  void handle(const SDL_Event& event) {
    if (quit_) return;
    // Leaving counts even when it comes with a seek back, before the game is made again (a busy
    // machine hands over both at once); nothing else of a game about to go does.
    const bool leaving = event.type == SDL_QUIT ||
                         (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE);
    if (leaving) {
      quit_ = true;
      loop().stop();
      return;
    }
    if (restartAt_) return;
    switch (event.type) {
      case SDL_WINDOWEVENT:
        platform::Layer::screenChanged();
        return;
      case SDL_CONTROLLERDEVICEADDED:
        SDL_GameControllerOpen(event.cdevice.which);
        return;
      case SDL_CONTROLLERBUTTONDOWN:
        if (event.cbutton.button == SDL_CONTROLLER_BUTTON_DPAD_LEFT) seek(-kSkip);
        if (event.cbutton.button == SDL_CONTROLLER_BUTTON_DPAD_RIGHT) seek(+kSkip);
        if (event.cbutton.button == SDL_CONTROLLER_BUTTON_A) togglePause();
        return;
      case SDL_KEYDOWN:
        break;
      default:
        return;
    }
    const SDL_Keycode key = event.key.keysym.sym;
    if (key == SDLK_SPACE && !event.key.repeat) {
      togglePause();
    } else if (key == SDLK_LEFT) {
      seek(-kSkip);
    } else if (key == SDLK_RIGHT) {
      seek(+kSkip);
    } else if (key >= SDLK_1 && key <= SDLK_4) {
      setSpeed(static_cast<int>(key - SDLK_1));
    } else if (key == SDLK_F11 && !event.key.repeat) {
      window_.toggleFullscreen();
    }
  }

  void makeOverlay() {
    SaltmereAppDelegate& game = sandbox_->game();
    if (!game.window) return;
    overlay_ = game.addTextLine(kOverlayBox, kOverlaySize);
    overlay_->setCenter(platform::windowPointFromLandscape(kOverlayCentre));
    overlay_->setHidden(false);
  }

  void showOverlay() {
    if (!overlay_) return;
    const double now = loop().now();
    std::string text = clockText(now) + " / " + clockText(script_.duration) + "   x" +
                       std::to_string(static_cast<int>(speed()));
    if (paused_) text += now >= script_.duration ? "   the end" : "   paused";
    overlay_->setText(text);
    // Above whatever the game put in the window since.
    if (game().window && game().window->subviews().back() != overlay_) {
      game().window->addSubview(overlay_);
    }
  }

  SaltmereAppDelegate& game() { return sandbox_->game(); }

  platform::Display& window_;
  ReplayScript script_;
  platform::RealClock machine_;
  std::unique_ptr<SandboxGame> sandbox_;
  std::unique_ptr<Bot> bot_;
  std::shared_ptr<platform::Label> overlay_;
  int speedStep_ = 0;
  bool paused_ = false, paced_ = false, quit_ = false;
  std::optional<double> restartAt_;
};

}  // namespace

int watchCommand(const std::vector<std::string>& arguments) {
  int scale = 2;
  if (arguments.size() == 3 && arguments[1] == "--scale") {
    const auto parsed = parseNumber<int>(arguments[2]);
    if (!parsed || *parsed < 1 || *parsed > 8) {
      std::fprintf(stderr, "tidewick watch: --scale takes a whole number from 1 to 8\n%s", kUsage);
      return 2;
    }
    scale = *parsed;
  } else if (arguments.size() != 1) {
    std::fprintf(stderr, "tidewick watch: %s\n%s",
                 arguments.empty() ? "no script" : "unknown option", kUsage);
    return 2;
  }
  std::string error, warning;
  const std::optional<ReplayScript> script = readReplayScript(arguments[0], error, warning);
  if (!script) {
    std::fprintf(stderr, "tidewick watch: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (!warning.empty()) std::fprintf(stderr, "tidewick watch: %s\n", warning.c_str());
  const std::unique_ptr<platform::Display> window = platform::Display::open({.scale = scale});
  if (!window) return 1;
  return watchScript(*window, *script) ? 0 : 1;
}

bool watchScript(platform::Display& window, const ReplayScript& script,
                 const std::function<void(SaltmereAppDelegate& game, double time)>& left) {
  return Watcher(window, script).run(left);
}
