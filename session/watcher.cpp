// The watcher's game, its controls and its time line, whoever turns its loop.
#include "session/watcher.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/input/desktop_events.h"
#include "platform/screen/display.h"
#include "platform/screen/touch.h"
#include "platform/ui/label.h"
#include "player/bot.h"
#include "session/sandbox_game.h"

namespace {

constexpr double kSpeeds[Watcher::kSpeedSteps] = {1, 2, 4, 8};
constexpr platform::Point kOverlayCentre = {240, 12};
constexpr platform::Size kOverlayBox = {480, 20};
constexpr float kOverlaySize = 14;

std::string clockText(double seconds) {
  const int whole = static_cast<int>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d", whole / 60, whole % 60);
  return text;
}

}  // namespace

Watcher::Watcher(platform::Display& window, ReplayScript script, bool turnedByRefreshes)
    : window_(window), script_(std::move(script)), turnedByRefreshes_(turnedByRefreshes) {}

Watcher::~Watcher() {
  end();
}

platform::RunLoop& Watcher::loop() const {
  return sandbox_->loop();
}
double Watcher::speed() const {
  return kSpeeds[speedStep_];
}
SaltmereAppDelegate& Watcher::game() {
  return sandbox_->game();
}

bool Watcher::begin() {
  return start(0);
}

bool Watcher::run(const std::function<void(SaltmereAppDelegate&, double)>& left) {
  if (!begin()) return false;
  // A seek back asked for before leaving is made first: the world left is the one it reached.
  for (;;) {
    loop().run();
    if (!restartIfAsked()) return false;
    if (quit_) break;
  }
  if (left) left(game(), loop().now());
  end();
  return true;
}

bool Watcher::turn() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) handle(event);
  if (!restartIfAsked() || quit_) return false;
  loop().turn();
  return true;
}

bool Watcher::restartIfAsked() {
  return !restartAt_ || start(*std::exchange(restartAt_, std::nullopt));
}

void Watcher::waitAndDispatch(double timeout) {
  SDL_Event event;
  if (platform::waitForEvent(timeout, event)) handle(event);
  while (SDL_PollEvent(&event)) handle(event);
}

// A fresh game from the script, brought to `at` at once.
bool Watcher::start(double at) {
  end();
  sandbox_ = SandboxGame::makeIn(window_, "watch", script_);
  if (!sandbox_) return false;
  SaltmereAppDelegate& watched = sandbox_->game();
  loop().setEventSource(this);
  loop().addBeforeWaitingObserver([this] {
    showOverlay();
    window_.layoutIfNeeded();
    window_.compositeIfNeeded();
  });
  presentAtWindowRate();
  if (frameEnded_) {
    watched.frameEnded = [this, &watched](float) { frameEnded_(watched, loop().now()); };
  }
  bot_ = std::make_unique<Bot>(watched);
  postScript(script_, loop(), watched, *bot_);
  loop().post(script_.duration, [this] { setPaused(true); });
  sandbox_->launch();
  makeOverlay();
  paced_ = false;
  skipTo(at);
  loop().setPace(&machine_, paused_ ? 0 : speed());
  loop().setTurnedByRefreshes(turnedByRefreshes_);
  paced_ = true;
  return true;
}

void Watcher::end() {
  if (sandbox_) sandbox_->loop().setEventSource(nullptr);
  overlay_.reset();
  bot_.reset();
  sandbox_.reset();  // its loop goes before the next one is made
  platform::TouchRouter::shared().reset();
}

// Runs the game to `at` as fast as it goes, with no sound and no pictures on the way.
void Watcher::skipTo(double at) {
  runUnseen(sandbox_->game(), loop(), std::min(at, script_.duration));
}

void Watcher::setPaused(bool paused) {
  paused_ = paused;
  if (paced_) loop().setRate(paused_ ? 0 : speed());
}

// At the end of the script, playing again starts it over.
void Watcher::togglePause() {
  if (paused_ && loop().now() >= script_.duration) {
    paused_ = false;
    seek(-script_.duration);
    return;
  }
  setPaused(!paused_);
}

void Watcher::setSpeed(int step) {
  speedStep_ = std::clamp(step, 0, kSpeedSteps - 1);
  if (!paused_) loop().setRate(speed());
  presentAtWindowRate();
}

// Pictures at the window's refresh rate of real time, whatever the speed.
void Watcher::presentAtWindowRate() {
  ScenePresenter& presenter = sandbox_->game().scenePresenter;
  const bool running = presenter.isRunning();
  presenter.setPacing(Pacing::Smooth, window_.refreshRate() / speed());
  if (running) presenter.start();
}

void Watcher::seek(double by) {
  if (restartAt_) return;  // the game is about to be made again
  const double target = std::clamp(loop().now() + by, 0.0, script_.duration);
  if (by < 0) {
    restartAt_ = target;  // a game cannot go back: the script plays again up to there
    loop().stop();
  } else {
    skipTo(target);
  }
}

void Watcher::leave() {
  quit_ = true;
  loop().stop();
}

void Watcher::handle(const SDL_Event& event) {
  if (quit_) return;
  // Leaving counts even when it comes with a seek back, before the game is made again (a busy
  // machine hands over both at once); nothing else of a game about to go does.
  if (event.type == SDL_QUIT ||
      (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)) {
    leave();
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

void Watcher::makeOverlay() {
  SaltmereAppDelegate& watched = sandbox_->game();
  if (!watched.window) return;
  overlay_ = watched.addTextLine(kOverlayBox, kOverlaySize);
  overlay_->setCenter(platform::windowPointFromLandscape(kOverlayCentre));
  overlay_->setHidden(false);
}

void Watcher::showOverlay() {
  if (!overlay_) return;
  const double now = loop().now();
  std::string text = clockText(now) + " / " + clockText(script_.duration) + "   x" +
                     std::to_string(static_cast<int>(speed()));
  if (paused_) text += now >= script_.duration ? "   the end" : "   paused";
  overlay_->setText(text);
  // Above whatever the game put in the window since.
  SaltmereAppDelegate& watched = sandbox_->game();
  if (watched.window && watched.window->subviews().back() != overlay_) {
    watched.window->addSubview(overlay_);
  }
}
