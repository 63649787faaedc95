// JSON on disk, replaced whole on every write: a temporary file is written and synced, then
// renamed over the old one, so a crash leaves the old file or the new one, never a torn one.
#include "platform/core/user_defaults.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

#include "platform/core/json_reading.h"

namespace platform {
namespace fs = std::filesystem;
namespace {

std::unique_ptr<UserDefaults> sStandard;
fs::path sStandardPath;

bool writeAll(int fd, const std::string& text) {
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

// The directory entry of a rename is durable only once the directory itself is synced.
void syncDirectory(const fs::path& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Renames without ever replacing a file already at `to`: false with EEXIST when one is there.
bool renameNoReplace(const fs::path& from, const fs::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the flag: look first (two launches racing here is the only risk).
  std::error_code error;
  if (fs::exists(to, error)) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

// Every damaged file keeps a name of its own: a second one in the same second gets "-2", and so
// on, never the first one's.
void moveAside(const fs::path& path) {
  const auto stamp = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
  const std::string base = path.string() + ".corrupt-" + std::to_string(stamp);
  fs::path aside = base;
  bool moved = renameNoReplace(path, aside);
  for (int copy = 2; !moved && errno == EEXIST; ++copy) {
    aside = base + "-" + std::to_string(copy);
    moved = renameNoReplace(path, aside);
  }
  if (!moved) {
    std::fprintf(stderr, "tidewick: %s is unreadable and could not be moved aside (%s)\n",
                 path.c_str(), std::strerror(errno));
  } else {
    std::fprintf(stderr,
                 "tidewick: %s was unreadable; it was moved to %s and settings start afresh\n",
                 path.c_str(), aside.c_str());
  }
}

}  // namespace

fs::path UserDefaults::defaultPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  fs::path base;
  if (config && *config) {
    base = config;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = fs::path(home) / ".config";
  } else {
    base = ".";
  }
  return base / "tidewick" / "defaults.json";
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
    moveAside(path_);
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
  pending_ = true;
}

bool UserDefaults::flush() {
  return !pending_ || save();
}

// A failed write leaves the values pending, to be tried again with the next.
bool UserDefaults::save() {
  std::error_code error;
  fs::create_directories(path_.parent_path(), error);
  fs::path temporary = path_;
  temporary += ".tmp";
  const std::string text = values_.dump(2) + "\n";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool ok = fd >= 0 && writeAll(fd, text) && ::fsync(fd) == 0;
  if (fd >= 0) ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temporary.c_str(), path_.c_str()) == 0;
  if (!ok) {
    std::fprintf(stderr, "tidewick: could not save settings to %s: %s\n", path_.c_str(),
                 std::strerror(errno));
    ::unlink(temporary.c_str());
    pending_ = true;
    return false;
  }
  syncDirectory(path_.parent_path().empty() ? fs::path(".") : path_.parent_path());
  pending_ = false;
  ++writes_;
  return true;
}

}  // namespace platform
