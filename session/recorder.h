// A live game written down as a replay script while it is played: the seed, the stored values it
// started from, and every input the game was given, at the clock's time it was given. Replaying
// the script gives the same game, frame for frame.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/input/input_journal.h"

class Recorder {
 public:
  // Reads the stored values now, before the launch changes any; listens to the input journal
  // for as long as it lives.
  explicit Recorder(uint32_t seed);
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Writes the recording to `path` as it goes, each event on a line of its own and on disk as
  // it comes, so that a recording cut off by a killed process still replays. False, with a line
  // on stderr, when the file cannot be written.
  bool writeTo(const std::filesystem::path& path);
  // Keeps the recording so far at `path` at the end of every game, replacing it whole. Asked
  // before the first input is heard: only then are the event lines kept in memory.
  void keepGamesAt(const std::filesystem::path& path) { gamesFile_ = path; }

  // A game ended at the clock's `time`.
  void gameEnded(double time);
  // The session ended at `time`: the file is completed.
  void finish(double time);

 private:
  void heard(const platform::InputEntry& entry);

  std::string opening_;  // the script up to its first event
  bool heardAny_ = false;
  std::string events_;  // every event line, kept only for the games kept whole
  std::ofstream file_;
  std::filesystem::path filePath_;
  std::optional<std::filesystem::path> gamesFile_;
  bool finished_ = false;
};

// $XDG_STATE_HOME/tidewick/last-game.json, or ~/.local/state/tidewick/last-game.json.
std::filesystem::path lastGamePath();
