// Message boxes as small X windows of their own: the caption as the title,
// the text and an OK button. The message goes to stderr as well, for a run
// started from a terminal or without a display.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/platform.h"
#include "platform/x11/x11.h"

namespace x11 {

Display* openDisplay() {
    // Xlib says little of why a connection failed (a busy server may close
    // it during the set-up, leaving errno as the last file lookup set it), so
    // every failure is tried again while there is a display to ask.
    const char* name = std::getenv("DISPLAY");
    for (int attempt = 0;; ++attempt) {
        if (Display* d = XOpenDisplay(nullptr)) return d;
        if (!name || !*name || attempt == 40) return nullptr;
        timespec pause = {0, 50000000};
        nanosleep(&pause, nullptr);
    }
}

}  // namespace x11

namespace platform {

// Modal: its own connection and window; Return, Escape, Space or a click on
// OK closes it.
void messageBox(const char* text, const char* caption, unsigned style) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    Display* d = x11::openDisplay();
    if (!d) return;
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

}  // namespace platform
