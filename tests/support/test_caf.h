// Core Audio Format files for the sound tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TestCaf {
  double sampleRate = 22050;
  std::string formatID = "lpcm";
  uint32_t flags = 2;  // the file's own flags: for linear PCM, 2 is little-endian
  uint32_t bytesPerPacket = 2;
  uint32_t framesPerPacket = 1;
  uint32_t channels = 1;
  uint32_t bits = 16;
  std::vector<uint8_t> data = {};
  std::optional<int64_t> packets = {};  // writes a packet table chunk
  bool openEnded = false;               // a data size of -1: to the end of the file
};

// Mono or interleaved 16-bit little-endian PCM.
TestCaf pcm16(const std::vector<int16_t>& samples, uint32_t channels = 1, double rate = 22050);
std::vector<uint8_t> encodeCaf(const TestCaf& caf);
