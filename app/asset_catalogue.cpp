// Loading the catalogue, once, at launch or once the bundle is whole: the textures in a fixed
// order with the background last, then the sound engine and the sounds, loops first. Nothing here
// stops the launch: a file that fails leaves its slot empty, with a line naming it after the
// loader's own message.
#include "app/asset_catalogue.h"

#include <cstdio>
#include <span>

#include "app/saltmere_app_delegate.h"
#include "platform/core/bundle.h"
#include "platform/graphics/image.h"
#include "sound/sound_engine.h"

const char* const kTextureFiles[kTextureCount] = {
    "Sea.png",
    "Nerin.png",
    "NerinBlink1.png",
    "NerinBlink2.png",
    "NerinLegs1.png",
    "NerinLegs2.png",
    "ClawLower.png",
    "ClawUpper1.png",
    "ClawUpper2.png",
    "NerinMouth.png",
    "BabyCrab.png",
    "Sand.png",
    "Sea.png",
    "Trash03.png",
    "Trash05.png",
    "Trash02.png",
    "Trash07.png",
    "Trash06.png",
    "Trash04.png",
    "Trash01.png",
    "BeachBall.png",
    "Shark0001.png",
    "Shark0002.png",
    "Shark0003.png",
    "Star.png",
    "CrabTrap.png",
    "Bubbles0001.png",
    "Bubbles0002.png",
    "Bubbles0003.png",
    "Waves.png",
    "tutorial-nerin.png",
    "tutorial-ipod.png",
    "tutorial-ipod-swipes.png",
    "tutorial-ipod-tilt-right.png",
    "tutorial-ipod-tilt-left.png",
    "tutorial-swipe.png",
    "tutorial-swipe-left.png",
    "tutorial-swipe-up.png",
};

const char* const kSoundNames[kSoundCount] = {
    "game",      "chaching",      "bell",          "bonk",          "snap",  "squeak", "boot",
    "beachball", "star",          "can",           "cork1",         "cork2", "cork3",  "tiptoe",
    "xylophone", "nerinGrumble2", "nerinGrumble3", "nerinGrumble4", "menu",  "button", "button2",
    "xylo1a",    "xylo1b",        "xylo2",         "endlevel",      "end",
};

namespace {

// The crab first, then the scenery and the trash; slots 20 on in order; the background last.
constexpr int kTextureOrder[kTextureCount] = {
    kTextureNerin,
    kTextureNerinLegs1,
    kTextureNerinLegs2,
    kTextureNerinBlink1,
    kTextureNerinBlink2,
    kTextureNerinMouth,
    kTextureClawLower,
    kTextureClawClosed,
    kTextureClawOpen,
    kTextureBabyCrab,
    kTextureSand,
    kTextureSea,
    kTextureTrash01,
    kTextureTrash02,
    kTextureTrash03,
    kTextureTrash04,
    kTextureTrash05,
    kTextureTrash06,
    kTextureTrash07,
    kTextureBeachBall,
    kTextureShark1,
    kTextureShark2,
    kTextureShark3,
    kTextureStar,
    kTextureCrabTrap,
    kTextureBubbles1,
    kTextureBubbles2,
    kTextureBubbles3,
    kTextureWaves,
    kTextureTutorialNerin,
    kTextureTutorialDevice,
    kTextureTutorialDeviceSwipes,
    kTextureTutorialDeviceTiltRight,
    kTextureTutorialDeviceTiltLeft,
    kTextureTutorialSwipe,
    kTextureTutorialSwipeLeft,
    kTextureTutorialSwipeUp,
    kTextureSeaBackground,
};

constexpr int kLoopOrder[] = {kSoundGame, kSoundTiptoe, kSoundMenu};
constexpr int kEffectOrder[] = {
    kSoundSqueak,        kSoundBoot,          kSoundCan,           kSoundBonk,      kSoundSnap,
    kSoundCork1,         kSoundCork2,         kSoundCork3,         kSoundXylophone, kSoundEnd,
    kSoundEndlevel,      kSoundBeachball,     kSoundStar,          kSoundChaching,  kSoundBell,
    kSoundNerinGrumble2, kSoundNerinGrumble3, kSoundNerinGrumble4, kSoundButton,    kSoundButton2,
    kSoundXylo1a,        kSoundXylo1b,        kSoundXylo2,
};

constexpr float kMixerOutputRate = 44100;

}  // namespace

// Every texture and sound, with the levels the settings give. Where the catalogue comes after
// the launch (the page's rest of its bundle), the music the menu on show asked for starts too.
void SaltmereAppDelegate::loadCatalogue() {
  loadTextures();
  loadSounds();
  setMusicLevels();
  setEffectsLevels();
  resumeMusicInForce();
  watchSoundDevice();
}

// The scene's pictures share textures, so that a busy picture draws from one; the background,
// whose filtering follows the screen's scale, keeps its own.
int SaltmereAppDelegate::loadTextures() {
  const auto imageOf = [this](int slot) {
    return platform::imageNamed(kTextureFiles[slot], surfaceScale());
  };
  constexpr std::span<const int> kPacked(kTextureOrder, kTextureCount - 1);
  static_assert(kTextureOrder[kTextureCount - 1] == kTextureSeaBackground);
  const std::vector<std::shared_ptr<Texture2D>> packed = Texture2D::initPackedWithImages(
      kPacked.size(), [&](size_t i) { return imageOf(kPacked[i]); });
  for (size_t i = 0; i < kPacked.size(); ++i) _textures[kPacked[i]] = packed[i];
  _textures[kTextureSeaBackground] = Texture2D::initWithImage(imageOf(kTextureSeaBackground).get());
  int failures = 0;
  for (int slot : kTextureOrder) {
    if (_textures[slot]) continue;
    std::fprintf(stderr, "tidewick: texture slot %d stays empty: %s\n", slot, kTextureFiles[slot]);
    ++failures;
  }
  matchTextureFiltering();
  return failures;
}

int SaltmereAppDelegate::loadSounds() {
  // Without a device every slot would fail on its own: one line says it for all of them.
  if (SoundEngine_Initialize(kMixerOutputRate) != 0) {
    std::fprintf(stderr, "tidewick: no sound device; playing without sound\n");
    return kSoundCount;
  }
  SoundEngine_SetListenerPosition(0, 0, 1);
  int failures = 0;
  const auto report = [&failures](OSStatus status, int slot) {
    if (status == 0) return;
    std::fprintf(stderr, "tidewick: sound slot %d stays empty: %s.caf\n", slot, kSoundNames[slot]);
    ++failures;
  };
  const platform::Bundle& bundle = platform::Bundle::mainBundle();
  for (int slot : kLoopOrder) {
    const std::string path = bundle.pathForResource(kSoundNames[slot], "caf");
    report(SoundEngine_LoadLoopingEffect(path.c_str(), nullptr, nullptr, &_sounds[slot]), slot);
  }
  for (int slot : kEffectOrder) {
    const std::string path = bundle.pathForResource(kSoundNames[slot], "caf");
    report(SoundEngine_LoadEffect(path.c_str(), &_sounds[slot]), slot);
  }
  return failures;
}
