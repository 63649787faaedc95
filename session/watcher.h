// Watching a script: its game runs in a sandbox, on a loop paced by the machine's clock at the
// chosen speed, with a time line at the top of the screen. The desktop's `tidewick watch` runs it
// in a window; the page turns it once an animation frame.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include <SDL2/SDL.h>

#include "platform/core/clock.h"
#include "platform/core/run_loop.h"
#include "session/replay.h"

class Bot;
class SandboxGame;
namespace platform {
class Display;
class Label;
}  // namespace platform

// Space pauses (and at the end plays it again from the start); Right and Left (or the d-pad) go
// kSkip seconds forward and back; 1 to 4 set the speed (x1, x2, x4, x8); Escape or closing the
// window leaves. Going back plays the script again from the start up to that point, silently and
// without pictures, as fast as the machine goes; so does going forward from where it is.
class Watcher final : public platform::EventSource {
 public:
  static constexpr double kSkip = 5;
  static constexpr int kSpeedSteps = 4;

  // `turnedByRefreshes`: the loop is turned from outside, once a refresh of the screen (the page).
  Watcher(platform::Display& window, ReplayScript script, bool turnedByRefreshes = false);
  ~Watcher() override;

  // Makes the game and plays it from the start; false when a game could not be made.
  bool begin();
  // Plays until the watcher leaves, then shows `left` the game at its clock's time; false when a
  // game could not be made.
  bool run(const std::function<void(SaltmereAppDelegate&, double)>& left);
  // Told of every frame of every game the watcher makes, at the frame's time.
  void setFrameEnded(std::function<void(SaltmereAppDelegate&, double time)> ended) {
    frameEnded_ = std::move(ended);
  }
  // One turn of a loop turned from outside: the input that came, a seek back asked for, what fell
  // due. False once the watcher has left, or a game could not be made again.
  bool turn();

  // The controls, as the keys, the pad and the page's buttons give them.
  void togglePause();
  void seek(double by);
  void setSpeed(int step);
  void leave();

  void waitAndDispatch(double timeout) override;
  void handle(const SDL_Event& event);

  // What the time line shows.
  double time() const { return loop().now(); }
  double duration() const { return script_.duration; }
  int speedStep() const { return speedStep_; }
  bool paused() const { return paused_; }
  SaltmereAppDelegate& game();

 private:
  platform::RunLoop& loop() const;
  double speed() const;
  bool start(double at);
  void end();
  void skipTo(double at);
  void setPaused(bool paused);
  void presentAtWindowRate();
  // A seek back asked for is made: the game is made again up to there.
  bool restartIfAsked();
  void makeOverlay();
  void showOverlay();

  platform::Display& window_;
  ReplayScript script_;
  bool turnedByRefreshes_;
  platform::RealClock machine_;
  std::unique_ptr<SandboxGame> sandbox_;
  std::unique_ptr<Bot> bot_;
  std::shared_ptr<platform::Label> overlay_;
  int speedStep_ = 0;
  bool paused_ = false, paced_ = false, quit_ = false;
  std::optional<double> restartAt_;
  std::function<void(SaltmereAppDelegate&, double)> frameEnded_;
};
