// A game's life: a new game's world, the one-second round-change sequence (bonuses for the
// babies left, the announcement), a level's trash and countdown, and the end of a game with its
// records.
#include <algorithm>

#include "app/achievements.h"
#include "app/saltmere_app_delegate.h"
#include "app/settings.h"
#include "platform/core/user_defaults.h"

namespace {

constexpr int kLevelSeconds = 15;
constexpr float kRoundClearShows = 3.0f, kRoundShows = 2.0f;
constexpr int kBabyBonus = 500;
// The round-change sequence, one step a second: the round-clear text, a pause, a bonus for each
// baby on the beach, the announcement, the game music, play.
enum RoundChangeStep : int {
  kStepRoundClear = 0,
  kStepFirstBaby = 2,
  kStepLastBaby = 7,
  kStepAnnounce = 8,
  kStepMusic = 9,
  kStepPlay = 10,
};
// Pieces per level: 1.25 more a round, at most every slot.
constexpr double kTrashPerRound = 1.25, kTrashAtRoundZero = 2;
constexpr float kBeachBallChance = 0.2f, kSharkChance = 0.5f;
constexpr int kFirstBeachBallRound = 3;
// Pieces still this high above the sea when time is up are withdrawn.
constexpr float kWithdrawAbove = 400;

}  // namespace

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

  drawBackground();
  if (glView) glView->swapBuffers();
}

void SaltmereAppDelegate::newRound() {
  _state = kGameStateRoundChange;
  roundTimerExpiration();
  startTimer(kRoundTimer);
}

void SaltmereAppDelegate::roundTimerExpiration() {
  count += 1;
  int step = count;
  // A new game skips the bonuses and announces the first round at once.
  if (round == 0) step = count = kStepAnnounce;
  if (step >= kStepFirstBaby && step <= kStepLastBaby) {
    const Baby& baby = babies[step - kStepFirstBaby];
    if (baby.state != BabyStateOnBeach) {
      roundTimerExpiration();  // a missing baby costs no time
      return;
    }
    startSound(kSoundChaching);
    // The bonus rises from the height of the baby's texture, counted at one pixel a point so
    // that it is the same at every density of the art.
    const Texture2D* picture = _textures[kTextureBabyCrab].get();
    addPoints(kBabyBonus, baby.rect.origin.x,
              baby.rect.origin.y +
                  (picture ? static_cast<float>(picture->pixelsHigh()) / picture->scale() : 0));
    return;
  }
  switch (step) {
    case kStepRoundClear:
      bonusDisplayTime = kRoundClearShows;
      startSound(kSoundEndlevel);
      break;
    case kStepAnnounce:
      startSound(kSoundXylophone);
      round += 1;
      levelTimeRemaining = kLevelSeconds;
      roundDisplayTime = kRoundShows;
      break;
    case kStepMusic:
      if (round == 1) newMusicMode(kMusicGame);
      break;
    case kStepPlay:
      count = -1;
      stopTimer(kRoundTimer);
      resetLevel();
      _state = kGameStatePlaying;
      break;
    default:  // a one-second pause
      break;
  }
}

void SaltmereAppDelegate::resetLevel() {
  levelTimeRemaining = kLevelSeconds;
  numTrash = static_cast<int>(
      std::min(round * kTrashPerRound + kTrashAtRoundZero, static_cast<double>(kMaxTrash)));
  // Pieces held in a claw stay there.
  for (int i = 0; i < numTrash; ++i) {
    if (!(trash[i].state & TrashStateHeld)) makeNewtrash(&trash[i]);
  }
  if (round >= kFirstBeachBallRound && randomDraw() < kBeachBallChance) makeNewBeachBall();
  // The draw is taken whether or not a shark is crossing.
  if (randomDraw() < kSharkChance && !shark.active) makeNewShark();
  startTimer(kLevelTimer);
}

void SaltmereAppDelegate::levelTimerExpiration() {
  levelTimeRemaining -= 1;
  if (levelTimeRemaining != 0) return;
  stopTimer(kLevelTimer);
  // With no time left, re-making a piece takes it out of play.
  for (int i = 0; i < numTrash; ++i) {
    if (trash[i].rect.origin.y > kWithdrawAbove) makeNewtrash(&trash[i]);
  }
}

// No piece sinking or flying; held pieces and empty slots do not count.
bool SaltmereAppDelegate::isLevelComplete() const {
  for (int i = 0; i < numTrash && i < kMaxTrash; ++i) {
    if (trash[i].state & (TrashStateFalling | TrashStateThrown)) return false;
  }
  return true;
}

// No baby on the beach or tumbling away.
bool SaltmereAppDelegate::isGameComplete() const {
  for (const Baby& baby : babies) {
    if (baby.state & (BabyStateOnBeach | BabyStateKnocked)) return false;
  }
  return true;
}

void SaltmereAppDelegate::levelComplete() {
  endOfLevelAchievements();
  newRound();
}

void SaltmereAppDelegate::gameComplete() {
  stopTimer(kRenderSceneTimer);
  for (int slot = 0; slot < kSoundCount; ++slot) stopSound(slot);
  startSound(kSoundEnd);
  _state = kGameStateStopped;
  displayMenu(nullptr, true);
  displayMenu(blackView.get(), false);
  startTimer(kEndGameTimer);
  // The two records are kept apart: a game may beat one, both or neither.
  platform::UserDefaults& defaults = platform::UserDefaults::standard();
  if (_score > static_cast<unsigned>(highScore)) {
    highScore = static_cast<int>(_score);
    defaults.setInteger(highScore, kHighScoreKey);
  }
  if (round > highLevel) {
    highLevel = round;
    defaults.setInteger(highLevel, kHighLevelKey);
  }
  if (gameEnded) gameEnded();
}

// Two seconds after the end: the menu music, and from now on a tap leaves the game-over screen.
void SaltmereAppDelegate::endGameTimerExpiration() {
  stopTimer(kEndGameTimer);
  newMusicMode(kMusicMenu);
}
