// The scene's textures: the detail texture, the land map, the crosshair and
// the ball's sphere map.
#include <cmath>

#include "datagen/datagen.h"

// The detail texture, repeated every half unit: pebbles and grit in grey,
// bright on average so that it only grains the land map it multiplies.
void writeDetail() {
    std::vector<uint8_t> px(256 * 256 * 3);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const double u = (x + 0.5) / 256, v = (y + 0.5) / 256;
            const double pebble = cellular(u, v, 32, 3), grit = cellular(u, v, 80, 4);
            const double stone = 1 - smoothstep(0.25, 0.55, pebble);  // rounded stones, dark gaps between
            const double g = 222 + 14 * stone - 14 * smoothstep(0.5, 0.75, pebble) + 34 * (grit - 0.5) +
                             22 * fbm(u, v, 4, 4, 0.6, 9) + 30 * (lattice(x, y, 256, 5) - 0.5);
            uint8_t* p = &px[(y * 256 + x) * 3];
            p[0] = p[1] = p[2] = clampByte(g);
        }
    write("Textures/Landscape.tga", tga(256, 256, 3, px));
}

void writeLandmap() {
    // Texture row t = 0 (stored first) lies on map row 0, so the image is
    // built bottom-up here and handed over flipped. Two texels a cell.
    std::vector<uint8_t> px(256 * 256 * 3);
    for (int t = 0; t < 256; ++t)
        for (int s = 0; s < 256; ++s) {
            const double x = (s + 0.5) / 2, z = (t + 0.5) / 2, u = x / kMap, v = z / kMap;
            const Zones zone = zonesAt(landField(), x, z);
            const double patch = fbm(u, v, 8, 4, 0.55, 404), fine = fbm(u, v, 64, 2, 0.5, 505);
            // Meadow: lush and dry grass in patches, darker tufts.
            const double dry = smoothstep(-0.15, 0.35, patch);
            double r = mix(78, 168, dry), g = mix(172, 184, dry), b = mix(52, 76, dry);
            const double tuft = 1 + 0.18 * fine;
            r *= tuft, g *= tuft, b *= tuft;
            // Sand: pale, with ripples.
            const double ripple = 1 + 0.06 * det::sin(2 * det::kPi * (u * 90 + v * 30 + 2 * patch));
            const double sr = 240 * ripple, sg = 218 * ripple, sb = 160 * ripple;
            // Rock: warm grey in strata, scree lighter and speckled at its edge.
            double height, slope;
            heightAndSlope(landField(), x, z, height, slope);
            const double strata = 1 + 0.06 * det::sin(height * 25 + 4 * patch) + 0.1 * fine;
            const double scree = 1 - smoothstep(0.4, 0.9, zone.rock);
            const double speck = 1 + scree * 0.25 * (lattice(s, t, 256, 606) - 0.5);
            const double rr = (160 + 34 * scree) * strata * speck, rg = (150 + 30 * scree) * strata * speck,
                         rb = (136 + 24 * scree) * strata * speck;
            r = mix(mix(r, sr, zone.sand), rr, zone.rock);
            g = mix(mix(g, sg, zone.sand), rg, zone.rock);
            b = mix(mix(b, sb, zone.sand), rb, zone.rock);
            uint8_t* p = &px[((255 - t) * 256 + s) * 3];
            p[0] = clampByte(r);
            p[1] = clampByte(g);
            p[2] = clampByte(b);
        }
    write("Textures/Landmap.tga", tga(256, 256, 3, px));
}

void writeCrosshair() {
    // Drawn with source colour added and the frame kept by source alpha: a
    // clear texel is black with alpha 1, a line texel white with alpha 0.
    std::vector<uint8_t> px(64 * 64 * 4);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double dx = x + 0.5 - 32, dy = y + 0.5 - 32, r = std::sqrt(dx * dx + dy * dy);
            double k = 0;
            if (std::fabs(r - 12) < 1.0) k = 1;
            if ((std::fabs(dx) < 1.0 && std::fabs(dy) > 4 && std::fabs(dy) < 20) ||
                (std::fabs(dy) < 1.0 && std::fabs(dx) > 4 && std::fabs(dx) < 20))
                k = 1;
            uint8_t* p = &px[(y * 64 + x) * 4];
            p[0] = p[1] = p[2] = clampByte(255 * k * 0.9);
            p[3] = clampByte(255 * (1 - k));
        }
    write("Textures/Crosshair.tga", tga(64, 64, 4, px));
}

void writeBallTexture() {
    // A sphere map of bright segments with a highlight.
    static const uint8_t colours[6][3] = {{230, 40, 40}, {250, 250, 250}, {40, 90, 230},
                                          {250, 210, 30}, {250, 250, 250}, {40, 180, 70}};
    std::vector<uint8_t> px(64 * 64 * 3);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double dx = (x + 0.5) / 32 - 1, dy = (y + 0.5) / 32 - 1;
            const double angle = det::atan2(dy, dx) + det::kPi;
            const int segment = static_cast<int>(angle / (2 * det::kPi) * 6) % 6;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double light = 0.65 + 0.35 * det::exp(-((dx + 0.35) * (dx + 0.35) + (dy + 0.35) * (dy + 0.35)) * 6);
            uint8_t* p = &px[(y * 64 + x) * 3];
            for (int c = 0; c < 3; ++c)
                p[c] = clampByte(colours[segment][c] * light * (r > 1 ? 0.7 : 1) + (r < 0.15 ? 60 : 0));
        }
    write("Textures/Ball.tga", tga(64, 64, 3, px));
}
