// Loopback devices come from OpenAL Soft's ALC_SOFT_loopback extension.
#include "sound/loopback.h"

#include <AL/alext.h>

namespace {

template <typename F>
F entry(const char* name) {
  return reinterpret_cast<F>(alcGetProcAddress(nullptr, name));
}

}  // namespace

LoopbackAudio::LoopbackAudio(int channels, int rate) : channels_(channels) {
  auto open = entry<LPALCLOOPBACKOPENDEVICESOFT>("alcLoopbackOpenDeviceSOFT");
  device_ = open ? open(nullptr) : nullptr;
  if (!device_) return;
  const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                               channels == 2 ? ALC_STEREO_SOFT : ALC_MONO_SOFT,
                               ALC_FORMAT_TYPE_SOFT,
                               ALC_SHORT_SOFT,
                               ALC_FREQUENCY,
                               rate,
                               0};
  context_ = alcCreateContext(device_, attributes);
  if (context_) alcMakeContextCurrent(context_);
}

LoopbackAudio::~LoopbackAudio() {
  alcMakeContextCurrent(nullptr);
  if (context_) alcDestroyContext(context_);
  if (device_) alcCloseDevice(device_);
}

std::vector<int16_t> LoopbackAudio::render(int frames) {
  static auto renderSamples = entry<LPALCRENDERSAMPLESSOFT>("alcRenderSamplesSOFT");
  std::vector<int16_t> samples(static_cast<size_t>(frames) * channels_);
  if (renderSamples && device_) renderSamples(device_, samples.data(), frames);
  return samples;
}
