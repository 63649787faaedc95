// The built-in player: it looks at what a player sees (where the crab, the trash and the ball
// are, which menu shows) and plays with a player's controls (tilt readings, taps and swipes), a
// decision every 50 ms of the run loop's clock. It draws nothing from the game's generator, so a
// game draws the same numbers whoever plays it.
#pragma once

#include <memory>

#include "platform/core/geometry.h"
#include "platform/core/run_loop.h"

class SaltmereAppDelegate;
namespace platform {
class View;
}

class Bot {
 public:
  explicit Bot(SaltmereAppDelegate& game) : game_(game) {}
  ~Bot() { setActive(false); }
  Bot(const Bot&) = delete;
  Bot& operator=(const Bot&) = delete;

  // Takes the controls (from the next decision on) or hands them back; the last tilt it gave
  // stays until another reading replaces it.
  void setActive(bool active);
  bool isActive() const { return timer_ != nullptr; }
  // Past this round the bot lets the trash fall until the game ends (0: it plays on), so that a
  // soak goes through many games.
  void giveUpAfterRound(int round) { lastRound_ = round; }

 private:
  void decide();
  // In play: steer under the most urgent sinking piece, throw what the claws hold.
  void play();
  void steer();
  void throwHeld();
  // Out of play: tap through the game-over screen and into a new game.
  void tapThroughMenus();
  bool tapIfShown(const platform::View* view);
  void tap(platform::Point window);
  void swipe(platform::Point fromWindow, platform::Point toWindow);

  SaltmereAppDelegate& game_;
  std::shared_ptr<platform::Timer> timer_;
  long nextTouch_ = kFirstTouch;
  int lastRound_ = 0;

  // Its touches are numbered apart from the devices' and the replay's.
  static constexpr long kFirstTouch = 3000;
};
