// How the built-in player plays: it chases the sinking piece that will reach the claws first,
// tilting hard towards it as a quick player would, and flings whatever it catches at the beach
// ball or at the highest piece still sinking, aiming for where they will be.
#include "player/bot.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/saltmere_app_delegate.h"
#include "platform/input/injection.h"
#include "platform/screen/display.h"

namespace {

// A decision each frame's worth of time.
constexpr double kDecisionInterval = 0.05;
// The claws close about this high; a piece above it and sinking can still be caught.
constexpr float kCatchHeight = kCrabY + kClawOffsets[0].y;
constexpr float kLongestSwipe = 80;
// The crab keeps this far from the beach's ends, where a claw would miss.
constexpr float kBeachMargin = 30;
// A player tilts past the tilt that would hold the crab where she wants her, twice as far as
// she still has to go, and no further than a comfortable 0.6.
constexpr double kOvertilt = 2, kComfortableTilt = 0.6;

// A player sees a piece once its top edge has come down into the screen.
bool inSight(const Trash& piece) {
  return piece.rect.origin.y - piece.rect.size.height < kWorldHeight;
}

// Where a piece will be `seconds` from now if nothing stops it (world points, y up).
platform::Point ahead(const Trash& piece, float seconds) {
  return {piece.rect.origin.x + piece.velocity.x * seconds,
          piece.rect.origin.y - piece.velocity.y * seconds};
}

}  // namespace

void Bot::setActive(bool active) {
  if (active == isActive()) return;
  if (!active) {
    timer_->invalidate();
    timer_.reset();
    return;
  }
  timer_ = platform::RunLoop::current().scheduleTimer(
      kDecisionInterval, [this] { decide(); }, true);
}

void Bot::decide() {
  if (game_._state != kGameStateStopped) {
    // A pause is lifted as a player lifts it: two taps on the resume button.
    if (!tapIfShown(game_.gamePlayButton.get())) play();
    return;
  }
  tapThroughMenus();
}

void Bot::play() {
  if (lastRound_ > 0 && game_.round > lastRound_) return;
  steer();
  throwHeld();
}

void Bot::steer() {
  const Crab& nerin = game_.nerin;
  // The piece that reaches the claws' height first, and where it will be then.
  float soonest = std::numeric_limits<float>::infinity();
  platform::Point target = nerin.rect.origin;
  for (const Trash& piece : trash) {
    if (piece.state != TrashStateFalling || piece.velocity.y <= 0 || !inSight(piece)) continue;
    const float seconds = (piece.rect.origin.y - kCatchHeight) / piece.velocity.y;
    if (seconds < -0.1f || seconds >= soonest) continue;
    soonest = seconds;
    target = ahead(piece, std::max(seconds, 0.0f));
  }
  if (std::isinf(soonest)) return;  // nothing to catch: stay put
  // Under whichever free claw needs the shorter walk.
  float crabX = nerin.rect.origin.x;
  float walk = std::numeric_limits<float>::infinity();
  for (const Claw& claw : nerin.claw) {
    if (claw.holdingTrash >= 0) continue;
    const float x = std::clamp(target.x - claw.offset.x, kBeachMargin, kWorldWidth - kBeachMargin);
    if (std::fabs(x - nerin.rect.origin.x) < walk) {
      walk = std::fabs(x - nerin.rect.origin.x);
      crabX = x;
    }
  }
  // The tilt that holds the crab where she stands, and the one that would hold her at crabX.
  const double now = (kWorldWidth / 2 - nerin.rect.origin.x) / kCrabPerTilt;
  const double wanted = (kWorldWidth / 2 - crabX) / kCrabPerTilt;
  const double reading =
      std::clamp(now + (wanted - now) * kOvertilt, -kComfortableTilt, kComfortableTilt);
  platform::inject::acceleration(platform::RunLoop::current().now(), reading);
}

void Bot::throwHeld() {
  const Crab& nerin = game_.nerin;
  const Trash* held = nullptr;
  for (const Claw& claw : nerin.claw) {
    if (claw.holdingTrash >= 0 && claw.holdingTrash < kMaxTrash) held = &trash[claw.holdingTrash];
  }
  if (!held) return;
  // The beach ball if it is out, else the highest piece still sinking, else straight up.
  const platform::Point from = held->rect.origin;
  float sideways = 0;
  if (beachBall.active && beachBall.rect.origin.y > from.y) {
    const float seconds = (beachBall.rect.origin.y - from.y) / kThrowRise;
    sideways = (beachBall.rect.origin.x + beachBall.speed * seconds - from.x) / seconds;
  } else {
    const Trash* highest = nullptr;
    for (const Trash& piece : trash) {
      if (piece.state == TrashStateFalling && inSight(piece) && piece.rect.origin.y > from.y + 40 &&
          (!highest || piece.rect.origin.y > highest->rect.origin.y)) {
        highest = &piece;
      }
    }
    if (highest) {
      // Rising and sinking meet sooner than the heights alone say.
      const float seconds =
          (highest->rect.origin.y - from.y) / (kThrowRise + std::max(highest->velocity.y, 0.0f));
      sideways = (ahead(*highest, seconds).x - from.x) / seconds;
    }
  }
  const float distance = std::clamp(sideways / kThrowSideways, -kLongestSwipe, kLongestSwipe);
  const platform::Point start = {240, 200};
  swipe(platform::windowPointFromLandscape(start),
        platform::windowPointFromLandscape({start.x + distance, start.y - 10}));
}

void Bot::tapThroughMenus() {
  // The game-over screen takes a tap once its timer has run out.
  if (game_.blackView && !game_.blackView->isHidden()) {
    if (!game_.isActiveTimer(kEndGameTimer)) tap(platform::windowPointFromLandscape({240, 160}));
    return;
  }
  if (game_.tutorialMenuView && !game_.tutorialMenuView->isHidden()) {
    tap(platform::windowPointFromLandscape({240, 160}));
    return;
  }
  for (const auto* button :
       {game_.playPlayButton.get(), game_.mainPlayButton.get(), game_.settingsBackButton.get(),
        game_.creditsBackButton.get(), game_.achievementsBackButton.get()}) {
    if (tapIfShown(button)) return;
  }
}

bool Bot::tapIfShown(const platform::View* view) {
  if (!view || view->isHidden()) return false;
  const platform::Rect bounds = view->bounds();
  tap(view->transformToRoot().apply(
      {bounds.origin.x + bounds.size.width / 2, bounds.origin.y + bounds.size.height / 2}));
  return true;
}

void Bot::tap(platform::Point window) {
  swipe(window, window);
}

void Bot::swipe(platform::Point fromWindow, platform::Point toWindow) {
  using platform::TouchPhase;
  const double now = platform::RunLoop::current().now();
  const long id = nextTouch_++;
  platform::inject::touch(now, id, TouchPhase::Began, fromWindow, fromWindow);
  if (toWindow != fromWindow)
    platform::inject::touch(now, id, TouchPhase::Moved, toWindow, fromWindow);
  platform::inject::touch(now, id, TouchPhase::Ended, toWindow, fromWindow);
}
