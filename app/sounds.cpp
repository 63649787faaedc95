// The game's one way to start and stop its effects, by slot of the sound table.
#include "app/saltmere_app_delegate.h"
#include "sound/sound_engine.h"

void SaltmereAppDelegate::startSound(int slot) {
  if (soundStarted) soundStarted(slot);
  SoundEngine_StartEffect(_sounds[slot]);
}

// The game always stops an effect at once, never through its decay.
void SaltmereAppDelegate::stopSound(int slot) {
  SoundEngine_StopEffect(_sounds[slot], false);
}
