// Draws a view tree, the phone's portrait screen, as the landscape-right screen into the bound
// framebuffer. Used by the display only, with its own context current.
#pragma once

#include "platform/view.h"

namespace platform {

// `smooth` filters the layers' textures when the screen is scaled by a fraction.
void compositeViews(const View& root, bool smooth);

}  // namespace platform
