// The sound engine: effects and music loops over OpenAL behind eight plain functions. An effect
// is known by its id; every call answers a status, 0 for success.
#pragma once

#include <AL/alc.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/audio/audio_file.h"

class SoundEngineEffect;
using OSStatus = platform::OSStatus;

enum : OSStatus {
  kSoundEngineNotInitialized = 1,     // no engine exists
  kSoundEngineUnknownEffect = 2,      // no effect has the id
  kSoundEngineBadPath = 3,            // a path names no file
  kSoundEngineUnsupportedFormat = 4,  // sound data OpenAL cannot take
  kSoundEngineNoDevice = 5,           // no output device
};

// Multiplies every level set; nothing changes it.
extern float gMasterVolumeGain;

OSStatus SoundEngine_Initialize(float mixerOutputRate);
OSStatus SoundEngine_Teardown();
OSStatus SoundEngine_SetListenerPosition(float x, float y, float z);
OSStatus SoundEngine_LoadEffect(const char* path, uint32_t* effectID);
OSStatus SoundEngine_LoadLoopingEffect(const char* loopPath, const char* attackPath,
                                       const char* decayPath, uint32_t* effectID);
OSStatus SoundEngine_StartEffect(uint32_t effectID);
OSStatus SoundEngine_StopEffect(uint32_t effectID, unsigned char doDecay);
OSStatus SoundEngine_SetEffectLevel(uint32_t effectID, float level);

// Beside the eight, for a desktop's devices that come and go: whether the engine plays on a
// device that is still connected (OpenAL Soft's disconnect extension), and whether a default
// output device could be opened now.
bool SoundEngine_IsDeviceConnected();
bool SoundEngine_IsDeviceAvailable();

// An OpenAL extension's entry point, or null where OpenAL has none (the browser's has none and
// complains of every name it is asked for).
void* alExtensionProc(const char* name);
// Sets the output mixer's rate before a context is made, where OpenAL offers that.
void alcMacOSXMixerOutputRateProc(double rate);

// The effects by id, in ascending order; it does not own them.
class SoundEngineEffectMap : public std::multimap<unsigned long, SoundEngineEffect*> {
 public:
  void Add(unsigned long id, SoundEngineEffect** effect);
  SoundEngineEffect* Get(unsigned long id) const;
  void Remove(unsigned long id);
  SoundEngineEffect* GetEffectByIndex(unsigned long index) const;
};

// The one engine: the output device, its context and the effects.
class OpenALObject {
 public:
  explicit OpenALObject(float mixerOutputRate);
  ~OpenALObject();
  OpenALObject(const OpenALObject&) = delete;
  OpenALObject& operator=(const OpenALObject&) = delete;

  OSStatus Initialize();
  // Destroys every effect, then the context and the device.
  void Teardown();
  OSStatus LoadEffect(const char* path, unsigned long* effectID);
  OSStatus LoadLoopingEffect(const char* loopPath, const char* attackPath, const char* decayPath,
                             unsigned long* effectID);

  float mixerOutputRate;
  ALCcontext* context = nullptr;
  ALCdevice* device = nullptr;
  SoundEngineEffectMap* effectMap;

 private:
  OSStatus Load(SoundEngineEffect* effect, unsigned long* effectID);
};

// The background-track manager: made and torn down with the engine; the game gives it no track.
class BackgroundTrackMgr {
 public:
  struct BG_FileInfo {
    std::unique_ptr<platform::AudioFile> audioFile;
  };
  void Teardown();

  std::vector<BG_FileInfo*> files;
  void* block = nullptr;
};
