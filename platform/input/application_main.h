// The application's life on the desktop: the window, its input and the main loop.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/core/application.h"
#include "platform/screen/display.h"

namespace platform {

// What the caller does around the delegate's life: once it has launched with its whole bundle (in
// the page, whose bundle comes in two parts, when the rest is in), and once the window has closed
// (everything due by then delivered, the clock at the time of the quit) before it goes.
struct SessionHooks {
  std::function<void()> launched;
  std::function<void(double quitTime)> ended;
};

// Opens the display, reads the controls from `controlsFile` (see controls.h), makes the
// delegate, sends it the launch notice at the clock's 0 and runs the main loop paced by the
// machine's clock until the window is closed; the delegate goes before the display does.
// Answers the process's exit status (1 when no display could be opened). In the page the loop is
// the browser's: this returns 0 once it is set going, and the game goes on until the page closes.
int applicationMain(const std::function<std::unique_ptr<ApplicationDelegate>()>& makeDelegate,
                    const DisplayOptions& options, const std::filesystem::path& controlsFile,
                    const SessionHooks& hooks = {});

}  // namespace platform
