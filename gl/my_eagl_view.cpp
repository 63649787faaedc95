// The GL view: builds its surface from the layer, presents frames, and forwards finished
// touches to the game. A rebuild leaves the caller's renderbuffer binding as it was.
#include "gl/my_eagl_view.h"

#include <cmath>
#include <cstdio>

#include "platform/core/application.h"
#include "platform/screen/display.h"

using platform::GLContext;

MyEAGLView::MyEAGLView() : platform::View(std::make_unique<platform::GLLayer>()) {}

platform::GLLayer& MyEAGLView::glLayer() {
  return static_cast<platform::GLLayer&>(layer());
}

std::shared_ptr<MyEAGLView> MyEAGLView::initWithCoder(const platform::Coder& coder) {
  std::shared_ptr<MyEAGLView> view(new MyEAGLView());
  if (!view->decode(coder)) return nullptr;

  view->_format = platform::ColorFormat::RGB565;
  view->glLayer().setDrawableProperties({.retainedBacking = false, .colorFormat = view->_format});
  view->_depthFormat = 0;
  view->_context = GLContext::create(platform::RenderingAPI::OpenGLES2);
  if (!view->_context || !view->_createSurface()) return nullptr;
  return view;
}

MyEAGLView::~MyEAGLView() {
  if (_context) _destroySurface();
  _context.reset();
}

bool MyEAGLView::_createSurface() {
  if (!GLContext::setCurrentContext(_context.get())) return false;
  const platform::Size bounds = layer().bounds().size;
  const float scale = contentsScale();
  const float width = std::round(bounds.width * scale), height = std::round(bounds.height * scale);

  platform::Renderer& renderer = platform::Renderer::shared();
  const GLuint oldRenderbuffer = renderer.boundRenderbuffer();
  glGenRenderbuffers(1, &_renderbuffer);
  renderer.bindRenderbuffer(_renderbuffer);
  if (!_context->renderbufferStorage(GL_RENDERBUFFER, &glLayer())) {
    renderer.deleteRenderbuffer(_renderbuffer);
    _renderbuffer = 0;
    renderer.bindRenderbuffer(oldRenderbuffer);
    return false;
  }

  glGenFramebuffers(1, &_framebuffer);
  renderer.bindFramebuffer(_framebuffer);
  renderer.attachRenderbuffer(_renderbuffer);
  if (_depthFormat) {
    glGenRenderbuffers(1, &_depthBuffer);
    renderer.bindRenderbuffer(_depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, _depthFormat, static_cast<GLsizei>(width),
                          static_cast<GLsizei>(height));
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, _depthBuffer);
  }

  _size = {width, height};
  // A new context draws into its first surface at once; a rebuilt one is bound again by the
  // delegate.
  if (!_hasBeenCurrent) {
    renderer.state().framebuffer = _framebuffer;
    renderer.state().viewport = {0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height)};
    _hasBeenCurrent = true;
  }
  renderer.bindRenderbuffer(oldRenderbuffer);

  if (_delegate) _delegate->didResizeEAGLSurfaceForView(this);
  return true;
}

void MyEAGLView::_destroySurface() {
  GLContext* oldContext = GLContext::currentContext();
  if (oldContext != _context.get()) GLContext::setCurrentContext(_context.get());
  platform::Renderer& renderer = platform::Renderer::shared();
  if (_depthFormat) {
    renderer.deleteRenderbuffer(_depthBuffer);
    _depthBuffer = 0;
  }
  renderer.deleteRenderbuffer(_renderbuffer);
  _renderbuffer = 0;
  renderer.deleteFramebuffer(_framebuffer);
  _framebuffer = 0;
  if (oldContext != _context.get()) GLContext::setCurrentContext(oldContext);
}

float MyEAGLView::contentsScale() const {
  return static_cast<const platform::GLLayer&>(layer()).contentsScale();
}

// The surface follows the view's size and the window's scale: a window made larger, taken to
// fullscreen or to a denser monitor gets a surface at its own pixels.
void MyEAGLView::layoutSubviews() {
  if (!_autoresize) return;
  // A minimised window has no pixels; the surface keeps the scale it had.
  const platform::Display* display = platform::Display::shared();
  if (display && display->contentsScale() > 0) glLayer().setContentsScale(display->contentsScale());
  const platform::Size bounds = this->bounds().size;
  const float scale = contentsScale();
  if (std::round(bounds.width * scale) != _size.width ||
      std::round(bounds.height * scale) != _size.height) {
    _destroySurface();
    // A window larger than the GL can give storage for gets the screen's points instead.
    if (!_createSurface() && scale != 1) {
      std::fprintf(stderr, "tidewick: no GL surface at %g pixels a point; drawing at 1\n", scale);
      glLayer().setContentsScale(1);
      _createSurface();
    }
  }
}

void MyEAGLView::setAutoresizesEAGLSurface(bool flag) {
  _autoresize = flag;
  if (_autoresize) layoutSubviews();
}

void MyEAGLView::setCurrentContext() {
  if (!GLContext::setCurrentContext(_context.get())) {
    std::printf("Failed to set current context %p in %s\n", static_cast<void*>(_context.get()),
                "-[MyEAGLView setCurrentContext]");
  }
}

bool MyEAGLView::isCurrentContext() const {
  return GLContext::currentContext() == _context.get();
}

void MyEAGLView::clearCurrentContext() {
  if (!GLContext::setCurrentContext(nullptr)) {
    std::printf("Failed to clear current context in %s\n", "-[MyEAGLView clearCurrentContext]");
  }
}

void MyEAGLView::swapBuffers() {
  GLContext* oldContext = GLContext::currentContext();
  if (oldContext != _context.get()) GLContext::setCurrentContext(_context.get());
  platform::Renderer::shared().bindRenderbuffer(_renderbuffer);
  if (!_context->presentRenderbuffer(GL_RENDERBUFFER)) {
    std::printf("Failed to swap renderbuffer in %s\n", "-[MyEAGLView swapBuffers]");
  }
  if (oldContext != _context.get()) GLContext::setCurrentContext(oldContext);
}

platform::Point MyEAGLView::convertPointFromViewToSurface(platform::Point point) const {
  const platform::Rect b = bounds();
  return {(point.x - b.origin.x) / b.size.width * _size.width,
          (point.y - b.origin.y) / b.size.height * _size.height};
}

platform::Rect MyEAGLView::convertRectFromViewToSurface(platform::Rect rect) const {
  const platform::Rect b = bounds();
  return {convertPointFromViewToSurface(rect.origin),
          {rect.size.width / b.size.width * _size.width,
           rect.size.height / b.size.height * _size.height}};
}

void MyEAGLView::touchesEnded(const platform::TouchSet& touches, const platform::Event&) {
  if (auto* game = dynamic_cast<TapHandler*>(platform::Application::shared().delegate())) {
    game->handleTap(touches);
  }
}
