// Sound files: the CAF reader's view of good and malformed files, the loader's format gate and
// buffer formats, what it hands to OpenAL, and its messages.
#include <gtest/gtest.h>

#include <AL/al.h>

#include <cmath>
#include <random>

#include "platform/audio/audio_file.h"
#include "sound/sound_effect.h"
#include "sound/sound_engine.h"
#include "tests/support/test_caf.h"
#include "tests/support/test_openal.h"

using platform::AudioFile;
using platform::AudioStreamBasicDescription;
using platform::fourCharCode;

namespace {

class SoundLoaderTest : public testing::Test {
 protected:
  platform::OSStatus open(const std::vector<uint8_t>& bytes) {
    file_.reset();
    return AudioFile::open(folder_.write("test.caf", bytes), file_);
  }
  // Loads through the effect's loader; the printed messages come back in `messages`.
  OSStatus load(const std::vector<uint8_t>& bytes, std::string& messages) {
    const std::string path = folder_.write("load.caf", bytes);
    SoundEngineEffect effect(path.c_str(), nullptr, nullptr, false);
    testing::internal::CaptureStdout();
    const OSStatus status =
        effect.LoadFileData(path.c_str(), effect.loopData, effect.loopDataSize, effect.loopBuffer);
    messages = testing::internal::GetCapturedStdout();
    pcm_.assign(
        static_cast<uint8_t*>(effect.loopData),
        static_cast<uint8_t*>(effect.loopData) + (effect.loopData ? effect.loopDataSize : 0));
    if (status != 0) {
      EXPECT_EQ(effect.loopData, nullptr);
    }
    return status;
  }

  LoopbackAudio audio_;
  SoundFolder folder_;
  std::unique_ptr<AudioFile> file_;
  std::vector<uint8_t> pcm_;
};

AudioStreamBasicDescription format(const char (&id)[5], uint32_t channels, uint32_t bits) {
  AudioStreamBasicDescription f;
  f.mFormatID = fourCharCode(id);
  f.mChannelsPerFrame = channels;
  f.mBitsPerChannel = bits;
  return f;
}

// IMA4 of silent packets, 64 frames in 34 bytes a channel.
TestCaf ima4(uint32_t channels, size_t packets) {
  TestCaf caf;
  caf.formatID = "ima4";
  caf.flags = 0;
  caf.bytesPerPacket = 34 * channels;
  caf.framesPerPacket = 64;
  caf.channels = channels;
  caf.bits = 0;
  caf.data.assign(packets * caf.bytesPerPacket, 0);
  return caf;
}

}  // namespace

TEST_F(SoundLoaderTest, ReadsTheDescriptionDataAndPacketTable) {
  TestCaf caf = pcm16({1, -2, 3, -4}, 2, 22050.9);
  ASSERT_EQ(open(encodeCaf(caf)), 0);
  const AudioStreamBasicDescription& f = file_->dataFormat();
  EXPECT_EQ(f.mFormatID, platform::kAudioFormatLinearPCM);
  EXPECT_DOUBLE_EQ(f.mSampleRate, 22050.9);
  EXPECT_EQ(f.mChannelsPerFrame, 2u);
  EXPECT_EQ(f.mBitsPerChannel, 16u);
  EXPECT_FALSE(f.mFormatFlags & platform::kAudioFormatFlagIsBigEndian);
  EXPECT_EQ(file_->audioDataByteCount(), 8u);
  EXPECT_EQ(file_->audioDataPacketCount(), 2u);
  uint32_t bytes = 100;
  std::vector<uint8_t> out(100);
  EXPECT_EQ(file_->readBytes(2, bytes, out.data()), 0);
  EXPECT_EQ(bytes, 6u);
  EXPECT_EQ(out[0], 0xFE);  // -2, little-endian

  caf.flags = 0;  // the file says big-endian
  caf.openEnded = true;
  caf.packets = 1;  // the table counts fewer packets than the data holds: it is believed
  ASSERT_EQ(open(encodeCaf(caf)), 0);
  EXPECT_TRUE(file_->dataFormat().mFormatFlags & platform::kAudioFormatFlagIsBigEndian);
  EXPECT_EQ(file_->audioDataByteCount(), 8u);
  EXPECT_EQ(file_->audioDataPacketCount(), 1u);
}

TEST_F(SoundLoaderTest, MalformedFilesGiveACleanStatus) {
  const std::vector<uint8_t> good = encodeCaf(pcm16(std::vector<int16_t>(100, 5)));
  const platform::OSStatus notCaf = platform::kAudioFileUnsupportedFileTypeError;
  const platform::OSStatus malformed = platform::kAudioFileInvalidFileError;
  EXPECT_EQ(open({}), notCaf);
  EXPECT_EQ(open({'c', 'a', 'f'}), notCaf);
  EXPECT_EQ(open({'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}),
            notCaf);
  EXPECT_EQ(open(std::vector<uint8_t>(good.begin(), good.begin() + 30)), malformed);  // in desc
  EXPECT_EQ(open(std::vector<uint8_t>(good.begin(), good.end() - 10)), malformed);    // short data
  std::vector<uint8_t> huge = good;
  huge[12] = 0x7F;  // desc claims an enormous size
  EXPECT_EQ(open(huge), malformed);
  TestCaf noChannels = pcm16({1});
  noChannels.channels = 0;
  EXPECT_EQ(open(encodeCaf(noChannels)), malformed);
  EXPECT_EQ(AudioFile::open((folder_.path / "missing.caf").string(), file_),
            platform::kAudioFileNotFoundError);

  std::mt19937 rng(11);
  for (int round = 0; round < 500; ++round) {
    std::vector<uint8_t> bytes = good;
    for (int k = 0; k < 3; ++k) bytes[8 + rng() % (bytes.size() - 8)] = static_cast<uint8_t>(rng());
    if (open(bytes) == 0) {
      uint32_t count = static_cast<uint32_t>(file_->audioDataByteCount());
      std::vector<uint8_t> out(count);
      EXPECT_EQ(file_->readBytes(0, count, out.data()),
                count ? 0 : platform::kAudioFileEndOfFileError);
    }
  }
}

TEST_F(SoundLoaderTest, DescriptionsThatDoNotHoldTogetherAreMalformed) {
  const platform::OSStatus malformed = platform::kAudioFileInvalidFileError;
  for (double rate : {1e300, HUGE_VAL, -HUGE_VAL, std::nan(""), 0.0, -8000.0, 1000001.0}) {
    EXPECT_EQ(open(encodeCaf(pcm16({1, 2}, 1, rate))), malformed) << rate;
  }
  EXPECT_EQ(open(encodeCaf(pcm16({1, 2}, 1, 1000000))), 0);

  TestCaf table = pcm16(std::vector<int16_t>(10, 1));
  table.packets = 999999;  // over ten frames of data
  EXPECT_EQ(open(encodeCaf(table)), malformed);
  table.packets = 10;
  EXPECT_EQ(open(encodeCaf(table)), 0);

  const TestCaf ima = ima4(1, 2);
  ASSERT_EQ(open(encodeCaf(ima)), 0);
  TestCaf shape = ima;
  shape.framesPerPacket = 32;
  EXPECT_EQ(open(encodeCaf(shape)), malformed);
  shape = ima;
  shape.bytesPerPacket = 0;
  EXPECT_EQ(open(encodeCaf(shape)), malformed);
  shape = ima;
  shape.bytesPerPacket = 68;  // a stereo packet in a mono file
  EXPECT_EQ(open(encodeCaf(shape)), malformed);
}

TEST_F(SoundLoaderTest, TheLoaderRefusesWhatItCannotPlayAndSaysSoOnOneLineEach) {
  ASSERT_TRUE(audio_.ok());
  std::string messages;
  TestCaf floats = pcm16({1, 2, 3, 4});
  floats.flags = 3;  // little-endian floating point, in 16 bits
  EXPECT_EQ(load(encodeCaf(floats), messages), kSoundEngineUnsupportedFormat);

  TestCaf silent = pcm16({});
  EXPECT_EQ(load(encodeCaf(silent), messages), platform::kAudioFileInvalidFileError);
  TestCaf ima = ima4(1, 1);
  ima.packets = 0;
  EXPECT_EQ(load(encodeCaf(ima), messages), platform::kAudioFileInvalidFileError);

  EXPECT_EQ(load({'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}, messages),
            platform::kAudioFileUnsupportedFileTypeError);
  EXPECT_EQ(messages,
            "Error opening file: 'typ?'\nError opening file: 'typ?'\n"
            "Error loading file info: 'typ?'\n");
  EXPECT_EQ(platform::statusText(platform::kAudioFileInvalidFileError), "'dta?'");
  EXPECT_EQ(platform::statusText(-43), "-43");
  EXPECT_EQ(platform::statusText(4), "4");
}

TEST_F(SoundLoaderTest, BufferFormatsFollowTheTable) {
  EXPECT_EQ(SoundEngineEffect::GetALFormat(format("ima4", 1, 0)), AL_FORMAT_MONO16);
  EXPECT_EQ(SoundEngineEffect::GetALFormat(format("ima4", 2, 0)), AL_FORMAT_STEREO16);
  EXPECT_EQ(SoundEngineEffect::GetALFormat(format("ima4", 3, 0)), AL_FORMAT_STEREO16);
  EXPECT_EQ(SoundEngineEffect::GetALFormat(format("lpcm", 1, 8)), AL_FORMAT_MONO8);
  EXPECT_EQ(SoundEngineEffect::GetALFormat(format("lpcm", 2, 8)), AL_FORMAT_STEREO8);
  EXPECT_EQ(SoundEngineEffect::GetALFormat(format("lpcm", 1, 16)), AL_FORMAT_MONO16);
  EXPECT_EQ(SoundEngineEffect::GetALFormat(format("lpcm", 2, 16)), AL_FORMAT_STEREO16);
  EXPECT_EQ(SoundEngineEffect::GetALFormat(format("lpcm", 1, 24)), 4);
  EXPECT_EQ(SoundEngineEffect::GetALFormat(format("lpcm", 3, 16)), 4);
  EXPECT_EQ(SoundEngineEffect::GetALFormat(format("lpcm", 0, 16)), 4);
  EXPECT_EQ(SoundEngineEffect::GetALFormat(format("aac ", 2, 16)), 4);
}

TEST_F(SoundLoaderTest, LinearPcmIsHandedOverUnchangedAndTheGateKeepsBigEndianWords) {
  ASSERT_TRUE(audio_.ok());
  std::string messages;
  const TestCaf little = pcm16({100, -100, 300});
  EXPECT_EQ(load(encodeCaf(little), messages), 0);
  EXPECT_EQ(pcm_, little.data);

  TestCaf big = little;
  big.flags = 0;
  EXPECT_EQ(load(encodeCaf(big), messages), kSoundEngineUnsupportedFormat);
  EXPECT_EQ(messages, "");

  TestCaf bytes = little;
  bytes.flags = 0;
  bytes.bits = 8;
  bytes.bytesPerPacket = 1;
  EXPECT_EQ(load(encodeCaf(bytes), messages), 0);

  TestCaf wide = little;
  wide.bits = 24;
  wide.bytesPerPacket = 3;
  wide.data.resize(9);
  const OSStatus status = load(encodeCaf(wide), messages);
  EXPECT_NE(status, 0);
  EXPECT_NE(messages.find("Error attaching data to buffer: a"), std::string::npos) << messages;
  EXPECT_EQ(messages.find("\n"), messages.size() - 1) << "one line: " << messages;
}

TEST_F(SoundLoaderTest, Ima4IsDecodedAndItsPacketCountChecked) {
  ASSERT_TRUE(audio_.ok());
  std::string messages;
  TestCaf ima = ima4(2, 3);
  EXPECT_EQ(load(encodeCaf(ima), messages), 0);
  EXPECT_EQ(pcm_.size(), 3u * 256);

  ima.packets = 4;  // one more than the data holds: a damaged file, not an unknown format
  EXPECT_EQ(load(encodeCaf(ima), messages), platform::kAudioFileInvalidFileError);
  ima.packets.reset();
  ima.channels = 3;
  ima.bytesPerPacket = 102;
  EXPECT_EQ(load(encodeCaf(ima), messages), kSoundEngineUnsupportedFormat);
}

TEST_F(SoundLoaderTest, MissingFilesAndBadPathsSayWhereTheyFailed) {
  std::string messages;
  SoundEngineEffect effect("", nullptr, nullptr, false);
  testing::internal::CaptureStdout();
  EXPECT_EQ(effect.LoadFileData("", effect.loopData, effect.loopDataSize, effect.loopBuffer),
            kSoundEngineBadPath);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Error opening file: 3\nError loading file info: 3\n");

  const std::string missing = (folder_.path / "missing.caf").string();
  testing::internal::CaptureStdout();
  EXPECT_EQ(
      effect.LoadFileData(missing.c_str(), effect.loopData, effect.loopDataSize, effect.loopBuffer),
      platform::kAudioFileNotFoundError);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Error opening file: -43\nError opening file: -43\nError loading file info: -43\n");
}
