// The soak: for each seed a headless game of its own, the built-in player at the controls from
// the first moment (playing each game one to four rounds well, then losing it), the world
// watched after every frame, and a census of live textures, views and timers at the start of
// every game. The first game makes what later games reuse (its text
// textures, the achievements table's cells), so the census of the second game is the measure:
// no later game may start with more.
#include "session/soak.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

#include "gl/texture2d.h"
#include "platform/screen/view.h"
#include "player/bot.h"
#include "session/command_line.h"
#include "session/sandbox_game.h"
#include "session/world_watch.h"

namespace {

constexpr const char* kUsage = "Usage: tidewick soak [--seeds N] [--first-seed S] [--minutes M]\n";

int usageError(const std::string& message) {
  std::fprintf(stderr, "tidewick soak: %s\n%s", message.c_str(), kUsage);
  return 2;
}

struct SoakOptions {
  uint32_t seeds = 4;
  uint32_t firstSeed = 1;
  double minutes = 10;  // of game time, per seed
};

// What is alive at a game's start.
struct Census {
  long textures = 0, views = 0;
  size_t timers = 0;
  bool exceeds(const Census& other) const {
    return textures > other.textures || views > other.views || timers > other.timers;
  }
  std::string text() const {
    return std::to_string(textures) + " textures, " + std::to_string(views) + " views, " +
           std::to_string(timers) + " timers";
  }
};

// The resident memory of the process, in megabytes.
double residentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * 4096 / (1 << 20);
}

struct Totals {
  long games = 0, rounds = 0, frames = 0, checks = 0;
};

// What a seed's soak of `seconds` must at least have done, or it checked too little to count: a
// game started every five minutes (the player gives each game four rounds at most), three
// quarters of the twenty frames a second the clock drew (the rest is menus between games, and
// the first second getting into a game), and thirty checks a frame (the crab, the counts and the
// sea alone make that many).
std::string shortfall(long games, long frames, long checks, double seconds) {
  const long leastGames = 1 + static_cast<long>(seconds / 300);
  const long leastFrames = static_cast<long>(0.75 * 20 * seconds) - 20;
  const long leastChecks = 30 * frames;
  const auto fewer = [](const char* what, long done, long least) {
    return std::to_string(done) + " " + what + " done, at least " + std::to_string(least) + " due";
  };
  if (games < leastGames) return fewer("games", games, leastGames);
  if (frames < leastFrames) return fewer("frames", frames, leastFrames);
  if (checks < leastChecks) return fewer("checks", checks, leastChecks);
  return {};
}

// One seed's soak: 0 when every check held, 1 after printing the first violation.
int soakSeed(uint32_t seed, double seconds, Totals& totals) {
  ReplayScript opening;
  opening.seed = seed;
  const std::unique_ptr<SandboxGame> headless = SandboxGame::make("soak", opening);
  if (!headless) return 1;
  SaltmereAppDelegate& game = headless->game();
  platform::RunLoop& loop = headless->loop();
  WorldWatch watch(game);
  Bot bot(game);
  long frame = 0;
  std::string fault;
  std::optional<Census> measure;
  game.frameEnded = [&](float) {
    ++frame;
    if (!fault.empty()) return;
    const int gamesBefore = watch.gamesStarted();
    fault = watch.check();
    if (!fault.empty() || watch.gamesStarted() == gamesBefore) return;
    // Games of one to four rounds played, then lost: many games in a few minutes.
    bot.giveUpAfterRound(1 + watch.gamesStarted() % 4);
    const Census now{Texture2D::liveCount(), platform::View::liveCount(), loop.timerCount()};
    if (watch.gamesStarted() == 2) measure = now;
    if (measure && now.exceeds(*measure)) {
      fault = "game " + std::to_string(watch.gamesStarted()) + " starts with " + now.text() +
              ", game 2 with " + measure->text();
    }
  };
  headless->launch();
  bot.setActive(true);
  for (double t = 1; t <= seconds && fault.empty(); t += 1) loop.runUntil(t);

  if (fault.empty()) fault = shortfall(watch.gamesStarted(), frame, watch.checks(), seconds);
  totals.games += watch.gamesStarted();
  totals.rounds += watch.roundsReached();
  totals.frames += frame;
  totals.checks += watch.checks();
  if (!fault.empty()) {
    std::printf("soak: seed %u, frame %ld (t = %.2f s): %s\n", seed, frame, loop.now(),
                fault.c_str());
    return 1;
  }
  std::string endings;
  for (const int round : watch.endingRounds()) {
    endings += (endings.empty() ? "" : ", ") + std::to_string(round);
  }
  std::printf("soak: seed %u: %d games (ended in rounds: %s), %d rounds, %ld frames%s%s\n", seed,
              watch.gamesStarted(), endings.empty() ? "none" : endings.c_str(),
              watch.roundsReached(), frame, measure ? "; each game starts with at most " : "",
              measure ? measure->text().c_str() : "");
  std::fflush(stdout);  // a long soak shows its progress seed by seed
  return 0;
}

}  // namespace

int soakCommand(const std::vector<std::string>& arguments) {
  SoakOptions options;
  for (size_t i = 0; i < arguments.size(); i += 2) {
    const std::string& option = arguments[i];
    if (i + 1 >= arguments.size()) return usageError(option + " needs a value");
    const std::string& value = arguments[i + 1];
    if (option == "--seeds") {
      const auto seeds = parseNumber<uint32_t>(value);
      if (!seeds || *seeds < 1) return usageError("--seeds takes a whole number, 1 or more");
      options.seeds = *seeds;
    } else if (option == "--first-seed") {
      const auto seed = parseNumber<uint32_t>(value);
      if (!seed) return usageError("--first-seed takes a seed");
      options.firstSeed = *seed;
    } else if (option == "--minutes") {
      const auto minutes = parseNumber<double>(value);
      if (!minutes || !(*minutes > 0) || !std::isfinite(*minutes)) {
        return usageError("--minutes takes a number above 0");
      }
      options.minutes = *minutes;
    } else {
      return usageError("unknown option " + option);
    }
  }
  Totals totals;
  double firstMegabytes = 0;
  for (uint32_t i = 0; i < options.seeds; ++i) {
    const uint32_t seed = options.firstSeed + i;  // wraps past the largest seed
    if (soakSeed(seed, options.minutes * 60, totals) != 0) return 1;
    if (i == 0) firstMegabytes = residentMegabytes();
  }
  std::printf(
      "soak: %u seeds from %u, %g minutes each: %ld games, %ld rounds, %ld frames, %ld checks, "
      "all held; resident memory %.0f MB after the first seed, %.0f MB at the end\n",
      options.seeds, options.firstSeed, options.minutes, totals.games, totals.rounds, totals.frames,
      totals.checks, firstMegabytes, residentMegabytes());
  return 0;
}
