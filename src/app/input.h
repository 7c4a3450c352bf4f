// Key states and the per-frame mouse motion, written by the window's message
// handling and polled by the frame.
#pragma once

#include <cstdint>

constexpr int kKeyEscape = 27;
constexpr int kKeyShift = 16;
constexpr int kKeyControl = 17;
constexpr int kKeyEnd = 35;
constexpr int kKeyW = 0x57, kKeyS = 0x53, kKeyA = 0x41, kKeyD = 0x44;
// The mouse turns the view (heading and pitch) by this much a pixel.
constexpr float kTurnDegreesPerPixel = 0.1f;

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
