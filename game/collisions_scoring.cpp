// The one overlap test of the game, scoring with its bell and floating numbers, and the two
// sound pickers: what a piece of trash sounds like when it hits, and the crab's grumble.
#include <cmath>

#include "app/saltmere_app_delegate.h"

namespace {

// Scores below this ring the bell but float no number; big ones float larger.
constexpr int kSmallestPopup = 10;
constexpr int kBigScore = 200;
constexpr float kPopupSize = 18, kBigPopupScale = 1.5f;

}  // namespace

// Boxes are centres and half sizes; the factors scale the summed half sizes. Touching at the
// limit counts as overlapping.
bool SaltmereAppDelegate::detectCollision(const platform::Rect* sprite1,
                                          const platform::Rect* sprite2, platform::Size adjust) {
  const platform::Rect& a = *sprite1;
  const platform::Rect& b = *sprite2;
  if (std::fabs(a.origin.x - b.origin.x) > (a.size.width + b.size.width) * adjust.width) {
    return false;
  }
  return std::fabs(a.origin.y - b.origin.y) <= (a.size.height + b.size.height) * adjust.height;
}

void SaltmereAppDelegate::addPoints(int points, float x, float y) {
  _score += points;
  startSound(kSoundBell);
  if (points < kSmallestPopup) return;
  // Round robin: a new pop-up overwrites the oldest, faded or not.
  pointsIndex += 1;
  if (pointsIndex > kNumScorePopups - 1) pointsIndex = 0;
  ScorePopup& popup = this->points[pointsIndex];
  popup.value = points;
  popup.x = x;
  popup.y = y;
  popup.size = kPopupSize;
  if (points > kBigScore) popup.size *= kBigPopupScale;
}

// The metal pieces clank; everything else, stars included, thuds.
void SaltmereAppDelegate::playTrashHitSound(int type) {
  startSound(type == kTextureTrash07 || type == kTextureTrash04 ? kSoundCan : kSoundBoot);
}

void SaltmereAppDelegate::playCrabVoice() {
  const float u = randomDraw();
  startSound(kSoundNerinGrumble2 + static_cast<int>(u * 3));
}
