// Runs a fuzz target over the files it is given (or every file of the folders it is given), once
// each, as libFuzzer would replay a corpus: how the ordinary builds test every kept input.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/fuzz/fuzz_input.h"

namespace {

void runFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path given = argv[i];
    if (std::filesystem::is_directory(given)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(given)) {
        if (!entry.is_regular_file()) continue;
        runFile(entry.path());
        ++inputs;
      }
    } else {
      runFile(given);
      ++inputs;
    }
  }
  std::fprintf(stderr, "corpus: %d inputs ran\n", inputs);
  return inputs > 0 ? 0 : 1;
}
