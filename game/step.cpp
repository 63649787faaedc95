// One frame of the world: the sea sways, the crab follows the tilt with her legs, eyes and
// claws, the beach ball and the shark cross, the babies shuffle or tumble away, then every piece
// of trash takes its turn. The order matters: later rules see what earlier ones did.
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "app/achievements.h"
#include "app/saltmere_app_delegate.h"
#include "platform/core/portable_math.h"

namespace {

// The waves sway by up to 12 points a second, a degree of phase a step.
constexpr double kSeaSway = 12;
// The crab counts as having moved, for the achievements, every 100 points.
constexpr int kCrabMoveCount = 100;
// Her legs kick into running when she has gone more than 0.5 / dt points since they last did
// (10 points at 20 frames a second), and rest after 0.2 s without such a move.
constexpr double kLegsKick = 0.5;
constexpr float kLegsRest = 0.2f;
// An eye shuts about once in five seconds, for 0.1 to 0.2 s; a free claw snaps open now and
// then for 0.4 to 0.8 s.
constexpr float kBlinkRate = 0.2f, kBlinkShortest = 0.1f, kBlinkSpread = 0.1f;
constexpr float kClawOpenRate = 0.3f, kClawOpenShortest = 0.4f, kClawOpenSpread = 0.4f;
// The beach ball bobs 5 points up and down once in 2 s; the shark bobs by up to half a point a
// step, once in 4 s, and swims through a frame every 0.75 s.
constexpr float kBallBob = 5, kBallBobRate = 180;
constexpr float kSharkBobStep = 0.5f, kSharkBobRate = 90, kSharkFrameTime = 0.75f;
// A knocked baby tumbles off the screen spinning, in hops between y 18 and 118.
constexpr float kKnockedSpin = 720, kKnockedSpeed = 150, kHopRate = 180;
constexpr float kHopTop = 68, kHopHeight = 50;
// Babies keep their distance and, crowded by the crab for 2 s, walk off.
constexpr float kBabyReach = 2.2f, kBabyShuffle = 20, kCrowdedLimit = 2;
constexpr float kArrived = 2, kWalkSpeed = 80, kWalkSpeedPerLostBaby = 15;

void moveSea(SaltmereAppDelegate& game, float dt) {
  game.sandDelta = 0;
  game.seaVelocity += 1;
  if (game.seaVelocity > 360) game.seaVelocity = 360 - game.seaVelocity;
  // The sway's sine is taken in double precision with the rest of the product: single precision
  // drifts from it by about 1e-4 points in four minutes of play.
  const double phase = game.seaVelocity * std::numbers::pi / 180;
  game.seaDelta =
      static_cast<float>(game.seaDelta + platform::portable::sin(phase) * -kSeaSway * dt);
}

// The crab's x is set from the tilt, not integrated: level is the middle of the beach.
void moveCrab(SaltmereAppDelegate& game, float rightLimit) {
  float x = static_cast<float>(kCrabStart.x - kCrabPerTilt * game._accelerometer);
  if (x < 0) x = 0;
  if (x > rightLimit) x = rightLimit;
  game.nerin.rect.origin.x = x;

  const int position = static_cast<int>(x);
  if (std::abs(position - stepMemory.lastNerinPosition) > kCrabMoveCount) {
    stepMemory.lastNerinPosition = position;
    game.countAchievement(kCountCrabMoved);
  }
  for (Claw& claw : game.nerin.claw) {
    claw.rect.origin = {game.nerin.rect.origin.x + claw.offset.x,
                        game.nerin.rect.origin.y + claw.offset.y};
  }
}

void moveLegs(SaltmereAppDelegate& game, float dt) {
  Crab& crab = game.nerin;
  const float moved = std::fabs(crab.rect.origin.x - stepMemory.lastLegs);
  if (moved > kLegsKick / dt) {
    stepMemory.lastLegs = crab.rect.origin.x;
    crab.feetPauseTimer = 0;
    if (!crab.feetRunning) {
      crab.feetRunning = true;
      game.startSound(kSoundTiptoe);
    }
  } else {
    crab.feetPauseTimer += dt;
    if (crab.feetPauseTimer > kLegsRest) {
      crab.feetRunning = false;
      game.stopSound(kSoundTiptoe);
    }
  }
}

void moveMouth(Crab& crab, float dt) {
  if (crab.mouthTimer > 0) {
    crab.mouthTimer -= dt;
    crab.mouthOpenTimer += 15 * dt;
    crab.mouthOpen = static_cast<int>(crab.mouthOpenTimer) % 2;
  } else {
    crab.mouthOpen = false;
  }
}

void blink(Crab& crab, float dt) {
  const float chance = kBlinkRate * dt;
  for (float& eye : crab.blink) {
    eye -= dt;
    if (eye <= 0 && randomDraw() < chance) eye = kBlinkSpread * randomDraw() + kBlinkShortest;
  }
}

void moveIdleClaws(Crab& crab, float dt) {
  const float chance = kClawOpenRate * dt;
  for (Claw& claw : crab.claw) {
    if (claw.holdingTrash >= 0) {
      claw.type = kTextureClawClosed;
      claw.timer = 0;
      continue;
    }
    claw.timer -= dt;
    if (claw.timer <= 0) {
      claw.type = kTextureClawClosed;
      if (randomDraw() < chance) {
        claw.type = kTextureClawOpen;
        claw.timer = kClawOpenSpread * randomDraw() + kClawOpenShortest;
      }
    }
  }
}

void moveBeachBall(float dt) {
  if (!beachBall.active) return;
  beachBall.rotation = turned(beachBall.rotation, beachBall.rotationVelocity * dt);
  beachBall.rect.origin.x += beachBall.speed * dt;
  if (isOffSide(beachBall.rect)) beachBall.active = false;
  beachBall.bobAngle += kBallBobRate * dt;
  if (beachBall.bobAngle > 360) beachBall.bobAngle -= 360;
  beachBall.rect.origin.y = kWorldHeight - kBallBob * sinDegrees(beachBall.bobAngle);
}

void moveShark(float dt) {
  if (!shark.active) return;
  shark.frameTimer += dt;
  if (shark.frameTimer > kSharkFrameTime) {
    shark.frameTimer = 0;
    shark.frame = (shark.frame + 1) % 4;
  }
  platform::Point& p = shark.rect.origin;
  p.x += shark.speed * dt;
  if (shark.speed < 0 ? p.x < -shark.rect.size.width : p.x > kWorldWidth + shark.rect.size.width) {
    shark.active = false;
  }
  shark.bobAngle += kSharkBobRate * dt;
  if (shark.bobAngle > 360) shark.bobAngle -= 360;
  // The bob moves the shark by a fixed step per frame, not per second.
  shark.bobStep = kSharkBobStep * sinDegrees(shark.bobAngle);
  p.y += shark.bobStep;
}

// A knocked baby leaves by the nearer side; it is gone only once off the screen.
void tumble(SaltmereAppDelegate& game, Baby& baby, float dt) {
  platform::Point& p = baby.rect.origin;
  const bool toLeft = p.x < kWorldWidth / 2;
  baby.rotation = turned(baby.rotation, (toLeft ? kKnockedSpin : -kKnockedSpin) * dt);
  p.x += (toLeft ? -kKnockedSpeed : kKnockedSpeed) * dt;
  baby.hopAngle += kHopRate * dt;
  if (baby.hopAngle > 360) baby.hopAngle -= 360;
  p.y = kHopTop - kHopHeight * sinDegrees(baby.hopAngle);
  if (isOffSide(baby.rect)) {
    game.numBabies -= 1;
    baby.state = BabyStateNone;
  }
}

// Where a baby crowded too long by the crab walks: mostly past her to her other side, sometimes
// away from her, further the fewer babies are left, never off the beach.
float walkTarget(SaltmereAppDelegate& game, const Baby& baby) {
  const float x = baby.rect.origin.x;
  const Crab& crab = game.nerin;
  double d = crab.rect.size.width * (2 + 0.2 * (kNumBabies - game.numBabies));
  if (crab.rect.origin.x > x) d = -d;
  if (randomDraw() > 0.2f) d = -d;
  if (x + d > kWorldWidth - baby.rect.size.width) d = -d;
  if (x + d < baby.rect.size.width) d = -d;
  return static_cast<float>(x + d);
}

void shuffle(SaltmereAppDelegate& game, int i, float dt) {
  Baby& baby = babies[i];
  float& x = baby.rect.origin.x;
  bool walking = baby.walking;
  // The other babies on the beach, then the crab.
  for (int j = 0; j <= kNumBabies; ++j) {
    const bool isCrab = j == kNumBabies;
    if (!isCrab && (j == i || babies[j].state != BabyStateOnBeach)) continue;
    const platform::Rect& neighbour = isCrab ? game.nerin.rect : babies[j].rect;
    const float reach = isCrab ? neighbour.size.width : kBabyReach * neighbour.size.width;
    if (std::fabs(x - neighbour.origin.x) >= reach) continue;
    if (!walking) x += (neighbour.origin.x > x ? -kBabyShuffle : kBabyShuffle) * dt;
    if (isCrab) {
      baby.contactTimer += dt;
      if (baby.contactTimer > kCrowdedLimit) {
        game.playCrabVoice();
        baby.contactTimer = 0;
        baby.walking = walking = true;
        baby.targetX = walkTarget(game, baby);
      }
    }
  }
  if (walking) {
    if (std::fabs(baby.targetX - x) < kArrived) {
      baby.walking = false;
    } else {
      // A step that would cross the target is undone: the baby waits for a closer one.
      const float step = dt * (kWalkSpeed + kWalkSpeedPerLostBaby * (kNumBabies - game.numBabies));
      if (baby.targetX < x) x -= step;
      if (baby.targetX > x) x += step;
    }
  }
  if (baby.state == BabyStateOnBeach) {
    if (x < baby.rect.size.width) x = baby.rect.size.width;
    if (x > kWorldWidth - baby.rect.size.width) x = kWorldWidth - baby.rect.size.width;
  }
}

void moveBabies(SaltmereAppDelegate& game, float dt) {
  for (int i = 0; i < kNumBabies; ++i) {
    switch (babies[i].state) {
      case BabyStateKnocked:
        tumble(game, babies[i], dt);
        break;
      case BabyStateOnBeach:
        shuffle(game, i, dt);
        break;
      default:
        break;
    }
  }
}

// A claw that closes after being open snaps, once; a claw only forced open by trash coming
// down onto it was never open as far as this memory goes, so it closes silently.
void snapClaws(SaltmereAppDelegate& game) {
  const Claw* claws = game.nerin.claw;
  if ((claws[0].type == kTextureClawClosed && stepMemory.lastClaw[0] != kTextureClawClosed) ||
      (claws[1].type == kTextureClawClosed && stepMemory.lastClaw[1] != kTextureClawClosed)) {
    game.startSound(kSoundSnap);
  }
  stepMemory.lastClaw[0] = claws[0].type;
  stepMemory.lastClaw[1] = claws[1].type;
}

}  // namespace

void SaltmereAppDelegate::moveObjects(float dt) {
  moveSea(*this, dt);
  moveCrab(*this, glView ? glView->bounds().size.width : kWorldWidth);
  moveLegs(*this, dt);
  moveMouth(nerin, dt);
  blink(nerin, dt);
  moveIdleClaws(nerin, dt);
  moveBeachBall(dt);
  moveShark(dt);
  moveBabies(*this, dt);
  for (Claw& claw : nerin.claw) claw.forceOpen = false;
  for (int k = 0; k < numTrash && k < kMaxTrash; ++k) moveTrash(k, dt);
  snapClaws(*this);
}
