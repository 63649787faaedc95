// Writes the benchmarks' CAF files chunk by chunk, big-endian as the format wants.
#include "bench/bench_sounds.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>

namespace {

void put(std::ofstream& out, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.put(static_cast<char>(value >> (8 * i)));
}

}  // namespace

// A CAF file of `seconds` of 22050 Hz sound, IMA4 or 16-bit PCM, mono or stereo.
void writeSound(const std::filesystem::path& path, bool ima4, unsigned channels, double seconds) {
  std::ofstream out(path, std::ios::binary);
  out.write("caff\0\1\0\0", 8);
  out.write("desc", 4);
  put(out, 32, 8);
  const double rate = 22050;
  uint64_t rateBits;
  std::memcpy(&rateBits, &rate, 8);
  put(out, rateBits, 8);
  out.write(ima4 ? "ima4" : "lpcm", 4);
  const uint32_t bytesPerPacket = ima4 ? 34 * channels : 2 * channels;
  for (uint32_t field :
       {ima4 ? 0u : 2u, bytesPerPacket, ima4 ? 64u : 1u, channels, ima4 ? 0u : 16u}) {
    put(out, field, 4);
  }
  const uint64_t packets = static_cast<uint64_t>(rate * seconds) / (ima4 ? 64 : 1);
  out.write("data", 4);
  put(out, packets * bytesPerPacket + 4, 8);
  put(out, 0, 4);
  std::mt19937 rng(3);
  for (uint64_t i = 0; i < packets * bytesPerPacket; ++i) out.put(static_cast<char>(rng() & 0x77));
}
