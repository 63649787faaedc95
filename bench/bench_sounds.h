// Sound files for the benchmarks: CAF files of noise, as long and in the formats the game's are.
#pragma once

#include <filesystem>

// A CAF file of `seconds` of 22050 Hz sound, IMA4 or 16-bit PCM, mono or stereo.
void writeSound(const std::filesystem::path& path, bool ima4, unsigned channels, double seconds);
