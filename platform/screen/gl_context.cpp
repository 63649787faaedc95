// GL contexts as drawing states over the display's one GL context. A present copies the
// renderbuffer into its layer's texture, which the compositor then shows.
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

GLint boundRenderbuffer() {
  GLint renderbuffer = 0;
  glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer);
  return renderbuffer;
}

}  // namespace

GLLayer::GLLayer() {
  sLayers.push_back(this);
}

GLLayer::~GLLayer() {
  release();
  std::erase(sLayers, this);
}

void GLLayer::release() {
  retireTexture();
  dropRetiredTexture();
}

// The texture on show is kept as the retired one; a texture never presented (the storage was
// rebuilt twice between presents) is deleted at once.
void GLLayer::retireTexture() {
  if (retiredTexture_ == 0) {
    retiredTexture_ = texture_;
  } else if (texture_ && Display::shared()) {
    Display::shared()->deleteTexture(texture_);
  }
  texture_ = 0;
  context_ = nullptr;
  renderbuffer_ = 0;
}

void GLLayer::dropRetiredTexture() {
  if (retiredTexture_ && Display::shared()) Display::shared()->deleteTexture(retiredTexture_);
  retiredTexture_ = 0;
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
  const GLint renderbuffer = boundRenderbuffer();
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
  // one it replaces still shows until this storage is first presented.
  layer->retireTexture();
  const int textureWidth = static_cast<int>(std::bit_ceil(static_cast<unsigned>(width)));
  const int textureHeight = static_cast<int>(std::bit_ceil(static_cast<unsigned>(height)));
  layer->texture_ = Renderer::shared().newTexture(GL_NEAREST, GL_CLAMP_TO_EDGE);
  if (rgb565) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, textureWidth, textureHeight, 0, GL_RGB,
                 GL_UNSIGNED_SHORT_5_6_5, nullptr);
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureWidth, textureHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
  }
  layer->context_ = this;
  layer->renderbuffer_ = static_cast<GLuint>(renderbuffer);
  layer->width_ = width;
  layer->height_ = height;
  layer->textureWidth_ = textureWidth;
  layer->textureHeight_ = textureHeight;
  return true;
}

bool GLContext::presentRenderbuffer(GLenum target) {
  const GLint renderbuffer = boundRenderbuffer();
  if (target != GL_RENDERBUFFER || renderbuffer == 0 || sCurrent != this) return false;
  auto found = std::find_if(sLayers.begin(), sLayers.end(), [&](GLLayer* layer) {
    return layer->context_ == this && layer->renderbuffer_ == static_cast<GLuint>(renderbuffer);
  });
  if (found == sLayers.end()) return false;
  GLLayer& layer = **found;
  Renderer& renderer = Renderer::shared();
  if (!copyFramebuffer_) glGenFramebuffers(1, &copyFramebuffer_);
  renderer.bindFramebuffer(copyFramebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                            layer.renderbuffer_);
  renderer.bindTexture(layer.texture_);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, layer.width_, layer.height_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, 0);
  // GL's bottom row is the bottom of the layer.
  layer.setContents({layer.texture_, 0, static_cast<float>(layer.height_) / layer.textureHeight_,
                     static_cast<float>(layer.width_) / layer.textureWidth_, 0,
                     layer.drawableProperties().colorFormat == ColorFormat::RGB565});
  layer.dropRetiredTexture();
  return true;
}

}  // namespace platform
