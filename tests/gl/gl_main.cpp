// gtest and the game's headers come before X11's, whose macros and types
// (None, Font) clash with them.
#include "gl_env.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>

namespace {

// A double-buffered window made current, the platform seam's entry points
// and font pointed at it.
bool openContext(Display* display) {
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                        GLX_DEPTH_SIZE, 24, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
    if (!visual) return false;
    XSetWindowAttributes set = {};
    set.colormap = XCreateColormap(display, RootWindow(display, visual->screen), visual->visual, AllocNone);
    const Window window = XCreateWindow(display, RootWindow(display, visual->screen), 0, 0, kWidth, kHeight, 0,
                                        visual->depth, InputOutput, visual->visual, CWColormap, &set);
    XMapWindow(display, window);
    GLXContext context = glXCreateContext(display, visual, nullptr, True);
    XFree(visual);
    if (!context || !glXMakeCurrent(display, window, context)) return false;
    testplatform::procAddress = [](const char* name) {
        return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
    };
    testplatform::fontBuilder = [display](const char*, int, unsigned listBase) {
        if (XFontStruct* font = XLoadQueryFont(display, "fixed")) {
            glXUseXFont(font->fid, 32, 96, static_cast<int>(listBase));
            XFreeFont(display, font);
        }
    };
    glWindow.glActiveTextureARB = reinterpret_cast<ActiveTextureArbFn>(testplatform::procAddress("glActiveTextureARB"));
    glWindow.glMultiTexCoord2fARB =
        reinterpret_cast<MultiTexCoord2fArbFn>(testplatform::procAddress("glMultiTexCoord2fARB"));
    return true;
}

}  // namespace

Frame capture(int width, int height) {
    glFinish();
    const size_t row = static_cast<size_t>(width) * 3;
    Frame rows(row * height), rgb(rows.size());
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    for (int y = 0; y < height; ++y) std::copy_n(&rows[(height - 1 - y) * row], row, &rgb[y * row]);  // read bottom up
    return rgb;
}

// Run under tests/e2e/with_xvfb.sh, which gives it a display of its own.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Display* display = XOpenDisplay(nullptr);
    if (!display || !openContext(display)) {
        std::fprintf(stderr, "no OpenGL context on the display\n");
        return 1;
    }
    const int status = RUN_ALL_TESTS();
    // The context goes before the process does, as the program's own does,
    // so that what the driver holds for it is freed, not left to the exit.
    GLXContext context = glXGetCurrentContext();
    glXMakeCurrent(display, None, nullptr);
    glXDestroyContext(display, context);
    XCloseDisplay(display);
    return status;
}
