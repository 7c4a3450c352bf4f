// The table filled with what EGL gives for each ES 2 name, for the context
// current now (Mesa gives core entry points by name too).
#include <EGL/egl.h>

#include "platform/gl11/es2.h"

namespace gl11 {

bool loadEs2() {
    bool all = true;
#define VALE_ES2_FILL(ret, name, params)                                        \
    es.name = reinterpret_cast<decltype(es.name)>(eglGetProcAddress("gl" #name)); \
    all = all && es.name;
    VALE_ES2_FUNCTIONS(VALE_ES2_FILL)
#undef VALE_ES2_FILL
    es.live = all;
    return all;
}

}  // namespace gl11
