// tidewick replay: the game run headless on a virtual clock from a script of timed input, with
// a frame-by-frame dump and screenshots, the same bytes on every run.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/input/input_journal.h"

struct ReplayEvent {
  // Input is what the game was given of a player's input (a recorded game's, and the tilt and
  // the window's notices of any script); the others are the script's own shorthands.
  enum class Kind { Button, Tap, Swipe, Input, Bot };
  double t = 0;
  Kind kind = Kind::Button;
  int button = 0;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // landscape points, origin top left
  platform::InputEntry input;
  bool bot = false;  // the built-in player takes the controls (true) or hands them back
};

// The most draws a script's game may start past ("draws"): more than ten days of play take (a
// game takes about 75 a second), and few enough to take in a moment.
constexpr uint64_t kMostDrawsSkipped = uint64_t{1} << 26;

struct ReplayScript {
  uint32_t seed = 0;
  uint64_t draws = 0;      // taken from the seeded generator before the game launches
  bool demoWaits = false;  // no demo before the player's first game: its sea waits for it
  double duration = 0;
  nlohmann::json defaults = nlohmann::json::object();
  std::vector<ReplayEvent> events;
};

// The stored settings a script gives as floats ("music", "effects"); the others are integers.
inline bool isFloatSetting(const std::string& key) {
  return key == "music" || key == "effects";
}

// The script, or nothing with `error` naming what is wrong (and which event).
std::optional<ReplayScript> parseReplayScript(const nlohmann::json& json, std::string& error);
// A script file: JSON, or a recording cut off mid-write, taken up to its last whole event (with
// `warning` saying so). Nothing, with `error` naming the line or the event, when it is neither.
std::optional<ReplayScript> readReplayScript(const std::string& path, std::string& error,
                                             std::string& warning);
// The same for a script's `text`, called `name` in what it says.
std::optional<ReplayScript> readReplayScriptText(const std::string& text, const std::string& name,
                                                 std::string& error, std::string& warning);

// A recorded input as a script's event at time `t`, one line of JSON; numbers spelt so that they
// read back exactly.
std::string scriptEvent(double t, const platform::InputEntry& entry);

struct ReplayOptions {
  std::string dumpPath;                                     // empty: no dump
  std::vector<std::pair<double, std::string>> screenshots;  // time, PNG file
  int scale = 1;                                            // screenshot pixels a point
  double presentRate = 0;  // smooth pictures a second of virtual time; 0: one a frame
};

class Bot;
class SaltmereAppDelegate;
namespace platform {
class RunLoop;
}

// Posts the script's events on the loop, each at its time, as input for `game` (and the `bot`).
void postScript(const ReplayScript& script, platform::RunLoop& loop, SaltmereAppDelegate& game,
                Bot& bot);

// Runs `loop` to `time` at once, as a watcher skips through a game and a game brought back
// catches up: without sound and without pictures; the latest picture is painted at the end. The
// screen's refreshes are timed on the way as any other loop times them.
void runUnseen(SaltmereAppDelegate& game, platform::RunLoop& loop, double time);

class ReplayDump;
class SandboxGame;

// A replay set going: the sandboxed game launched with the script's input posted, the dump's
// catalogue written (to `dumpStream`, when there is one). Its loop is then run to the script's
// end, at once or in slices, and finish() writes the dump's last line.
struct ReplayRun {
  // Null, after a line on stderr, when the sandbox cannot be made.
  static std::unique_ptr<ReplayRun> start(const ReplayScript& script, std::ostream* dumpStream,
                                          const ReplayOptions& options);
  ~ReplayRun();
  // Runs the loop to the script's end and completes the dump.
  void finish();
  double duration() const { return duration_; }

  std::unique_ptr<SandboxGame> sandbox;
  std::unique_ptr<ReplayDump> dump;
  std::unique_ptr<Bot> bot;

 private:
  explicit ReplayRun(const ReplayScript& script);
  double duration_;
};

// `tidewick replay` with the words after "replay": exit status 0 at the script's end, 2 for a
// malformed command line or script (nothing runs), 1 when the run cannot start.
int replayCommand(const std::vector<std::string>& arguments);
