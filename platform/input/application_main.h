// The application's life on the desktop: the window, its input and the main loop.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/core/application.h"
#include "platform/screen/display.h"

namespace platform {

// Opens the display, reads the controls from `controlsFile` (see controls.h), makes the
// delegate, sends it the launch notice and runs the main loop on the real clock until the
// window is closed; the delegate goes before the display does. Answers the process's exit
// status (1 when no display could be opened).
int applicationMain(const std::function<std::unique_ptr<ApplicationDelegate>()>& makeDelegate,
                    const DisplayOptions& options, const std::filesystem::path& controlsFile);

}  // namespace platform
