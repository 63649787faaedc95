// A game's link as the page and `tidewick watch` read it: unpacked, then read as a script.
#include <string>

#include "session/game_link.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string link(reinterpret_cast<const char*>(data), size);
  std::string error, warning;
  if (const auto recording = recordingFromLink(link, error)) {
    readReplayScriptText(*recording, "the link's game", error, warning);
  }
  return 0;
}
