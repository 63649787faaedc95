// Sound tests' surroundings: a loopback context to listen on and a folder for sound files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "sound/loopback.h"

// A scratch folder for sound files, removed with the object.
struct SoundFolder {
  SoundFolder();
  ~SoundFolder();
  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const;
  std::filesystem::path path;
};
