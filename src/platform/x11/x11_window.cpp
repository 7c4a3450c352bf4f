// The X11 backend's window and GLX context: XRandR full screen, the pointer
// warp, the multitexture entry points and the bitmap font through
// glXUseXFont. The screen saver is held off while the window lives.
//
// X errors never end the process: while the window and context are made, an
// error fails that step with its numbered box; afterwards an error about the
// window (destroyed from outside, say) ends the run as a close does. Losing
// the server ends the process at once, after the shell's lost handler.
#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/scrnsaver.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/config.h"
#include "platform/platform.h"
#include "platform/texts.h"
#include "platform/x11/x11.h"

namespace x11 {

State state;

void loseWindow() {
    if (state.windowLost) return;
    state.windowLost = true;
    platform::postQuitMessage(0);
}

}  // namespace x11

namespace {

// The window's icon, drawn by the data generator: each size's width and
// height, then its ARGB pixels, as _NET_WM_ICON holds them.
const unsigned long kIcon[] = {
#include "vale_icon.inc"
};

x11::State& x = x11::state;

struct WindowState {
    bool modeChanged = false;
    SizeID originalSize = 0;
    Rotation originalRotation = RR_Rotate_0;
    Cursor blankCursor = 0;
    Colormap colormap = 0;
    bool creating = false;  // an X error now fails the step being made
    int error = 0;          // the first error code since the step began
    void (*lost)() = nullptr;
} w;

// X's window sizes are 16-bit, and never 0.
constexpr unsigned kMaxWindowSide = 65535;

int onXError(Display*, XErrorEvent* error) {
    if (w.creating) {
        if (!w.error) w.error = error->error_code;
    } else if (x.window && error->resourceid == x.window) {
        x11::loseWindow();
    }
    return 0;
}

int onXIoError(Display*) {
    // The server has gone: nothing can be drawn or released any more.
    if (w.lost) w.lost();
    std::_Exit(0);
}

// Whether the requests made since the step began went through.
bool stepDone(Display* d) {
    XSync(d, False);
    const bool done = w.error == 0;
    w.error = 0;
    return done;
}

void fail(const texts::Box& box) { platform::messageBox(box, platform::kBoxExclamation); }

// Switches the screen to the configured size; false when it has no such mode.
bool enterFullscreen(Display* d) {
    const int screen = DefaultScreen(d);
    const int depth = DefaultDepth(d, screen);
    // X keeps the depth of its screen: only that depth (or 32 over a 24-bit
    // screen, the same pixels with padding) can be had.
    if (config.resolution_depth != depth && !(config.resolution_depth == 32 && depth == 24)) return false;
    XRRScreenConfiguration* conf = XRRGetScreenInfo(d, RootWindow(d, screen));
    if (!conf) return false;
    int count = 0;
    XRRScreenSize* sizes = XRRConfigSizes(conf, &count);
    int chosen = -1;
    for (int i = 0; i < count; ++i)
        if (sizes[i].width == config.resolution_width && sizes[i].height == config.resolution_height) chosen = i;
    bool ok = false;
    if (chosen >= 0) {
        w.originalSize = XRRConfigCurrentConfiguration(conf, &w.originalRotation);
        ok = chosen == w.originalSize ||
             XRRSetScreenConfig(d, conf, RootWindow(d, screen), chosen, w.originalRotation, CurrentTime) == Success;
        w.modeChanged = ok && chosen != w.originalSize;
    }
    XRRFreeScreenConfigInfo(conf);
    return ok;
}

void leaveFullscreen(Display* d) {
    if (!w.modeChanged) return;
    XRRScreenConfiguration* conf = XRRGetScreenInfo(d, DefaultRootWindow(d));
    if (conf) {
        XRRSetScreenConfig(d, conf, DefaultRootWindow(d), w.originalSize, w.originalRotation, CurrentTime);
        XRRFreeScreenConfigInfo(conf);
    }
    w.modeChanged = false;
}

Cursor makeBlankCursor(Display* d, Window window) {
    static const char empty[8] = {};
    Pixmap pixmap = XCreateBitmapFromData(d, window, empty, 8, 8);
    XColor black = {};
    Cursor cursor = XCreatePixmapCursor(d, pixmap, pixmap, &black, &black, 0, 0);
    XFreePixmap(d, pixmap);
    return cursor;
}

// The release runs first (its own errors ignored), then the box shows.
bool creationFailed(const texts::Box& box) {
    platform::killGlWindow();
    w.creating = false;
    w.error = 0;
    fail(box);
    return false;
}

// The window of the configured size, named and fixed in size; 0 when X
// cannot take the size.
Window makeWindow(Display* d, unsigned width, unsigned height) {
    if (width == 0 || height == 0 || width > kMaxWindowSide || height > kMaxWindowSide) return 0;
    const int screen = DefaultScreen(d);
    XSetWindowAttributes set = {};
    w.colormap = XCreateColormap(d, RootWindow(d, screen), x.visual->visual, AllocNone);
    set.colormap = w.colormap;
    set.event_mask = KeyPressMask | KeyReleaseMask | PointerMotionMask | ButtonPressMask | ButtonReleaseMask |
                     StructureNotifyMask | FocusChangeMask;
    set.override_redirect = config.fullscreen ? True : False;
    const Window window = XCreateWindow(d, RootWindow(d, screen), 0, 0, width, height, 0, x.visual->depth,
                                        InputOutput, x.visual->visual, CWColormap | CWEventMask | CWOverrideRedirect,
                                        &set);
    XStoreName(d, window, texts::kWindowTitle);
    // The title in UTF-8, and the class and icon by which docks and task bars
    // tie the window to the desktop entry (StartupWMClass=Vale).
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    XChangeProperty(d, window, XInternAtom(d, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(texts::kWindowTitle), sizeof texts::kWindowTitle - 1);
    char name[] = "vale", className[] = "Vale";
    XClassHint classHint = {name, className};
    XSetClassHint(d, window, &classHint);
    XChangeProperty(d, window, XInternAtom(d, "_NET_WM_ICON", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(kIcon), sizeof kIcon / sizeof kIcon[0]);
    // Fixed size: the client area keeps the configured size for the run.
    XSizeHints hints = {};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.min_width = hints.max_width = static_cast<int>(width);
    hints.min_height = hints.max_height = static_cast<int>(height);
    XSetWMNormalHints(d, window, &hints);
    x.deleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, window, &x.deleteWindow, 1);
    if (config.fullscreen) {
        w.blankCursor = makeBlankCursor(d, window);
        XDefineCursor(d, window, w.blankCursor);
    }
    return window;
}

}  // namespace

namespace platform {

bool createGlWindow() {
    XSetErrorHandler(onXError);
    XSetIOErrorHandler(onXIoError);
    Display* d = x11::openDisplay();
    if (!d) {
        fail(texts::kRegisterClass);
        return false;
    }
    x.display = d;
    x.windowLost = false;
    w.creating = true;
    XkbSetDetectableAutoRepeat(d, True, nullptr);  // held keys send no releases
    if (config.fullscreen && !(enterFullscreen(d) && stepDone(d))) {
        w.creating = false;
        leaveFullscreen(d);  // the display keeps its mode
        XCloseDisplay(d);
        x.display = nullptr;
        fail(texts::kFullscreen);
        return false;
    }

    const int colour = (config.resolution_depth & 0xFF) >= 24 ? 8 : (config.resolution_depth & 0xFF) >= 15 ? 5 : 1;
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, colour, GLX_GREEN_SIZE, colour, GLX_BLUE_SIZE,
                        colour, GLX_DEPTH_SIZE, config.zbuffer_depth & 0xFF, None};
    x.visual = glXChooseVisual(d, DefaultScreen(d), attributes);
    if (!x.visual || !stepDone(d)) return creationFailed(texts::kSuitablePixelFormat);

    // The configured size as the window's, which X holds to 16 bits: a size
    // it cannot take is refused, not cut.
    const unsigned width = static_cast<unsigned>(config.resolution_width);
    const unsigned height = static_cast<unsigned>(config.resolution_height);
    x.window = makeWindow(d, width, height);
    if (!x.window || !stepDone(d)) return creationFailed(texts::kWindow);

    x.context = glXCreateContext(d, x.visual, nullptr, True);
    if (!x.context || !stepDone(d)) return creationFailed(texts::kRenderingContext);
    XMapRaised(d, x.window);
    // Wait until the window is on screen, so that focus and drawing work.
    for (XEvent e;;) {
        XWindowEvent(d, x.window, StructureNotifyMask, &e);
        if (e.type == MapNotify) break;
        if (e.type == DestroyNotify) {
            x.windowLost = true;
            return creationFailed(texts::kWindow);
        }
    }
    if (!glXMakeCurrent(d, x.window, x.context) || !stepDone(d))
        return creationFailed(texts::kContextActivation);
    // Nor may the window outgrow what the context can draw: a software
    // rasteriser would read past its buffers.
    GLint viewport[2] = {};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    if (width > static_cast<unsigned>(viewport[0]) || height > static_cast<unsigned>(viewport[1]))
        return creationFailed(texts::kWindow);
    w.creating = false;
    XSetInputFocus(d, x.window, RevertToParent, CurrentTime);
    XScreenSaverSuspend(d, True);  // nor does the monitor power down
    if (config.fullscreen) XGrabKeyboard(d, x.window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    return true;
}

void killGlWindow() {
    Display* d = x.display;
    if (!d) return;
    if (config.fullscreen) leaveFullscreen(d);
    if (x.context) {
        if (!glXMakeCurrent(d, None, nullptr))
            messageBox(texts::kReleaseContexts, kBoxInformation);
        glXDestroyContext(d, x.context);
        x.context = nullptr;
    }
    if (x.visual) {
        XFree(x.visual);
        x.visual = nullptr;
    }
    if (x.window && !x.windowLost) XDestroyWindow(d, x.window);
    x.window = 0;
    XScreenSaverSuspend(d, False);
    if (w.blankCursor) XFreeCursor(d, w.blankCursor);
    if (w.colormap) XFreeColormap(d, w.colormap);
    w.blankCursor = 0;
    w.colormap = 0;
    XCloseDisplay(d);
    x.display = nullptr;
}

void swapGlBuffers() {
    if (!x.windowLost) glXSwapBuffers(x.display, x.window);
    x.presses.frameDrawn();
    ++x.clock.frames;
}

void setLostHandler(void (*handler)()) { w.lost = handler; }

void setCursorPos(int px, int py) {
    if (x.display && x.window && !x.windowLost) {
        x.warpSerial = NextRequest(x.display), x.warpX = px, x.warpY = py, x.warpPending = true;
        XWarpPointer(x.display, None, x.window, 0, 0, 0, 0, px, py);
        XFlush(x.display);
    }
}

// GLX hands out a pointer for any name, supported or not, so the entry points
// of the multitexture extension count only where the context names it.
void* glProcAddress(const char* name) {
    if (std::strstr(name, "ARB") && (!std::strncmp(name, "glActiveTexture", 15) || !std::strncmp(name, "glMultiTexCoord", 15))) {
        const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        bool listed = false;
        for (const char* p = extensions; p && (p = std::strstr(p, "GL_ARB_multitexture")); p += 19)
            listed = listed || ((p == extensions || p[-1] == ' ') && (p[19] == ' ' || p[19] == '\0'));
        if (!listed) return nullptr;
    }
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

void buildFont(const char* faceName, int size, unsigned listBase) {
    if (!x.display) return;
    char pattern[160];
    std::snprintf(pattern, sizeof pattern, "-*-%s-bold-r-normal--%d-*-*-*-*-*-iso8859-1", faceName, size);
    XFontStruct* font = XLoadQueryFont(x.display, pattern);
    if (!font) font = XLoadQueryFont(x.display, "fixed");
    if (!font) return;
    glXUseXFont(font->fid, 32, 96, static_cast<int>(listBase));
    XFreeFont(x.display, font);
}

}  // namespace platform
