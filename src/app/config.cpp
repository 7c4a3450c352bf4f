#include "app/config.h"

#include <climits>
#include <cstring>

#include "app/paths.h"
#include "platform/platform.h"

namespace {

bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(int c) { return c >= '0' && c <= '9'; }

int skipSpace(std::FILE* file) {
    int c;
    do c = std::fgetc(file);
    while (c != EOF && isSpace(c));
    return c;
}

// Reads one non-whitespace token, keeping at most size - 1 characters; the
// rest of a longer token is consumed. Returns false at the end of the file.
bool readToken(std::FILE* file, char* token, size_t size) {
    int c = skipSpace(file);
    if (c == EOF) return false;
    size_t n = 0;
    while (c != EOF && !isSpace(c)) {
        if (n + 1 < size) token[n++] = static_cast<char>(c);
        c = std::fgetc(file);
    }
    token[n] = '\0';
    if (c != EOF) std::ungetc(c, file);
    return true;
}

// A decimal integer with optional sign, as "%d" takes it. Out-of-range values
// saturate. On failure the characters that are not part of a number stay in
// the stream for the next key.
bool readInteger(std::FILE* file, int32_t& value) {
    int c = skipSpace(file);
    bool negative = false;
    if (c == '+' || c == '-') {
        int next = std::fgetc(file);
        if (!isDigit(next)) {
            if (next != EOF) std::ungetc(next, file);
            std::ungetc(c, file);
            return false;
        }
        negative = c == '-';
        c = next;
    }
    if (!isDigit(c)) {
        if (c != EOF) std::ungetc(c, file);
        return false;
    }
    long long magnitude = 0;
    while (isDigit(c)) {
        if (magnitude <= INT_MAX + 1LL) magnitude = magnitude * 10 + (c - '0');
        c = std::fgetc(file);
    }
    if (c != EOF) std::ungetc(c, file);
    long long v = negative ? -magnitude : magnitude;
    if (v > INT_MAX) v = INT_MAX;
    if (v < INT_MIN) v = INT_MIN;
    value = static_cast<int32_t>(v);
    return true;
}

}  // namespace

void Config::read(std::FILE* file) {
    // The longest key has 17 characters; anything longer can never match.
    char key[32];
    while (readToken(file, key, sizeof key)) {
        int32_t value = 0;
        if (!readInteger(file, value)) continue;
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
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    read(file);
    std::fclose(file);
    return true;
}

void Config::load(const char* fileName) {
    DataPath path(fileName);
    if (!readFile(path)) {
        platform::messageBox("Configuration initialization failed (incorrect paths)!", "Error -31",
                             platform::kBoxExclamation);
        platform::exitProcess(-1);
    }
}
