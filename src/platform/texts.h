// What a player reads of the system, written once: the window's title and
// each numbered box's caption and text. The game and every backend take them
// from here; the build writes them out for the page and the end-to-end tests
// (cmake/texts.cmake reads this file: one entry a line, as below).
#pragma once

namespace texts {

struct Box {
    const char* caption;
    const char* text;
};

constexpr char kWindowTitle[] = "Vale - by Pellam";

// Making and releasing the window and its OpenGL context.
constexpr Box kRegisterClass = {"Error -1", "Registering of WindowClass failed!"};
constexpr Box kFullscreen = {"Error -2", "Fullscreen initialization failed!"};
constexpr Box kWindow = {"Error -3", "Window initialization failed!"};
constexpr Box kDeviceContext = {"Error -4", "GL Device Context initialization failed!"};
constexpr Box kSuitablePixelFormat = {"Error -5", "Suitable PixelFormat initialization failed!"};
constexpr Box kPixelFormat = {"Error -6", "PixelFormat initialization failed!"};
constexpr Box kRenderingContext = {"Error -7", "GL Rendering Context initialization failed!"};
constexpr Box kContextActivation = {"Error -8", "GL Rendering Context activation failed!"};
constexpr Box kReleaseContexts = {"Error -9", "Release of DC & RC failed!"};
constexpr Box kReleaseRenderingContext = {"Error -10", "Release of Rendering Context failed!"};
constexpr Box kReleaseDeviceContext = {"Error -11", "Release of Device Context failed!"};
constexpr Box kReleaseWindow = {"Error -12", "Release of hWnd failed!"};
constexpr Box kUnregisterClass = {"Error -13", "Unregistering of WindowClass failed!"};

// Textures, by reader: a file that cannot be read, and one that cannot be decoded.
constexpr Box kPcxUnread = {"Error -16", "Texture initialization failed!"};
constexpr Box kPcxUndecoded = {"Error -17", "Texture initialization failed!"};
constexpr Box kRawUnread = {"Error -18", "Texture initialization failed!"};
constexpr Box kRawUndecoded = {"Error -19", "Texture initialization failed!"};
constexpr Box kTgaUnread = {"Error -20", "Texture initialization failed!"};
constexpr Box kTgaUndecoded = {"Error -21", "Texture initialization failed!"};

// The game's files and the driver.
constexpr Box kConfiguration = {"Error -31", "Configuration initialization failed (incorrect paths)!"};
constexpr Box kHeightMap = {"Error -32", "Unable to load heightmap data!"};
constexpr Box kHeightMapMemory = {"Error -33", "Unable to allocate memory!"};
constexpr Box kMultitexture = {"Error -34", "Current version of OpenGL does not support multitexturing!"};
constexpr Box kPerformanceLog = {"Error -35", "Unable to save performance results!"};

}  // namespace texts
