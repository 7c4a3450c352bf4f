// A platform backend for the unit tests: it records what the game asks of
// the OS and lets the tests set the clocks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testplatform {

struct Box {
    std::string text;
    std::string caption;
    unsigned style;
};

extern std::vector<Box> boxes;
extern std::vector<std::string> sounds;
extern uint32_t ticks;
extern int32_t clockMs;
extern int64_t frequency;
extern int64_t counter;
// Set by the OpenGL tests, which own a real context.
extern std::function<void*(const char*)> procAddress;
extern std::function<void(const char*, int, unsigned)> fontBuilder;

void reset();

}  // namespace testplatform
