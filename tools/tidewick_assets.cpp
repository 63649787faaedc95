// tidewick-assets: looks at the game's assets the way the game sees them.
//   tidewick-assets texture FILE.png [--pixels OUT.raw]
//     the texture the image becomes, as one JSON object; --pixels writes the bytes uploaded to
//     GL, rows top first. Runs headless.
//   tidewick-assets sound FILE.caf
//     the sound file's format and what loading it gives, as one JSON object.
//   tidewick-assets decode FILE.caf OUT.raw
//     writes the PCM handed to OpenAL. Needs no sound device.
//   tidewick-assets check [BUNDLE]
//     loads every texture and sound of the catalogue as the launch does (headless, on OpenAL
//     Soft's null device unless ALSOFT_DRIVERS says otherwise) and checks the interface file;
//     exit 0 only when everything loads and the file is sound. BUNDLE defaults to the game's.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/asset_catalogue.h"
#include "app/interface_file.h"
#include "app/saltmere_app_delegate.h"
#include "gl/texture2d.h"
#include "platform/audio/audio_file.h"
#include "platform/core/bundle.h"
#include "platform/graphics/image.h"
#include "platform/screen/display.h"
#include "platform/screen/gl_context.h"
#include "sound/loopback.h"
#include "sound/sound_effect.h"
#include "sound/sound_engine.h"

namespace {

constexpr const char* kUsage =
    "usage: tidewick-assets texture FILE.png [--pixels OUT.raw]\n"
    "       tidewick-assets sound FILE.caf\n"
    "       tidewick-assets decode FILE.caf OUT.raw\n"
    "       tidewick-assets check [BUNDLE]\n";

bool writeBytes(const std::string& path, const void* bytes, size_t size) {
  std::ofstream out(path, std::ios::binary);
  out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
  if (!out) std::fprintf(stderr, "tidewick-assets: cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

// The loader's own messages go to stderr, so that stdout carries only the answer.
struct LoaderMessagesToStderr {
  LoaderMessagesToStderr() : saved(dup(1)) {
    std::fflush(stdout);
    dup2(2, 1);
  }
  ~LoaderMessagesToStderr() {
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
  }
  int saved;
};

// A sound file loaded as the engine loads a loop file; the effect holds the PCM. Loading
// needs OpenAL buffers, not a speaker: a loopback device serves.
struct LoadedSound {
  LoopbackAudio openAL{2, 44100};
  OSStatus status = 0;
  SoundEngineEffect effect;

  explicit LoadedSound(const std::string& file) : effect(file.c_str(), nullptr, nullptr, 1) {
    const LoaderMessagesToStderr quiet;
    status =
        effect.LoadFileData(file.c_str(), effect.loopData, effect.loopDataSize, effect.loopBuffer);
  }
};

// Null, after a message, where OpenAL has no loopback device.
std::unique_ptr<LoadedSound> loadSound(const std::string& file) {
  auto loaded = std::make_unique<LoadedSound>(file);
  if (loaded->openAL.ok()) return loaded;
  std::fprintf(stderr, "tidewick-assets: OpenAL has no loopback device\n");
  return nullptr;
}

// What the file says of itself, and what loading it gives; fields the reader could not learn
// are left out.
int describeSound(const std::string& file) {
  const auto loaded = loadSound(file);
  if (!loaded) return 1;
  std::unique_ptr<platform::AudioFile> audio;
  const OSStatus opened = platform::AudioFile::open(file, audio);
  nlohmann::ordered_json description = {{"status", loaded->status},
                                        {"statusText", platform::statusText(loaded->status)}};
  if (opened == 0) {
    const platform::AudioStreamBasicDescription& format = audio->dataFormat();
    description["formatID"] = platform::fourCharacters(format.mFormatID);
    description["sampleRate"] = format.mSampleRate;
    description["channels"] = format.mChannelsPerFrame;
    description["bitsPerChannel"] = format.mBitsPerChannel;
    description["bigEndian"] = (format.mFormatFlags & platform::kAudioFormatFlagIsBigEndian) != 0;
    description["packets"] = audio->audioDataPacketCount();
    description["dataBytes"] = audio->audioDataByteCount();
    description["alFormat"] = SoundEngineEffect::GetALFormat(format);
  }
  if (loaded->status == 0) description["pcmBytes"] = loaded->effect.loopDataSize;
  std::puts(description.dump().c_str());
  return loaded->status == 0 ? 0 : 1;
}

int decodeSound(const std::string& file, const std::string& out) {
  const auto loaded = loadSound(file);
  if (!loaded) return 1;
  if (loaded->status != 0) {
    std::fprintf(stderr, "tidewick-assets: %s does not load: status %s\n", file.c_str(),
                 platform::statusText(loaded->status).c_str());
    return 1;
  }
  return writeBytes(out, loaded->effect.loopData, loaded->effect.loopDataSize) ? 0 : 1;
}

// A GL context current on a headless display, for making textures.
struct HeadlessGL {
  HeadlessGL() {
    display = platform::Display::open({.scale = 1, .headless = true});
    context = display ? platform::GLContext::create(platform::RenderingAPI::OpenGLES2) : nullptr;
    if (!context || !platform::GLContext::setCurrentContext(context.get())) {
      std::fprintf(stderr, "tidewick-assets: no GL to make textures with\n");
      context.reset();
    }
  }
  bool ok() const { return context != nullptr; }
  std::unique_ptr<platform::Display> display;
  std::unique_ptr<platform::GLContext> context;
};

int inspectTexture(const std::string& file, const std::string& pixelsPath) {
  const std::shared_ptr<platform::Image> image = platform::Image::imageWithContentsOfFile(file);
  if (!image) return 1;  // the reason is already on stderr
  const HeadlessGL gl;
  if (!gl.ok()) return 1;
  const TexturePixels pixels = texturePixelsFromImage(*image);
  const auto texture = Texture2D::initWithData(pixels.data.data(), pixels.format, pixels.width,
                                               pixels.height, pixels.contentSize);
  if (!pixelsPath.empty() && !writeBytes(pixelsPath, pixels.data.data(), pixels.data.size())) {
    return 1;
  }
  const nlohmann::ordered_json description = {
      {"contentSize", {texture->contentSize().width, texture->contentSize().height}},
      {"pixelsWide", texture->pixelsWide()},
      {"pixelsHigh", texture->pixelsHigh()},
      {"pixelFormat", texture->pixelFormat()},
      {"maxS", texture->maxS()},
      {"maxT", texture->maxT()}};
  std::puts(description.dump().c_str());
  return 0;
}

int checkBundle(const std::string& folder) {
  if (!folder.empty()) platform::Bundle::useFolder(folder);
  const std::filesystem::path bundle = platform::Bundle::mainBundle().folder();
  setenv("ALSOFT_DRIVERS", "null", 0);
  const HeadlessGL gl;
  if (!gl.ok()) return 1;
  SaltmereAppDelegate game;
  const int missingTextures = game.loadTextures();
  const int missingSounds = game.loadSounds();
  SoundEngine_Teardown();
  const std::vector<std::string> faults = checkInterfaceFile(bundle);
  std::printf("bundle: %s\n", bundle.c_str());
  std::printf("textures: %d of %d slots loaded\n", kTextureCount - missingTextures, kTextureCount);
  std::printf("sounds: %d of %d slots loaded\n", kSoundCount - missingSounds, kSoundCount);
  for (const std::string& fault : faults) std::printf("interface: %s\n", fault.c_str());
  if (faults.empty()) std::printf("interface: %s is sound\n", kInterfaceFile);
  return missingTextures == 0 && missingSounds == 0 && faults.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.size() >= 2 && arguments[0] == "texture") {
    if (arguments.size() == 2) return inspectTexture(arguments[1], "");
    if (arguments.size() == 4 && arguments[2] == "--pixels" && !arguments[3].empty()) {
      return inspectTexture(arguments[1], arguments[3]);
    }
  }
  if (arguments.size() == 2 && arguments[0] == "sound") return describeSound(arguments[1]);
  if (arguments.size() == 3 && arguments[0] == "decode") {
    return decodeSound(arguments[1], arguments[2]);
  }
  if (!arguments.empty() && arguments.size() <= 2 && arguments[0] == "check") {
    return checkBundle(arguments.size() == 2 ? arguments[1] : "");
  }
  std::fputs(kUsage, stderr);
  return 2;
}
