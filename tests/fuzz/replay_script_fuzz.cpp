// A replay script as the replay command reads it, up to the events it would post.
#include <sstream>
#include <string>

#include "platform/core/json_reading.h"
#include "session/replay.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::string error;
  const nlohmann::json json = platform::readJson(in, error);
  if (!json.is_discarded()) parseReplayScript(json, error);
  return 0;
}
