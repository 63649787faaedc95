// Loading, starting and stopping one effect. A looping effect is started by a short-lived
// playback thread (steps on the browser's loop in the page) that plays the source and turns
// looping on once the attack has played.
#include "sound/sound_effect.h"

#include <AL/alc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "sound/ima4.h"
#include "sound/openal_thread.h"
#include "sound/playback_steps.h"
#include "sound/sound_engine.h"

using platform::AudioFile;
using platform::AudioStreamBasicDescription;

namespace {

constexpr unsigned kIma4PcmBytesPerChannel = 128;  // 64 frames of 16-bit samples
// The playback thread's pause between two looks at the attack.
constexpr auto kAttackPoll = std::chrono::milliseconds(1);

// Statuses that are four-character codes print as their characters ('typ?').
void report(const char* message, OSStatus status) {
  std::printf("%s: %s\n", message, platform::statusText(status).c_str());
}
void reportAL(const char* message, ALenum error) {
  std::printf("%s: %x\n", message, error);
}

// Counts a playback thread out of its effect when it leaves, whichever way.
struct PlaybackLeaving {
  SoundEngineEffect& effect;
  ~PlaybackLeaving() { effect.runningPlaybacks.fetch_sub(1); }
};

}  // namespace

OSStatus OpenFile(const char* path, std::unique_ptr<AudioFile>& file) {
  if (!path || !*path) return kSoundEngineBadPath;
  const OSStatus status = AudioFile::open(path, file);
  if (status != 0) report("Error opening file", status);
  return status;
}

OSStatus LoadFileDataInfo(const char* path, std::unique_ptr<AudioFile>& file,
                          AudioStreamBasicDescription& format, uint64_t& dataByteCount) {
  const OSStatus status = OpenFile(path, file);
  if (status != 0) {
    report("Error opening file", status);
    return status;
  }
  format = file->dataFormat();
  dataByteCount = file->audioDataByteCount();
  return 0;
}

void alBufferDataStaticProc(ALint buffer, ALenum format, ALvoid* data, ALsizei size, ALsizei rate) {
  using Proc = void (*)(ALint, ALenum, ALvoid*, ALsizei, ALsizei);
  static Proc proc = nullptr;
  if (!proc) proc = reinterpret_cast<Proc>(alExtensionProc("alBufferDataStatic"));
  if (proc) {
    proc(buffer, format, data, size, rate);
  } else {
    alBufferData(static_cast<ALuint>(buffer), format, data, size, rate);
  }
}

SoundEngineEffect::SoundEngineEffect(const char* loopPath, const char* attackPath,
                                     const char* decayPath, unsigned char looping)
    : loopFileName(loopPath),
      attackFileName(attackPath),
      decayFileName(decayPath),
      isLooping(looping) {
  alGenSources(1, &source);
}

SoundEngineEffect::~SoundEngineEffect() {
  finishPlayback();
  alDeleteSources(1, &source);
  std::free(loopData);
  std::free(attackData);
  std::free(decayData);
}

void SoundEngineEffect::finishPlayback() {
#ifdef __EMSCRIPTEN__
  cancelPlaybackSteps(*this);
#else
  while (runningPlaybacks.load() > 0) {
    alSourceStop(source);
    std::this_thread::sleep_for(kAttackPoll);
  }
#endif
  // A thread that finished just before may have played the source after the caller's stop.
  alSourceStop(source);
}

ALenum SoundEngineEffect::GetALFormat(AudioStreamBasicDescription format) {
  if (format.mFormatID == platform::kAudioFormatAppleIMA4) {
    return format.mChannelsPerFrame == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
  }
  if (format.mFormatID == platform::kAudioFormatLinearPCM) {
    const bool mono = format.mChannelsPerFrame == 1, stereo = format.mChannelsPerFrame == 2;
    if (format.mBitsPerChannel == 8) {
      if (mono) return AL_FORMAT_MONO8;
      if (stereo) return AL_FORMAT_STEREO8;
    } else if (format.mBitsPerChannel == 16) {
      if (mono) return AL_FORMAT_MONO16;
      if (stereo) return AL_FORMAT_STEREO16;
    }
  }
  return kSoundEngineUnsupportedFormat;
}

OSStatus SoundEngineEffect::LoadFileData(const char* path, void*& data, unsigned long& dataSize,
                                         unsigned int& bufferID) {
  std::unique_ptr<AudioFile> file;  // closed on every way out
  AudioStreamBasicDescription format;
  uint64_t byteCount = 0;
  auto fail = [&](OSStatus status) {
    std::free(data);
    data = nullptr;
    return status;
  };

  OSStatus status = LoadFileDataInfo(path, file, format, byteCount);
  if (status != 0) {
    report("Error loading file info", status);
    return fail(status);
  }
  const bool littleEndianPCM = format.mFormatID == platform::kAudioFormatLinearPCM &&
                               !(format.mFormatFlags & platform::kAudioFormatFlagIsBigEndian);
  if (!littleEndianPCM && format.mBitsPerChannel > 8) return fail(kSoundEngineUnsupportedFormat);
  // OpenAL takes integer samples only.
  if (format.mFormatID == platform::kAudioFormatLinearPCM &&
      (format.mFormatFlags & platform::kAudioFormatFlagIsFloat)) {
    return fail(kSoundEngineUnsupportedFormat);
  }
  // A file with no sound in it is damaged, not an effect of no length.
  const bool ima4 = format.mFormatID == platform::kAudioFormatAppleIMA4;
  if (ima4 ? file->audioDataPacketCount() == 0 : byteCount == 0) {
    return fail(platform::kAudioFileInvalidFileError);
  }

  if (ima4) {
    // The reader has checked the packets' shape and that the data holds every packet counted.
    // More than two channels would not decode to anything playable.
    const uint64_t packets = file->audioDataPacketCount();
    const unsigned channels = format.mChannelsPerFrame;
    if (channels > 2) {
      return fail(kSoundEngineUnsupportedFormat);
    }
    dataSize = static_cast<unsigned long>(packets * kIma4PcmBytesPerChannel * channels);
    data = std::malloc(std::max<unsigned long>(dataSize, 1));
    std::vector<uint8_t> compressed(byteCount);
    uint32_t bytes = static_cast<uint32_t>(byteCount);
    status = file->readBytes(0, bytes, compressed.data());
    if (status != 0) {
      report("Error reading file data", status);
      return fail(status);
    }
    ima_decompress(static_cast<unsigned>(packets), format, compressed.data(),
                   static_cast<int16_t*>(data));
  } else {
    dataSize = static_cast<unsigned long>(byteCount);
    data = std::malloc(std::max<unsigned long>(dataSize, 1));
    uint32_t bytes = static_cast<uint32_t>(byteCount);
    status = file->readBytes(0, bytes, data);
    dataSize = bytes;
    if (status != 0) {
      report("Error reading file data", status);
      return fail(status);
    }
  }

  alGenBuffers(1, &bufferID);
  ALenum error = alGetError();
  if (error != AL_NO_ERROR) {
    reportAL("Error generating buffer", error);
    return fail(error);
  }
  alBufferDataStaticProc(static_cast<ALint>(bufferID), GetALFormat(format), data,
                         static_cast<ALsizei>(dataSize), static_cast<ALsizei>(format.mSampleRate));
  error = alGetError();
  if (error != AL_NO_ERROR) {
    reportAL("Error attaching data to buffer", error);
    return fail(error);
  }
  return 0;
}

OSStatus SoundEngineEffect::AttachFilesToSource() {
  OSStatus status = 0;
  if (attackFileName) {
    status = LoadFileData(attackFileName, attackData, attackDataSize, attackBuffer);
    if (status != 0) {
      report("Error loading attack file info", status);
      return status;
    }
  }
  status = LoadFileData(loopFileName, loopData, loopDataSize, loopBuffer);
  if (status != 0) {
    report("Error loading looping file info", status);
    return status;
  }
  if (!isLooping) {
    alSourcei(source, AL_BUFFER, static_cast<ALint>(loopBuffer));
    const ALenum error = alGetError();
    if (error != AL_NO_ERROR) {
      reportAL("Error attaching file data to effect", error);
      return error;
    }
  }
  if (decayFileName) {
    status = LoadFileData(decayFileName, decayData, decayDataSize, decayBuffer);
    if (status != 0) {
      report("Error loading decay file info", status);
      return status;
    }
  }
  return 0;
}

OSStatus SoundEngineEffect::Start() {
  alSourceStop(source);
  ALenum error = alGetError();
  if (error != AL_NO_ERROR) {
    reportAL("Error stopping source", error);
    return error;
  }
  if (!isLooping) {
    alSourcePlay(source);
    return alGetError();
  }
  // The last start's thread may not have played the source yet, or may be waiting for its
  // attack: it finishes before the buffers are changed under it.
  finishPlayback();
  decayRequested = false;
  // OpenAL Soft unqueues nothing from a looping source, even a stopped one.
  alSourcei(source, AL_LOOPING, AL_FALSE);
  alGetError();

  const OSStatus status = ClearSourceBuffers();
  if (status != 0) {
    report("Error clearing buffers", status);
    return status;
  }
  if (attackBuffer != 0) {
    alSourceQueueBuffers(source, 1, &attackBuffer);
    error = alGetError();
    if (error != AL_NO_ERROR) {
      reportAL("Error queueing buffers for attack", error);
      return error;
    }
    alSourcei(source, AL_LOOPING, AL_FALSE);
    alGetError();
  }
  alSourceQueueBuffers(source, 1, &loopBuffer);
  error = alGetError();
  if (error != AL_NO_ERROR) {
    reportAL("Error queueing looping buffer", error);
    return error;
  }
  runningPlaybacks.fetch_add(1);
#ifdef __EMSCRIPTEN__
  startPlaybackSteps(*this);
#else
  // The thread object is freed here when it never starts; once started it frees itself.
  auto thread = std::make_unique<OpenALThread>(PlaybackProc, this, 31, false, true);
  playbackThread = thread.get();
  if (thread->Start()) {
    thread.release();
  } else {
    runningPlaybacks.fetch_sub(1);
  }
#endif
  return 0;
}

void* SoundEngineEffect::PlaybackProc(void* argument) {
  auto& effect = *static_cast<SoundEngineEffect*>(argument);
  const PlaybackLeaving leaving{effect};
  if (!effect.PlayQueued()) return nullptr;
  while (!effect.LookAtAttack()) std::this_thread::sleep_for(kAttackPoll);
  return nullptr;
}

bool SoundEngineEffect::PlayQueued() {
  alSourcePlay(source);
  const ALenum error = alGetError();
  if (error != AL_NO_ERROR) reportAL("Error starting effect playback", error);
  return error == AL_NO_ERROR;
}

bool SoundEngineEffect::LookAtAttack() {
  if (attackBuffer != 0) {
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    ALenum error = alGetError();
    if (error != AL_NO_ERROR) {
      reportAL("Error getting processed buffer number", error);
      return true;
    }
    if (processed <= 0) return false;
    ALuint attack = 0;
    alSourceUnqueueBuffers(source, 1, &attack);
    error = alGetError();
    if (error != AL_NO_ERROR) {
      reportAL("Error unqueueing buffers from source", error);
      return true;
    }
  }
  {
    // A stop through the decay that came meanwhile keeps looping off.
    const std::lock_guard<std::mutex> lock(loopingSwitch);
    if (!decayRequested) alSourcei(source, AL_LOOPING, AL_TRUE);
    alGetError();
  }
  return true;
}

OSStatus SoundEngineEffect::ClearSourceBuffers() {
  ALint queued = 0;
  alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
  ALenum error = alGetError();
  if (error != AL_NO_ERROR) {
    reportAL("Error getting OpenAL queued buffer size", error);
    return error;
  }
  std::vector<ALuint> buffers(static_cast<size_t>(std::max(queued, 0)));
  alSourceUnqueueBuffers(source, queued, buffers.data());
  error = alGetError();
  if (error != AL_NO_ERROR) reportAL("Error unqueueing buffers from source", error);
  return error;
}

OSStatus SoundEngineEffect::Stop(unsigned char doDecay) {
  if (decayBuffer != 0 && doDecay) return StartDecay();
  alSourceStop(source);
  const ALenum error = alGetError();
  if (error != AL_NO_ERROR) {
    reportAL("Error stopping source", error);
    return error;
  }
  // A playback thread that had not yet played the source would start it again.
  finishPlayback();
  return 0;
}

OSStatus SoundEngineEffect::StartDecay() {
  ALenum error = AL_NO_ERROR;
  {
    const std::lock_guard<std::mutex> lock(loopingSwitch);
    decayRequested = true;
    alSourcei(source, AL_LOOPING, AL_FALSE);
    error = alGetError();
  }
  if (error != AL_NO_ERROR) {
    reportAL("Error turning off looping", error);
    return error;
  }
  alSourceQueueBuffers(source, 1, &decayBuffer);
  error = alGetError();
  if (error != AL_NO_ERROR) {
    reportAL("Error queueing decay file", error);
    return error;
  }
  return 0;
}
