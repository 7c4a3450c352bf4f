// The narrow seam between the game and the operating system. Every backend
// (Win32, X11, the unit-test recorder) implements these functions; the game
// code calls nothing else of the OS.
#pragma once

#include <cstdint>

namespace platform {

// Message box styles, with the Win32 values.
constexpr unsigned kBoxPlain = 0x00;
constexpr unsigned kBoxExclamation = 0x30;  // also MB_ICONWARNING
constexpr unsigned kBoxInformation = 0x40;

// Modal box without owner window and with one OK button.
void messageBox(const char* text, const char* caption, unsigned style);

uint32_t tickCount();            // milliseconds since the system started
int32_t clockMs();               // milliseconds since the process started
int64_t performanceFrequency();  // counter ticks per second, 0 if none
int64_t performanceCounter();

// Puts the pointer at a position given in the window's client coordinates.
void setCursorPos(int x, int y);

// Starts playing a wave file and returns at once.
void playSound(const char* fileName);

// An OpenGL entry point of the current context, or null.
void* glProcAddress(const char* name);

// Builds 96 bitmap glyph display lists (codes 32..127) from listBase,
// from the named font at a character height of size pixels.
void buildFont(const char* faceName, int size, unsigned listBase);

// Process exit with a status (the configuration failure ends this way).
[[noreturn]] void exitProcess(int status);

}  // namespace platform
