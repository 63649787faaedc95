// What the world reports to the achievements: events by count index, counted per game and per
// round, and the twelve achievements those counts earn; and the ranks of the rounds reached.
#pragma once

enum AchievementCount : int {
  kCountTireThrown = 0,
  kCountThrow = 1,
  kCountLeftOnBeach = 2,  // a sinking piece reached the sand a second time
  kCountMidAirHit = 3,
  kCountStarThrown = 4,
  kCountBeachBallHit = 5,
  kCountCrabBounce = 6,
  kCountCrabMoved = 7,  // the crab moved more than 100 points since the last count
  kAchievementCounts = 8,
};

enum Achievement : int {
  kAchievementTireTosser = 0,
  kAchievementTossless = 1,
  kAchievementCleaner = 2,
  kAchievementStarGazer = 3,
  kAchievementBallPopper = 4,
  kAchievementCleanMachine = 5,
  kAchievementPartyAnimal = 6,
  kAchievementPitcher = 7,
  kAchievementFootballer = 8,
  kAchievementGoodyear = 9,
  kAchievementWokToss = 10,
  kAchievementLadysNight = 11,
};

// The stored set of earned achievements: bit i for achievement i.
inline constexpr const char* kAchievementsKey = "achievements";

// Counts within the current game and within the current round; a new game clears both, a
// completed round clears the round's.
extern int acGameCount[kAchievementCounts];
extern int acRoundCount[kAchievementCounts];

// The achievements' names by index; index 12, "???", stands for any index beyond the eleventh.
extern const char* const achievementNames[13];
const char* achievementName(int index);

// The rank a round (level) number earns: "sheep crab" up to round 5, "king crab" from 20.
const char* getRankString(int level);
