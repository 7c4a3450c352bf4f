#include "md2/md2.h"

#include <cstdio>
#include <cstring>

#include "app/files.h"
#include "app/little_endian.h"
#include "platform/platform.h"

namespace {

constexpr int32_t kFrameBufferSize = 8320;
constexpr int32_t kFrameHeaderSize = 40;

void showError(const char* format, const char* path) {
    char text[512];
    std::snprintf(text, sizeof text, format, path);
    platform::messageBox(text, "Error", platform::kBoxPlain);
}

// True when count records of size bytes from offset lie inside the file. An
// empty block (no skins, say) has no place, whatever its offset says.
bool blockFits(int32_t offset, int32_t count, int32_t size, size_t length) {
    if (count == 0) return true;
    if (offset < 0 || count < 0) return false;
    const unsigned long long end = static_cast<unsigned long long>(offset) +
                                   static_cast<unsigned long long>(count) * static_cast<unsigned long long>(size);
    return end <= length;
}

const int32_t kFixedTable[20][2] = {{0, 40},    {40, 46},   {46, 54},   {54, 58},   {58, 62},
                                    {62, 66},   {66, 72},   {72, 84},   {84, 95},   {95, 112},
                                    {112, 123}, {123, 135}, {135, 154}, {154, 160}, {160, 169},
                                    {169, 173}, {173, 178}, {178, 184}, {184, 190}, {190, 198}};

}  // namespace

void splitFrameName(const char* name, char* base, size_t baseSize, int& number) {
    const size_t length = std::strlen(name);
    size_t split = length;
    number = 0;
    if (length >= 2) {
        for (size_t p = 0; p < length; ++p) {
            if (name[p] >= '0' && name[p] <= '9' && p + 2 >= length) {
                split = p;
                for (size_t q = p; q < length && name[q] >= '0' && name[q] <= '9'; ++q) number = number * 10 + (name[q] - '0');
                break;
            }
        }
    }
    const size_t n = split < baseSize - 1 ? split : baseSize - 1;
    std::memcpy(base, name, n);
    base[n] = '\0';
}

bool Md2Model::importBytes(const uint8_t* data, size_t length, const char* path) {
    uint8_t raw[68] = {};
    if (length) std::memcpy(raw, data, length < sizeof raw ? length : sizeof raw);
    // The header's seventeen numbers, in the file's order.
    int32_t Md2Header::*const fields[17] = {
        &Md2Header::magic,         &Md2Header::version,       &Md2Header::skinWidth,      &Md2Header::skinHeight,
        &Md2Header::frameSize,     &Md2Header::skinCount,     &Md2Header::vertexCount,    &Md2Header::texCoordCount,
        &Md2Header::triangleCount, &Md2Header::glCommandCount, &Md2Header::frameCount,    &Md2Header::skinsOffset,
        &Md2Header::texCoordsOffset, &Md2Header::trianglesOffset, &Md2Header::framesOffset, &Md2Header::glCommandsOffset,
        &Md2Header::endOffset};
    for (int i = 0; i < 17; ++i) header.*fields[i] = leS32(raw + 4 * i);
    if (header.version != 8) {
        showError("Invalid file format (Version not 8): %s!", path);
        return false;
    }
    // A file whose blocks lie outside it, whose frames do not fit the frame
    // buffer, or whose triangles name missing vertices is refused whole.
    const Md2Header& h = header;
    bool sound = length >= sizeof raw && blockFits(h.skinsOffset, h.skinCount, 64, length) &&
                 blockFits(h.texCoordsOffset, h.texCoordCount, 4, length) &&
                 blockFits(h.trianglesOffset, h.triangleCount, 12, length) && h.vertexCount >= 0 &&
                 h.frameSize >= kFrameHeaderSize + 4LL * h.vertexCount && h.frameSize <= kFrameBufferSize &&
                 blockFits(h.framesOffset, h.frameCount, h.frameSize, length) &&
                 (h.texCoordCount == 0 || (h.skinWidth != 0 && h.skinHeight != 0));
    const uint8_t* triangles = sound ? data + h.trianglesOffset : nullptr;
    for (int32_t i = 0; sound && i < h.triangleCount; ++i) {
        for (int k = 0; k < 3; ++k) {
            const int v = leS16(triangles + 12 * i + 2 * k);
            const int t = leS16(triangles + 12 * i + 6 + 2 * k);
            if (v < 0 || v >= h.vertexCount || (h.texCoordCount > 0 && (t < 0 || t >= h.texCoordCount)))
                sound = false;
        }
    }
    if (!sound) {
        showError("Invalid file format (Corrupt data): %s!", path);
        return false;
    }

    std::vector<Md2Frame> frames(static_cast<size_t>(h.frameCount));
    for (int32_t i = 0; i < h.frameCount; ++i) {
        const uint8_t* frame = data + h.framesOffset + static_cast<size_t>(i) * h.frameSize;
        const float scale[3] = {leFloat(frame), leFloat(frame + 4), leFloat(frame + 8)};
        const float translate[3] = {leFloat(frame + 12), leFloat(frame + 16), leFloat(frame + 20)};
        std::memcpy(frames[i].name, frame + 24, 16);
        frames[i].name[16] = '\0';
        frames[i].vertices.resize(static_cast<size_t>(h.vertexCount));
        for (int32_t v = 0; v < h.vertexCount; ++v) {
            const uint8_t* p = frame + kFrameHeaderSize + 4 * v;
            frames[i].vertices[v] = {scale[0] * p[0] + translate[0], scale[2] * p[2] + translate[2],
                                     -(scale[1] * p[1] + translate[1])};
        }
    }

    model = AnimatedModel{};
    model.objectCount = h.frameCount;
    buildAnimations(frames);
    for (int32_t p = 0; p < h.frameCount; ++p) {
        Object3ds object;
        object.vertexCount = h.vertexCount;
        object.faceCount = h.triangleCount;
        object.texCoordCount = h.texCoordCount;
        object.vertices.swap(frames[p].vertices);
        if (p == 0) {
            object.texCoords.resize(static_cast<size_t>(h.texCoordCount));
            for (int32_t i = 0; i < h.texCoordCount; ++i) {
                const uint8_t* st = data + h.texCoordsOffset + 4 * i;
                object.texCoords[i] = {static_cast<float>(leS16(st)) / static_cast<float>(h.skinWidth),
                                       1 - static_cast<float>(leS16(st + 2)) / static_cast<float>(h.skinHeight)};
            }
            object.faces.resize(static_cast<size_t>(h.triangleCount));
            for (int32_t i = 0; i < h.triangleCount; ++i)
                for (int k = 0; k < 3; ++k) {
                    object.faces[i].vertexIndex[k] = leS16(triangles + 12 * i + 2 * k);
                    object.faces[i].texCoordIndex[k] = leS16(triangles + 12 * i + 6 + 2 * k);
                }
        }
        model.objects.push_back(std::move(object));
    }
    model.materialCount = 1;
    return true;
}

void Md2Model::buildAnimations(const std::vector<Md2Frame>& frames) {
    char previous[256] = "";
    int32_t start = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        char base[256];
        int number = 0;
        splitFrameName(frames[i].name, base, sizeof base, number);
        if (std::strcmp(base, previous) != 0) {
            if (previous[0] != '\0') {
                Animation a{};
                std::memcpy(a.name, previous, sizeof previous);
                a.startFrame = start;
                a.endFrame = static_cast<int32_t>(i);
                model.animations.push_back(a);
                ++model.animationCount;
            }
            start = static_cast<int32_t>(i) + number - 1;
        }
        std::memcpy(previous, base, sizeof previous);
    }
    if (previous[0] != '\0') {
        Animation a{};
        std::memcpy(a.name, previous, sizeof previous);
        a.startFrame = start;
        a.endFrame = static_cast<int32_t>(frames.size());
        model.animations.push_back(a);
        ++model.animationCount;
    }
}

bool Md2Model::import(const char* path) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        showError("Unable to find the file: %s!", path);
        return false;
    }
    return importBytes(bytes.data(), bytes.size(), path);
}

void Md2Model::applyFixedTable() {
    // Entries the frame names did not produce are added unnamed, so that the
    // table always holds its 20 ranges.
    if (model.animations.size() < 20) model.animations.resize(20, Animation{});
    for (int i = 0; i < 20; ++i) {
        model.animations[i].startFrame = kFixedTable[i][0];
        model.animations[i].endFrame = kFixedTable[i][1];
    }
}

void Md2Model::load(const char* path) {
    if (import(path)) applyFixedTable();
}

void Md2Model::release() {
    for (Object3ds& object : model.objects) object.releaseArrays();
}

bool Md2Model::advance(int selector, uint32_t now, int32_t& from, int32_t& to, float& blend) {
    const int32_t frameTotal = static_cast<int32_t>(model.objects.size());
    if (frameTotal == 0) return false;
    if (!started) {
        // Time is counted from the first draw, not from system start.
        started = true;
        lastTime = now;
    }
    const int32_t animationTotal = static_cast<int32_t>(model.animations.size());
    if (selector != kContinue && selector >= 0 && selector < animationTotal) {
        model.currentAnimation = selector;
        nextFrame = model.animations[selector].startFrame;
        restart = true;
        lastTime = now;
    } else if (!restart) {
        const bool known = model.currentAnimation >= 0 && model.currentAnimation < animationTotal;
        const Animation* a = known ? &model.animations[model.currentAnimation] : nullptr;
        if (a && a->endFrame > 0) {
            nextFrame = (model.currentFrame + 1) % a->endFrame;
            if (nextFrame == 0) nextFrame = a->startFrame;
        } else {
            nextFrame = (model.currentFrame + 1) % frameTotal;
        }
    }
    // Ranges that name frames the model lacks fall back to its first frame.
    if (nextFrame < 0 || nextFrame >= frameTotal) nextFrame = 0;
    if (model.currentFrame < 0 || model.currentFrame >= frameTotal) model.currentFrame = 0;

    from = model.currentFrame;
    to = nextFrame;
    elapsed = static_cast<float>(now - lastTime);
    blend = elapsed / 100.0f;
    if (elapsed >= 100.0f) {
        model.currentFrame = nextFrame;
        lastTime = now;
        restart = false;
    }
    return true;
}

void Md2Model::draw(int selector) {
    int32_t from = 0, to = 0;
    float f = 0;
    if (!advance(selector, platform::tickCount(), from, to, f)) return;
    const Object3ds& c = model.objects[from];
    const Object3ds& n = model.objects[to];
    const Object3ds& first = model.objects[0];
    if (c.vertices.empty() || n.vertices.empty()) return;  // released
    const bool textured = !first.texCoords.empty();
    glPushMatrix();
    glScalef(0.05f, 0.05f, 0.05f);
    glBegin(GL_TRIANGLES);
    for (const Face3ds& face : first.faces) {
        for (int j = 0; j < 3; ++j) {
            const size_t v = static_cast<size_t>(face.vertexIndex[j]);
            if (textured) {
                const TexCoord& st = first.texCoords[static_cast<size_t>(face.texCoordIndex[j])];
                glWindow.glMultiTexCoord2fARB(kGlTexture0Arb, st.u, st.v);
            }
            const Vec3 a = c.vertices[v], b = n.vertices[v];
            glVertex3f(a.x + f * (b.x - a.x), a.y + f * (b.y - a.y), a.z + f * (b.z - a.z));
        }
    }
    glEnd();
    glPopMatrix();
}
