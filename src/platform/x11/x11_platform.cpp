// The X11 backend: the window and GLX context, event handling mapped onto
// the Windows key codes the game reads, XRandR full screen, message boxes as
// small X windows, timers, pointer warping, sound through ALSA and the bitmap
// font through glXUseXFont. The screen saver is held off while it runs.
//
// X errors never end the process: while the window and context are made, an
// error fails that step with its numbered box; afterwards an error about the
// window (destroyed from outside, say) ends the run as a close does. Losing
// the server ends the process at once, with the log written.
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/scrnsaver.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/config.h"
#include "app/frame_timer.h"
#include "app/gl_window.h"
#include "app/input.h"
#include "app/vale.h"
#include "platform/platform.h"
#include "platform/x11/alsa_sound.h"
#include "terrain/scene.h"

namespace {

const char kTitle[] = "Vale - by Pellam";

Display* display() { return static_cast<Display*>(glWindow.hInstance); }

struct X11State {
    Atom deleteWindow = 0;
    bool quitPosted = false;
    int quitCode = 0;
    bool modeChanged = false;
    SizeID originalSize = 0;
    Rotation originalRotation = RR_Rotate_0;
    Cursor blankCursor = 0;
    Colormap colormap = 0;
    bool creating = false;    // an X error now fails the step being made
    int error = 0;            // the first error code since the step began
    bool windowLost = false;  // the window is gone: nothing may touch it
    bool looping = false;     // the main loop has begun
} x11;

// X's window sizes are 16-bit, and never 0.
constexpr unsigned kMaxWindowSide = 65535;

void loseWindow() {
    if (x11.windowLost) return;
    x11.windowLost = true;
    postQuitMessage(0);
}

int onXError(Display*, XErrorEvent* error) {
    if (x11.creating) {
        if (!x11.error) x11.error = error->error_code;
    } else if (glWindow.hWnd && error->resourceid == glWindow.hWnd) {
        loseWindow();
    }
    return 0;
}

int onXIoError(Display*) {
    // The server has gone: nothing can be drawn or released any more.
    if (x11.looping) frameTimer.saveResults("fps.txt");
    std::_Exit(0);
}

// Whether the requests made since the step began went through.
bool stepDone(Display* d) {
    XSync(d, False);
    const bool done = x11.error == 0;
    x11.error = 0;
    return done;
}

int64_t monotonicNs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

const int64_t processStart = monotonicNs();

// The Windows virtual-key code of a key symbol, 0 for keys the game never reads.
unsigned virtualKey(KeySym sym) {
    if (sym >= XK_a && sym <= XK_z) return static_cast<unsigned>('A' + (sym - XK_a));
    if (sym >= XK_A && sym <= XK_Z) return static_cast<unsigned>('A' + (sym - XK_A));
    if (sym >= XK_0 && sym <= XK_9) return static_cast<unsigned>('0' + (sym - XK_0));
    if (sym >= XK_F1 && sym <= XK_F12) return static_cast<unsigned>(112 + (sym - XK_F1));
    switch (sym) {
        case XK_BackSpace: return 8;
        case XK_Tab: return 9;
        case XK_Return: case XK_KP_Enter: return 13;
        case XK_Shift_L: case XK_Shift_R: return 16;
        case XK_Control_L: case XK_Control_R: return 17;
        case XK_Pause: return 19;
        case XK_Caps_Lock: return 20;
        case XK_Escape: return 27;
        case XK_space: return 32;
        case XK_Prior: return 33;
        case XK_Next: return 34;
        case XK_End: case XK_KP_End: return 35;
        case XK_Home: return 36;
        case XK_Left: return 37;
        case XK_Up: return 38;
        case XK_Right: return 39;
        case XK_Down: return 40;
        case XK_Insert: return 45;
        case XK_Delete: return 46;
        default: return 0;
    }
}

// Keys that Windows delivers as system keys (Alt, anything with Alt held,
// F10) never reach the key array.
bool systemKey(const XKeyEvent& key, KeySym sym) {
    return (key.state & Mod1Mask) || sym == XK_Alt_L || sym == XK_Alt_R || sym == XK_F10 || sym == XK_Meta_L ||
           sym == XK_Meta_R;
}

void handleEvent(XEvent& event) {
    switch (event.type) {
        case KeyPress:
        case KeyRelease: {
            const KeySym sym = XLookupKeysym(&event.xkey, 0);
            if (systemKey(event.xkey, sym)) break;
            if (const unsigned vk = virtualKey(sym)) keyboard.keys[vk] = event.type == KeyPress;
            break;
        }
        case MotionNotify:
            mouse.x = event.xmotion.x & 0xFFFF;
            mouse.y = event.xmotion.y & 0xFFFF;
            break;
        case ButtonPress:
        case ButtonRelease:
            if (event.xbutton.button == Button1) mouse.leftButton = event.type == ButtonPress;
            if (event.xbutton.button == Button3) mouse.rightButton = event.type == ButtonPress;
            break;
        case MapNotify: glWindow.active = true; break;
        case UnmapNotify: glWindow.active = false; break;  // iconified
        case DestroyNotify:
            if (event.xdestroywindow.window == glWindow.hWnd) loseWindow();
            break;
        case ClientMessage:
            if (static_cast<Atom>(event.xclient.data.l[0]) == x11.deleteWindow) postQuitMessage(0);
            break;
        default: break;
    }
}

void fail(const char* text, const char* caption, unsigned style) { platform::messageBox(text, caption, style); }

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
        x11.originalSize = XRRConfigCurrentConfiguration(conf, &x11.originalRotation);
        ok = chosen == x11.originalSize ||
             XRRSetScreenConfig(d, conf, RootWindow(d, screen), chosen, x11.originalRotation, CurrentTime) == Success;
        x11.modeChanged = ok && chosen != x11.originalSize;
    }
    XRRFreeScreenConfigInfo(conf);
    return ok;
}

void leaveFullscreen(Display* d) {
    if (!x11.modeChanged) return;
    XRRScreenConfiguration* conf = XRRGetScreenInfo(d, DefaultRootWindow(d));
    if (conf) {
        XRRSetScreenConfig(d, conf, DefaultRootWindow(d), x11.originalSize, x11.originalRotation, CurrentTime);
        XRRFreeScreenConfigInfo(conf);
    }
    x11.modeChanged = false;
}

// A connection to the server. A busy server may turn a connection away
// for a moment (its queue full): that is tried again for a second.
Display* openDisplay() {
    for (int attempt = 0;; ++attempt) {
        errno = 0;
        if (Display* d = XOpenDisplay(nullptr)) return d;
        if ((errno != EAGAIN && errno != ECONNRESET) || attempt == 20) return nullptr;
        timespec pause = {0, 50000000};
        nanosleep(&pause, nullptr);
    }
}

Cursor makeBlankCursor(Display* d, Window w) {
    static const char empty[8] = {};
    Pixmap pixmap = XCreateBitmapFromData(d, w, empty, 8, 8);
    XColor black = {};
    Cursor cursor = XCreatePixmapCursor(d, pixmap, pixmap, &black, &black, 0, 0);
    XFreePixmap(d, pixmap);
    return cursor;
}

}  // namespace

namespace platform {

// A modal box: its own connection and window, titled with the caption, the
// text and an OK button; Return, Escape, Space or a click on OK closes it.
// Without a display the message goes to stderr.
void messageBox(const char* text, const char* caption, unsigned style) {
    Display* d = openDisplay();
    if (!d) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        return;
    }
    const int screen = DefaultScreen(d);
    XFontStruct* font = XLoadQueryFont(d, "fixed");
    const int textWidth = font ? XTextWidth(font, text, static_cast<int>(std::strlen(text))) : 6 * static_cast<int>(std::strlen(text));
    const int iconWidth = style == kBoxPlain ? 0 : 28;
    const int width = std::max(180, textWidth + iconWidth + 40), height = 90;
    const int x = (DisplayWidth(d, screen) - width) / 2, y = (DisplayHeight(d, screen) - height) / 2;
    Window w = XCreateSimpleWindow(d, RootWindow(d, screen), x, y, width, height, 1, BlackPixel(d, screen),
                                   WhitePixel(d, screen));
    XStoreName(d, w, caption);
    XSizeHints hints = {};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.x = x;
    hints.y = y;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(d, w, &hints);
    Atom close = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, w, &close, 1);
    XSelectInput(d, w, ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask);
    XMapRaised(d, w);
    GC gc = XCreateGC(d, w, 0, nullptr);
    if (font) XSetFont(d, gc, font->fid);
    const int buttonX = width / 2 - 30, buttonY = 52, buttonW = 60, buttonH = 24;
    bool done = false, focused = false;
    while (!done) {
        XEvent e;
        XNextEvent(d, &e);
        switch (e.type) {
            case MapNotify:
                if (!focused) {
                    XSetInputFocus(d, w, RevertToParent, CurrentTime);
                    focused = true;
                }
                break;
            case Expose:
                if (e.xexpose.count) break;
                XClearWindow(d, w);
                if (iconWidth) {
                    XDrawArc(d, w, gc, 16, 14, 20, 20, 0, 360 * 64);
                    XDrawString(d, w, gc, 23, 29, style == kBoxInformation ? "i" : "!", 1);
                }
                XDrawString(d, w, gc, 20 + iconWidth, 30, text, static_cast<int>(std::strlen(text)));
                XDrawRectangle(d, w, gc, buttonX, buttonY, buttonW, buttonH);
                XDrawString(d, w, gc, buttonX + 24, buttonY + 16, "OK", 2);
                break;
            case KeyPress: {
                const KeySym sym = XLookupKeysym(&e.xkey, 0);
                done = sym == XK_Return || sym == XK_KP_Enter || sym == XK_Escape || sym == XK_space;
                break;
            }
            case ButtonPress:
                done = e.xbutton.x >= buttonX && e.xbutton.x < buttonX + buttonW && e.xbutton.y >= buttonY &&
                       e.xbutton.y < buttonY + buttonH;
                break;
            case ClientMessage: done = static_cast<Atom>(e.xclient.data.l[0]) == close; break;
            default: break;
        }
    }
    XFreeGC(d, gc);
    if (font) XFreeFont(d, font);
    XDestroyWindow(d, w);
    XCloseDisplay(d);
}

uint32_t tickCount() { return static_cast<uint32_t>(monotonicNs() / 1000000); }

int32_t clockMs() { return static_cast<int32_t>((monotonicNs() - processStart) / 1000000); }

int64_t performanceFrequency() { return 1000000000; }

int64_t performanceCounter() { return monotonicNs(); }

void setCursorPos(int x, int y) {
    if (Display* d = display(); d && glWindow.hWnd && !x11.windowLost) {
        XWarpPointer(d, None, glWindow.hWnd, 0, 0, 0, 0, x, y);
        XFlush(d);
    }
}

void playSound(const char* fileName) { alsa::play(fileName); }

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
    Display* d = display();
    if (!d) return;
    char pattern[160];
    std::snprintf(pattern, sizeof pattern, "-*-%s-bold-r-normal--%d-*-*-*-*-*-iso8859-1", faceName, size);
    XFontStruct* font = XLoadQueryFont(d, pattern);
    if (!font) font = XLoadQueryFont(d, "fixed");
    if (!font) return;
    glXUseXFont(font->fid, 32, 96, static_cast<int>(listBase));
    XFreeFont(d, font);
}

void exitProcess(int status) { std::exit(status); }

}  // namespace platform

bool createGlWindow() {
    XSetErrorHandler(onXError);
    XSetIOErrorHandler(onXIoError);
    Display* d = openDisplay();
    if (!d) {
        fail("Registering of WindowClass failed!", "Error -1", platform::kBoxExclamation);
        return false;
    }
    glWindow.hInstance = d;
    x11.windowLost = false;
    x11.creating = true;
    XkbSetDetectableAutoRepeat(d, True, nullptr);  // held keys send no releases
    const int screen = DefaultScreen(d);
    if (config.fullscreen && !(enterFullscreen(d) && stepDone(d))) {
        x11.creating = false;
        leaveFullscreen(d);  // the display keeps its mode
        XCloseDisplay(d);
        glWindow.hInstance = nullptr;
        fail("Fullscreen initialization failed!", "Error -2", platform::kBoxExclamation);
        return false;
    }

    // The release runs first (its own errors ignored), then the box shows.
    auto creationFailed = [](const char* text, const char* caption) {
        killGlWindow();
        x11.creating = false;
        x11.error = 0;
        fail(text, caption, platform::kBoxExclamation);
        return false;
    };

    const int colour = (config.resolution_depth & 0xFF) >= 24 ? 8 : (config.resolution_depth & 0xFF) >= 15 ? 5 : 1;
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, colour, GLX_GREEN_SIZE, colour, GLX_BLUE_SIZE,
                        colour, GLX_DEPTH_SIZE, config.zbuffer_depth & 0xFF, None};
    XVisualInfo* visual = glXChooseVisual(d, screen, attributes);
    glWindow.hDC = visual;
    if (!visual || !stepDone(d)) return creationFailed("Suitable PixelFormat initialization failed!", "Error -5");

    // The configured size as the window's, which X holds to 16 bits: a size
    // it cannot take is refused, not cut.
    const unsigned width = static_cast<unsigned>(config.resolution_width);
    const unsigned height = static_cast<unsigned>(config.resolution_height);
    if (width == 0 || height == 0 || width > kMaxWindowSide || height > kMaxWindowSide)
        return creationFailed("Window initialization failed!", "Error -3");
    XSetWindowAttributes set = {};
    x11.colormap = XCreateColormap(d, RootWindow(d, screen), visual->visual, AllocNone);
    set.colormap = x11.colormap;
    set.event_mask = KeyPressMask | KeyReleaseMask | PointerMotionMask | ButtonPressMask | ButtonReleaseMask |
                     StructureNotifyMask | FocusChangeMask;
    set.override_redirect = config.fullscreen ? True : False;
    glWindow.hWnd = XCreateWindow(d, RootWindow(d, screen), 0, 0, width, height, 0, visual->depth, InputOutput,
                                  visual->visual, CWColormap | CWEventMask | CWOverrideRedirect, &set);
    XStoreName(d, glWindow.hWnd, kTitle);
    // Fixed size: the client area keeps the configured size for the run.
    XSizeHints hints = {};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.min_width = hints.max_width = static_cast<int>(width);
    hints.min_height = hints.max_height = static_cast<int>(height);
    XSetWMNormalHints(d, glWindow.hWnd, &hints);
    x11.deleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, glWindow.hWnd, &x11.deleteWindow, 1);
    if (config.fullscreen) {
        x11.blankCursor = makeBlankCursor(d, glWindow.hWnd);
        XDefineCursor(d, glWindow.hWnd, x11.blankCursor);
    }
    if (!glWindow.hWnd || !stepDone(d)) return creationFailed("Window initialization failed!", "Error -3");

    glWindow.hRC = glXCreateContext(d, visual, nullptr, True);
    if (!glWindow.hRC || !stepDone(d))
        return creationFailed("GL Rendering Context initialization failed!", "Error -7");
    XMapRaised(d, glWindow.hWnd);
    // Wait until the window is on screen, so that focus and drawing work.
    for (XEvent e;;) {
        XWindowEvent(d, glWindow.hWnd, StructureNotifyMask, &e);
        if (e.type == MapNotify) break;
        if (e.type == DestroyNotify) {
            x11.windowLost = true;
            return creationFailed("Window initialization failed!", "Error -3");
        }
    }
    if (!glXMakeCurrent(d, glWindow.hWnd, static_cast<GLXContext>(glWindow.hRC)) || !stepDone(d))
        return creationFailed("GL Rendering Context activation failed!", "Error -8");
    // Nor may the window outgrow what the context can draw: a software
    // rasteriser would read past its buffers.
    GLint viewport[2] = {};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    if (width > static_cast<unsigned>(viewport[0]) || height > static_cast<unsigned>(viewport[1]))
        return creationFailed("Window initialization failed!", "Error -3");
    x11.creating = false;
    XSetInputFocus(d, glWindow.hWnd, RevertToParent, CurrentTime);
    XScreenSaverSuspend(d, True);  // nor does the monitor power down
    if (config.fullscreen)
        XGrabKeyboard(d, glWindow.hWnd, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    return true;
}

void killGlWindow() {
    Display* d = display();
    if (d) {
        if (config.fullscreen) leaveFullscreen(d);
        if (glWindow.hRC) {
            if (!glXMakeCurrent(d, None, nullptr))
                fail("Release of DC & RC failed!", "Error -9", platform::kBoxInformation);
            glXDestroyContext(d, static_cast<GLXContext>(glWindow.hRC));
            glWindow.hRC = nullptr;
        }
        if (glWindow.hDC) {
            XFree(glWindow.hDC);
            glWindow.hDC = nullptr;
        }
        if (glWindow.hWnd && !x11.windowLost) XDestroyWindow(d, glWindow.hWnd);
        glWindow.hWnd = 0;
        XScreenSaverSuspend(d, False);
        if (x11.blankCursor) XFreeCursor(d, x11.blankCursor);
        if (x11.colormap) XFreeColormap(d, x11.colormap);
        x11.blankCursor = 0;
        x11.colormap = 0;
        XCloseDisplay(d);
        glWindow.hInstance = nullptr;
    }
    releaseScene();
}

bool pumpMessage(bool& quit, int& exitCode) {
    x11.looping = true;
    if (x11.quitPosted) {
        x11.quitPosted = false;
        quit = true;
        exitCode = x11.quitCode;
        return true;
    }
    Display* d = display();
    if (!d || !XPending(d)) return false;
    XEvent event;
    XNextEvent(d, &event);
    handleEvent(event);
    return true;
}

void swapGlBuffers() {
    if (!x11.windowLost) glXSwapBuffers(display(), glWindow.hWnd);
}

void postQuitMessage(int exitCode) {
    x11.quitPosted = true;
    x11.quitCode = exitCode;
}

int main() { return valeMain(); }
