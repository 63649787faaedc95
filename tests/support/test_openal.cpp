// A scratch folder for the sound tests' files.
#include "tests/support/test_openal.h"

#include <unistd.h>

#include <fstream>

SoundFolder::SoundFolder()
    : path(std::filesystem::temp_directory_path() /
           ("tidewick-sound-" + std::to_string(::getpid()))) {
  std::filesystem::create_directories(path);
}

SoundFolder::~SoundFolder() {
  std::filesystem::remove_all(path);
}

std::string SoundFolder::write(const std::string& name, const std::vector<uint8_t>& bytes) const {
  const std::string file = (path / name).string();
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return file;
}
