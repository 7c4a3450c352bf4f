// The OpenGL ES 2 entry points the layer draws with, through a table of
// pointers: the layer itself exports the OpenGL 1.1 names (glEnable,
// glBindTexture, ...), many of which are ES 2 names too, so it never calls
// them by name. The browser's table holds Emscripten's WebGL bindings, a
// native one what EGL gives for each name.
#pragma once

#include "platform/opengl.h"

namespace gl11 {

using GLcharEs = char;
using GLsizeiptrEs = long;

// ret, name (without its gl prefix), parameters.
#define VALE_ES2_FUNCTIONS(X)                                                                                \
    X(void, ActiveTexture, (GLenum))                                                                         \
    X(void, AttachShader, (GLuint, GLuint))                                                                  \
    X(void, BindAttribLocation, (GLuint, GLuint, const GLcharEs*))                                           \
    X(void, BindBuffer, (GLenum, GLuint))                                                                    \
    X(void, BindTexture, (GLenum, GLuint))                                                                   \
    X(void, BlendFunc, (GLenum, GLenum))                                                                     \
    X(void, BufferData, (GLenum, GLsizeiptrEs, const void*, GLenum))                                         \
    X(void, Clear, (GLbitfield))                                                                             \
    X(void, ClearColor, (GLfloat, GLfloat, GLfloat, GLfloat))                                                \
    X(void, ClearDepthf, (GLfloat))                                                                          \
    X(void, CompileShader, (GLuint))                                                                         \
    X(GLuint, CreateProgram, ())                                                                             \
    X(GLuint, CreateShader, (GLenum))                                                                        \
    X(void, CullFace, (GLenum))                                                                              \
    X(void, DeleteTextures, (GLsizei, const GLuint*))                                                        \
    X(void, DepthFunc, (GLenum))                                                                             \
    X(void, Disable, (GLenum))                                                                               \
    X(void, DrawElements, (GLenum, GLsizei, GLenum, const void*))                                            \
    X(void, Enable, (GLenum))                                                                                \
    X(void, EnableVertexAttribArray, (GLuint))                                                               \
    X(void, Finish, ())                                                                                      \
    X(void, Flush, ())                                                                                       \
    X(void, FrontFace, (GLenum))                                                                             \
    X(void, GenBuffers, (GLsizei, GLuint*))                                                                  \
    X(void, GenTextures, (GLsizei, GLuint*))                                                                 \
    X(void, GetProgramiv, (GLuint, GLenum, GLint*))                                                          \
    X(void, GetShaderiv, (GLuint, GLenum, GLint*))                                                           \
    X(GLint, GetUniformLocation, (GLuint, const GLcharEs*))                                                  \
    X(void, LinkProgram, (GLuint))                                                                           \
    X(void, PixelStorei, (GLenum, GLint))                                                                    \
    X(void, ReadPixels, (GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*))                             \
    X(void, ShaderSource, (GLuint, GLsizei, const GLcharEs* const*, const GLint*))                           \
    X(void, TexImage2D, (GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*))       \
    X(void, TexParameteri, (GLenum, GLenum, GLint))                                                          \
    X(void, Uniform1i, (GLint, GLint))                                                                       \
    X(void, Uniform1f, (GLint, GLfloat))                                                                     \
    X(void, Uniform4fv, (GLint, GLsizei, const GLfloat*))                                                    \
    X(void, UniformMatrix3fv, (GLint, GLsizei, GLboolean, const GLfloat*))                                   \
    X(void, UniformMatrix4fv, (GLint, GLsizei, GLboolean, const GLfloat*))                                   \
    X(void, UseProgram, (GLuint))                                                                            \
    X(void, VertexAttribPointer, (GLuint, GLint, GLenum, GLboolean, GLsizei, const void*))                   \
    X(void, Viewport, (GLint, GLint, GLsizei, GLsizei))

struct Es2 {
#define VALE_ES2_POINTER(ret, name, params) ret(APIENTRY* name) params = nullptr;
    VALE_ES2_FUNCTIONS(VALE_ES2_POINTER)
#undef VALE_ES2_POINTER
    bool live = false;  // a context is current and the table filled
};
extern Es2 es;

// Fills the table for the context current now; false if an entry is missing.
bool loadEs2();

// ES 2 tokens OpenGL 1.1's headers lack.
constexpr GLenum kArrayBuffer = 0x8892, kElementArrayBuffer = 0x8893, kStreamDraw = 0x88E0;
constexpr GLenum kFragmentShader = 0x8B30, kVertexShader = 0x8B31, kCompileStatus = 0x8B81, kLinkStatus = 0x8B82;
constexpr GLenum kTexture0 = 0x84C0;

}  // namespace gl11
