// Recording: a script's opening from the seed and the store, an event line for every input
// heard, and the closing with the session's time.
#include "session/recorder.h"

#include <cstdio>

#include "app/achievements.h"
#include "app/settings.h"
#include "platform/core/run_loop.h"
#include "platform/core/stored_file.h"
#include "platform/core/user_defaults.h"
#include "session/replay.h"
#include "session/spelt_numbers.h"

namespace {

std::string closing(double time) {
  return "],\"duration\":" + spelt(time) + "}\n";
}

constexpr const char* kIntegerKeys[] = {kHighScoreKey, kHighLevelKey, kAchievementsKey};
constexpr const char* kFloatKeys[] = {kMusicKey, kEffectsKey};

// The stored values a replay starts from; a missing key and 0 read alike, so 0 is left out.
std::string storedValues() {
  const platform::UserDefaults& store = platform::UserDefaults::standard();
  std::string values;
  const auto add = [&values](const char* key, const std::string& value) {
    values += (values.empty() ? "\"" : ",\"") + std::string(key) + "\":" + value;
  };
  for (const char* key : kIntegerKeys) {
    if (const long value = store.integerForKey(key)) add(key, std::to_string(value));
  }
  for (const char* key : kFloatKeys) {
    if (const float value = store.floatForKey(key)) add(key, spelt(value));
  }
  return "{" + values + "}";
}

}  // namespace

Recorder::Recorder(uint32_t seed, uint64_t draws, bool demoWaits)
    : opening_("{\"seed\":" + std::to_string(seed) +
               (draws ? ",\"draws\":" + std::to_string(draws) : std::string()) +
               (demoWaits ? ",\"demoWaits\":true" : "") + ",\"defaults\":" + storedValues() +
               ",\"events\":[\n") {
  platform::setInputJournal([this](const platform::InputEntry& entry) { heard(entry); });
}

Recorder::Recorder(std::string opening, std::string events)
    : opening_(std::move(opening)), events_(std::move(events)) {
  platform::setInputJournal([this](const platform::InputEntry& entry) { heard(entry); });
}

Recorder::~Recorder() {
  platform::setInputJournal({});
}

bool Recorder::writeTo(const std::filesystem::path& path) {
  file_.open(path, std::ios::trunc);
  if (!file_ || !(file_ << opening_ << events_ << std::flush)) {
    std::fprintf(stderr, "tidewick: cannot write the recording %s\n", path.c_str());
    return false;
  }
  filePath_ = path;
  return true;
}

void Recorder::heard(const platform::InputEntry& entry) {
  if (finished_ || !hearing_) return;
  const std::string line =
      (events_.empty() ? "" : ",") + scriptEvent(platform::RunLoop::current().now(), entry) + "\n";
  events_ += line;
  if (lineWritten_) lineWritten_(line);
  if (file_.is_open() && !(file_ << line << std::flush)) {
    std::fprintf(stderr, "tidewick: the recording %s could not be written on\n", filePath_.c_str());
    file_.close();
  }
}

void Recorder::gameEnded(double time) {
  if (gamesFile_) {
    platform::writeWhole(*gamesFile_, opening_ + events_ + closing(time), "the last game");
  }
}

void Recorder::finish(double time) {
  if (finished_) return;
  finished_ = true;
  if (!file_.is_open()) return;
  if (!(file_ << closing(time) << std::flush)) {
    std::fprintf(stderr, "tidewick: the recording %s could not be completed\n", filePath_.c_str());
  }
  file_.close();
}

std::filesystem::path lastGamePath() {
  return platform::stateFolder() / "last-game.json";
}

void restoreStoredValues(const nlohmann::json& defaults) {
  platform::UserDefaults& store = platform::UserDefaults::standard();
  const auto value = [&defaults](const char* key, auto none) {
    return defaults.is_object() ? defaults.value(key, none) : none;
  };
  for (const char* key : kIntegerKeys) store.setInteger(value(key, 0L), key);
  for (const char* key : kFloatKeys) store.setFloat(value(key, 0.0f), key);
}
