#include "platform/testing/test_platform.h"

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace testplatform {
std::vector<Box> boxes;
std::vector<std::string> sounds;
uint32_t ticks = 0;
int32_t clockMs = 0;
int64_t frequency = 0;
int64_t counter = 0;
std::function<void*(const char*)> procAddress;
std::function<void(const char*, int, unsigned)> fontBuilder;

void reset() {
    boxes.clear();
    sounds.clear();
    ticks = 0;
    clockMs = 0;
    frequency = counter = 0;
}
}  // namespace testplatform

namespace platform {
void messageBox(const char* text, const char* caption, unsigned style) {
    // Also on stderr, so that death tests can see the box of a dying process.
    std::fprintf(stderr, "[%s] %s\n", caption, text);
    testplatform::boxes.push_back({text, caption, style});
}
uint32_t tickCount() { return testplatform::ticks; }
int32_t clockMs() { return testplatform::clockMs; }
int64_t performanceFrequency() { return testplatform::frequency; }
int64_t performanceCounter() { return testplatform::counter; }
void playSound(const char* fileName) { testplatform::sounds.push_back(fileName); }
void* glProcAddress(const char* name) { return testplatform::procAddress ? testplatform::procAddress(name) : nullptr; }
void buildFont(const char* faceName, int size, unsigned listBase) {
    if (testplatform::fontBuilder) testplatform::fontBuilder(faceName, size, listBase);
}
void exitProcess(int status) { std::exit(status); }

// The window and the pointer are the test's own; these only keep the shell linkable.
bool createGlWindow() { return true; }
void killGlWindow() {}
void setCursorPos(int, int) {}
bool pumpMessage(bool& quit, int&) {
    quit = true;
    return true;
}
void swapGlBuffers() {}
void postQuitMessage(int) {}
void setLostHandler(void (*)()) {}
}  // namespace platform
