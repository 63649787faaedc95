// The game's side of a rebuilt GL surface: the viewport covers the new pixels, the art is
// reloaded when the surface's scale wants another density, and the picture on show is painted
// again so the window never shows an empty frame.
#include "app/saltmere_app_delegate.h"

void SaltmereAppDelegate::didResizeEAGLSurfaceForView(MyEAGLView* view) {
  const platform::Size size = view->surfaceSize();
  oes::glBindFramebufferOES(GL_FRAMEBUFFER_OES, view->framebuffer());
  glViewport(0, 0, static_cast<GLsizei>(size.width), static_cast<GLsizei>(size.height));
  glScissor(0, 0, static_cast<GLsizei>(size.width), static_cast<GLsizei>(size.height));
  const Texture2D* background = _textures[kTextureSeaBackground].get();
  if (!background) return;  // the launch has not loaded the art yet
  if (platform::densityForScale(surfaceScale()) != background->scale()) {
    loadTextures();
  } else {
    matchTextureFiltering();
  }
  if (isActiveTimer(kRenderSceneTimer)) scenePresenter.repaint();
}

// The background is drawn pixel for pixel when its density is the surface's scale: nearest
// filtering keeps it exact. At any other scale it is filtered. It is left bound.
void SaltmereAppDelegate::matchTextureFiltering() {
  const Texture2D* background = _textures[kTextureSeaBackground].get();
  if (!background) return;
  const GLint filter = background->scale() == surfaceScale() ? GL_NEAREST : GL_LINEAR;
  glBindTexture(GL_TEXTURE_2D, background->name());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}
