// Texture creation from raw pixels, images and text, and the ways of drawing one. Creation does
// all the decoding, drawing and converting; drawing hands the renderer a quad or a few.
#include "gl/texture2d.h"

#include <algorithm>
#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <utility>

#include "gl/texture_packing.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/font.h"
#include "platform/graphics/image.h"
#include "platform/graphics/renderer.h"
#include "platform/graphics/text.h"

namespace {

// Textures made from images are at most this many points on a side.
constexpr unsigned kMaxImageSide = 1024;
// Clear rows at least this many split what a picture shows into boxes drawn apart.
constexpr unsigned kClearRowsToSplit = 16;

// Truncates a size component the way a cast to unsigned would, with nothing below zero.
unsigned wholePixels(float value) {
  return value > 0 ? static_cast<unsigned>(value) : 0;
}

std::vector<uint8_t> packRGB565(const std::vector<uint8_t>& rgbx, size_t pixels) {
  std::vector<uint8_t> packed(pixels * 2);
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t* p = &rgbx[i * 4];
    const uint16_t value =
        static_cast<uint16_t>(((p[0] >> 3) << 11) | ((p[1] >> 2) << 5) | (p[2] >> 3));
    std::memcpy(&packed[i * 2], &value, 2);
  }
  return packed;
}

std::shared_ptr<Texture2D> textTexture(const std::string& string, platform::Size dimensions,
                                       int alignment, const std::string& fontName, float fontSize,
                                       const float* rgba, float scale) {
  const std::shared_ptr<platform::Font> font =
      platform::Font::fontWithName(fontName, fontSize * scale);
  const platform::Size box = {dimensions.width * scale, dimensions.height * scale};
  const unsigned width = powerOfTwoAtLeast(wholePixels(box.width));
  const unsigned height = powerOfTwoAtLeast(wholePixels(box.height));
  const unsigned bytesPerPixel = rgba ? 4 : 1;
  std::vector<uint8_t> data(static_cast<size_t>(width) * height * bytesPerPixel, 0);
  platform::BitmapContext context(
      data.data(), static_cast<int>(width), static_cast<int>(height),
      static_cast<int>(width * bytesPerPixel),
      rgba ? platform::BitmapLayout::RGBAPremultipliedLast : platform::BitmapLayout::Gray);
  if (rgba) {
    context.setFillColor(rgba[0], rgba[1], rgba[2], rgba[3]);
  } else {
    context.setGrayFillColor(1, 1);
  }
  // Text is set from the top-left corner down.
  context.translateCTM(0, static_cast<float>(height));
  context.scaleCTM(1, -1);
  if (font) {
    platform::drawString(context, string, {{0, 0}, box}, *font,
                         static_cast<platform::TextAlignment>(alignment));
  }
  return Texture2D::initWithData(data.data(), rgba ? Texture2DFormatRGBA8888 : Texture2DFormatA8,
                                 width, height, dimensions, scale);
}

}  // namespace

unsigned powerOfTwoAtLeast(unsigned value) {
  if (value <= 1) return value;
  unsigned power = 1;
  while (power < value) power <<= 1;
  return power;
}

TexturePixels texturePixelsFromImage(const platform::Image& image, unsigned largestSide) {
  using platform::AlphaInfo;
  TexturePixels out;
  const AlphaInfo alpha = image.alphaInfo();
  if (!image.hasColorSpace()) {
    out.format = Texture2DFormatA8;
  } else if (alpha == AlphaInfo::PremultipliedLast || alpha == AlphaInfo::PremultipliedFirst ||
             alpha == AlphaInfo::Last || alpha == AlphaInfo::First) {
    out.format = Texture2DFormatRGBA8888;
  } else {
    out.format = Texture2DFormatRGB565;
  }

  out.scale = image.scale() > 0 ? image.scale() : 1;
  out.contentSize = {static_cast<float>(image.width()) / out.scale,
                     static_cast<float>(image.height()) / out.scale};
  out.width = powerOfTwoAtLeast(static_cast<unsigned>(image.width()));
  out.height = powerOfTwoAtLeast(static_cast<unsigned>(image.height()));
  const unsigned limit = std::min(static_cast<unsigned>(kMaxImageSide * out.scale), largestSide);
  platform::AffineTransform transform;
  // A long thin image keeps a side of one pixel, never none.
  while (out.width > limit || out.height > limit) {
    out.width = std::max(1u, out.width / 2);
    out.height = std::max(1u, out.height / 2);
    transform = platform::AffineTransform::scale(0.5f, 0.5f).concat(transform);
    out.contentSize.width *= 0.5f;
    out.contentSize.height *= 0.5f;
  }

  const bool alphaOnly = out.format == Texture2DFormatA8;
  const size_t pixels = static_cast<size_t>(out.width) * out.height;
  out.data.assign(pixels * (alphaOnly ? 1 : 4), 0);
  platform::BitmapContext context(
      out.data.data(), static_cast<int>(out.width), static_cast<int>(out.height),
      static_cast<int>(out.width * (alphaOnly ? 1 : 4)),
      alphaOnly                               ? platform::BitmapLayout::AlphaOnly
      : out.format == Texture2DFormatRGBA8888 ? platform::BitmapLayout::RGBAPremultipliedLast
                                              : platform::BitmapLayout::RGBNoneSkipLast);
  context.clearRect({{0, 0}, {static_cast<float>(out.width), static_cast<float>(out.height)}});
  // The picture goes against the top edge: the first row in memory.
  context.translateCTM(0, static_cast<float>(out.height) - out.contentSize.height * out.scale);
  if (transform != platform::AffineTransform{}) context.concatCTM(transform);
  context.drawImage(
      {{0, 0}, {static_cast<float>(image.width()), static_cast<float>(image.height())}}, image);
  if (out.format == Texture2DFormatRGB565) out.data = packRGB565(out.data, pixels);
  return out;
}

Texture2D::TexelBox Texture2D::pictureTexels(unsigned width, unsigned height,
                                             platform::Size contentSize, float scale) {
  return {0, 0, std::min(width, wholePixels(std::ceil(contentSize.width * scale))),
          std::min(height, wholePixels(std::ceil(contentSize.height * scale)))};
}

std::shared_ptr<Texture2D> Texture2D::described(const void* data, int32_t pixelFormat,
                                                unsigned width, unsigned height,
                                                platform::Size contentSize, float scale) {
  const TexelBox picture = pictureTexels(width, height, contentSize, scale);
  std::shared_ptr<Texture2D> texture(new Texture2D());
  texture->_size = contentSize;
  texture->_scale = scale;
  texture->_width = width;
  texture->_height = height;
  texture->_format = pixelFormat;
  texture->_maxS = contentSize.width * scale / static_cast<float>(width);
  texture->_maxT = contentSize.height * scale / static_cast<float>(height);
  texture->_visible = visibleTexels(data, pixelFormat, width, height, picture);
  texture->_hiding = hidingTexels(data, pixelFormat, width, picture);
  return texture;
}

std::shared_ptr<Texture2D> Texture2D::initWithData(const void* data, int32_t pixelFormat,
                                                   unsigned width, unsigned height,
                                                   platform::Size contentSize, float scale) {
  GLenum format = 0, type = 0;
  [[maybe_unused]] std::vector<uint8_t> whiteWithAlpha;
  switch (pixelFormat) {
    case Texture2DFormatRGBA8888:
      format = GL_RGBA, type = GL_UNSIGNED_BYTE;
      break;
    case Texture2DFormatRGB565:
      format = GL_RGB, type = GL_UNSIGNED_SHORT_5_6_5;
      break;
    case Texture2DFormatA8:
      // A shader reads an alpha-only texture as black: the alphas go up as white with alpha, which
      // the drawing colour then tints as it tinted alpha alone.
      format = GL_LUMINANCE_ALPHA, type = GL_UNSIGNED_BYTE;
      break;
    // Checked before anything is made, so that a programming error leaves no texture behind.
    default:
      throw std::logic_error("");
  }
  std::shared_ptr<Texture2D> texture =
      described(data, pixelFormat, width, height, contentSize, scale);
  if (pixelFormat == Texture2DFormatA8 && data) {
    const auto* alphas = static_cast<const uint8_t*>(data);
    whiteWithAlpha.resize(static_cast<size_t>(width) * height * 2, 255);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
      whiteWithAlpha[2 * i + 1] = alphas[i];
    }
    data = whiteWithAlpha.data();
  }
  texture->_texture = std::make_shared<const SharedName>(
      platform::Renderer::shared().newTexture(GL_LINEAR, GL_REPEAT));
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), static_cast<GLsizei>(width),
               static_cast<GLsizei>(height), 0, format, type, data);
  return texture;
}

namespace {

GLint largestTextureSide() {
  const GLint largest = platform::Renderer::shared().maxTextureSize();
  return largest > 0 ? largest : 1024;
}

}  // namespace

std::shared_ptr<Texture2D> Texture2D::initWithImage(const platform::Image* image) {
  if (!image) {
    std::fprintf(stderr, "Image is Null\n");
    return nullptr;
  }
  const TexturePixels pixels =
      texturePixelsFromImage(*image, static_cast<unsigned>(largestTextureSide()));
  return initWithData(pixels.data.data(), pixels.format, pixels.width, pixels.height,
                      pixels.contentSize, pixels.scale);
}

// A packed picture takes its texels and a border of one round them: what linear filtering reads
// just outside the picture in a texture of its own, where it repeats (the clear padding to the
// right of and below the picture, or the opposite edge where the picture fills a side).
std::vector<std::shared_ptr<Texture2D>> Texture2D::initPackedWithImages(
    size_t count, const std::function<std::shared_ptr<platform::Image>(size_t)>& imageAt) {
  struct Bordered {
    size_t texture;
    PackedExtent extent;
    std::vector<uint8_t> rgba;
  };
  const auto largest = static_cast<unsigned>(largestTextureSide());
  const unsigned pageSide = std::bit_floor(largest);
  std::vector<std::shared_ptr<Texture2D>> textures(count);
  std::vector<Bordered> packed;
  for (size_t i = 0; i < count; ++i) {
    const std::shared_ptr<platform::Image> image = imageAt(i);
    if (!image) {
      textures[i] = initWithImage(nullptr);
      continue;
    }
    const TexturePixels pixels = texturePixelsFromImage(*image, largest);
    const TexelBox picture =
        pictureTexels(pixels.width, pixels.height, pixels.contentSize, pixels.scale);
    const unsigned wide = picture.x1, high = picture.y1;
    if (pixels.format != Texture2DFormatRGBA8888 || wide + 2 > pageSide || high + 2 > pageSide) {
      textures[i] = initWithData(pixels.data.data(), pixels.format, pixels.width, pixels.height,
                                 pixels.contentSize, pixels.scale);
      continue;
    }
    textures[i] = described(pixels.data.data(), pixels.format, pixels.width, pixels.height,
                            pixels.contentSize, pixels.scale);
    Bordered bordered{i, {wide + 2, high + 2}, {}};
    bordered.rgba.resize(static_cast<size_t>(wide + 2) * (high + 2) * 4);
    uint8_t* out = bordered.rgba.data();
    for (unsigned y = 0; y < high + 2; ++y) {
      const unsigned row = (y + pixels.height - 1) % pixels.height;
      for (unsigned x = 0; x < wide + 2; ++x, out += 4) {
        const unsigned column = (x + pixels.width - 1) % pixels.width;
        std::memcpy(out, &pixels.data[(static_cast<size_t>(row) * pixels.width + column) * 4], 4);
      }
    }
    packed.push_back(std::move(bordered));
  }

  std::vector<PackedExtent> extents;
  for (const Bordered& picture : packed) extents.push_back(picture.extent);
  const Packing packing = packRectangles(extents, pageSide);
  std::vector<std::shared_ptr<const SharedName>> pages;
  for (const PackedExtent& page : packing.pages) {
    pages.push_back(std::make_shared<const SharedName>(
        platform::Renderer::shared().newTexture(GL_LINEAR, GL_REPEAT)));
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(page.width),
                 static_cast<GLsizei>(page.height), 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  }
  // Every picture fits a page: those that might not kept textures of their own.
  for (size_t i = 0; i < packed.size(); ++i) {
    Texture2D& texture = *textures[packed[i].texture];
    const PackedExtent& extent = packed[i].extent;
    const PackedPlace& place = *packing.places[i];
    const PackedExtent& page = packing.pages[place.page];
    texture._texture = pages[place.page];
    platform::Renderer::shared().bindTexture(texture.name());
    glTexSubImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(place.x), static_cast<GLint>(place.y),
                    static_cast<GLsizei>(extent.width), static_cast<GLsizei>(extent.height),
                    GL_RGBA, GL_UNSIGNED_BYTE, packed[i].rgba.data());
    const auto pageWidth = static_cast<float>(page.width),
               pageHeight = static_cast<float>(page.height);
    texture._sSpan = static_cast<float>(texture._width) / pageWidth;
    texture._tSpan = static_cast<float>(texture._height) / pageHeight;
    texture._s0 = static_cast<float>(place.x + 1) / pageWidth;
    texture._t0 = static_cast<float>(place.y + 1) / pageHeight;
    packed[i].rgba = {};
  }
  return textures;
}

std::shared_ptr<Texture2D> Texture2D::initWithString(const std::string& string,
                                                     platform::Size dimensions, int alignment,
                                                     const std::string& fontName, float fontSize,
                                                     float scale) {
  return textTexture(string, dimensions, alignment, fontName, fontSize, nullptr, scale);
}

std::shared_ptr<Texture2D> Texture2D::initWithStringRGBA(const std::string& string,
                                                         platform::Size dimensions, int alignment,
                                                         const std::string& fontName,
                                                         float fontSize, float red, float green,
                                                         float blue, float alpha) {
  const float rgba[4] = {red, green, blue, alpha};
  return textTexture(string, dimensions, alignment, fontName, fontSize, rgba, 1);
}

Texture2D::~Texture2D() {
  --sLive;
}

Texture2D::SharedName::~SharedName() {
  if (name) platform::Renderer::shared().deleteTexture(name);
}

std::string Texture2D::description() const {
  char text[160];
  std::snprintf(
      text, sizeof text,
      "<%s = %08" PRIXPTR " | Name = %i | Dimensions = %ix%i | Coordinates = (%.2f, %.2f)>",
      "Texture2D", reinterpret_cast<uintptr_t>(this), name(), _width, _height, _maxS, _maxT);
  return text;
}

void Texture2D::drawAtPoint(platform::Point point) const {
  const GLfloat w = _size.width, h = _size.height;
  const GLfloat x = point.x, y = point.y;
  drawQuad({platform::Point{x - w / 2, y - h / 2},
            {x + w / 2, y - h / 2},
            {x - w / 2, y + h / 2},
            {x + w / 2, y + h / 2}},
           {0, 0}, {_maxS, _maxT});
}

// What a picture shows: the rows' texels that are not clear (alpha above zero), in boxes split at
// long runs of clear rows, each grown by one texel on every side within the picture: linear
// filtering reads no further than that, so a fragment outside them samples only clear texels.
// Textures repeat, so a picture seen at one edge of the texture is also read at the opposite
// edge: a box reaches that edge too, and a picture seen at its top or bottom edge keeps one box.
// The whole picture for opaque (or invalid) formats and for no data; nothing for a picture with
// nothing to show.
Texture2D::Bands Texture2D::visibleTexels(const void* data, int32_t format, unsigned width,
                                          unsigned height, TexelBox picture) {
  const bool withAlpha = format == Texture2DFormatRGBA8888 || format == Texture2DFormatA8;
  if (!data || !withAlpha || picture.x1 == 0 || picture.y1 == 0) return {{picture}, 1};
  const auto* bytes = static_cast<const uint8_t*>(data);
  const unsigned stride = format == Texture2DFormatRGBA8888 ? 4 : 1;
  const unsigned alpha = stride - 1;
  // Each row's span of texels that show.
  std::vector<TexelBox> rows;
  rows.reserve(picture.y1);
  for (unsigned y = 0; y < picture.y1; ++y) {
    const uint8_t* row = bytes + static_cast<size_t>(y) * width * stride + alpha;
    TexelBox span{picture.x1, y, 0, y + 1};
    for (unsigned x = 0; x < picture.x1; ++x) {
      if (row[x * stride] == 0) continue;
      span.x0 = std::min(span.x0, x);
      span.x1 = x + 1;
    }
    if (!span.empty()) rows.push_back(span);
  }
  if (rows.empty()) return {};

  // The longest clear runs between rows that show split the picture.
  std::array<std::pair<unsigned, size_t>, kMostBands - 1> longest{};  // length, the row after it
  for (size_t i = 1; i < rows.size(); ++i) {
    const unsigned clear = rows[i].y0 - rows[i - 1].y1;
    if (clear < kClearRowsToSplit || clear <= longest.back().first) continue;
    longest.back() = {clear, i};
    std::sort(longest.begin(), longest.end(), std::greater<>());
  }
  std::array<size_t, kMostBands> ends{};
  size_t endCount = 0;
  for (const auto& [clear, after] : longest) {
    if (clear > 0) ends[endCount++] = after;
  }
  std::sort(ends.begin(), ends.begin() + endCount);
  ends[endCount++] = rows.size();

  Bands bands;
  size_t first = 0;
  for (const size_t end : std::span(ends.data(), endCount)) {
    TexelBox box{picture.x1, rows[first].y0, 0, rows[end - 1].y1};
    for (size_t i = first; i < end; ++i) {
      box.x0 = std::min(box.x0, rows[i].x0);
      box.x1 = std::max(box.x1, rows[i].x1);
    }
    bands.boxes[bands.count++] = box;
    first = end;
  }
  // Seen at the top or bottom edge, a picture is read round to the other: one box for it all.
  const bool wrapsDown = picture.y1 == height &&
                         (bands.boxes[0].y0 <= 1 || bands.boxes[bands.count - 1].y1 + 1 >= height);
  if (wrapsDown) {
    for (size_t i = 1; i < bands.count; ++i) {
      bands.boxes[0].x0 = std::min(bands.boxes[0].x0, bands.boxes[i].x0);
      bands.boxes[0].x1 = std::max(bands.boxes[0].x1, bands.boxes[i].x1);
      bands.boxes[0].y1 = bands.boxes[i].y1;
    }
    bands.count = 1;
  }
  for (size_t i = 0; i < bands.count; ++i) {
    TexelBox& box = bands.boxes[i];
    box = {box.x0 > 0 ? box.x0 - 1 : 0, box.y0 > 0 ? box.y0 - 1 : 0,
           std::min(picture.x1, box.x1 + 1), std::min(picture.y1, box.y1 + 1)};
    if (box.x1 == width) box.x0 = 0;
    if (box.x0 == 0 && picture.x1 == width) box.x1 = width;
  }
  if (wrapsDown) {
    TexelBox& box = bands.boxes[0];
    if (box.y1 == height) box.y0 = 0;
    if (box.y0 == 0) box.y1 = height;
  }
  return bands;
}

// The longest run of the picture's rows whose texels are all opaque, less a texel all round; the
// whole picture for a format without alpha. Alpha-only pictures take the drawing colour, which
// may be translucent: they hide nothing.
Texture2D::TexelBox Texture2D::hidingTexels(const void* data, int32_t format, unsigned width,
                                            TexelBox picture) {
  if (format == Texture2DFormatRGB565) return picture;
  if (!data || format != Texture2DFormatRGBA8888 || picture.x1 < 3) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  TexelBox best, run{1, 0, picture.x1 - 1, 0};
  for (unsigned y = 0; y < picture.y1; ++y) {
    const uint8_t* row = bytes + static_cast<size_t>(y) * width * 4;
    bool opaque = true;
    for (unsigned x = 0; x < picture.x1 && opaque; ++x) opaque = row[x * 4 + 3] == 255;
    if (!opaque) {
      run.y0 = y + 1;
      continue;
    }
    run.y1 = y + 1;
    if (run.y1 - run.y0 > best.y1 - best.y0) best = run;
  }
  if (best.y1 - best.y0 < 3) return {};
  return {best.x0, best.y0 + 1, best.x1, best.y1 - 1};
}

void Texture2D::drawVisibleAtPoint(platform::Point point) const {
  for (size_t i = 0; i < _visible.count; ++i) drawTexels(point, _visible.boxes[i]);
}

float Texture2D::visibleArea() const {
  float area = 0;
  for (size_t i = 0; i < _visible.count; ++i) {
    const TexelBox& box = _visible.boxes[i];
    area += std::min(static_cast<float>(box.x1 - box.x0) / _scale, _size.width) *
            std::min(static_cast<float>(box.y1 - box.y0) / _scale, _size.height);
  }
  return area;
}

platform::Rect Texture2D::hidingRectAtPoint(platform::Point point) const {
  return _hiding.empty() ? platform::Rect{} : pointsOf(point, _hiding);
}

// The quad of a box of texels within the quad `drawAtPoint(point)` draws.
platform::Rect Texture2D::pointsOf(platform::Point point, TexelBox box) const {
  const GLfloat left = point.x - _size.width / 2, top = point.y + _size.height / 2;
  const auto pointsIn = [this](unsigned texels, GLfloat side) {
    return std::min(static_cast<GLfloat>(texels) / _scale, side);
  };
  const GLfloat x0 = left + pointsIn(box.x0, _size.width),
                x1 = left + pointsIn(box.x1, _size.width);
  const GLfloat y0 = top - pointsIn(box.y1, _size.height),
                y1 = top - pointsIn(box.y0, _size.height);
  return {{x0, y0}, {x1 - x0, y1 - y0}};
}

// The texels' part of the quad `drawAtPoint` draws, with the same texture coordinates at every
// point of it.
void Texture2D::drawTexels(platform::Point point, TexelBox box) const {
  if (box.empty()) return;
  const GLfloat left = point.x - _size.width / 2, top = point.y + _size.height / 2;
  const platform::Rect quad = pointsOf(point, box);
  const GLfloat x0 = quad.origin.x, x1 = x0 + quad.size.width;
  const GLfloat y0 = quad.origin.y, y1 = y0 + quad.size.height;
  drawQuad({platform::Point{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}},
           {(x0 - left) * _scale / _width, (top - y1) * _scale / _height},
           {(x1 - left) * _scale / _width, (top - y0) * _scale / _height});
}

void Texture2D::drawInRect(platform::Rect rect) const {
  const GLfloat x = rect.origin.x, y = rect.origin.y;
  const GLfloat r = x + rect.size.width, t = y + rect.size.height;
  drawQuad({platform::Point{x, y}, {r, y}, {x, t}, {r, t}}, {0, 0}, {_maxS, _maxT});
}

void Texture2D::drawPartsOfRect(platform::Rect rect, std::span<const platform::Rect> parts) const {
  if (parts.empty() || rect.size.width <= 0 || rect.size.height <= 0) return;
  const GLfloat top = rect.origin.y + rect.size.height;
  const GLfloat sPerPoint = _maxS / rect.size.width, tPerPoint = _maxT / rect.size.height;
  std::vector<platform::Point> corners, coordinates;
  corners.reserve(parts.size() * 6);
  coordinates.reserve(parts.size() * 6);
  for (const platform::Rect& part : parts) {
    const GLfloat x0 = part.origin.x, x1 = x0 + part.size.width;
    const GLfloat y0 = part.origin.y, y1 = y0 + part.size.height;
    const platform::Point low =
        drawnCoordinate((x0 - rect.origin.x) * sPerPoint, (top - y0) * tPerPoint);
    const platform::Point high =
        drawnCoordinate((x1 - rect.origin.x) * sPerPoint, (top - y1) * tPerPoint);
    const GLfloat s0 = low.x, s1 = high.x, t0 = low.y, t1 = high.y;
    corners.insert(corners.end(), {{x0, y0}, {x1, y0}, {x0, y1}, {x1, y0}, {x1, y1}, {x0, y1}});
    coordinates.insert(coordinates.end(),
                       {{s0, t0}, {s1, t0}, {s0, t1}, {s1, t0}, {s1, t1}, {s0, t1}});
  }
  platform::Renderer::shared().drawTriangles(name(), corners, coordinates);
}

// The picture's first row (t = 0) goes to the higher y: the top of the scene.
void Texture2D::drawQuad(const std::array<platform::Point, 4>& corners, platform::Point from,
                         platform::Point to) const {
  const platform::Point low = drawnCoordinate(from.x, from.y), high = drawnCoordinate(to.x, to.y);
  platform::Renderer::shared().drawQuad(
      name(), corners,
      {platform::Point{low.x, high.y}, {high.x, high.y}, {low.x, low.y}, {high.x, low.y}});
}
