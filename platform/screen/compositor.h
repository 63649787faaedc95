// Draws a view tree, the phone's portrait screen, as the landscape-right screen into the bound
// framebuffer. Used by the display only, with its own context current.
#pragma once

#include "platform/screen/view.h"

namespace platform {

// `smooth` filters the layers' textures when the screen is scaled by a fraction; views that
// draw their own contents are drawn at `scale` pixels a point.
void compositeViews(View& root, bool smooth, float scale);

}  // namespace platform
