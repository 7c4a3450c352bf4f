#include "app/config.h"

#include <climits>
#include <cstring>
#include <vector>

#include "app/files.h"
#include "app/paths.h"
#include "platform/platform.h"
#include "platform/texts.h"

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A cursor over the file's bytes: the whole file is in memory, so looking
// ahead needs no push-back into a stream.
struct Text {
    const char* at;
    const char* end;

    void skipSpace() {
        while (at < end && isSpace(*at)) ++at;
    }

    // Reads one non-whitespace token, keeping at most size - 1 characters;
    // the rest of a longer token is consumed. False at the end of the text.
    bool token(char* out, size_t size) {
        skipSpace();
        if (at == end) return false;
        size_t n = 0;
        for (; at < end && !isSpace(*at); ++at)
            if (n + 1 < size) out[n++] = *at;
        out[n] = '\0';
        return true;
    }

    // A decimal integer with optional sign, as "%d" takes it. Out-of-range
    // values saturate. On failure nothing is consumed but the whitespace, so
    // the characters that are not a number start the next key.
    bool integer(int32_t& value) {
        skipSpace();
        const char* p = at;
        const bool negative = p < end && *p == '-';
        if (p < end && (*p == '+' || *p == '-')) ++p;
        if (p == end || !isDigit(*p)) return false;
        long long magnitude = 0;
        for (; p < end && isDigit(*p); ++p)
            if (magnitude <= INT_MAX + 1LL) magnitude = magnitude * 10 + (*p - '0');
        at = p;
        long long v = negative ? -magnitude : magnitude;
        if (v > INT_MAX) v = INT_MAX;
        if (v < INT_MIN) v = INT_MIN;
        value = static_cast<int32_t>(v);
        return true;
    }
};

}  // namespace

void Config::parse(const char* text, size_t size) {
    Text in{text, text + size};
    // The longest key has 17 characters; anything longer can never match.
    char key[32];
    while (in.token(key, sizeof key)) {
        int32_t value = 0;
        if (!in.integer(value)) continue;
        if (std::strcmp(key, "fullscreen") == 0) fullscreen = value != 0;
        else if (std::strcmp(key, "frameratecounter") == 0) frameratecounter = value;
        else if (std::strcmp(key, "resolution_width") == 0) resolution_width = value;
        else if (std::strcmp(key, "resolution_height") == 0) resolution_height = value;
        else if (std::strcmp(key, "resolution_depth") == 0) resolution_depth = value;
        else if (std::strcmp(key, "zbuffer_depth") == 0) zbuffer_depth = value;
        else if (std::strcmp(key, "texturefilter") == 0) texturefilter = value;
        else if (std::strcmp(key, "sound") == 0) sound = value;
    }
}

bool Config::readFile(const char* path) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) return false;
    parse(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return true;
}

void Config::load(const char* fileName) {
    DataPath path(fileName);
    if (!readFile(path)) {
        platform::messageBox(texts::kConfiguration, platform::kBoxExclamation);
        platform::exitProcess(-1);
    }
}
