// The tidewick executable: options, the settings file, the random seed, then the game; or a
// subcommand (replay).
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "app/saltmere_app_delegate.h"
#include "platform/core/user_defaults.h"
#include "platform/input/application_main.h"
#include "platform/input/controls.h"
#include "platform/screen/display.h"
#include "session/command_line.h"
#include "session/live_session.h"
#include "session/replay.h"
#include "session/soak.h"
#include "session/watch.h"
#include "version.h"

int main(int argc, char** argv) {
  // The sound library's own error lines stay off the player's terminal unless asked for; the
  // game says in one line what a missing device means.
  setenv("ALSOFT_LOGLEVEL", "0", 0);
  const ParsedCommandLine parsed =
      parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.line) {
    std::fprintf(stderr, "tidewick: %s\n%s", parsed.error.c_str(), usage().c_str());
    return 2;
  }
  const CommandLine& line = *parsed.line;
  if (line.help) {
    std::fputs(usage().c_str(), stdout);
    return 0;
  }
  if (line.version) {
    std::puts("tidewick " TIDEWICK_VERSION);
    return 0;
  }
  if (!line.command.empty()) {
    const std::vector<std::string> rest(line.command.begin() + 1, line.command.end());
    if (line.command.front() == "replay") return replayCommand(rest);
    if (line.command.front() == "soak") return soakCommand(rest);
    if (line.command.front() == "watch") return watchCommand(rest);
    std::fprintf(stderr, "tidewick: unknown command %s\n%s", line.command.front().c_str(),
                 usage().c_str());
    return 2;
  }

  if (line.defaults) platform::UserDefaults::useFile(*line.defaults);
  // Seeded once, from the clock's low bits unless the player asks for a given game.
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint32_t seed = line.seed.value_or(
      static_cast<uint32_t>(now.tv_sec * 1000000000ull + static_cast<uint64_t>(now.tv_nsec)));
  const std::unique_ptr<LiveSession> session = LiveSession::start(seed, line.record, line.dump);
  if (!session) return 1;
  if (line.headless) {
    std::fputs(
        "tidewick: running without a window; the demo plays after 30 s on the main menu "
        "(Ctrl-C ends)\n",
        stderr);
  }

  return platform::applicationMain(
      [&line, &session] {
        return session->makeGame(line.classicFrames ? Pacing::Classic : Pacing::Smooth);
      },
      {.scale = line.scale, .fullscreen = line.fullscreen, .headless = line.headless},
      platform::controlsPathBeside(platform::UserDefaults::standard().path()),
      {.launched = [&session] { session->launched(); },
       .ended = [&session](double time) { session->ended(time); }});
}
