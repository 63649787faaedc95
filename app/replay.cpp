// Running a replay: a fresh store of defaults, the seed, a headless display at one pixel a
// point, OpenAL Soft's null device, URLs recorded, and the virtual clock, which stands still
// while a handler runs and jumps to whatever is due next.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/replay.h"
#include "app/replay_dump.h"
#include "app/saltmere_app_delegate.h"
#include "platform/core/application.h"
#include "platform/core/clock.h"
#include "platform/core/json_reading.h"
#include "platform/core/random.h"
#include "platform/core/run_loop.h"
#include "platform/core/user_defaults.h"
#include "platform/input/injection.h"
#include "platform/screen/display.h"
#include "sound/sound_engine.h"

namespace {

constexpr const char* kUsage =
    "Usage: tidewick replay SCRIPT.json [--dump OUT.jsonl] [--screenshot T:FILE.png]...\n";

int usageError(const std::string& message) {
  std::fprintf(stderr, "tidewick replay: %s\n%s", message.c_str(), kUsage);
  return 2;
}

// A landscape point (origin top left of the 480 x 320 screen) in the window's portrait points.
platform::Point windowPoint(float x, float y) {
  return {320 - y, x};
}

// Touches of replayed taps and swipes, numbered apart from the devices' own.
constexpr long kFirstReplayTouch = 1000;

void post(platform::RunLoop& loop, SaltmereAppDelegate& game, const ReplayEvent& event,
          long touch) {
  const platform::Point from = windowPoint(event.x0, event.y0);
  const platform::Point to = windowPoint(event.x1, event.y1);
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
  }
}

// The script's stored values in a store of their own, never the player's.
std::filesystem::path freshDefaults(const nlohmann::json& values) {
  char folder[] = "/tmp/tidewick-replay-XXXXXX";
  const std::filesystem::path path = std::filesystem::path(mkdtemp(folder)) / "defaults.json";
  platform::UserDefaults::useFile(path);
  platform::UserDefaults& defaults = platform::UserDefaults::standard();
  for (const auto& [key, value] : values.items()) {
    if (isFloatSetting(key)) {
      defaults.setFloat(value.get<float>(), key);
    } else {
      defaults.setInteger(value.get<long>(), key);
    }
  }
  return path;
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
  const std::filesystem::path defaultsFile = freshDefaults(script.defaults);
  platform::gameRandom().seed(script.seed);
  setenv("ALSOFT_DRIVERS", "null", 1);

  platform::VirtualClock clock(0.0);
  platform::RunLoop loop(clock);
  const std::unique_ptr<platform::Display> display =
      platform::Display::open({.scale = 1, .headless = true});
  if (!display) {
    std::fprintf(stderr, "tidewick replay: no headless display\n");
    return 1;
  }
  platform::Application& application = platform::Application::shared();
  std::vector<std::string> urls;
  application.setURLOpener([&urls](const std::string& url) { urls.push_back(url); });
  platform::Accelerometer::shared().sources().injected = 0.0;

  int status = 0;
  {
    auto game = std::make_unique<SaltmereAppDelegate>();
    application.setDelegate(game.get());
    ReplayDump dump(dumpFile.is_open() ? &dumpFile : nullptr, *game);
    long touch = kFirstReplayTouch;
    for (const ReplayEvent& event : script.events) post(loop, *game, event, touch++);
    game->applicationDidFinishLaunching(application);
    dump.writeCatalogue();

    for (const auto& [time, file] : options.screenshots) {
      if (time > script.duration) continue;
      loop.runUntil(time);
      if (platform::Window* window = platform::Window::keyWindow()) window->layoutIfNeeded();
      if (!display->writeScreenshot(file, 1)) {
        std::fprintf(stderr, "tidewick replay: cannot write %s\n", file.c_str());
        status = 1;
      }
    }
    loop.runUntil(script.duration);
    dump.writeFinal(script.duration);
    application.setDelegate(nullptr);
  }
  std::filesystem::remove_all(defaultsFile.parent_path());
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
