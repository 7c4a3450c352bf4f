// The one window and its OpenGL context.
#pragma once

#include "app/opengl.h"

struct GlWindow {
#ifdef _WIN32
    HINSTANCE hInstance = nullptr;
    HWND hWnd = nullptr;
    HDC hDC = nullptr;
    HGLRC hRC = nullptr;
#else
    void* hInstance = nullptr;  // X display
    unsigned long hWnd = 0;     // X window
    void* hDC = nullptr;        // X visual
    void* hRC = nullptr;        // GLX context
#endif
    bool active = true;
    ActiveTextureArbFn glActiveTextureARB = nullptr;
    MultiTexCoord2fArbFn glMultiTexCoord2fARB = nullptr;
#ifdef _WIN32
    PIXELFORMATDESCRIPTOR pixelFormat = {};
#endif
};

extern GlWindow glWindow;

// Implemented by the platform backend.
bool createGlWindow();
void killGlWindow();
// Takes one pending message from the queue and dispatches it. Returns false
// when the queue was empty; sets quit (and exitCode) when the message was the
// quit request.
bool pumpMessage(bool& quit, int& exitCode);
void swapGlBuffers();
void postQuitMessage(int exitCode);

// Shared OpenGL set-up, called once after a successful createGlWindow.
void initGl();
