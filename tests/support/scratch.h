// Scratch files for tests: named for the test and the process, so that two runs of the suite on
// one machine never share them.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

inline std::filesystem::path scratchPath(const std::string& name) {
  return std::filesystem::temp_directory_path() /
         ("tidewick-" + name + "-" + std::to_string(::getpid()));
}
