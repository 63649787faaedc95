// The scene as drawn from hand-built records with the game's own art: what covers what, which
// way the shark faces, where the score block sits, the last frame of a score number, the legs'
// pictures, and the tutorial's pictures.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "app/saltmere_app_delegate.h"
#include "platform/core/bundle.h"
#include "platform/core/clock.h"
#include "platform/core/run_loop.h"
#include "sound/sound_engine.h"
#include "tests/support/build_paths.h"
#include "tests/support/test_display.h"

namespace {

using Pixel = std::array<uint8_t, 4>;

class SceneTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("ALSOFT_DRIVERS", "null", 1); }
  void SetUp() override {
    screen_ = makeLandscapeScreen();
    game.glView = screen_.glView;
    startSceneFrame(*game.glView);
    platform::Bundle::useFolder(build_paths::kBundle);
    ASSERT_EQ(game.loadTextures(), 0);
    game.initTimers();
    game.resetGame();
    shark = Shark{};
    for (Baby& baby : babies) baby.state = BabyStateNone;
  }
  void TearDown() override { game.stopAllTimers(); }

  // One frame, no time passing, read back before it is presented.
  void frame(float dt = 0) {
    game.glView->setCurrentContext();
    game.drawObjects(dt);
    game.drawBackground();
    paintSprites(game.sceneFrame.sprites);
  }
  static Pixel at(int x, int y) {
    const std::vector<uint8_t> pixel = readDrawn(x, y, 1, 1);
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
  }
  // The pixels of a rectangle of points, rows bottom first.
  static std::vector<Pixel> region(int x, int y, int width, int height) {
    std::vector<Pixel> pixels;
    for (int row = 0; row < height; ++row) {
      for (int column = 0; column < width; ++column) pixels.push_back(at(x + column, y + row));
    }
    return pixels;
  }
  static bool isTire(Pixel p) { return p[0] < 130 && p[1] < 130 && p[2] < 140; }
  static bool isClaw(Pixel p) { return p[0] > 180 && p[1] < 120 && p[2] < 100; }

  Trash& tireAt(platform::Point at, int state) {
    Trash& tire = trash[0];
    tire = Trash{};
    tire.type = kTextureTrash03;
    tire.state = state;
    tire.rect = {at, game.getSize(kTextureTrash03)};
    tire.bounced = true;  // no bubbles in the way
    game.numTrash = 1;
    return tire;
  }

  platform::VirtualClock clock_{0.0};
  platform::RunLoop loop_{clock_};  // for the tutorial's timer; outlives the game
  LandscapeScreen screen_;
  SaltmereAppDelegate game;
};

}  // namespace

TEST_F(SceneTest, AHeldPieceLiesBetweenTheClawsHalvesAndAForcedOpenClawInFrontOfTrash) {
  // A tire over claw 0's upper jaw: held, it is behind the jaw; sinking, in front of it.
  // (x, y) lies on the tire's ring and inside the closed jaw.
  const platform::Point claw = game.nerin.claw[0].rect.origin;  // (202, 82)
  const int x = static_cast<int>(claw.x) - 10, y = static_cast<int>(claw.y) + 4;
  tireAt({claw.x, claw.y + 8}, TrashStateHeld);
  frame();
  EXPECT_TRUE(isClaw(at(x, y)));
  EXPECT_TRUE(isTire(at(x + 10, y + 20)));  // the tire's top shows above the jaw

  tireAt({claw.x, claw.y + 8}, TrashStateFalling);
  frame();
  EXPECT_TRUE(isTire(at(x, y)));

  // The same open jaw, drawn behind the tire as an idle pose and in front of it when forced.
  const auto clawPixels = [&] {
    int count = 0;
    for (const Pixel& p : region(x - 6, y - 20, 32, 32)) count += isClaw(p);
    return count;
  };
  game.nerin.claw[0].type = kTextureClawOpen;
  frame();
  const int behind = clawPixels();
  game.nerin.claw[0].type = kTextureClawClosed;
  game.nerin.claw[0].forceOpen = true;
  frame();
  EXPECT_EQ(game.nerin.claw[0].type, kTextureClawOpen);
  EXPECT_GT(clawPixels(), behind + 20);
}

TEST_F(SceneTest, TheSharkFacesTheWayItSwims) {
  shark.rect = {{240, 160}, game.getSize(kTextureShark1)};
  shark.active = true;
  shark.speed = 20;
  frame();
  const std::vector<Pixel> right = region(160, 150, 160, 1);
  shark.speed = -20;
  frame();
  const std::vector<Pixel> left = region(160, 150, 160, 1);
  ASSERT_NE(left, right);
  int mirrored = 0;
  for (int i = 0; i < 160; ++i) mirrored += left[i] == right[159 - i];
  EXPECT_GT(mirrored, 140);  // the same row, back to front
}

TEST_F(SceneTest, TheScoreBlockSitsInTheTopRightCornerAndShowsRoundOneBeforeTheFirst) {
  game._score = 0;
  game.round = 0;
  game.levelTimeRemaining = 0;
  frame();
  // "score 0" is 7 characters: 61.6 points wide, against the right edge, its top at the top.
  int lit = 0, litLeft = 0;
  for (int y = 260; y < 320; ++y) {
    for (int x = 380; x < 480; ++x) {
      const Pixel p = at(x, y);
      const bool white = p[0] > 200 && p[1] > 200 && p[2] > 200;
      lit += white && y >= 300;
      litLeft += white && x < 418;
    }
  }
  EXPECT_GT(lit, 20);
  EXPECT_EQ(litLeft, 0);
  const std::vector<Pixel> roundZero = region(418, 260, 62, 60);

  game.round = 1;
  frame();
  EXPECT_EQ(region(418, 260, 62, 60), roundZero);
  game.round = 2;
  frame();
  EXPECT_NE(region(418, 260, 62, 60), roundZero);
}

TEST_F(SceneTest, AScoreNumberIsDrawnInTheFrameItShrinksBelowTenAndThenNoMore) {
  game.points[3] = {250, 10.2f, 100, 200};
  const std::vector<Pixel> empty = [&] {
    game.points[3].value = 0;
    frame();
    return region(80, 190, 40, 20);
  }();
  game.points[3] = {250, 10.2f, 100, 200};
  frame(0.05f);  // 10.2 - 0.75 = 9.45
  EXPECT_EQ(game.points[3].value, 0);
  EXPECT_FLOAT_EQ(game.points[3].y, 201.5f);
  EXPECT_NE(region(80, 190, 40, 20), empty);
  frame();
  EXPECT_EQ(region(80, 190, 40, 20), empty);
}

TEST_F(SceneTest, TheLegsChangePictureEveryTwoPointsOfTheCrabsX) {
  const auto legsAt = [&](float x) {
    game.nerin.rect.origin.x = x;
    for (Claw& claw : game.nerin.claw) claw.rect.origin.x = x + claw.offset.x;
    frame();
    // The crab's own pixels in the feet's rows: her red and her outline, not the sand.
    std::vector<bool> crab;
    for (const Pixel& p : region(static_cast<int>(x) - 48, 26, 96, 12)) {
      crab.push_back((p[0] > 150 && p[1] < 120) || (p[0] < 80 && p[1] < 60 && p[2] < 50));
    }
    return crab;
  };
  // Antialiased edges take a little of what lies beneath, which differs as she moves.
  const auto differences = [](const std::vector<bool>& a, const std::vector<bool>& b) {
    int count = 0;
    for (size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
    return count;
  };
  const std::vector<bool> even = legsAt(240);
  EXPECT_GT(differences(legsAt(242), even), 40);
  EXPECT_LT(differences(legsAt(244), even), 10);
  EXPECT_GT(differences(legsAt(243.9f), even), 40);
}

TEST_F(SceneTest, TheTutorialShowsItsPicturesAndPutsTheDeviceBackOnASecondRun) {
  // The device picture reaches x 120 only when it is centred at 200. The tutorial presents its
  // own frames: the screen shows them.
  const auto deviceAtLeft = [] {
    const platform::Picture screen = testDisplay().capture(1);
    const uint8_t* p = screen.pixel(130, 320 - 1 - 230);
    return p[0] + p[1] + p[2] > 60;
  };
  game.buttonPressed(7);  // the tilt scene: the crab at x 100
  EXPECT_EQ(game.nerin.rect.origin.x, 100);
  EXPECT_EQ(game.nerin.rect.origin.y, 68);
  EXPECT_TRUE(game.isActiveTimer(kTutorialTimer));
  EXPECT_FALSE(deviceAtLeft());
  game.tutorialTimerExpiration();
  EXPECT_EQ(game.nerin.rect.origin.x, 240);
  game.tutorialScene(true);  // the protect scene
  EXPECT_EQ(game.nerin.rect.origin.x, 310);
  game.tutorialScene(true);  // the throw scene
  EXPECT_EQ(game.nerin.rect.origin.x, 380);
  EXPECT_TRUE(deviceAtLeft());
  game.tutorialScene(true);  // the end
  EXPECT_FALSE(game.isActiveTimer(kTutorialTimer));

  game.buttonPressed(7);
  EXPECT_EQ(game.nerin.rect.origin.x, 100);
  EXPECT_FALSE(deviceAtLeft());
  game.tutorialScene(true);
  game.tutorialScene(true);
  game.tutorialScene(true);
}
