// The browser backend: the canvas and its WebGL context through
// Emscripten's GLFW (whose context the legacy GL emulation draws with), the
// page's events mapped onto the Windows key codes and messages the game
// reads, message boxes as modal dialogs in the page, the firing sound
// through Web Audio and the page's clock. The page's side is in
// library_vale_page.js, the OpenGL it lacks in library_vale_gl.js.
//
// The game's loop keeps its shape: the browser gets control back once a
// frame, the swap waiting for its next animation frame (Asyncify unwinds
// there), so that every frame drawn is one the browser presents; and while a
// message box waits.
#include <GLFW/glfw3.h>
#include <emscripten.h>

#include <cstdlib>
#include <cstring>

#include "app/config.h"
#include "app/input.h"
#include "app/vale.h"
#include "platform/fixed_clock.h"
#include "platform/platform.h"
#include "platform/texts.h"

extern "C" {
void vale_web_init(int fullscreen, int keyDown, int keyUp, int motion, int buttonDown, int buttonUp, int active);
void vale_web_swap();
void vale_web_next_frame();
int vale_web_next_event(int* type, int* a, int* b);
void vale_web_box(const char* text, const char* caption, unsigned style);
int vale_web_box_open();
void vale_web_play(const char* fileName);
void vale_web_font(int size, unsigned listBase);
int vale_web_multitexture();
int vale_web_fixed_clock();
void vale_web_no_context();
void glActiveTexture(GLenum texture);
void glMultiTexCoord2fARB(GLenum target, GLfloat s, GLfloat t);
}

namespace {

// Browsers hold a canvas to this much a side, WebGL's drawing buffer less.
constexpr int kMaxCanvasSide = 16384;

struct WebState {
    GLFWwindow* window = nullptr;
    bool quitPosted = false;
    int quitCode = 0;
    double start = emscripten_get_now();
    // With the page's fixed clock (?fixedclock), counted whenever the loop
    // goes on to draw a frame: the same state, frame for frame, as the
    // native benchmark's first frame.
    platform::FixedClock fixedClock{vale_web_fixed_clock() != 0};
} web;

// The page's events, by these types (given to the page at init).
enum Event { kKeyDown = 1, kKeyUp, kMotion, kButtonDown, kButtonUp, kActive };

void handleEvent(int type, int a, int b) {
    switch (type) {
        case kKeyDown: keyboard.keys[a & 0xFF] = true; break;
        case kKeyUp: keyboard.keys[a & 0xFF] = false; break;
        case kMotion:  // relative motion: there is no pointer to put back
            mouse.x += a;
            mouse.y += b;
            break;
        case kButtonDown:
        case kButtonUp:
            if (a == 0) mouse.leftButton = type == kButtonDown;
            if (a == 2) mouse.rightButton = type == kButtonDown;
            break;
        case kActive: glWindow.active = a != 0; break;
        default: break;
    }
}

}  // namespace

namespace platform {

bool createGlWindow() {
    const int width = config.resolution_width, height = config.resolution_height;
    if (!glfwInit()) {
        messageBox(texts::kRegisterClass.text, texts::kRegisterClass.caption, kBoxExclamation);
        return false;
    }
    if (width <= 0 || height <= 0 || width > kMaxCanvasSide || height > kMaxCanvasSide) {
        glfwTerminate();
        messageBox(texts::kWindow.text, texts::kWindow.caption, kBoxExclamation);
        return false;
    }
    glfwWindowHint(GLFW_DEPTH_BITS, config.zbuffer_depth & 0xFF);
    // As the desktop's pixel formats: no destination alpha, no stencil. An
    // opaque canvas is also cheaper for the browser to show.
    glfwWindowHint(GLFW_ALPHA_BITS, 0);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    web.window = glfwCreateWindow(width, height, texts::kWindowTitle, nullptr, nullptr);
    if (!web.window) {
        glfwTerminate();
        vale_web_no_context();
        messageBox(texts::kRenderingContext.text, texts::kRenderingContext.caption, kBoxExclamation);
        return false;
    }
    glfwMakeContextCurrent(web.window);
    vale_web_init(config.fullscreen ? 1 : 0, kKeyDown, kKeyUp, kMotion, kButtonDown, kButtonUp, kActive);
    return true;
}

void killGlWindow() {
    if (web.window) glfwDestroyWindow(web.window);
    web.window = nullptr;
    glfwTerminate();
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
    vale_web_swap();
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
    if (!std::strcmp(name, "glActiveTextureARB")) return reinterpret_cast<void*>(&glActiveTexture);
    if (!std::strcmp(name, "glMultiTexCoord2fARB")) return reinterpret_cast<void*>(&glMultiTexCoord2fARB);
    return nullptr;
}

void buildFont(const char*, int size, unsigned listBase) { vale_web_font(size, listBase); }

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
