// Loopback devices come from OpenAL's ALC_SOFT_loopback extension.
#include "tests/test_openal.h"

#include <AL/alext.h>
#include <unistd.h>

#include <fstream>

namespace {

template <typename F>
F entry(const char* name) {
  return reinterpret_cast<F>(alcGetProcAddress(nullptr, name));
}

}  // namespace

LoopbackAudio::LoopbackAudio(int rate) {
  auto open = entry<LPALCLOOPBACKOPENDEVICESOFT>("alcLoopbackOpenDeviceSOFT");
  if (!open) return;
  device_ = open(nullptr);
  if (!device_) return;
  const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                               ALC_MONO_SOFT,
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
  std::vector<int16_t> samples(static_cast<size_t>(frames));
  renderSamples(device_, samples.data(), frames);
  return samples;
}

SoundFolder::SoundFolder()
    : path(std::filesystem::temp_directory_path() /
           ("tidewick-sound-" + std::to_string(::getpid()))) {
  std::filesystem::create_directories(path);
}

SoundFolder::~SoundFolder() {
  std::filesystem::remove_all(path);
}

std::string SoundFolder::write(const std::string& name, const std::vector<uint8_t>& bytes) const {
  const std::string file = (path / name).string();
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return file;
}
