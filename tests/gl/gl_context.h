// A real OpenGL context for the drawing tests: its own Xvfb server, a GLX
// window of the configured size, and pixel read-back.
#pragma once

#include <cstdint>
#include <vector>

struct Rgb {
    int r, g, b;
};

class GlContext {
public:
    GlContext(int width, int height);
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    bool ok() const { return ok_; }
    // Pixel (x, y) with y counted from the top, as window pixels are.
    Rgb pixel(int x, int y) const;
    // Reads the whole back buffer once; pixel() then reads from it.
    void capture();
    int width() const { return width_; }
    int height() const { return height_; }

private:
    bool ok_ = false;
    int width_, height_;
    int serverPid_ = -1;
    void* display_ = nullptr;
    unsigned long window_ = 0;
    void* context_ = nullptr;
    std::vector<uint8_t> pixels_;
};

// Points the platform seam's GL look-ups (entry points, font) at the context.
void useContextForPlatform(GlContext& context);
