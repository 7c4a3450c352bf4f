// "data/" followed by a relative name, in a fixed buffer. Names that do not
// fit are cut short (and so name no file) rather than overrun the buffer.
#pragma once

#include <cstdio>

class DataPath {
public:
    explicit DataPath(const char* relative) { std::snprintf(text_, sizeof text_, "data/%s", relative); }
    operator const char*() const { return text_; }

private:
    char text_[128];
};
