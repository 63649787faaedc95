// The simulation step apart from the trash: the sea, the crab and her legs, eyes and claws, the
// beach ball, the shark and the babies.
#include <gtest/gtest.h>

#include <cmath>

#include "app/achievements.h"
#include "platform/core/random.h"
#include "tests/support/world_fixture.h"

namespace {

class StepTest : public WorldTest {
 protected:
  // Only baby i is left on the beach, at x.
  Baby& onlyBaby(int i, float x) {
    for (Baby& baby : babies) baby.state = BabyStateNone;
    babies[i].state = BabyStateOnBeach;
    babies[i].rect.origin.x = x;
    babies[i].targetX = x;
    return babies[i];
  }
};

}  // namespace

TEST_F(StepTest, TheSeaSwaysAndItsPhaseWrapsPast360) {
  game.seaDelta = 0;
  game.sandDelta = 3;
  step(1);
  EXPECT_EQ(game.seaVelocity, 6);
  EXPECT_EQ(game.sandDelta, 0);
  EXPECT_NEAR(game.seaDelta, std::sin(6 / 180.0 * M_PI) * -12 * 0.05, 1e-6);
  step(354);
  EXPECT_EQ(game.seaVelocity, 360);
  step(1);
  EXPECT_EQ(game.seaVelocity, -1);
  step(1);
  EXPECT_EQ(game.seaVelocity, 0);
  // Over whole periods the sway comes back about where it began.
  const float before = game.seaDelta;
  step(361);
  EXPECT_NEAR(game.seaDelta, before, 0.02);

  // Five thousand steps (250 s of play) keep to the sway's sum taken in double precision, each
  // step's result stored as a float, exactly; a single-precision sine drifts 1e-4 from it.
  float expected = game.seaDelta;
  float phase = game.seaVelocity;
  for (int i = 0; i < 5000; ++i) {
    phase += 1;
    if (phase > 360) phase = 360 - phase;
    expected = static_cast<float>(expected + std::sin(phase * M_PI / 180) * -12 * double{0.05f});
  }
  step(5000);
  EXPECT_EQ(game.seaDelta, expected);
}

TEST_F(StepTest, TheCrabStandsWhereTheTiltPutsHerWithinTheBeach) {
  const struct {
    double tilt;
    float x;
  } cases[] = {{0, 240}, {0.25, 120}, {0.6, 0}, {-0.6, 480}, {-0.1, 288}};
  for (const auto& c : cases) {
    game._accelerometer = c.tilt;
    step(1);
    EXPECT_FLOAT_EQ(game.nerin.rect.origin.x, c.x) << "tilt " << c.tilt;
    EXPECT_EQ(game.nerin.rect.origin.y, 58);
    EXPECT_FLOAT_EQ(game.nerin.claw[0].rect.origin.x, c.x - 38);
    EXPECT_FLOAT_EQ(game.nerin.claw[1].rect.origin.x, c.x + 35);
    EXPECT_EQ(game.nerin.claw[0].rect.origin.y, 82);
    EXPECT_EQ(game.nerin.claw[1].rect.origin.y, 82);
  }
}

TEST_F(StepTest, EveryHundredPointsOfMovementCountOnce) {
  step(1);  // from 0 at launch to 240
  EXPECT_EQ(acGameCount[kCountCrabMoved], 1);
  EXPECT_EQ(stepMemory.lastNerinPosition, 240);
  game._accelerometer = (240 - 341) / 480.0;
  step(1);
  EXPECT_EQ(acGameCount[kCountCrabMoved], 2);
  EXPECT_EQ(stepMemory.lastNerinPosition, 341);
  game._accelerometer = (240 - 400) / 480.0;
  step(1);
  EXPECT_EQ(acGameCount[kCountCrabMoved], 2);
  EXPECT_EQ(stepMemory.lastNerinPosition, 341);
  game._accelerometer = (240 - 441) / 480.0;  // exactly 100 is not more than 100
  step(1);
  EXPECT_EQ(acGameCount[kCountCrabMoved], 2);
  game._accelerometer = (240 - 442) / 480.0;
  step(1);
  EXPECT_EQ(acGameCount[kCountCrabMoved], 3);
  EXPECT_EQ(stepMemory.lastNerinPosition, 442);
  // The memory outlives a new game.
  game.resetGame();
  EXPECT_EQ(stepMemory.lastNerinPosition, 442);
}

TEST_F(StepTest, LegsRunWhileSheMovesAndRestAfterAFifthOfASecond) {
  step(1);
  stepMemory.lastLegs = 240;
  game.nerin.feetRunning = false;
  forgetSounds();

  game._accelerometer = -9.5 / 480;  // 9.5 points: not enough at 20 frames a second
  step(1);
  EXPECT_FALSE(game.nerin.feetRunning);
  game._accelerometer = -10.5 / 480;  // 10.5 points from where the legs were kicked
  step(1);
  EXPECT_TRUE(game.nerin.feetRunning);
  EXPECT_EQ(started(kSoundTiptoe), 1);
  EXPECT_FLOAT_EQ(stepMemory.lastLegs, 250.5f);

  // Running on does not start the patter again.
  for (int n = 1; n <= 5; ++n) {
    game._accelerometer = -(10.5 + 11 * n) / 480;
    step(1);
  }
  EXPECT_EQ(started(kSoundTiptoe), 1);
  EXPECT_TRUE(game.nerin.feetRunning);

  step(4);  // 0.2 s standing still
  EXPECT_TRUE(game.nerin.feetRunning);
  step(1);
  EXPECT_FALSE(game.nerin.feetRunning);
}

TEST_F(StepTest, EyesBlinkNowAndThenForATenthToAFifthOfASecond) {
  int shuts[2] = {};
  float previous[2] = {};
  for (int n = 0; n < 4000; ++n) {  // 200 s
    step(1);
    for (int eye = 0; eye < 2; ++eye) {
      const float blink = game.nerin.blink[eye];
      if (blink > previous[eye]) {
        ++shuts[eye];
        EXPECT_GE(blink, 0.1f);
        EXPECT_LE(blink, 0.2f);
      }
      previous[eye] = blink;
    }
  }
  for (int eye = 0; eye < 2; ++eye) {
    EXPECT_GT(shuts[eye], 20) << "eye " << eye;
    EXPECT_LT(shuts[eye], 70) << "eye " << eye;
  }
}

TEST_F(StepTest, AFreeClawSnapsOpenNowAndThenAndSnapsOnceEachTimeItCloses) {
  int opens = 0, closes = 0;
  int previous[2] = {kTextureClawClosed, kTextureClawClosed};
  step(1);
  forgetSounds();
  for (int n = 0; n < 4000; ++n) {
    step(1);
    bool closed = false;
    for (int c = 0; c < 2; ++c) {
      const Claw& claw = game.nerin.claw[c];
      if (claw.type == kTextureClawOpen && previous[c] == kTextureClawClosed) {
        ++opens;
        EXPECT_GE(claw.timer, 0.35f);
        EXPECT_LE(claw.timer, 0.8f);
      }
      closed |= claw.type == kTextureClawClosed && previous[c] == kTextureClawOpen;
      previous[c] = claw.type;
    }
    closes += closed;
  }
  // About 0.3 a second per claw, less the time spent open: some 100 in 200 s.
  EXPECT_GT(opens, 60);
  EXPECT_LT(opens, 150);
  EXPECT_EQ(started(kSoundSnap), closes);
}

TEST_F(StepTest, AClawOnlyForcedOpenClosesWithoutASnapAndAHoldingClawStaysShut) {
  step(1);
  forgetSounds();
  // The drawing opens a forced claw after the step has remembered it closed.
  game.nerin.claw[0].type = kTextureClawOpen;
  game.nerin.claw[0].timer = 0;
  game.nerin.claw[1].holdingTrash = 3;
  game.nerin.claw[1].type = kTextureClawOpen;
  game.nerin.claw[1].timer = 0.5f;
  stepMemory.lastClaw[1] = kTextureClawClosed;
  platform::gameRandom().seed(7);
  step(1);
  EXPECT_EQ(game.nerin.claw[1].type, kTextureClawClosed);
  EXPECT_EQ(game.nerin.claw[1].timer, 0);
  ASSERT_EQ(game.nerin.claw[0].type, kTextureClawClosed);  // seed 7 does not reopen it
  EXPECT_EQ(started(kSoundSnap), 0);
}

TEST_F(StepTest, TheBeachBallBobsAlongTheTopAndIsGoneOffTheFarSide) {
  beachBall = BeachBall{{{100, 320}, {20, 20}}, -40, 0, 350, 300, true};
  step(1);
  EXPECT_FLOAT_EQ(beachBall.rect.origin.x, 98);
  EXPECT_FLOAT_EQ(beachBall.rotation, 5);  // 350 + 15 wraps
  EXPECT_FLOAT_EQ(beachBall.bobAngle, 9);
  EXPECT_FLOAT_EQ(beachBall.rect.origin.y, 320 - 5 * std::sin(9 / 180.0 * M_PI));
  beachBall.rect.origin.x = -17;
  step(1);
  EXPECT_TRUE(beachBall.active);
  step(1);
  EXPECT_FALSE(beachBall.active);
  const platform::Point left = beachBall.rect.origin;
  step(1);
  EXPECT_EQ(beachBall.rect.origin, left);
}

TEST_F(StepTest, TheSharkSwimsThroughItsFramesAndBobsByAStepPerFrame) {
  game.makeNewShark();
  shark.speed = 20;
  shark.rect.origin = {100, 200};
  // A frame lasts more than 0.75 s: four quarter seconds.
  int frames[5] = {};
  for (int n = 0; n < 4; ++n) {
    step(3, 0.25f);
    EXPECT_EQ(shark.frame, n) << n;
    step(1, 0.25f);
    frames[n + 1] = shark.frame;
  }
  EXPECT_EQ(frames[1], 1);
  EXPECT_EQ(frames[2], 2);
  EXPECT_EQ(frames[3], 3);
  EXPECT_EQ(frames[4], 0);
  EXPECT_NEAR(shark.rect.origin.x, 100 + 20 * 4, 1e-3);
  const float y = shark.rect.origin.y;
  step(1);
  EXPECT_FLOAT_EQ(shark.bobStep, 0.5f * std::sin(shark.bobAngle / 180 * M_PI));
  EXPECT_FLOAT_EQ(shark.rect.origin.y, y + shark.bobStep);

  // It is gone only past the side it swims towards.
  shark.rect.origin.x = 558;
  step(1);
  EXPECT_TRUE(shark.active);
  shark.rect.origin.x = 579.5f;
  step(1);
  EXPECT_FALSE(shark.active);
  shark.active = true;
  shark.speed = -20;
  shark.rect.origin.x = -80;
  step(1);
  EXPECT_FALSE(shark.active);
}

TEST_F(StepTest, AKnockedBabyTumblesOffTheNearerSideAndOnlyThenIsGone) {
  for (float x : {240.0f, 239.0f}) {
    game.resetGame();
    Baby& baby = onlyBaby(0, x);
    baby.state = BabyStateKnocked;
    game.numBabies = 1;
    step(1);
    const bool right = x == 240;
    EXPECT_FLOAT_EQ(baby.rect.origin.x, x + (right ? 7.5f : -7.5f));
    EXPECT_FLOAT_EQ(baby.rotation, right ? 324 : 36);
    EXPECT_FLOAT_EQ(baby.rect.origin.y, 68 - 50 * std::sin(9 / 180.0 * M_PI));
    int steps = 1;
    while (baby.state == BabyStateKnocked && steps < 100) {
      EXPECT_EQ(game.numBabies, 1);
      EXPECT_GE(baby.rect.origin.y, 18 - 1e-3);
      EXPECT_LE(baby.rect.origin.y, 118 + 1e-3);
      step(1);
      ++steps;
    }
    EXPECT_EQ(baby.state, BabyStateNone);
    EXPECT_EQ(game.numBabies, 0);
    EXPECT_EQ(steps, 35);  // 256 points at 7.5 a step, from either side
  }
}

TEST_F(StepTest, BabiesKeepTheirDistanceAndStayOnTheBeach) {
  onlyBaby(0, 100);
  babies[1].state = BabyStateOnBeach;
  babies[1].rect.origin.x = 130;  // within 2.2 half widths (35.2)
  step(1);
  EXPECT_FLOAT_EQ(babies[0].rect.origin.x, 99);
  EXPECT_FLOAT_EQ(babies[1].rect.origin.x, 131);
  // Equal x: each steps the same way, the earlier one first.
  babies[1].rect.origin.x = 99;
  step(1);
  EXPECT_FLOAT_EQ(babies[0].rect.origin.x, 100);
  EXPECT_FLOAT_EQ(babies[1].rect.origin.x, 98);

  onlyBaby(2, 16.5f);
  babies[3].state = BabyStateOnBeach;
  babies[3].rect.origin.x = 20;
  step(1);
  EXPECT_FLOAT_EQ(babies[2].rect.origin.x, 16);  // held at its half width
}

TEST_F(StepTest, ABabyCrowdedForTwoSecondsAllToldGrumblesOnceAndWalksPastTheCrab) {
  Baby& baby = onlyBaby(0, 230);
  forgetSounds();
  step(20);  // 1 s beside the crab: it shuffles off
  EXPECT_GT(baby.contactTimer, 0.9f);
  const float crowded = baby.contactTimer;
  baby.rect.origin.x = 300;  // well clear
  step(10);
  EXPECT_EQ(baby.contactTimer, crowded);
  int grumbles = 0, walked = 0;
  for (int n = 0; n < 40 && !walked; ++n) {
    baby.rect.origin.x = 230;
    baby.walking = false;
    step(1);
    walked = baby.walking;
    for (int s : sounds) grumbles += s >= kSoundNerinGrumble2 && s <= kSoundNerinGrumble4;
    forgetSounds();
  }
  EXPECT_TRUE(walked);
  EXPECT_EQ(grumbles, 1);
  EXPECT_EQ(baby.contactTimer, 0);
  // Twice the crab's half width away while no baby is lost: 96 points.
  EXPECT_NEAR(std::fabs(baby.targetX - 230), 96, 1.5);
}

TEST_F(StepTest, FourCrowdedBabiesInFiveWalkPastTheCrabAndNoneOffTheBeach) {
  Baby& baby = onlyBaby(0, 230);
  // The baby at x, a moment short of two seconds crowded: one step sends it walking.
  const auto crowdedAt = [&](float x) {
    baby.rect.origin.x = x;
    baby.walking = false;
    baby.contactTimer = 1.99f;
    step(1);
    return baby.walking;
  };
  int past = 0;
  for (int n = 0; n < 500; ++n) {
    ASSERT_TRUE(crowdedAt(230));
    past += baby.targetX > 240;
  }
  EXPECT_GT(past, 350);
  EXPECT_LT(past, 450);

  // Near the edge the walk turns back onto the beach: 20 + 96 or 20 - 96, never the latter.
  game._accelerometer = (240 - 60) / 480.0;
  for (int n = 0; n < 50; ++n) {
    ASSERT_TRUE(crowdedAt(20));
    EXPECT_GE(baby.targetX, 16);
    EXPECT_LE(baby.targetX, 464);
  }
}

TEST_F(StepTest, AWalkingBabyWaitsWhereAStepWouldCrossItsTarget) {
  Baby& baby = onlyBaby(0, 100);
  baby.walking = true;
  baby.targetX = 97.5f;
  step(1, 3.0f / 80);  // a walking step of 3 with all six babies
  EXPECT_EQ(baby.rect.origin.x, 100);
  EXPECT_TRUE(baby.walking);
  baby.targetX = 90;
  step(1, 3.0f / 80);
  EXPECT_EQ(baby.rect.origin.x, 97);
  baby.targetX = 98.5f;
  step(1, 3.0f / 80);
  EXPECT_FALSE(baby.walking);
  EXPECT_EQ(baby.rect.origin.x, 97);

  // With two babies lost they walk faster.
  game.numBabies = 4;
  baby.walking = true;
  baby.targetX = 60;
  step(1, 0.1f);
  EXPECT_FLOAT_EQ(baby.rect.origin.x, 86);
}

TEST_F(StepTest, AWalkingBabyBesideTheCrabDoesNotShuffleButFeelsHer) {
  Baby& baby = onlyBaby(0, 230);
  baby.walking = true;
  baby.targetX = 400;
  baby.contactTimer = 0;
  step(1, 0.1f);
  EXPECT_FLOAT_EQ(baby.rect.origin.x, 238);  // walked 8, no shuffle of 2
  EXPECT_FLOAT_EQ(baby.contactTimer, 0.1f);
}
