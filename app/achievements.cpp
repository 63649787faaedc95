// Achievement counting: the world reports events by count index, the counts per game and per
// round earn achievements at fixed thresholds, and an earned one is kept in the stored set.
#include "app/achievements.h"

#include "app/saltmere_app_delegate.h"
#include "platform/user_defaults.h"

int acGameCount[kAchievementCounts];
int acRoundCount[kAchievementCounts];

namespace {

constexpr int kTiresForGoodyear = 15;
constexpr int kThrowsForPitcher = 150;
constexpr int kMidAirHitsForCleanMachine = 35;
constexpr int kStarsForStarGazer = 3;
constexpr int kBallHitsForBallPopper = 4;
constexpr int kCrabBouncesForFootballer = 35;
constexpr int kCrabMovesForPartyAnimal = 100;  // more than this in one round
constexpr int kLadysNightRound = 6;

}  // namespace

void SaltmereAppDelegate::countAchievement(int index) {
  if (index < 0 || index >= kAchievementCounts) return;
  const int round = ++acRoundCount[index];
  const int game = ++acGameCount[index];
  switch (index) {
    case kCountTireThrown:
      if (game == kTiresForGoodyear) newAchievement(kAchievementGoodyear);
      break;
    case kCountThrow:
      if (game == kThrowsForPitcher) newAchievement(kAchievementPitcher);
      break;
    case kCountMidAirHit:
      if (round == kMidAirHitsForCleanMachine) newAchievement(kAchievementCleanMachine);
      break;
    case kCountStarThrown:
      if (game == kStarsForStarGazer) newAchievement(kAchievementStarGazer);
      break;
    case kCountBeachBallHit:
      if (game == kBallHitsForBallPopper) newAchievement(kAchievementBallPopper);
      break;
    case kCountCrabBounce:
      if (round == kCrabBouncesForFootballer) newAchievement(kAchievementFootballer);
      break;
    case kCountCrabMoved:
      if (round > kCrabMovesForPartyAnimal) newAchievement(kAchievementPartyAnimal);
      break;
    default:  // pieces left on the beach are judged at the round's end
      break;
  }
}

void SaltmereAppDelegate::endOfLevelAchievements() {
  if (round == kLadysNightRound && numBabies == kNumBabies) newAchievement(kAchievementLadysNight);
  if (acRoundCount[kCountThrow] == 0) newAchievement(kAchievementTossless);
  if (acRoundCount[kCountLeftOnBeach] == 0) newAchievement(kAchievementCleaner);
  for (int& count : acRoundCount) count = 0;
}

// Each achievement is earned once per installation; reporting it again does nothing.
void SaltmereAppDelegate::newAchievement(int index) {
  platform::UserDefaults& defaults = platform::UserDefaults::standard();
  const long earned = defaults.integerForKey(kAchievementsKey);
  const long bit = index >= 0 && index < 32 ? 1L << index : 0;
  if (earned & bit) return;
  defaults.setInteger(earned | bit, kAchievementsKey);
}

const char* getRankString(int level) {
  if (level <= 5) return "sheep crab";
  if (level <= 7) return "stone crab";
  if (level <= 9) return "rock crab";
  if (level <= 11) return "snow crab";
  if (level <= 13) return "hermit crab";
  if (level <= 15) return "ghost crab";
  if (level <= 17) return "fiddler crab";
  if (level <= 19) return "dungeness crab";
  return "king crab";
}
