// What the effects sound like, rendered for real on a loopback device: one-shots play once and
// restart, loops keep going until stopped, an attack plays once before the loop, and a stop
// through the decay lets the loop pass end and plays the decay.
#include <gtest/gtest.h>

#include <AL/al.h>

#include <chrono>
#include <cstdlib>
#include <list>
#include <thread>

#include "sound/sound_effect.h"
#include "tests/support/test_caf.h"
#include "tests/support/test_openal.h"

namespace {

constexpr int16_t kAttack = 4000, kLoop = 12000, kDecay = 24000;

// The level a rendered stretch of samples sits at, 0 for silence.
int level(const std::vector<int16_t>& samples, size_t from, size_t to) {
  long sum = 0;
  for (size_t i = from; i < to; ++i) sum += std::abs(samples[i]);
  return static_cast<int>(sum / static_cast<long>(to - from));
}

bool near(int measured, int16_t expected) {
  return std::abs(measured - expected) < expected / 10;
}

class PlaybackTest : public testing::Test {
 protected:
  std::string tone(const std::string& name, int frames, int16_t value) {
    return folder_.write(
        name, encodeCaf(pcm16(std::vector<int16_t>(static_cast<size_t>(frames), value))));
  }
  std::unique_ptr<SoundEngineEffect> effect(const std::string& loop, const char* attack,
                                            const char* decay, bool looping) {
    paths_.push_back(loop);
    auto made = std::make_unique<SoundEngineEffect>(paths_.back().c_str(), attack, decay, looping);
    EXPECT_EQ(made->AttachFilesToSource(), 0);
    return made;
  }
  ALint sourceInt(const SoundEngineEffect& e, ALenum what) {
    ALint value = 0;
    alGetSourcei(e.source, what, &value);
    return value;
  }
  // Waits, rendering nothing, until the playback thread has done its part (ten seconds at most:
  // a busy machine may be slow to give it its turn).
  void waitFor(const SoundEngineEffect& e, ALenum what, ALint value) {
    for (int i = 0; i < 10000 && sourceInt(e, what) != value; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(sourceInt(e, what), value);
  }
  // Renders in small steps, so that a playback thread keeps up with what has been heard.
  std::vector<int16_t> renderSlowly(int frames) {
    std::vector<int16_t> all;
    for (int done = 0; done < frames; done += 50) {
      auto part = audio_.render(50);
      all.insert(all.end(), part.begin(), part.end());
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return all;
  }

  LoopbackAudio audio_;
  SoundFolder folder_;
  std::list<std::string> paths_;
};

}  // namespace

TEST_F(PlaybackTest, OneShotPlaysOnceAndRestartsFromTheBeginning) {
  ASSERT_TRUE(audio_.ok());
  const auto shot = effect(tone("shot.caf", 1000, kLoop), nullptr, nullptr, false);
  ASSERT_EQ(shot->Start(), 0);
  const auto once = audio_.render(3000);
  EXPECT_TRUE(near(level(once, 0, 950), kLoop));
  EXPECT_EQ(level(once, 1050, 3000), 0);
  EXPECT_EQ(sourceInt(*shot, AL_SOURCE_STATE), AL_STOPPED);

  ASSERT_EQ(shot->Start(), 0);
  audio_.render(600);
  ASSERT_EQ(shot->Start(), 0);  // a restart plays the whole shot again
  const auto again = audio_.render(2000);
  EXPECT_TRUE(near(level(again, 0, 950), kLoop));
  EXPECT_EQ(level(again, 1050, 2000), 0);
}

TEST_F(PlaybackTest, LoopKeepsPlayingUntilStopped) {
  ASSERT_TRUE(audio_.ok());
  const auto loop = effect(tone("loop.caf", 500, kLoop), nullptr, nullptr, true);
  ASSERT_EQ(loop->Start(), 0);
  waitFor(*loop, AL_LOOPING, AL_TRUE);
  const auto playing = audio_.render(5000);
  EXPECT_TRUE(near(level(playing, 0, 5000), kLoop));
  ASSERT_EQ(loop->Stop(false), 0);
  EXPECT_EQ(level(audio_.render(1000), 100, 1000), 0);  // after a click-free fade

  ASSERT_EQ(loop->Start(), 0);  // and it starts again
  waitFor(*loop, AL_LOOPING, AL_TRUE);
  EXPECT_TRUE(near(level(audio_.render(2000), 0, 2000), kLoop));
}

TEST_F(PlaybackTest, AttackPlaysOnceBeforeTheLoop) {
  ASSERT_TRUE(audio_.ok());
  const std::string attack = tone("attack.caf", 1000, kAttack);
  const auto music = effect(tone("loop.caf", 2000, kLoop), attack.c_str(), nullptr, true);
  for (int start = 0; start < 2; ++start) {
    ASSERT_EQ(music->Start(), 0);
    waitFor(*music, AL_SOURCE_STATE, AL_PLAYING);
    // The attack and half a loop pass, then the thread must have turned looping on before the
    // pass ends, however slow it was.
    auto heard = renderSlowly(2000);
    waitFor(*music, AL_LOOPING, AL_TRUE);
    const auto rest = audio_.render(4000);
    heard.insert(heard.end(), rest.begin(), rest.end());
    EXPECT_TRUE(near(level(heard, 0, 950), kAttack)) << level(heard, 0, 950);
    EXPECT_TRUE(near(level(heard, 1050, 6000), kLoop)) << level(heard, 1050, 6000);
  }
  music->Stop(false);
}

TEST_F(PlaybackTest, StopThroughTheDecayEndsTheLoopPassThenPlaysTheDecay) {
  ASSERT_TRUE(audio_.ok());
  const std::string decay = tone("decay.caf", 1000, kDecay);
  const auto music = effect(tone("loop.caf", 2000, kLoop), nullptr, decay.c_str(), true);
  ASSERT_EQ(music->Start(), 0);
  waitFor(*music, AL_LOOPING, AL_TRUE);
  audio_.render(500);
  ASSERT_EQ(music->Stop(true), 0);
  const auto ending = audio_.render(4000);
  EXPECT_TRUE(near(level(ending, 0, 1450), kLoop));  // the rest of the pass
  EXPECT_TRUE(near(level(ending, 1550, 2450), kDecay));
  EXPECT_EQ(level(ending, 2550, 4000), 0);
  EXPECT_EQ(sourceInt(*music, AL_SOURCE_STATE), AL_STOPPED);
}
