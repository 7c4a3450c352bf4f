#include "gl_context.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/testing/test_platform.h"

namespace {

// Starts Xvfb on the first free display from 150 and waits until it answers.
Display* startServer(int& pid) {
    for (int number = 150 + (getpid() % 50); number < 400; ++number) {
        const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        if (access(lock.c_str(), F_OK) == 0) continue;
        const std::string name = ":" + std::to_string(number);
        pid = fork();
        if (pid == 0) {
            std::freopen("/dev/null", "w", stderr);
            execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", nullptr);
            _exit(127);
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            usleep(50000);
            if (Display* d = XOpenDisplay(name.c_str())) return d;
            int status;
            if (waitpid(pid, &status, WNOHANG) == pid) break;  // it failed; try another number
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
    return nullptr;
}

}  // namespace

GlContext::GlContext(int width, int height) : width_(width), height_(height) {
    Display* display = startServer(serverPid_);
    if (!display) return;
    display_ = display;
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                        GLX_DEPTH_SIZE, 24, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
    if (!visual) return;
    XSetWindowAttributes set = {};
    set.colormap = XCreateColormap(display, RootWindow(display, visual->screen), visual->visual, AllocNone);
    window_ = XCreateWindow(display, RootWindow(display, visual->screen), 0, 0, width, height, 0, visual->depth,
                            InputOutput, visual->visual, CWColormap, &set);
    XMapWindow(display, window_);
    context_ = glXCreateContext(display, visual, nullptr, True);
    XFree(visual);
    if (!context_ || !glXMakeCurrent(display, window_, static_cast<GLXContext>(context_))) return;
    ok_ = true;
}

GlContext::~GlContext() {
    Display* display = static_cast<Display*>(display_);
    if (display) {
        glXMakeCurrent(display, None, nullptr);
        if (context_) glXDestroyContext(display, static_cast<GLXContext>(context_));
        if (window_) XDestroyWindow(display, window_);
        XCloseDisplay(display);
    }
    if (serverPid_ > 0) {
        kill(serverPid_, SIGTERM);
        waitpid(serverPid_, nullptr, 0);
    }
    testplatform::procAddress = nullptr;
    testplatform::fontBuilder = nullptr;
}

void GlContext::capture() {
    glFinish();
    pixels_.assign(static_cast<size_t>(width_) * height_ * 4, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
}

Rgb GlContext::pixel(int x, int y) const {
    const uint8_t* p = &pixels_[(static_cast<size_t>(height_ - 1 - y) * width_ + x) * 4];
    return {p[0], p[1], p[2]};
}

void useContextForPlatform(GlContext& context) {
    Display* display = glXGetCurrentDisplay();
    (void)context;
    testplatform::procAddress = [](const char* name) {
        return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
    };
    testplatform::fontBuilder = [display](const char*, int, unsigned listBase) {
        XFontStruct* font = XLoadQueryFont(display, "fixed");
        if (!font) return;
        glXUseXFont(font->fid, 32, 96, static_cast<int>(listBase));
        XFreeFont(display, font);
    };
}
