// The overlap test, scoring and its pop-ups, the hit and grumble sounds, and the achievement
// counts with the earned set they store.
#include <gtest/gtest.h>

#include <set>

#include "app/achievements.h"
#include "platform/core/user_defaults.h"
#include "tests/support/world_fixture.h"

namespace {

using ScoringTest = WorldTest;

long earned() {
  return platform::UserDefaults::standard().integerForKey(kAchievementsKey);
}

bool has(int achievement) {
  return earned() & (1L << achievement);
}

}  // namespace

TEST_F(ScoringTest, BoxesTouchingAtTheScaledLimitOverlap) {
  const platform::Rect a{{100, 100}, {10, 20}};
  const auto at = [](float x, float y) { return platform::Rect{{x, y}, {6, 4}}; };
  const platform::Size whole{1, 1};
  EXPECT_TRUE(SaltmereAppDelegate::detectCollision(&a, &a, whole));
  const platform::Rect edge = at(116, 124), past = at(116.01f, 100), above = at(100, 124.01f);
  EXPECT_TRUE(SaltmereAppDelegate::detectCollision(&a, &edge, whole));
  EXPECT_FALSE(SaltmereAppDelegate::detectCollision(&a, &past, whole));
  EXPECT_FALSE(SaltmereAppDelegate::detectCollision(&a, &above, whole));
  // Factors scale each axis on its own: 16 * 0.5 = 8 wide, 24 * 2 = 48 high.
  const platform::Size gape{0.5f, 2};
  const platform::Rect near = at(92, 148), wide = at(91, 100), high = at(100, 148.5f);
  EXPECT_TRUE(SaltmereAppDelegate::detectCollision(&a, &near, gape));
  EXPECT_FALSE(SaltmereAppDelegate::detectCollision(&a, &wide, gape));
  EXPECT_FALSE(SaltmereAppDelegate::detectCollision(&a, &high, gape));
}

TEST_F(ScoringTest, ScoresRingTheBellAndFloatRoundRobinFromSlotOne) {
  game.addPoints(9, 10, 20);
  EXPECT_EQ(game._score, 9u);
  EXPECT_EQ(started(kSoundBell), 1);
  EXPECT_EQ(game.pointsIndex, 0);
  for (const ScorePopup& popup : game.points) EXPECT_EQ(popup.value, 0);

  game.addPoints(10, 30, 40);
  EXPECT_EQ(game.pointsIndex, 1);
  EXPECT_EQ(game.points[1].value, 10);
  EXPECT_EQ(game.points[1].size, 18);
  EXPECT_EQ(game.points[1].x, 30);
  EXPECT_EQ(game.points[1].y, 40);
  game.addPoints(200, 0, 0);
  EXPECT_EQ(game.points[2].size, 18);
  game.addPoints(201, 0, 0);
  EXPECT_EQ(game.points[3].size, 27);

  for (int n = 4; n <= 8; ++n) game.addPoints(100 + n, 0, 0);
  EXPECT_EQ(game.pointsIndex, 0);  // the eighth pop-up
  EXPECT_EQ(game.points[0].value, 108);
  game.addPoints(55, 0, 0);  // the ninth overwrites the oldest
  EXPECT_EQ(game.pointsIndex, 1);
  EXPECT_EQ(game.points[1].value, 55);
  EXPECT_EQ(game._score, 9u + 10 + 200 + 201 + 104 + 105 + 106 + 107 + 108 + 55);
  EXPECT_EQ(started(kSoundBell), 10);
}

TEST_F(ScoringTest, MetalClanksEverythingElseThudsAndTheCrabGrumblesInThreeVoices) {
  for (int type = kTextureTrash03; type <= kTextureTrash01; ++type) game.playTrashHitSound(type);
  game.playTrashHitSound(kTextureStar);
  EXPECT_EQ(started(kSoundCan), 2);
  EXPECT_EQ(started(kSoundBoot), 6);

  forgetSounds();
  for (int n = 0; n < 300; ++n) game.playCrabVoice();
  const std::set<int> voices(sounds.begin(), sounds.end());
  EXPECT_EQ(voices, (std::set<int>{kSoundNerinGrumble2, kSoundNerinGrumble3, kSoundNerinGrumble4}));
}

TEST_F(ScoringTest, CountsEarnTheirAchievementsExactlyOnceAtTheirThresholds) {
  for (int n = 1; n <= 16; ++n) {
    game.countAchievement(kCountTireThrown);
    EXPECT_EQ(has(kAchievementGoodyear), n >= 15) << n;
  }
  for (int n = 1; n <= 100; ++n) game.countAchievement(kCountCrabMoved);
  EXPECT_FALSE(has(kAchievementPartyAnimal));
  game.countAchievement(kCountCrabMoved);
  EXPECT_TRUE(has(kAchievementPartyAnimal));

  const struct {
    int count, times, achievement;
  } thresholds[] = {
      {kCountThrow, 150, kAchievementPitcher},
      {kCountMidAirHit, 35, kAchievementCleanMachine},
      {kCountStarThrown, 3, kAchievementStarGazer},
      {kCountBeachBallHit, 4, kAchievementBallPopper},
      {kCountCrabBounce, 35, kAchievementFootballer},
  };
  for (const auto& t : thresholds) {
    for (int n = 1; n < t.times; ++n) game.countAchievement(t.count);
    EXPECT_FALSE(has(t.achievement)) << t.achievement;
    game.countAchievement(t.count);
    EXPECT_TRUE(has(t.achievement)) << t.achievement;
  }
  EXPECT_EQ(acGameCount[kCountThrow], 150);
  EXPECT_EQ(acRoundCount[kCountThrow], 150);

  // The set is stored: a fresh read of the file has it.
  const long stored = platform::UserDefaults(platform::UserDefaults::standard().path())
                          .integerForKey("achievements");
  EXPECT_EQ(stored, earned());
  EXPECT_EQ(stored, (1L << kAchievementGoodyear) | (1L << kAchievementPartyAnimal) |
                        (1L << kAchievementPitcher) | (1L << kAchievementCleanMachine) |
                        (1L << kAchievementStarGazer) | (1L << kAchievementBallPopper) |
                        (1L << kAchievementFootballer));
}

TEST_F(ScoringTest, RoundCountsEarnTheirsPerRoundAndGameCountsAcrossRounds) {
  for (int n = 0; n < 34; ++n) game.countAchievement(kCountMidAirHit);
  for (int n = 0; n < 2; ++n) game.countAchievement(kCountBeachBallHit);
  game.countAchievement(kCountThrow);
  game.countAchievement(kCountLeftOnBeach);
  game.endOfLevelAchievements();
  EXPECT_FALSE(has(kAchievementTossless));
  EXPECT_FALSE(has(kAchievementCleaner));
  for (int count : acRoundCount) EXPECT_EQ(count, 0);

  game.countAchievement(kCountMidAirHit);  // the 35th of the game, the first of the round
  EXPECT_FALSE(has(kAchievementCleanMachine));
  for (int n = 0; n < 2; ++n) game.countAchievement(kCountBeachBallHit);
  EXPECT_TRUE(has(kAchievementBallPopper));

  // A round with nothing thrown and nothing left on the beach.
  game.endOfLevelAchievements();
  EXPECT_TRUE(has(kAchievementTossless));
  EXPECT_TRUE(has(kAchievementCleaner));
  EXPECT_FALSE(has(kAchievementLadysNight));
}

TEST_F(ScoringTest, RoundSixWithEveryBabyEarnsLadysNight) {
  game.round = 6;
  game.numBabies = 5;
  game.endOfLevelAchievements();
  EXPECT_FALSE(has(kAchievementLadysNight));
  game.numBabies = 6;
  game.endOfLevelAchievements();
  EXPECT_TRUE(has(kAchievementLadysNight));
}

TEST_F(ScoringTest, IndicesOutsideTheTablesAreIgnored) {
  game.countAchievement(-1);
  game.countAchievement(kAchievementCounts);
  for (int count : acGameCount) EXPECT_EQ(count, 0);
  game.newAchievement(40);
  game.newAchievement(-3);
  EXPECT_EQ(earned(), 0);
  game.newAchievement(kAchievementWokToss);
  game.newAchievement(kAchievementWokToss);
  EXPECT_EQ(earned(), 1L << kAchievementWokToss);
}
