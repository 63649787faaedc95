// Running a replay: the script's input posted on a headless game's virtual clock, which stands
// still while a handler runs and jumps to whatever is due next.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "app/bot.h"
#include "app/command_line.h"
#include "app/headless_game.h"
#include "app/replay.h"
#include "app/replay_dump.h"
#include "platform/core/application.h"
#include "platform/core/json_reading.h"
#include "platform/input/injection.h"
#include "platform/screen/display.h"

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

void post(platform::RunLoop& loop, SaltmereAppDelegate& game, Bot& bot, const ReplayEvent& event,
          long touch) {
  const platform::Point from = platform::windowPointFromLandscape({event.x0, event.y0});
  const platform::Point to = platform::windowPointFromLandscape({event.x1, event.y1});
  using platform::TouchPhase;
  switch (event.kind) {
    case ReplayEvent::Kind::Button:
      loop.post(event.t, [&game, tag = event.button] { game.buttonPressed(tag); });
      break;
    case ReplayEvent::Kind::Tap:
      platform::inject::touch(event.t, touch, TouchPhase::Began, from, from);
      platform::inject::touch(event.t, touch, TouchPhase::Ended, from, from);
      break;
    case ReplayEvent::Kind::Swipe:
      platform::inject::touch(event.t, touch, TouchPhase::Began, from, from);
      platform::inject::touch(event.t, touch, TouchPhase::Moved, to, from);
      platform::inject::touch(event.t, touch, TouchPhase::Ended, to, from);
      break;
    case ReplayEvent::Kind::Tilt:
      platform::inject::acceleration(event.t, event.tilt);
      break;
    case ReplayEvent::Kind::Resign:
      loop.post(event.t,
                [&game] { game.applicationWillResignActive(platform::Application::shared()); });
      break;
    case ReplayEvent::Kind::Activate:
      loop.post(event.t,
                [&game] { game.applicationDidBecomeActive(platform::Application::shared()); });
      break;
    case ReplayEvent::Kind::Bot:
      loop.post(event.t, [&bot, on = event.bot] { bot.setActive(on); });
      break;
  }
}

int run(const ReplayScript& script, const ReplayOptions& options) {
  std::ofstream dumpFile;
  if (!options.dumpPath.empty()) {
    dumpFile.open(options.dumpPath, std::ios::trunc);
    if (!dumpFile) {
      std::fprintf(stderr, "tidewick replay: cannot write %s\n", options.dumpPath.c_str());
      return 1;
    }
  }
  const std::unique_ptr<HeadlessGame> headless = HeadlessGame::make(
      "replay", script.seed, script.defaults, options.scale, options.presentRate);
  if (!headless) return 1;
  platform::RunLoop& loop = headless->loop();
  SaltmereAppDelegate& game = headless->game();
  ReplayDump dump(dumpFile.is_open() ? &dumpFile : nullptr, game);
  Bot bot(game);
  long touch = kFirstReplayTouch;
  for (const ReplayEvent& event : script.events) post(loop, game, bot, event, touch++);
  headless->launch();
  dump.writeCatalogue();

  int status = 0;
  for (const auto& [time, file] : options.screenshots) {
    if (time > script.duration) continue;
    loop.runUntil(time);
    headless->display().layoutIfNeeded();
    if (!headless->display().writeScreenshot(file, options.scale)) {
      std::fprintf(stderr, "tidewick replay: cannot write %s\n", file.c_str());
      status = 1;
    }
  }
  loop.runUntil(script.duration);
  dump.writeFinal(script.duration);
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

  std::ifstream in(arguments[0]);
  if (!in) return usageError("cannot read " + arguments[0]);
  std::string error;
  const nlohmann::json json = platform::readJson(in, error);
  if (json.is_discarded()) return usageError(arguments[0] + " " + error);
  const std::optional<ReplayScript> script = parseReplayScript(json, error);
  if (!script) return usageError(arguments[0] + ": " + error);
  return run(*script, options);
}
