// The program's settings, read once from data/Config.cfg.
#pragma once

#include <cstddef>
#include <cstdint>

struct Config {
    bool fullscreen = true;
    int32_t frameratecounter = 1;
    int32_t resolution_width = 1024;
    int32_t resolution_height = 768;
    int32_t resolution_depth = 32;
    int32_t zbuffer_depth = 24;
    int32_t texturefilter = 2;
    int32_t sound = 1;

    // Reads data/ + fileName; a missing file ends the process with -1.
    void load(const char* fileName);
    // Reads the file at path over the current values; false if it cannot be opened.
    bool readFile(const char* path);
    // Takes key and value pairs from a file's whole text.
    void parse(const char* text, size_t size);
};

extern Config config;
