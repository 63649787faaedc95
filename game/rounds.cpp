// Rounds and levels: a new game's world.
#include "app/achievements.h"
#include "app/saltmere_app_delegate.h"

void SaltmereAppDelegate::resetGame() {
  _score = 0;
  round = 0;
  numBabies = kNumBabies;
  for (int i = 0; i < numBabies; ++i) makeNewBaby(&babies[i]);

  pointsIndex = 0;
  for (int& count : acGameCount) count = 0;
  for (int& count : acRoundCount) count = 0;
  beachBall = BeachBall{};
  for (ScorePopup& popup : points) popup = ScorePopup{};
  shark = Shark{};
  for (Trash& piece : trash) piece = Trash{};

  nerin = Crab{};
  nerin.rect = {kCrabStart, getSize(kTextureNerin)};
  for (int c = 0; c < 2; ++c) {
    Claw& claw = nerin.claw[c];
    claw.offset = kClawOffsets[c];
    claw.rect = {{kCrabStart.x + claw.offset.x, kCrabStart.y + claw.offset.y},
                 getSize(kTextureClawClosed)};
    claw.holdingTrash = -1;
    claw.type = kTextureClawClosed;
  }

  sandDelta = 0;
  sandPosition = kSandPosition;
  sandVelocity = 0;
  seaDelta = 0;
  seaPosition = kSeaPosition;
  seaVelocity = kSeaVelocityAtStart;
}
