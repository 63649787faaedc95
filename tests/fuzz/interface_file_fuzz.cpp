// The interface file: the checker, then the loader building the window and its views (the GL
// view on a headless display) for a game delegate.
#include "app/interface_file.h"
#include "app/saltmere_app_delegate.h"
#include "platform/screen/display.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::unique_ptr<platform::Display> display =
      platform::Display::open({.scale = 1, .headless = true});
  const std::filesystem::path folder = writeInput(data, size, kInterfaceFile).parent_path();
  checkInterfaceFile(folder);
  SaltmereAppDelegate delegate;
  loadInterfaceFile(folder, delegate);
  return 0;
}
