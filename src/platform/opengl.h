// OpenGL and GLU, pulled in the same way on every platform.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

#ifndef APIENTRY
#define APIENTRY
#endif

// GL_ARB_multitexture tokens (not in the OpenGL 1.1 headers on Windows).
constexpr GLenum kGlTexture0Arb = 0x84C0;
constexpr GLenum kGlTexture1Arb = 0x84C1;

using ActiveTextureArbFn = void(APIENTRY*)(GLenum texture);
using MultiTexCoord2fArbFn = void(APIENTRY*)(GLenum texture, GLfloat s, GLfloat t);
