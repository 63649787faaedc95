// The two volume settings as the gains of the sounds, and the music modes: which loop plays.
#include "app/settings.h"

#include "app/saltmere_app_delegate.h"
#include "platform/user_defaults.h"
#include "sound/sound_engine.h"

namespace {

constexpr double kMusicGain = 0.8;

// Each effect's share of the effects setting: quiet pitter-patter, loud grumbles.
struct EffectGain {
  int slot;
  double factor;
};
constexpr EffectGain kEffectGains[] = {
    {kSoundButton, 1},        {kSoundButton2, 1},       {kSoundXylo1a, 1},
    {kSoundXylo1b, 1},        {kSoundXylo2, 1},         {kSoundEndlevel, 1},
    {kSoundBeachball, 1},     {kSoundEnd, 2},           {kSoundStar, 2},
    {kSoundNerinGrumble2, 2}, {kSoundNerinGrumble3, 2}, {kSoundNerinGrumble4, 2},
    {kSoundBoot, 1.8},        {kSoundSqueak, 0.7},      {kSoundBonk, 0.7},
    {kSoundCan, 0.6},         {kSoundCork1, 0.6},       {kSoundCork2, 0.6},
    {kSoundCork3, 0.6},       {kSoundSnap, 0.4},        {kSoundXylophone, 0.4},
    {kSoundBell, 0.4},        {kSoundChaching, 0.3},    {kSoundTiptoe, 0.1},
};

// Factor 1 is the setting itself and factor 2 its sum with itself, in single precision; the
// others are products in double precision, rounded once.
float effectLevel(float setting, double factor) {
  if (factor == 1) return setting;
  if (factor == 2) return setting + setting;
  return static_cast<float>(setting * factor);
}

}  // namespace

void SaltmereAppDelegate::setMusicLevels() {
  const float music = platform::UserDefaults::standard().floatForKey(kMusicKey);
  const float level = static_cast<float>(music * kMusicGain);
  SoundEngine_SetEffectLevel(_sounds[kSoundGame], level);
  SoundEngine_SetEffectLevel(_sounds[kSoundMenu], level);
}

void SaltmereAppDelegate::setEffectsLevels() {
  const float effects = platform::UserDefaults::standard().floatForKey(kEffectsKey);
  for (const EffectGain& gain : kEffectGains) {
    SoundEngine_SetEffectLevel(_sounds[gain.slot], effectLevel(effects, gain.factor));
  }
}

// A request for the mode in force changes nothing: the loop playing goes on where it is. Any
// change stops both loops and the feet's patter first.
int SaltmereAppDelegate::newMusicMode(int mode) {
  const int previous = currentMusicMode;
  if (mode == previous) return previous;
  stopSound(kSoundMenu);
  stopSound(kSoundGame);
  stopSound(kSoundTiptoe);
  if (mode == kMusicMenu) startSound(kSoundMenu);
  if (mode == kMusicGame) startSound(kSoundGame);
  currentMusicMode = mode;
  return previous;
}
