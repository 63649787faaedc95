// Everything on screen is drawn here: textured triangles in GL ES 2.0 (WebGL in the page), kept
// in one vertex buffer and drawn in as few calls as the textures, blending and targets allow. The
// renderer alone changes GL's drawing state and remembers what it set, so it never asks GL.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <unordered_map>
#include <unordered_set>
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

// A vertex as the shader takes it: a point already in the clip square, its texture coordinate
// and its colour.
struct RenderVertex {
  GLfloat x, y, s, t, r, g, b, a;
};

// One step of drawing: a clear, or a run of triangles sharing a texture, a target and blending.
struct RenderCommand {
  bool clear = false;
  GLuint framebuffer = 0;
  PixelBox viewport;
  std::optional<PixelBox> scissor;
  Blend blend = Blend::Off;
  bool colourOnly = false;  // the target's alpha is left as it is
  GLuint texture = 0;
  Color color;  // a clear's
  GLint first = 0;
  GLsizei count = 0;
};

// Drawing kept as commands rather than pixels, to be drawn later where it is wanted. The
// textures it uses outlive their deletion for as long as it does.
class Recording {
 public:
  Recording() = default;
  Recording(Recording&& other) noexcept { *this = std::move(other); }
  Recording& operator=(Recording&& other) noexcept;
  ~Recording();

  bool empty() const { return commands_.empty(); }

 private:
  friend class Renderer;
  void clear();

  std::vector<RenderVertex> vertices_;
  std::vector<RenderCommand> commands_;
  std::vector<GLuint> textures_;  // each once, counted by the renderer while kept
};

class Renderer {
 public:
  // The renderer of the process's GL context.
  static Renderer& shared();
  // The process's GL context was made or destroyed: nothing the renderer made or remembered
  // holds any more.
  void contextChanged();

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

  // Drawing into a framebuffer whose colour is `renderbuffer` is held back as a recording from
  // now on, until it is taken: where it shows is only known when the screen is composited.
  void holdDrawingInto(GLuint renderbuffer);
  void stopHolding(GLuint renderbuffer);
  // What was drawn into `renderbuffer` since it was last taken replaces `into`; false, and `into`
  // kept, when nothing was. The storage goes back to the renderbuffer's next drawing.
  bool takeDrawing(GLuint renderbuffer, Recording& into);
  // Draws a recording as it was drawn, into `framebuffer`, and leaves that bound for work on it.
  void drawInto(const Recording& recording, GLuint framebuffer);
  // Draws a recording straight into the current state's target, its framebuffer's pixels placed
  // at the viewport's corner and cut to the viewport; the target's alpha, where it keeps one, is
  // left as it is.
  void drawStraight(const Recording& recording);

  // GL objects, changed at once after what was drawn before has gone to GL.
  GLuint newTexture(GLint filter, GLint wrap);
  void bindTexture(GLuint texture);
  // Both the minifying and magnifying filter; nothing is sent when the texture has it already.
  void setTextureFilter(GLuint texture, GLint filter);
  // A texture a kept recording draws is deleted when the last such recording goes.
  void deleteTexture(GLuint texture);
  // Binds a framebuffer for work on it (attachments, copies, reading), not for drawing: drawing
  // goes where the current state says. What was held back for it is drawn into it first.
  void bindFramebuffer(GLuint framebuffer);
  // Makes `renderbuffer` the colour of the bound framebuffer (0: none).
  void attachRenderbuffer(GLuint renderbuffer);
  // A current state drawing into it draws into none after, as a GL context would.
  void deleteFramebuffer(GLuint framebuffer);
  void bindRenderbuffer(GLuint renderbuffer);
  GLuint boundRenderbuffer() const { return bound_.renderbuffer; }
  // Deleting the bound renderbuffer leaves none bound, as in GL.
  void deleteRenderbuffer(GLuint renderbuffer);
  GLint maxTextureSize();

 private:
  friend class Recording;
  // What GL holds now, as the renderer set it.
  struct Bound {
    GLuint framebuffer = 0, texture = 0, renderbuffer = 0;
    PixelBox viewport;
    std::optional<PixelBox> scissor;
    Blend blend = Blend::Off;
    bool colourOnly = false;
    Color clearColor{0, 0, 0, 0};
  };
  // Drawing held back for a renderbuffer, and how much of it its framebuffers already have.
  struct Held {
    Recording drawing;
    size_t drawn = 0;
  };

  Renderer() = default;
  void prepare();
  void settle();
  void applyTarget(const RenderCommand& command);
  void applyBlend(Blend blend);
  void applyColourMask(bool colourOnly);
  // What is held for the renderbuffer a framebuffer draws into; null when nothing is.
  Held* heldFor(GLuint framebuffer);
  // The recording the current state's drawing goes to: a held one, or the batch for the flush.
  Recording& recordingForState();
  RenderCommand& commandFor(Recording& recording, GLuint texture);
  // Appends the commands of `recording` from `from` on to the batch, each changed by `place`.
  template <typename Place>
  void replay(const Recording& recording, size_t from, Place place);
  void drawHeldInto(GLuint framebuffer);
  void release(std::span<const GLuint> textures);

  DrawState orphan_;
  DrawState* state_ = &orphan_;
  bool prepared_ = false;
  GLuint program_ = 0, buffer_ = 0;
  GLint maxTextureSize_ = 0;
  bool windowHasAlpha_ = true;  // whether the window's own framebuffer keeps an alpha channel
  Bound bound_;
  std::unordered_map<GLuint, GLint> filters_;
  // Declared before the recordings, which give their textures back as they go.
  std::unordered_map<GLuint, int> keptUses_;  // texture to the kept recordings drawing it
  std::unordered_set<GLuint> doomed_;         // deleted while kept recordings draw them
  Recording batch_;
  std::unordered_map<GLuint, GLuint> colourOf_;  // framebuffer to its colour renderbuffer
  std::unordered_map<GLuint, Held> held_;        // by renderbuffer
};

}  // namespace platform
