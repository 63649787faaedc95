// The sound file reader, then the loader as the engine loads an effect: IMA4 decoding and the
// buffer handed to OpenAL on a loopback device.
#include <AL/al.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/audio/audio_file.h"
#include "sound/loopback.h"
#include "sound/sound_effect.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static LoopbackAudio openAL(2, 44100);
  const std::string path = writeInput(data, size, "input.caf").string();
  std::unique_ptr<platform::AudioFile> file;
  if (platform::AudioFile::open(path, file) == 0) {
    std::vector<uint8_t> bytes(
        static_cast<size_t>(std::min<uint64_t>(file->audioDataByteCount(), 1 << 20)));
    uint32_t count = static_cast<uint32_t>(bytes.size());
    file->readBytes(0, count, bytes.data());
  }
  SoundEngineEffect effect(path.c_str(), nullptr, nullptr, 1);
  effect.LoadFileData(path.c_str(), effect.loopData, effect.loopDataSize, effect.loopBuffer);
  // An effect leaves its buffers to its context, which outlives every input here.
  if (effect.loopBuffer) alDeleteBuffers(1, &effect.loopBuffer);
  return 0;
}
