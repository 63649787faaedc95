// The decoder is one pass of table lookups, shifts and additions.
#include "sound/ima4.h"

#include <algorithm>

const int32_t ima_step_table[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

const int32_t ima_index_table[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

namespace {

constexpr int kBlockBytes = 34;
constexpr int kFramesPerPacket = 64;

}  // namespace

void ima_decompress_packet(const uint8_t* block, int16_t* output, int stride) {
  const unsigned header = (unsigned{block[0]} << 8) | block[1];
  int predictor = static_cast<int16_t>(header & 0xFF80);
  int index = static_cast<int>(header & 0x7F);
  for (int i = 2; i < kBlockBytes; ++i) {
    for (int code : {block[i] & 0x0F, block[i] >> 4}) {
      index = std::clamp(index, 0, 88);
      const int step = ima_step_table[index];
      index += ima_index_table[code];
      int diff = step >> 3;
      if (code & 4) diff += step;
      if (code & 2) diff += step >> 1;
      if (code & 1) diff += step >> 2;
      predictor = std::clamp(code & 8 ? predictor - diff : predictor + diff, -32768, 32767);
      *output = static_cast<int16_t>(predictor);
      output += stride;
    }
  }
}

void ima_decompress(unsigned packets, const platform::AudioStreamBasicDescription& format,
                    const uint8_t* input, int16_t* output) {
  if (format.mChannelsPerFrame == 2) {
    for (unsigned p = 0; p < packets; ++p) {
      ima_decompress_packet(input, output, 2);
      ima_decompress_packet(input + kBlockBytes, output + 1, 2);
      input += 2 * kBlockBytes;
      output += 2 * kFramesPerPacket;
    }
  } else {
    for (unsigned p = 0; p < packets; ++p) {
      ima_decompress_packet(input, output, 1);
      input += kBlockBytes;
      output += kFramesPerPacket;
    }
  }
}
