// The program's icon: hills under a hazy sky and a beach ball, on a rounded
// square; PNGs for the desktop's icon theme, an ICO for vale.exe and the
// window icon the X11 backend sets.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "datagen/datagen.h"

namespace {

// The icon at side n, RGBA rows from the top, 4 x 4 samples a pixel.
std::vector<uint8_t> iconPixels(int n) {
    static const double stripes[6][3] = {{230, 40, 40}, {250, 250, 250}, {40, 90, 230},
                                         {250, 210, 30}, {250, 250, 250}, {40, 180, 70}};
    std::vector<uint8_t> px(static_cast<size_t>(n) * n * 4);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            double sum[4] = {};
            for (int s = 0; s < 16; ++s) {
                const double u = (x + (s % 4 + 0.5) / 4) / n, v = (y + (s / 4 + 0.5) / 4) / n;
                // The rounded square: corners of radius 0.18.
                const double cx = std::max(std::fabs(u - 0.5) - 0.32, 0.0), cy = std::max(std::fabs(v - 0.5) - 0.32, 0.0);
                if (cx * cx + cy * cy > 0.18 * 0.18) continue;
                double c[3] = {128 + 90 * (0.6 - v), 150 + 70 * (0.6 - v), 190 + 40 * (0.6 - v)};  // sky
                const double far = 0.55 + 0.06 * det::sin(u * 7 + 1), near = 0.68 + 0.08 * det::sin(u * 5 - 2.2);
                if (v > far) c[0] = 120, c[1] = 150, c[2] = 120;                 // distant hills in haze
                if (v > near) c[0] = 60 + 60 * (v - near), c[1] = 140 - 40 * (v - near), c[2] = 50;  // meadow
                const double bx = u - 0.66, by = v - 0.52, br = std::sqrt(bx * bx + by * by);
                if (br < 0.2) {  // the ball: six stripes, lit from the upper left
                    const int k = static_cast<int>((det::atan2(by, bx) + det::kPi) / (2 * det::kPi) * 6) % 6;
                    const double light = 0.6 + 0.4 * det::exp(-((bx + 0.08) * (bx + 0.08) + (by + 0.08) * (by + 0.08)) * 60);
                    for (int i = 0; i < 3; ++i) c[i] = stripes[k][i] * light;
                }
                for (int i = 0; i < 3; ++i) sum[i] += c[i];
                sum[3] += 255;
            }
            uint8_t* p = &px[(static_cast<size_t>(y) * n + x) * 4];
            for (int i = 0; i < 3; ++i) p[i] = sum[3] > 0 ? clampByte(sum[i] * 255 / sum[3]) : 0;
            p[3] = clampByte(sum[3] / 16);
        }
    return px;
}

// An ICO of 32-bit images: each a bottom-up BGRA bitmap with its mask, and
// the largest a PNG, as Windows takes it at 256 pixels.
using Icons = std::map<int, std::vector<uint8_t>>;  // RGBA pixels by side

Bytes ico(const Icons& icons, const std::vector<int>& sides) {
    Bytes file = {0, 0, 1, 0}, images;
    put16(file, static_cast<uint32_t>(sides.size()));
    for (int n : sides) {
        const std::vector<uint8_t>& rgba = icons.at(n);
        Bytes image;
        if (n >= 256) {
            image = png(n, rgba);
        } else {
            for (uint32_t v : {40u, static_cast<uint32_t>(n), static_cast<uint32_t>(2 * n)}) put32(image, v);
            put16(image, 1);
            put16(image, 32);
            for (int i = 0; i < 6; ++i) put32(image, 0);
            for (int y = n - 1; y >= 0; --y)
                for (int x = 0; x < n; ++x) {
                    const uint8_t* p = &rgba[(static_cast<size_t>(y) * n + x) * 4];
                    image.insert(image.end(), {p[2], p[1], p[0], p[3]});
                }
            image.resize(image.size() + static_cast<size_t>((n + 31) / 32 * 4) * n, 0);  // the mask: alpha decides
        }
        file.insert(file.end(), {static_cast<uint8_t>(n % 256), static_cast<uint8_t>(n % 256), 0, 0});
        put16(file, 1);
        put16(file, 32);
        put32(file, static_cast<uint32_t>(image.size()));
        put32(file, static_cast<uint32_t>(6 + 16 * sides.size() + images.size()));
        images.insert(images.end(), image.begin(), image.end());
    }
    file.insert(file.end(), images.begin(), images.end());
    return file;
}

}  // namespace

// The window icon as _NET_WM_ICON holds it, to be included into an array of
// unsigned long: each size's width and height, then its pixels as ARGB, a
// row at a time from the top.
Bytes windowIcon(const Icons& icons, const std::vector<int>& sides) {
    std::string text = "// Drawn by the data generator: _NET_WM_ICON's sizes and ARGB pixels.\n";
    char value[16];
    for (int n : sides) {
        text += std::to_string(n) + ", " + std::to_string(n) + ",\n";
        const std::vector<uint8_t>& rgba = icons.at(n);
        for (size_t i = 0; i < rgba.size(); i += 4) {
            std::snprintf(value, sizeof value, "0x%02X%02X%02X%02X,", rgba[i + 3], rgba[i], rgba[i + 1], rgba[i + 2]);
            text += value;
            text += (i / 4 + 1) % 8 ? ' ' : '\n';
        }
    }
    return Bytes(text.begin(), text.end());
}

void writeIcons() {
    Icons icons;
    for (int n : {16, 32, 48, 64, 128, 256}) {
        icons[n] = iconPixels(n);
        const std::string side = std::to_string(n);
        write("hicolor/" + side + "x" + side + "/apps/vale.png", png(n, icons[n]));
    }
    for (int n : {192, 512}) write("web/vale-" + std::to_string(n) + ".png", png(n, iconPixels(n)));  // the web app's
    write("vale.ico", ico(icons, {16, 32, 48, 64, 256}));
    write("vale_icon.inc", windowIcon(icons, {16, 32, 48, 64}));
}
