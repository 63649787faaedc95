// GL contexts in the display's share group. A present copies the renderbuffer into its layer's
// texture, which the compositor's context then shows; the game's GL state is saved around it. The
// page has one context, always current: every GLContext there stands for it.
#include "platform/screen/gl_context.h"

#include <SDL2/SDL.h>

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

// Restores, on leaving, the bindings a present or a storage allocation has to change.
class SavedBindings {
 public:
  SavedBindings() {
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &framebuffer_);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture_);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture_);
  }
  ~SavedBindings() {
    glBindTexture(GL_TEXTURE_2D, texture_);
    glActiveTexture(activeTexture_);
    oes::glBindFramebufferOES(GL_FRAMEBUFFER_OES, framebuffer_);
  }
  SavedBindings(const SavedBindings&) = delete;
  SavedBindings& operator=(const SavedBindings&) = delete;

 private:
  GLint framebuffer_ = 0, activeTexture_ = GL_TEXTURE0, texture_ = 0;
};

GLint boundRenderbuffer() {
  GLint renderbuffer = 0;
  glGetIntegerv(GL_RENDERBUFFER_BINDING_OES, &renderbuffer);
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
  Display* display = Display::shared();
  if (!display || api != RenderingAPI::OpenGLES1) return nullptr;
#ifdef __EMSCRIPTEN__
  // The page's one context is everybody's.
  SDL_GLContext handle = display->compositorContext();
#else
  SDL_Window* window = display->sdlWindow();
  SDL_GLContext previous = SDL_GL_GetCurrentContext();
  // A new context shares with the current one: make that the compositor's.
  SDL_GL_MakeCurrent(window, display->compositorContext());
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
  SDL_GLContext handle = SDL_GL_CreateContext(window);
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
  SDL_GL_MakeCurrent(window, previous);
#endif
  if (!handle) {
    std::fprintf(stderr, "tidewick: cannot create a GL context: %s\n", SDL_GetError());
    return nullptr;
  }
  return std::unique_ptr<GLContext>(new GLContext(api, handle));
}

GLContext::~GLContext() {
  for (GLLayer* layer : sLayers) {
    if (layer->context_ == this) layer->release();
  }
  Display* display = Display::shared();
  if (display && copyFramebuffer_) {
    GLContext* previous = sCurrent;
    setCurrentContext(this);
    oes::glDeleteFramebuffersOES(1, &copyFramebuffer_);
    setCurrentContext(previous == this ? nullptr : previous);
  }
  if (sCurrent == this) setCurrentContext(nullptr);
#ifndef __EMSCRIPTEN__
  SDL_GL_DeleteContext(handle_);
#endif
}

bool GLContext::setCurrentContext(GLContext* context) {
  Display* display = Display::shared();
  if (!display) return false;
#ifndef __EMSCRIPTEN__
  if (SDL_GL_MakeCurrent(display->sdlWindow(), context ? context->handle_ : nullptr) != 0) {
    return false;
  }
#endif
  sCurrent = context;
  return true;
}

GLContext* GLContext::currentContext() {
  return sCurrent;
}

bool GLContext::renderbufferStorage(GLenum target, GLLayer* layer) {
  using namespace oes;
  const GLint renderbuffer = boundRenderbuffer();
  if (!layer || target != GL_RENDERBUFFER_OES || renderbuffer == 0 || sCurrent != this) {
    return false;
  }
  // Sizes are checked against the driver's limit while still floats: a frame of 1e30 points
  // must not reach an integer conversion.
  const Size bounds = layer->bounds().size;
  const Size size = {bounds.width * layer->contentsScale(), bounds.height * layer->contentsScale()};
  GLint largest = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_OES, &largest);
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
  glRenderbufferStorageOES(target, rgb565 ? GL_RGB565_OES : GL_RGBA8_OES, width, height);
  if (glGetError() != GL_NO_ERROR) return false;

  // The layer's texture holds presented frames; textures in GL ES 1.1 are powers of two. The
  // one it replaces still shows until this storage is first presented.
  layer->retireTexture();
  const int textureWidth = static_cast<int>(std::bit_ceil(static_cast<unsigned>(width)));
  const int textureHeight = static_cast<int>(std::bit_ceil(static_cast<unsigned>(height)));
  {
    SavedBindings saved;
    glGenTextures(1, &layer->texture_);
    glBindTexture(GL_TEXTURE_2D, layer->texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    if (rgb565) {
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, textureWidth, textureHeight, 0, GL_RGB,
                   GL_UNSIGNED_SHORT_5_6_5, nullptr);
    } else {
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureWidth, textureHeight, 0, GL_RGBA,
                   GL_UNSIGNED_BYTE, nullptr);
    }
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
  using namespace oes;
  const GLint renderbuffer = boundRenderbuffer();
  if (target != GL_RENDERBUFFER_OES || renderbuffer == 0 || sCurrent != this) return false;
  auto found = std::find_if(sLayers.begin(), sLayers.end(), [&](GLLayer* layer) {
    return layer->context_ == this && layer->renderbuffer_ == static_cast<GLuint>(renderbuffer);
  });
  if (found == sLayers.end()) return false;
  GLLayer& layer = **found;
  {
    SavedBindings saved;
    if (!copyFramebuffer_) glGenFramebuffersOES(1, &copyFramebuffer_);
    glBindFramebufferOES(GL_FRAMEBUFFER_OES, copyFramebuffer_);
    glFramebufferRenderbufferOES(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_RENDERBUFFER_OES,
                                 layer.renderbuffer_);
    glBindTexture(GL_TEXTURE_2D, layer.texture_);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, layer.width_, layer.height_);
    glFramebufferRenderbufferOES(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_RENDERBUFFER_OES,
                                 0);
    // The compositor's context reads the texture next: finish writing it first.
    glFlush();
  }
  // GL's bottom row is the bottom of the layer.
  layer.setContents({layer.texture_, 0, static_cast<float>(layer.height_) / layer.textureHeight_,
                     static_cast<float>(layer.width_) / layer.textureWidth_, 0,
                     layer.drawableProperties().colorFormat == ColorFormat::RGB565});
  layer.dropRetiredTexture();
  return true;
}

}  // namespace platform
