// PNG files of every kind for the decoding tests, written with libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TestPng {
  int colorType;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  int width = 1, height = 1;
  // One 8-bit value a channel (a palette index for palette images), rows top first; 16-bit
  // files get each value times 257.
  std::vector<uint8_t> samples = {};
  std::vector<uint8_t> palette = {};       // R, G, B a colour
  std::vector<uint8_t> transparency = {};  // palette alphas, or the transparent grey or RGB
};

std::vector<uint8_t> encodePng(const TestPng& png);
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
