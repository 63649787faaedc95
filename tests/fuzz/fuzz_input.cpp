// The scratch file the path-taking readers are fuzzed through.
#include "tests/fuzz/fuzz_input.h"

#include <fstream>

#include "tests/support/scratch.h"

std::filesystem::path writeInput(const uint8_t* data, size_t size, const char* name) {
  static const std::filesystem::path folder = [] {
    const std::filesystem::path made = scratchPath("fuzz");
    std::filesystem::create_directories(made);
    return made;
  }();
  const std::filesystem::path path = folder / name;
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}
