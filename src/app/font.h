// Bitmap text drawn from display lists built once from a system font.
#pragma once

#include <cstdint>

struct Font {
    uint32_t listBase = 0;
    int32_t size = 0;

    Font() = default;
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    void build(const char* faceName, int size);
    // printf-style text with its baseline at pixel (x, y); centred 1 centres
    // it on x, counting every character size pixels wide.
    void print(int x, int y, unsigned centred, const char* format, ...)
#ifdef __GNUC__
        __attribute__((format(printf, 5, 6)))
#endif
        ;
};

extern Font font;
