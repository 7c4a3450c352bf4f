// What the X11 backend's files share: its connection, window and context,
// and the state that its event handling and its window code both touch.
// None of it leaves the backend.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdlib>

#include "platform/fixed_clock.h"
#include "platform/presses.h"

namespace x11 {

struct State {
    Display* display = nullptr;
    Window window = 0;
    XVisualInfo* visual = nullptr;
    GLXContext context = nullptr;
    Atom deleteWindow = 0;
    bool quitPosted = false;
    int quitCode = 0;
    bool windowLost = false;  // the window is gone: nothing may touch it
    // The pointer where the events last put it, and the last warp: events the
    // server made before the warp (an older serial) still count from where
    // the pointer was, so a move that lands just before a warp is not lost.
    int pointerX = 0, pointerY = 0;
    bool pointerSeen = false;
    unsigned long warpSerial = 0;
    int warpX = 0, warpY = 0;
    bool warpPending = false;
    platform::FixedClock clock{std::getenv("VALE_FIXED_CLOCK") != nullptr};  // for tests, counted at each swap
    platform::Presses presses;  // keys and buttons, let go once a frame has seen them
};

extern State state;

// A connection to the server; one that fails is asked again for up to two
// seconds, as a busy server may turn one away for a moment. Null when there
// is none.
Display* openDisplay();

// The window went away from outside: the run ends as a close ends it.
void loseWindow();

}  // namespace x11
