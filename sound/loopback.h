// An OpenAL context on a loopback device: it needs no speaker, and whoever holds it renders the
// mix as 16-bit samples when it likes. The asset tools load sounds on it; tests listen on it.
#pragma once

#include <AL/alc.h>

#include <cstdint>
#include <vector>

class LoopbackAudio {
 public:
  // Makes its context current; ok() is false where OpenAL has no loopback devices.
  explicit LoopbackAudio(int channels = 1, int rate = 22050);
  ~LoopbackAudio();
  LoopbackAudio(const LoopbackAudio&) = delete;
  LoopbackAudio& operator=(const LoopbackAudio&) = delete;

  bool ok() const { return context_ != nullptr; }
  // The next frames of the mix, channels interleaved.
  std::vector<int16_t> render(int frames);

 private:
  ALCdevice* device_ = nullptr;
  ALCcontext* context_ = nullptr;
  int channels_;
};
