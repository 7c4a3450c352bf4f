// gtest and the game's headers come before X11's, whose macros and types
// (None, Font) clash with them.
#include "app/gl_window.h"
#include "gl_env.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::vector<uint8_t> pixels;

// Starts Xvfb on the first free display from 150 and waits until it answers.
Display* startServer(int& pid) {
    for (int number = 150 + (getpid() % 50); number < 400; ++number) {
        if (access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) == 0) continue;
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
            if (waitpid(pid, nullptr, WNOHANG) == pid) break;  // it failed; try another number
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
    return nullptr;
}

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

void capture() {
    glFinish();
    pixels.assign(static_cast<size_t>(kWidth) * kHeight * 4, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

Rgb pixel(int x, int y) {
    const uint8_t* p = &pixels[(static_cast<size_t>(kHeight - 1 - y) * kWidth + x) * 4];
    return {p[0], p[1], p[2]};
}

std::array<float, 4> current(GLenum what) {
    std::array<float, 4> v{};
    glGetFloatv(what, v.data());
    return v;
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    int server = -1;
    Display* display = startServer(server);
    const bool ok = display && openContext(display);
    const int status = ok ? RUN_ALL_TESTS() : (std::fprintf(stderr, "no OpenGL context on Xvfb\n"), 1);
    if (server > 0) kill(server, SIGTERM), waitpid(server, nullptr, 0);
    return status;
}
