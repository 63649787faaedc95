// The engine's functions on OpenAL Soft's null device: an absent engine, unknown ids, levels,
// re-initialisation, teardown, and loops started and stopped while it is torn down.
#include <gtest/gtest.h>

#include <AL/al.h>

#include "sound/sound_engine.h"
#include "tests/support/test_caf.h"
#include "tests/support/test_openal.h"

namespace {

class SoundEngineTest : public testing::Test {
 protected:
  void TearDown() override { SoundEngine_Teardown(); }
  std::string tone(const std::string& name, int frames, int16_t level) {
    return folder_.write(
        name, encodeCaf(pcm16(std::vector<int16_t>(static_cast<size_t>(frames), level))));
  }
  SoundFolder folder_;
};

}  // namespace

TEST_F(SoundEngineTest, AnAbsentEngineAnswersNotInitialised) {
  EXPECT_EQ(SoundEngine_StartEffect(1), kSoundEngineNotInitialized);
  EXPECT_EQ(SoundEngine_StopEffect(1, true), kSoundEngineNotInitialized);
  EXPECT_EQ(SoundEngine_SetEffectLevel(1, 0.5f), kSoundEngineNotInitialized);
  EXPECT_EQ(SoundEngine_SetListenerPosition(0, 0, 1), kSoundEngineNotInitialized);
  EXPECT_EQ(SoundEngine_Teardown(), 0);
}

TEST_F(SoundEngineTest, ALoadMakesTheEngineAndIdsFindTheirEffects) {
  uint32_t id = 0;
  ASSERT_EQ(SoundEngine_LoadEffect(tone("click.caf", 441, 9000).c_str(), &id), 0);
  EXPECT_NE(id, 0u);
  EXPECT_EQ(SoundEngine_StartEffect(id), 0);
  EXPECT_EQ(SoundEngine_StopEffect(id, true), 0);
  EXPECT_EQ(SoundEngine_StopEffect(id, false), 0);  // a stopped effect stops again quietly
  EXPECT_EQ(SoundEngine_StartEffect(id + 1000), kSoundEngineUnknownEffect);
  EXPECT_EQ(SoundEngine_SetEffectLevel(id + 1000, 1), kSoundEngineUnknownEffect);
  EXPECT_EQ(SoundEngine_SetListenerPosition(0, 0, 1), 0);

  uint32_t kept = 12345;
  testing::internal::CaptureStdout();
  EXPECT_EQ(SoundEngine_LoadEffect((folder_.path / "missing.caf").c_str(), &kept),
            platform::kAudioFileNotFoundError);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Error loading looping file info"),
            std::string::npos);
  EXPECT_EQ(kept, 12345u);
}

TEST_F(SoundEngineTest, LevelsGoToTheSourceUnclamped) {
  ASSERT_EQ(SoundEngine_Initialize(44100), 0);
  uint32_t id = 0;
  ASSERT_EQ(
      SoundEngine_LoadLoopingEffect(tone("music.caf", 2205, 5000).c_str(), nullptr, nullptr, &id),
      0);
  for (float level : {0.5f, 0.0f, 1.8f}) {
    EXPECT_EQ(SoundEngine_SetEffectLevel(id, level), 0);
    float gain = -1;
    alGetSourcef(id, AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, level);
  }
}

TEST_F(SoundEngineTest, ReinitialisingForgetsEveryEffectAndTeardownTwiceIsHarmless) {
  ASSERT_EQ(SoundEngine_Initialize(44100), 0);
  uint32_t first = 0, second = 0;
  ASSERT_EQ(SoundEngine_LoadEffect(tone("a.caf", 100, 100).c_str(), &first), 0);
  ASSERT_EQ(SoundEngine_LoadEffect(tone("b.caf", 100, 100).c_str(), &second), 0);
  EXPECT_NE(first, second);
  ASSERT_EQ(SoundEngine_Initialize(0), 0);
  EXPECT_EQ(SoundEngine_StartEffect(first), kSoundEngineUnknownEffect);
  EXPECT_EQ(SoundEngine_StartEffect(second), kSoundEngineUnknownEffect);
  EXPECT_EQ(SoundEngine_Teardown(), 0);
  EXPECT_EQ(SoundEngine_Teardown(), 0);
  EXPECT_EQ(SoundEngine_StartEffect(first), kSoundEngineNotInitialized);
}

TEST_F(SoundEngineTest, LoopsStartedAndStoppedAThousandTimesThenTornDown) {
  ASSERT_EQ(SoundEngine_Initialize(44100), 0);
  uint32_t loop = 0, plain = 0;
  ASSERT_EQ(SoundEngine_LoadLoopingEffect(tone("loop.caf", 2205, 5000).c_str(),
                                          tone("attack.caf", 220, 9000).c_str(),
                                          tone("decay.caf", 220, 3000).c_str(), &loop),
            0);
  ASSERT_EQ(SoundEngine_LoadLoopingEffect(tone("plain.caf", 2205, 5000).c_str(), nullptr, nullptr,
                                          &plain),
            0);
  for (int i = 0; i < 1000; ++i) {
    EXPECT_EQ(SoundEngine_StartEffect(i % 2 ? loop : plain), 0);
    if (i % 3 == 0) {
      EXPECT_EQ(SoundEngine_StopEffect(loop, i % 2), 0);
    }
  }
  // Playback threads may still be running: teardown waits for them.
  EXPECT_EQ(SoundEngine_Teardown(), 0);
}

TEST(SoundEngineNoDeviceTest, NoOutputDeviceLeavesTheGameSilent) {
  // Run with ALSOFT_DRIVERS naming no driver there is.
  EXPECT_EQ(SoundEngine_Initialize(44100), kSoundEngineNoDevice);
  uint32_t id = 7;
  EXPECT_NE(SoundEngine_LoadEffect("/nonexistent.caf", &id), 0);
  EXPECT_EQ(id, 7u);
  EXPECT_EQ(SoundEngine_Teardown(), 0);
}
