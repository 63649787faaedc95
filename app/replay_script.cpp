// Reading a replay script: every field checked before anything runs.
#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <set>

#include "app/replay.h"
#include "platform/core/geometry.h"

namespace {

using nlohmann::json;

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

// A stored value the store takes as it is: a volume within float's range, any other setting
// within long's (fractions are truncated as the store truncates them).
bool fitsStore(const std::string& key, const json& value) {
  if (value.is_number_unsigned()) return value.get<uint64_t>() <= LONG_MAX;
  if (value.is_number_integer()) return true;
  if (!value.is_number_float()) return false;
  const double limit = isFloatSetting(key) ? FLT_MAX : 0x1p63;
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
    } else if (key == "tilt" && value.is_number() && std::isfinite(value.get<double>())) {
      out.kind = ReplayEvent::Kind::Tilt;
      out.tilt = value.get<double>();
    } else if (key == "resign" && value == true) {
      out.kind = ReplayEvent::Kind::Resign;
    } else if (key == "activate" && value == true) {
      out.kind = ReplayEvent::Kind::Activate;
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
    if (key != "seed" && key != "duration" && key != "defaults" && key != "events") {
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
