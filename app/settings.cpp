// The two volume settings, their sliders and the gains of the sounds, and the music modes:
// which loop plays.
#include "app/settings.h"

#include <cmath>

#include "platform/graphics/image.h"
#include "platform/ui/slider.h"

#include "app/saltmere_app_delegate.h"
#include "platform/core/user_defaults.h"
#include "sound/sound_engine.h"

namespace {

constexpr double kMusicGain = 0.8;
// A slider never stores less: a stored 0 can only mean a missing key.
constexpr float kQuietest = 0.01f;
constexpr double kSettingsWriteDelay = 0.5;  // seconds after a slider's last step
enum SliderTag : int { kMusicSlider = 1, kEffectsSlider = 2 };

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

}  // namespace

// Factor 1 is the setting itself and factor 2 its sum with itself, in single precision; the
// others are products in double precision, rounded once.
float effectLevel(int slot, float setting) {
  for (const EffectGain& gain : kEffectGains) {
    if (gain.slot != slot) continue;
    if (gain.factor == 1) return setting;
    if (gain.factor == 2) return setting + setting;
    return static_cast<float>(setting * gain.factor);
  }
  return setting;
}

void SaltmereAppDelegate::makeSlider(platform::Rect frame, int tag, float value) {
  auto slider = std::make_shared<platform::Slider>();
  slider->setFrame(frame);
  slider->setValueChanged([this](platform::Slider& moved) { sliderEvent(moved); });
  slider->setTouchUpInside([this](platform::Slider& released) { sliderEventTouch(released); });
  slider->setStepped([this](platform::Slider& stepped) { sliderEventStep(stepped); });
  slider->setMaximumTrackImage({platform::ScaledImage::named("slider-max.png"), 1});
  slider->setMinimumTrackImage({platform::ScaledImage::named("slider-min.png"), 4});
  slider->setThumbImage(platform::ScaledImage::named("slider-thumb.png"));
  slider->setFocusedThumbImage(platform::ScaledImage::named("slider-thumb-focused.png"));
  slider->setTag(tag);
  slider->setRange(0, 1);
  slider->setContinuous(true);
  slider->setValue(value);
  if (settingsMenuView) {
    settingsMenuView->setUserInteractionEnabled(true);
    settingsMenuView->addSubview(slider);
  }
}

void SaltmereAppDelegate::sliderEvent(platform::Slider& slider) {
  float value = slider.value();
  if (value < kQuietest) value = kQuietest;  // not a number passes as it is
  platform::UserDefaults& defaults = platform::UserDefaults::standard();
  if (slider.tag() == kMusicSlider) {
    defaults.setFloatLater(value, kMusicKey);
    setMusicLevels();
  } else if (slider.tag() == kEffectsSlider) {
    defaults.setFloatLater(value, kEffectsKey);
    setEffectsLevels();
  }
  writeSettingsSoon();
}

// Letting go of a slider clicks once, and stores where it was let go.
void SaltmereAppDelegate::sliderEventTouch(platform::Slider&) {
  startSound(kSoundButton);
  writeSettingsNow();
}

void SaltmereAppDelegate::sliderEventStep(platform::Slider&) {
  startSound(kSoundButton);
}

// A dragged slider changes the volume at every step; the file is written once the steps have
// stopped for half a second (or at once when the slider is let go, the window loses focus or
// the game ends), not at every step.
void SaltmereAppDelegate::writeSettingsSoon() {
  if (!platform::RunLoop::exists()) {
    writeSettingsNow();
    return;
  }
  if (settingsWriteTimer) settingsWriteTimer->invalidate();
  settingsWriteTimer = platform::RunLoop::current().scheduleTimer(
      kSettingsWriteDelay, [this] { writeSettingsNow(); }, false);
}

void SaltmereAppDelegate::writeSettingsNow() {
  if (settingsWriteTimer) settingsWriteTimer->invalidate();
  settingsWriteTimer.reset();
  platform::UserDefaults::standard().flush();
}

void SaltmereAppDelegate::setMusicLevels() {
  const float music = platform::UserDefaults::standard().floatForKey(kMusicKey);
  const float level = static_cast<float>(music * kMusicGain);
  SoundEngine_SetEffectLevel(_sounds[kSoundGame], level);
  SoundEngine_SetEffectLevel(_sounds[kSoundMenu], level);
}

void SaltmereAppDelegate::setEffectsLevels() {
  const float effects = platform::UserDefaults::standard().floatForKey(kEffectsKey);
  for (const EffectGain& gain : kEffectGains) {
    SoundEngine_SetEffectLevel(_sounds[gain.slot], effectLevel(gain.slot, effects));
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
