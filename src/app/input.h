// Key states and the per-frame mouse motion, written by the window's message
// handling and polled by the frame.
#pragma once

#include <cstdint>

constexpr int kKeyEscape = 27;
constexpr int kKeyShift = 16;
constexpr int kKeyControl = 17;
constexpr int kKeyEnd = 35;

struct Keyboard {
    bool keys[256] = {};
};

struct Mouse {
    bool leftButton;
    bool rightButton;
    int32_t x;
    int32_t y;
    int32_t lastX;
    int32_t lastY;
    int32_t deltaX;
    int32_t deltaY;

    Mouse();
    // Motion since the previous update; with recentre the pointer is put back
    // in the middle of the window.
    void update(bool recentre);
};

extern Keyboard keyboard;
extern Mouse mouse;
