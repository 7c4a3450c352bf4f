// Screenshots of a window and what the end-to-end runs ask of them, each
// answered in one pass over the pixels. A region is WxH+X+Y.
//
//   vale_pixels shot WINDOW FILE.ppm               capture the window
//   vale_pixels measure FILE.ppm NAME REGION...    one line of numbers
//   vale_pixels changed A.ppm B.ppm REGION         exit 0 if over 30% of it changed
//   vale_pixels wait WINDOW SECONDS frames N       until N new frames have shown (1 on timeout)
//
// Measures: a count of pixels of a kind (balls, crosshair, dark), or skyline
// (median row and spread).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// How far a colour is from the fog's (and the clear colour's), 128, 128, 134:
// the sum of the channels' differences.
int offFog(const unsigned char* p) { return std::abs(p[0] - 128) + std::abs(p[1] - 128) + std::abs(p[2] - 134); }

// The kinds of pixel a measure counts.
using Kind = bool (*)(int r, int g, int b);
const std::pair<const char*, Kind> kKinds[] = {
    // The balls' red stripes, also through fog: red over a grey, unlike sand, rock or the wooden stock.
    {"balls", [](int r, int g, int b) { return r > g + 25 && r > b + 20 && std::abs(g - b) < 12; }},
    {"crosshair", [](int r, int g, int b) { return r > 200 && g > 200 && b > 200; }},
    {"dark", [](int r, int g, int b) { return r < 25 && g < 25 && b < 25; }},
};

struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    bool is(Kind kind, int x, int y) const { return kind(at(x, y)[0], at(x, y)[1], at(x, y)[2]); }
};

struct Region {
    int w, h, x, y;
};

// How many of the region's pixels, at x and y, pass a test.
template <typename Test>
long count(const Region& r, Test test) {
    long n = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) n += test(x, y);
    return n;
}

[[noreturn]] void die(const std::string& why) {
    std::fprintf(stderr, "vale_pixels: %s\n", why.c_str());
    std::exit(2);
}

Region region(const char* text, const Image& image) {
    Region r{};
    if (std::sscanf(text, "%dx%d+%d+%d", &r.w, &r.h, &r.x, &r.y) != 4) die(std::string("bad region ") + text);
    r.w = std::max(0, std::min(r.w, image.width - r.x));  // cut at the image's edges, as a crop is
    r.h = std::max(0, std::min(r.h, image.height - r.y));
    return r;
}

Image load(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    Image image;
    if (!(in >> magic >> image.width >> image.height >> maxValue) || magic != "P6" || maxValue != 255) die(path);
    in.get();
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    if (!in.read(reinterpret_cast<char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()))) die(path);
    return image;
}

// The window's pixels as the screen shows them; false if it is gone.
bool capture(Window window, Image& image) {
    static Display* d = nullptr;
    if (!d) d = XOpenDisplay(nullptr);  // a busy server may turn a connection away for a moment
    XWindowAttributes a;
    if (!d || !XGetWindowAttributes(d, window, &a) || a.map_state != IsViewable) return false;
    XImage* x = XGetImage(d, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!x) return false;
    image.width = a.width, image.height = a.height;
    image.rgb.resize(static_cast<size_t>(a.width) * a.height * 3);
    unsigned char* p = image.rgb.data();
    for (int y = 0; y < a.height; ++y)
        for (int i = 0; i < a.width; ++i) {
            const unsigned long v = XGetPixel(x, i, y);
            for (unsigned long mask : {x->red_mask, x->green_mask, x->blue_mask})
                *p++ = static_cast<unsigned char>((v & mask) >> __builtin_ctzl(mask));
        }
    XDestroyImage(x);
    return true;
}

// Over 25 evenly spaced columns, the rows where the sky (the fog colour,
// 128, 128, 134) ends: their median and the spread from the 10th to the
// 90th percentile, (bottom, 0) if fewer than 5 columns end.
std::string skyline(const Image& image, const Region& r) {
    std::vector<int> tops;
    for (int c = 0; c < 25; ++c) {
        const int x = r.x + static_cast<int>((c + 0.5) * r.w / 25 - 0.5);  // where a resize by sampling looks
        for (int y = r.y; y < r.y + r.h; ++y)
            if (offFog(image.at(x, y)) > 30) {
                tops.push_back(y);
                break;
            }
    }
    std::sort(tops.begin(), tops.end());
    const size_t n = tops.size();
    if (n < 5) return std::to_string(r.y + r.h) + " 0";
    return std::to_string(tops[n / 2]) + " " + std::to_string(tops[n * 9 / 10 - 1] - tops[n / 10]);
}

std::string measure(const Image& image, const std::string& name, const char* where) {
    const Region r = region(where, image);
    if (name == "skyline") return skyline(image, r);
    for (const auto& kind : kKinds)
        if (name == kind.first)
            return std::to_string(count(r, [&](int x, int y) { return image.is(kind.second, x, y); }));
    die("unknown measure " + name);
}

// Over 30% of the region's pixels differ by more than 1% in a channel.
bool changed(const Image& a, const Image& b, const char* where) {
    if (a.width != b.width || a.height != b.height) return true;
    const Region r = region(where, a);
    const long n = count(r, [&](int x, int y) {
        for (int c = 0; c < 3; ++c)
            if (std::abs(a.at(x, y)[c] - b.at(x, y)[c]) > 2.55) return true;
        return false;
    });
    return n > 0.3 * r.w * r.h;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }  // a window that goes away is a failed capture

}  // namespace

int main(int argc, char** argv) {
    XSetErrorHandler(ignoreErrors);
    const std::string command = argc > 2 ? argv[1] : "";
    const Window window = static_cast<Window>(std::strtoul(argv[argc > 2 ? 2 : 0], nullptr, 0));
    Image image;
    if (command == "shot" && argc == 4) {
        if (!capture(window, image)) die("no window to capture");
        std::ofstream out(argv[3], std::ios::binary);
        out << "P6\n" << image.width << " " << image.height << "\n255\n";
        return out.write(reinterpret_cast<const char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()))
                   ? 0 : 2;
    }
    if (command == "measure" && argc >= 5 && argc % 2 == 1) {
        image = load(argv[2]);
        for (int i = 3; i < argc; i += 2)
            std::printf("%s%s", i > 3 ? " " : "", measure(image, argv[i], argv[i + 1]).c_str());
        std::printf("\n");
        return 0;
    }
    if (command == "changed" && argc == 5) return changed(load(argv[2]), load(argv[3]), argv[4]) ? 0 : 1;
    if (command != "wait" || argc != 6 || std::strcmp(argv[4], "frames") != 0) die("usage: see the head of pixels.cpp");

    // Captures the window until N frames unlike the last have shown or the seconds run out.
    Image last;
    int frames = -1;  // the first capture is where counting starts
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[3]));
    while (std::chrono::steady_clock::now() < end) {
        if (capture(window, image) && image.rgb != last.rgb) std::swap(last, image), ++frames;
        if (frames >= std::atoi(argv[5])) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return 1;
}
