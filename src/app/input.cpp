#include "app/input.h"

#include "app/config.h"
#include "platform/platform.h"

namespace {
int32_t centreX() { return static_cast<int32_t>(static_cast<uint32_t>(config.resolution_width) / 2); }
int32_t centreY() { return static_cast<int32_t>(static_cast<uint32_t>(config.resolution_height) / 2); }
}  // namespace

Mouse::Mouse()
    : leftButton(false), rightButton(false), x(centreX()), y(centreY()), lastX(x), lastY(y), deltaX(0), deltaY(0) {
    platform::setCursorPos(x, y);
}

void Mouse::update(bool recentre) {
    deltaX = x - lastX;
    deltaY = y - lastY;
    lastX = x;
    lastY = y;
    if (recentre) {
        x = lastX = centreX();
        y = lastY = centreY();
        platform::setCursorPos(x, y);
    }
}
