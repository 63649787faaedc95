// Textures made from images and text: immutable, power-of-two sized, the picture in the
// top-left corner, drawn centred on a point or stretched over a rectangle. Pictures made together
// may share one GL texture, each drawing as its own would.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/core/geometry.h"
#include "platform/graphics/gl.h"

namespace platform {
class Image;
}

// Pixel formats, and the only valid values of one.
enum Texture2DPixelFormat : int32_t {
  Texture2DFormatRGBA8888 = 1,  // bytes R, G, B, A
  Texture2DFormatRGB565 = 2,    // one native 16-bit value: R in the top 5 bits, G 6, B the low 5
  Texture2DFormatA8 = 3,        // one alpha byte
};

// What an image becomes before it is uploaded: the bytes handed to GL, rows top first.
struct TexturePixels {
  Texture2DPixelFormat format = Texture2DFormatRGBA8888;
  unsigned width = 0, height = 0;
  platform::Size contentSize;  // in points
  float scale = 1;             // pixels a point
  std::vector<uint8_t> data;
};

// Texture sides are powers of two: 1 or a power of two stays, anything else rounds up (0 stays 0).
unsigned powerOfTwoAtLeast(unsigned value);

// The pixels `initWithImage` uploads: the format by the image's alpha, sides rounded up to
// powers of two and halved (with the picture) while either exceeds 1024 points (1024 pixels at
// one pixel a point, 4096 at four) or `largestSide`, the picture against the top-left corner,
// premultiplied RGBA, 5-6-5 RGB or alpha. The content size is in points: the same at every
// density of the same picture.
TexturePixels texturePixelsFromImage(const platform::Image& image, unsigned largestSide = 1u << 31);

class Texture2D {
 public:
  // Uploads the pixels (copied by GL), `scale` pixels to a point of the content size. An invalid
  // pixel format throws std::logic_error with an empty message and touches nothing.
  static std::shared_ptr<Texture2D> initWithData(const void* data, int32_t pixelFormat,
                                                 unsigned width, unsigned height,
                                                 platform::Size contentSize, float scale = 1);
  // Null, with "Image is Null" logged, when there is no image.
  static std::shared_ptr<Texture2D> initWithImage(const platform::Image* image);
  // A texture for each of `count` images, as `initWithImage` makes it, but the pictures with
  // alpha packed side by side into as few GL textures as fit them: a busy scene then draws from
  // one. Each draws the texels its own texture would, its edges filtered with what they would
  // read there (textures repeat). They share their filtering. The images are asked for one at a
  // time and let go at once.
  static std::vector<std::shared_ptr<Texture2D>> initPackedWithImages(
      size_t count, const std::function<std::shared_ptr<platform::Image>(size_t)>& imageAt);
  // White text as alpha: drawn in the drawing colour with the texture as a mask. Alignment:
  // 0 left, 1 centre, 2 right. Set at `scale` pixels a point (font size and box alike) and
  // drawn at its dimensions in points.
  static std::shared_ptr<Texture2D> initWithString(const std::string& string,
                                                   platform::Size dimensions, int alignment,
                                                   const std::string& fontName, float fontSize,
                                                   float scale = 1);
  // Text in the given colour, premultiplied RGBA.
  static std::shared_ptr<Texture2D> initWithStringRGBA(const std::string& string,
                                                       platform::Size dimensions, int alignment,
                                                       const std::string& fontName, float fontSize,
                                                       float red, float green, float blue,
                                                       float alpha);
  ~Texture2D();
  Texture2D(const Texture2D&) = delete;
  Texture2D& operator=(const Texture2D&) = delete;

  // The GL texture drawn from, shared by pictures packed together.
  GLuint name() const { return _texture ? _texture->name : 0; }
  platform::Size contentSize() const { return _size; }
  float scale() const { return _scale; }
  unsigned pixelsWide() const { return _width; }
  unsigned pixelsHigh() const { return _height; }
  int32_t pixelFormat() const { return _format; }
  GLfloat maxS() const { return _maxS; }
  GLfloat maxT() const { return _maxT; }
  std::string description() const;
  // How many textures are alive: the soak's measure of textures leaked from game to game.
  static long liveCount() { return sLive; }

  // The picture at its content size, centred on the point.
  void drawAtPoint(platform::Point point) const;
  // The same where blending makes clear pixels draw nothing (premultiplied, or by the texture's
  // alpha): only the parts of the quad that can show anything, a texel round what is not clear,
  // so that a rasteriser without a GPU fills no more than it must.
  void drawVisibleAtPoint(platform::Point point) const;
  // The area in square points of what `drawVisibleAtPoint` draws.
  float visibleArea() const;
  // The part of what `drawAtPoint(point)` draws that hides whatever lies beneath it once blended
  // (premultiplied): a band of rows opaque from edge to edge, less the texel that linear
  // filtering mixes in at each side. Empty when no row is opaque throughout.
  platform::Rect hidingRectAtPoint(platform::Point point) const;
  // The picture stretched over the rectangle.
  void drawInRect(platform::Rect rect) const;
  // The parts of that, each with the texture coordinates the whole rectangle gives it.
  void drawPartsOfRect(platform::Rect rect, std::span<const platform::Rect> parts) const;

 private:
  // A box of texels, rows from the picture's top: [x0, x1) x [y0, y1).
  struct TexelBox {
    unsigned x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
  };
  // What a picture shows, top to bottom: boxes with the long clear stretches between them left
  // out (a strip of surf above and a strip of hills below draw no sky in between).
  static constexpr size_t kMostBands = 3;
  struct Bands {
    std::array<TexelBox, kMostBands> boxes{};
    size_t count = 0;
  };

  // A GL texture, deleted with the last picture drawn from it.
  struct SharedName {
    GLuint name = 0;
    explicit SharedName(GLuint name) : name(name) {}
    ~SharedName();
    SharedName(const SharedName&) = delete;
    SharedName& operator=(const SharedName&) = delete;
  };

  Texture2D() { ++sLive; }
  static inline long sLive = 0;
  // The texels the content size covers, from the top-left corner.
  static TexelBox pictureTexels(unsigned width, unsigned height, platform::Size contentSize,
                                float scale);
  // Everything but the GL texture: sizes, coordinates, what shows and what hides.
  static std::shared_ptr<Texture2D> described(const void* data, int32_t pixelFormat, unsigned width,
                                              unsigned height, platform::Size contentSize,
                                              float scale);
  // Where the picture's own texture coordinate lies in the texture it is drawn from.
  platform::Point drawnCoordinate(GLfloat s, GLfloat t) const {
    return {s * _sSpan + _s0, t * _tSpan + _t0};
  }
  // The corners (bottom-left, bottom-right, top-left, top-right) with the picture's own texture
  // coordinates from `from` (left, first row) to `to`.
  void drawQuad(const std::array<platform::Point, 4>& corners, platform::Point from,
                platform::Point to) const;
  void drawTexels(platform::Point point, TexelBox box) const;
  platform::Rect pointsOf(platform::Point point, TexelBox box) const;
  static Bands visibleTexels(const void* data, int32_t format, unsigned width, unsigned height,
                             TexelBox picture);
  static TexelBox hidingTexels(const void* data, int32_t format, unsigned width, TexelBox picture);

  std::shared_ptr<const SharedName> _texture;
  // Its own coordinates scaled by its share of the shared texture's sides (powers of two, so
  // exactly) and moved to its place there: 1 and 0 for a texture of its own.
  GLfloat _sSpan = 1, _tSpan = 1, _s0 = 0, _t0 = 0;
  platform::Size _size;
  float _scale = 1;
  unsigned _width = 0;
  unsigned _height = 0;
  int32_t _format = 0;
  GLfloat _maxS = 0;
  GLfloat _maxT = 0;
  Bands _visible;    // the picture's texels that are not clear, with a texel round them
  TexelBox _hiding;  // its longest run of rows opaque from edge to edge
};
