// Reading a replay script, every field checked before anything runs, and writing a recorded
// input as one of its events.
#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>
#include <sstream>

#include "platform/core/geometry.h"
#include "platform/core/json_reading.h"
#include "platform/core/stored_file.h"
#include "session/replay.h"
#include "session/spelt_numbers.h"

namespace {

using nlohmann::json;
using platform::InputEntry;
using platform::TouchPhase;

// Menu moves and scrolls of any size a player could make.
constexpr double kMostNotches = 1000;

constexpr const char* kPhaseNames[] = {"began", "moved", "ended", "cancelled"};
// The input that is only a notice, `"name": true` in a script.
constexpr std::pair<const char*, InputEntry::Kind> kNotices[] = {
    {"resign", InputEntry::Kind::Resign}, {"activate", InputEntry::Kind::Activate},
    {"pause", InputEntry::Kind::Pause},   {"press", InputEntry::Kind::Press},
    {"wake", InputEntry::Kind::Wake},     {"back", InputEntry::Kind::Back},
};

bool isCoordinate(const json& value) {
  return value.is_number() && std::fabs(value.get<double>()) <= platform::kMaxFileCoordinate;
}

bool isPoint(const json& value) {
  return value.is_array() && value.size() == 2 && isCoordinate(value[0]) && isCoordinate(value[1]);
}

bool isButtonTag(const json& value) {
  if (value.is_number_unsigned()) return value.get<uint64_t>() <= INT_MAX;
  return value.is_number_integer() && value.get<int64_t>() >= INT_MIN &&
         value.get<int64_t>() <= INT_MAX;
}

// A fingertip at most the screen's width across.
bool isReach(const json& value) {
  return value.is_number() && value.get<double>() >= 0 && value.get<double>() <= 480;
}

bool isNotches(const json& value) {
  return value.is_number() && std::fabs(value.get<double>()) <= kMostNotches;
}

platform::Point pointAt(const json& list, size_t first) {
  return {list[first].get<float>(), list[first + 1].get<float>()};
}

// [id, phase, x, y] or [id, phase, x, y, previous x, previous y], either with a fingertip's reach
// after it where a finger began.
std::optional<InputEntry> readTouch(const json& value) {
  if (!value.is_array() || value.size() < 4 || value.size() > 7) return std::nullopt;
  const bool hasFrom = value.size() >= 6, hasReach = value.size() % 2 == 1;
  if (!value[0].is_number_integer() || !value[1].is_string() || !isPoint({value[2], value[3]}) ||
      (hasFrom && !isPoint({value[4], value[5]})) || (hasReach && !isReach(value.back())) ||
      (value[0].is_number_unsigned() && value[0].get<uint64_t>() > LONG_MAX)) {
    return std::nullopt;
  }
  const std::string phase = value[1].get<std::string>();
  const auto* name = std::find(std::begin(kPhaseNames), std::end(kPhaseNames), phase);
  if (name == std::end(kPhaseNames)) return std::nullopt;
  std::optional<platform::Point> from;
  if (hasFrom) from = pointAt(value, 4);
  return InputEntry::touchAt(value[0].get<long>(),
                             static_cast<TouchPhase>(name - std::begin(kPhaseNames)),
                             pointAt(value, 2), from, hasReach ? value.back().get<float>() : 0);
}

// The actions that are input a player gives: the tilt, touches, the window's notices, keys.
std::optional<InputEntry> readInput(const std::string& key, const json& value) {
  using Kind = InputEntry::Kind;
  if (key == "touch") return readTouch(value);
  if (key == "tilt" && value.is_number() && std::isfinite(value.get<double>())) {
    return InputEntry::of(Kind::Tilt, value.get<double>());
  }
  if (key == "focus" && value.is_number_integer() && isNotches(value)) {
    return InputEntry::of(Kind::Focus, value.get<double>());
  }
  if (key == "slide" && value.is_number_integer() && isNotches(value)) {
    return InputEntry::of(Kind::Slide, value.get<double>());
  }
  if (key == "page" && isNotches(value)) return InputEntry::of(Kind::Page, value.get<float>());
  if (key == "wheel" && value.is_array() && value.size() == 3 && isPoint({value[0], value[1]}) &&
      isNotches(value[2])) {
    return InputEntry::wheel(pointAt(value, 0), value[2].get<float>());
  }
  for (const auto& [name, kind] : kNotices) {
    if (key == name && value == true) return InputEntry::of(kind);
  }
  return std::nullopt;
}

// A stored value the store takes as it is: a volume within float's range, any other setting
// within long's (fractions are truncated as the store truncates them).
bool fitsStore(const std::string& key, const json& value) {
  if (value.is_number_unsigned()) return value.get<uint64_t>() <= LONG_MAX;
  if (value.is_number_integer()) return true;
  if (!value.is_number_float()) return false;
  // A volume spelt with 9 digits may round just past FLT_MAX, and still reads as FLT_MAX.
  const double limit = isFloatSetting(key) ? 0x1.ffffffp127 : 0x1p63;
  return std::fabs(value.get<double>()) < limit;
}

bool readEvent(const json& event, ReplayEvent& out, std::string& why) {
  if (!event.is_object()) {
    why = "is not an object";
    return false;
  }
  if (!event.contains("t") || !event["t"].is_number() || !(event["t"].get<double>() >= 0) ||
      !std::isfinite(event["t"].get<double>())) {
    why = "has no time \"t\" of 0 or more";
    return false;
  }
  out.t = event["t"].get<double>();
  if (event.size() != 2) {
    why = "must hold \"t\" and exactly one action";
    return false;
  }
  for (const auto& [key, value] : event.items()) {
    if (key == "t") continue;
    if (key == "button" && isButtonTag(value)) {
      out.kind = ReplayEvent::Kind::Button;
      out.button = value.get<int>();
    } else if (key == "tap" && isPoint(value)) {
      out.kind = ReplayEvent::Kind::Tap;
      out.x0 = out.x1 = value[0].get<float>();
      out.y0 = out.y1 = value[1].get<float>();
    } else if (key == "swipe" && value.is_array() && value.size() == 2 && isPoint(value[0]) &&
               isPoint(value[1])) {
      out.kind = ReplayEvent::Kind::Swipe;
      out.x0 = value[0][0].get<float>();
      out.y0 = value[0][1].get<float>();
      out.x1 = value[1][0].get<float>();
      out.y1 = value[1][1].get<float>();
    } else if (const std::optional<InputEntry> input = readInput(key, value)) {
      out.kind = ReplayEvent::Kind::Input;
      out.input = *input;
    } else if (key == "bot" && value.is_boolean()) {
      out.kind = ReplayEvent::Kind::Bot;
      out.bot = value.get<bool>();
    } else {
      why = "has an unknown or malformed action \"" + key + "\"";
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<ReplayScript> parseReplayScript(const json& script, std::string& error) {
  if (!script.is_object()) {
    error = "the script is not a JSON object";
    return std::nullopt;
  }
  ReplayScript out;
  const json seed = script.value("seed", json());
  if (!seed.is_number_unsigned() || seed.get<uint64_t>() > std::numeric_limits<uint32_t>::max()) {
    error = "\"seed\" must be an unsigned 32-bit number";
    return std::nullopt;
  }
  out.seed = seed.get<uint32_t>();
  if (script.contains("draws")) {
    const json& draws = script["draws"];
    if (!draws.is_number_unsigned() || draws.get<uint64_t>() > kMostDrawsSkipped) {
      error = "\"draws\" must be a whole number from 0 to " + std::to_string(kMostDrawsSkipped);
      return std::nullopt;
    }
    out.draws = draws.get<uint64_t>();
  }
  if (script.contains("demoWaits")) {
    if (!script["demoWaits"].is_boolean()) {
      error = "\"demoWaits\" must be true or false";
      return std::nullopt;
    }
    out.demoWaits = script["demoWaits"].get<bool>();
  }
  const json duration = script.value("duration", json());
  if (!duration.is_number() || !(duration.get<double>() >= 0) ||
      !std::isfinite(duration.get<double>())) {
    error = "\"duration\" must be a number of seconds, 0 or more";
    return std::nullopt;
  }
  out.duration = duration.get<double>();
  if (script.contains("defaults")) {
    const json& defaults = script["defaults"];
    const std::set<std::string> known = {"score", "level", "music", "effects", "achievements"};
    if (!defaults.is_object()) {
      error = "\"defaults\" must be an object";
      return std::nullopt;
    }
    for (const auto& [key, value] : defaults.items()) {
      if (!known.count(key) || !fitsStore(key, value)) {
        error = "\"defaults\" has an unknown or malformed value \"" + key + "\"";
        return std::nullopt;
      }
    }
    out.defaults = defaults;
  }
  const json events = script.value("events", json::array());
  if (!events.is_array()) {
    error = "\"events\" must be a list";
    return std::nullopt;
  }
  for (const auto& [key, value] : script.items()) {
    if (key != "seed" && key != "draws" && key != "demoWaits" && key != "duration" &&
        key != "defaults" && key != "events") {
      error = "the script has an unknown field \"" + key + "\"";
      return std::nullopt;
    }
  }
  double previous = 0;
  for (size_t i = 0; i < events.size(); ++i) {
    ReplayEvent event;
    std::string why;
    if (!readEvent(events[i], event, why)) {
      error = "event " + std::to_string(i) + " " + why + ": " + events[i].dump();
      return std::nullopt;
    }
    if (event.t < previous) {
      error = "event " + std::to_string(i) + " comes before the one above it: " + events[i].dump();
      return std::nullopt;
    }
    previous = event.t;
    out.events.push_back(event);
  }
  return out;
}

namespace {

// One line of a recording, read with its nesting capped like any file; discarded when it is not
// whole JSON.
json readLine(const std::string& line) {
  std::istringstream in(line);
  std::string error;
  return platform::readJson(in, error);
}

// A recording cut off mid-write: its first line opens the script and its events, one a line, and
// only its last line is torn. The events before that line, the script's time ending with the
// last of them; nothing when the text is not laid out so or is damaged elsewhere.
std::optional<json> recoverCutOff(const std::string& text, std::string& warning) {
  std::istringstream lines(text);
  std::string line;
  const std::string opening = "\"events\":[";
  if (!std::getline(lines, line) || line.size() < opening.size() ||
      line.compare(line.size() - opening.size(), opening.size(), opening) != 0) {
    return std::nullopt;
  }
  json script = readLine(line + "]}");
  if (!script.is_object()) return std::nullopt;
  size_t number = 2;  // the line after the last whole event
  for (; std::getline(lines, line); ++number) {
    if (!line.empty() && line.front() == ',') line.erase(0, 1);
    json event = readLine(line);
    if (!event.is_object() || !event.contains("t")) break;
    script["events"].push_back(std::move(event));
  }
  while (std::getline(lines, line)) {
    if (!line.empty()) return std::nullopt;  // damaged before its end: not a cut
  }
  const json& events = script["events"];
  script["duration"] = events.empty() ? json(0) : events.back()["t"];
  warning = "cut off at line " + std::to_string(number) + "; it plays to its last whole event (" +
            (events.empty() ? std::string("none") : "t = " + events.back()["t"].dump()) + ")";
  return script;
}

std::string speltPoint(platform::Point p) {
  return spelt(p.x) + "," + spelt(p.y);
}

}  // namespace

std::optional<ReplayScript> readReplayScript(const std::string& path, std::string& error,
                                             std::string& warning) {
  const std::optional<std::string> whole = platform::readWhole(path);
  if (!whole) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  return readReplayScriptText(*whole, path, error, warning);
}

std::optional<ReplayScript> readReplayScriptText(const std::string& text, const std::string& name,
                                                 std::string& error, std::string& warning) {
  std::istringstream stream(text);
  json document = platform::readJson(stream, error);
  if (document.is_discarded()) {
    std::optional<json> recovered = recoverCutOff(text, warning);
    if (!recovered) {
      error = name + " " + error;
      return std::nullopt;
    }
    document = std::move(*recovered);
    warning = name + ": " + warning;
  }
  std::optional<ReplayScript> script = parseReplayScript(document, error);
  if (!script) error = name + ": " + error;
  return script;
}

std::string scriptEvent(double t, const InputEntry& entry) {
  std::string action;
  using Kind = InputEntry::Kind;
  switch (entry.kind) {
    case Kind::Touch:
      action = "\"touch\":[" + std::to_string(entry.touch) + ",\"" +
               kPhaseNames[static_cast<int>(entry.phase)] + "\"," + speltPoint(entry.at) +
               (entry.from ? "," + speltPoint(*entry.from) : "") +
               (entry.reach > 0 ? "," + spelt(entry.reach) : "") + "]";
      break;
    case Kind::Tilt:
      action = "\"tilt\":" + spelt(entry.value);
      break;
    case Kind::Resign:
    case Kind::Activate:
    case Kind::Pause:
    case Kind::Press:
    case Kind::Wake:
    case Kind::Back:
      for (const auto& [name, kind] : kNotices) {
        if (kind == entry.kind) action = "\"" + std::string(name) + "\":true";
      }
      break;
    case Kind::Focus:
      action = "\"focus\":" + spelt(entry.value);
      break;
    case Kind::Slide:
      action = "\"slide\":" + spelt(entry.value);
      break;
    case Kind::Wheel:
      action =
          "\"wheel\":[" + speltPoint(entry.at) + "," + spelt(static_cast<float>(entry.value)) + "]";
      break;
    case Kind::Page:
      action = "\"page\":" + spelt(static_cast<float>(entry.value));
      break;
  }
  return "{\"t\":" + spelt(t) + "," + action + "}";
}
