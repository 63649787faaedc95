// Everything on screen is drawn here: textured triangles in GL ES 2.0 (WebGL in the page), kept
// in one vertex buffer and drawn in as few calls as the textures, blending and targets allow. The
// renderer alone changes GL's drawing state and remembers what it set, so it never asks GL.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "platform/core/geometry.h"
#include "platform/graphics/color.h"
#include "platform/graphics/gl.h"

namespace platform {

// A box of a framebuffer's pixels, GL's origin at the bottom-left.
struct PixelBox {
  GLint x = 0, y = 0;
  GLsizei width = 0, height = 0;
  bool operator==(const PixelBox&) const = default;
};

// How a fragment is laid over what lies beneath it.
enum class Blend {
  Off,            // it replaces it
  Premultiplied,  // over it, its colour already multiplied by its alpha
  Alpha,          // over it by its alpha
};

// The drawing state a GL context holds, as our code sets it. Each context has its own, and drawing
// follows the current context's: where pictures go, how points map to them, how they blend.
struct DrawState {
  GLuint framebuffer = 0;
  PixelBox viewport;
  std::optional<PixelBox> scissor;  // none: nothing is cut
  Blend blend = Blend::Off;
  AffineTransform projection;    // points to GL's clip square, -1 to 1 both ways
  AffineTransform transform;     // placed points to points, before the projection
  Color color = Color::white();  // multiplies the texels
};

// The projection of glOrtho: `left` to `right` and `bottom` to `top` onto the clip square.
AffineTransform orthographic(float left, float right, float bottom, float top);

class Renderer {
 public:
  // The renderer of the process's GL context.
  static Renderer& shared();
  // A new GL context was made current: what the renderer had made and remembered was the old one's.
  void contextCreated();

  DrawState& state() { return *state_; }
  // Makes `state` the current context's; null: a state of no context's.
  void use(DrawState* state) { state_ = state ? state : &orphan_; }

  // Kept until the next flush, then drawn in order.
  void clear(Color color);
  // Triangles, three corners each, with their texture coordinates.
  void drawTriangles(GLuint texture, std::span<const Point> corners,
                     std::span<const Point> texCoords);
  // A quad given as a triangle strip's four corners.
  void drawQuad(GLuint texture, const std::array<Point, 4>& corners,
                const std::array<Point, 4>& texCoords);
  // Everything kept goes to GL: one vertex upload, then a draw wherever the state or texture
  // changes.
  void flush();

  // GL objects, changed at once after what was drawn before has gone to GL.
  GLuint newTexture(GLint filter, GLint wrap);
  void bindTexture(GLuint texture);
  // Both the minifying and magnifying filter; nothing is sent when the texture has it already.
  void setTextureFilter(GLuint texture, GLint filter);
  void deleteTexture(GLuint texture);
  // Binds a framebuffer for work on it (attachments, copies, reading), not for drawing: drawing
  // goes where the current state says.
  void bindFramebuffer(GLuint framebuffer);
  // A current state drawing into it draws into none after, as a GL context would.
  void deleteFramebuffer(GLuint framebuffer);
  GLint maxTextureSize();

 private:
  struct Vertex {
    GLfloat x, y, s, t, r, g, b, a;
  };
  struct Command {
    bool clear = false;
    GLuint framebuffer = 0;
    PixelBox viewport;
    std::optional<PixelBox> scissor;
    Blend blend = Blend::Off;
    GLuint texture = 0;
    Color color;  // a clear's
    GLint first = 0;
    GLsizei count = 0;
  };
  // What GL holds now, as the renderer set it.
  struct Bound {
    GLuint framebuffer = 0, texture = 0;
    PixelBox viewport;
    std::optional<PixelBox> scissor;
    Blend blend = Blend::Off;
    Color clearColor{0, 0, 0, 0};
  };

  Renderer() = default;
  void prepare();
  void settle();
  void applyTarget(const Command& command);
  void applyBlend(Blend blend);
  Command& commandFor(GLuint texture);

  DrawState orphan_;
  DrawState* state_ = &orphan_;
  bool prepared_ = false;
  GLuint program_ = 0, buffer_ = 0;
  GLint maxTextureSize_ = 0;
  Bound bound_;
  std::unordered_map<GLuint, GLint> filters_;
  std::vector<Vertex> vertices_;
  std::vector<Command> commands_;
};

}  // namespace platform
