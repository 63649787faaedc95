// OpenGL ES 2.0, which Mesa gives the desktop and every browser gives the page as WebGL 1:
// framebuffer objects and shaders are core, so every entry point is the library's own.
#pragma once

#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>
