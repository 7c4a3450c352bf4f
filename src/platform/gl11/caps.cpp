// Switches and fixed-function figures: lighting, fog, the fragment
// operations, clearing and the viewport. What ES 2 has too is passed on
// when it changes (after drawing what was gathered under the old value);
// the rest is read by the program at the next draw.
#include "platform/gl11/gl11.h"
#include "platform/gl11/state.h"

namespace gl11 {

State gl;
Es2 es;

namespace {

// The ES 2 switch for cap, or 0 if the layer keeps it.
bool* esSwitch(GLenum cap) {
    switch (cap) {
        case GL_BLEND: return &gl.blend;
        case GL_DEPTH_TEST: return &gl.depthTest;
        case GL_CULL_FACE: return &gl.cullFace;
        default: return nullptr;
    }
}

bool* ownSwitch(GLenum cap) {
    Unit& unit = gl.units[gl.unit];
    switch (cap) {
        case GL_LIGHTING: return &gl.lighting;
        case GL_COLOR_MATERIAL: return &gl.colorMaterial;
        case GL_NORMALIZE: return &gl.normalize;
        case GL_FOG: return &gl.fog;
        case GL_ALPHA_TEST: return &gl.alphaTest;
        case GL_TEXTURE_2D: return &unit.enabled;
        case GL_TEXTURE_GEN_S: return &unit.gen[0];
        case GL_TEXTURE_GEN_T: return &unit.gen[1];
        default: return cap >= GL_LIGHT0 && cap < GL_LIGHT0 + kLights ? &gl.lights[cap - GL_LIGHT0].on : nullptr;
    }
}

void setCap(GLenum cap, bool on) {
    if (bool* s = esSwitch(cap)) {
        if (*s == on) return;
        flushIfGathered();
        *s = on;
        if (es.live) on ? es.Enable(cap) : es.Disable(cap);
    } else if (bool* own = ownSwitch(cap)) {
        if (*own == on) return;
        flushIfGathered();
        *own = on;
        if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + kLights) ++gl.lightVersion;
    }
}

void copy4(float* to, const float* from) {
    for (int i = 0; i < 4; ++i) to[i] = from[i];
}

}  // namespace

bool attach(int width, int height) {
    gl = State{};
    for (Stack& s : gl.stacks) s.at[0] = identity();
    gl.lights[0].diffuse[0] = gl.lights[0].diffuse[1] = gl.lights[0].diffuse[2] = 1;
    gl.viewport[2] = width, gl.viewport[3] = height;
    if (!loadEs2() || !makeProgram()) {
        es.live = false;
        return false;
    }
    return true;
}

void finish() { flushIfGathered(); }

}  // namespace gl11

using namespace gl11;

extern "C" {

void glEnable(GLenum cap) { setCap(cap, true); }
void glDisable(GLenum cap) { setCap(cap, false); }

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    if (light < GL_LIGHT0 || light >= GL_LIGHT0 + kLights) return;
    Light& l = gl.lights[light - GL_LIGHT0];
    lightsChanged();
    if (pname == GL_AMBIENT) copy4(l.ambient, params);
    else if (pname == GL_DIFFUSE) copy4(l.diffuse, params);
    else if (pname == GL_POSITION) transform(gl.stacks[0].current(), params, l.position);  // into eye space, now
}

void glFogf(GLenum pname, GLfloat param) {
    lightsChanged();
    if (pname == GL_FOG_DENSITY) gl.fogDensity = param;
    else if (pname == GL_FOG_START) gl.fogStart = param;
    else if (pname == GL_FOG_END) gl.fogEnd = param;
    else if (pname == GL_FOG_MODE) gl.fogMode = static_cast<GLenum>(param);
}
void glFogi(GLenum pname, GLint param) { glFogf(pname, static_cast<GLfloat>(param)); }
void glFogfv(GLenum pname, const GLfloat* params) {
    if (pname != GL_FOG_COLOR) return glFogf(pname, params[0]);
    lightsChanged();
    copy4(gl.fogColor, params);
}

void glAlphaFunc(GLenum func, GLclampf ref) {
    flushIfGathered();
    gl.alphaFunc = func;
    gl.alphaRef = ref < 0 ? 0 : ref > 1 ? 1 : ref;
}

void glBlendFunc(GLenum sfactor, GLenum dfactor) {
    flushIfGathered();
    if (es.live) es.BlendFunc(sfactor, dfactor);
}

void glDepthFunc(GLenum func) {
    flushIfGathered();
    if (es.live) es.DepthFunc(func);
}

void glCullFace(GLenum mode) {
    flushIfGathered();
    if (es.live) es.CullFace(mode);
}

void glFrontFace(GLenum mode) {
    flushIfGathered();
    if (es.live) es.FrontFace(mode);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    const GLint* v = gl.viewport;
    if (gl.viewportSet && v[0] == x && v[1] == y && v[2] == width && v[3] == height) return;
    gl.viewportSet = true;
    flushIfGathered();
    gl.viewport[0] = x, gl.viewport[1] = y, gl.viewport[2] = width, gl.viewport[3] = height;
    if (es.live) es.Viewport(x, y, width, height);
}

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    if (es.live) es.ClearColor(r, g, b, a);
}
void glClearDepth(GLclampd depth) {
    if (es.live) es.ClearDepthf(static_cast<GLfloat>(depth));
}
void glClear(GLbitfield mask) {
    flushIfGathered();
    if (es.live) es.Clear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT));
}

void glFlush() {
    flushIfGathered();
    if (es.live) es.Flush();
}

// Smooth shading and the nicest hints are what the program does anyway.
void glShadeModel(GLenum) {}
void glHint(GLenum, GLenum) {}

void glTexGeni(GLenum coord, GLenum pname, GLint param) {
    if (pname != GL_TEXTURE_GEN_MODE || (coord != GL_S && coord != GL_T)) return;
    flushIfGathered();
    gl.units[gl.unit].sphere[coord - GL_S] = param == GL_SPHERE_MAP;
}

}  // extern "C"
