// Running a replay: the script's input posted on a headless game's virtual clock, which stands
// still while a handler runs and jumps to whatever is due next.
#include <AL/al.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <utility>

#include "platform/core/application.h"
#include "platform/input/input_journal.h"
#include "platform/screen/display.h"
#include "player/bot.h"
#include "session/command_line.h"
#include "session/replay.h"
#include "session/replay_dump.h"
#include "session/sandbox_game.h"

namespace {

constexpr const char* kUsage =
    "Usage: tidewick replay SCRIPT.json [--dump OUT.jsonl] [--screenshot T:FILE.png]...\n"
    "                       [--scale N] [--present-hz H]\n";
constexpr int kLargestScale = 8;
constexpr double kFastestPresents = 1000;

int usageError(const std::string& message) {
  std::fprintf(stderr, "tidewick replay: %s\n%s", message.c_str(), kUsage);
  return 2;
}

// Touches of replayed taps and swipes, numbered apart from the devices' own.
constexpr long kFirstReplayTouch = 1000;

}  // namespace

void postScript(const ReplayScript& script, platform::RunLoop& loop, SaltmereAppDelegate& game,
                Bot& bot) {
  using platform::InputEntry;
  using platform::TouchPhase;
  const auto input = [&loop](double t, const InputEntry& entry) {
    loop.post(t, [entry] { platform::deliverInput(entry); });
  };
  long tapTouch = kFirstReplayTouch;
  for (const ReplayEvent& event : script.events) {
    const long id = tapTouch++;
    const platform::Point from{event.x0, event.y0}, to{event.x1, event.y1};
    const InputEntry began = InputEntry::touchAt(id, TouchPhase::Began, from, from);
    switch (event.kind) {
      case ReplayEvent::Kind::Button:
        loop.post(event.t, [&game, tag = event.button] { game.buttonPressed(tag); });
        break;
      case ReplayEvent::Kind::Tap: {
        input(event.t, began);
        InputEntry ended = began;
        ended.phase = TouchPhase::Ended;
        input(event.t, ended);
        break;
      }
      case ReplayEvent::Kind::Swipe: {
        input(event.t, began);
        InputEntry moved = began;
        moved.phase = TouchPhase::Moved;
        moved.at = to;
        input(event.t, moved);
        InputEntry ended = moved;
        ended.phase = TouchPhase::Ended;
        input(event.t, ended);
        break;
      }
      case ReplayEvent::Kind::Input:
        input(event.t, event.input);
        break;
      case ReplayEvent::Kind::Bot:
        loop.post(event.t, [&bot, on = event.bot] { bot.setActive(on); });
        break;
    }
  }
}

void runUnseen(SaltmereAppDelegate& game, platform::RunLoop& loop, double time) {
  ScenePresenter& presenter = game.scenePresenter;
  const auto showing = std::exchange(presenter.showing, [] { return false; });
  const bool turnedByRefreshes = loop.turnedByRefreshes();
  loop.setTurnedByRefreshes(false);
  alListenerf(AL_GAIN, 0);
  loop.runUntil(time);
  alListenerf(AL_GAIN, 1);
  loop.setTurnedByRefreshes(turnedByRefreshes);
  presenter.showing = showing;
  presenter.repaint();
}

std::unique_ptr<ReplayRun> ReplayRun::start(const ReplayScript& script, std::ostream* dumpStream,
                                            const ReplayOptions& options) {
  auto replay = std::unique_ptr<ReplayRun>(new ReplayRun(script));
  replay->sandbox = SandboxGame::make("replay", script, options.scale, options.presentRate);
  if (!replay->sandbox) return nullptr;
  SaltmereAppDelegate& game = replay->sandbox->game();
  replay->dump = std::make_unique<ReplayDump>(dumpStream, game);
  replay->bot = std::make_unique<Bot>(game);
  postScript(script, replay->sandbox->loop(), game, *replay->bot);
  replay->sandbox->launch();
  replay->dump->writeCatalogue();
  return replay;
}

ReplayRun::ReplayRun(const ReplayScript& script) : duration_(script.duration) {}
ReplayRun::~ReplayRun() = default;

void ReplayRun::finish() {
  sandbox->loop().runUntil(duration_);
  dump->writeFinal(duration_);
}

namespace {

int run(const ReplayScript& script, const ReplayOptions& options) {
  std::ofstream dumpFile;
  if (!options.dumpPath.empty()) {
    dumpFile.open(options.dumpPath, std::ios::trunc);
    if (!dumpFile) {
      std::fprintf(stderr, "tidewick replay: cannot write %s\n", options.dumpPath.c_str());
      return 1;
    }
  }
  std::unique_ptr<ReplayRun> replay =
      ReplayRun::start(script, dumpFile.is_open() ? &dumpFile : nullptr, options);
  if (!replay) return 1;
  platform::RunLoop& loop = replay->sandbox->loop();

  int status = 0;
  for (const auto& [time, file] : options.screenshots) {
    if (time > script.duration) continue;
    loop.runUntil(time);
    replay->sandbox->display().layoutIfNeeded();
    if (!replay->sandbox->display().writeScreenshot(file, options.scale)) {
      std::fprintf(stderr, "tidewick replay: cannot write %s\n", file.c_str());
      status = 1;
    }
  }
  replay->finish();
  return status;
}

}  // namespace

int replayCommand(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return usageError("no script");
  ReplayOptions options;
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (i + 1 >= arguments.size()) return usageError(option + " needs a value");
    const std::string& value = arguments[++i];
    if (option == "--dump") {
      options.dumpPath = value;
    } else if (option == "--screenshot") {
      const size_t colon = value.find(':');
      char* end = nullptr;
      const double time = colon == std::string::npos ? -1 : std::strtod(value.c_str(), &end);
      if (colon == std::string::npos || end != value.c_str() + colon || !(time >= 0) ||
          colon + 1 == value.size()) {
        return usageError("a screenshot is T:FILE.png, not " + value);
      }
      options.screenshots.emplace_back(time, value.substr(colon + 1));
    } else if (option == "--scale") {
      const auto scale = parseNumber<int>(value);
      if (!scale || *scale < 1 || *scale > kLargestScale) {
        return usageError("--scale takes a whole number from 1 to 8, not " + value);
      }
      options.scale = *scale;
    } else if (option == "--present-hz") {
      const auto rate = parseNumber<double>(value);
      if (!rate || !(*rate > 0 && *rate <= kFastestPresents)) {
        return usageError("--present-hz takes a rate above 0 and up to 1000, not " + value);
      }
      options.presentRate = *rate;
    } else {
      return usageError("unknown option " + option);
    }
  }
  std::stable_sort(options.screenshots.begin(), options.screenshots.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });

  std::string error, warning;
  const std::optional<ReplayScript> script = readReplayScript(arguments[0], error, warning);
  if (!script) return usageError(error);
  if (!warning.empty()) std::fprintf(stderr, "tidewick replay: %s\n", warning.c_str());
  return run(*script, options);
}
