// The table filled with Emscripten's WebGL bindings, by their emscripten_
// aliases (the plain names are the layer's own).
#include "platform/gl11/es2.h"

using gl11::GLcharEs;
using gl11::GLsizeiptrEs;

extern "C" {
#define VALE_ES2_DECLARE(ret, name, params) ret emscripten_gl##name params;
VALE_ES2_FUNCTIONS(VALE_ES2_DECLARE)
#undef VALE_ES2_DECLARE
}

namespace gl11 {

bool loadEs2() {
#define VALE_ES2_FILL(ret, name, params) es.name = &emscripten_gl##name;
    VALE_ES2_FUNCTIONS(VALE_ES2_FILL)
#undef VALE_ES2_FILL
    es.live = true;
    return true;
}

}  // namespace gl11
