// The reviewed frames drawn through the layer's OpenGL 1.1 over Mesa's
// OpenGL ES 2, as WebGL sees a GPU: an EGL pbuffer without a window (Mesa's
// surfaceless platform), read back as the OpenGL tests read theirs. The
// bitmap font is X's "fixed", as the OpenGL tests' glXUseXFont makes it,
// cut into the layer's glyphs.
//
// The frames are held to the reviewed ones as the OpenGL tests hold Mesa's
// own: no more than 25 pixels a frame off by more than 8 levels a channel.
// The layer lights per vertex as Mesa does and fogs per fragment; what is
// left is rounding (its colours go through 8 bits before lighting, its
// shaders are not Mesa's): the seven frames differ by at most 5 levels, and
// not one pixel by more than 8. A part missing or wrong (a light, the fog,
// a unit, a matrix, a glyph) differs by far more than 8 in far more than
// 25 pixels: each seeded fault of the layer fails this (a glyph one off,
// the least of them, by 44 pixels a frame).
#include "gl/gl_env.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/gl11/es2.h"
#include "platform/gl11/gl11.h"

extern "C" void glActiveTextureARB(GLenum texture);
extern "C" void glMultiTexCoord2fARB(GLenum target, GLfloat s, GLfloat t);

namespace {

EGLDisplay display = EGL_NO_DISPLAY;

bool openContext() {
    auto platformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!platformDisplay) return false;
    display = platformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr) || !eglBindAPI(EGL_OPENGL_ES_API))
        return false;
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT,
                                 EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 24, EGL_NONE};
    EGLConfig config;
    EGLint configs = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &configs) || configs < 1) return false;
    const EGLint size[] = {EGL_WIDTH, kWidth, EGL_HEIGHT, kHeight, EGL_NONE};
    const EGLSurface surface = eglCreatePbufferSurface(display, config, size);
    const EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    const EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, version);
    if (surface == EGL_NO_SURFACE || context == EGL_NO_CONTEXT || !eglMakeCurrent(display, surface, surface, context))
        return false;
    return gl11::attach(kWidth, kHeight);
}

// X's "fixed" font drawn into an atlas, 16 glyphs a row, each cell the
// font's widest and tallest; each glyph's origin where glXUseXFont puts it.
void buildFixedFont(unsigned listBase) {
    Display* x = XOpenDisplay(nullptr);
    XFontStruct* font = x ? XLoadQueryFont(x, "fixed") : nullptr;
    if (!font) {
        if (x) XCloseDisplay(x);
        return;
    }
    const int left = font->min_bounds.lbearing, cellW = font->max_bounds.rbearing - left;
    const int cellH = font->ascent + font->descent, width = 16 * cellW, height = 6 * cellH;
    const Pixmap pixmap = XCreatePixmap(x, DefaultRootWindow(x), static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 1);
    const GC gc = XCreateGC(x, pixmap, 0, nullptr);
    XSetFont(x, gc, font->fid);
    XSetForeground(x, gc, 0);
    XFillRectangle(x, pixmap, gc, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSetForeground(x, gc, 1);
    std::vector<gl11::Glyph> glyphs(96);
    for (int i = 0; i < 96; ++i) {
        const char c = static_cast<char>(32 + i);
        const int cx = (i % 16) * cellW, cy = (i / 16) * cellH;
        XDrawString(x, pixmap, gc, cx - left, cy + font->ascent, &c, 1);
        const XCharStruct* metrics = font->per_char ? &font->per_char[c - font->min_char_or_byte2] : &font->max_bounds;
        // glXUseXFont's origin is a row above the glyph's baseline.
        glyphs[i] = {cx, cy, cellW, cellH, static_cast<float>(-left), static_cast<float>(font->descent - 1),
                     static_cast<float>(metrics->width)};
    }
    XImage* image = XGetImage(x, pixmap, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 1, XYPixmap);
    std::vector<uint8_t> atlas(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int px = 0; px < width; ++px) atlas[static_cast<size_t>(y) * width + px] = XGetPixel(image, px, y) ? 255 : 0;
    gl11::defineGlyphs(listBase, 96, glyphs.data(), atlas.data(), width, height);
    XDestroyImage(image);
    XFreeGC(x, gc);
    XFreePixmap(x, pixmap);
    XFreeFont(x, font);
    XCloseDisplay(x);
}

}  // namespace

Frame capture(int width, int height) {
    gl11::finish();
    gl11::es.Finish();
    const size_t row = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> rgba(row * height);
    gl11::es.ReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    Frame rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)  // read bottom up
        for (int x = 0; x < width; ++x)
            std::copy_n(&rgba[(height - 1 - y) * row + x * 4], 3, &rgb[(static_cast<size_t>(y) * width + x) * 3]);
    return rgb;
}

// Run under tests/e2e/with_xvfb.sh, for the font's display.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!openContext()) {
        std::fprintf(stderr, "no OpenGL ES 2 context through EGL\n");
        return 1;
    }
    testplatform::procAddress = [](const char* name) -> void* {
        if (!std::strcmp(name, "glActiveTextureARB")) return reinterpret_cast<void*>(&glActiveTextureARB);
        if (!std::strcmp(name, "glMultiTexCoord2fARB")) return reinterpret_cast<void*>(&glMultiTexCoord2fARB);
        return nullptr;
    };
    testplatform::fontBuilder = [](const char*, int, unsigned listBase) { buildFixedFont(listBase); };
    glWindow.glActiveTextureARB = &glActiveTextureARB;
    glWindow.glMultiTexCoord2fARB = &glMultiTexCoord2fARB;
    const int status = RUN_ALL_TESTS();
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglTerminate(display);
    return status;
}
