// The kinds of pixel the screenshot checks count, shared by the end-to-end
// checker and the OpenGL tests.
#pragma once

#include <cstdlib>
#include <cstring>
#include <utility>

// How far a colour is from the fog's (and the clear colour's), 128, 128, 134:
// the sum of the channels' differences.
inline int offFog(int r, int g, int b) { return std::abs(r - 128) + std::abs(g - 128) + std::abs(b - 134); }

using Kind = bool (*)(int r, int g, int b);
inline const std::pair<const char*, Kind> kKinds[] = {
    // The balls' red stripes, also through fog: red over a grey, unlike sand, rock or the wooden stock.
    {"balls", [](int r, int g, int b) { return r > g + 25 && r > b + 20 && std::abs(g - b) < 12; }},
    {"crosshair", [](int r, int g, int b) { return r > 200 && g > 200 && b > 200; }},
    {"weapon", [](int r, int g, int b) { return r < 110 && g < 115 && b < 125 && b - r < 25 && r - b < 25 && g < r + 15; }},
    {"grass", [](int r, int g, int b) { return g > r + 15 && g > b + 20; }},
    // Sand or rock: warm, unlike the fog.
    {"bare", [](int r, int g, int b) { return r >= g && r > b + 12 && (r > 150 || g < 118 || b < 122); }},
    {"dark", [](int r, int g, int b) { return r < 25 && g < 25 && b < 25; }},
    // The fog's colour, where nothing is drawn or the fog hides it all.
    {"fog", [](int r, int g, int b) { return offFog(r, g, b) <= 6; }},
};

inline Kind kindNamed(const char* name) {
    for (const auto& [kindName, is] : kKinds)
        if (std::strcmp(kindName, name) == 0) return is;
    return nullptr;
}
