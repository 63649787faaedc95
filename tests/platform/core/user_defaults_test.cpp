// Stored values: reading, writing, where the file lives, corrupt files, and writes that survive
// the process being killed at any moment.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cfloat>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <thread>

#include <nlohmann/json.hpp>

#include "platform/core/user_defaults.h"

namespace fs = std::filesystem;
using platform::UserDefaults;

namespace {

class UserDefaultsTest : public testing::Test {
 protected:
  void SetUp() override {
    directory_ =
        fs::temp_directory_path() / ("tidewick-defaults-" + std::to_string(::getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(directory_);
    fs::create_directories(directory_);
  }
  void TearDown() override { fs::remove_all(directory_); }
  fs::path file() const { return directory_ / "defaults.json"; }
  void writeFile(const std::string& text) { std::ofstream(file()) << text; }

  fs::path directory_;
};

}  // namespace

TEST_F(UserDefaultsTest, MissingKeysReadAsZeroAndWritesSurviveARestart) {
  {
    UserDefaults defaults(file());
    EXPECT_EQ(defaults.integerForKey("score"), 0);
    EXPECT_EQ(defaults.floatForKey("music"), 0.0f);
    EXPECT_TRUE(defaults.setInteger(31337, "score"));
    EXPECT_TRUE(defaults.setFloat(0.01f, "music"));
  }
  UserDefaults again(file());
  EXPECT_EQ(again.integerForKey("score"), 31337);
  EXPECT_EQ(again.floatForKey("music"), 0.01f);
  EXPECT_EQ(again.floatForKey("score"), 31337.0f);
  EXPECT_EQ(again.integerForKey("music"), 0);
  EXPECT_FALSE(fs::exists(file().string() + ".tmp"));
}

TEST_F(UserDefaultsTest, ValuesOfTheWrongKindReadAsZero) {
  writeFile(R"({"score": "lots", "music": null, "level": [1]})");
  UserDefaults defaults(file());
  EXPECT_EQ(defaults.integerForKey("score"), 0);
  EXPECT_EQ(defaults.floatForKey("music"), 0.0f);
  EXPECT_EQ(defaults.integerForKey("level"), 0);
}

// Numbers beyond a double's range are JSON the library cannot hold: the file is as damaged as
// one cut short, and the warning says what is wrong with each.
TEST_F(UserDefaultsTest, CorruptFileIsMovedAsideAndReported) {
  const std::string digits400 = "1" + std::string(399, '0');
  const struct {
    std::string text, says;
  } damaged[] = {
      {"{\"score\": 12", "is not JSON: line 1, column 13"},
      {"[1, 2]", "is not a JSON object"},
      {"", "is not JSON: line 1, column 1"},
      {R"({"score": 1e400})", "number overflow parsing '1e400'"},
      {R"({"level": 3, "music": -1e400})", "number overflow parsing '-1e400'"},
      {R"({"effects": 1e309})", "number overflow parsing '1e309'"},
      {"{\"achievements\": " + digits400 + "}", "number overflow parsing '" + digits400 + "'"},
      {"{\"score\": -" + digits400 + "}", "number overflow parsing '-" + digits400 + "'"},
  };
  for (const auto& [text, says] : damaged) {
    writeFile(text);
    testing::internal::CaptureStderr();
    UserDefaults defaults(file());
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(warning.find("moved to"), std::string::npos) << warning;
    EXPECT_NE(warning.find(says), std::string::npos) << warning;
    EXPECT_EQ(defaults.integerForKey("score"), 0);
    EXPECT_FALSE(fs::exists(file()));

    int aside = 0;
    for (auto& entry : fs::directory_iterator(directory_)) {
      if (entry.path().filename().string().starts_with("defaults.json.corrupt-")) {
        std::ifstream in(entry.path());
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
        fs::remove(entry.path());
        ++aside;
      }
    }
    EXPECT_EQ(aside, 1) << text;
  }
}

TEST_F(UserDefaultsTest, EveryDamagedFileKeepsACopyOfItsOwn) {
  // Nested too deep to be a store: refused like unparsable text, before any save could recurse.
  const std::string deep = "{\"score\": " + std::string(5000, '[') + std::string(5000, ']') + "}";
  const std::string texts[] = {"{\"score\": 1", deep, "not json", "{\"level\": 2"};
  for (const std::string& text : texts) {  // well within one second
    writeFile(text);
    testing::internal::CaptureStderr();
    UserDefaults defaults(file());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("moved to"), std::string::npos);
    EXPECT_TRUE(defaults.setInteger(3, "level"));
    EXPECT_EQ(UserDefaults(file()).integerForKey("level"), 3);
  }
  std::multiset<std::string> kept;
  for (auto& entry : fs::directory_iterator(directory_)) {
    if (!entry.path().filename().string().starts_with("defaults.json.corrupt-")) continue;
    std::ifstream in(entry.path());
    kept.insert(std::string(std::istreambuf_iterator<char>(in), {}));
  }
  EXPECT_EQ(kept, std::multiset<std::string>(std::begin(texts), std::end(texts)));
}

TEST_F(UserDefaultsTest, NumbersBeyondTheTypesReadAsTheirNearestEnd) {
  writeFile(R"({"score": 1e300, "level": -1e300, "big": 18446744073709551615, "huge": 1e19,
                "low": -9223372036854775808, "part": -7.9, "music": 1e300, "effects": -1e300})");
  const UserDefaults defaults(file());
  EXPECT_EQ(defaults.integerForKey("score"), LONG_MAX);
  EXPECT_EQ(defaults.integerForKey("level"), LONG_MIN);
  EXPECT_EQ(defaults.integerForKey("big"), LONG_MAX);
  EXPECT_EQ(defaults.integerForKey("huge"), LONG_MAX);
  EXPECT_EQ(defaults.integerForKey("low"), LONG_MIN);
  EXPECT_EQ(defaults.integerForKey("part"), -7);
  EXPECT_EQ(defaults.floatForKey("music"), FLT_MAX);
  EXPECT_EQ(defaults.floatForKey("effects"), -FLT_MAX);
  EXPECT_EQ(defaults.floatForKey("big"), 18446744073709551615.0f);
}

// Values set for later are read at once and reach the disk together with the next flush or the
// next immediate write; a flush with nothing waiting writes nothing.
TEST_F(UserDefaultsTest, LaterWritesWaitForAFlushAndAFailedOneIsTriedAgain) {
  UserDefaults defaults(file());
  for (int step = 1; step <= 50; ++step) defaults.setFloatLater(step / 50.0f, "music");
  EXPECT_EQ(defaults.floatForKey("music"), 1.0f);
  EXPECT_TRUE(defaults.hasPendingWrite());
  EXPECT_EQ(defaults.writes(), 0);
  EXPECT_FALSE(fs::exists(file()));
  EXPECT_TRUE(defaults.flush());
  EXPECT_TRUE(defaults.flush());
  EXPECT_EQ(defaults.writes(), 1);
  EXPECT_EQ(UserDefaults(file()).floatForKey("music"), 1.0f);

  defaults.setFloatLater(0.5f, "effects");
  EXPECT_TRUE(defaults.setInteger(3, "level"));  // takes the waiting value along
  EXPECT_FALSE(defaults.hasPendingWrite());
  EXPECT_EQ(UserDefaults(file()).floatForKey("effects"), 0.5f);

  writeFile("{}");
  UserDefaults blocked(file() / "defaults.json");  // its folder is a file
  blocked.setFloatLater(0.25f, "music");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(blocked.flush());
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(blocked.hasPendingWrite());
}

// A held store (the demo's) reads what is set meanwhile but writes nothing, and its release
// brings back the values from before the hold, with whatever was waiting then still waiting.
TEST_F(UserDefaultsTest, AHeldStoreWritesNothingAndItsReleaseBringsBackTheValuesFromBefore) {
  UserDefaults defaults(file());
  defaults.setInteger(7, "level");
  defaults.setFloatLater(0.25f, "music");
  defaults.hold();
  defaults.hold();  // a second hold keeps the first's values
  EXPECT_TRUE(defaults.setInteger(9, "level"));
  EXPECT_TRUE(defaults.setInteger(5000, "score"));
  defaults.setFloatLater(0.75f, "music");
  EXPECT_TRUE(defaults.flush());
  EXPECT_EQ(defaults.integerForKey("level"), 9);
  EXPECT_EQ(defaults.floatForKey("music"), 0.75f);
  EXPECT_EQ(defaults.writes(), 1);
  EXPECT_EQ(UserDefaults(file()).integerForKey("level"), 7);

  defaults.release();
  EXPECT_FALSE(defaults.isHeld());
  EXPECT_EQ(defaults.integerForKey("level"), 7);
  EXPECT_EQ(defaults.integerForKey("score"), 0);
  EXPECT_EQ(defaults.floatForKey("music"), 0.25f);
  EXPECT_TRUE(defaults.hasPendingWrite());
  EXPECT_TRUE(defaults.flush());
  EXPECT_EQ(UserDefaults(file()).floatForKey("music"), 0.25f);
  EXPECT_EQ(UserDefaults(file()).integerForKey("score"), 0);
}

TEST_F(UserDefaultsTest, WritesIntoAMissingFolderAndReportsAnUnwritableOne) {
  UserDefaults nested(directory_ / "a" / "b" / "defaults.json");
  EXPECT_TRUE(nested.setInteger(5, "level"));
  EXPECT_EQ(UserDefaults(directory_ / "a" / "b" / "defaults.json").integerForKey("level"), 5);

  writeFile("{}");
  UserDefaults blocked(file() / "defaults.json");  // its folder is a file
  testing::internal::CaptureStderr();
  EXPECT_FALSE(blocked.setInteger(1, "score"));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("could not save"), std::string::npos);
  EXPECT_EQ(blocked.integerForKey("score"), 1);  // kept in memory all the same

  fs::create_directories(directory_ / "folder");
  testing::internal::CaptureStderr();
  UserDefaults folder(directory_ / "folder");  // a folder where the file should be
  EXPECT_NE(testing::internal::GetCapturedStderr().find("not a file"), std::string::npos);
  EXPECT_TRUE(fs::is_directory(directory_ / "folder"));  // never moved or overwritten
  testing::internal::CaptureStderr();
  EXPECT_FALSE(folder.setInteger(1, "score"));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(fs::is_directory(directory_ / "folder"));
}

TEST_F(UserDefaultsTest, DefaultPathFollowsXdgConfigHome) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string savedValue = saved ? saved : "";
  ::setenv("XDG_CONFIG_HOME", directory_.c_str(), 1);
  EXPECT_EQ(UserDefaults::defaultPath(), directory_ / "tidewick" / "defaults.json");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(UserDefaults::defaultPath().parent_path().parent_path().filename(), ".config");
  if (saved) ::setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1);
}

TEST_F(UserDefaultsTest, KilledWriterAlwaysLeavesAnOldOrANewValue) {
  UserDefaults(file()).setInteger(0, "score");
  std::mt19937 rng(20261207);
  std::uniform_int_distribution<int> delay(0, 4000);
  long highest = 0;
  for (int round = 0; round < 200; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      UserDefaults defaults(file());
      for (long value = defaults.integerForKey("score") + 1;; ++value) {
        defaults.setInteger(value, "score");
        defaults.setFloat(static_cast<float>(value) / 2, "music");
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    std::ifstream in(file());
    ASSERT_TRUE(in) << "round " << round;
    const nlohmann::json stored = nlohmann::json::parse(in, nullptr, false);
    ASSERT_TRUE(stored.is_object()) << "round " << round;
    const long score = stored.value("score", -1L);
    ASSERT_GE(score, highest) << "round " << round;
    highest = score;
  }
  EXPECT_GT(highest, 0);
}
