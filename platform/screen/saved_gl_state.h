// The page has one WebGL context for the compositor and the game alike: the compositor keeps the
// state the game draws with (some of it set once, at launch) and gives it back when it is done.
#pragma once

#include "platform/graphics/gl.h"

namespace platform {

// Reads the state on making, sets it again on going. The current colour cannot be read back: it
// goes back to GL's initial white, which the game never changes.
class SavedGLState {
 public:
  SavedGLState();
  ~SavedGLState();
  SavedGLState(const SavedGLState&) = delete;
  SavedGLState& operator=(const SavedGLState&) = delete;

 private:
  GLint framebuffer_ = 0, viewport_[4] = {}, scissor_[4] = {};
  GLboolean scissorTest_ = GL_FALSE, blend_ = GL_FALSE;
  GLint blendSource_ = GL_ONE, blendDestination_ = GL_ZERO, textureMode_ = GL_MODULATE;
  GLint matrixMode_ = GL_MODELVIEW, texture_ = 0, unpackAlignment_ = 4;
  GLfloat projection_[16] = {}, modelView_[16] = {}, clearColor_[4] = {};
};

}  // namespace platform
