#include "textures/textures.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "app/config.h"
#include "app/files.h"
#include "app/little_endian.h"
#include "platform/platform.h"
#include "platform/texts.h"

namespace {

// Sides beyond this are refused: a lying header could otherwise ask for
// gigabytes, and no texture of the program comes near it.
constexpr uint32_t kMaxSide = 8192;

void textureError(const texts::Box& box) {
    platform::messageBox(box, platform::kBoxExclamation);
}

// Allocation that reports failure instead of throwing.
bool allocate(std::vector<uint8_t>& buffer, size_t size) {
    try {
        buffer.assign(size, 0);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

}  // namespace

bool decodePcx(const uint8_t* data, size_t length, uint32_t size, Image& image) {
    if (size == 0 || size > kMaxSide) return false;
    const size_t count = static_cast<size_t>(size) * size;
    std::vector<uint8_t> indices;
    if (!allocate(indices, count) || !allocate(image.pixels, count * 3)) return false;
    // Run-length decoding from the end of the 128-byte header; a run that
    // would pass the end of the picture is cut there, a short file leaves 0.
    size_t in = 128, out = 0;
    while (out < count && in < length) {
        const uint8_t b = data[in++];
        if (b >= 0xC0) {
            if (in >= length) break;
            const uint8_t value = data[in++];
            for (unsigned n = b - 0xC0u; n > 0 && out < count; --n) indices[out++] = value;
        } else {
            indices[out++] = b;
        }
    }
    uint8_t palette[768] = {};
    if (length >= 768) std::memcpy(palette, data + length - 768, 768);
    for (uint32_t r = 0; r < size; ++r) {
        const uint8_t* src = &indices[static_cast<size_t>(r) * size];
        uint8_t* dst = &image.pixels[static_cast<size_t>(size - 1 - r) * size * 3];
        for (uint32_t c = 0; c < size; ++c) std::memcpy(dst + c * 3, palette + src[c] * 3, 3);
    }
    image.width = image.height = size;
    image.format = GL_RGB;
    return true;
}

bool decodeRaw(const uint8_t* data, size_t length, uint32_t size, Image& image) {
    if (size == 0 || size > kMaxSide) return false;
    const size_t rowBytes = static_cast<size_t>(size) * 3;
    if (!allocate(image.pixels, rowBytes * size)) return false;
    for (uint32_t r = 0; r < size; ++r) {
        const size_t from = r * rowBytes;
        if (from >= length) break;  // missing rows stay black
        const size_t n = length - from < rowBytes ? length - from : rowBytes;
        std::memcpy(&image.pixels[(size - 1 - r) * rowBytes], data + from, n);
    }
    image.width = image.height = size;
    image.format = GL_RGB;
    return true;
}

size_t tgaPixelOffset(const uint8_t* header) {
    const size_t colourMap = header[1] ? static_cast<size_t>(le16(header + 5)) * ((header[7] + 7u) / 8) : 0;
    return 18 + header[0] + colourMap;
}

bool decodeTga(const uint8_t* data, size_t length, Image& image) {
    if (length < 18) return false;
    const uint32_t width = le16(data + 12);
    const uint32_t height = le16(data + 14);
    const uint32_t depth = data[16];
    // Only uncompressed 24- and 32-bit pictures carry pixels this reader can
    // hand on; anything else is refused rather than misread.
    if ((depth != 24 && depth != 32) || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        return false;
    const uint32_t bytesPerPixel = depth / 8;
    const size_t rowBytes = static_cast<size_t>(width) * bytesPerPixel;
    const size_t size = rowBytes * height;
    if (!allocate(image.pixels, size)) return false;
    const size_t offset = tgaPixelOffset(data);
    const size_t available = length > offset ? length - offset : 0;
    if (available) std::memcpy(image.pixels.data(), data + offset, available < size ? available : size);
    // A picture stored top row first (origin bit set) is turned bottom-up.
    if (data[17] & 0x20)
        for (uint32_t r = 0; r < height / 2; ++r)
            std::swap_ranges(&image.pixels[r * rowBytes], &image.pixels[(r + 1) * rowBytes],
                             &image.pixels[(height - 1 - r) * rowBytes]);
    for (size_t i = 0; i + bytesPerPixel <= size; i += bytesPerPixel) {
        const uint8_t blue = image.pixels[i];
        image.pixels[i] = image.pixels[i + 2];
        image.pixels[i + 2] = blue;
    }
    image.width = width;
    image.height = height;
    image.format = depth == 24 ? GL_RGB : GL_RGBA;
    return true;
}

void uploadTexture(uint32_t& textureName, const uint8_t* pixels, uint32_t width, uint32_t height, GLenum format) {
    GLuint name = 0;
    glGenTextures(1, &name);
    textureName = name;
    const int filter = config.texturefilter;
    if (filter < 0 || filter > 2) return;
    glBindTexture(GL_TEXTURE_2D, name);
    const GLint mag = filter == 0 ? GL_NEAREST : GL_LINEAR;
    const GLint min = filter == 0 ? GL_NEAREST : filter == 1 ? GL_LINEAR : GL_LINEAR_MIPMAP_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
    // The buffers are tightly packed: with the default row alignment of 4 an
    // RGB picture whose rows are not a multiple of 4 bytes would be read
    // skewed and past its end. The default is put back afterwards.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (filter == 2)
        gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(format), static_cast<GLint>(width),
                          static_cast<GLint>(height), format, GL_UNSIGNED_BYTE, pixels);
    else
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), static_cast<GLsizei>(width),
                     static_cast<GLsizei>(height), 0, format, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

namespace {

// Shared tail of the three readers: read, decode, upload.
bool loadImage(const char* path, uint32_t& textureName, const texts::Box& openError, const texts::Box& memoryError,
               bool (*decode)(const uint8_t*, size_t, uint32_t, Image&), uint32_t size) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        textureError(openError);
        return false;
    }
    Image image;
    if (!decode(bytes.data(), bytes.size(), size, image)) {
        textureError(memoryError);
        return false;
    }
    uploadTexture(textureName, image.pixels.data(), image.width, image.height, image.format);
    return true;
}

bool decodeTgaSized(const uint8_t* data, size_t length, uint32_t, Image& image) {
    return decodeTga(data, length, image);
}

}  // namespace

bool loadPcx(const char* path, uint32_t& textureName, uint32_t size) {
    return loadImage(path, textureName, texts::kPcxUnread, texts::kPcxUndecoded, decodePcx, size);
}

bool loadRaw(const char* path, uint32_t& textureName, uint32_t size) {
    return loadImage(path, textureName, texts::kRawUnread, texts::kRawUndecoded, decodeRaw, size);
}

bool loadTga(const char* path, uint32_t& textureName) {
    return loadImage(path, textureName, texts::kTgaUnread, texts::kTgaUndecoded, decodeTgaSized, 0);
}

bool loadTexture(const char* path, uint32_t& textureName, uint32_t size) {
    const size_t length = std::strlen(path);
    if (length < 3) return false;
    const char* ext = path + length - 3;
    if (!std::strcmp(ext, "pcx") || !std::strcmp(ext, "PCX")) return loadPcx(path, textureName, size);
    if (!std::strcmp(ext, "raw") || !std::strcmp(ext, "RAW")) return loadRaw(path, textureName, size);
    if (!std::strcmp(ext, "tga") || !std::strcmp(ext, "TGA")) return loadTga(path, textureName);
    return false;
}
