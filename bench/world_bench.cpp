// One simulation step with a full level in play: 30 pieces of trash sinking, bouncing, caught
// and re-made, six babies and the crab on the beach, with and without the sound engine (OpenAL
// Soft's null device, every effect loaded). Reports the time and the heap allocations per step.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/saltmere_app_delegate.h"
#include "bench/bench_gl.h"
#include "bench/bench_sounds.h"
#include "bench/heap_counter.h"
#include "platform/core/random.h"
#include "sound/sound_engine.h"
#include "tests/support/world_textures.h"

namespace {

namespace fs = std::filesystem;

// What a level looks like a few seconds in, kept to start over from.
struct WorldSnapshot {
  Trash trash[kMaxTrash];
  Baby babies[kNumBabies];
  BeachBall beachBall;
  Shark shark;
  Crab nerin;
  int numBabies;
};

class World {
 public:
  World() {
    benchGLView()->setCurrentContext();
    makeWorldTextures(game._textures);
    game.glView = benchGLView();
    game.soundStarted = [this](int slot) {
      ++soundsStarted;
      loopsStarted += slot == kSoundTiptoe;
    };

    platform::gameRandom().seed(2024);
    game.resetGame();
    game.round = 23;
    game.levelTimeRemaining = 15;
    game.numTrash = kMaxTrash;
    game._state = kGameStatePlaying;
    for (int k = 0; k < kMaxTrash; ++k) {
      game.makeNewtrash(&trash[k]);
      trash[k].rect.origin.y = 40 + 9.0f * k;  // all in view, coming down
    }
    game._accelerometer = 0.1;
    game.moveObjects(0.05f);  // the crab walks to her place; from now on she stands
    for (int n = 0; n < 10; ++n) game.moveObjects(0.05f);
    loopsStarted = 0;
    snapshot_ = {{}, {}, beachBall, shark, game.nerin, game.numBabies};
    std::copy(std::begin(trash), std::end(trash), snapshot_.trash);
    std::copy(std::begin(babies), std::end(babies), snapshot_.babies);
  }

  void restore() {
    std::copy(std::begin(snapshot_.trash), std::end(snapshot_.trash), trash);
    std::copy(std::begin(snapshot_.babies), std::end(snapshot_.babies), babies);
    beachBall = snapshot_.beachBall;
    shark = snapshot_.shark;
    game.nerin = snapshot_.nerin;
    game.numBabies = snapshot_.numBabies;
  }

  void loadSounds() {
    setenv("ALSOFT_DRIVERS", "null", 0);
    const fs::path folder = fs::temp_directory_path() / "tidewick-world-bench";
    fs::create_directories(folder);
    SoundEngine_Initialize(44100);
    for (int slot = 0; slot < kSoundCount; ++slot) {
      const bool loop = slot == kSoundGame || slot == kSoundTiptoe || slot == kSoundMenu;
      const std::string path = (folder / ("sound" + std::to_string(slot) + ".caf")).string();
      writeSound(path, slot % 2 == 0, 1, loop ? 4.0 : 0.5);
      if (loop) {
        SoundEngine_LoadLoopingEffect(path.c_str(), nullptr, nullptr, &game._sounds[slot]);
      } else {
        SoundEngine_LoadEffect(path.c_str(), &game._sounds[slot]);
      }
    }
    fs::remove_all(folder);
  }

  SaltmereAppDelegate game;
  long soundsStarted = 0;
  int loopsStarted = 0;

 private:
  WorldSnapshot snapshot_;
};

World& world() {
  static World* made = new World;
  return *made;
}

// Steps of 0.05 s; every 100 steps (5 s, by which time most pieces have landed, been caught or
// come back) the level starts over from the snapshot.
void runSteps(benchmark::State& state, World& w) {
  w.restore();
  long steps = 0;
  w.soundsStarted = 0;
  const long before = heapCallCount();
  for (auto _ : state) {
    if (++steps % 100 == 0) w.restore();
    w.game.moveObjects(0.05f);
  }
  const long calls = heapCallCount() - before;
  state.counters["heap_calls_per_step"] =
      benchmark::Counter(static_cast<double>(calls) / static_cast<double>(steps));
  // How busy the beach is: bells, bonks, corks, squeaks and snaps.
  state.counters["sounds_per_step"] =
      benchmark::Counter(static_cast<double>(w.soundsStarted) / static_cast<double>(steps));
  if (w.loopsStarted) state.SkipWithError("a looping sound started: the crab moved");
}

void BM_MoveObjectsSilent(benchmark::State& state) {
  runSteps(state, world());
}
BENCHMARK(BM_MoveObjectsSilent)->Unit(benchmark::kMicrosecond);

void BM_MoveObjectsWithSound(benchmark::State& state) {
  World& w = world();
  static const bool loaded = (w.loadSounds(), true);
  (void)loaded;
  runSteps(state, w);
}
BENCHMARK(BM_MoveObjectsWithSound)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (!heapCallsCounted()) std::fputs("world_bench: heap calls are not counted here\n", stderr);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SoundEngine_Teardown();
  return 0;
}
