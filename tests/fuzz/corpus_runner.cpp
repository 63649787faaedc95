// Runs a fuzz target over the files it is given (or every file of the folders it is given), once
// each, as libFuzzer would replay a corpus: how the ordinary builds test every kept input.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/fuzz/fuzz_input.h"

namespace {

bool runFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return true;
}

// The inputs a path given holds: itself, or every file under it. None (a path moved, a folder
// emptied, a file that cannot be read) fails the run: kept inputs must not vanish unnoticed.
int runPath(const std::filesystem::path& given) {
  std::error_code error;
  if (!std::filesystem::is_directory(given, error)) return runFile(given) ? 1 : 0;
  int inputs = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(given)) {
    if (!entry.is_regular_file()) continue;
    if (!runFile(entry.path())) return 0;
    ++inputs;
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    const int ran = runPath(argv[i]);
    if (ran == 0) {
      std::fprintf(stderr, "corpus: %s holds no input that can be read\n", argv[i]);
      return 1;
    }
    inputs += ran;
  }
  std::fprintf(stderr, "corpus: %d inputs ran\n", inputs);
  return inputs > 0 ? 0 : 1;
}
