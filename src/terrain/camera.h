// The shared view every frame is drawn from.
#pragma once

struct CameraView {
    float x = 0, y = 0, z = 0;
    float pitch = 0, heading = 0, roll = 0;
    float fieldOfView = 55.0f;
};

extern CameraView Camera;
