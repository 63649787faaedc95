// Writes CAF files chunk by chunk, big-endian as the format wants.
#include "tests/support/test_caf.h"

#include <cstring>

namespace {

void put(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void chunk(std::vector<uint8_t>& out, const char* type, int64_t size) {
  // Byte by byte: GCC 12 warns of a copy out of bounds, wrongly, when the four are inserted at
  // once.
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(type[i]));
  put(out, static_cast<uint64_t>(size), 8);
}

}  // namespace

TestCaf pcm16(const std::vector<int16_t>& samples, uint32_t channels, double rate) {
  TestCaf caf;
  caf.sampleRate = rate;
  caf.channels = channels;
  caf.bytesPerPacket = 2 * channels;
  for (int16_t sample : samples) {
    caf.data.push_back(static_cast<uint8_t>(sample & 0xFF));
    caf.data.push_back(static_cast<uint8_t>((sample >> 8) & 0xFF));
  }
  return caf;
}

std::vector<uint8_t> encodeCaf(const TestCaf& caf) {
  std::vector<uint8_t> out = {'c', 'a', 'f', 'f', 0, 1, 0, 0};
  chunk(out, "desc", 32);
  uint64_t rate;
  std::memcpy(&rate, &caf.sampleRate, 8);
  put(out, rate, 8);
  out.insert(out.end(), caf.formatID.begin(), caf.formatID.begin() + 4);
  for (uint32_t field :
       {caf.flags, caf.bytesPerPacket, caf.framesPerPacket, caf.channels, caf.bits}) {
    put(out, field, 4);
  }
  chunk(out, "free", 3);
  out.insert(out.end(), {0, 0, 0});
  if (caf.packets) {
    chunk(out, "pakt", 24);
    put(out, static_cast<uint64_t>(*caf.packets), 8);
    put(out, static_cast<uint64_t>(*caf.packets) * caf.framesPerPacket, 8);
    put(out, 0, 8);
  }
  chunk(out, "data", caf.openEnded ? -1 : static_cast<int64_t>(caf.data.size() + 4));
  put(out, 0, 4);  // edit count
  out.insert(out.end(), caf.data.begin(), caf.data.end());
  return out;
}
