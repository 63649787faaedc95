// IMA ADPCM encoding into IMA4 packets: each packet holds 64 frames, one 34-byte block per
// channel (a 2-byte header with the predictor's top 9 bits and the step index, then 32 bytes of
// 4-bit codes, the low nibble first).
#pragma once

#include <cstdint>
#include <vector>

inline constexpr unsigned kIma4BlockBytes = 34;
inline constexpr unsigned kIma4FramesPerPacket = 64;

// `samples` are interleaved frames of `channels` channels; the last packet is padded with zeros.
std::vector<uint8_t> ima4Encode(const std::vector<int16_t>& samples, unsigned channels);
