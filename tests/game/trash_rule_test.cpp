// One piece of trash at a time: sinking, landing, bouncing off the crab, being caught, thrown,
// smashing other pieces and the beach ball, and knocking babies.
#include <gtest/gtest.h>

#include <cmath>

#include "app/achievements.h"
#include "tests/support/world_fixture.h"

namespace {

class TrashRuleTest : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    for (Baby& baby : babies) baby.state = BabyStateNone;  // out of the way unless placed
    game.numTrash = 0;
    forgetSounds();
  }

  // Moves piece k alone while `more` holds of it, at most `limit` steps; the steps taken.
  template <typename Condition>
  int moveWhile(int k, Condition more, int limit, float dt = 0.05f) {
    int steps = 0;
    while (more(trash[k]) && steps < limit) {
      game.moveTrash(k, dt);
      ++steps;
    }
    return steps;
  }
};

}  // namespace

TEST_F(TrashRuleTest, APieceBouncesOnItsFirstLandingAndWashesUpOnItsSecond) {
  Trash& t = sinking(0, kTextureTrash03, {100, 21}, 60);
  t.rotationVelocity = 40;
  game.moveTrash(0, 0.05f);
  EXPECT_EQ(t.landings, 1);
  EXPECT_TRUE(t.bounced);
  EXPECT_FLOAT_EQ(t.velocity.y, -21);  // 0.35 of 60
  EXPECT_EQ(t.rotationVelocity, -20);
  EXPECT_EQ(started(kSoundBoot), 1);

  // Gravity brings it down again.
  game.moveTrash(0, 0.05f);
  EXPECT_FLOAT_EQ(t.velocity.y, -20);
  const int steps = moveWhile(
      0, [](const Trash& t) { return t.landings == 1; }, 200);
  EXPECT_LT(steps, 200);
  EXPECT_EQ(acGameCount[kCountLeftOnBeach], 1);
  EXPECT_EQ(started(kSoundBoot), 1);  // the second landing is silent
  // Made afresh above the sea.
  EXPECT_EQ(t.state, TrashStateFalling);
  EXPECT_EQ(t.landings, 0);
  EXPECT_GE(t.rect.origin.y, 320);

  // Once time is up, a piece washed up leaves play.
  game.levelTimeRemaining = 0;
  sinking(0, kTextureTrash03, {100, 19}, 60).landings = 1;
  game.moveTrash(0, 0.05f);
  EXPECT_EQ(t.state, TrashStateNone);
}

TEST_F(TrashRuleTest, BouncesAreCappedAt35OffTheSandAnd50OffTheCrab) {
  EXPECT_FLOAT_EQ(sinking(0, kTextureTrash02, {100, 25}, 120).velocity.y, 120);
  game.moveTrash(0, 0.05f);
  EXPECT_EQ(trash[0].velocity.y, -35);

  // The crab's shell: at 1.6 times the speed, at most 50; a tenth of the value scored.
  const struct {
    float speed, rise;
    int value, points;
  } crabCases[] = {{20, -32, 10, 1}, {40, -50, 40, 4}, {30, -48, 2000, 200}};
  for (const auto& c : crabCases) {
    game._score = 0;
    game.nerin.blink[0] = game.nerin.blink[1] = 0;
    Trash& t = sinking(1, kTextureTrash02, {240, 80}, c.speed, c.value);
    t.rotationVelocity = 10;
    game.moveTrash(1, 0.05f);
    EXPECT_FLOAT_EQ(t.velocity.y, c.rise) << c.speed;
    EXPECT_EQ(game._score, static_cast<unsigned>(c.points));
    EXPECT_TRUE(t.bounced);
    EXPECT_EQ(t.landings, 0);
    EXPECT_EQ(t.rotationVelocity, -15);
    EXPECT_GE(std::fabs(t.velocity.x), 40);
    EXPECT_LE(std::fabs(t.velocity.x), 51);
    EXPECT_EQ(game.nerin.blink[0], 1);
    EXPECT_EQ(game.nerin.blink[1], 1);
  }
  EXPECT_EQ(started(kSoundBonk), 3);
  EXPECT_EQ(acGameCount[kCountCrabBounce], 3);
  // A 200-point bounce floats at the normal size: only above 200 is big.
  EXPECT_EQ(game.points[game.pointsIndex].value, 200);
  EXPECT_EQ(game.points[game.pointsIndex].size, 18);
}

TEST_F(TrashRuleTest, OnlyAPieceComingDownOntoTheShellBouncesOffIt) {
  Trash& rising = sinking(0, kTextureTrash02, {240, 80}, -30);
  game.moveTrash(0, 0.05f);
  EXPECT_FALSE(rising.bounced);
  Trash& below = sinking(1, kTextureTrash02, {240, 50}, 30);
  game.moveTrash(1, 0.05f);
  EXPECT_FALSE(below.bounced);
  EXPECT_EQ(started(kSoundBonk), 0);
}

TEST_F(TrashRuleTest, AFreeClawGapesAtTrashAboveItCatchesItAndItRidesTheClaw) {
  step(1);                                // claws in place; nothing in play yet
  const Claw& claw = game.nerin.claw[0];  // at (202, 82)
  forgetSounds();
  Trash& t = sinking(0, kTextureTrash03, {202, 130}, 30, 10);
  t.holdOffset.y = 20;
  t.velocity.x = 7;
  t.rotationVelocity = 33;
  game.moveTrash(0, 0.05f);
  EXPECT_TRUE(claw.forceOpen);  // within twice its height, above the crab
  EXPECT_EQ(t.state, TrashStateFalling);

  // The catch takes half the boxes: 18 points apart at most, here.
  t.rect.origin = {202, 102.5f};
  game.moveTrash(0, 0.05f);
  EXPECT_EQ(t.state, TrashStateFalling);
  t.rect.origin = {202, 101.5f};
  game.moveTrash(0, 0.05f);
  EXPECT_EQ(t.state, TrashStateHeld);
  EXPECT_EQ(claw.holdingTrash, 0);
  EXPECT_EQ(game._score, 10u);
  EXPECT_EQ(started(kSoundBell), 1);
  EXPECT_EQ(t.velocity.y, 0);
  EXPECT_EQ(t.rotationVelocity, 0);
  EXPECT_EQ(t.velocity.x, 7);  // keeps its sideways speed: a nudge off the claw each frame

  // It rides the claw at its hold offset, and the claw stays shut.
  game._accelerometer = 0.1;
  step(1);
  EXPECT_FLOAT_EQ(claw.rect.origin.x, 154);
  EXPECT_FLOAT_EQ(t.rect.origin.x, 154 + 7 * 0.05f);
  EXPECT_FLOAT_EQ(t.rect.origin.y, 82 + 20);
  EXPECT_EQ(claw.type, kTextureClawClosed);
  EXPECT_EQ(game._score, 10u);
}

TEST_F(TrashRuleTest, AThrownPieceSmashesSinkingPiecesInOrderThenTheBall) {
  Trash& thrown = sinking(0, kTextureTrash03, {300, 200}, -250, 10);
  thrown.state = TrashStateThrown;
  sinking(1, kTextureTrash02, {310, 190}, 40, 40);
  sinking(2, kTextureStar, {300, 190}, 40, 2000);                          // stars are never hit
  sinking(3, kTextureTrash06, {290, 200}, 40, 40).state = TrashStateHeld;  // nor held pieces
  sinking(4, kTextureTrash01, {295, 215}, 40, 80);
  sinking(5, kTextureTrash03, {400, 200}, 40, 10);  // too far
  beachBall = BeachBall{{{320, 225}, {20, 20}}, 40, 0, 0, 0, true};

  game.moveTrash(0, 0.05f);
  EXPECT_EQ(game._score, 50u + 90u + 1000u);
  EXPECT_EQ(game.points[1].value, 50);
  EXPECT_EQ(game.points[2].value, 90);
  EXPECT_EQ(game.points[3].value, 1000);
  EXPECT_EQ(game.points[3].size, 27);
  EXPECT_EQ(acGameCount[kCountMidAirHit], 2);
  EXPECT_EQ(acGameCount[kCountBeachBallHit], 1);
  EXPECT_FALSE(beachBall.active);
  EXPECT_EQ(started(kSoundBeachball), 1);
  EXPECT_EQ(started(kSoundCork1) + started(kSoundCork2) + started(kSoundCork3), 2);
  // The hit pieces start again at the top; the star, the held piece and the far one are as
  // they were.
  EXPECT_GE(trash[1].rect.origin.y, 320);
  EXPECT_GE(trash[4].rect.origin.y, 320);
  EXPECT_EQ(trash[2].rect.origin, (platform::Point{300, 190}));
  EXPECT_EQ(trash[3].rect.origin, (platform::Point{290, 200}));
  EXPECT_EQ(trash[5].rect.origin, (platform::Point{400, 200}));
  EXPECT_EQ(thrown.state, TrashStateThrown);

  // After the round's time, a piece hit is taken out of play.
  game.levelTimeRemaining = 0;
  sinking(1, kTextureTrash02, {300, 212}, 40, 40);
  game.moveTrash(0, 0.05f);
  EXPECT_EQ(trash[1].state, TrashStateNone);
}

TEST_F(TrashRuleTest, AThrownPieceOffTheScreenComesBackOrLeavesPlay) {
  for (platform::Point at : {platform::Point{100, 350}, {-30, 100}, {510, 100}}) {
    Trash& t = sinking(0, kTextureTrash03, at, -250, 10);
    t.state = TrashStateThrown;
    game.moveTrash(0, 0.05f);
    EXPECT_EQ(t.state, TrashStateFalling);
    EXPECT_GE(t.rect.origin.y, 320);
  }
  game.levelTimeRemaining = 0;
  Trash& t = sinking(0, kTextureTrash03, {100, 350}, -250, 10);
  t.state = TrashStateThrown;
  game.moveTrash(0, 0.05f);
  EXPECT_EQ(t.state, TrashStateNone);
}

TEST_F(TrashRuleTest, SinkingTrashKnocksBabiesUntilItHasLandedButAStarNever) {
  babies[1].state = babies[2].state = babies[4].state = BabyStateOnBeach;
  babies[1].rect.origin.x = 100;
  babies[2].rect.origin.x = 110;
  babies[4].rect.origin.x = 400;
  sinking(0, kTextureTrash07, {105, 30}, 40);
  game.moveTrash(0, 0.05f);
  EXPECT_EQ(babies[1].state, BabyStateKnocked);
  EXPECT_EQ(babies[2].state, BabyStateKnocked);
  EXPECT_EQ(babies[4].state, BabyStateOnBeach);
  EXPECT_EQ(started(kSoundCan), 2);
  EXPECT_EQ(started(kSoundSqueak), 2);
  EXPECT_EQ(game.numBabies, 6);  // they count until they are off the screen

  babies[4].rect.origin.x = 300;
  sinking(1, kTextureStar, {300, 30}, 40);
  game.moveTrash(1, 0.05f);
  Trash& landed = sinking(2, kTextureTrash03, {300, 30}, 40);
  landed.landings = 1;
  game.moveTrash(2, 0.05f);
  EXPECT_EQ(babies[4].state, BabyStateOnBeach);
}

TEST_F(TrashRuleTest, APieceBouncedOffTheCrabStillBouncesOnTheSandOnce) {
  Trash& t = sinking(0, kTextureTrash02, {240, 80}, 40);
  game.moveTrash(0, 0.05f);
  ASSERT_TRUE(t.bounced);
  t.velocity.x = 0;
  t.rect.origin = {100, 21};
  t.velocity.y = 40;
  game.moveTrash(0, 0.05f);
  EXPECT_EQ(t.landings, 1);
  EXPECT_LT(t.velocity.y, 0);
  EXPECT_EQ(t.state, TrashStateFalling);
}

TEST_F(TrashRuleTest, SinkingPiecesDriftApartAndTheLevelOneGoesLeft) {
  Trash& a = sinking(0, kTextureTrash03, {100, 200}, 30);
  Trash& b = sinking(1, kTextureTrash03, {100, 200}, 30);
  game.moveTrash(0, 0.05f);
  EXPECT_FLOAT_EQ(a.rect.origin.x, 99);
  game.moveTrash(1, 0.05f);
  EXPECT_FLOAT_EQ(b.rect.origin.x, 101);
  // A rising piece does not move aside.
  a.velocity.y = -10;
  a.rect.origin.x = 101;
  game.moveTrash(0, 0.05f);
  EXPECT_EQ(a.rect.origin.x, 101);
}

TEST_F(TrashRuleTest, BubblesCycleAndAPieceDriftingOffASideComesBack) {
  Trash& t = sinking(0, kTextureTrash03, {100, 300}, 10);
  t.bubbleFrame = 2;
  // The frame moves on once more than half a second has been summed.
  const int steps = moveWhile(
      0, [](const Trash& t) { return t.bubbleFrame == 2; }, 20);
  EXPECT_GE(steps, 10);
  EXPECT_LE(steps, 11);
  EXPECT_EQ(t.bubbleFrame, 0);
  EXPECT_EQ(t.bubbleTimer, 0);

  t.rect.origin.x = 499;
  t.velocity.x = 40;
  game.moveTrash(0, 0.05f);
  EXPECT_GE(t.rect.origin.y, 320);
  EXPECT_EQ(t.velocity.x, 0);
}

TEST_F(TrashRuleTest, SlotsPastTheLevelsCountAndEmptySlotsStayPut) {
  sinking(0, kTextureTrash03, {100, 200}, 30);
  Trash& idle = sinking(1, kTextureTrash03, {300, 200}, 30);
  idle.state = TrashStateNone;
  sinking(2, kTextureTrash03, {400, 200}, 30);
  game.numTrash = 2;
  step(3);
  EXPECT_LT(trash[0].rect.origin.y, 200);
  EXPECT_EQ(idle.rect.origin.y, 200);
  EXPECT_EQ(trash[2].rect.origin.y, 200);
}
