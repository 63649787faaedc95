// tidewick replay, run as a program: a passive game played to its end, the same dump twice,
// screenshots, and scripts refused before anything runs.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "platform/graphics/image.h"
#include "tests/support/build_paths.h"
#include "tests/support/scratch.h"

namespace fs = std::filesystem;

namespace {

struct ReplayRun {
  int status;
  std::string errors;
};

class ReplayTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string file(const std::string& name) const { return (dir_ / name).string(); }

  // The game's exit unloads the GL driver, whose allocations the leak checker can then no
  // longer name; the game's own code is leak-checked in-process by the flow tests.
  ReplayRun replay(const std::string& script, const std::string& options) {
    std::ofstream(file("script.json")) << script;
    const std::string command = "ASAN_OPTIONS=detect_leaks=0 " + std::string(build_paths::kGame) +
                                " replay " + file("script.json") + " " + options + " 2>" +
                                file("errors.txt") + " >/dev/null";
    const int status = std::system(command.c_str());
    return {WEXITSTATUS(status), read(file("errors.txt"))};
  }

  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static std::vector<nlohmann::json> lines(const std::string& path) {
    std::vector<nlohmann::json> parsed;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) parsed.push_back(nlohmann::json::parse(line));
    return parsed;
  }

  const fs::path dir_ = scratchPath("replay-test");
};

}  // namespace

TEST_F(ReplayTest, APassiveGamePlaysToItsEndAndKeepsItsRecords) {
  const ReplayRun run = replay(R"({"seed": 7, "duration": 400, "defaults": {"level": 2},
                            "events": [{"t": 0.2, "button": 1}, {"t": 0.25, "button": 8}]})",
                               "--dump " + file("dump.jsonl"));
  ASSERT_EQ(run.status, 0) << run.errors;
  const std::vector<nlohmann::json> dump = lines(file("dump.jsonl"));
  ASSERT_GT(dump.size(), 100u);

  EXPECT_EQ(dump[0]["textures"].size(), 38u);
  EXPECT_EQ(dump[0]["textures"][1], nlohmann::json({96, 64}));
  EXPECT_EQ(dump[0]["sounds"][13], "tiptoe");
  EXPECT_EQ(dump[1]["frame"], 0);
  EXPECT_EQ(dump[1]["state"], 1);
  EXPECT_EQ(dump[1]["round"], 1);
  const auto& firstSounds = dump[1]["sounds"];
  EXPECT_NE(std::find(firstSounds.begin(), firstSounds.end(), "button"), firstSounds.end());
  EXPECT_NE(std::find(firstSounds.begin(), firstSounds.end(), "xylophone"), firstSounds.end());

  int rounds = 0, frame = 0;
  double lastT = 0;
  for (size_t i = 1; i + 1 < dump.size(); ++i) {
    ASSERT_EQ(dump[i]["frame"], frame++);
    EXPECT_GT(dump[i]["t"].get<double>(), lastT);
    lastT = dump[i]["t"].get<double>();
    EXPECT_LE(dump[i]["dt"].get<double>(), 0.5);
    rounds = std::max(rounds, dump[i]["round"].get<int>());
    EXPECT_EQ(dump[i]["trash"].size(), dump[i]["numTrash"].get<size_t>());
  }
  const nlohmann::json& final = dump.back()["final"];
  EXPECT_EQ(final["t"], 400);
  EXPECT_EQ(final["state"], 0);  // the babies are all gone
  EXPECT_EQ(final["round"], rounds);
  EXPECT_GE(rounds, 2);
  EXPECT_LE(rounds, 10);
  EXPECT_GT(final["score"].get<unsigned>(), 0u);
  EXPECT_EQ(final["highScore"], final["score"]);
  EXPECT_EQ(final["defaults"]["score"], final["score"]);
  EXPECT_EQ(final["defaults"]["level"], std::max(rounds, 2));
  EXPECT_EQ(final["defaults"]["music"], 0.600000024);
}

TEST_F(ReplayTest, TheSameScriptGivesTheSameDumpAndScreenshotsShowTheScreen) {
  const std::string script = R"({"seed": 4242, "duration": 40, "events": [
      {"t": 0.4, "button": 1}, {"t": 0.5, "button": 8}, {"t": 3, "tilt": 0.3}, {"t": 6, "tap": [240, 160]},
      {"t": 8, "swipe": [[200, 100], [260, 90]]}, {"t": 9, "tilt": -0.4},
      {"t": 12, "resign": true}, {"t": 15, "activate": true}, {"t": 20, "tilt": 0}]})";
  ASSERT_EQ(
      replay(script, "--dump " + file("a.jsonl") + " --screenshot 10:" + file("shot.png")).status,
      0);
  ASSERT_EQ(replay(script, "--dump " + file("b.jsonl")).status, 0);
  const std::string a = read(file("a.jsonl"));
  EXPECT_GT(a.size(), 10000u);
  EXPECT_EQ(a, read(file("b.jsonl")));

  // The tilt moved the crab; the pause stopped the frames for three seconds.
  const std::vector<nlohmann::json> dump = lines(file("a.jsonl"));
  bool movedLeft = false, paused = false;
  for (size_t i = 2; i + 1 < dump.size(); ++i) {
    movedLeft |= dump[i]["crab"]["x"].get<float>() < 200;
    paused |= dump[i]["t"].get<double>() - dump[i - 1]["t"].get<double>() > 2.9;
  }
  EXPECT_TRUE(movedLeft);
  EXPECT_TRUE(paused);

  const std::string png = read(file("shot.png"));
  ASSERT_GT(png.size(), 24u);
  const auto big = [&png](size_t at) {
    return (static_cast<uint8_t>(png[at]) << 24) | (static_cast<uint8_t>(png[at + 1]) << 16) |
           (static_cast<uint8_t>(png[at + 2]) << 8) | static_cast<uint8_t>(png[at + 3]);
  };
  EXPECT_EQ(big(16), 480u);
  EXPECT_EQ(big(20), 320u);
}

// A screenshot's pixels, RGBA rows top first.
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
  uint8_t at(int x, int y, int c) const {
    x = std::clamp(x, 0, width - 1), y = std::clamp(y, 0, height - 1);
    return rgba[(static_cast<size_t>(y) * width + x) * 4 + c];
  }
};

Pixels pixelsOf(const std::string& png) {
  const auto image = platform::Image::imageWithContentsOfFile(png);
  if (!image) return {};
  return {image->width(), image->height(), image->pixels()};
}

// How much fine detail a picture holds: the summed size of its luminance's Laplacian.
double detail(const Pixels& picture) {
  const auto luma = [&](int x, int y) {
    return 0.299 * picture.at(x, y, 0) + 0.587 * picture.at(x, y, 1) + 0.114 * picture.at(x, y, 2);
  };
  double sum = 0;
  for (int y = 1; y + 1 < picture.height; ++y) {
    for (int x = 1; x + 1 < picture.width; ++x) {
      sum += std::abs(4 * luma(x, y) - luma(x - 1, y) - luma(x + 1, y) - luma(x, y - 1) -
                      luma(x, y + 1));
    }
  }
  return sum;
}

// The picture twice as large, each new pixel filtered from the four nearest: what a window
// twice the screen's size showed of a one-pixel-a-point surface.
Pixels doubled(const Pixels& picture) {
  Pixels large{picture.width * 2, picture.height * 2, {}};
  large.rgba.resize(static_cast<size_t>(large.width) * large.height * 4);
  for (int y = 0; y < large.height; ++y) {
    for (int x = 0; x < large.width; ++x) {
      const float sx = (x + 0.5f) / 2 - 0.5f, sy = (y + 0.5f) / 2 - 0.5f;
      const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
      const float fx = sx - x0, fy = sy - y0;
      for (int c = 0; c < 4; ++c) {
        const float top = picture.at(x0, y0, c) * (1 - fx) + picture.at(x0 + 1, y0, c) * fx;
        const float bottom =
            picture.at(x0, y0 + 1, c) * (1 - fx) + picture.at(x0 + 1, y0 + 1, c) * fx;
        large.rgba[(static_cast<size_t>(y) * large.width + x) * 4 + c] =
            static_cast<uint8_t>(std::lround(top * (1 - fy) + bottom * fy));
      }
    }
  }
  return large;
}

// The scale of the screenshots and the rate of smooth pictures change only the pictures: the
// dump is the same, byte for byte. A screenshot at twice the scale has the detail of art and
// text drawn at twice the pixels, which the one-pixel-a-point picture enlarged has not.
TEST_F(ReplayTest, ScaleAndPresentRateChangeThePicturesOnlyAndTwiceTheScaleIsSharper) {
  const std::string script = R"({"seed": 99, "duration": 12, "events": [
      {"t": 0.4, "button": 1}, {"t": 0.5, "button": 8}, {"t": 1, "bot": true}]})";
  ASSERT_EQ(
      replay(script, "--dump " + file("1.jsonl") + " --screenshot 10:" + file("1.png")).status, 0);
  const std::string one = read(file("1.jsonl"));
  EXPECT_GT(one.size(), 5000u);
  for (const std::string& options :
       {"--scale 2 --screenshot 10:" + file("2.png"), std::string("--scale 3"),
        std::string("--present-hz 60"), std::string("--scale 2 --present-hz 144")}) {
    ASSERT_EQ(replay(script, "--dump " + file("n.jsonl") + " " + options).status, 0) << options;
    EXPECT_EQ(read(file("n.jsonl")), one) << options;
  }

  const Pixels small = pixelsOf(file("1.png")), large = pixelsOf(file("2.png"));
  ASSERT_EQ(small.width, 480);
  ASSERT_EQ(large.width, 960);
  ASSERT_EQ(large.height, 640);
  const double sharp = detail(large), enlarged = detail(doubled(small));
  EXPECT_GT(sharp, 1.5 * enlarged) << sharp << " against " << enlarged;
}

TEST_F(ReplayTest, TapsOnTheMenusButtonsStartAGame) {
  // The main menu's play button at landscape (360, 130), then the play menu's at (240, 174).
  const ReplayRun run = replay(R"({"seed": 3, "duration": 5, "events": [
      {"t": 1, "tap": [360, 130]}, {"t": 2, "tap": [240, 174]}]})",
                               "--dump " + file("taps.jsonl"));
  ASSERT_EQ(run.status, 0) << run.errors;
  const std::vector<nlohmann::json> dump = lines(file("taps.jsonl"));
  EXPECT_EQ(dump.back()["final"]["state"], 2);
  EXPECT_EQ(dump.back()["final"]["round"], 1);
  EXPECT_EQ(dump[1]["t"].get<double>(), 2.0500000007450581);  // frames from the second tap on
}

TEST_F(ReplayTest, TheBuiltInPlayerTapsIntoAGameAndPlaysItTheSameWayEveryTime) {
  // It takes the controls at 0 and hands them back at 40; the game goes on without it.
  const std::string script = R"({"seed": 11, "duration": 60, "events": [
      {"t": 0, "bot": true}, {"t": 40, "bot": false}]})";
  const ReplayRun first = replay(script, "--dump " + file("bot1.jsonl"));
  const ReplayRun second = replay(script, "--dump " + file("bot2.jsonl"));
  ASSERT_EQ(first.status, 0) << first.errors;
  ASSERT_EQ(second.status, 0) << second.errors;
  EXPECT_EQ(read(file("bot1.jsonl")), read(file("bot2.jsonl")));
  const std::vector<nlohmann::json> dump = lines(file("bot1.jsonl"));
  int scoreAt40 = -1;
  for (const nlohmann::json& frame : dump) {
    if (frame.contains("t") && frame["t"].get<double>() <= 40) scoreAt40 = frame["score"];
  }
  EXPECT_GE(scoreAt40, 1000) << "it caught and threw";
  EXPECT_NE(dump.back()["final"]["state"], 0) << "still in the game";
}

// Untouched for 30 s from a wake on the main menu, the demo fades in a second and plays; a wake
// ends it, and nothing it did is kept.
TEST_F(ReplayTest, AReplayIdlingOnTheMainMenuShowsTheDemoUntilAWake) {
  const std::string script = R"({"seed": 5, "duration": DURATION,
      "defaults": {"score": 0, "level": 0, "music": 0.5, "effects": 0.5, "achievements": 0},
      "events": [{"t": 0.5, "wake": true}, {"t": 38, "wake": true}]})";
  for (const std::string duration : {"40", "37.9"}) {
    std::string text = script;
    text.replace(text.find("DURATION"), 8, duration);
    const ReplayRun run = replay(text, "--dump " + file("demo.jsonl"));
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::vector<nlohmann::json> dump = lines(file("demo.jsonl"));
    ASSERT_GT(dump.size(), 100u) << "demo frames";
    EXPECT_NEAR(dump[1]["t"].get<double>(), 31.55, 1e-6);  // its first frame
    EXPECT_NEAR(dump[dump.size() - 2]["t"].get<double>(), duration == "40" ? 38 : 37.9, 0.05);
    const nlohmann::json& final = dump.back()["final"];
    EXPECT_EQ(final["state"], duration == "40" ? 0 : 2);
    EXPECT_EQ(final["highLevel"], 0);
    EXPECT_EQ(final["defaults"], nlohmann::json::parse(R"({"score": 0, "level": 0, "music": 0.5,
                                                           "effects": 0.5, "achievements": 0})"));
  }
}

// A challenge's sea waits for the player's first game: no demo takes its numbers before it, however
// long the menu is left, and the game is the one the same sea gives straight away.
TEST_F(ReplayTest, ADemoThatWaitsForTheFirstGameLeavesItsSeaAsItWas) {
  // The world of the first frame of the game started at `start` (the demo, if it plays, is woken
  // first), without the frame's time.
  const auto firstGame = [this](const std::string& opening, double start) {
    const std::string at = std::to_string(start);
    const std::string script = "{" + opening + R"(, "duration": )" + std::to_string(start + 3) +
                               R"(, "events": [{"t": )" + at + R"(, "wake": true}, {"t": )" + at +
                               R"(1, "button": 1}, {"t": )" + at + R"(5, "button": 8}]})";
    const ReplayRun run = replay(script, "--dump " + file("sea.jsonl"));
    EXPECT_EQ(run.status, 0) << run.errors;
    for (nlohmann::json line : lines(file("sea.jsonl"))) {
      if (line.value("t", 0.0) < start + 0.5 || line.value("state", 0) != 2) continue;
      for (const char* moment : {"frame", "t"}) line.erase(moment);
      return line;
    }
    return nlohmann::json();
  };
  const nlohmann::json straightAway = firstGame(R"("seed": 61, "draws": 4000)", 0.4);
  ASSERT_FALSE(straightAway.is_null());
  EXPECT_EQ(firstGame(R"("seed": 61, "draws": 4000, "demoWaits": true)", 50.4), straightAway);
  EXPECT_NE(firstGame(R"("seed": 61, "draws": 4000)", 50.4), straightAway) << "the demo played";
}

TEST_F(ReplayTest, MalformedScriptsAreRefusedBeforeAnythingRuns) {
  const struct {
    const char* script;
    const char* says;
  } cases[] = {
      {R"({"seed": 1, "duration": 5, "events": [{"t": 1, "jump": true}]})", "event 0"},
      {R"({"seed": 1, "duration": 5, "events": [{"t": 2, "button": 8}, {"t": 1, "tilt": 0}]})",
       "event 1"},
      {R"({"seed": 1, "duration": 5, "events": [{"button": 8}]})", "event 0"},
      {R"({"seed": 1, "duration": 5, "events": [{"t": 1, "tap": [1]}]})", "event 0"},
      {R"({"duration": 5, "events": []})", "\"seed\""},
      {R"({"seed": -1, "duration": 5})", "\"seed\""},
      {R"({"seed": 1})", "\"duration\""},
      {R"({"seed": 1, "duration": 5, "defaults": {"volume": 1}})", "volume"},
      {R"({"seed": 1, "duration": 5, "events": [}")", "not JSON"},
      // Numbers that no event or store can take.
      {R"({"seed": 1, "duration": 5, "events": [{"t": 1, "button": 4294967297}]})", "event 0"},
      {R"({"seed": 1, "duration": 5, "events": [{"t": 1, "tap": [1e300, 0]}]})", "event 0"},
      {R"({"seed": 1, "duration": 5, "events": [{"t": 1, "swipe": [[0, 0], [0, -1e6]]}]})",
       "event 0"},
      {R"({"seed": 1, "duration": 5, "defaults": {"score": 1e300}})", "\"score\""},
      {R"({"seed": 1, "duration": 5, "defaults": {"level": 9223372036854775808}})", "\"level\""},
      {R"({"seed": 1, "duration": 5, "defaults": {"music": -1e300}})", "\"music\""},
      {R"({"seed": 1, "duration": 5, "events": [{"t": 1, "bot": 1}]})", "event 0"},
      // Numbers beyond a double's range, which the JSON library cannot hold.
      {R"({"seed": 1, "duration": 1e400})", "number overflow parsing '1e400'"},
      {R"({"seed": 1, "duration": 5, "defaults": {"score": 1e309}})", "parsing '1e309'"},
      {R"({"seed": 1, "duration": 5, "events": [{"t": 1, "tilt": -1e400}]})", "'-1e400'"},
  };
  for (const auto& c : cases) {
    const ReplayRun run = replay(c.script, "--dump " + file("never.jsonl"));
    EXPECT_EQ(run.status, 2) << c.script;
    EXPECT_NE(run.errors.find(c.says), std::string::npos) << run.errors;
    EXPECT_FALSE(fs::exists(file("never.jsonl"))) << c.script;
  }
  const std::string deep = R"({"seed": 1, "duration": 5, "events": [)" + std::string(20000, '[') +
                           std::string(20000, ']') + "]}";
  const ReplayRun nested = replay(deep, "");
  EXPECT_EQ(nested.status, 2);
  EXPECT_NE(nested.errors.find("nests deeper than 64 levels"), std::string::npos) << nested.errors;
  EXPECT_EQ(replay(R"({"seed": 1, "duration": 1})", "--screenshot nonsense").status, 2);
  EXPECT_EQ(replay(R"({"seed": 1, "duration": 1})", "--frobnicate x").status, 2);
  for (const char* options : {"--scale 0", "--scale 9", "--scale 2x", "--present-hz 0",
                              "--present-hz -60", "--present-hz 1e9", "--present-hz nan"}) {
    EXPECT_EQ(replay(R"({"seed": 1, "duration": 1})", options).status, 2) << options;
  }
}
