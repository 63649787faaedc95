// A game played in the window, recorded as it goes (to --record's file, or the last game kept for
// a bug report) and, with --dump, dumped frame by frame exactly as its replay dumps it. The
// player's game under way is kept as it is played, and a game an earlier session left under way
// comes back, paused, at the next start. The player's best game is remembered by its sea, for a
// challenge.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "gl/scene_presenter.h"
#include "session/challenge.h"
#include "session/game_in_progress.h"
#include "session/recorder.h"
#include "session/replay_dump.h"

class SaltmereAppDelegate;
namespace platform {
class Timer;
}

class LiveSession {
 public:
  // Seeds the game's random numbers with `seed`, or starts them at a challenge's sea, where the
  // player's first game is then played (no demo plays before it); or, where an earlier session left
  // a game under way, at that game's, whose stored values from its start are put back: it comes
  // back once the game has launched. Null, after a line on stderr, when a file asked for cannot be
  // written. Reads the stored values: make it before the game launches.
  static std::unique_ptr<LiveSession> start(uint32_t seed,
                                            const std::optional<std::string>& recordPath,
                                            const std::optional<std::string>& dumpPath,
                                            const std::optional<Sea>& challengeSea = {});
  ~LiveSession();

  // The game for the open display, its pictures paced as asked and shown while the display is,
  // followed by this session.
  std::unique_ptr<SaltmereAppDelegate> makeGame(Pacing pacing);
  // The game is made: its sounds, frames and games are followed from its launch on.
  void follow(SaltmereAppDelegate& game);
  // The game has launched: a game left under way is brought back.
  void launched();
  // The window closed at the clock's `time`: the recording and the dump are completed.
  void ended(double time);

  // Whether a game left under way is brought back, on its own sea.
  bool bringsBack() const { return left_.has_value(); }
  // The player's best score to beat, with the sea it was played on where that is known.
  Challenge challenge() const;
  // Told as each of the player's games starts, and as it ends with its score.
  std::function<void()> playerGameStarted;
  std::function<void(int score)> playerGameEnded;

 private:
  LiveSession() : inProgress_(gameInProgressPath()) {}
  // Plays the game left to where it was left, silently and without pictures, then pauses it.
  void bringBack();
  // A game of the player's starts: where its random numbers stand, and the best score before it.
  void gameStarting();
  // It ended: a new best score is remembered with its sea.
  void gameOver();

  GameInProgress inProgress_;
  std::optional<GameInProgress::Left> left_;
  std::unique_ptr<Recorder> recorder_;
  std::ofstream dumpFile_;
  std::unique_ptr<ReplayDump> dump_;
  SaltmereAppDelegate* game_ = nullptr;
  std::shared_ptr<platform::Timer> keepTimer_;
  uint32_t seed_ = 0;
  bool demoWaits_ = false;
  Sea gameSea_;
  int bestBefore_ = 0;
  std::optional<Challenge> best_;
};
