// The world's test bench: see world_fixture.h.
#include "tests/support/world_fixture.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/achievements.h"
#include "platform/core/random.h"
#include "platform/core/user_defaults.h"
#include "tests/support/scratch.h"
#include "tests/support/test_display.h"
#include "tests/support/world_textures.h"

namespace {

struct WorldAssets {
  LandscapeScreen screen;
  std::shared_ptr<Texture2D> textures[kTextureCount];
};

const WorldAssets& worldAssets() {
  static const WorldAssets* assets = [] {
    auto* made = new WorldAssets{makeLandscapeScreen(), {}};
    made->screen.glView->setCurrentContext();
    makeWorldTextures(made->textures);
    return made;
  }();
  return *assets;
}

}  // namespace

void WorldTest::SetUp() {
  const WorldAssets& assets = worldAssets();
  std::copy(std::begin(assets.textures), std::end(assets.textures), game._textures);
  game.glView = assets.screen.glView;
  game.soundStarted = [this](int slot) { sounds.push_back(slot); };

  const std::filesystem::path defaults = scratchPath("world-test-defaults.json");
  std::filesystem::remove(defaults);
  platform::UserDefaults::useFile(defaults);

  platform::gameRandom().seed(1);
  resetWorldRecords();
  game.resetGame();
  game.levelTimeRemaining = 15;
  game.round = 1;
  game._state = kGameStatePlaying;
}

Trash& WorldTest::sinking(int k, int type, platform::Point at, float fallSpeed, int scoreValue) {
  Trash& t = trash[k];
  t = Trash{};
  t.state = TrashStateFalling;
  t.type = type;
  t.rect = {at, game.getSize(type)};
  t.velocity.y = fallSpeed;
  t.scoreValue = scoreValue;
  game.numTrash = std::max(game.numTrash, k + 1);
  return t;
}

void WorldTest::step(int steps, float dt) {
  for (int i = 0; i < steps; ++i) game.moveObjects(dt);
}

int WorldTest::started(int slot) const {
  return static_cast<int>(std::count(sounds.begin(), sounds.end(), slot));
}
