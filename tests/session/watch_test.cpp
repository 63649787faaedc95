// The watcher driven by keys as a player presses them (synthetic events on the headless
// display, from a thread of their own while the watcher runs): at every speed, after seeking
// forward and back, paused at the end and played again, the game it leaves is the game a straight
// replay of the script reaches at that time.
#include "session/watch.h"

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/core/bundle.h"
#include "player/bot.h"
#include "session/replay.h"
#include "session/replay_dump.h"
#include "session/sandbox_game.h"
#include "tests/support/build_paths.h"
#include "tests/support/test_display.h"

namespace {

// A key pressed after a pause of `after` seconds.
struct Press {
  double after;
  SDL_Keycode key;
};

struct Left {
  double time = -1;
  std::string world;
};

class WatchTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("ALSOFT_DRIVERS", "null", 1);
    platform::Bundle::useFolder(build_paths::kBundle);
  }

  // Watches `script` while the presses come, each after its pause; Escape ends it (one is
  // pressed last unless the presses end with it).
  Left watch(const ReplayScript& script, std::vector<Press> presses) {
    if (presses.empty() || presses.back().key != SDLK_ESCAPE) presses.push_back({0.3, SDLK_ESCAPE});
    std::thread player([presses] {
      for (const Press& press : presses) {
        std::this_thread::sleep_for(std::chrono::duration<double>(press.after));
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = press.key;
        SDL_PushEvent(&event);
      }
    });
    Left left;
    const bool watched =
        watchScript(testDisplay(1), script, [&left](SaltmereAppDelegate& game, double time) {
          left = {time, worldLine(game)};
        });
    player.join();
    EXPECT_TRUE(watched);
    return left;
  }

  // The world a straight replay of `script` reaches at `time`.
  static std::string straightTo(const ReplayScript& script, double time) {
    const auto sandbox = SandboxGame::makeIn(testDisplay(1), "watch-test", script);
    Bot bot(sandbox->game());
    postScript(script, sandbox->loop(), sandbox->game(), bot);
    sandbox->launch();
    sandbox->loop().runUntil(time);
    return worldLine(sandbox->game());
  }

  // Into a game, and the built-in player at the controls: a busy world to compare.
  static ReplayScript playedFor(double duration) {
    std::string error;
    const auto script = parseReplayScript(
        nlohmann::json::parse(R"({"seed": 11, "duration": )" + std::to_string(duration) +
                              R"(, "events": [{"t": 0.4, "button": 1}, {"t": 0.9, "button": 8},
                                              {"t": 1.5, "bot": true}]})"),
        error);
    EXPECT_TRUE(script) << error;
    return *script;
  }
};

}  // namespace

TEST_F(WatchTest, EverySpeedLeavesTheWorldOfAStraightReplay) {
  const ReplayScript script = playedFor(60);
  // x2, x4, x8 for a second, x1, then paused.
  const Left left =
      watch(script, {{0, SDLK_2}, {0.2, SDLK_3}, {0.2, SDLK_4}, {1.0, SDLK_1}, {0.2, SDLK_SPACE}});
  // Some 1.6 s of the machine's clock, whatever game time a busy machine managed in it.
  EXPECT_GT(left.time, 0);
  EXPECT_EQ(left.world, straightTo(script, left.time));
}

// A game made anew in the program (as a seek back makes one) starts from the world a first
// launch sees, whatever the game before it left: the crab's legs run as they did the first time.
TEST_F(WatchTest, AReplayMadeAgainInTheProgramReachesTheSameWorld) {
  const ReplayScript script = playedFor(60);
  const std::string first = straightTo(script, 1.125);
  EXPECT_EQ(straightTo(script, 1.125), first);
}

TEST_F(WatchTest, SeekingForwardAndBackLeavesTheWorldOfAStraightReplay) {
  const ReplayScript script = playedFor(60);
  // Paused at once, 5 s forward three times, then back once: 10 s after the pause.
  const Left left = watch(
      script,
      {{0, SDLK_SPACE}, {0.3, SDLK_RIGHT}, {0.3, SDLK_RIGHT}, {0.3, SDLK_RIGHT}, {0.3, SDLK_LEFT}});
  EXPECT_GE(left.time, 10);
  EXPECT_LT(left.time, 11);
  EXPECT_EQ(left.world, straightTo(script, left.time));
}

// A player who seeks back and leaves at once (or a machine too busy to see the keys apart) leaves
// the world the seek reached, and the watcher ends.
TEST_F(WatchTest, LeavingRightAfterASeekBackLeavesTheWorldItReached) {
  const ReplayScript script = playedFor(60);
  const Left left = watch(
      script,
      {{0, SDLK_SPACE}, {0.3, SDLK_RIGHT}, {0.3, SDLK_RIGHT}, {0.3, SDLK_LEFT}, {0, SDLK_ESCAPE}});
  EXPECT_GE(left.time, 5);
  EXPECT_LT(left.time, 6);
  EXPECT_EQ(left.world, straightTo(script, left.time));
}

TEST_F(WatchTest, TheEndPausesAndPlayingOnStartsOver) {
  const ReplayScript script = playedFor(3);
  const Left end = watch(script, {{0, SDLK_4}, {1.5, SDLK_1}});
  EXPECT_EQ(end.time, 3);
  EXPECT_EQ(end.world, straightTo(script, 3));

  const Left again = watch(script, {{0, SDLK_4}, {1.5, SDLK_SPACE}, {0.1, SDLK_SPACE}});
  EXPECT_LT(again.time, 3);
  EXPECT_EQ(again.world, straightTo(script, again.time));
}
