// One whole frame of a busy round as the frame timer runs it (step, drawing, present) plus the
// composite onto the window, at the window scale given by --scale=N, headless on llvmpipe: 30
// pieces in view, eight score numbers and both round texts showing. A second case shows no
// texts but the cached score block, so the difference is what text textures cost. Reports the
// process's CPU time (the rasteriser's threads included) and heap calls per frame. A third runs
// whole seconds of the round with smooth pictures at 60 a second. First it prints where the
// busy picture's fragments go, layer by layer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "app/saltmere_app_delegate.h"
#include "bench/bench_gl.h"
#include "bench/heap_counter.h"
#include "platform/core/bundle.h"
#include "platform/core/clock.h"
#include "platform/core/random.h"
#include "platform/core/run_loop.h"
#include "platform/screen/display.h"
#include "tests/support/build_paths.h"

namespace {

int sScale = 1;

struct BusyRound {
  BusyRound() {
    display = platform::Display::open({.scale = sScale, .headless = true});
    platform::Bundle::useFolder(build_paths::kBundle);
    game = std::make_unique<SaltmereAppDelegate>();
    game->applicationDidFinishLaunching(platform::Application::shared());
    // The screen a round shows: the main menu put away, the pause button over the game.
    game->displayMenu(game->mainMenuView.get(), true);
    game->displayMenu(nullptr, false);
    platform::gameRandom().seed(99);
    game->resetGame();
    game->round = 23;
    game->levelTimeRemaining = 15;
    game->numTrash = kMaxTrash;
    game->_state = kGameStatePlaying;
    for (int k = 0; k < kMaxTrash; ++k) {
      game->makeNewtrash(&trash[k]);
      trash[k].rect.origin.y = 40 + 9.0f * k;
    }
    snapshot = std::make_unique<Trash[]>(kMaxTrash);
    std::copy(std::begin(trash), std::end(trash), snapshot.get());
  }
  ~BusyRound() {
    game.reset();
    display.reset();
  }

  // Back to the busy state: every piece in view again, and the texts showing if asked.
  void refresh(bool texts) {
    std::copy(snapshot.get(), snapshot.get() + kMaxTrash, trash);
    game->_state = kGameStatePlaying;
    for (Baby& baby : babies) baby.state = BabyStateOnBeach;
    game->numBabies = kNumBabies;
    for (int i = 0; i < kNumScorePopups; ++i) {
      game->points[i] = texts ? ScorePopup{250 + i, 27, 60.0f * i + 30, 150} : ScorePopup{};
    }
    game->roundDisplayTime = texts ? 1.5f : 0;
    game->bonusDisplayTime = texts ? 2.5f : 0;
  }

  platform::VirtualClock clock{0.0};
  platform::RunLoop loop{clock};
  std::unique_ptr<platform::Display> display;
  std::unique_ptr<SaltmereAppDelegate> game;
  std::unique_ptr<Trash[]> snapshot;
};

std::unique_ptr<BusyRound> sRound;

BusyRound& busyRound() {
  if (!sRound) sRound = std::make_unique<BusyRound>();
  return *sRound;
}

// Where a busy picture's fragments go, in screenfuls of the surface: each layer's quads (the
// parts of each sprite that can show, in the surface's pixels, the share of its whole box on the
// screen; a turned one by its unturned box), the background where nothing hides it, the copy of the
// surface into the GL layer's texture and the composite onto the window. Everything but the
// background and the copy is blended.
void printFragments() {
  BusyRound& round = busyRound();
  round.refresh(true);
  round.game->drawObjects(0);
  const std::map<uint32_t, const char*> names = {{0, "score block and round texts"},
                                                 {kWavesSprite, "waves"},
                                                 {kSandSprite, "sand"},
                                                 {kBabySprite, "babies"},
                                                 {kCrabSprite, "crab"},
                                                 {kLowerClawSprite, "lower claws"},
                                                 {kSharkSprite, "shark"},
                                                 {kTrashSprite, "trash"},
                                                 {kUpperClawSprite, "upper claws"},
                                                 {kBubblesSprite, "bubbles"},
                                                 {kBallSprite, "beach ball"},
                                                 {kPopupSprite, "score numbers"}};
  std::map<uint32_t, std::pair<int, double>> layers;  // kind: quads, pixels
  const double scale = sScale;
  for (const SceneSprite& sprite : round.game->sceneFrame.sprites) {
    const platform::Size size = sprite.texture->contentSize();
    const double x0 = std::max(0.0, sprite.at.x - size.width / 2.0);
    const double x1 = std::min<double>(kWorldWidth, sprite.at.x + size.width / 2.0);
    const double y0 = std::max(0.0, sprite.at.y - size.height / 2.0);
    const double y1 = std::min<double>(kWorldHeight, sprite.at.y + size.height / 2.0);
    const double onScreen =
        std::max(0.0, x1 - x0) * std::max(0.0, y1 - y0) / (size.width * size.height);
    auto& [quads, pixels] = layers[spriteKindOf(sprite.id)];
    quads += 1;
    pixels += sprite.texture->visibleArea() * onScreen * scale * scale;
  }
  const platform::Rect world = {{0, 0}, {kWorldWidth, kWorldHeight}};
  const std::vector<platform::Rect> hidden = hiddenBySprites(round.game->sceneFrame.sprites);
  const std::vector<platform::Rect> sea = platform::rectMinus(world, hidden);
  double seaPixels = 0;
  for (const platform::Rect& part : sea) seaPixels += part.size.width * part.size.height;
  const double screen = kWorldWidth * kWorldHeight * scale * scale;
  std::printf("a busy picture at %g x %g: fragments in screenfuls (%g pixels each)\n",
              kWorldWidth * scale, kWorldHeight * scale, screen);
  double total = 0;
  const auto row = [&](const char* name, int quads, double pixels) {
    std::printf("  %-30s %3d quads %6.2f\n", name, quads, pixels / screen);
    total += pixels;
  };
  row("background (not blended)", static_cast<int>(sea.size()), seaPixels * scale * scale);
  for (const auto& [kind, layer] : layers) row(names.at(kind), layer.first, layer.second);
  std::printf("  %-30s %3zu quads %6.2f\n", "in all",
              round.game->sceneFrame.sprites.size() + sea.size(), total / screen);
}

void frames(benchmark::State& state, bool texts) {
  BusyRound& round = busyRound();
  long frames = 0, frameHeapCalls = 0, compositeHeapCalls = 0;
  for (auto _ : state) {
    // Every 20 frames (a second of play) the round is made busy again.
    if (frames++ % 20 == 0) round.refresh(texts);
    round.clock.advanceTo(round.clock.now() + 0.05);
    const long before = heapCallCount();
    round.game->renderSceneExpiration();
    const long drawn = heapCallCount();
    round.display->composite();
    handToRasteriser();
    frameHeapCalls += drawn - before;
    compositeHeapCalls += heapCallCount() - drawn;
  }
  glFinish();
  const auto perFrame = [frames](long calls) {
    return benchmark::Counter(static_cast<double>(calls) / static_cast<double>(frames));
  };
  // The step, the drawing and the present; then the composite.
  state.counters["heap_calls_frame"] = perFrame(frameHeapCalls);
  state.counters["heap_calls_composite"] = perFrame(compositeHeapCalls);
  state.SetLabel(std::to_string(480 * sScale) + " x " + std::to_string(320 * sScale));
}

void BM_BusyFrame(benchmark::State& state) {
  frames(state, true);
}
BENCHMARK(BM_BusyFrame)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_BusyFrameWithoutTexts(benchmark::State& state) {
  frames(state, false);
}
BENCHMARK(BM_BusyFrameWithoutTexts)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// One second of a busy round with smooth pictures at 60 a second: 20 frames, 60 pictures, each
// composited, all on the loop as a window runs them. Real time per second of play says how many
// pictures a second the machine could make (60 / it); process CPU what they cost.
void BM_BusySecondAt60(benchmark::State& state) {
  BusyRound& round = busyRound();
  SaltmereAppDelegate& game = *round.game;
  game.scenePresenter.setPacing(Pacing::Smooth, 60);
  round.loop.addBeforeWaitingObserver([&round] {
    round.display->compositeIfNeeded();
    handToRasteriser();
  });
  game.startTimer(kRenderSceneTimer);
  const long before = game.scenePresenter.pictures();
  long seconds = 0;
  for (auto _ : state) {
    round.refresh(true);
    round.loop.runUntil(round.clock.now() + 1);
    ++seconds;
  }
  glFinish();
  game.stopTimer(kRenderSceneTimer);
  state.counters["pictures_per_second"] = benchmark::Counter(
      static_cast<double>(game.scenePresenter.pictures() - before) / static_cast<double>(seconds));
  state.SetLabel(std::to_string(480 * sScale) + " x " + std::to_string(320 * sScale));
}
BENCHMARK(BM_BusySecondAt60)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--scale=", 8) == 0) sScale = std::max(1, std::atoi(argv[i] + 8));
  }
  setenv("ALSOFT_DRIVERS", "null", 0);
  benchmark::Initialize(&argc, argv);
  printFragments();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  sRound.reset();
  return 0;
}
