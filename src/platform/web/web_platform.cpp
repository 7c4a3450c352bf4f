// The browser backend: the canvas and its WebGL context, which the game
// draws on through the layer's OpenGL 1.1 (src/platform/gl11), the page's
// events mapped onto the Windows key codes and messages the game reads,
// message boxes as modal dialogs in the page, the firing sound through Web
// Audio and the page's clock. The page's side is in library_vale_page.js.
//
// The game's loop keeps its shape: the browser gets control back once a
// frame, the swap waiting for its next animation frame (Asyncify unwinds
// there), so that every frame drawn is one the browser presents; and while a
// message box waits.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdlib>
#include <cstring>

#include "app/config.h"
#include "app/input.h"
#include "app/vale.h"
#include "platform/fixed_clock.h"
#include "platform/gl11/gl11.h"
#include "platform/platform.h"
#include "platform/presses.h"
#include "platform/texts.h"

extern "C" {
void vale_web_init(int fullscreen, int keyDown, int keyUp, int motion, int buttonDown, int buttonUp, int active, int close);
void vale_web_controls(int w, int a, int s, int d, int jump, int crouch, int run, int quit, float degreesPerPixel);
void vale_web_swap();
void vale_web_next_frame();
int vale_web_next_event(int* type, int* a, int* b);
void vale_web_box(const char* text, const char* caption, unsigned style);
int vale_web_box_open();
void vale_web_play(const char* fileName);
void vale_web_font(int size, uint8_t* atlas, int width, int height, float* metrics);
int vale_web_multitexture();
int vale_web_fixed_clock();
void vale_web_no_context();
void glActiveTextureARB(GLenum texture);
void glMultiTexCoord2fARB(GLenum target, GLfloat s, GLfloat t);
}

namespace {

// Browsers hold a canvas to this much a side, WebGL's drawing buffer less.
constexpr int kMaxCanvasSide = 16384;

struct WebState {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    bool quitPosted = false;
    int quitCode = 0;
    double start = emscripten_get_now();
    // With the page's fixed clock (?fixedclock), counted whenever the loop
    // goes on to draw a frame: the same state, frame for frame, as the
    // native benchmark's first frame.
    platform::FixedClock fixedClock{vale_web_fixed_clock() != 0};
    platform::Presses presses;  // keys and buttons, let go once a frame has seen them
} web;

// The page's events, by these types (given to the page at init).
enum Event { kKeyDown = 1, kKeyUp, kMotion, kButtonDown, kButtonUp, kActive, kClose };

void handleEvent(int type, int a, int b) {
    switch (type) {
        case kKeyDown:
        case kKeyUp: web.presses.set(a & 0xFF, type == kKeyDown); break;
        case kMotion:  // relative motion: there is no pointer to put back
            mouse.x += a;
            mouse.y += b;
            break;
        case kButtonDown:
        case kButtonUp:
            if (a == 0) web.presses.set(platform::Presses::kLeftButton, type == kButtonDown);
            if (a == 2) web.presses.set(platform::Presses::kRightButton, type == kButtonDown);
            break;
        case kActive: glWindow.active = a != 0; break;
        case kClose: platform::postQuitMessage(0); break;  // as a closed window
        default: break;
    }
}

}  // namespace

namespace platform {

bool createGlWindow() {
    const int width = config.resolution_width, height = config.resolution_height;
    if (width <= 0 || height <= 0 || width > kMaxCanvasSide || height > kMaxCanvasSide) {
        messageBox(texts::kWindow, kBoxExclamation);
        return false;
    }
    emscripten_set_canvas_element_size("#canvas", width, height);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // As the desktop's pixel formats: no destination alpha, no stencil, no
    // multisampling. An opaque canvas is also cheaper for the browser to show.
    attributes.alpha = false;
    attributes.depth = (config.zbuffer_depth & 0xFF) != 0;
    attributes.stencil = false;
    attributes.antialias = false;
    attributes.majorVersion = 1;
    web.context = emscripten_webgl_create_context("#canvas", &attributes);
    if (web.context <= 0 || emscripten_webgl_make_context_current(web.context) != EMSCRIPTEN_RESULT_SUCCESS ||
        !gl11::attach(width, height)) {
        if (web.context > 0) emscripten_webgl_destroy_context(web.context);
        web.context = 0;
        vale_web_no_context();
        messageBox(texts::kRenderingContext, kBoxExclamation);
        return false;
    }
    // The touch controls press the keys the game reads, and turn the view as the mouse does.
    vale_web_controls(kKeyW, kKeyA, kKeyS, kKeyD, kKeyShift, kKeyControl, kKeyEnd, kKeyEscape, kTurnDegreesPerPixel);
    vale_web_init(config.fullscreen ? 1 : 0, kKeyDown, kKeyUp, kMotion, kButtonDown, kButtonUp, kActive, kClose);
    return true;
}

void killGlWindow() {
    if (web.context > 0) emscripten_webgl_destroy_context(web.context);
    web.context = 0;
}

bool pumpMessage(bool& quit, int& exitCode) {
    if (web.quitPosted) {
        web.quitPosted = false;
        quit = true;
        exitCode = web.quitCode;
        return true;
    }
    int type = 0, a = 0, b = 0;
    if (vale_web_next_event(&type, &a, &b)) {
        handleEvent(type, a, b);
        return true;
    }
    // With the page hidden no frame is drawn: the browser gives a hidden page
    // no animation frames, so the loop rests here until it is shown again.
    if (!glWindow.active) vale_web_next_frame();
    else ++web.fixedClock.frames;
    return false;
}

void swapGlBuffers() {
    gl11::finish();
    vale_web_swap();
    web.presses.frameDrawn();
    vale_web_next_frame();
}

void postQuitMessage(int exitCode) {
    web.quitPosted = true;
    web.quitCode = exitCode;
}

// A page cannot lose its display.
void setLostHandler(void (*)()) {}

void messageBox(const char* text, const char* caption, unsigned style) {
    vale_web_box(text, caption, style);
    while (vale_web_box_open()) emscripten_sleep(20);
}

uint32_t tickCount() {
    if (web.fixedClock.on) return web.fixedClock.tickCount();
    return static_cast<uint32_t>(static_cast<int64_t>(emscripten_get_now()));
}

int32_t clockMs() { return static_cast<int32_t>(emscripten_get_now() - web.start); }

int64_t performanceFrequency() { return 1000000; }

int64_t performanceCounter() {
    if (web.fixedClock.on) return web.fixedClock.counter(performanceFrequency());
    return static_cast<int64_t>(emscripten_get_now() * 1000);
}

void setCursorPos(int, int) {}

void playSound(const char* fileName) { vale_web_play(fileName); }

void* glProcAddress(const char* name) {
    if (!vale_web_multitexture()) return nullptr;
    if (!std::strcmp(name, "glActiveTextureARB")) return reinterpret_cast<void*>(&glActiveTextureARB);
    if (!std::strcmp(name, "glMultiTexCoord2fARB")) return reinterpret_cast<void*>(&glMultiTexCoord2fARB);
    return nullptr;
}

// The page draws the glyphs of codes 32..127 into an atlas, 16 to a row,
// and gives their metrics: cell width and height, origin x and y, advance.
void buildFont(const char*, int size, unsigned listBase) {
    constexpr int kAtlasWidth = 256, kAtlasHeight = 128, kColumns = 16, kGlyphs = 96;
    static uint8_t atlas[kAtlasWidth * kAtlasHeight];
    float metrics[5] = {};
    vale_web_font(size, atlas, kAtlasWidth, kAtlasHeight, metrics);
    if (metrics[0] <= 0) return;
    gl11::Glyph glyphs[kGlyphs];
    const int cellWidth = static_cast<int>(metrics[0]), cellHeight = static_cast<int>(metrics[1]);
    for (int i = 0; i < kGlyphs; ++i)
        glyphs[i] = {(i % kColumns) * cellWidth, (i / kColumns) * cellHeight, cellWidth, cellHeight, metrics[2],
                     metrics[3], metrics[4]};
    gl11::defineGlyphs(listBase, kGlyphs, glyphs, atlas, kAtlasWidth, kAtlasHeight);
}

void exitProcess(int status) { std::exit(status); }

}  // namespace platform

// The settings form reads Config.cfg with the game's own reader: text's
// values, in the order of Config's fields (fullscreen as 0 or 1).
extern "C" EMSCRIPTEN_KEEPALIVE const int32_t* vale_config_read(const char* text) {
    static int32_t values[8];
    Config read;
    read.parse(text, std::strlen(text));
    const int32_t fields[] = {read.fullscreen ? 1 : 0, read.frameratecounter, read.resolution_width,
                              read.resolution_height, read.resolution_depth, read.zbuffer_depth,
                              read.texturefilter, read.sound};
    std::memcpy(values, fields, sizeof values);
    return values;
}

int main() { return valeMain(); }
