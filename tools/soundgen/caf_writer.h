// Writes sounds as Core Audio Format files: 16-bit little-endian linear PCM, or IMA4 in packets
// of 64 frames (one 34-byte block per channel).
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

enum class CafFormat { Pcm16, Ima4 };

// `samples` are interleaved frames of `channels` channels (1 or 2). IMA4 pads the last packet
// with silence. False when the file cannot be written.
bool writeCaf(const std::filesystem::path& path, CafFormat format, unsigned channels,
              double sampleRate, const std::vector<int16_t>& samples);
