// Loading the whole catalogue from the built bundle as the launch does: 38 textures decoded and
// uploaded (headless, llvmpipe), then the sound engine on OpenAL Soft's null device and 26
// sounds read and decoded.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "app/saltmere_app_delegate.h"
#include "bench/bench_gl.h"
#include "platform/core/bundle.h"
#include "sound/sound_engine.h"
#include "tests/support/build_paths.h"

namespace {

void BM_LoadTextures(benchmark::State& state) {
  benchGLView()->setCurrentContext();
  for (auto _ : state) {
    SaltmereAppDelegate game;
    if (game.loadTextures() != 0) state.SkipWithError("a texture did not load");
    glFinish();
  }
}
BENCHMARK(BM_LoadTextures)->Unit(benchmark::kMillisecond);

void BM_LoadSounds(benchmark::State& state) {
  for (auto _ : state) {
    SaltmereAppDelegate game;
    if (game.loadSounds() != 0) state.SkipWithError("a sound did not load");
    state.PauseTiming();
    SoundEngine_Teardown();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadSounds)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("ALSOFT_DRIVERS", "null", 0);
  platform::Bundle::useFolder(build_paths::kBundle);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
