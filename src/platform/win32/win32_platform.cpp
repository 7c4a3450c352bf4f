// The Win32 backend: WinMain, the window and WGL context, the window
// procedure, message boxes, timers, cursor, sound and the bitmap font. The
// window's handles live in glWindow, where the game's record names them.
#include <cstdlib>
#include <ctime>

#include "app/config.h"
#include "app/input.h"
#include "app/vale.h"
#include "platform/fixed_clock.h"
#include "platform/platform.h"
#include "platform/presses.h"
#include "platform/texts.h"
#include "terrain/scene.h"

#include <mmsystem.h>

namespace {
const char kClassName[] = "OpenGL";
bool pixelFormatFilled = false;
platform::FixedClock fixedClock{std::getenv("VALE_FIXED_CLOCK") != nullptr};  // for tests, counted at each swap
platform::Presses presses;  // keys and buttons, let go once a frame has seen them

void fail(const texts::Box& box, UINT style) { MessageBoxA(nullptr, box.text, box.caption, style); }

LRESULT CALLBACK windowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            glWindow.active = HIWORD(wParam) == 0;
            return 0;
        case WM_SYSCOMMAND:
            if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
            break;
        case WM_CLOSE:
            PostQuitMessage(0);
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
            presses.set(static_cast<int>(wParam & 0xFF), message == WM_KEYDOWN);
            return 0;
        case WM_MOUSEMOVE:
            mouse.x = LOWORD(lParam);
            mouse.y = HIWORD(lParam);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            presses.set(platform::Presses::kLeftButton, message == WM_LBUTTONDOWN);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            presses.set(platform::Presses::kRightButton, message == WM_RBUTTONDOWN);
            return 0;
        default: break;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}
}  // namespace

namespace platform {

void messageBox(const char* text, const char* caption, unsigned style) {
    MessageBoxA(nullptr, text, caption, style);
}

uint32_t tickCount() { return fixedClock.on ? fixedClock.tickCount() : GetTickCount(); }

int32_t clockMs() {
    // clock_t is 32 bits here: widen before scaling, or the product
    // overflows after about 36 minutes.
    return static_cast<int32_t>(static_cast<int64_t>(std::clock()) * 1000 / CLOCKS_PER_SEC);
}

int64_t performanceFrequency() {
    LARGE_INTEGER value;
    return QueryPerformanceFrequency(&value) ? value.QuadPart : 0;
}

int64_t performanceCounter() {
    if (fixedClock.on) return fixedClock.counter(performanceFrequency());
    LARGE_INTEGER value;
    return QueryPerformanceCounter(&value) ? value.QuadPart : 0;
}

void setCursorPos(int x, int y) {
    // Move messages report client coordinates; in windowed mode the client
    // area is offset by the frame, so the centre is converted to the screen.
    POINT point = {x, y};
    if (glWindow.hWnd) ClientToScreen(glWindow.hWnd, &point);
    SetCursorPos(point.x, point.y);
}

void playSound(const char* fileName) { PlaySoundA(fileName, nullptr, SND_FILENAME | SND_ASYNC); }

void* glProcAddress(const char* name) { return reinterpret_cast<void*>(wglGetProcAddress(name)); }

void buildFont(const char* faceName, int size, unsigned listBase) {
    HFONT font = CreateFontA(-size, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH, faceName);
    SelectObject(glWindow.hDC, font);
    wglUseFontBitmapsA(glWindow.hDC, 32, 96, listBase);
}

void exitProcess(int status) { std::exit(status); }


bool createGlWindow() {
    RECT rect = {0, 0, static_cast<LONG>(config.resolution_width), static_cast<LONG>(config.resolution_height)};

    glWindow.hInstance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = glWindow.hInstance;
    windowClass.hIcon = LoadIcon(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) {
        fail(texts::kRegisterClass, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    DWORD exStyle, style;
    if (config.fullscreen) {
        DEVMODEA mode = {};
        mode.dmSize = 148;  // the classic DEVMODEA, without the later display fields
        mode.dmPelsWidth = static_cast<DWORD>(config.resolution_width);
        mode.dmPelsHeight = static_cast<DWORD>(config.resolution_height);
        mode.dmBitsPerPel = static_cast<DWORD>(config.resolution_depth);
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
            fail(texts::kFullscreen, MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        exStyle = WS_EX_APPWINDOW;
        style = WS_POPUP;
        ShowCursor(FALSE);
    } else {
        exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    }

    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    glWindow.hWnd = CreateWindowExA(exStyle, kClassName, texts::kWindowTitle, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                    rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                    glWindow.hInstance, nullptr);
    // For the failures from here on, the release runs before the box shows.
    auto creationFailed = [](const texts::Box& box) {
        killGlWindow();
        fail(box, MB_OK | MB_ICONEXCLAMATION);
        return false;
    };
    if (!glWindow.hWnd) return creationFailed(texts::kWindow);

    if (!pixelFormatFilled) {
        PIXELFORMATDESCRIPTOR& pfd = glWindow.pixelFormat;
        pfd = PIXELFORMATDESCRIPTOR{};
        pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
        pfd.nVersion = 1;
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.iPixelType = PFD_TYPE_RGBA;
        pfd.cColorBits = static_cast<BYTE>(config.resolution_depth & 0xFF);
        pfd.cDepthBits = static_cast<BYTE>(config.zbuffer_depth & 0xFF);
        pfd.iLayerType = PFD_MAIN_PLANE;
        pixelFormatFilled = true;
    }

    glWindow.hDC = GetDC(glWindow.hWnd);
    if (!glWindow.hDC) return creationFailed(texts::kDeviceContext);
    const int format = ChoosePixelFormat(glWindow.hDC, &glWindow.pixelFormat);
    if (!format) return creationFailed(texts::kSuitablePixelFormat);
    if (!SetPixelFormat(glWindow.hDC, format, &glWindow.pixelFormat))
        return creationFailed(texts::kPixelFormat);
    glWindow.hRC = wglCreateContext(glWindow.hDC);
    if (!glWindow.hRC) return creationFailed(texts::kRenderingContext);
    if (!wglMakeCurrent(glWindow.hDC, glWindow.hRC))
        return creationFailed(texts::kContextActivation);

    ShowWindow(glWindow.hWnd, SW_SHOW);
    SetForegroundWindow(glWindow.hWnd);
    SetFocus(glWindow.hWnd);
    return true;
}

void killGlWindow() {
    if (config.fullscreen) {
        ChangeDisplaySettingsA(nullptr, 0);
        ShowCursor(TRUE);
    }
    if (glWindow.hRC) {
        if (!wglMakeCurrent(nullptr, nullptr))
            fail(texts::kReleaseContexts, MB_OK | MB_ICONINFORMATION);
        if (!wglDeleteContext(glWindow.hRC))
            fail(texts::kReleaseRenderingContext, MB_OK | MB_ICONINFORMATION);
        glWindow.hRC = nullptr;
    }
    if (glWindow.hDC) {
        if (!ReleaseDC(glWindow.hWnd, glWindow.hDC))
            fail(texts::kReleaseDeviceContext, MB_OK | MB_ICONINFORMATION);
        glWindow.hDC = nullptr;
    }
    if (glWindow.hWnd) {
        if (!DestroyWindow(glWindow.hWnd)) fail(texts::kReleaseWindow, MB_OK | MB_ICONINFORMATION);
        glWindow.hWnd = nullptr;
    }
    if (!UnregisterClassA(kClassName, glWindow.hInstance)) {
        fail(texts::kUnregisterClass, MB_OK | MB_ICONINFORMATION);
        glWindow.hInstance = nullptr;
    }
}

bool pumpMessage(bool& quit, int& exitCode) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {
        quit = true;
        exitCode = static_cast<int>(message.wParam);
    } else {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

void swapGlBuffers() {
    SwapBuffers(glWindow.hDC);
    presses.frameDrawn();
    ++fixedClock.frames;
}

void postQuitMessage(int exitCode) { PostQuitMessage(exitCode); }

// Nothing here can take the display away in the middle of a run.
void setLostHandler(void (*)()) {}

}  // namespace platform

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return valeMain(); }
