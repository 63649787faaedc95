// Playback steps on the browser's loop: a look at the attack is a timeout of the browser's, and an
// effect whose steps ended (or that went away) is no longer among the waiting ones.
#include <emscripten.h>

#include <set>

#include "sound/playback_steps.h"
#include "sound/sound_effect.h"

namespace {

constexpr int kAttackPollMilliseconds = 1;

std::set<SoundEngineEffect*>& waiting() {
  static std::set<SoundEngineEffect*> effects;
  return effects;
}

void finish(SoundEngineEffect& effect) {
  waiting().erase(&effect);
  effect.runningPlaybacks.fetch_sub(1);
}

void lookAtAttack(void* argument) {
  auto* effect = static_cast<SoundEngineEffect*>(argument);
  if (!waiting().contains(effect)) return;
  if (effect->LookAtAttack()) {
    finish(*effect);
  } else {
    emscripten_async_call(lookAtAttack, effect, kAttackPollMilliseconds);
  }
}

}  // namespace

void startPlaybackSteps(SoundEngineEffect& effect) {
  waiting().insert(&effect);
  if (!effect.PlayQueued()) {
    finish(effect);
    return;
  }
  lookAtAttack(&effect);
}

void cancelPlaybackSteps(SoundEngineEffect& effect) {
  if (waiting().contains(&effect)) finish(effect);
}
