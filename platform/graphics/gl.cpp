// Looks up the framebuffer-object entry points through SDL; in the page they are WebGL's own.
#include "platform/graphics/gl.h"

#include <SDL2/SDL.h>
#ifdef __EMSCRIPTEN__
#include <GLES2/gl2.h>
#endif

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

#ifndef __EMSCRIPTEN__
namespace {

template <typename F>
bool lookUp(F& entry, const char* name) {
  entry = reinterpret_cast<F>(SDL_GL_GetProcAddress(name));
  if (!entry) std::fprintf(stderr, "tidewick: the GL has no %s\n", name);
  return entry != nullptr;
}

}  // namespace
#endif

bool load() {
#ifdef __EMSCRIPTEN__
  // In the page framebuffer objects are WebGL's own: the extension's calls are the core ones.
  glGenFramebuffersOES = glGenFramebuffers;
  glBindFramebufferOES = glBindFramebuffer;
  glDeleteFramebuffersOES = glDeleteFramebuffers;
  glGenRenderbuffersOES = glGenRenderbuffers;
  glBindRenderbufferOES = glBindRenderbuffer;
  glDeleteRenderbuffersOES = glDeleteRenderbuffers;
  glRenderbufferStorageOES = glRenderbufferStorage;
  glFramebufferRenderbufferOES = glFramebufferRenderbuffer;
  glCheckFramebufferStatusOES = glCheckFramebufferStatus;
  glIsFramebufferOES = glIsFramebuffer;
  glIsRenderbufferOES = glIsRenderbuffer;
  glGetFramebufferAttachmentParameterivOES = glGetFramebufferAttachmentParameteriv;
  return true;
#else
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
#endif
}

}  // namespace oes
