// Each view's layer is a textured quad over its bounds, placed by the view's centre, bounds and
// transform exactly as the phone places it, then the whole portrait screen is turned
// landscape-right.
#include "platform/screen/compositor.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/graphics/gl.h"
#include "platform/graphics/picture.h"
#include "platform/graphics/view_canvas.h"
#include "platform/screen/display.h"

namespace platform {
namespace {

// Portrait window point (px, py) to landscape point (py, 320 - px).
constexpr AffineTransform kLandscapeTurn{0, -1, 1, 0, 0, 320};

void loadMatrix(const AffineTransform& t) {
  const GLfloat m[16] = {t.a, t.b, 0, 0, t.c, t.d, 0, 0, 0, 0, 1, 0, t.tx, t.ty, 0, 1};
  glLoadMatrixf(m);
}

void drawLayer(const View& view, float alpha, bool smooth) {
  const LayerContents& contents = view.layer().contents();
  if (!contents.texture) return;
  const Rect b = view.bounds();
  const GLfloat x0 = b.origin.x, y0 = b.origin.y;
  const GLfloat x1 = x0 + b.size.width, y1 = y0 + b.size.height;
  const GLfloat vertices[] = {x0, y0, x1, y0, x0, y1, x1, y1};
  const GLfloat coordinates[] = {contents.s0, contents.t0, contents.s1, contents.t0,
                                 contents.s0, contents.t1, contents.s1, contents.t1};
  loadMatrix(view.transformToRoot().concat(kLandscapeTurn));
  glBindTexture(GL_TEXTURE_2D, contents.texture);
  const GLint filter = smooth ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glColor4f(alpha, alpha, alpha, alpha);  // layers are premultiplied
  glVertexPointer(2, GL_FLOAT, 0, vertices);
  glTexCoordPointer(2, GL_FLOAT, 0, coordinates);
  // Blending an opaque layer shown whole would only give its own texels back, at a cost in a
  // software rasteriser.
  const bool covers = contents.opaque && alpha >= 1;
  if (covers) glDisable(GL_BLEND);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  if (covers) glEnable(GL_BLEND);
}

// A view's own drawing goes into a texture of its own, power-of-two sized as GL ES 1.1 wants,
// the picture in its top-left corner.
void drawContents(View& view, float scale) {
  if (!view.drawsContents() || !view.needsDisplayAt(scale)) return;
  Picture picture;
  {
    ViewCanvas canvas(picture, view.bounds().size, scale);
    view.drawContents(canvas);
  }
  GLuint texture = view.contentsTexture();
  if (!texture) {
    glGenTextures(1, &texture);
    view.setContentsTexture(texture);
  }
  GLsizei width = 1, height = 1;
  while (width < picture.width) width *= 2;
  while (height < picture.height) height *= 2;
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, picture.width, picture.height, GL_RGBA, GL_UNSIGNED_BYTE,
                  picture.rgba.data());
  view.layer().setContents({texture, 0, 0, static_cast<float>(picture.width) / width,
                            static_cast<float>(picture.height) / height});
  view.displayed(scale);
}

// A clip in the framebuffer's pixels (GL's origin at the bottom-left).
struct Clip {
  GLint x0, y0, x1, y1;
};

// The framebuffer box of a view's bounds: its corners through the view's transforms and the
// landscape turn, mapped by the viewport (the screen is 480 x 320 points, y down).
Clip clipOf(const View& view) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  const AffineTransform toScreen = view.transformToRoot().concat(kLandscapeTurn);
  const Rect b = view.bounds();
  float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
  for (const Point corner : {b.origin, Point{b.origin.x + b.size.width, b.origin.y},
                             Point{b.origin.x, b.origin.y + b.size.height},
                             Point{b.origin.x + b.size.width, b.origin.y + b.size.height}}) {
    const Point p = toScreen.apply(corner);
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  const float sx = viewport[2] / kLandscapeSize.width, sy = viewport[3] / kLandscapeSize.height;
  return {viewport[0] + static_cast<GLint>(std::lround(minX * sx)),
          viewport[1] + static_cast<GLint>(std::lround((kLandscapeSize.height - maxY) * sy)),
          viewport[0] + static_cast<GLint>(std::lround(maxX * sx)),
          viewport[1] + static_cast<GLint>(std::lround((kLandscapeSize.height - minY) * sy))};
}

void applyClip(const std::optional<Clip>& clip) {
  if (!clip) {
    glDisable(GL_SCISSOR_TEST);
    return;
  }
  glEnable(GL_SCISSOR_TEST);
  glScissor(clip->x0, clip->y0, std::max(0, clip->x1 - clip->x0), std::max(0, clip->y1 - clip->y0));
}

void drawTree(View& view, float alpha, bool smooth, float scale, std::optional<Clip> clip) {
  alpha *= view.alpha();
  if (view.isHidden() || alpha <= 0) return;
  drawContents(view, scale);
  drawLayer(view, alpha, smooth);
  if (view.subviews().empty()) return;
  std::optional<Clip> inner = clip;
  if (view.clipsToBounds()) {
    Clip own = clipOf(view);
    if (clip) {
      own = {std::max(own.x0, clip->x0), std::max(own.y0, clip->y0), std::min(own.x1, clip->x1),
             std::min(own.y1, clip->y1)};
    }
    inner = own;
    applyClip(inner);
  }
  for (auto& subview : view.subviews()) drawTree(*subview, alpha, smooth, scale, inner);
  if (view.clipsToBounds()) applyClip(clip);
}

}  // namespace

void compositeViews(View& root, bool smooth, float scale) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrthof(0, kLandscapeSize.width, kLandscapeSize.height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_SCISSOR_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  drawTree(root, 1, smooth, scale, std::nullopt);
}

}  // namespace platform
