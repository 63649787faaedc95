// One piece of trash for one frame: held pieces ride their claw, thrown ones fly off smashing
// sinking trash and the beach ball, sinking ones bubble, bounce once on the sand and wash up on
// the second landing, bounce off the crab, are caught by a free claw or knock babies away.
#include <cmath>

#include "app/achievements.h"
#include "app/saltmere_app_delegate.h"

namespace {

// Collision boxes scaled (width, height) for each test.
constexpr platform::Size kThrownHitsTrash = {0.8f, 0.8f};
constexpr platform::Size kThrownHitsBall = {0.7f, 0.7f};
constexpr platform::Size kKeepApart = {0.6f, 0.6f};
constexpr platform::Size kHitsCrab = {0.6f, 0.6f};
constexpr platform::Size kClawGapes = {0.7f, 2.0f};  // the claw sees trash coming down onto it
constexpr platform::Size kClawCatches = {0.5f, 0.5f};
constexpr platform::Size kHitsBaby = {0.7f, 0.5f};

constexpr int kBeachBallPoints = 1000;
constexpr float kGravity = 20;
constexpr float kBubbleFrameTime = 0.5f;
// A landing throws the piece back up at 0.35 of its speed, a crab bounce at 1.6 times it,
// each capped.
constexpr double kSandBounce = 0.35, kSandBounceCap = 35;
constexpr double kCrabBounce = 1.6, kCrabBounceCap = 50;
constexpr float kSideSpeedFromCrab = 40, kSideSpeedSpread = 11;
constexpr float kDriftApart = 20;

}  // namespace

void SaltmereAppDelegate::moveTrash(int k, float dt) {
  Trash& t = trash[k];
  if (t.state == TrashStateNone) return;
  platform::Point& p = t.rect.origin;

  for (const Claw& claw : nerin.claw) {
    if (claw.holdingTrash == k) {
      p = claw.rect.origin;
      p.y += t.holdOffset.y;
    }
  }
  p.y -= t.velocity.y * dt;
  p.x += t.velocity.x * dt;
  t.rotation = turned(t.rotation, t.rotationVelocity * dt);

  if (t.state & TrashStateThrown) {
    if (isOffScreen(t.rect)) {
      makeNewtrash(&t);
      return;
    }
    // Only sinking pieces can be hit, so a piece never hits itself; stars are never hit.
    for (int j = 0; j < numTrash && j < kMaxTrash; ++j) {
      Trash& other = trash[j];
      if (other.type == kTextureStar || !(other.state & TrashStateFalling)) continue;
      if (!detectCollision(&t.rect, &other.rect, kThrownHitsTrash)) continue;
      addPoints(t.scoreValue + other.scoreValue, p.x, p.y);
      countAchievement(kCountMidAirHit);
      const float u = randomDraw();
      startSound(u < 0.3f ? kSoundCork1 : u > 0.6f ? kSoundCork2 : kSoundCork3);
      makeNewtrash(&other);
    }
    if (beachBall.active && detectCollision(&t.rect, &beachBall.rect, kThrownHitsBall)) {
      startSound(kSoundBeachball);
      addPoints(kBeachBallPoints, p.x, p.y);
      countAchievement(kCountBeachBallHit);
      beachBall.active = false;
    }
    return;
  }
  if (!(t.state & TrashStateFalling)) return;

  if (t.bounced) t.velocity.y += kGravity * dt;
  t.bubbleTimer += dt;
  if (t.bubbleTimer > kBubbleFrameTime) {
    t.bubbleTimer = 0;
    t.bubbleFrame = (t.bubbleFrame + 1) % 3;
  }
  if (isOffSide(t.rect)) {
    makeNewtrash(&t);
    return;
  }

  // It bounces off the sand once; the second landing leaves it on the beach.
  if (p.y < kSandLine && t.velocity.y > 0) {
    t.landings += 1;
    if (t.landings > 1) {
      countAchievement(kCountLeftOnBeach);
      makeNewtrash(&t);
      return;
    }
    playTrashHitSound(t.type);
    t.bounced = true;
    t.rotationVelocity *= -0.5f;
    const double rise = std::fabs(t.velocity.y) * kSandBounce;
    t.velocity.y = static_cast<float>(rise < kSandBounceCap ? -rise : -kSandBounceCap);
  }

  // Sinking pieces drift apart sideways; one exactly level with another goes left.
  if (t.velocity.y > 0) {
    for (int j = 0; j < numTrash && j < kMaxTrash; ++j) {
      if (j == k || trash[j].state == TrashStateNone) continue;
      if (detectCollision(&t.rect, &trash[j].rect, kKeepApart)) {
        p.x += (p.x <= trash[j].rect.origin.x ? -kDriftApart : kDriftApart) * dt;
      }
    }
  }

  // Coming down onto the crab's shell, it bounces off up and to one side.
  if (detectCollision(&t.rect, &nerin.rect, kHitsCrab) && t.velocity.y > 0 &&
      p.y > nerin.rect.origin.y) {
    t.rotationVelocity *= -1.5f;
    t.velocity.x = kSideSpeedSpread * randomDraw() + kSideSpeedFromCrab;
    if (randomDraw() > 0.5f) t.velocity.x = -t.velocity.x;
    const double rise = kCrabBounce * t.velocity.y;
    t.velocity.y = static_cast<float>(rise < kCrabBounceCap ? -rise : -kCrabBounceCap);
    startSound(kSoundBonk);
    nerin.blink[0] = nerin.blink[1] = 1;
    t.bounced = true;
    addPoints(t.scoreValue / 10, p.x, p.y);
    countAchievement(kCountCrabBounce);
  }

  for (Claw& claw : nerin.claw) {
    if (claw.holdingTrash >= 0) continue;
    if (detectCollision(&t.rect, &claw.rect, kClawGapes) && p.y > nerin.rect.origin.y) {
      claw.forceOpen = true;
    }
    // Caught from either direction.
    if (detectCollision(&t.rect, &claw.rect, kClawCatches)) {
      addPoints(t.scoreValue, p.x, p.y);
      t.velocity.y = 0;
      t.rotationVelocity = 0;
      t.state = TrashStateHeld;
      t.landings = 0;
      t.bounced = false;
      claw.holdingTrash = k;
    }
  }

  // Only a piece that has not yet touched the sand knocks babies, and never a star.
  if ((t.state & TrashStateFalling) && t.landings == 0 && t.type != kTextureStar) {
    for (Baby& baby : babies) {
      if (baby.state != BabyStateOnBeach) continue;
      if (detectCollision(&t.rect, &baby.rect, kHitsBaby)) {
        playTrashHitSound(t.type);
        startSound(kSoundSqueak);
        baby.state = BabyStateKnocked;
      }
    }
  }
}
