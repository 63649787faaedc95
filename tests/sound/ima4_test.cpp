// The IMA4 decoder: known blocks, channel interleaving, and files made by another encoder.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <vector>

#include "platform/audio/audio_file.h"
#include "sound/ima4.h"
#include "tests/support/build_paths.h"

namespace {

std::array<uint8_t, 34> block(uint16_t header, uint8_t codes) {
  std::array<uint8_t, 34> b;
  b.fill(codes);
  b[0] = static_cast<uint8_t>(header >> 8);
  b[1] = static_cast<uint8_t>(header & 0xFF);
  return b;
}

std::vector<int16_t> decodeBlock(uint16_t header, uint8_t codes) {
  std::vector<int16_t> out(64);
  ima_decompress_packet(block(header, codes).data(), out.data(), 1);
  return out;
}

std::vector<uint8_t> readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(Ima4Test, KnownBlocksDecodeToKnownSamples) {
  EXPECT_EQ(decodeBlock(0x0000, 0x00), std::vector<int16_t>(64, 0));

  const std::vector<int16_t> rising = decodeBlock(0x0000, 0x77);
  const std::vector<int16_t> start = {11, 41, 104, 240, 533, 1164, 2521, 5431, 11667, 25039};
  EXPECT_EQ(std::vector<int16_t>(rising.begin(), rising.begin() + 10), start);
  EXPECT_EQ(std::vector<int16_t>(rising.begin() + 10, rising.end()),
            std::vector<int16_t>(54, 32767));

  EXPECT_EQ(decodeBlock(0x8000, 0x88), std::vector<int16_t>(64, -32768));

  const std::vector<int16_t> clamped = decodeBlock(0x007F, 0x00);
  EXPECT_EQ(clamped[0], 4095);
  EXPECT_EQ(clamped[1], 7819);
  EXPECT_EQ(clamped[2], 11204);
}

TEST(Ima4Test, StereoPacketsInterleaveLeftAndRight) {
  const auto left = block(0x0000, 0x00), right = block(0x0000, 0x77);
  std::vector<uint8_t> packets;
  for (int p = 0; p < 2; ++p) {
    packets.insert(packets.end(), left.begin(), left.end());
    packets.insert(packets.end(), right.begin(), right.end());
  }
  platform::AudioStreamBasicDescription stereo;
  stereo.mChannelsPerFrame = 2;
  std::vector<int16_t> out(2 * 128, -1);
  ima_decompress(2, stereo, packets.data(), out.data());
  for (int i = 0; i < 128; ++i) EXPECT_EQ(out[2 * i], 0) << i;
  EXPECT_EQ(out[1], 11);
  EXPECT_EQ(out[3], 41);
  EXPECT_EQ(out[129], 11);  // the second packet starts from its own header

  platform::AudioStreamBasicDescription mono;
  mono.mChannelsPerFrame = 1;
  std::vector<int16_t> monoOut(128, -1);
  ima_decompress(2, mono, packets.data(), monoOut.data());
  EXPECT_EQ(monoOut[63], 0);
  EXPECT_EQ(monoOut[64], 11);  // the second block of the data is the second packet
}

// Files encoded by another program (ffmpeg's IMA4 encoder, a sine at 440 Hz, and 660 Hz on the
// right), with that program's own decoding beside them. Its decoder may carry the predictor
// from one packet into the next where ours restarts each block from its header, so the first
// packet must match to the sample and the whole only closely.
TEST(Ima4Test, MatchesAnotherDecoderOnAnotherEncodersFiles) {
  for (const char* name : {"sine-mono", "sine-stereo"}) {
    const std::string base = std::string(build_paths::kTestData) + "/" + name;
    std::unique_ptr<platform::AudioFile> file;
    ASSERT_EQ(platform::AudioFile::open(base + ".caf", file), 0) << name;
    const auto& format = file->dataFormat();
    EXPECT_EQ(format.mFormatID, platform::kAudioFormatAppleIMA4);
    const unsigned channels = format.mChannelsPerFrame;
    const uint64_t packets = file->audioDataPacketCount();
    ASSERT_EQ(file->audioDataByteCount(), packets * 34 * channels);

    std::vector<uint8_t> compressed(file->audioDataByteCount());
    uint32_t bytes = static_cast<uint32_t>(compressed.size());
    ASSERT_EQ(file->readBytes(0, bytes, compressed.data()), 0);
    std::vector<int16_t> ours(packets * 64 * channels);
    ima_decompress(static_cast<unsigned>(packets), format, compressed.data(), ours.data());

    const std::vector<uint8_t> raw = readAll(base + ".ffmpeg.raw");
    ASSERT_EQ(raw.size(), ours.size() * 2) << name;
    std::vector<int16_t> theirs(ours.size());
    std::memcpy(theirs.data(), raw.data(), raw.size());

    for (size_t i = 0; i < 64 * channels; ++i) ASSERT_EQ(ours[i], theirs[i]) << name << " " << i;
    double signal = 0, noise = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
      signal += double(theirs[i]) * theirs[i];
      noise += double(ours[i] - theirs[i]) * (ours[i] - theirs[i]);
    }
    EXPECT_GT(10 * std::log10(signal / std::max(noise, 1.0)), 40) << name;
  }
}
