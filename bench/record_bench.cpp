// What recording costs and what watching asks: a minute of a mouse player's input written as a
// recording, as the live game writes it (time and bytes a minute of play), and the watcher going
// back in a ten-minute game: the whole game played again with no pictures and no sound, as fast
// as it goes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/core/bundle.h"
#include "platform/core/clock.h"
#include "platform/core/run_loop.h"
#include "platform/input/input_journal.h"
#include "player/bot.h"
#include "session/recorder.h"
#include "session/replay.h"
#include "session/sandbox_game.h"
#include "tests/support/build_paths.h"

namespace {

using platform::InputEntry;

// A minute of a mouse player: the tilt new at every one of 25 readings a second (the pointer
// never still), and a throw every second, dragged for a fifth of a second at 60 moves a second.
std::vector<std::pair<double, InputEntry>> aMinuteOfMousePlay(double start) {
  std::vector<std::pair<double, InputEntry>> entries;
  for (int reading = 0; reading < 60 * 25; ++reading) {
    entries.emplace_back(start + reading * 0.04,
                         InputEntry::of(InputEntry::Kind::Tilt, 0.4 * std::sin(reading * 0.01)));
  }
  for (int second = 0; second < 60; ++second) {
    const double t = start + second + 0.5;
    platform::Point at{120.0f + second, 200};
    entries.emplace_back(t, InputEntry::touchAt(-1, platform::TouchPhase::Began, at));
    for (int move = 1; move <= 12; ++move) {
      at = {at.x + 1.5f, at.y - 4.25f};
      entries.emplace_back(t + move / 60.0,
                           InputEntry::touchAt(-1, platform::TouchPhase::Moved, at));
    }
    entries.emplace_back(t + 0.2, InputEntry::touchAt(-1, platform::TouchPhase::Ended, at));
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return entries;
}

void BM_RecordAMinuteOfMousePlay(benchmark::State& state) {
  platform::VirtualClock clock(0);
  platform::RunLoop loop(clock);
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / "tidewick-record-bench.json";
  Recorder recorder(1);
  recorder.writeTo(file);
  double minute = 0;
  size_t entries = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const auto play = aMinuteOfMousePlay(minute * 60);
    state.ResumeTiming();
    for (const auto& [t, entry] : play) {
      clock.advanceTo(t);
      platform::journal(entry);
    }
    minute += 1;
    entries += play.size();
  }
  recorder.finish(minute * 60);
  state.counters["bytes_per_minute"] =
      static_cast<double>(std::filesystem::file_size(file)) / minute;
  state.counters["events_per_minute"] = static_cast<double>(entries) / minute;
  std::filesystem::remove(file);
}
BENCHMARK(BM_RecordAMinuteOfMousePlay)->Unit(benchmark::kMillisecond);

// The built-in player's ten minutes from the main menu, run again from the start.
void BM_GoBackInATenMinuteGame(benchmark::State& state) {
  platform::Bundle::useFolder(build_paths::kBundle);
  ReplayScript script;
  script.seed = 7;
  script.duration = 600;
  ReplayEvent play, playPlay, bot;
  play.t = 0.25, play.button = 1;
  playPlay.t = 0.5, playPlay.button = 8;
  bot.t = 0.6, bot.kind = ReplayEvent::Kind::Bot, bot.bot = true;
  script.events = {play, playPlay, bot};
  long frames = 0;
  for (auto _ : state) {
    const auto sandbox = SandboxGame::make("bench", script);
    SaltmereAppDelegate& game = sandbox->game();
    game.scenePresenter.showing = [] { return false; };
    game.frameEnded = [&frames](float) { ++frames; };
    Bot player(game);
    postScript(script, sandbox->loop(), game, player);
    sandbox->launch();
    sandbox->loop().runUntil(script.duration);
  }
  state.counters["frames"] = static_cast<double>(frames) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GoBackInATenMinuteGame)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
