// Looks up the framebuffer-object entry points through SDL; in the page they are WebGL's own.
#include "platform/graphics/gl.h"

#include <SDL2/SDL.h>
#ifdef __EMSCRIPTEN__
#include <GLES2/gl2.h>
#endif

#include <cstdio>

// Each entry point of the extension, by its name without "gl" and "OES", in both spellings.
// clang-format off
#define TIDEWICK_FRAMEBUFFER_ENTRIES(entry)                                        \
  entry(GenFramebuffers, GENFRAMEBUFFERS)                                          \
  entry(BindFramebuffer, BINDFRAMEBUFFER)                                          \
  entry(DeleteFramebuffers, DELETEFRAMEBUFFERS)                                    \
  entry(GenRenderbuffers, GENRENDERBUFFERS)                                        \
  entry(BindRenderbuffer, BINDRENDERBUFFER)                                        \
  entry(DeleteRenderbuffers, DELETERENDERBUFFERS)                                  \
  entry(RenderbufferStorage, RENDERBUFFERSTORAGE)                                  \
  entry(FramebufferRenderbuffer, FRAMEBUFFERRENDERBUFFER)                          \
  entry(CheckFramebufferStatus, CHECKFRAMEBUFFERSTATUS)                            \
  entry(IsFramebuffer, ISFRAMEBUFFER)                                              \
  entry(IsRenderbuffer, ISRENDERBUFFER)                                            \
  entry(GetFramebufferAttachmentParameteriv, GETFRAMEBUFFERATTACHMENTPARAMETERIV)
// clang-format on

namespace oes {

#define TIDEWICK_DEFINE(name, NAME) PFNGL##NAME##OESPROC gl##name##OES;
TIDEWICK_FRAMEBUFFER_ENTRIES(TIDEWICK_DEFINE)
#undef TIDEWICK_DEFINE

#ifdef __EMSCRIPTEN__
// In the page framebuffer objects are WebGL's own: the extension's calls are the core ones.
bool load() {
#define TIDEWICK_CORE(name, NAME) gl##name##OES = gl##name;
  TIDEWICK_FRAMEBUFFER_ENTRIES(TIDEWICK_CORE)
#undef TIDEWICK_CORE
  return true;
}
#else
namespace {

template <typename F>
bool lookUp(F& entry, const char* name) {
  entry = reinterpret_cast<F>(SDL_GL_GetProcAddress(name));
  if (!entry) std::fprintf(stderr, "tidewick: the GL has no %s\n", name);
  return entry != nullptr;
}

}  // namespace

bool load() {
  bool ok = true;
#define TIDEWICK_LOOK_UP(name, NAME) ok &= lookUp(gl##name##OES, "gl" #name "OES");
  TIDEWICK_FRAMEBUFFER_ENTRIES(TIDEWICK_LOOK_UP)
#undef TIDEWICK_LOOK_UP
  return ok;
}
#endif

}  // namespace oes
