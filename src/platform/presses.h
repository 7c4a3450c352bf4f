// What every backend does with a key or mouse button going down or up. The
// game reads the keys and buttons once a frame, so a press let go before a
// frame has read it (a quick tap on a slow frame) would never be seen: its
// release is kept until the next frame is drawn, and the frame sees the
// press held. A press the game has already seen is let go at once.
#pragma once

#include <bitset>

#include "app/input.h"

namespace platform {

class Presses {
public:
    static constexpr int kLeftButton = 256;
    static constexpr int kRightButton = 257;

    // A key (its virtual-key code) or a button (kLeftButton, kRightButton)
    // going down or up.
    void set(int slot, bool down) {
        if (down) {
            state(slot) = true;
            unseen_.set(slot);
            released_.reset(slot);
        } else if (unseen_.test(slot)) {
            released_.set(slot);
        } else {
            state(slot) = false;
        }
    }

    // A frame has been drawn, and has read every press so far: the releases
    // kept for it apply.
    void frameDrawn() {
        if (unseen_.none()) return;
        for (int slot = 0; slot < kSlots; ++slot)
            if (released_.test(slot)) state(slot) = false;
        unseen_.reset();
        released_.reset();
    }

private:
    static constexpr int kSlots = 258;
    static bool& state(int slot) {
        if (slot == kLeftButton) return mouse.leftButton;
        if (slot == kRightButton) return mouse.rightButton;
        return keyboard.keys[slot & 0xFF];
    }
    std::bitset<kSlots> unseen_, released_;
};

}  // namespace platform
