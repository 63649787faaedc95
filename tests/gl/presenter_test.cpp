// Pictures of the scene: classic ones one a frame; smooth ones at the refresh rate, stepping
// evenly through the frames, each thing placed between its two last simulated places, none
// while the game is paused, the latest repainted once a screen that showed nothing shows again;
// and the in-between picture's rules on their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/core/bundle.h"
#include "player/bot.h"
#include "session/sandbox_game.h"
#include "tests/support/build_paths.h"

namespace {

struct Picture {
  double time;
  float fraction;
  std::vector<SceneSprite> sprites;
};

// A game the built-in player plays on the virtual clock, every frame and picture kept.
class PresentedGame {
 public:
  explicit PresentedGame(double presentRate) {
    platform::Bundle::useFolder(build_paths::kBundle);
    ReplayScript opening;
    opening.seed = 7;
    headless_ = SandboxGame::make("test", opening, 1, presentRate);
    SaltmereAppDelegate& game = headless_->game();
    bot_ = std::make_unique<Bot>(game);
    headless_->launch();
    auto paint = game.scenePresenter.paint;
    game.scenePresenter.paint = [this, &game, paint](const std::vector<SceneSprite>& sprites) {
      pictures.push_back({headless_->loop().now(), game.scenePresenter.lastFraction(), sprites});
      paint(sprites);
    };
    game.frameEnded = [this, &game](float) { frames.push_back(game.sceneFrame); };
    platform::RunLoop& loop = headless_->loop();
    loop.post(0.2, [&game] { game.buttonPressed(1); });
    loop.post(0.25, [&game] { game.buttonPressed(8); });
    loop.post(0.3, [this] { bot_->setActive(true); });
  }
  void runUntil(double time) { headless_->loop().runUntil(time); }
  SaltmereAppDelegate& game() { return headless_->game(); }
  // The player stops playing (and would otherwise resume a pause).
  void stopPlayer() { bot_->setActive(false); }

  std::vector<SceneFrame> frames;
  std::vector<Picture> pictures;

 private:
  std::unique_ptr<SandboxGame> headless_;
  std::unique_ptr<Bot> bot_;
};

class PresenterTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("ALSOFT_DRIVERS", "null", 1); }
};

bool between(float value, float a, float b) {
  constexpr float slack = 1e-3f;
  return value >= std::min(a, b) - slack && value <= std::max(a, b) + slack;
}

}  // namespace

TEST_F(PresenterTest, ClassicPicturesAreOneAFrame) {
  PresentedGame run(0);
  run.runUntil(12);
  ASSERT_GT(run.frames.size(), 150u);
  EXPECT_EQ(run.pictures.size(), run.frames.size());
}

TEST_F(PresenterTest, SmoothPicturesStepEvenlyAndPlaceEverythingBetweenItsLastTwoFrames) {
  PresentedGame run(60);
  run.runUntil(12);
  ASSERT_GT(run.frames.size(), 150u);
  // Three pictures a frame at 60 a second against 20 frames a second.
  EXPECT_NEAR(static_cast<double>(run.pictures.size()), 3.0 * run.frames.size(), 4);

  int moved = 0;
  for (size_t i = 1; i < run.pictures.size(); ++i) {
    const Picture& picture = run.pictures[i];
    // Even steps: a third of a frame each, never a picture shown twice or one skipped.
    const float step = std::remainder(picture.fraction - run.pictures[i - 1].fraction, 1.0f);
    if (run.pictures[i - 1].fraction >= 0) {
      EXPECT_NEAR(std::abs(step), 1 / 3.0f, 1e-3) << i;
    }

    // The frames it lies between: the last two simulated by the time of the picture.
    const auto after = std::find_if(run.frames.begin(), run.frames.end(),
                                    [&](const SceneFrame& f) { return f.time > picture.time; });
    if (after - run.frames.begin() < 2) continue;
    const SceneFrame& current = *(after - 1);
    const SceneFrame& previous = *(after - 2);
    ASSERT_EQ(picture.sprites.size(), current.sprites.size());
    for (size_t s = 0; s < current.sprites.size(); ++s) {
      const SceneSprite& shown = picture.sprites[s];
      const SceneSprite& now = current.sprites[s];
      EXPECT_EQ(shown.texture, now.texture);
      const auto before = std::find_if(previous.sprites.begin(), previous.sprites.end(),
                                       [&](const SceneSprite& p) { return p.id == now.id; });
      if (now.id == 0 || before == previous.sprites.end()) {
        EXPECT_EQ(shown.at, now.at);  // new or still: where it is
        continue;
      }
      if (std::hypot(now.at.x - before->at.x, now.at.y - before->at.y) > kLongestGlide) continue;
      EXPECT_TRUE(between(shown.at.x, before->at.x, now.at.x) &&
                  between(shown.at.y, before->at.y, now.at.y))
          << "picture " << i << " sprite " << s;
      if (picture.fraction > 0.3f && picture.fraction < 0.7f &&
          std::abs(now.at.y - before->at.y) > 5) {
        EXPECT_NEAR(shown.at.y, (before->at.y + now.at.y) / 2, std::abs(now.at.y - before->at.y));
        ++moved;
      }
    }
  }
  EXPECT_GT(moved, 20);  // trash sank, flew and the babies hopped in between
}

TEST_F(PresenterTest, NoPicturesWhileThePlayerPauses) {
  PresentedGame run(60);
  run.runUntil(6);
  SaltmereAppDelegate& game = run.game();
  run.stopPlayer();
  game.pauseByPlayer();
  run.runUntil(6.2);
  const size_t paused = run.pictures.size();
  run.runUntil(9);
  EXPECT_EQ(run.pictures.size(), paused);
  EXPECT_FALSE(game.scenePresenter.isRunning());
  game.resumeByPlayer();
  run.runUntil(10);
  EXPECT_GT(run.pictures.size(), paused + 40);
}

TEST(SpritesBetweenTest, MovesTurnTheShortWayAndJumpsAreNotSwept) {
  const auto texture = std::shared_ptr<Texture2D>();
  SceneFrame previous{0,
                      {{texture, {100, 100}, 350, false, false, 1},
                       {texture, {10, 300}, 0, false, false, 2},
                       {texture, {50, 50}, 0, false, false, 0}}};
  SceneFrame current{0.05,
                     {{texture, {120, 90}, 10, false, false, 1},
                      {texture, {200, 20}, 0, false, false, 2},
                      {texture, {60, 60}, 0, false, false, 0},
                      {texture, {5, 5}, 0, false, false, 3}}};
  const std::vector<SceneSprite> half = spritesBetween(previous, current, 0.5f);
  ASSERT_EQ(half.size(), 4u);
  EXPECT_EQ(half[0].at, (platform::Point{110, 95}));
  EXPECT_FLOAT_EQ(std::remainder(half[0].rotation, 360.0f), 0);  // 350 to 10 through 0
  EXPECT_EQ(half[1].at, (platform::Point{200, 20}));             // made afresh elsewhere
  EXPECT_EQ(half[2].at, (platform::Point{60, 60}));              // still things never move
  EXPECT_EQ(half[3].at, (platform::Point{5, 5}));                // new this frame
  EXPECT_EQ(spritesBetween(previous, current, 1)[0].at, (platform::Point{120, 90}));

  // Pictures run one frame behind and never run ahead of the last frame.
  EXPECT_FLOAT_EQ(presentFraction(0, 0.05, 0.05), 0);
  EXPECT_FLOAT_EQ(presentFraction(0, 0.05, 0.075), 0.5f);
  EXPECT_FLOAT_EQ(presentFraction(0, 0.05, 0.5), 1);
  EXPECT_FLOAT_EQ(presentFraction(0.05, 0.05, 0.06), 1);
}

// A machine that cannot paint a picture every refresh: the refreshes come late, and the pictures
// go to every second refresh, evenly, until pictures are measured to take well under a refresh.
TEST(PictureRateTest, StepsDownWhenRefreshesComeLateAndBackUpWhenPicturesAreQuick) {
  constexpr double kRefresh = 1.0 / 60;
  PictureRate rate;
  // Pictures taking 1.4 refreshes: refreshes come late, some by a whole refresh, which are left
  // without a picture (the stutter).
  int pictures = 0;
  for (int i = 0; i < PictureRate::kWindow; ++i) {
    const bool picture = rate.refresh(i % 3 ? 0.6 * kRefresh : 1.2 * kRefresh, kRefresh);
    if (picture) rate.painted(1.4 * kRefresh, kRefresh);
    pictures += picture;
  }
  EXPECT_LT(pictures, PictureRate::kWindow);
  EXPECT_EQ(rate.refreshesPerPicture(), 2);

  // Every second refresh, on time, while a picture takes 0.7 of a refresh: pictures evenly
  // spaced, and it stays down.
  const auto window = [&](double paint) {
    std::vector<int> refreshes;
    for (int i = 0; i < PictureRate::kWindow; ++i) {
      if (!rate.refresh(0, kRefresh)) continue;
      rate.painted(paint, kRefresh);
      refreshes.push_back(i);
    }
    return refreshes;
  };
  for (int k = 0; k < 3; ++k) {
    const std::vector<int> painted = window(0.7 * kRefresh);
    ASSERT_EQ(painted.size(), static_cast<size_t>(PictureRate::kWindow / 2));
    for (size_t i = 1; i < painted.size(); ++i) EXPECT_EQ(painted[i] - painted[i - 1], 2);
    EXPECT_EQ(rate.refreshesPerPicture(), 2);
  }

  // Pictures quick again: a window of them brings every refresh back.
  window(0.3 * kRefresh);
  EXPECT_EQ(rate.refreshesPerPicture(), 1);
  EXPECT_EQ(window(0.3 * kRefresh).size(), static_cast<size_t>(PictureRate::kWindow));
  EXPECT_EQ(rate.refreshesPerPicture(), 1);
}

// Frames made while the screen shows nothing (a window put away, a game played to a moment at
// once) paint nothing; shown again, a repaint paints the latest, even when the game paused since.
TEST_F(PresenterTest, AScreenShownAgainIsRepaintedWithTheLatestFrame) {
  PresentedGame run(60);
  run.runUntil(4);
  SaltmereAppDelegate& game = run.game();
  ScenePresenter& presenter = game.scenePresenter;
  presenter.showing = [] { return false; };
  const size_t shown = run.pictures.size();
  run.runUntil(6);
  run.stopPlayer();
  game.pauseByPlayer();
  run.runUntil(6.5);
  EXPECT_EQ(run.pictures.size(), shown);

  presenter.showing = [] { return true; };
  presenter.repaint();
  ASSERT_EQ(run.pictures.size(), shown + 1);
  const std::vector<SceneSprite>& latest = run.frames.back().sprites;
  ASSERT_EQ(run.pictures.back().sprites.size(), latest.size());
  for (size_t s = 0; s < latest.size(); ++s) {
    EXPECT_EQ(run.pictures.back().sprites[s].at, latest[s].at) << s;
  }
}
