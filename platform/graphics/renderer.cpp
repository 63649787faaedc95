// The batched renderer: one shader that multiplies a texel by a colour, one vertex buffer
// refilled at each flush, and GL's state changed only where a draw needs it changed.
#include "platform/graphics/renderer.h"

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

Renderer& Renderer::shared() {
  static Renderer renderer;
  return renderer;
}

void Renderer::contextCreated() {
  prepared_ = false;
  program_ = buffer_ = 0;
  maxTextureSize_ = 0;
  filters_.clear();
  vertices_.clear();
  commands_.clear();
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
  glVertexAttribPointer(kPosition, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), at(offsetof(Vertex, x)));
  glVertexAttribPointer(kTexCoord, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), at(offsetof(Vertex, s)));
  glVertexAttribPointer(kColor, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex), at(offsetof(Vertex, r)));
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
  glClearColor(0, 0, 0, 0);
  bound_ = Bound{};
  bound_.viewport = {-1, -1, -1, -1};  // unknown: the first target sets it
}

void Renderer::clear(Color color) {
  const DrawState& s = *state_;
  commands_.push_back({.clear = true,
                       .framebuffer = s.framebuffer,
                       .viewport = s.viewport,
                       .scissor = s.scissor,
                       .blend = Blend::Off,
                       .texture = 0,
                       .color = color,
                       .first = 0,
                       .count = 0});
}

// The last command when a draw with the current state and this texture can carry on from it,
// else a new one.
Renderer::Command& Renderer::commandFor(GLuint texture) {
  const DrawState& s = *state_;
  if (!commands_.empty()) {
    Command& last = commands_.back();
    if (!last.clear && last.texture == texture && last.framebuffer == s.framebuffer &&
        last.viewport == s.viewport && last.scissor == s.scissor && last.blend == s.blend) {
      return last;
    }
  }
  return commands_.emplace_back(Command{.framebuffer = s.framebuffer,
                                        .viewport = s.viewport,
                                        .scissor = s.scissor,
                                        .blend = s.blend,
                                        .texture = texture,
                                        .color = {},
                                        .first = static_cast<GLint>(vertices_.size()),
                                        .count = 0});
}

void Renderer::drawTriangles(GLuint texture, std::span<const Point> corners,
                             std::span<const Point> texCoords) {
  if (corners.empty() || corners.size() != texCoords.size()) return;
  Command& command = commandFor(texture);
  const DrawState& s = *state_;
  const Color c = s.color;
  // Placed, then projected, as GL's two matrices would.
  for (size_t i = 0; i < corners.size(); ++i) {
    const Point clip = s.projection.apply(s.transform.apply(corners[i]));
    vertices_.push_back(
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

void Renderer::applyTarget(const Command& command) {
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

void Renderer::flush() {
  if (commands_.empty()) return;
  prepare();
  if (!vertices_.empty()) {
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices_.size() * sizeof(Vertex)),
                 vertices_.data(), GL_STREAM_DRAW);
  }
  for (const Command& command : commands_) {
    applyTarget(command);
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
  vertices_.clear();
  commands_.clear();
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
  settle();
  glDeleteTextures(1, &texture);
  if (bound_.texture == texture) bound_.texture = 0;
  filters_.erase(texture);
}

void Renderer::bindFramebuffer(GLuint framebuffer) {
  settle();
  if (bound_.framebuffer == framebuffer) return;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  bound_.framebuffer = framebuffer;
}

void Renderer::deleteFramebuffer(GLuint framebuffer) {
  if (!framebuffer) return;
  settle();
  glDeleteFramebuffers(1, &framebuffer);
  if (bound_.framebuffer == framebuffer) bound_.framebuffer = 0;
  // As GL does, the current context drawing into it is left drawing into none.
  if (state_->framebuffer == framebuffer) state_->framebuffer = 0;
}

GLint Renderer::maxTextureSize() {
  prepare();
  if (maxTextureSize_ == 0) glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);
  return maxTextureSize_;
}

}  // namespace platform
