#include "app/font.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "app/projection.h"
#include "platform/platform.h"

Font::~Font() {
    // The context is gone by the time this runs at exit; the call is harmless.
    if (listBase != 0) glDeleteLists(listBase, 96);
}

void Font::build(const char* faceName, int pixelSize) {
    size = pixelSize;
    listBase = glGenLists(96);
    platform::buildFont(faceName, pixelSize, listBase);
}

void Font::print(int x, int y, unsigned centred, const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    const int length = static_cast<int>(std::strlen(text));

    orthoMode();
    glDisable(GL_DEPTH_TEST);
    glRasterPos2i(x - (length * size / 2) * static_cast<int>(centred), y);
    glPushAttrib(GL_LIST_BIT);
    glListBase(listBase - 32);
    glCallLists(length, GL_UNSIGNED_BYTE, text);
    glPopAttrib();
    glEnable(GL_DEPTH_TEST);
    perspectiveMode();
}
