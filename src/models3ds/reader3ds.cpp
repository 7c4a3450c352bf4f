#include "models3ds/reader3ds.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/files.h"
#include "app/little_endian.h"
#include "platform/platform.h"

namespace {

// Chunks nest at most this deep; deeper ones are skipped whole, so a hostile
// file cannot exhaust the stack.
constexpr int kMaxDepth = 64;

void showError(const char* format, const char* path, const char* caption) {
    char text[512];
    std::snprintf(text, sizeof text, format, path);
    platform::messageBox(text, caption, platform::kBoxPlain);
}

}  // namespace

Vec3 normalise(Vec3 v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0.0f)) return {0, 0, 0};
    return v / length;
}

void Object3ds::releaseArrays() {
    std::vector<Vec3>().swap(vertices);
    std::vector<Vec3>().swap(normals);
    std::vector<TexCoord>().swap(texCoords);
    std::vector<Face3ds>().swap(faces);
}

size_t Loader3ds::read(void* dest, size_t count) {
    const size_t n = pos_ < length_ ? (length_ - pos_ < count ? length_ - pos_ : count) : 0;
    if (n) std::memcpy(dest, data_ + pos_, n);
    pos_ += n;
    return n;
}

size_t Loader3ds::skip(size_t count) {
    const size_t n = pos_ < length_ ? (length_ - pos_ < count ? length_ - pos_ : count) : 0;
    pos_ += n;
    return n;
}

void Loader3ds::readChunk(Chunk3ds& chunk) {
    uint8_t bytes[6] = {};
    chunk.bytesRead = static_cast<uint32_t>(read(bytes, 2));
    chunk.bytesRead += static_cast<uint32_t>(read(bytes + 2, 4));
    chunk.id = le16(bytes);
    chunk.length = le32(bytes + 2);
}

uint32_t Loader3ds::rest(const Chunk3ds& chunk) const {
    return chunk.length > chunk.bytesRead ? chunk.length - chunk.bytesRead : 0;
}

void Loader3ds::skipRest(Chunk3ds& chunk) { chunk.bytesRead += static_cast<uint32_t>(skip(rest(chunk))); }

// Reads a NUL-terminated string of at most limit bytes; what does not fit in
// dest is consumed and dropped. Returns the bytes consumed.
uint32_t Loader3ds::readString(char* dest, size_t destSize, uint32_t limit) {
    uint32_t consumed = 0;
    size_t n = 0;
    while (consumed < limit && !atEnd()) {
        const char c = static_cast<char>(data_[pos_++]);
        ++consumed;
        if (c == '\0') break;
        if (n + 1 < destSize) dest[n++] = c;
    }
    dest[n] = '\0';
    return consumed;
}

// The frame every walk shares: read children until the parent's length is
// used up, handing each to handle. A child may claim no more than what is
// left of its parent, and the walk ends with the file.
template <typename Handler>
void Loader3ds::walk(Chunk3ds& parent, Handler handle) {
    ++depth_;
    while (parent.bytesRead < parent.length && !atEnd()) {
        Chunk3ds current;
        readChunk(current);
        const uint32_t room = parent.length - parent.bytesRead;
        if (current.length > room) current.length = room;
        if (depth_ > kMaxDepth)
            skipRest(current);
        else
            handle(current);
        parent.bytesRead += current.bytesRead;
    }
    --depth_;
}

void Loader3ds::walkMain(Model3ds& model, Chunk3ds& parent) {
    walk(parent, [&](Chunk3ds& current) {
        switch (current.id) {
            case 0x0002: {
                uint8_t version[2] = {};
                current.bytesRead += static_cast<uint32_t>(read(version, rest(current) < 2 ? rest(current) : 2));
                skipRest(current);
                if (le16(version) > 3)
                    platform::messageBox("This 3DS file is over version 3 so it may load incorrectly", "Warning",
                                         platform::kBoxPlain);
                break;
            }
            case 0x3D3D:  // its mesh-version child 0x3D3E is skipped like any unknown chunk
                walkMain(model, current);
                break;
            case 0xAFFF:
                model.materials.push_back(Material3ds{});
                ++model.materialCount;
                walkMaterial(model, current);
                break;
            case 0x4000: {
                model.objects.emplace_back();
                ++model.objectCount;
                Object3ds& object = model.objects.back();
                current.bytesRead += readString(object.name, sizeof object.name, rest(current));
                walkObject(model, object, current);
                break;
            }
            default:  // the keyframer block 0xB000 and everything unknown
                skipRest(current);
        }
    });
}

void Loader3ds::walkObject(Model3ds& model, Object3ds& object, Chunk3ds& parent) {
    walk(parent, [&](Chunk3ds& current) {
        switch (current.id) {
            case 0x4100: walkObject(model, object, current); break;
            case 0x4110: readVertices(object, current); break;
            case 0x4120: readFaces(object, current); break;
            case 0x4130: readFaceMaterial(model, object, current); break;
            case 0x4140: readTexCoords(object, current); break;
            default: skipRest(current);
        }
    });
}

void Loader3ds::walkMaterial(Model3ds& model, Chunk3ds& parent) {
    walk(parent, [&](Chunk3ds& current) {
        Material3ds& material = model.materials.back();
        switch (current.id) {
            case 0xA000: current.bytesRead += readString(material.name, sizeof material.name, rest(current)); break;
            case 0xA020:
                // Only the first colour sub-chunk is read here; the ones after
                // it are met by this walk as if they were siblings.
                readColor(material, current);
                return;
            case 0xA200: walkMaterial(model, current); break;
            case 0xA300:
                current.bytesRead += readString(material.mapFile, sizeof material.mapFile, rest(current));
                break;
            default: break;
        }
        skipRest(current);
    });
}

void Loader3ds::readColor(Material3ds& material, Chunk3ds& chunk) {
    Chunk3ds temp;
    readChunk(temp);
    const uint32_t room = rest(chunk);
    if (temp.length > room) temp.length = room;
    // Bytes (0x0011, gamma-corrected 0x0012) are taken as they are, floats
    // (0x0010, 0x0013) scaled from 0..1; a sub-chunk of any other kind holds
    // no colour and leaves it as it was.
    if (temp.id == 0x0011 || temp.id == 0x0012) {
        const uint32_t n = rest(temp) < 3 ? rest(temp) : 3;
        temp.bytesRead += static_cast<uint32_t>(read(material.color, n));
    } else if ((temp.id == 0x0010 || temp.id == 0x0013) && rest(temp) >= 12) {
        uint8_t rgb[12] = {};  // a file that ends early leaves zeros, not stack bytes
        temp.bytesRead += static_cast<uint32_t>(read(rgb, 12));
        for (int k = 0; k < 3; ++k) {
            const float f = leFloat(rgb + 4 * k);
            material.color[k] = static_cast<uint8_t>(f >= 1 ? 255 : f > 0 ? f * 255 + 0.5f : 0);
        }
    }
    skipRest(temp);
    chunk.bytesRead += temp.bytesRead;
}

void Loader3ds::readVertices(Object3ds& object, Chunk3ds& chunk) {
    uint8_t count[2] = {};
    chunk.bytesRead += static_cast<uint32_t>(read(count, rest(chunk) < 2 ? rest(chunk) : 2));
    object.vertexCount = le16(count);
    object.vertices.assign(static_cast<size_t>(object.vertexCount), Vec3{0, 0, 0});
    const uint32_t n = rest(chunk) / 12 < static_cast<uint32_t>(object.vertexCount) ? rest(chunk) / 12
                                                                                    : object.vertexCount;
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t v[12] = {};
        chunk.bytesRead += static_cast<uint32_t>(read(v, 12));
        object.vertices[i] = {leFloat(v), leFloat(v + 4), leFloat(v + 8)};
    }
    skipRest(chunk);
}

void Loader3ds::readFaces(Object3ds& object, Chunk3ds& chunk) {
    uint8_t count[2] = {};
    chunk.bytesRead += static_cast<uint32_t>(read(count, rest(chunk) < 2 ? rest(chunk) : 2));
    // A count larger than the chunk holds is cut to the faces present, so the
    // face list never reads into what follows it.
    uint32_t n = le16(count);
    if (rest(chunk) / 8 < n) n = rest(chunk) / 8;
    object.faceCount = static_cast<int32_t>(n);
    object.faces.assign(n, Face3ds{});
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t f[8] = {};
        chunk.bytesRead += static_cast<uint32_t>(read(f, 8));
        for (int k = 0; k < 3; ++k) object.faces[i].vertexIndex[k] = le16(f + 2 * k);
    }
    // The sub-chunks inside the face list are met by the object walk.
}

void Loader3ds::readTexCoords(Object3ds& object, Chunk3ds& chunk) {
    uint8_t count[2] = {};
    chunk.bytesRead += static_cast<uint32_t>(read(count, rest(chunk) < 2 ? rest(chunk) : 2));
    object.texCoordCount = le16(count);
    object.texCoords.assign(static_cast<size_t>(object.texCoordCount), TexCoord{0, 0});
    const uint32_t n = rest(chunk) / 8 < static_cast<uint32_t>(object.texCoordCount) ? rest(chunk) / 8
                                                                                     : object.texCoordCount;
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t v[8] = {};
        chunk.bytesRead += static_cast<uint32_t>(read(v, 8));
        object.texCoords[i] = {leFloat(v), leFloat(v + 4)};
    }
    skipRest(chunk);
}

void Loader3ds::readFaceMaterial(Model3ds& model, Object3ds& object, Chunk3ds& chunk) {
    char name[255];
    chunk.bytesRead += readString(name, sizeof name, rest(chunk));
    for (int32_t i = 0; i < model.materialCount; ++i) {
        if (std::strcmp(name, model.materials[static_cast<size_t>(i)].name) == 0) {
            object.materialIndex = i;
            if (model.materials[static_cast<size_t>(i)].mapFile[0] != '\0') object.hasTexture = true;
            break;
        }
    }
    skipRest(chunk);
}

void Loader3ds::importBytes(Model3ds& model, const uint8_t* data, size_t length, const char* path) {
    data_ = data;
    length_ = length;
    pos_ = 0;
    depth_ = 0;
    Chunk3ds primary;
    readChunk(primary);
    if (primary.id != 0x4D4D) {
        showError("Unable to load PRIMARY chuck from file: %s!", path, "Error");
        return;
    }
    walkMain(model, primary);
    // Faces naming vertices the object does not have are dropped, so nothing
    // downstream indexes outside the arrays.
    for (Object3ds& object : model.objects) {
        size_t kept = 0;
        for (const Face3ds& f : object.faces) {
            bool valid = true;
            for (int k = 0; k < 3; ++k) valid = valid && f.vertexIndex[k] < object.vertexCount;
            if (valid) object.faces[kept++] = f;
        }
        object.faces.resize(kept);
        object.faceCount = static_cast<int32_t>(kept);
    }
    computeNormals(model);
    data_ = nullptr;
    length_ = pos_ = 0;
}

void Loader3ds::import(Model3ds& model, const char* path) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        showError("Unable to find the file: %s!", path, "Error");
        return;
    }
    importBytes(model, bytes.data(), bytes.size(), path);
}

void computeNormals(Model3ds& model) {
    for (Object3ds& object : model.objects) {
        const size_t count = object.vertices.size();
        std::vector<Vec3> sums(count, Vec3{0, 0, 0});
        std::vector<int> shared(count, 0);
        for (const Face3ds& f : object.faces) {
            const Vec3 a = object.vertices[static_cast<size_t>(f.vertexIndex[0])];
            const Vec3 b = object.vertices[static_cast<size_t>(f.vertexIndex[1])];
            const Vec3 c = object.vertices[static_cast<size_t>(f.vertexIndex[2])];
            const Vec3 n = cross(a - c, c - b);
            for (int k = 0; k < 3; ++k) {
                const int32_t v = f.vertexIndex[k];
                if ((k > 0 && v == f.vertexIndex[0]) || (k > 1 && v == f.vertexIndex[1])) continue;
                sums[static_cast<size_t>(v)] = sums[static_cast<size_t>(v)] + n;
                ++shared[static_cast<size_t>(v)];
            }
        }
        object.normals.resize(count);
        for (size_t v = 0; v < count; ++v)
            object.normals[v] = shared[v] ? normalise(sums[v] / static_cast<float>(-shared[v])) : Vec3{0, 0, 0};
    }
}
