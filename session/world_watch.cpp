// The world's invariants, field by field. Bounds are generous where the rules let a piece stray
// (sprites cross the screen's edges as they come and go) and tight where they never move (the
// crab's height).
#include "session/world_watch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "app/saltmere_app_delegate.h"
#include "app/settings.h"
#include "platform/core/user_defaults.h"

namespace {

// Sprites come and go past the screen's edges, never this far beyond them.
constexpr double kStray = 400;

std::string indexed(const char* name, int index, const char* field) {
  return std::string(name) + "[" + std::to_string(index) + "]." + field;
}

}  // namespace

std::string WorldWatch::check() {
  fault_.clear();
  checkNumbers();
  if (fault_.empty()) checkPieces();
  if (fault_.empty()) checkProgress();
  return fault_;
}

bool WorldWatch::require(bool holds, const std::string& field, double value) {
  ++checks_;
  if (!holds && fault_.empty()) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", value);
    fault_ = field + ": " + text;
  }
  return holds;
}

bool WorldWatch::finite(const std::string& field, double value) {
  return require(std::isfinite(value), field, value);
}

bool WorldWatch::within(const std::string& field, double value, double low, double high) {
  return finite(field, value) && require(value >= low && value <= high, field, value);
}

void WorldWatch::checkNumbers() {
  const SaltmereAppDelegate& g = game_;
  within("numTrash", g.numTrash, 0, kMaxTrash);
  within("numBabies", g.numBabies, 0, kNumBabies);
  within("pointsIndex", g.pointsIndex, 0, kNumScorePopups - 1);
  within("round", g.round, 0, 1e6);
  within("_state", g._state, kGameStateStopped, kGameStatePlaying);
  within("levelTimeRemaining", g.levelTimeRemaining, -1e6, 1e6);
  within("_accelerometer", g._accelerometer, -1, 1);
  for (const auto& [field, value] : {std::pair{"seaDelta", g.seaDelta},
                                     {"seaVelocity", g.seaVelocity},
                                     {"sandDelta", g.sandDelta},
                                     {"sandPosition", g.sandPosition},
                                     {"seaPosition", g.seaPosition},
                                     {"roundDisplayTime", g.roundDisplayTime},
                                     {"bonusDisplayTime", g.bonusDisplayTime}}) {
    finite(field, value);
  }
  for (int i = 0; i < kNumScorePopups; ++i) {
    const ScorePopup& p = g.points[i];
    finite(indexed("points", i, "size"), p.size);
    finite(indexed("points", i, "x"), p.x);
    finite(indexed("points", i, "y"), p.y);
  }
}

void WorldWatch::checkPieces() {
  const Crab& crab = game_.nerin;
  within("nerin.x", crab.rect.origin.x, 0, kWorldWidth);
  within("nerin.y", crab.rect.origin.y, kCrabY, kCrabY);
  for (const float value :
       {crab.velocity.x, crab.velocity.y, crab.rotation, crab.rotationVelocity, crab.blink[0],
        crab.blink[1], crab.feetPauseTimer, crab.mouthTimer, crab.mouthOpenTimer}) {
    finite("nerin", value);
  }
  for (int c = 0; c < 2; ++c) {
    const Claw& claw = crab.claw[c];
    within(indexed("nerin.claw", c, "holdingTrash"), claw.holdingTrash, -1, kMaxTrash - 1);
    if (claw.holdingTrash >= 0) {
      require(trash[claw.holdingTrash].state == TrashStateHeld,
              indexed("trash", claw.holdingTrash, "state (held by a claw)"),
              trash[claw.holdingTrash].state);
    }
    within(indexed("nerin.claw", c, "x"), claw.rect.origin.x, -kStray, kWorldWidth + kStray);
    finite(indexed("nerin.claw", c, "rotation"), claw.rotation);
    finite(indexed("nerin.claw", c, "timer"), claw.timer);
  }
  for (int i = 0; i < kMaxTrash; ++i) {
    const Trash& piece = trash[i];
    if (piece.state == TrashStateNone) continue;
    within(indexed("trash", i, "x"), piece.rect.origin.x, -kStray, kWorldWidth + kStray);
    // Sinking pieces start as high as the round sends them; thrown ones leave at the top.
    const double highest =
        kWorldHeight + std::max(kTrashHeightBase + kTrashHeightPerRound * game_.round, 0) + kStray;
    within(indexed("trash", i, "y"), piece.rect.origin.y, -kStray, highest);
    finite(indexed("trash", i, "velocity.x"), piece.velocity.x);
    finite(indexed("trash", i, "velocity.y"), piece.velocity.y);
    within(indexed("trash", i, "rotation"), piece.rotation, 0, 360);
    finite(indexed("trash", i, "rotationVelocity"), piece.rotationVelocity);
    if (piece.state == TrashStateHeld) {
      within(indexed("trash", i, "x (held)"), piece.rect.origin.x - crab.rect.origin.x, -120, 120);
    }
  }
  for (int i = 0; i < kNumBabies; ++i) {
    const Baby& baby = babies[i];
    if (baby.state == BabyStateNone) continue;
    within(indexed("babies", i, "x"), baby.rect.origin.x, -kStray, kWorldWidth + kStray);
    within(indexed("babies", i, "y"), baby.rect.origin.y, 0, kWorldHeight);
    finite(indexed("babies", i, "targetX"), baby.targetX);
    finite(indexed("babies", i, "rotation"), baby.rotation);
    finite(indexed("babies", i, "contactTimer"), baby.contactTimer);
  }
  if (beachBall.active) {
    within("beachBall.x", beachBall.rect.origin.x, -kStray, kWorldWidth + kStray);
    within("beachBall.y", beachBall.rect.origin.y, 0, kWorldHeight + kStray);
    finite("beachBall.rotation", beachBall.rotation);
  }
  if (shark.active) {
    within("shark.x", shark.rect.origin.x, -kStray, kWorldWidth + kStray);
    within("shark.y", shark.rect.origin.y, -kStray, kWorldHeight + kStray);
    within("shark.frame", shark.frame, 0, 3);
  }
}

void WorldWatch::checkProgress() {
  const SaltmereAppDelegate& g = game_;
  const bool playing = g._state != kGameStateStopped;
  if (playing && !playing_) {
    ++games_;
    lastScore_ = 0;
    lastRound_ = 0;
  }
  if (playing) {
    require(g._score >= lastScore_, "_score (fell within a game)", g._score);
    lastScore_ = g._score;
    if (g.round > lastRound_) rounds_ += g.round - lastRound_;
    lastRound_ = std::max(lastRound_, g.round);
  } else if (playing_) {
    bestScore_ = std::max(bestScore_, g._score);
    bestRound_ = std::max(bestRound_, g.round);
    endingRounds_.push_back(g.round);
  }
  playing_ = playing;
  if (!playing && games_ > 0) {
    const platform::UserDefaults& store = platform::UserDefaults::standard();
    require(store.integerForKey(kHighScoreKey) >= bestScore_, "stored score",
            static_cast<double>(store.integerForKey(kHighScoreKey)));
    require(store.integerForKey(kHighLevelKey) >= bestRound_, "stored level",
            static_cast<double>(store.integerForKey(kHighLevelKey)));
  }
}
