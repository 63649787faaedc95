// Each view's layer is a textured quad over its bounds, placed by the view's centre, bounds and
// transform exactly as the phone places it, then the whole portrait screen is turned
// landscape-right.
#include "platform/screen/compositor.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/graphics/picture.h"
#include "platform/graphics/renderer.h"
#include "platform/graphics/view_canvas.h"
#include "platform/screen/display.h"

namespace platform {
namespace {

// Portrait window point (px, py) to landscape point (py, 320 - px).
constexpr AffineTransform kLandscapeTurn{0, -1, 1, 0, 0, 320};

// Whether a view shows its bounds upright over the whole screen, its top-left corner at the
// screen's.
bool coversScreen(const View& view) {
  const AffineTransform toScreen = view.transformToRoot().concat(kLandscapeTurn);
  const Rect b = view.bounds();
  const auto at = [&toScreen](Point p, Point expected) {
    const Point q = toScreen.apply(p);
    return std::abs(q.x - expected.x) < 1e-3f && std::abs(q.y - expected.y) < 1e-3f;
  };
  return at(b.origin, {0, 0}) &&
         at({b.origin.x + b.size.width, b.origin.y}, {kLandscapeSize.width, 0}) &&
         at({b.origin.x, b.origin.y + b.size.height}, {0, kLandscapeSize.height});
}

void drawLayer(View& view, float alpha, bool smooth, bool clipped) {
  if (view.layer().composite(alpha >= 1 && !clipped && coversScreen(view))) return;
  const LayerContents& contents = view.layer().contents();
  if (!contents.texture) return;
  Renderer& renderer = Renderer::shared();
  DrawState& state = renderer.state();
  const Rect b = view.bounds();
  const float x0 = b.origin.x, y0 = b.origin.y;
  const float x1 = x0 + b.size.width, y1 = y0 + b.size.height;
  state.transform = view.transformToRoot().concat(kLandscapeTurn);
  renderer.setTextureFilter(contents.texture, smooth ? GL_LINEAR : GL_NEAREST);
  state.color = {alpha, alpha, alpha, alpha};  // layers are premultiplied
  // Blending an opaque layer shown whole would only give its own texels back, at a cost in a
  // software rasteriser.
  state.blend = contents.opaque && alpha >= 1 ? Blend::Off : Blend::Premultiplied;
  renderer.drawQuad(contents.texture, {Point{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}},
                    {Point{contents.s0, contents.t0},
                     {contents.s1, contents.t0},
                     {contents.s0, contents.t1},
                     {contents.s1, contents.t1}});
}

// A view's own drawing goes into a texture of its own, power-of-two sized as the phone's were,
// the picture in its top-left corner.
void drawContents(View& view, float scale) {
  if (!view.drawsContents() || !view.needsDisplayAt(scale)) return;
  Picture picture;
  {
    ViewCanvas canvas(picture, view.bounds().size, scale);
    view.drawContents(canvas);
  }
  Renderer& renderer = Renderer::shared();
  GLuint texture = view.contentsTexture();
  if (!texture) {
    texture = renderer.newTexture(GL_NEAREST, GL_CLAMP_TO_EDGE);
    view.setContentsTexture(texture);
  }
  GLsizei width = 1, height = 1;
  while (width < picture.width) width *= 2;
  while (height < picture.height) height *= 2;
  renderer.bindTexture(texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, picture.width, picture.height, GL_RGBA, GL_UNSIGNED_BYTE,
                  picture.rgba.data());
  view.layer().setContents({texture, 0, 0, static_cast<float>(picture.width) / width,
                            static_cast<float>(picture.height) / height});
  view.displayed(scale);
}

// A clip in the framebuffer's pixels (GL's origin at the bottom-left).
struct Clip {
  int x0, y0, x1, y1;
};

// The framebuffer box of a view's bounds: its corners through the view's transforms and the
// landscape turn, mapped by the viewport (the screen is 480 x 320 points, y down).
Clip clipOf(const View& view) {
  const PixelBox viewport = Renderer::shared().state().viewport;
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
  const float sx = viewport.width / kLandscapeSize.width;
  const float sy = viewport.height / kLandscapeSize.height;
  return {viewport.x + static_cast<int>(std::lround(minX * sx)),
          viewport.y + static_cast<int>(std::lround((kLandscapeSize.height - maxY) * sy)),
          viewport.x + static_cast<int>(std::lround(maxX * sx)),
          viewport.y + static_cast<int>(std::lround((kLandscapeSize.height - minY) * sy))};
}

void applyClip(const std::optional<Clip>& clip) {
  std::optional<PixelBox>& scissor = Renderer::shared().state().scissor;
  if (!clip) {
    scissor.reset();
    return;
  }
  scissor = PixelBox{clip->x0, clip->y0, std::max(0, clip->x1 - clip->x0),
                     std::max(0, clip->y1 - clip->y0)};
}

void drawTree(View& view, float alpha, bool smooth, float scale, std::optional<Clip> clip) {
  alpha *= view.alpha();
  if (view.isHidden() || alpha <= 0) return;
  drawContents(view, scale);
  drawLayer(view, alpha, smooth, clip.has_value());
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
  DrawState& state = Renderer::shared().state();
  state.projection = orthographic(0, kLandscapeSize.width, kLandscapeSize.height, 0);
  state.scissor.reset();
  drawTree(root, 1, smooth, scale, std::nullopt);
}

}  // namespace platform
