// tidewick watch: a script, a recording or a game's link played in a window at real speed with
// its sound (see watcher.h for the controls).
#include "session/watch.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "platform/screen/display.h"
#include "session/command_line.h"
#include "session/game_link.h"
#include "session/watcher.h"

namespace {
constexpr const char* kUsage = "Usage: tidewick watch SCRIPT.json|LINK [--scale N]\n";
}  // namespace

int watchCommand(const std::vector<std::string>& arguments) {
  int scale = 2;
  if (arguments.size() == 3 && arguments[1] == "--scale") {
    const auto parsed = parseNumber<int>(arguments[2]);
    if (!parsed || *parsed < 1 || *parsed > 8) {
      std::fprintf(stderr, "tidewick watch: --scale takes a whole number from 1 to 8\n%s", kUsage);
      return 2;
    }
    scale = *parsed;
  } else if (arguments.size() != 1) {
    std::fprintf(stderr, "tidewick watch: %s\n%s",
                 arguments.empty() ? "no script" : "unknown option", kUsage);
    return 2;
  }
  std::string error, warning;
  const std::optional<ReplayScript> script = readWatchedScript(arguments[0], error, warning);
  if (!script) {
    std::fprintf(stderr, "tidewick watch: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (!warning.empty()) std::fprintf(stderr, "tidewick watch: %s\n", warning.c_str());
  const std::unique_ptr<platform::Display> window = platform::Display::open({.scale = scale});
  if (!window) return 1;
  return watchScript(*window, *script) ? 0 : 1;
}

bool watchScript(platform::Display& window, const ReplayScript& script,
                 const std::function<void(SaltmereAppDelegate& game, double time)>& left) {
  return Watcher(window, script).run(left);
}
