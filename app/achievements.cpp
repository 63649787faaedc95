// Achievement counting: the world reports events by count index, the counts per game and per
// round earn achievements at fixed thresholds, and an earned one is kept in the stored set.
#include "app/achievements.h"

#include <numbers>
#include <string>
#include <vector>

#include "app/saltmere_app_delegate.h"
#include "platform/core/user_defaults.h"
#include "platform/graphics/font.h"
#include "platform/ui/animation.h"

int acGameCount[kAchievementCounts];
int acRoundCount[kAchievementCounts];

const char* const achievementNames[13] = {
    "tire tosser",   "tossless",     "cleaner", "star gazer", "ball popper",
    "clean machine", "party animal", "pitcher", "footballer", "goodyear",
    "wok toss",      "lady's night", "???",
};

namespace {

constexpr int kTiresForGoodyear = 15;
constexpr int kThrowsForPitcher = 150;
constexpr int kMidAirHitsForCleanMachine = 35;
constexpr int kStarsForStarGazer = 3;
constexpr int kBallHitsForBallPopper = 4;
constexpr int kCrabBouncesForFootballer = 35;
constexpr int kCrabMovesForPartyAnimal = 100;  // more than this in one round
constexpr int kLadysNightRound = 6;

// The pop-up: a 240-point backing stretched to the text with 25 points to spare each side, the
// star at 0.6 of its size 5 points left of the text, three seconds of fading.
constexpr float kPopupBase = 240, kPopupSpare = 50, kPopupStarScale = 0.6f, kPopupStarGap = 5;
constexpr double kPopupFade = 3.0;

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

const char* achievementName(int index) {
  return achievementNames[index >= 0 && index < 12 ? index : 12];
}

// Each achievement is earned once per installation; reporting it again does nothing. The
// pop-up's backing stretches to the name, with the star just left of the text, and all three
// fade out over three seconds. The star's right edge, not its centre, keeps its 5 points from
// the text, so that it never covers the first letter; the backing grows leftwards to hold it.
void SaltmereAppDelegate::newAchievement(int index) {
  if (demoPhase != DemoPhase::Off) return;  // the built-in player earns nothing for the player
  platform::UserDefaults& defaults = platform::UserDefaults::standard();
  const long earned = defaults.integerForKey(kAchievementsKey);
  const long bit = index >= 0 && index < 32 ? 1L << index : 0;
  if (earned & bit) return;
  defaults.setInteger(earned | bit, kAchievementsKey);
  if (!achievementView || !achievementStar || !achievementLabel) return;

  const std::vector<std::shared_ptr<platform::View>> popup = {achievementView, achievementStar,
                                                              achievementLabel};
  for (const auto& view : popup) view->setHidden(true);
  achievementView->setAlpha(0.5f);
  achievementStar->setAlpha(1.0f);
  achievementLabel->setAlpha(1.0f);
  const std::string text = std::string("achievement: ") + achievementName(index);
  achievementLabel->setText(text);
  const auto font =
      platform::Font::fontWithName(achievementLabel->fontName(), achievementLabel->fontSize());
  const float width = font ? font->widthOfString(text) : 0;
  const auto turn = platform::AffineTransform::rotation(std::numbers::pi_v<float> / 2);
  // Landscape x runs along the window's y; the text is centred on the label's centre.
  const float textCentre = achievementLabel->center().y;
  const float starWidth = achievementStar->bounds().size.width * kPopupStarScale;
  const float starRoom = starWidth + kPopupStarGap;
  achievementView->setTransform(
      platform::AffineTransform::scale((width + kPopupSpare + starRoom) / kPopupBase, 1)
          .concat(turn));
  achievementView->setCenter({achievementView->center().x, textCentre - starRoom / 2});
  achievementStar->setTransform(
      platform::AffineTransform::scale(kPopupStarScale, kPopupStarScale).concat(turn));
  achievementStar->setCenter(
      {achievementStar->center().x, textCentre - width / 2 - kPopupStarGap - starWidth / 2});
  for (const auto& view : popup) view->setHidden(false);
  platform::AlphaAnimation::start(popup, 0, kPopupFade);
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
