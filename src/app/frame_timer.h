// Frame rate measurement, the optional on-screen counter and the log of the
// run's low, average and high frame rates.
#pragma once

#include <cstdint>

struct FrameTimer {
    int32_t startTicks = 0;
    uint32_t framesPerSecond = 1;
    uint32_t barScale = 99;
    uint32_t frameCount = 0;
    float smoothedFps = 1.0f;
    float lowPeak = 99999.0f;
    float highPeak = 1.0f;
    int64_t frequency = 0;
    int64_t lastCounter = 0;

    void start();
    void update();
    void drawCounter();
    void saveResults(const char* fileName);
    // Whole seconds since start.
    int32_t wholeSeconds() const;
};

extern FrameTimer frameTimer;
