// Vale's own OpenGL 1.1 over OpenGL ES 2: what a backend that draws through
// it calls. The game calls the OpenGL 1.1 entry points themselves.
#pragma once

#include <cstdint>

namespace gl11 {

// Takes the ES 2 context current now, of width x height pixels (the
// initial viewport): false if its entry points or the program are missing.
bool attach(int width, int height);

// Draws whatever is gathered: before the frame is shown or read.
void finish();

// A glyph of a bitmap font: its cell in the atlas (rows from the top), and
// glBitmap's origin and advance.
struct Glyph {
    int x, y, width, height;
    float xorig, yorig, advance;
};

// The display lists first .. first + count - 1 draw these glyphs, cut out
// of an atlas of width x height coverage bytes (rows from the top; a pixel
// is drawn where its byte is 128 or more).
void defineGlyphs(unsigned first, int count, const Glyph* glyphs, const uint8_t* atlas, int width, int height);

}  // namespace gl11
