// The X11 backend's events, mapped onto the Windows key codes and window
// messages the game reads; the quit request; clocks, sound and the entry
// point.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <csignal>
#include <cstdlib>
#include <ctime>

#include "app/input.h"
#include "app/vale.h"
#include "platform/platform.h"
#include "platform/x11/alsa_sound.h"
#include "platform/x11/x11.h"

namespace {

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
            if (const unsigned vk = virtualKey(sym)) x11::state.presses.set(static_cast<int>(vk), event.type == KeyPress);
            break;
        }
        case MotionNotify: {
            // The game reads a position and puts the pointer back at the
            // centre; each move adds its own motion to the position read.
            x11::State& x = x11::state;
            if (x.warpPending && static_cast<long>(event.xmotion.serial - x.warpSerial) >= 0)
                x.pointerX = x.warpX, x.pointerY = x.warpY, x.warpPending = false, x.pointerSeen = true;
            if (!x.pointerSeen) x.pointerX = mouse.x, x.pointerY = mouse.y, x.pointerSeen = true;
            mouse.x += event.xmotion.x - x.pointerX;
            mouse.y += event.xmotion.y - x.pointerY;
            x.pointerX = event.xmotion.x, x.pointerY = event.xmotion.y;
            break;
        }
        case ButtonPress:
        case ButtonRelease:
            if (event.xbutton.button == Button1)
                x11::state.presses.set(platform::Presses::kLeftButton, event.type == ButtonPress);
            if (event.xbutton.button == Button3)
                x11::state.presses.set(platform::Presses::kRightButton, event.type == ButtonPress);
            break;
        case MapNotify: glWindow.active = true; break;
        case UnmapNotify: glWindow.active = false; break;  // iconified
        case DestroyNotify:
            if (event.xdestroywindow.window == x11::state.window) x11::loseWindow();
            break;
        case ClientMessage:
            if (static_cast<Atom>(event.xclient.data.l[0]) == x11::state.deleteWindow) platform::postQuitMessage(0);
            break;
        default: break;
    }
}

}  // namespace

namespace platform {

bool pumpMessage(bool& quit, int& exitCode) {
    x11::State& x = x11::state;
    if (x.quitPosted) {
        x.quitPosted = false;
        quit = true;
        exitCode = x.quitCode;
        return true;
    }
    if (!x.display || !XPending(x.display)) return false;
    XEvent event;
    XNextEvent(x.display, &event);
    handleEvent(event);
    return true;
}

void postQuitMessage(int exitCode) {
    x11::state.quitPosted = true;
    x11::state.quitCode = exitCode;
}

uint32_t tickCount() {
    return x11::state.clock.on ? x11::state.clock.tickCount() : static_cast<uint32_t>(monotonicNs() / 1000000);
}

int32_t clockMs() { return static_cast<int32_t>((monotonicNs() - processStart) / 1000000); }

int64_t performanceFrequency() { return 1000000000; }

int64_t performanceCounter() {
    return x11::state.clock.on ? x11::state.clock.counter(performanceFrequency()) : monotonicNs();
}

void playSound(const char* fileName) { alsa::play(fileName); }

void exitProcess(int status) { std::exit(status); }

}  // namespace platform

int main() {
    // A server that goes away mid-write must reach Xlib as an I/O error, whose
    // handler ends the run with its log, not as SIGPIPE, which kills outright.
    std::signal(SIGPIPE, SIG_IGN);
    return valeMain();
}
