// The game's sound across devices that come and go: a look at the device once a second, and a
// restart of the engine on the default device when the one it played on is gone.
#include <cstdio>

#include "app/saltmere_app_delegate.h"
#include "app/settings.h"

namespace {

constexpr double kSoundDeviceCheckInterval = 1;

}  // namespace

void SaltmereAppDelegate::watchSoundDevice() {
  soundDeviceTimer = platform::RunLoop::current().scheduleTimer(
      kSoundDeviceCheckInterval, [this] { soundDeviceCheck(); }, true);
}

void SaltmereAppDelegate::soundDeviceCheck() {
  if (soundDeviceProbe.connected() || !soundDeviceProbe.available()) return;
  restartSound();
}

void SaltmereAppDelegate::restartSound() {
  for (uint32_t& id : _sounds) id = 0;
  if (loadSounds() == kSoundCount) return;  // the device went again: the next look retries
  std::fprintf(stderr, "tidewick: sound plays on the default device\n");
  setMusicLevels();
  setEffectsLevels();
  resumeMusicInForce();
}

// The loop of the music in force starts again from its beginning, on sounds loaded anew. The game
// started nothing: a recorded game's replay, where the sounds were always there, must hear of the
// same sounds.
void SaltmereAppDelegate::resumeMusicInForce() {
  if (currentMusicMode == kMusicMenu) SoundEngine_StartEffect(_sounds[kSoundMenu]);
  if (currentMusicMode == kMusicGame) SoundEngine_StartEffect(_sounds[kSoundGame]);
}
