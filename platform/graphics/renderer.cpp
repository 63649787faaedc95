// The batched renderer: one shader that multiplies a texel by a colour, one vertex buffer
// refilled at each flush, and GL's state changed only where a draw needs it changed.
#include "platform/graphics/renderer.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

namespace platform {
namespace {

enum Attribute : GLuint { kPosition, kTexCoord, kColor };

// Points arrive already in the clip square: the vertex shader only passes them on.
constexpr const char* kVertexShader = R"(
attribute vec2 position;
attribute vec2 texCoord;
attribute vec4 color;
varying vec2 vTexCoord;
varying vec4 vColor;
void main() {
  gl_Position = vec4(position, 0.0, 1.0);
  vTexCoord = texCoord;
  vColor = color;
}
)";

// Texture coordinates want every bit a large texture's texels need.
constexpr const char* kFragmentShader = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D picture;
varying vec2 vTexCoord;
varying vec4 vColor;
void main() {
  gl_FragColor = texture2D(picture, vTexCoord) * vColor;
}
)";

GLuint compile(GLenum kind, const char* source) {
  const GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint compiled = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (!compiled) {
    char log[512] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "tidewick: the GL cannot compile a shader: %s\n", log);
  }
  return shader;
}

}  // namespace

AffineTransform orthographic(float left, float right, float bottom, float top) {
  return {2 / (right - left),
          0,
          0,
          2 / (top - bottom),
          -(right + left) / (right - left),
          -(top + bottom) / (top - bottom)};
}

Recording& Recording::operator=(Recording&& other) noexcept {
  if (this == &other) return *this;
  clear();
  vertices_ = std::move(other.vertices_);
  commands_ = std::move(other.commands_);
  textures_ = std::move(other.textures_);
  other.vertices_.clear();
  other.commands_.clear();
  other.textures_.clear();
  return *this;
}

Recording::~Recording() {
  clear();
}

void Recording::clear() {
  if (!textures_.empty()) Renderer::shared().release(textures_);
  textures_.clear();
  vertices_.clear();
  commands_.clear();
}

Renderer& Renderer::shared() {
  static Renderer renderer;
  return renderer;
}

void Renderer::contextChanged() {
  prepared_ = false;
  program_ = buffer_ = 0;
  maxTextureSize_ = 0;
  filters_.clear();
  // The old context's textures went with it: nothing kept may delete them again.
  keptUses_.clear();
  doomed_.clear();
  held_.clear();
  colourOf_.clear();
  batch_.clear();
}

// The program and the buffer are made once a context, the attributes pointed into the buffer
// once, and everything the renderer remembers is set so that it holds.
void Renderer::prepare() {
  if (prepared_) return;
  prepared_ = true;
  program_ = glCreateProgram();
  const GLuint vertex = compile(GL_VERTEX_SHADER, kVertexShader);
  const GLuint fragment = compile(GL_FRAGMENT_SHADER, kFragmentShader);
  glAttachShader(program_, vertex);
  glAttachShader(program_, fragment);
  glBindAttribLocation(program_, kPosition, "position");
  glBindAttribLocation(program_, kTexCoord, "texCoord");
  glBindAttribLocation(program_, kColor, "color");
  glLinkProgram(program_);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  glUseProgram(program_);
  glUniform1i(glGetUniformLocation(program_, "picture"), 0);

  glGenBuffers(1, &buffer_);
  glBindBuffer(GL_ARRAY_BUFFER, buffer_);
  const auto at = [](size_t offset) { return reinterpret_cast<const void*>(offset); };
  glVertexAttribPointer(kPosition, 2, GL_FLOAT, GL_FALSE, sizeof(RenderVertex),
                        at(offsetof(RenderVertex, x)));
  glVertexAttribPointer(kTexCoord, 2, GL_FLOAT, GL_FALSE, sizeof(RenderVertex),
                        at(offsetof(RenderVertex, s)));
  glVertexAttribPointer(kColor, 4, GL_FLOAT, GL_FALSE, sizeof(RenderVertex),
                        at(offsetof(RenderVertex, r)));
  for (const GLuint attribute : {kPosition, kTexCoord, kColor}) {
    glEnableVertexAttribArray(attribute);
  }

  // Rows of pixels follow each other directly, whatever their length.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glActiveTexture(GL_TEXTURE0);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, 0);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  GLint windowAlphaBits = 0;
  glGetIntegerv(GL_ALPHA_BITS, &windowAlphaBits);
  windowHasAlpha_ = windowAlphaBits > 0;
  glClearColor(0, 0, 0, 0);
  bound_ = Bound{};
  bound_.viewport = {-1, -1, -1, -1};  // unknown: the first target sets it
}

Renderer::Held* Renderer::heldFor(GLuint framebuffer) {
  const auto colour = colourOf_.find(framebuffer);
  if (colour == colourOf_.end()) return nullptr;
  const auto held = held_.find(colour->second);
  return held == held_.end() ? nullptr : &held->second;
}

Recording& Renderer::recordingForState() {
  Held* held = heldFor(state_->framebuffer);
  return held ? held->drawing : batch_;
}

void Renderer::clear(Color color) {
  const DrawState& s = *state_;
  recordingForState().commands_.push_back({.clear = true,
                                           .framebuffer = s.framebuffer,
                                           .viewport = s.viewport,
                                           .scissor = s.scissor,
                                           .blend = Blend::Off,
                                           .colourOnly = false,
                                           .texture = 0,
                                           .color = color,
                                           .first = 0,
                                           .count = 0});
}

// The last command when a draw with the current state and this texture can carry on from it,
// else a new one. A kept recording counts the textures it draws.
RenderCommand& Renderer::commandFor(Recording& recording, GLuint texture) {
  const DrawState& s = *state_;
  std::vector<RenderCommand>& commands = recording.commands_;
  if (!commands.empty()) {
    RenderCommand& last = commands.back();
    if (!last.clear && last.texture == texture && last.framebuffer == s.framebuffer &&
        last.viewport == s.viewport && last.scissor == s.scissor && last.blend == s.blend) {
      return last;
    }
  }
  if (&recording != &batch_ && texture &&
      std::find(recording.textures_.begin(), recording.textures_.end(), texture) ==
          recording.textures_.end()) {
    recording.textures_.push_back(texture);
    ++keptUses_[texture];
  }
  return commands.emplace_back(
      RenderCommand{.framebuffer = s.framebuffer,
                    .viewport = s.viewport,
                    .scissor = s.scissor,
                    .blend = s.blend,
                    .colourOnly = false,
                    .texture = texture,
                    .color = {},
                    .first = static_cast<GLint>(recording.vertices_.size()),
                    .count = 0});
}

void Renderer::drawTriangles(GLuint texture, std::span<const Point> corners,
                             std::span<const Point> texCoords) {
  if (corners.empty() || corners.size() != texCoords.size()) return;
  Recording& recording = recordingForState();
  RenderCommand& command = commandFor(recording, texture);
  const DrawState& s = *state_;
  const Color c = s.color;
  // Placed, then projected, as GL's two matrices would.
  for (size_t i = 0; i < corners.size(); ++i) {
    const Point clip = s.projection.apply(s.transform.apply(corners[i]));
    recording.vertices_.push_back(
        {clip.x, clip.y, texCoords[i].x, texCoords[i].y, c.red, c.green, c.blue, c.alpha});
  }
  command.count += static_cast<GLsizei>(corners.size());
}

void Renderer::drawQuad(GLuint texture, const std::array<Point, 4>& corners,
                        const std::array<Point, 4>& texCoords) {
  // The strip's two triangles, as GL would cut it.
  const Point triangles[6] = {corners[0], corners[1], corners[2],
                              corners[2], corners[1], corners[3]};
  const Point coordinates[6] = {texCoords[0], texCoords[1], texCoords[2],
                                texCoords[2], texCoords[1], texCoords[3]};
  drawTriangles(texture, triangles, coordinates);
}

void Renderer::applyTarget(const RenderCommand& command) {
  if (bound_.framebuffer != command.framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, command.framebuffer);
    bound_.framebuffer = command.framebuffer;
  }
  if (!command.clear && bound_.viewport != command.viewport) {
    const PixelBox& v = command.viewport;
    glViewport(v.x, v.y, v.width, v.height);
    bound_.viewport = v;
  }
  if (bound_.scissor.has_value() != command.scissor.has_value()) {
    if (command.scissor) {
      glEnable(GL_SCISSOR_TEST);
    } else {
      glDisable(GL_SCISSOR_TEST);
    }
  }
  if (command.scissor && (!bound_.scissor || *bound_.scissor != *command.scissor)) {
    const PixelBox& box = *command.scissor;
    glScissor(box.x, box.y, box.width, box.height);
  }
  bound_.scissor = command.scissor;
}

void Renderer::applyBlend(Blend blend) {
  if (blend == bound_.blend) return;
  if (blend == Blend::Off) {
    glDisable(GL_BLEND);
  } else {
    if (bound_.blend == Blend::Off) glEnable(GL_BLEND);
    glBlendFunc(blend == Blend::Alpha ? GL_SRC_ALPHA : GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  }
  bound_.blend = blend;
}

void Renderer::applyColourMask(bool colourOnly) {
  if (colourOnly == bound_.colourOnly) return;
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, colourOnly ? GL_FALSE : GL_TRUE);
  bound_.colourOnly = colourOnly;
}

void Renderer::flush() {
  std::vector<RenderVertex>& vertices = batch_.vertices_;
  std::vector<RenderCommand>& commands = batch_.commands_;
  if (commands.empty()) return;
  prepare();
  if (!vertices.empty()) {
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(RenderVertex)),
                 vertices.data(), GL_STREAM_DRAW);
  }
  for (const RenderCommand& command : commands) {
    applyTarget(command);
    applyColourMask(command.colourOnly);
    if (command.clear) {
      if (bound_.clearColor != command.color) {
        glClearColor(command.color.red, command.color.green, command.color.blue,
                     command.color.alpha);
        bound_.clearColor = command.color;
      }
      glClear(GL_COLOR_BUFFER_BIT);
      continue;
    }
    applyBlend(command.blend);
    if (bound_.texture != command.texture) {
      glBindTexture(GL_TEXTURE_2D, command.texture);
      bound_.texture = command.texture;
    }
    glDrawArrays(GL_TRIANGLES, command.first, command.count);
  }
  vertices.clear();
  commands.clear();
}

void Renderer::holdDrawingInto(GLuint renderbuffer) {
  if (renderbuffer) held_.try_emplace(renderbuffer);
}

void Renderer::stopHolding(GLuint renderbuffer) {
  held_.erase(renderbuffer);
}

bool Renderer::takeDrawing(GLuint renderbuffer, Recording& into) {
  const auto found = held_.find(renderbuffer);
  if (found == held_.end() || found->second.drawing.empty()) return false;
  Held& held = found->second;
  std::swap(into.vertices_, held.drawing.vertices_);
  std::swap(into.commands_, held.drawing.commands_);
  std::swap(into.textures_, held.drawing.textures_);
  held.drawing.clear();
  held.drawn = 0;
  return true;
}

template <typename Place>
void Renderer::replay(const Recording& recording, size_t from, Place place) {
  std::vector<RenderVertex>& vertices = batch_.vertices_;
  for (size_t i = from; i < recording.commands_.size(); ++i) {
    RenderCommand command = recording.commands_[i];
    if (!command.clear) {
      const auto kept = recording.vertices_.begin() + command.first;
      command.first = static_cast<GLint>(vertices.size());
      vertices.insert(vertices.end(), kept, kept + command.count);
    }
    place(command);
    batch_.commands_.push_back(command);
  }
}

void Renderer::drawInto(const Recording& recording, GLuint framebuffer) {
  settle();
  replay(recording, 0,
         [framebuffer](RenderCommand& command) { command.framebuffer = framebuffer; });
  flush();
  // The renderbuffer's pixels are this recording's now: what is held for it goes in again whole.
  if (Held* held = heldFor(framebuffer)) held->drawn = 0;
  if (bound_.framebuffer != framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    bound_.framebuffer = framebuffer;
  }
}

void Renderer::drawStraight(const Recording& recording) {
  const DrawState& s = *state_;
  const PixelBox target = s.viewport;
  const auto cut = [&target](PixelBox box) {
    const GLint x0 = std::max(box.x, target.x), y0 = std::max(box.y, target.y);
    const GLint x1 = std::min(box.x + box.width, target.x + target.width);
    const GLint y1 = std::min(box.y + box.height, target.y + target.height);
    return PixelBox{x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
  };
  replay(recording, 0, [&](RenderCommand& command) {
    command.framebuffer = s.framebuffer;
    // Masking alpha costs a software rasteriser a read of every pixel: only where there is one.
    command.colourOnly = s.framebuffer != 0 || windowHasAlpha_;
    command.viewport.x += target.x;
    command.viewport.y += target.y;
    if (command.scissor) {
      command.scissor->x += target.x;
      command.scissor->y += target.y;
      command.scissor = cut(*command.scissor);
    } else if (command.clear || cut(command.viewport) != command.viewport) {
      // A clear covers the whole target, and a viewport reaching past the recording's
      // framebuffer draws beyond it: here both stop at its pixels.
      command.scissor = target;
    }
  });
}

// What was held back for a framebuffer's renderbuffer and not yet drawn goes into it.
void Renderer::drawHeldInto(GLuint framebuffer) {
  Held* held = heldFor(framebuffer);
  if (!held || held->drawn == held->drawing.commands_.size()) return;
  replay(held->drawing, held->drawn, [](RenderCommand&) {});
  held->drawn = held->drawing.commands_.size();
  flush();
}

void Renderer::release(std::span<const GLuint> textures) {
  for (const GLuint texture : textures) {
    const auto uses = keptUses_.find(texture);
    if (uses == keptUses_.end() || --uses->second > 0) continue;
    keptUses_.erase(uses);
    if (doomed_.erase(texture)) deleteTexture(texture);
  }
}

// GL objects are changed after everything drawn before them has gone to GL.
void Renderer::settle() {
  flush();
  prepare();
}

GLuint Renderer::newTexture(GLint filter, GLint wrap) {
  settle();
  GLuint texture = 0;
  glGenTextures(1, &texture);
  bindTexture(texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
  filters_[texture] = filter;
  return texture;
}

void Renderer::bindTexture(GLuint texture) {
  settle();
  if (bound_.texture == texture) return;
  glBindTexture(GL_TEXTURE_2D, texture);
  bound_.texture = texture;
}

void Renderer::setTextureFilter(GLuint texture, GLint filter) {
  const auto known = filters_.find(texture);
  if (known != filters_.end() && known->second == filter) return;
  bindTexture(texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  filters_[texture] = filter;
}

void Renderer::deleteTexture(GLuint texture) {
  if (!texture) return;
  if (keptUses_.contains(texture)) {
    doomed_.insert(texture);
    return;
  }
  settle();
  glDeleteTextures(1, &texture);
  if (bound_.texture == texture) bound_.texture = 0;
  filters_.erase(texture);
}

void Renderer::bindFramebuffer(GLuint framebuffer) {
  settle();
  drawHeldInto(framebuffer);
  if (bound_.framebuffer == framebuffer) return;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  bound_.framebuffer = framebuffer;
}

void Renderer::attachRenderbuffer(GLuint renderbuffer) {
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer);
  if (renderbuffer) {
    colourOf_[bound_.framebuffer] = renderbuffer;
  } else {
    colourOf_.erase(bound_.framebuffer);
  }
}

void Renderer::deleteFramebuffer(GLuint framebuffer) {
  if (!framebuffer) return;
  settle();
  glDeleteFramebuffers(1, &framebuffer);
  colourOf_.erase(framebuffer);
  if (bound_.framebuffer == framebuffer) bound_.framebuffer = 0;
  // As GL does, the current context drawing into it is left drawing into none.
  if (state_->framebuffer == framebuffer) state_->framebuffer = 0;
}

void Renderer::bindRenderbuffer(GLuint renderbuffer) {
  prepare();
  if (bound_.renderbuffer == renderbuffer) return;
  glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
  bound_.renderbuffer = renderbuffer;
}

void Renderer::deleteRenderbuffer(GLuint renderbuffer) {
  if (!renderbuffer) return;
  settle();
  glDeleteRenderbuffers(1, &renderbuffer);
  if (bound_.renderbuffer == renderbuffer) bound_.renderbuffer = 0;
}

GLint Renderer::maxTextureSize() {
  prepare();
  if (maxTextureSize_ == 0) glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);
  return maxTextureSize_;
}

}  // namespace platform
