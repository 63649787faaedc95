// The stored defaults file: read, every key read back as both kinds, one value written.
#include "platform/core/user_defaults.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path path = writeInput(data, size, "defaults.json");
  platform::UserDefaults defaults(path);
  for (const char* key : {"score", "level", "music", "effects", "achievements"}) {
    defaults.integerForKey(key);
    defaults.floatForKey(key);
  }
  defaults.setInteger(1, "level");
  // A damaged file was moved aside: the next input starts from a clean folder.
  for (const auto& entry : std::filesystem::directory_iterator(path.parent_path())) {
    if (entry.path().filename().string().starts_with("defaults.json.corrupt-")) {
      std::filesystem::remove(entry.path());
    }
  }
  return 0;
}
