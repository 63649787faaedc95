// The world's test bench: see world_fixture.h.
#include "tests/world_fixture.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/achievements.h"
#include "platform/random.h"
#include "platform/user_defaults.h"
#include "tests/test_display.h"

namespace {

struct WorldAssets {
  LandscapeScreen screen;
  std::shared_ptr<Texture2D> textures[kTextureCount];
};

// The pictures' sizes in points, as the game's art has them.
struct PictureSize {
  int slot;
  unsigned width, height;
};
constexpr PictureSize kPictureSizes[] = {
    {kTextureNerin, 96, 64},    {kTextureClawClosed, 32, 32}, {kTextureClawOpen, 32, 32},
    {kTextureBabyCrab, 32, 24}, {kTextureTrash03, 40, 40},    {kTextureTrash05, 44, 22},
    {kTextureTrash02, 22, 44},  {kTextureTrash07, 30, 36},    {kTextureTrash06, 36, 40},
    {kTextureTrash04, 34, 38},  {kTextureTrash01, 56, 28},    {kTextureBeachBall, 40, 40},
    {kTextureShark1, 160, 64},  {kTextureShark2, 160, 64},    {kTextureShark3, 160, 64},
    {kTextureStar, 32, 32},
};

const WorldAssets& worldAssets() {
  static const WorldAssets* assets = [] {
    auto* made = new WorldAssets{makeLandscapeScreen(), {}};
    made->screen.glView->setCurrentContext();
    for (const PictureSize& picture : kPictureSizes) {
      made->textures[picture.slot] = Texture2D::initWithData(
          nullptr, Texture2DFormatRGBA8888, powerOfTwoAtLeast(picture.width),
          powerOfTwoAtLeast(picture.height),
          {static_cast<float>(picture.width), static_cast<float>(picture.height)});
    }
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

  const std::filesystem::path defaults =
      std::filesystem::path(testing::TempDir()) / "world_test_defaults.json";
  std::filesystem::remove(defaults);
  platform::UserDefaults::useFile(defaults);

  platform::gameRandom().seed(1);
  stepMemory = StepMemory{};
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
