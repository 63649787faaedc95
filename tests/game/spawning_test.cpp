// Fresh trash, babies, beach balls and sharks: where they start, how they move, and how a round
// changes what comes down.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "platform/core/random.h"
#include "tests/support/world_fixture.h"

namespace {

using SpawningTest = WorldTest;

// What each kind is worth, sinks at before the round's extra speed, and how it is held.
struct Kind {
  int type;
  float sinkSpeed, spinLow, spinHigh, holdOffset;
  int value;
  platform::Size box;  // half size for collisions
};
const Kind kKinds[] = {
    {13, 30, 30, 51, 20, 10, {20, 20}}, {14, 20, 20, 31, 10, 20, {22, 5.5f}},
    {15, 40, 30, 51, 10, 40, {11, 22}}, {16, 60, 60, 81, 5, 60, {10.5f, 10.8f}},
    {17, 40, 40, 61, 5, 40, {18, 20}},  {18, 60, 60, 81, 0, 60, {17, 19}},
    {19, 90, 20, 31, 0, 80, {14, 14}},  {24, 125, 80, 101, 15, 2000, {16, 16}},
};

const Kind& kindOf(int type) {
  for (const Kind& kind : kKinds) {
    if (kind.type == type) return kind;
  }
  ADD_FAILURE() << "no such kind " << type;
  return kKinds[0];
}

}  // namespace

TEST_F(SpawningTest, TrashStartsAboveTheSeaWithItsKindsNumbers) {
  for (int round : {1, 2, 3, 4, 5, 10, 13, 15, 16}) {
    game.round = round;
    const int firstKind = 13 + ((round - 1) / 3) % 5;
    std::set<int> kinds;
    int stars = 0, backspins = 0;
    for (int n = 0; n < 3000; ++n) {
      Trash& t = trash[0];
      game.makeNewtrash(&t);
      SCOPED_TRACE(testing::Message() << "round " << round << " type " << t.type);
      ASSERT_EQ(t.state, TrashStateFalling);
      EXPECT_GE(t.rect.origin.y, 320);
      EXPECT_LT(t.rect.origin.y, 320 + 40 * round + 131);
      EXPECT_GE(t.rect.origin.x, 10);
      EXPECT_LT(t.rect.origin.x, 471);
      EXPECT_GE(t.rotation, 0);
      EXPECT_LT(t.rotation, 360);
      EXPECT_GE(t.bubbleFrame, 0);
      EXPECT_LE(t.bubbleFrame, 2);
      EXPECT_EQ(t.velocity.x, 0);
      EXPECT_FALSE(t.bounced);
      EXPECT_EQ(t.landings, 0);

      if (t.type == kTextureStar) {
        ++stars;
      } else {
        kinds.insert(t.type);
        EXPECT_GE(t.type, firstKind);
        EXPECT_LE(t.type, firstKind + 2);
      }
      const Kind& kind = kindOf(t.type);
      EXPECT_FLOAT_EQ(t.velocity.y, kind.sinkSpeed + 5 * round);
      backspins += t.rotationVelocity < 0;
      EXPECT_GE(std::fabs(t.rotationVelocity), kind.spinLow);
      EXPECT_LE(std::fabs(t.rotationVelocity), kind.spinHigh);
      EXPECT_EQ(t.holdOffset.y, kind.holdOffset);
      EXPECT_EQ(t.scoreValue, kind.value);
      EXPECT_FLOAT_EQ(t.rect.size.width, kind.box.width);
      EXPECT_FLOAT_EQ(t.rect.size.height, kind.box.height);
    }
    EXPECT_EQ(kinds.size(), 3u) << "round " << round;
    EXPECT_GT(backspins, 1300) << "round " << round;  // half of them spin backwards
    EXPECT_LT(backspins, 1700) << "round " << round;
    // Stars come from round 5 on, one piece in 101.
    if (round < 5) {
      EXPECT_EQ(stars, 0) << "round " << round;
    } else {
      EXPECT_GT(stars, 10) << "round " << round;
      EXPECT_LT(stars, 60) << "round " << round;
    }
  }
}

// A seed replays a game only if every draw is taken in its place: position, turn, bubbles,
// kind, star, spin, spin direction.
TEST_F(SpawningTest, APieceTakesItsDrawsInAFixedOrder) {
  platform::Random replay(42);
  const auto draw = [&replay] { return static_cast<float>(replay.next()) / 2147483648.0f; };
  platform::gameRandom().seed(42);
  game.round = 7;
  for (int n = 0; n < 50; ++n) {
    Trash& t = trash[0];
    game.makeNewtrash(&t);
    const float y = draw() * 411 + 320, x = draw() * 461 + 10, rotation = draw() * 360;
    const int bubbles = static_cast<int>(draw() * 3);
    int type = static_cast<int>(2 + 3.0 * draw() + 13);
    if (std::lrint(draw() * 101) == 1) type = kTextureStar;
    const float spinDraw = draw();
    const bool backwards = draw() >= 0.5f;
    ASSERT_EQ(t.rect.origin, (platform::Point{x, y})) << n;
    ASSERT_EQ(t.rotation, rotation) << n;
    ASSERT_EQ(t.bubbleFrame, bubbles) << n;
    ASSERT_EQ(t.type, type) << n;
    const Kind& kind = kindOf(type);
    const float spin = (kind.spinHigh - kind.spinLow) * spinDraw + kind.spinLow;
    ASSERT_EQ(t.rotationVelocity, backwards ? -spin : spin) << n;
  }
}

TEST_F(SpawningTest, RoundZeroDrawsFromTheFirstPoolAndRoundSixteenStartsOver) {
  for (int round : {0, 16}) {
    game.round = round;
    for (int n = 0; n < 500; ++n) {
      game.makeNewtrash(&trash[0]);
      if (trash[0].type == kTextureStar) continue;
      EXPECT_GE(trash[0].type, 13);
      EXPECT_LE(trash[0].type, 15);
    }
  }
}

TEST_F(SpawningTest, SinkSpeedsOfAWokInRoundOneAndAStarInRoundFive) {
  game.round = 1;
  for (int n = 0; n < 200; ++n) {
    game.makeNewtrash(&trash[0]);
    if (trash[0].type == kTextureTrash01) {
      EXPECT_EQ(trash[0].velocity.y, 95);
    }
  }
  game.round = 5;
  int stars = 0;
  for (int n = 0; n < 3000; ++n) {
    game.makeNewtrash(&trash[0]);
    if (trash[0].type != kTextureStar) continue;
    ++stars;
    EXPECT_EQ(trash[0].velocity.y, 150);
  }
  EXPECT_GT(stars, 0);
}

TEST_F(SpawningTest, OnceTimeIsUpAPieceLeavesPlayAndKeepsTheRest) {
  Trash& t = sinking(0, kTextureTrash02, {123, 45}, 70, 40);
  t.rotation = 12;
  t.landings = 1;
  game.levelTimeRemaining = 0;
  game.makeNewtrash(&t);
  EXPECT_EQ(t.state, TrashStateNone);
  EXPECT_EQ(t.rect.origin, (platform::Point{123, 45}));
  EXPECT_EQ(t.type, kTextureTrash02);
  EXPECT_EQ(t.velocity.y, 70);
  EXPECT_EQ(t.rotation, 12);
  EXPECT_EQ(t.landings, 1);
}

// Draws of exactly 1, and of the largest float below it, must not pick past a pool's end.
TEST_F(SpawningTest, TheHighestDrawsStayInsideTheirPool) {
  constexpr long kDrawsBeforeNearTopDraw = 14846842;
  platform::Random check(1);
  for (long n = 0; n < kDrawsBeforeTopDraw; ++n) check.next();
  ASSERT_EQ(static_cast<float>(check.next()) * (1.0f / 2147483648.0f), 1.0f);

  // The kind is the fifth draw of a piece.
  const auto pieceWithKindDraw = [&](long drawsBefore, int round) {
    platform::gameRandom().seed(1);
    for (long n = 0; n < drawsBefore - 4; ++n) platform::gameRandom().next();
    game.round = round;
    game.makeNewtrash(&trash[0]);
    return trash[0].type;
  };
  EXPECT_EQ(pieceWithKindDraw(kDrawsBeforeTopDraw, 13), kTextureTrash01);
  EXPECT_EQ(pieceWithKindDraw(kDrawsBeforeNearTopDraw, 13), kTextureTrash01);
  EXPECT_EQ(pieceWithKindDraw(kDrawsBeforeTopDraw, 1), kTextureTrash02);
  EXPECT_EQ(pieceWithKindDraw(kDrawsBeforeNearTopDraw, 1), kTextureTrash02);

  // The grumble is one draw.
  platform::gameRandom().seed(1);
  for (long n = 0; n < kDrawsBeforeTopDraw; ++n) platform::gameRandom().next();
  game.playCrabVoice();
  EXPECT_EQ(sounds.back(), kSoundNerinGrumble4);
}

TEST_F(SpawningTest, BabiesSitAlongTheBeach) {
  for (int n = 0; n < 1000; ++n) {
    Baby& b = babies[0];
    b.contactTimer = 3;
    game.makeNewBaby(&b);
    EXPECT_GE(b.rect.origin.x, 20);
    EXPECT_LT(b.rect.origin.x, 441);
    EXPECT_EQ(b.rect.origin.y, 17);
    EXPECT_EQ(b.rect.size, (platform::Size{16, 12}));
    EXPECT_EQ(b.targetX, b.rect.origin.x);
    EXPECT_EQ(b.state, BabyStateOnBeach);
    EXPECT_EQ(b.type, kTextureBabyCrab);
    EXPECT_EQ(b.spare, 1.0f);
    EXPECT_EQ(b.contactTimer, 0);
  }
}

TEST_F(SpawningTest, BeachBallsAndSharksComeFromEitherSide) {
  int ballsFromRight = 0, sharksFromRight = 0;
  for (int n = 0; n < 400; ++n) {
    game.makeNewBeachBall();
    EXPECT_TRUE(beachBall.active);
    EXPECT_EQ(beachBall.rect.origin.y, 320);
    EXPECT_EQ(beachBall.rect.size, (platform::Size{20, 20}));
    EXPECT_GE(beachBall.rotation, 0);
    EXPECT_LT(beachBall.rotation, 360);
    const float spin = std::fabs(beachBall.rotationVelocity);
    EXPECT_GE(spin, 30);
    EXPECT_LE(spin, 41);
    if (beachBall.rect.origin.x == 500) {
      ++ballsFromRight;
      EXPECT_EQ(beachBall.speed, -40);
      EXPECT_GT(beachBall.rotationVelocity, 0);
    } else {
      EXPECT_EQ(beachBall.rect.origin.x, -20);
      EXPECT_EQ(beachBall.speed, 40);
      EXPECT_LT(beachBall.rotationVelocity, 0);
    }

    shark.bobStep = 0.25f;
    game.makeNewShark();
    EXPECT_TRUE(shark.active);
    EXPECT_EQ(shark.frame, 0);
    EXPECT_EQ(shark.bobStep, 0.25f);
    EXPECT_GE(shark.rect.origin.y, 180);
    EXPECT_LT(shark.rect.origin.y, 251);
    EXPECT_GE(std::fabs(shark.speed), 10);
    EXPECT_LE(std::fabs(shark.speed), 21);
    if (shark.speed < 0) {
      ++sharksFromRight;
      EXPECT_EQ(shark.rect.origin.x, 520);
    } else {
      EXPECT_EQ(shark.rect.origin.x, -40);
    }
  }
  EXPECT_GT(ballsFromRight, 150);
  EXPECT_LT(ballsFromRight, 250);
  EXPECT_GT(sharksFromRight, 150);
  EXPECT_LT(sharksFromRight, 250);
}

TEST_F(SpawningTest, AnEmptyTextureSlotHasNoSize) {
  game._textures[kTextureStar].reset();
  EXPECT_EQ(game.getSize(kTextureStar), (platform::Size{}));
  EXPECT_EQ(game.getSize(kTextureNerin), (platform::Size{48, 32}));
}
