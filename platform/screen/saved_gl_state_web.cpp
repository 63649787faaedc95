// Saving the game's GL state around the compositor's drawing, through emscripten's emulation of
// GL ES 1.1, which answers for the matrices and the texture environment itself.
#include "platform/screen/saved_gl_state.h"

namespace platform {
namespace {

// WebGL answers the blend factors by their GL ES 2 names only.
constexpr GLenum kBlendSource = 0x80C9, kBlendDestination = 0x80C8;

}  // namespace

SavedGLState::SavedGLState() {
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &framebuffer_);
  glGetIntegerv(GL_VIEWPORT, viewport_);
  glGetIntegerv(GL_SCISSOR_BOX, scissor_);
  scissorTest_ = glIsEnabled(GL_SCISSOR_TEST);
  blend_ = glIsEnabled(GL_BLEND);
  glGetIntegerv(kBlendSource, &blendSource_);
  glGetIntegerv(kBlendDestination, &blendDestination_);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &textureMode_);
  glGetIntegerv(GL_MATRIX_MODE, &matrixMode_);
  glGetFloatv(GL_PROJECTION_MATRIX, projection_);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView_);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture_);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment_);
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor_);
}

SavedGLState::~SavedGLState() {
  oes::glBindFramebufferOES(GL_FRAMEBUFFER_OES, static_cast<GLuint>(framebuffer_));
  glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
  glScissor(scissor_[0], scissor_[1], scissor_[2], scissor_[3]);
  scissorTest_ ? glEnable(GL_SCISSOR_TEST) : glDisable(GL_SCISSOR_TEST);
  blend_ ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
  glBlendFunc(static_cast<GLenum>(blendSource_), static_cast<GLenum>(blendDestination_));
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, textureMode_);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(projection_);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(modelView_);
  glMatrixMode(static_cast<GLenum>(matrixMode_));
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture_));
  glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment_);
  glClearColor(clearColor_[0], clearColor_[1], clearColor_[2], clearColor_[3]);
  glColor4f(1, 1, 1, 1);
}

}  // namespace platform
