// What the fuzz targets share: the entry point libFuzzer calls, and the input written to a
// scratch file for the readers that take a path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// The input as the file `name` in this process's scratch folder; the same path every time.
std::filesystem::path writeInput(const uint8_t* data, size_t size, const char* name);
