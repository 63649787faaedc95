// Looks up the framebuffer-object entry points through SDL.
#include "platform/graphics/gl.h"

#include <SDL2/SDL.h>

#include <cstdio>

namespace oes {

PFNGLGENFRAMEBUFFERSOESPROC glGenFramebuffersOES;
PFNGLBINDFRAMEBUFFEROESPROC glBindFramebufferOES;
PFNGLDELETEFRAMEBUFFERSOESPROC glDeleteFramebuffersOES;
PFNGLGENRENDERBUFFERSOESPROC glGenRenderbuffersOES;
PFNGLBINDRENDERBUFFEROESPROC glBindRenderbufferOES;
PFNGLDELETERENDERBUFFERSOESPROC glDeleteRenderbuffersOES;
PFNGLRENDERBUFFERSTORAGEOESPROC glRenderbufferStorageOES;
PFNGLFRAMEBUFFERRENDERBUFFEROESPROC glFramebufferRenderbufferOES;
PFNGLCHECKFRAMEBUFFERSTATUSOESPROC glCheckFramebufferStatusOES;
PFNGLISFRAMEBUFFEROESPROC glIsFramebufferOES;
PFNGLISRENDERBUFFEROESPROC glIsRenderbufferOES;
PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVOESPROC glGetFramebufferAttachmentParameterivOES;

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
  ok &= lookUp(glGenFramebuffersOES, "glGenFramebuffersOES");
  ok &= lookUp(glBindFramebufferOES, "glBindFramebufferOES");
  ok &= lookUp(glDeleteFramebuffersOES, "glDeleteFramebuffersOES");
  ok &= lookUp(glGenRenderbuffersOES, "glGenRenderbuffersOES");
  ok &= lookUp(glBindRenderbufferOES, "glBindRenderbufferOES");
  ok &= lookUp(glDeleteRenderbuffersOES, "glDeleteRenderbuffersOES");
  ok &= lookUp(glRenderbufferStorageOES, "glRenderbufferStorageOES");
  ok &= lookUp(glFramebufferRenderbufferOES, "glFramebufferRenderbufferOES");
  ok &= lookUp(glCheckFramebufferStatusOES, "glCheckFramebufferStatusOES");
  ok &= lookUp(glIsFramebufferOES, "glIsFramebufferOES");
  ok &= lookUp(glIsRenderbufferOES, "glIsRenderbufferOES");
  ok &=
      lookUp(glGetFramebufferAttachmentParameterivOES, "glGetFramebufferAttachmentParameterivOES");
  return ok;
}

}  // namespace oes
