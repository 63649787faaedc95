// GL contexts and the layer they draw for: a context's renderbuffer takes its storage from a
// layer, and presenting it makes the finished frame that layer's picture on screen.
#pragma once

#include <memory>

#include "platform/graphics/gl.h"
#include "platform/graphics/renderer.h"
#include "platform/screen/view.h"

namespace platform {

class GLContext;

enum class RenderingAPI { OpenGLES2 = 2 };
enum class ColorFormat { RGB565, RGBA8 };

struct DrawableProperties {
  // A retained drawable would keep its pixels across presents; ours never does.
  bool retainedBacking = false;
  ColorFormat colorFormat = ColorFormat::RGBA8;
};

class GLLayer : public Layer {
 public:
  GLLayer();
  ~GLLayer() override;

  void setDrawableProperties(const DrawableProperties& properties) { properties_ = properties; }
  const DrawableProperties& drawableProperties() const { return properties_; }
  // Pixels a point of the storage a context gives this layer: the window's own scale, so that
  // the drawing is as sharp as the screen. Not positive counts as 1.
  void setContentsScale(float scale) { contentsScale_ = scale > 0 ? scale : 1; }
  float contentsScale() const { return contentsScale_; }

 private:
  friend class GLContext;
  // Drawn straight onto the target when opaque, covering it, at its pixels; else into the
  // renderbuffer and copied into the texture the compositor shows.
  bool composite(bool coversTarget) override;
  void updateTexture();
  void showTexture();
  void dropStorage();
  void release();

  DrawableProperties properties_;
  float contentsScale_ = 1;
  // The renderbuffer whose frames this layer shows, and the texture that holds one when the
  // compositor needs it as pixels.
  GLContext* context_ = nullptr;
  GLuint renderbuffer_ = 0;
  int width_ = 0, height_ = 0;
  GLuint texture_ = 0;
  int textureWidth_ = 0, textureHeight_ = 0;
  // The last frame presented, kept as drawing. It outlives a rebuilt storage, drawn at the new
  // size until the first new frame: a rebuilt surface never flashes empty.
  Recording shown_;
  bool textureCurrent_ = false;
};

class GLContext {
 public:
  // A new context for `api`; null without an open display. Every context draws through the
  // display's one GL context, each with a drawing state of its own.
  static std::unique_ptr<GLContext> create(RenderingAPI api);
  ~GLContext();
  GLContext(const GLContext&) = delete;
  GLContext& operator=(const GLContext&) = delete;

  RenderingAPI api() const { return api_; }

  // Makes `context` current on the main thread (null: none); false without a display.
  static bool setCurrentContext(GLContext* context);
  static GLContext* currentContext();

  // Gives the renderbuffer bound to `target` storage for the layer: its bounds times its contents
  // scale in pixels, rounded, in its colour format. This context must be current.
  bool renderbufferStorage(GLenum target, GLLayer* layer);
  // Shows the renderbuffer bound to `target` as its layer's content. This context must be current.
  bool presentRenderbuffer(GLenum target);

 private:
  friend class GLLayer;
  explicit GLContext(RenderingAPI api) : api_(api) {}

  RenderingAPI api_;
  DrawState drawState_;
  GLuint copyFramebuffer_ = 0;  // draws a presented frame into its renderbuffer, to be copied
};

}  // namespace platform
