// The engine's process-wide state and its eight functions. There is at most one engine.
#include "sound/sound_engine.h"

#include <AL/al.h>
#ifdef __EMSCRIPTEN__
#include <AL/alc.h>
// The browser's OpenAL has no extension header; its devices never report a disconnection.
#define ALC_CONNECTED 0x313
#else
#include <AL/alext.h>
#endif

#include <cstdio>
#include <cstdlib>

#include "sound/sound_effect.h"

float gMasterVolumeGain = 1.0f;

namespace {

OpenALObject* sOpenALObject = nullptr;
BackgroundTrackMgr* sBackgroundTrackMgr = nullptr;

// OpenAL's error state; with no current context there is none to read (the library would
// answer an error of its own for the missing context, not for the call just made).
ALenum currentContextError() {
  return alcGetCurrentContext() ? alGetError() : AL_NO_ERROR;
}

void destroyEngine() {
  if (sOpenALObject) {
    sOpenALObject->Teardown();
    delete sOpenALObject;
    sOpenALObject = nullptr;
  }
  if (sBackgroundTrackMgr) {
    sBackgroundTrackMgr->Teardown();
    delete sBackgroundTrackMgr;
    sBackgroundTrackMgr = nullptr;
  }
}

// A load with no engine makes one on the spot, leaving the mixer's rate alone. The id is
// written only when the load succeeds.
template <typename Load>
OSStatus loadEffect(uint32_t* effectID, Load load) {
  if (!sOpenALObject) {
    sOpenALObject = new OpenALObject(0);
    if (const OSStatus status = sOpenALObject->Initialize(); status != 0) return status;
  }
  unsigned long id = 0;
  const OSStatus status = load(*sOpenALObject, &id);
  if (status == 0) *effectID = static_cast<uint32_t>(id);
  return status;
}

// Acts on the effect of that id: 1 while no engine exists, 2 when no effect has the id.
template <typename Act>
OSStatus withEffect(uint32_t effectID, Act act) {
  if (!sOpenALObject) return kSoundEngineNotInitialized;
  SoundEngineEffect* effect = sOpenALObject->effectMap->Get(effectID);
  return effect ? act(*effect) : kSoundEngineUnknownEffect;
}

}  // namespace

void* alExtensionProc(const char* name) {
#ifdef __EMSCRIPTEN__
  (void)name;
  return nullptr;
#else
  return alcGetProcAddress(nullptr, name);
#endif
}

void alcMacOSXMixerOutputRateProc(double rate) {
  using Proc = ALvoid (*)(const ALdouble);
  static Proc proc = nullptr;
  if (!proc) proc = reinterpret_cast<Proc>(alExtensionProc("alcMacOSXMixerOutputRate"));
  if (proc) proc(rate);
}

void SoundEngineEffectMap::Add(unsigned long id, SoundEngineEffect** effect) {
  insert(upper_bound(id), {id, *effect});
}

SoundEngineEffect* SoundEngineEffectMap::Get(unsigned long id) const {
  auto found = find(id);
  return found == end() ? nullptr : found->second;
}

void SoundEngineEffectMap::Remove(unsigned long id) {
  auto found = find(id);
  if (found != end()) erase(found);
}

SoundEngineEffect* SoundEngineEffectMap::GetEffectByIndex(unsigned long index) const {
  if (index >= size()) return nullptr;
  auto at = begin();
  std::advance(at, static_cast<long>(index));
  return at->second;
}

OpenALObject::OpenALObject(float rate)
    : mixerOutputRate(rate), effectMap(new SoundEngineEffectMap()) {}

OpenALObject::~OpenALObject() {
  delete effectMap;
}

OSStatus OpenALObject::Initialize() {
  device = alcOpenDevice(nullptr);
  ALenum error = currentContextError();
  if (error != AL_NO_ERROR) {
    std::printf("%s: %x\n", "Error opening output device", error);
    return error;
  }
  if (!device) return kSoundEngineNoDevice;
  if (mixerOutputRate != 0.0f) alcMacOSXMixerOutputRateProc(mixerOutputRate);
  context = alcCreateContext(device, nullptr);
  error = currentContextError();
  if (error != AL_NO_ERROR) {
    std::printf("%s: %x\n", "Error creating OpenAL context", error);
    return error;
  }
  alcMakeContextCurrent(context);
  error = currentContextError();
  if (error != AL_NO_ERROR) {
    std::printf("%s: %x\n", "Error setting current OpenAL context", error);
    return error;
  }
  return 0;
}

void OpenALObject::Teardown() {
  if (effectMap) {
    while (!effectMap->empty()) {
      SoundEngineEffect* effect = effectMap->GetEffectByIndex(0);
      effectMap->Remove(effect->source);
      delete effect;
    }
    delete effectMap;
    effectMap = nullptr;
  }
  if (context) {
    alcDestroyContext(context);
    context = nullptr;
  }
  if (device) {
    alcCloseDevice(device);
    device = nullptr;
  }
}

OSStatus OpenALObject::Load(SoundEngineEffect* effect, unsigned long* effectID) {
  const OSStatus status = effect->AttachFilesToSource();
  if (status != 0) {
    delete effect;  // neither registered nor given an id; its source and data go with it
    return status;
  }
  *effectID = effect->source;
  effectMap->Add(effect->source, &effect);
  return 0;
}

OSStatus OpenALObject::LoadEffect(const char* path, unsigned long* effectID) {
  return Load(new SoundEngineEffect(path, nullptr, nullptr, false), effectID);
}

OSStatus OpenALObject::LoadLoopingEffect(const char* loopPath, const char* attackPath,
                                         const char* decayPath, unsigned long* effectID) {
  return Load(new SoundEngineEffect(loopPath, attackPath, decayPath, true), effectID);
}

void BackgroundTrackMgr::Teardown() {
  for (BG_FileInfo* file : files) {
    if (file) file->audioFile.reset();
  }
  std::free(block);
  block = nullptr;
}

OSStatus SoundEngine_Initialize(float mixerOutputRate) {
  destroyEngine();
  sOpenALObject = new OpenALObject(mixerOutputRate);
  sBackgroundTrackMgr = new BackgroundTrackMgr();
  return sOpenALObject->Initialize();
}

OSStatus SoundEngine_Teardown() {
  destroyEngine();
  return 0;
}

OSStatus SoundEngine_SetListenerPosition(float x, float y, float z) {
  if (!sOpenALObject) return kSoundEngineNotInitialized;
  alListener3f(AL_POSITION, x, y, z);
  return alGetError();
}

OSStatus SoundEngine_LoadEffect(const char* path, uint32_t* effectID) {
  return loadEffect(effectID, [&](OpenALObject& engine, unsigned long* id) {
    return engine.LoadEffect(path, id);
  });
}

OSStatus SoundEngine_LoadLoopingEffect(const char* loopPath, const char* attackPath,
                                       const char* decayPath, uint32_t* effectID) {
  return loadEffect(effectID, [&](OpenALObject& engine, unsigned long* id) {
    return engine.LoadLoopingEffect(loopPath, attackPath, decayPath, id);
  });
}

OSStatus SoundEngine_StartEffect(uint32_t effectID) {
  return withEffect(effectID, [](SoundEngineEffect& effect) { return effect.Start(); });
}

OSStatus SoundEngine_StopEffect(uint32_t effectID, unsigned char doDecay) {
  return withEffect(effectID,
                    [doDecay](SoundEngineEffect& effect) { return effect.Stop(doDecay); });
}

OSStatus SoundEngine_SetEffectLevel(uint32_t effectID, float level) {
  return withEffect(effectID, [level](SoundEngineEffect& effect) {
    alSourcef(effect.source, AL_GAIN, level * gMasterVolumeGain);
    return static_cast<OSStatus>(alGetError());
  });
}

bool SoundEngine_IsDeviceConnected() {
  ALCdevice* device = sOpenALObject ? sOpenALObject->device : nullptr;
  if (!device) return false;
  if (!alcIsExtensionPresent(device, "ALC_EXT_disconnect")) return true;
  ALCint connected = ALC_TRUE;
  alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
  return connected == ALC_TRUE;
}

bool SoundEngine_IsDeviceAvailable() {
  ALCdevice* device = alcOpenDevice(nullptr);
  if (device) alcCloseDevice(device);
  return device != nullptr;
}
