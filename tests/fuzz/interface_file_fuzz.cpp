// The interface file: the checker, then the loader building the window and its views (the GL
// view on a headless display) for a game delegate.
#include "app/interface_file.h"
#include "app/saltmere_app_delegate.h"
#include "platform/screen/display.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Kept open to the end of the process: a display closed at exit unloads the GL driver, whose
  // own allocations the leak checker could then no longer name.
  static const platform::Display* display =
      platform::Display::open({.scale = 1, .headless = true}).release();
  (void)display;
  const std::filesystem::path folder = writeInput(data, size, kInterfaceFile).parent_path();
  checkInterfaceFile(folder);
  SaltmereAppDelegate delegate;
  loadInterfaceFile(folder, delegate);
  return 0;
}
