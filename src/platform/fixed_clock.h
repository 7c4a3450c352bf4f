// The frame clocks a test can fix: while on, the tick count and the
// performance counter stand still but for 1/60 s a frame, so that a run
// steps the same whatever the machine's speed or load. The desktop
// programs turn it on with VALE_FIXED_CLOCK in their environment (they
// take no arguments), the page with ?fixedclock; each backend counts the
// frames it draws. The run's own clock (clockMs) stays real.
#pragma once

#include <cstdint>

namespace platform {

struct FixedClock {
    bool on = false;
    int64_t frames = 0;

    uint32_t tickCount() const { return static_cast<uint32_t>(frames * 1000 / 60); }
    int64_t counter(int64_t frequency) const { return 1 + frequency * frames / 60; }
};

}  // namespace platform
