#include "app/frame_timer.h"

#include <cstdio>

#include "app/config.h"
#include "app/font.h"
#include "app/paths.h"
#include "app/projection.h"
#include "platform/platform.h"
#include "platform/texts.h"

void FrameTimer::start() {
    startTicks = platform::clockMs();
    frameCount = 0;
    lowPeak = 99999.0f;
    highPeak = 1.0f;
}

int32_t FrameTimer::wholeSeconds() const { return (platform::clockMs() - startTicks) / 1000; }

void FrameTimer::update() {
    if (frequency == 0) {
        frequency = platform::performanceFrequency();
    } else {
        int64_t now = platform::performanceCounter();
        if (lastCounter != 0 && now != lastCounter)
            framesPerSecond = static_cast<uint32_t>(frequency / (now - lastCounter));
        lastCounter = now;
    }
    if (framesPerSecond == 0) framesPerSecond = 1;

    smoothedFps = static_cast<float>(smoothedFps + (static_cast<double>(framesPerSecond) - smoothedFps) * 10.0 /
                                                       static_cast<double>(framesPerSecond));
    if (smoothedFps < 1.0f) smoothedFps = 1.0f;
    if (static_cast<float>(barScale) < smoothedFps) barScale = static_cast<uint32_t>(smoothedFps);

    if (wholeSeconds() > 1) {
        if (smoothedFps < lowPeak) lowPeak = smoothedFps;
        if (smoothedFps > highPeak) highPeak = smoothedFps;
    }
    ++frameCount;
}

void FrameTimer::drawCounter() {
    const float width = static_cast<float>(static_cast<uint32_t>(config.resolution_width));
    const float height = static_cast<float>(static_cast<uint32_t>(config.resolution_height));
    if (config.frameratecounter == 2) {
        orthoMode();
        const float r = smoothedFps / static_cast<float>(barScale);
        const float length = width / static_cast<float>(barScale) * smoothedFps;
        glBegin(GL_QUADS);
        glColor3f(1, 0, 0);
        glVertex2f(0, height);
        glColor3f(1 - r, r, 0);
        glVertex2f(length, height);
        glVertex2f(length, height - 19);
        glColor3f(1, 0, 0);
        glVertex2f(0, height - 19);
        glEnd();
        perspectiveMode();
    }
    glColor4f(1, 1, 1, 1);
    font.print(4, static_cast<int>(static_cast<uint32_t>(config.resolution_height)) - 5, 0, "%.0f",
               static_cast<double>(smoothedFps));
}

void FrameTimer::saveResults(const char* fileName) {
    const int32_t seconds = wholeSeconds();
    if (seconds <= 1) return;
    DataPath path(fileName);
    std::FILE* file = std::fopen(path, "w");
    if (!file) {
        platform::messageBox(texts::kPerformanceLog, platform::kBoxExclamation);
        return;
    }
    std::fprintf(file, " low peak: %f\n  average: %f\nhigh peak: %f", static_cast<double>(lowPeak),
                 static_cast<double>(frameCount) / static_cast<double>(seconds), static_cast<double>(highPeak));
    std::fclose(file);
}
