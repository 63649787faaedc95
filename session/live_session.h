// A game played in the window, recorded as it goes (to --record's file, or the last game kept for
// a bug report) and, with --dump, dumped frame by frame exactly as its replay dumps it. The
// player's game under way is kept as it is played, and a game an earlier session left under way
// comes back, paused, at the next start.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "gl/scene_presenter.h"
#include "session/game_in_progress.h"
#include "session/recorder.h"
#include "session/replay_dump.h"

class SaltmereAppDelegate;
namespace platform {
class Timer;
}

class LiveSession {
 public:
  // Seeds the game's random numbers with `seed`; or, where an earlier session left a game under
  // way, with that game's, whose stored values from its start are put back: it comes back once
  // the game has launched. Null, after a line on stderr, when a file asked for cannot be written.
  // Reads the stored values: make it before the game launches.
  static std::unique_ptr<LiveSession> start(uint32_t seed,
                                            const std::optional<std::string>& recordPath,
                                            const std::optional<std::string>& dumpPath);
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

 private:
  LiveSession() : inProgress_(gameInProgressPath()) {}
  // Plays the game left to where it was left, silently and without pictures, then pauses it.
  void bringBack();

  GameInProgress inProgress_;
  std::optional<GameInProgress::Left> left_;
  std::unique_ptr<Recorder> recorder_;
  std::ofstream dumpFile_;
  std::unique_ptr<ReplayDump> dump_;
  SaltmereAppDelegate* game_ = nullptr;
  std::shared_ptr<platform::Timer> keepTimer_;
};
