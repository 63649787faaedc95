// tidewick replay: the game run headless on a virtual clock from a script of timed input, with
// a frame-by-frame dump and screenshots, the same bytes on every run.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

struct ReplayEvent {
  enum class Kind { Button, Tap, Swipe, Tilt, Resign, Activate, Bot };
  double t = 0;
  Kind kind = Kind::Button;
  int button = 0;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // landscape points, origin top left
  double tilt = 0;
  bool bot = false;  // the built-in player takes the controls (true) or hands them back
};

struct ReplayScript {
  uint32_t seed = 0;
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

struct ReplayOptions {
  std::string dumpPath;                                     // empty: no dump
  std::vector<std::pair<double, std::string>> screenshots;  // time, PNG file
  int scale = 1;                                            // screenshot pixels a point
  double presentRate = 0;  // smooth pictures a second of virtual time; 0: one a frame
};

// `tidewick replay` with the words after "replay": exit status 0 at the script's end, 2 for a
// malformed command line or script (nothing runs), 1 when the run cannot start.
int replayCommand(const std::vector<std::string>& arguments);
