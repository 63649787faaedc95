// The catalogue loaded from the built bundle as the launch loads it: every slot filled from its
// file, the background texture apart, the loops where the game expects them, and a damaged
// bundle that still gives everything it has.
#include <gtest/gtest.h>

#include <AL/al.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "app/asset_catalogue.h"
#include "app/saltmere_app_delegate.h"
#include "platform/core/bundle.h"
#include "sound/sound_engine.h"
#include "tests/support/build_paths.h"
#include "tests/support/scratch.h"
#include "tests/support/test_display.h"

namespace {

namespace fs = std::filesystem;

GLint minFilterOf(const Texture2D& texture) {
  GLint bound = 0, filter = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glBindTexture(GL_TEXTURE_2D, texture.name());
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  return filter;
}

// The engine's sources playing in a loop now. OpenAL hands out small source names, so a scan
// finds them all.
int loopingSources() {
  int looping = 0;
  for (ALuint source = 1; source < 4096; ++source) {
    if (!alIsSource(source)) continue;
    ALint loops = 0, state = 0;
    alGetSourcei(source, AL_LOOPING, &loops);
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    looping += loops == AL_TRUE && state == AL_PLAYING;
  }
  return looping;
}

class CatalogueTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("ALSOFT_DRIVERS", "null", 1); }
  void SetUp() override {
    screen_ = makeLandscapeScreen();
    screen_.glView->setCurrentContext();
    platform::Bundle::useFolder(build_paths::kBundle);
  }
  void TearDown() override { SoundEngine_Teardown(); }

  LandscapeScreen screen_;
  SaltmereAppDelegate game;
};

}  // namespace

TEST_F(CatalogueTest, EveryTextureComesFromItsFileAndOnlyTheBackgroundIsNearestFiltered) {
  ASSERT_EQ(game.loadTextures(), 0);
  for (int slot = 0; slot < kTextureCount; ++slot) ASSERT_TRUE(game._textures[slot]) << slot;

  // The wok is slot 19 and the tire slot 13, whatever their file numbers say.
  EXPECT_EQ(game._textures[kTextureTrash01]->contentSize(), (platform::Size{56, 28}));
  EXPECT_EQ(game._textures[kTextureTrash03]->contentSize(), (platform::Size{40, 40}));
  EXPECT_EQ(game._textures[kTextureNerin]->contentSize(), (platform::Size{96, 64}));

  // The sea twice: two textures, and the background left bound.
  const Texture2D& background = *game._textures[kTextureSeaBackground];
  const Texture2D& sea = *game._textures[kTextureSea];
  EXPECT_NE(background.name(), sea.name());
  EXPECT_EQ(background.contentSize(), sea.contentSize());
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), background.name());
  EXPECT_EQ(minFilterOf(background), GL_NEAREST);
  for (int slot = 1; slot < kTextureCount; ++slot) {
    EXPECT_EQ(minFilterOf(*game._textures[slot]), GL_LINEAR) << slot;
  }
}

TEST_F(CatalogueTest, TheLoopsAreTheMusicAndTheFeetAndEveryOtherSoundPlaysOnce) {
  ASSERT_EQ(game.loadSounds(), 0);
  for (int slot = 0; slot < kSoundCount; ++slot) {
    ASSERT_EQ(SoundEngine_StartEffect(game._sounds[slot]), 0) << slot;
    // A loop's playback thread turns looping on soon after the start (within ten seconds on a
    // busy machine); a one-shot has none.
    const bool loop = slot == kSoundGame || slot == kSoundTiptoe || slot == kSoundMenu;
    for (int wait = 0; wait < (loop ? 2000 : 4) && loopingSources() != loop; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(loopingSources(), loop ? 1 : 0) << kSoundNames[slot];
    SoundEngine_StopEffect(game._sounds[slot], false);
  }
}

TEST_F(CatalogueTest, ABundleMissingAnImageAndASoundStillLoadsTheRest) {
  const fs::path damaged = scratchPath("damaged-bundle");
  fs::remove_all(damaged);
  fs::copy(build_paths::kBundle, damaged);
  for (const char* file : {"Waves.png", "Waves@2x.png", "Waves@4x.png"}) fs::remove(damaged / file);
  fs::remove(damaged / (std::string(kSoundNames[kSoundTiptoe]) + ".caf"));
  platform::Bundle::useFolder(damaged);

  testing::internal::CaptureStderr();
  EXPECT_EQ(game.loadTextures(), 1);
  EXPECT_EQ(game.loadSounds(), 1);
  const std::string messages = testing::internal::GetCapturedStderr();
  EXPECT_NE(messages.find("Waves.png"), std::string::npos) << messages;
  EXPECT_NE(messages.find("tiptoe.caf"), std::string::npos) << messages;

  for (int slot = 0; slot < kTextureCount; ++slot) {
    EXPECT_EQ(game._textures[slot] == nullptr, slot == kTextureWaves) << slot;
  }
  EXPECT_EQ(game._sounds[kSoundTiptoe], 0u);
  EXPECT_EQ(SoundEngine_StartEffect(game._sounds[kSoundMenu]), 0);
  EXPECT_EQ(SoundEngine_StartEffect(game._sounds[kSoundBell]), 0);
  fs::remove_all(damaged);
}
