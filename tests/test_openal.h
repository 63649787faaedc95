// An OpenAL context on a loopback device: nothing is played, and the test renders the mix
// itself, as many frames as it likes, as mono 16-bit samples.
#pragma once

#include <AL/alc.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class LoopbackAudio {
 public:
  explicit LoopbackAudio(int rate = 22050);
  ~LoopbackAudio();
  bool ok() const { return context_ != nullptr; }
  std::vector<int16_t> render(int frames);

 private:
  ALCdevice* device_ = nullptr;
  ALCcontext* context_ = nullptr;
};

// A scratch folder for sound files, removed with the object.
struct SoundFolder {
  SoundFolder();
  ~SoundFolder();
  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const;
  std::filesystem::path path;
};
