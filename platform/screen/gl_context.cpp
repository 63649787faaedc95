// GL contexts as drawing states over the display's one GL context. Drawing into a layer's
// renderbuffer is held back, and a present makes it the layer's picture: the compositor draws it
// straight onto the screen, or has it drawn into the renderbuffer and copied into a texture.
#include "platform/screen/gl_context.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/screen/display.h"

namespace platform {
namespace {

GLContext* sCurrent = nullptr;
std::vector<GLLayer*> sLayers;

}  // namespace

GLLayer::GLLayer() {
  sLayers.push_back(this);
}

GLLayer::~GLLayer() {
  release();
  std::erase(sLayers, this);
}

bool GLLayer::composite(bool coversTarget) {
  if (!context_ || shown_.empty()) return false;
  Renderer& renderer = Renderer::shared();
  const PixelBox target = renderer.state().viewport;
  if (coversTarget && contents().opaque && target.width == width_ && target.height == height_) {
    renderer.drawStraight(shown_);
    return true;
  }
  updateTexture();
  return false;
}

void GLLayer::updateTexture() {
  if (textureCurrent_) return;
  Renderer& renderer = Renderer::shared();
  GLuint& framebuffer = context_->copyFramebuffer_;
  if (!framebuffer) glGenFramebuffers(1, &framebuffer);
  renderer.bindFramebuffer(framebuffer);
  renderer.attachRenderbuffer(renderbuffer_);
  renderer.drawInto(shown_, framebuffer);
  renderer.bindTexture(texture_);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width_, height_);
  renderer.attachRenderbuffer(0);
  textureCurrent_ = true;
}

// GL's bottom row is the bottom of the layer.
void GLLayer::showTexture() {
  setContents({texture_, 0, static_cast<float>(height_) / textureHeight_,
               static_cast<float>(width_) / textureWidth_, 0,
               properties_.colorFormat == ColorFormat::RGB565});
}

// The storage's texture and held drawing go; the frame last presented stays.
void GLLayer::dropStorage() {
  if (Display::shared()) {
    Renderer::shared().stopHolding(renderbuffer_);
    Renderer::shared().deleteTexture(texture_);
  }
  texture_ = 0;
  context_ = nullptr;
  renderbuffer_ = 0;
  textureCurrent_ = false;
}

void GLLayer::release() {
  dropStorage();
  shown_ = {};
}

std::unique_ptr<GLContext> GLContext::create(RenderingAPI api) {
  if (!Display::shared() || api != RenderingAPI::OpenGLES2) return nullptr;
  return std::unique_ptr<GLContext>(new GLContext(api));
}

GLContext::~GLContext() {
  for (GLLayer* layer : sLayers) {
    if (layer->context_ == this) layer->release();
  }
  if (Display::shared()) Renderer::shared().deleteFramebuffer(copyFramebuffer_);
  if (sCurrent == this) setCurrentContext(nullptr);
}

bool GLContext::setCurrentContext(GLContext* context) {
  if (!Display::shared()) return false;
  sCurrent = context;
  Renderer::shared().use(context ? &context->drawState_ : nullptr);
  return true;
}

GLContext* GLContext::currentContext() {
  return sCurrent;
}

bool GLContext::renderbufferStorage(GLenum target, GLLayer* layer) {
  const GLuint renderbuffer = Renderer::shared().boundRenderbuffer();
  if (!layer || target != GL_RENDERBUFFER || renderbuffer == 0 || sCurrent != this) {
    return false;
  }
  // Sizes are checked against the driver's limit while still floats: a frame of 1e30 points
  // must not reach an integer conversion.
  const Size bounds = layer->bounds().size;
  const Size size = {bounds.width * layer->contentsScale(), bounds.height * layer->contentsScale()};
  GLint largest = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
  const float roundedWidth = std::round(size.width), roundedHeight = std::round(size.height);
  if (!(roundedWidth >= 1 && roundedWidth <= static_cast<float>(largest) && roundedHeight >= 1 &&
        roundedHeight <= static_cast<float>(largest))) {
    return false;
  }
  const int width = static_cast<int>(roundedWidth), height = static_cast<int>(roundedHeight);

  const bool rgb565 = layer->drawableProperties().colorFormat == ColorFormat::RGB565;
  // An error left over from earlier calls must not be taken for this one's.
  while (glGetError() != GL_NO_ERROR) {
  }
  glRenderbufferStorage(target, rgb565 ? GL_RGB565 : GL_RGBA8_OES, width, height);
  if (glGetError() != GL_NO_ERROR) return false;

  // The layer's texture holds presented frames, power-of-two sized as the phone's were. The
  // frame last presented shows, drawn at the new size, until this storage is first presented.
  Renderer& renderer = Renderer::shared();
  const bool showing = layer->contents().texture != 0;
  layer->dropStorage();
  const int textureWidth = static_cast<int>(std::bit_ceil(static_cast<unsigned>(width)));
  const int textureHeight = static_cast<int>(std::bit_ceil(static_cast<unsigned>(height)));
  layer->texture_ = renderer.newTexture(GL_NEAREST, GL_CLAMP_TO_EDGE);
  if (rgb565) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, textureWidth, textureHeight, 0, GL_RGB,
                 GL_UNSIGNED_SHORT_5_6_5, nullptr);
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureWidth, textureHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
  }
  layer->context_ = this;
  layer->renderbuffer_ = renderbuffer;
  layer->width_ = width;
  layer->height_ = height;
  layer->textureWidth_ = textureWidth;
  layer->textureHeight_ = textureHeight;
  renderer.holdDrawingInto(layer->renderbuffer_);
  if (showing) layer->showTexture();
  return true;
}

bool GLContext::presentRenderbuffer(GLenum target) {
  const GLuint renderbuffer = Renderer::shared().boundRenderbuffer();
  if (target != GL_RENDERBUFFER || renderbuffer == 0 || sCurrent != this) return false;
  auto found = std::find_if(sLayers.begin(), sLayers.end(), [&](GLLayer* layer) {
    return layer->context_ == this && layer->renderbuffer_ == renderbuffer;
  });
  if (found == sLayers.end()) return false;
  GLLayer& layer = **found;
  // A present with nothing drawn since the last shows that frame again.
  if (Renderer::shared().takeDrawing(layer.renderbuffer_, layer.shown_)) {
    layer.textureCurrent_ = false;
  }
  layer.showTexture();
  return true;
}

}  // namespace platform
