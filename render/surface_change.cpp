// The game's side of a rebuilt GL surface: the viewport covers the new pixels, the art is
// reloaded when the surface's scale wants another density, and the picture on show is painted
// again so the window never shows an empty frame: in a game, paused or not, and behind its
// game-over screen.
#include "app/saltmere_app_delegate.h"
#include "platform/graphics/renderer.h"

void SaltmereAppDelegate::didResizeEAGLSurfaceForView(MyEAGLView* view) {
  const platform::Size size = view->surfaceSize();
  platform::DrawState& state = platform::Renderer::shared().state();
  state.framebuffer = view->framebuffer();
  state.viewport = {0, 0, static_cast<GLsizei>(size.width), static_cast<GLsizei>(size.height)};
  const Texture2D* background = _textures[kTextureSeaBackground].get();
  if (!background) return;  // the launch has not loaded the art yet
  if (platform::densityForScale(surfaceScale()) != background->scale()) {
    loadTextures();
  } else {
    matchTextureFiltering();
  }
  if (_state != kGameStateStopped || (blackView && !blackView->isHidden())) {
    scenePresenter.repaint();
  }
}

// The background is drawn pixel for pixel when its density is the surface's scale: nearest
// filtering keeps it exact. At any other scale it is filtered.
void SaltmereAppDelegate::matchTextureFiltering() {
  const Texture2D* background = _textures[kTextureSeaBackground].get();
  if (!background) return;
  platform::Renderer::shared().setTextureFilter(
      background->name(), background->scale() == surfaceScale() ? GL_NEAREST : GL_LINEAR);
}
