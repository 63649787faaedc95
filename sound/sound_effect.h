// One playable sound: an OpenAL source with up to three buffers (attack, loop, decay) made
// from sound files read whole and decoded at load.
#pragma once

#include <AL/al.h>

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/audio/audio_file.h"

class OpenALThread;
using OSStatus = platform::OSStatus;

// Opens a file for reading; 3 when the path cannot name a file.
OSStatus OpenFile(const char* path, std::unique_ptr<platform::AudioFile>& file);
// Opens the file and reads its data format and the byte count of its audio data.
OSStatus LoadFileDataInfo(const char* path, std::unique_ptr<platform::AudioFile>& file,
                          platform::AudioStreamBasicDescription& format, uint64_t& dataByteCount);
// Hands the data to the buffer; where OpenAL cannot play straight from the caller's memory, it
// gets a copy.
void alBufferDataStaticProc(ALint buffer, ALenum format, ALvoid* data, ALsizei size, ALsizei rate);

class SoundEngineEffect {
 public:
  SoundEngineEffect(const char* loopPath, const char* attackPath, const char* decayPath,
                    unsigned char looping);
  // Waits for the effect's playback threads, then deletes the source and frees the data.
  ~SoundEngineEffect();
  SoundEngineEffect(const SoundEngineEffect&) = delete;
  SoundEngineEffect& operator=(const SoundEngineEffect&) = delete;

  OSStatus AttachFilesToSource();
  OSStatus Start();
  OSStatus Stop(unsigned char doDecay);
  OSStatus StartDecay();
  OSStatus ClearSourceBuffers();
  static void* PlaybackProc(void* effect);
  // A looping start's steps once its buffers are queued, wherever they run: play the source
  // (false on an error), then look at the attack until it has played; true once looping is on
  // (or on an error), false while the attack still plays.
  bool PlayQueued();
  bool LookAtAttack();

  // The buffer format for the stream, or 4 when OpenAL has none for it.
  static ALenum GetALFormat(platform::AudioStreamBasicDescription format);
  // Reads the whole file into a new PCM block and a new OpenAL buffer. On failure nothing it
  // allocated stays allocated and `data` is null. Big-endian or floating-point samples and IMA4
  // of more than two channels give 4; a file with no sound in it 'dta?'.
  OSStatus LoadFileData(const char* path, void*& data, unsigned long& dataSize,
                        unsigned int& bufferID);

  ALuint source = 0;
  ALuint attackBuffer = 0;
  ALuint loopBuffer = 0;
  ALuint decayBuffer = 0;
  const char* loopFileName;
  const char* attackFileName;
  const char* decayFileName;
  void* loopData = nullptr;
  void* attackData = nullptr;
  void* decayData = nullptr;
  unsigned long loopDataSize = 0;
  unsigned long attackDataSize = 0;
  unsigned long decayDataSize = 0;
  unsigned char isLooping;
  OpenALThread* playbackThread = nullptr;
  // Playback threads started for this effect that have not finished with it.
  std::atomic<int> runningPlaybacks{0};
  // Orders the playback thread's turning looping on against a stop through the decay.
  std::mutex loopingSwitch;
  bool decayRequested = false;

 private:
  // Stops the source until no playback thread of this effect runs any more: a thread still
  // waiting for the attack then sees it processed, and one that had not yet played the source
  // has its play stopped.
  void finishPlayback();
};
