// A game played in the window, recorded as it goes (to --record's file, or the last game kept for
// a bug report) and, with --dump, dumped frame by frame exactly as its replay dumps it.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "gl/scene_presenter.h"
#include "session/recorder.h"
#include "session/replay_dump.h"

class SaltmereAppDelegate;

class LiveSession {
 public:
  // Null, after a line on stderr, when a file asked for cannot be written. Reads the stored
  // values: make it before the game launches.
  static std::unique_ptr<LiveSession> start(uint32_t seed,
                                            const std::optional<std::string>& recordPath,
                                            const std::optional<std::string>& dumpPath);

  // The game for the open display, its pictures paced as asked and shown while the display is,
  // followed by this session.
  std::unique_ptr<SaltmereAppDelegate> makeGame(Pacing pacing);
  // The game is made: its sounds, frames and game ends are followed from its launch on.
  void follow(SaltmereAppDelegate& game);
  // The game has launched.
  void launched();
  // The window closed at the clock's `time`: the recording and the dump are completed.
  void ended(double time);

 private:
  explicit LiveSession(uint32_t seed) : recorder_(seed) {}

  Recorder recorder_;
  std::ofstream dumpFile_;
  std::unique_ptr<ReplayDump> dump_;
};
