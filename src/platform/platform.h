// The one seam between the game and the operating system. Every backend
// (Win32, X11, the browser, the unit tests' recorder) implements each
// function below; the game calls nothing else of the OS, and a backend calls
// no game code: its entry point runs valeMain() once, and an end it must
// force from inside a callback goes through what the shell registered with
// setLostHandler(). Its OS handles are its own.
#pragma once

#include <cstdint>

#include "platform/opengl.h"
#include "platform/texts.h"

// The window record the game reads: the active flag (written by the
// backend's event handling) and the two multitexture entry points (fetched
// by initGl). On Windows it also holds the handles of the window, its device
// and rendering contexts and the pixel format asked for.
struct GlWindow {
#ifdef _WIN32
    HINSTANCE hInstance = nullptr;
    HWND hWnd = nullptr;
    HDC hDC = nullptr;
    HGLRC hRC = nullptr;
#endif
    bool active = true;
    ActiveTextureArbFn glActiveTextureARB = nullptr;
    MultiTexCoord2fArbFn glMultiTexCoord2fARB = nullptr;
#ifdef _WIN32
    PIXELFORMATDESCRIPTOR pixelFormat = {};
#endif
};

extern GlWindow glWindow;

namespace platform {

// Message box styles, with the Win32 values.
constexpr unsigned kBoxPlain = 0x00;
constexpr unsigned kBoxExclamation = 0x30;  // also MB_ICONWARNING
constexpr unsigned kBoxInformation = 0x40;

// True when the window of config's size (full screen or not) and its
// OpenGL context are made and current; otherwise its numbered box ("Error -1"
// to "Error -8") has been shown and nothing is left held.
bool createGlWindow();
// Restores the display mode and releases context, window and class, showing
// "Error -9" to "Error -13" for what fails; safe after a partial creation.
void killGlWindow();
// Takes one pending event and handles it (keys, mouse, the active flag, a
// close); false when none was waiting. Sets quit and exitCode when the event
// was the quit request.
bool pumpMessage(bool& quit, int& exitCode);
// Shows the frame just drawn.
void swapGlBuffers();
// Asks for a quit: a later pumpMessage() hands it over.
void postQuitMessage(int exitCode);
// What the backend calls, once, before it ends the process with status 0
// when the run cannot go on (the display lost); null for nothing.
void setLostHandler(void (*handler)());

// A modal box without an owner window and with one OK button; returns once
// the user has closed it.
void messageBox(const char* text, const char* caption, unsigned style);
// The same for one of the numbered boxes.
inline void messageBox(const texts::Box& box, unsigned style) { messageBox(box.text, box.caption, style); }

uint32_t tickCount();            // milliseconds since the system started
int32_t clockMs();               // milliseconds since the process started
int64_t performanceFrequency();  // counter ticks per second, 0 if none
int64_t performanceCounter();    // a count that only goes up

// Puts the pointer at a position given in the window's client coordinates.
void setCursorPos(int x, int y);

// Starts playing a wave file and returns at once; a new sound cuts off the
// last. A file that cannot be played plays nothing.
void playSound(const char* fileName);

// An OpenGL entry point of the current context, or null where the context
// does not offer it.
void* glProcAddress(const char* name);

// Builds 96 bitmap glyph display lists (codes 32..127) from listBase,
// from the named font at a character height of size pixels.
void buildFont(const char* faceName, int size, unsigned listBase);

// Process exit with a status (the configuration failure ends this way).
[[noreturn]] void exitProcess(int status);

}  // namespace platform
