// Fresh sprites: trash (or a bonus star) above the sea, babies on the beach, a beach ball and a
// shark crossing the sea. The random draws are taken in a fixed order: a seed replays a game.
#include <cmath>

#include "app/saltmere_app_delegate.h"

namespace {

// What each kind of piece is like. Spin = spinRange * u + spinBase; some kinds catch with a
// box smaller than their picture.
struct TrashKind {
  int type;
  float sinkSpeed;
  float spinRange, spinBase;
  float holdOffset;  // height above the claw's centre while held
  int scoreValue;
  double boxWidth, boxHeight;
};

constexpr TrashKind kTrashKinds[] = {
    {kTextureTrash03, 30, 21, 30, 20, 10, 1.0, 1.0},  // tire
    {kTextureTrash05, 20, 11, 20, 10, 20, 1.0, 0.5},
    {kTextureTrash02, 40, 21, 30, 10, 40, 1.0, 1.0},
    {kTextureTrash07, 60, 21, 60, 5, 60, 0.7, 0.6},
    {kTextureTrash06, 40, 21, 40, 5, 40, 1.0, 1.0},
    {kTextureTrash04, 60, 21, 60, 0, 60, 1.0, 1.0},
    {kTextureTrash01, 90, 11, 20, 0, 80, 0.5, 1.0},  // wok
    {kTextureStar, 125, 21, 80, 15, 2000, 1.0, 1.0},
};

const TrashKind* trashKind(int type) {
  for (const TrashKind& kind : kTrashKinds) {
    if (kind.type == type) return &kind;
  }
  return nullptr;
}

// Trash enters somewhere across the top, higher up the later the round.
constexpr float kTrashLeftmost = 10, kTrashSpread = 461;
// Every round sinks everything this much faster.
constexpr double kSinkSpeedPerRound = 5;
// Stars appear from this round on, one piece in 101.
constexpr int kFirstStarRound = 5;
constexpr float kStarOdds = 101;
// The kind pool is three pictures wide and moves up one picture every three rounds.
constexpr int kFirstTrashKind = kTextureTrash03;
constexpr int kKindPoolWidth = 3, kRoundsPerPool = 3, kPoolShifts = 5;
// Babies sit anywhere along the beach but at its very ends; the shark swims through the middle
// of the sea.
constexpr float kBabyLeftmost = 20, kBabySpread = 421;
constexpr float kSharkLowest = 180, kSharkSpread = 71;

}  // namespace

platform::Size SaltmereAppDelegate::getSize(int slot) const {
  // A slot whose image failed to load has no texture and no size.
  const Texture2D* texture = _textures[slot].get();
  if (!texture) return {};
  const platform::Size size = texture->contentSize();
  return {0.5f * size.width, 0.5f * size.height};
}

void SaltmereAppDelegate::makeNewtrash(Trash* t) {
  // Once the round's throwing time is over, a piece that would come back leaves play instead.
  if (levelTimeRemaining == 0) {
    t->state = TrashStateNone;
    return;
  }
  *t = Trash{};
  t->state = TrashStateFalling;

  const float u1 = randomDraw();
  t->rect.origin.y =
      u1 * static_cast<float>(kTrashHeightPerRound * round + kTrashHeightBase) + kWorldHeight;
  const float u2 = randomDraw();
  t->rect.origin.x = u2 * kTrashSpread + kTrashLeftmost;
  const float u3 = randomDraw();
  t->rotation = u3 * 360;
  t->velocity.x = 0;
  const float u4 = randomDraw();
  t->bubbleFrame = static_cast<int>(u4 * 3);

  // Summed in double, where it is exact: the pick stays within the pool's three pictures.
  const int base = ((round - 1) / kRoundsPerPool) % kPoolShifts;
  const float u5 = randomDraw();
  t->type = static_cast<int>(base + kKindPoolWidth * static_cast<double>(u5) + kFirstTrashKind);
  if (round >= kFirstStarRound) {
    const float u6 = randomDraw();
    if (std::lrint(u6 * kStarOdds) == 1) t->type = kTextureStar;
  }
  t->rect.size = getSize(t->type);

  const float u7 = randomDraw();
  if (const TrashKind* kind = trashKind(t->type)) {
    t->velocity.y = kind->sinkSpeed;
    t->rotationVelocity = kind->spinRange * u7 + kind->spinBase;
    t->holdOffset.y = kind->holdOffset;
    t->scoreValue = kind->scoreValue;
    t->rect.size.width = static_cast<float>(t->rect.size.width * kind->boxWidth);
    t->rect.size.height = static_cast<float>(t->rect.size.height * kind->boxHeight);
  }
  const float u8 = randomDraw();
  if (u8 >= 0.5f) t->rotationVelocity = -t->rotationVelocity;
  t->velocity.y = static_cast<float>(t->velocity.y + kSinkSpeedPerRound * round);
}

void SaltmereAppDelegate::makeNewBaby(Baby* b) {
  *b = Baby{};
  b->type = kTextureBabyCrab;
  const float u = randomDraw();
  b->rect.origin = {kBabySpread * u + kBabyLeftmost, kBabyY};
  b->rect.size = getSize(kTextureBabyCrab);
  b->state = BabyStateOnBeach;
  b->spare = 1.0f;
  b->rotation = 0;
  b->targetX = b->rect.origin.x;
}

void SaltmereAppDelegate::makeNewBeachBall() {
  // The ball bobs along the top edge, in from either side.
  constexpr float kEntryRight = 500, kEntryLeft = -20, kSpeed = 40;
  beachBall.rect.size = getSize(kTextureBeachBall);
  const float u1 = randomDraw();
  const float u2 = randomDraw();
  const float spin = 11 * u2 + 30;
  if (u1 >= 0.5f) {
    beachBall.rect.origin.x = kEntryRight;
    beachBall.speed = -kSpeed;
    beachBall.rotationVelocity = spin;
  } else {
    beachBall.rect.origin.x = kEntryLeft;
    beachBall.speed = kSpeed;
    beachBall.rotationVelocity = -spin;
  }
  beachBall.rect.origin.y = kWorldHeight;
  beachBall.bobAngle = 0;
  const float u3 = randomDraw();
  beachBall.rotation = 360 * u3;
  beachBall.active = true;
}

void SaltmereAppDelegate::makeNewShark() {
  shark.rect.size = getSize(kTextureShark1);
  const float halfWidth = shark.rect.size.width;
  const float u1 = randomDraw();
  const float u2 = randomDraw();
  const float speed = 11 * u2 + 10;
  if (u1 >= 0.5f) {
    shark.rect.origin.x = kWorldWidth + 0.5f * halfWidth;
    shark.speed = -speed;
  } else {
    shark.rect.origin.x = -0.5f * halfWidth;
    shark.speed = speed;
  }
  const float u3 = randomDraw();
  shark.rect.origin.y = kSharkSpread * u3 + kSharkLowest;
  shark.bobAngle = 0;
  shark.frameTimer = 0;
  shark.frame = 0;
  shark.active = true;
}
