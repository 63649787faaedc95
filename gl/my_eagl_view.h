// The one view the game draws into: its own GL context, a framebuffer with a colour
// renderbuffer (and a depth one when asked for) sized to the view at the window's pixels, and
// the present of a frame. Touch ends are passed on to the game.
#pragma once

#include <memory>

#include "platform/screen/gl_context.h"
#include "platform/screen/touch.h"
#include "platform/screen/view.h"

class MyEAGLView;

class MyEAGLViewDelegate {
 public:
  virtual ~MyEAGLViewDelegate() = default;
  // Sent after every successful creation of the surface.
  virtual void didResizeEAGLSurfaceForView(MyEAGLView* view) = 0;
};

// What the application's delegate does with the touches that end on the GL view.
class TapHandler {
 public:
  virtual ~TapHandler() = default;
  virtual void handleTap(const platform::TouchSet& touches) = 0;
};

class MyEAGLView : public platform::View {
 public:
  // The view as the interface file describes it, with its context and surface; null when the
  // description is malformed or the context or surface cannot be made.
  static std::shared_ptr<MyEAGLView> initWithCoder(const platform::Coder& coder);
  ~MyEAGLView() override;

  platform::GLContext* context() const { return _context.get(); }
  unsigned depthFormat() const { return _depthFormat; }
  platform::ColorFormat pixelFormat() const { return _format; }
  GLuint framebuffer() const { return _framebuffer; }
  platform::Size surfaceSize() const { return _size; }
  // Surface pixels a point of the view's bounds.
  float contentsScale() const;
  bool autoresizesSurface() const { return _autoresize; }
  void setAutoresizesEAGLSurface(bool flag);
  MyEAGLViewDelegate* delegate() const { return _delegate; }
  void setDelegate(MyEAGLViewDelegate* delegate) { _delegate = delegate; }

  void layoutSubviews() override;
  void setCurrentContext();
  bool isCurrentContext() const;
  void clearCurrentContext();
  void swapBuffers();
  platform::Point convertPointFromViewToSurface(platform::Point point) const;
  platform::Rect convertRectFromViewToSurface(platform::Rect rect) const;

  void touchesEnded(const platform::TouchSet& touches, const platform::Event& event) override;

 private:
  MyEAGLView();
  platform::GLLayer& glLayer();
  bool _createSurface();
  void _destroySurface();

  platform::ColorFormat _format = platform::ColorFormat::RGB565;
  unsigned _depthFormat = 0;
  bool _autoresize = false;
  std::unique_ptr<platform::GLContext> _context;
  GLuint _framebuffer = 0;
  GLuint _renderbuffer = 0;
  GLuint _depthBuffer = 0;
  platform::Size _size;
  bool _hasBeenCurrent = false;
  MyEAGLViewDelegate* _delegate = nullptr;
};
