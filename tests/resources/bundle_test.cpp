// The bundle as built: every sound measured (levels, ends, loop joins, formats), every file
// rebuilt to the same bytes, and the interface file checked.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/asset_catalogue.h"
#include "app/interface_file.h"
#include "gl/texture2d.h"
#include "platform/audio/audio_file.h"
#include "platform/core/bundle.h"
#include "platform/graphics/image.h"
#include "sound/ima4.h"
#include "tests/support/build_paths.h"
#include "tests/support/scratch.h"

namespace {

namespace fs = std::filesystem;

struct Decoded {
  platform::AudioStreamBasicDescription format;
  std::vector<int16_t> samples;  // channels interleaved
};

Decoded decode(const fs::path& path) {
  Decoded decoded;
  std::unique_ptr<platform::AudioFile> file;
  EXPECT_EQ(platform::AudioFile::open(path.string(), file), 0) << path;
  if (!file) return decoded;
  decoded.format = file->dataFormat();
  std::vector<uint8_t> bytes(file->audioDataByteCount());
  uint32_t size = static_cast<uint32_t>(bytes.size());
  EXPECT_EQ(file->readBytes(0, size, bytes.data()), 0);
  if (decoded.format.mFormatID == platform::kAudioFormatAppleIMA4) {
    const auto packets = static_cast<unsigned>(file->audioDataPacketCount());
    decoded.samples.resize(size_t{packets} * 64 * decoded.format.mChannelsPerFrame);
    ima_decompress(packets, decoded.format, bytes.data(), decoded.samples.data());
  } else {
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
      decoded.samples.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
  }
  return decoded;
}

double decibels(double level) {
  return 20 * std::log10(level / 32768.0);
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool isLoop(int slot) {
  return slot == kSoundGame || slot == kSoundTiptoe || slot == kSoundMenu;
}
bool isMusic(int slot) {
  return slot == kSoundGame || slot == kSoundMenu;
}

fs::path soundFile(int slot) {
  return fs::path(build_paths::kBundle) / (std::string(kSoundNames[slot]) + ".caf");
}

}  // namespace

TEST(BundleSoundTest, PeaksRmsEndsAndFormats) {
  double quietest = 0, loudest = -100;
  bool sawIma4 = false, sawPcm = false;
  for (int slot = 0; slot < kSoundCount; ++slot) {
    SCOPED_TRACE(kSoundNames[slot]);
    const Decoded sound = decode(soundFile(slot));
    ASSERT_FALSE(sound.samples.empty());
    const unsigned channels = sound.format.mChannelsPerFrame;
    EXPECT_EQ(channels, isMusic(slot) ? 2u : 1u);
    EXPECT_EQ(sound.format.mSampleRate, 22050);
    sawIma4 |= sound.format.mFormatID == platform::kAudioFormatAppleIMA4;
    sawPcm |= sound.format.mFormatID == platform::kAudioFormatLinearPCM;
    if (isMusic(slot)) {
      const double seconds = static_cast<double>(sound.samples.size()) / channels / 22050;
      EXPECT_GE(seconds, 8);
      EXPECT_LE(seconds, 20);
    }

    double peak = 0, sum = 0;
    for (int16_t sample : sound.samples) {
      peak = std::max(peak, std::fabs(static_cast<double>(sample)));
      sum += static_cast<double>(sample) * sample;
    }
    // Set at -1 dBFS; the IMA4 coding may move a peak a little either way.
    EXPECT_GT(decibels(peak), -2.0);
    EXPECT_LT(decibels(peak), -0.05);
    const double rms = decibels(std::sqrt(sum / static_cast<double>(sound.samples.size())));
    if (!isMusic(slot)) {
      quietest = std::min(quietest, rms);
      loudest = std::max(loudest, rms);
    }

    // No click where a sound starts or ends, or where a loop comes round: every channel's
    // first and last samples lie near zero.
    for (unsigned c = 0; c < channels; ++c) {
      EXPECT_LT(std::abs(sound.samples[c]), 300) << "channel " << c;
      EXPECT_LT(std::abs(sound.samples[sound.samples.size() - channels + c]), 300) << c;
    }
    if (isLoop(slot)) {
      const size_t frames = sound.samples.size() / channels;
      EXPECT_LT(std::abs(sound.samples[0] - sound.samples[(frames - 1) * channels]), 300);
    }
  }
  EXPECT_LE(loudest - quietest, 9.0)
      << "effects from " << quietest << " to " << loudest << " dB RMS";
  EXPECT_TRUE(sawIma4);
  EXPECT_TRUE(sawPcm);
}

TEST(BundleRebuildTest, SoundsAndPicturesComeOutByteForByte) {
  const fs::path again = scratchPath("bundle-again");
  fs::remove_all(again);
  fs::create_directories(again);
  ASSERT_EQ(std::system((std::string(build_paths::kSoundgen) + " " + again.string()).c_str()), 0);
  for (int slot = 0; slot < kSoundCount; ++slot) {
    const std::string file = std::string(kSoundNames[slot]) + ".caf";
    EXPECT_EQ(readFile(again / file), readFile(fs::path(build_paths::kBundle) / file)) << file;
  }
  int pictures = 0;
  for (const auto& entry : fs::directory_iterator(build_paths::kArt)) {
    const fs::path svg = entry.path();
    if (svg.extension() != ".svg" || svg.stem() == "icon") continue;
    for (const std::string density : {"", "@2x", "@4x"}) {
      const fs::path png = again / (svg.stem().string() + density + ".png");
      const std::string zoom = density.empty() ? "1" : density.substr(1, 1);
      const std::string command = std::string(build_paths::kRsvgConvert) + " --zoom " + zoom +
                                  " '" + svg.string() + "' -o '" + png.string() + "'";
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
      EXPECT_EQ(readFile(png), readFile(fs::path(build_paths::kBundle) / png.filename())) << svg;
    }
    ++pictures;
  }
  EXPECT_GE(pictures, 37 + 3);
  fs::remove_all(again);
}

// Every picture at the three densities the loader picks from, rendered from one source: twice
// and four times the pixels, and textures of the same size in points, so that every sprite's
// size (and every collision box) is the same whichever density the screen asks for.
TEST(BundlePictureTest, EveryPictureComesAtThreeDensitiesOfTheSameSizeInPoints) {
  platform::Bundle::useFolder(build_paths::kBundle);
  int pictures = 0;
  for (const auto& entry : fs::directory_iterator(build_paths::kBundle)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".png" || name.find('@') != std::string::npos ||
        name.starts_with("icon-")) {
      continue;
    }
    const auto plain = platform::imageNamed(name, 1);
    ASSERT_TRUE(plain) << name;
    const TexturePixels base = texturePixelsFromImage(*plain);
    for (const float density : {2.0f, 3.375f, 4.0f}) {
      const auto image = platform::imageNamed(name, density);
      ASSERT_TRUE(image) << name;
      const float expected = platform::densityForScale(density);
      EXPECT_EQ(image->scale(), expected) << name;
      EXPECT_EQ(image->width(), plain->width() * static_cast<int>(expected)) << name;
      EXPECT_EQ(image->height(), plain->height() * static_cast<int>(expected)) << name;
      const TexturePixels pixels = texturePixelsFromImage(*image);
      EXPECT_EQ(pixels.contentSize, base.contentSize) << name << " at " << density;
      EXPECT_EQ(pixels.width, base.width * static_cast<unsigned>(expected)) << name;
    }
    ++pictures;
  }
  EXPECT_GE(pictures, 37 + 3);
}

TEST(InterfaceFileTest, TheBuiltFileIsSoundAndFaultsAreNamed) {
  EXPECT_EQ(checkInterfaceFile(build_paths::kBundle), std::vector<std::string>{});

  const fs::path folder = scratchPath("interface-check");
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::ofstream(folder / "menu.png") << "not checked for content";
  std::ofstream(folder / kInterfaceFile) << R"({"window": {"frame": [0, 0, 320, 480]},
    "views": [{"name": "mainMenuView", "class": "ImageView", "image": "missing.png",
               "frame": [0, 0, 480, 320]},
              {"name": "mainPlayButton", "class": "Button", "tag": 1, "frame": [1, 2, 3, 4]},
              {"name": "playPlayButton", "class": "Button", "tag": 1, "frame": [1, 2, 3]},
              {"name": "gameOverLabel", "class": "Sticker", "frame": [0, 0, 1, 1]},
              {"name": "gamePauseButton", "class": "Button", "tag": 14,
               "frame": [0, 0, 1, 1]}]})";
  const std::vector<std::string> faults = checkInterfaceFile(folder);
  const auto says = [&faults](const std::string& text) {
    for (const std::string& fault : faults) {
      if (fault == text) return true;
    }
    return false;
  };
  EXPECT_TRUE(says("mainMenuView shows missing.png, which the bundle does not have"));
  EXPECT_TRUE(says("playPlayButton has no frame"));
  EXPECT_TRUE(says("gameOverLabel has no known class"));
  EXPECT_TRUE(says("tag 1 is on 2 buttons"));
  EXPECT_TRUE(says("tag 2 is on 0 buttons"));
  EXPECT_TRUE(says("tag 14 is not a tag of the game"));
  EXPECT_TRUE(says("no view is named glView"));

  std::ofstream(folder / kInterfaceFile) << "{ not json";
  EXPECT_EQ(checkInterfaceFile(folder).size(), 1u);
  std::ofstream(folder / kInterfaceFile) << R"({"views": [{"name": "glView", "tag": -1e600}]})";
  const std::vector<std::string> overflow = checkInterfaceFile(folder);
  ASSERT_EQ(overflow.size(), 1u);
  EXPECT_NE(overflow[0].find("is not JSON: number overflow parsing '-1e600'"), std::string::npos)
      << overflow[0];
  fs::remove_all(folder);
}
