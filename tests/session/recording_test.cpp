// Recording: every input the journal hears spelt as a script event that reads back exactly, a
// recording written as it goes that replays when cut off, the last game kept whole at each game's
// end, and malformed files refused naming their line or event.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/core/clock.h"
#include "platform/core/run_loop.h"
#include "platform/core/user_defaults.h"
#include "session/recorder.h"
#include "session/replay.h"
#include "tests/support/scratch.h"

namespace fs = std::filesystem;
using platform::InputEntry;
using platform::TouchPhase;

namespace {

class RecordingTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    platform::UserDefaults::useFile(dir_ / "defaults.json");
  }
  void TearDown() override {
    platform::UserDefaults::useFile({});
    fs::remove_all(dir_);
  }

  // `entry` journalled at the clock's `t`.
  void hear(double t, const InputEntry& entry) {
    clock_.advanceTo(t);
    platform::journal(entry);
  }
  static std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::optional<ReplayScript> readBack(const fs::path& path) {
    error_.clear();
    warning_.clear();
    return readReplayScript(path.string(), error_, warning_);
  }

  const fs::path dir_ = scratchPath("recording-test");
  platform::VirtualClock clock_{0};
  platform::RunLoop loop_{clock_};
  std::string error_, warning_;
};

void expectSame(const InputEntry& read, const InputEntry& written, size_t k) {
  EXPECT_EQ(read.kind, written.kind) << "entry " << k;
  EXPECT_EQ(read.touch, written.touch) << "entry " << k;
  EXPECT_EQ(read.phase, written.phase) << "entry " << k;
  EXPECT_EQ(read.at, written.at) << "entry " << k;
  EXPECT_EQ(read.from, written.from) << "entry " << k;
  EXPECT_EQ(read.reach, written.reach) << "entry " << k;
  EXPECT_EQ(read.value, written.value) << "entry " << k;
}

}  // namespace

TEST_F(RecordingTest, EveryKindOfInputReadsBackExactly) {
  using Kind = InputEntry::Kind;
  const std::vector<InputEntry> entries = {
      InputEntry::touchAt(-1, TouchPhase::Began, {123.456789f, 0.1f}),
      InputEntry::touchAt(7, TouchPhase::Moved, {1e-3f, 319.99f}, platform::Point{480, 0}),
      InputEntry::touchAt(8, TouchPhase::Began, {20, 300}, {}, 44 / 1.2187500f),
      InputEntry::touchAt(9, TouchPhase::Began, {20, 300}, platform::Point{21, 301}, 44),
      InputEntry::touchAt(-2, TouchPhase::Cancelled, {240, 160}),
      InputEntry::of(Kind::Tilt, 0.1 + 1e-16),
      InputEntry::of(Kind::Tilt, -1.0 / 3),
      InputEntry::of(Kind::Resign),
      InputEntry::of(Kind::Activate),
      InputEntry::of(Kind::Pause),
      InputEntry::of(Kind::Focus, -1),
      InputEntry::of(Kind::Press),
      InputEntry::of(Kind::Slide, 1),
      InputEntry::of(Kind::Back),
      InputEntry::wheel({17.25f, 300.125f}, -3),
      InputEntry::of(Kind::Page, 4),
      InputEntry::of(Kind::Wake),
  };
  std::string text = R"({"seed": 1, "duration": 60, "events": [)";
  for (size_t k = 0; k < entries.size(); ++k) {
    text += (k ? "," : "") + scriptEvent(12.345678901234567 + static_cast<double>(k), entries[k]);
  }
  text += "]}";
  std::string error;
  const std::optional<ReplayScript> script = parseReplayScript(nlohmann::json::parse(text), error);
  ASSERT_TRUE(script) << error;
  ASSERT_EQ(script->events.size(), entries.size());
  for (size_t k = 0; k < entries.size(); ++k) {
    EXPECT_EQ(script->events[k].kind, ReplayEvent::Kind::Input);
    EXPECT_EQ(script->events[k].t, 12.345678901234567 + static_cast<double>(k));
    expectSame(script->events[k].input, entries[k], k);
  }
}

TEST_F(RecordingTest, ARecordingOnDiskAsItGoesReplaysWhenCutOff) {
  platform::UserDefaults& store = platform::UserDefaults::standard();
  store.setInteger(1200, "score");
  store.setFloat(0.35f, "music");
  const fs::path file = dir_ / "game.json";
  {
    Recorder recorder(42);
    store.setInteger(5000, "score");  // what the game changes later is not where it started
    ASSERT_TRUE(recorder.writeTo(file));
    hear(1.5, InputEntry::of(InputEntry::Kind::Tilt, 0.25));
    hear(2.0, InputEntry::touchAt(-1, TouchPhase::Began, {100, 200}));
    hear(2.25, InputEntry::touchAt(-1, TouchPhase::Ended, {130, 180}));

    // Killed here: everything heard is on disk, and replays to the last event.
    std::optional<ReplayScript> cut = readBack(file);
    ASSERT_TRUE(cut) << error_;
    EXPECT_NE(warning_.find("cut off at line 5"), std::string::npos) << warning_;
    EXPECT_EQ(cut->seed, 42u);
    EXPECT_EQ(cut->defaults.size(), 2u);
    EXPECT_EQ(cut->defaults.value("score", 0), 1200);
    EXPECT_EQ(cut->defaults.value("music", 0.0f), 0.35f);
    ASSERT_EQ(cut->events.size(), 3u);
    EXPECT_EQ(cut->duration, 2.25);

    // Cut in the middle of its last line: that event is lost, the ones before are not.
    const std::string whole = read(file);
    std::ofstream(dir_ / "torn.json") << whole.substr(0, whole.size() - 12);
    cut = readBack(dir_ / "torn.json");
    ASSERT_TRUE(cut) << error_;
    ASSERT_EQ(cut->events.size(), 2u);
    EXPECT_EQ(cut->duration, 2.0);

    // Cut after a whole line nested far deeper than any file may: that line is refused as any
    // file's would be, never walked (printing it in an error once overflowed the stack).
    std::ofstream(dir_ / "deep.json") << whole << ",{\"t\":3,\"tap\":" << std::string(200000, '[')
                                      << std::string(200000, ']') << "}";
    cut = readBack(dir_ / "deep.json");
    ASSERT_TRUE(cut) << error_;
    EXPECT_EQ(cut->events.size(), 3u);

    recorder.finish(9.5);
    hear(10, InputEntry::of(InputEntry::Kind::Pause));  // after the end: not written
  }
  const std::optional<ReplayScript> complete = readBack(file);
  ASSERT_TRUE(complete) << error_;
  EXPECT_TRUE(warning_.empty()) << warning_;
  EXPECT_EQ(complete->events.size(), 3u);
  EXPECT_EQ(complete->duration, 9.5);
}

TEST_F(RecordingTest, TheLastGameIsKeptWholeAtEveryGamesEnd) {
  const fs::path kept = dir_ / "state" / "tidewick" / "last-game.json";
  Recorder recorder(7);
  recorder.keepGamesAt(kept);
  hear(3, InputEntry::of(InputEntry::Kind::Press));
  recorder.gameEnded(40);
  std::optional<ReplayScript> game = readBack(kept);
  ASSERT_TRUE(game) << error_;
  EXPECT_EQ(game->duration, 40);
  EXPECT_EQ(game->events.size(), 1u);

  hear(41, InputEntry::of(InputEntry::Kind::Press));
  recorder.gameEnded(90);
  game = readBack(kept);
  ASSERT_TRUE(game) << error_;
  EXPECT_EQ(game->duration, 90);
  EXPECT_EQ(game->events.size(), 2u);
  EXPECT_EQ(std::distance(fs::directory_iterator(kept.parent_path()), fs::directory_iterator()),
            1);  // replaced whole, nothing left beside it

  setenv("XDG_STATE_HOME", "/somewhere/state", 1);
  EXPECT_EQ(lastGamePath(), fs::path("/somewhere/state/tidewick/last-game.json"));
  unsetenv("XDG_STATE_HOME");
  setenv("HOME", "/home/player", 1);
  EXPECT_EQ(lastGamePath(), fs::path("/home/player/.local/state/tidewick/last-game.json"));
}

TEST_F(RecordingTest, MalformedFilesAreRefusedNamingTheirLineOrEvent) {
  const std::pair<std::string, std::string> cases[] = {
      {"{\"seed\":1,\"events\":[\n{\"t\":1,\"pause\":true}\n,{\"t\":2,,}\n],\"duration\":3}\n",
       "line 3"},
      {"{\"seed\":1,\"duration\":3,\"events\":[\n{\"t\":1,\"touch\":[1,\"sideways\",0,0]}\n]}",
       "event 0"},
      {R"({"seed":1,"duration":3,"events":[{"t":1,"focus":0.5}]})", "event 0"},
      {R"({"seed":1,"duration":3,"events":[{"t":1,"slide":-0.5}]})", "event 0"},
      {R"({"seed":1,"duration":3,"events":[{"t":1,"wheel":[0,0,1e9]}]})", "event 0"},
      {R"({"seed":1,"duration":3,"events":[{"t":1,"touch":[9223372036854775808,"began",0,0]}]})",
       "event 0"},
      {R"({"seed":1,"duration":3,"events":[{"t":1,"touch":[1,"began",0,0,-44]}]})", "event 0"},
      {R"({"seed":1,"duration":3,"events":[{"t":1,"touch":[1,"began",0,0,1,1,44,2]}]})", "event 0"},
      // A number no double holds, in a line that is not the last: damage, not a cut.
      {"{\"seed\":1,\"events\":[\n{\"t\":1,\"tilt\":1e400}\n,{\"t\":2,\"pause\":true}\n],"
       "\"duration\":3}\n",
       "is not JSON: number overflow parsing '1e400'"},
      // Cut off, but not a recording's layout: nothing to recover.
      {R"({"seed":1,"duration":3,"events":[{"t":1,"pause":true})", "is not JSON"},
  };
  for (const auto& [text, named] : cases) {
    std::ofstream(dir_ / "bad.json", std::ios::trunc) << text;
    EXPECT_FALSE(readBack(dir_ / "bad.json")) << text;
    EXPECT_NE(error_.find(named), std::string::npos) << text << "\n" << error_;
  }
}
