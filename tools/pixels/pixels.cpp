// Screenshots of a window and the questions the end-to-end runs ask of them,
// each answered in one pass over the pixels:
//
//   vale_pixels shot WINDOW FILE.ppm          capture the window
//   vale_pixels frames WINDOW N SECONDS       wait until it has shown N new frames
//   vale_pixels measure FILE.ppm NAME REGION...   one line of numbers
//   vale_pixels changed A.ppm B.ppm REGION    exit 0 if over 30% of the region changed
//   vale_pixels until WINDOW SECONDS NAME REGION -gt|-lt VALUE
//       capture until the measure passes the value; prints it, exit 1 on timeout
//   vale_pixels until-changed WINDOW SECONDS REF.ppm REGION
//
// A region is WxH+X+Y. Measures: a count of pixels of a kind (balls,
// crosshair, weapon, grass, bare, dark) or skyline (median and spread).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

struct Region {
    int w, h, x, y;
};

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
    if (!(in >> magic >> image.width >> image.height >> maxValue) || magic != "P6" || maxValue != 255)
        die(std::string("not a screenshot: ") + path);
    in.get();
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    in.read(reinterpret_cast<char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
    if (!in) die(std::string("short screenshot: ") + path);
    return image;
}

void save(const Image& image, const char* path) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width << " " << image.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
    if (!out) die(std::string("cannot write ") + path);
}

Display* display() {
    static Display* d = XOpenDisplay(nullptr);
    if (!d) die("no display");
    return d;
}

// The window's pixels as the screen shows them; false if it is gone.
bool capture(Window window, Image& image) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display(), window, &a) || a.map_state != IsViewable) return false;
    XImage* x = XGetImage(display(), window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!x) return false;
    image.width = a.width, image.height = a.height;
    image.rgb.resize(static_cast<size_t>(a.width) * a.height * 3);
    unsigned char* p = image.rgb.data();
    for (int y = 0; y < a.height; ++y)
        for (int i = 0; i < a.width; ++i, p += 3) {
            const unsigned long v = XGetPixel(x, i, y);
            p[0] = static_cast<unsigned char>((v & x->red_mask) >> __builtin_ctzl(x->red_mask));
            p[1] = static_cast<unsigned char>((v & x->green_mask) >> __builtin_ctzl(x->green_mask));
            p[2] = static_cast<unsigned char>((v & x->blue_mask) >> __builtin_ctzl(x->blue_mask));
        }
    XDestroyImage(x);
    return true;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }  // a window that goes away is a failed capture

using Kind = std::function<bool(double r, double g, double b)>;

// The kinds of pixel the runs count.
Kind kind(const std::string& name) {
    if (name == "balls")  // the red stripes, also through fog: red over a grey, unlike sand, rock or wood
        return [](double r, double g, double b) { return r > g + 25 && r > b + 20 && std::abs(g - b) < 12; };
    if (name == "crosshair") return [](double r, double g, double b) { return r > 200 && g > 200 && b > 200; };
    if (name == "weapon")  // dark, nearly grey steel
        return [](double r, double g, double b) { return r < 110 && g < 115 && b < 125 && b - r < 25 && r - b < 25 && g < r + 15; };
    if (name == "grass") return [](double r, double g, double b) { return g > r + 15 && g > b + 20; };
    if (name == "bare")  // sand or rock: warm, unlike the fog
        return [](double r, double g, double b) { return r >= g && r > b + 12 && (r > 150 || g < 118 || b < 122); };
    if (name == "dark") return [](double r, double g, double b) { return r < 25 && g < 25 && b < 25; };
    die("unknown measure " + name);
}

long count(const Image& image, const Region& r, const Kind& is) {
    long n = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            const unsigned char* p = image.at(x, y);
            n += is(p[0], p[1], p[2]);
        }
    return n;
}

// Over 25 evenly spaced columns of the region, the rows where the sky (the
// fog colour, 128, 128, 134) ends: their median and the spread from the
// 10th to the 90th percentile; (bottom, 0) if fewer than 5 columns end.
std::string skyline(const Image& image, const Region& r) {
    std::vector<int> tops;
    for (int c = 0; c < 25; ++c) {
        const int x = r.x + static_cast<int>((c + 0.5) * r.w / 25 - 0.5);  // where a resize by sampling looks
        for (int y = r.y; y < r.y + r.h; ++y) {
            const unsigned char* p = image.at(x, y);
            if (std::abs(p[0] - 128) + std::abs(p[1] - 128) + std::abs(p[2] - 134) > 30) {
                tops.push_back(y);
                break;
            }
        }
    }
    std::sort(tops.begin(), tops.end());
    const size_t n = tops.size();
    if (n < 5) return std::to_string(r.y + r.h) + " 0";
    return std::to_string(tops[n / 2]) + " " + std::to_string(tops[n * 9 / 10 - 1] - tops[n / 10]);
}

std::string measure(const Image& image, const std::string& name, const char* where) {
    const Region r = region(where, image);
    return name == "skyline" ? skyline(image, r) : std::to_string(count(image, r, kind(name)));
}

// Over 30% of the region's pixels differ by more than 1% in a channel.
bool changed(const Image& a, const Image& b, const char* where) {
    if (a.width != b.width || a.height != b.height) return true;
    const Region r = region(where, a);
    long n = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            const unsigned char *p = a.at(x, y), *q = b.at(x, y);
            n += std::abs(p[0] - q[0]) > 2.55 || std::abs(p[1] - q[1]) > 2.55 || std::abs(p[2] - q[2]) > 2.55;
        }
    return n > 0.3 * r.w * r.h;
}

// Captures the window until test() holds or the seconds run out.
bool poll(Window window, double seconds, const std::function<bool(const Image&)>& test) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    Image image;
    do {
        if (capture(window, image) && test(image)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    auto window = [&] { return static_cast<Window>(std::strtoul(argv[2], nullptr, 0)); };
    XSetErrorHandler(ignoreErrors);
    if (command == "shot" && argc == 4) {
        Image image;
        if (!capture(window(), image)) die("no window to capture");
        save(image, argv[3]);
        return 0;
    }
    if (command == "frames" && argc == 5) {
        Image last;
        int frames = -1;  // the first capture is where counting starts
        return poll(window(), std::atof(argv[4]), [&](const Image& image) {
                   if (image.rgb != last.rgb) ++frames, last = image;
                   return frames >= std::atoi(argv[3]);
               }) ? 0 : 1;
    }
    if (command == "measure" && argc >= 5 && argc % 2 == 1) {
        const Image image = load(argv[2]);
        for (int i = 3; i < argc; i += 2) std::printf("%s%s", i > 3 ? " " : "", measure(image, argv[i], argv[i + 1]).c_str());
        std::printf("\n");
        return 0;
    }
    if (command == "changed" && argc == 5) return changed(load(argv[2]), load(argv[3]), argv[4]) ? 0 : 1;
    if (command == "until" && argc == 8) {
        const bool above = std::strcmp(argv[6], "-gt") == 0;
        const long bound = std::atol(argv[7]);
        long value = 0;
        const bool met = poll(window(), std::atof(argv[3]), [&](const Image& image) {
            value = std::atol(measure(image, argv[4], argv[5]).c_str());
            return above ? value > bound : value < bound;
        });
        std::printf("%ld\n", value);
        return met ? 0 : 1;
    }
    if (command == "until-changed" && argc == 6) {
        const Image reference = load(argv[4]);
        return poll(window(), std::atof(argv[3]), [&](const Image& image) { return changed(reference, image, argv[5]); }) ? 0 : 1;
    }
    die("usage: see the head of pixels.cpp");
}
