// The player's stored values: integers and floats by key, kept as JSON in the user's config
// folder. A write reaches the disk at once and atomically, or, for values that change in quick
// runs (a slider dragged), with the next flush.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace platform {

class UserDefaults {
 public:
  // $XDG_CONFIG_HOME/tidewick/defaults.json, or ~/.config/tidewick/defaults.json.
  static std::filesystem::path defaultPath();
  // The store the game uses; `useFile` points it elsewhere before first use.
  static UserDefaults& standard();
  static void useFile(const std::filesystem::path& path);

  // Reads the file; a missing one is an empty store. A file that cannot be parsed, or that nests
  // deeper than any store does, is moved aside to "<name>.corrupt-<timestamp>" (with "-2", "-3"
  // and so on where that name is taken) with a warning, and the store starts empty.
  explicit UserDefaults(std::filesystem::path path);

  // A missing key, or one holding no number, reads as 0. A number beyond the type's range reads
  // as its nearest end (1e300 as LONG_MAX, or FLT_MAX for a float); a fraction is truncated.
  long integerForKey(const std::string& key) const;
  float floatForKey(const std::string& key) const;
  // False, with a warning, when the file could not be written; the value is kept in memory.
  bool setInteger(long value, const std::string& key);
  bool setFloat(float value, const std::string& key);
  // The value now, in memory; on disk with the next flush or immediate write.
  void setFloatLater(float value, const std::string& key);
  bool hasPendingWrite() const { return pending_; }
  // Writes what waits to be written; true when nothing waits or the write succeeded.
  bool flush();

  // While held, writes change the values in memory only; `release` puts back the values from
  // before the hold (and whatever waited to be written then), so nothing set meanwhile is kept.
  void hold();
  void release();
  bool isHeld() const { return held_.has_value(); }

  const std::filesystem::path& path() const { return path_; }
  // How many times the file has been written.
  long writes() const { return writes_; }

 private:
  bool save();

  std::filesystem::path path_;
  nlohmann::json values_ = nlohmann::json::object();
  bool pending_ = false;
  long writes_ = 0;
  struct Held {
    nlohmann::json values;
    bool pending;
  };
  std::optional<Held> held_;
};

}  // namespace platform
