// A batch drawn: the program's uniforms brought up to date (only what
// changed since the last draw), the vertices and indices uploaded in one
// call each, and one indexed draw.
#include <cstddef>
#include <cstring>

#include "platform/gl11/state.h"

namespace gl11 {

extern const char kVertexSource[], kFragmentSource[];

namespace {

enum Attribute : GLuint { kPosition, kNormal, kColor, kTex0, kTex1 };

struct Uniforms {
    GLint projection, lighting, colorMaterial, normalize, gen, lightCount, lightPosition,
        lightAmbient, lightDiffuse, globalAmbient, unit0, unit1, texture0, texture1, fogMode, fog, fogColor, alphaFunc,
        alphaRef;
};

struct Program {
    GLuint name = 0;
    GLuint buffers[2] = {};
    Uniforms at = {};
    unsigned projectionVersion = 0, lightVersion = 0;
    int flags[10];  // what was last sent of the switches, in the order of sendSwitches
    float gen[4], alphaRef;
} program;

GLuint compile(GLenum kind, const char* source) {
    const GLuint shader = es.CreateShader(kind);
    es.ShaderSource(shader, 1, &source, nullptr);
    es.CompileShader(shader);
    GLint ok = 0;
    es.GetShaderiv(shader, kCompileStatus, &ok);
    return ok ? shader : 0;
}

// A vec4 uniform (or array) sent only where it differs from what was sent.
struct Sent {
    float at[4 * kLights];
    int count = -1;
};

void send4(GLint location, Sent& sent, const float* v, int count) {
    if (sent.count == count && !std::memcmp(sent.at, v, 4 * sizeof(float) * count)) return;
    std::memcpy(sent.at, v, 4 * sizeof(float) * count);
    sent.count = count;
    es.Uniform4fv(location, count, v);
}

struct {
    Sent position, ambient, diffuse, globalAmbient, fog, fogColor;
    int count = -1;
} sentLights;

// The lights switched on, packed in order, and the fog's figures: the
// position changes with the view each frame, the rest hardly ever.
void sendLights() {
    float position[4 * kLights], ambient[4 * kLights], diffuse[4 * kLights];
    int count = 0;
    for (const Light& l : gl.lights) {
        if (!l.on) continue;
        std::memcpy(&position[4 * count], l.position, sizeof l.position);
        std::memcpy(&ambient[4 * count], l.ambient, sizeof l.ambient);
        std::memcpy(&diffuse[4 * count], l.diffuse, sizeof l.diffuse);
        ++count;
    }
    if (sentLights.count != count) es.Uniform1i(program.at.lightCount, count);
    sentLights.count = count;
    if (count) {
        send4(program.at.lightPosition, sentLights.position, position, count);
        send4(program.at.lightAmbient, sentLights.ambient, ambient, count);
        send4(program.at.lightDiffuse, sentLights.diffuse, diffuse, count);
    }
    send4(program.at.globalAmbient, sentLights.globalAmbient, gl.globalAmbient, 1);
    const float fog[4] = {gl.fogDensity, gl.fogStart, gl.fogEnd, 0};
    send4(program.at.fog, sentLights.fog, fog, 1);
    send4(program.at.fogColor, sentLights.fogColor, gl.fogColor, 1);
}

bool textured(int u) {
    const Unit& unit = gl.units[u];
    return unit.enabled && unit.bound && unit.bound < kMaxTextures && gl.hasImage[unit.bound];
}

int fogMode() {
    if (!gl.fog) return 0;
    return gl.fogMode == GL_LINEAR ? 1 : gl.fogMode == GL_EXP ? 2 : 3;
}

int alphaFunc() {
    if (!gl.alphaTest || gl.alphaFunc < GL_NEVER || gl.alphaFunc >= GL_ALWAYS) return 0;
    return static_cast<int>(gl.alphaFunc - GL_NEVER) + 1;
}

void sendSwitches() {
    const GLint at[] = {program.at.lighting, program.at.colorMaterial, program.at.normalize, program.at.texture0,
                        program.at.texture1, program.at.fogMode, program.at.alphaFunc};
    const int now[] = {gl.lighting, gl.colorMaterial, gl.normalize, textured(0), textured(1), fogMode(), alphaFunc()};
    for (size_t i = 0; i < sizeof now / sizeof now[0]; ++i) {
        if (program.flags[i] != now[i]) es.Uniform1i(at[i], now[i]);
        program.flags[i] = now[i];
    }
    float gen[4];
    for (int u = 0; u < kUnits; ++u)
        for (int c = 0; c < 2; ++c) gen[2 * u + c] = gl.units[u].gen[c] && gl.units[u].sphere[c] ? 1.0f : 0.0f;
    if (std::memcmp(gen, program.gen, sizeof gen)) es.Uniform4fv(program.at.gen, 1, gen);
    std::memcpy(program.gen, gen, sizeof gen);
    if (program.alphaRef != gl.alphaRef) es.Uniform1f(program.at.alphaRef, gl.alphaRef);
    program.alphaRef = gl.alphaRef;
}

}  // namespace

bool makeProgram() {
    const GLuint vertex = compile(kVertexShader, kVertexSource), fragment = compile(kFragmentShader, kFragmentSource);
    if (!vertex || !fragment) return false;
    const GLuint p = es.CreateProgram();
    es.AttachShader(p, vertex);
    es.AttachShader(p, fragment);
    const char* names[] = {"aPosition", "aNormal", "aColor", "aTex0", "aTex1"};
    for (GLuint i = 0; i < 5; ++i) es.BindAttribLocation(p, i, names[i]);
    es.LinkProgram(p);
    GLint ok = 0;
    es.GetProgramiv(p, kLinkStatus, &ok);
    if (!ok) return false;
    program.name = p;
    es.UseProgram(p);
    Uniforms& u = program.at;
    auto at = [p](const char* name) { return es.GetUniformLocation(p, name); };
    u = {at("uProjection"), at("uLighting"), at("uColorMaterial"),
         at("uNormalize"), at("uGen"), at("uLightCount"), at("uLightPosition"), at("uLightAmbient"),
         at("uLightDiffuse"), at("uGlobalAmbient"), at("uUnit0"), at("uUnit1"), at("uTexture0"), at("uTexture1"),
         at("uFogMode"), at("uFog"), at("uFogColor"), at("uAlphaFunc"), at("uAlphaRef")};
    es.Uniform1i(u.unit0, 0);
    es.Uniform1i(u.unit1, 1);
    for (int& f : program.flags) f = -1;
    for (float& g : program.gen) g = -1;
    program.alphaRef = -1;
    program.projectionVersion = program.lightVersion = 0;
    sentLights = {};
    // The two buffers stay bound, the attributes pointing into the vertex buffer.
    es.GenBuffers(2, program.buffers);
    es.BindBuffer(kArrayBuffer, program.buffers[0]);
    es.BindBuffer(kElementArrayBuffer, program.buffers[1]);
    const GLsizei stride = sizeof(Vertex);
    es.VertexAttribPointer(kPosition, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, position)));
    es.VertexAttribPointer(kNormal, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, normal)));
    es.VertexAttribPointer(kColor, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(offsetof(Vertex, color)));
    es.VertexAttribPointer(kTex0, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, tex[0])));
    es.VertexAttribPointer(kTex1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, tex[1])));
    for (GLuint i = 0; i < 5; ++i) es.EnableVertexAttribArray(i);
    return true;
}

void drawBatch() {
    if (!es.live || !program.name) return;
    if (program.projectionVersion != gl.projectionVersion)
        es.UniformMatrix4fv(program.at.projection, 1, GL_FALSE, gl.stacks[1].current().m);
    if (program.lightVersion != gl.lightVersion) sendLights();
    program.projectionVersion = gl.projectionVersion;
    program.lightVersion = gl.lightVersion;
    sendSwitches();
    es.BufferData(kArrayBuffer, static_cast<GLsizeiptrEs>(gl.vertexCount * sizeof(Vertex)), batchVertices, kStreamDraw);
    es.BufferData(kElementArrayBuffer, static_cast<GLsizeiptrEs>(gl.indexCount * sizeof(uint16_t)), batchIndices,
                  kStreamDraw);
    es.DrawElements(GL_TRIANGLES, gl.indexCount, GL_UNSIGNED_SHORT, nullptr);
}

void selectUnit(int unit) {
    if (gl.esUnit == unit) return;
    es.ActiveTexture(kTexture0 + static_cast<GLenum>(unit));
    gl.esUnit = unit;
}

}  // namespace gl11
