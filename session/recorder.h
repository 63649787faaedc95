// A live game written down as a replay script while it is played: the seed, the stored values it
// started from, and every input the game was given, at the clock's time it was given. Replaying
// the script gives the same game, frame for frame.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/input/input_journal.h"

class Recorder {
 public:
  // Reads the stored values now, before the launch changes any; listens to the input journal
  // for as long as it lives. `draws` were taken from the seeded generator before the launch;
  // `demoWaits` for the player's first game.
  Recorder(uint32_t seed, uint64_t draws = 0, bool demoWaits = false);
  // Goes on with a recording begun by an earlier session: its opening line and its event lines.
  Recorder(std::string opening, std::string events);
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Writes the recording to `path` as it goes, each event on a line of its own and on disk as
  // it comes, so that a recording cut off by a killed process still replays. False, with a line
  // on stderr, when the file cannot be written.
  bool writeTo(const std::filesystem::path& path);
  // Keeps the recording so far at `path` at the end of every game, replacing it whole.
  void keepGamesAt(const std::filesystem::path& path) { gamesFile_ = path; }
  // Hands every line written from now on to `written` as well.
  void setLineWritten(std::function<void(const std::string& line)> written) {
    lineWritten_ = std::move(written);
  }
  // While not hearing, input is not written down: input it already holds, given again.
  void setHearing(bool hearing) { hearing_ = hearing; }
  // The recording so far, cut off after its last event.
  std::string text() const { return opening_ + events_; }

  // A game ended at the clock's `time`.
  void gameEnded(double time);
  // The session ended at `time`: the file is completed.
  void finish(double time);

 private:
  void heard(const platform::InputEntry& entry);

  std::string opening_;  // the script up to its first event
  std::string events_;   // every event line
  bool hearing_ = true;
  std::function<void(const std::string& line)> lineWritten_;
  std::ofstream file_;
  std::filesystem::path filePath_;
  std::optional<std::filesystem::path> gamesFile_;
  bool finished_ = false;
};

// $XDG_STATE_HOME/tidewick/last-game.json, or ~/.local/state/tidewick/last-game.json.
std::filesystem::path lastGamePath();

// Puts the stored values a recording's opening holds (`defaults`, as a script gives them; null for
// none) back in the player's store: each value the recorder keeps, 0 where the opening has none.
void restoreStoredValues(const nlohmann::json& defaults);
