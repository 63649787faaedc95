// JSON on disk, replaced whole and atomically on every write (see stored_file.h).
#include "platform/core/user_defaults.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "platform/core/json_reading.h"
#include "platform/core/stored_file.h"

namespace platform {
namespace fs = std::filesystem;
namespace {

std::unique_ptr<UserDefaults> sStandard;
fs::path sStandardPath;

}  // namespace

fs::path UserDefaults::defaultPath() {
  return gameFolder("XDG_CONFIG_HOME", ".config") / "defaults.json";
}

UserDefaults& UserDefaults::standard() {
  if (!sStandard)
    sStandard =
        std::make_unique<UserDefaults>(sStandardPath.empty() ? defaultPath() : sStandardPath);
  return *sStandard;
}

void UserDefaults::useFile(const fs::path& path) {
  sStandardPath = path;
  sStandard.reset();
}

UserDefaults::UserDefaults(fs::path path) : path_(std::move(path)) {
  std::error_code error;
  if (!fs::exists(path_, error)) return;  // nothing stored yet
  if (!fs::is_regular_file(path_, error)) {
    std::fprintf(stderr, "tidewick: %s is not a file; settings will not be kept\n", path_.c_str());
    return;
  }
  std::ifstream in(path_, std::ios::binary);
  std::string why;
  nlohmann::json parsed = readJson(in, why);
  if (parsed.is_object()) {
    values_ = std::move(parsed);
  } else {
    moveAside(path_, parsed.is_discarded() ? why : "is not a JSON object", "settings start afresh");
  }
}

long UserDefaults::integerForKey(const std::string& key) const {
  auto found = values_.find(key);
  if (found == values_.end() || !found->is_number()) return 0;
  if (found->is_number_unsigned()) {
    return static_cast<long>(std::min<uint64_t>(found->get<uint64_t>(), LONG_MAX));
  }
  if (found->is_number_integer()) return found->get<long>();
  // Truncated toward zero; the bounds are the nearest doubles inside long's range.
  constexpr double kLongEnds = 0x1p63;
  const double value = found->get<double>();
  if (value >= kLongEnds) return LONG_MAX;
  if (value <= -kLongEnds) return LONG_MIN;
  return static_cast<long>(value);
}

float UserDefaults::floatForKey(const std::string& key) const {
  auto found = values_.find(key);
  if (found == values_.end() || !found->is_number()) return 0;
  return static_cast<float>(std::clamp(found->get<double>(), -static_cast<double>(FLT_MAX),
                                       static_cast<double>(FLT_MAX)));
}

bool UserDefaults::setInteger(long value, const std::string& key) {
  values_[key] = value;
  return save();
}

bool UserDefaults::setFloat(float value, const std::string& key) {
  values_[key] = value;
  return save();
}

void UserDefaults::setFloatLater(float value, const std::string& key) {
  values_[key] = value;
  pending_ = !held_;
}

void UserDefaults::hold() {
  if (!held_) held_ = Held{values_, pending_};
}

void UserDefaults::release() {
  if (!held_) return;
  values_ = std::move(held_->values);
  pending_ = held_->pending;
  held_.reset();
}

bool UserDefaults::flush() {
  return !pending_ || save();
}

// A failed write leaves the values pending, to be tried again with the next.
bool UserDefaults::save() {
  if (held_) return true;
  if (!writeWhole(path_, values_.dump(2) + "\n", "settings")) {
    pending_ = true;
    return false;
  }
  pending_ = false;
  ++writes_;
  return true;
}

}  // namespace platform
