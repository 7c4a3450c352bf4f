// Image files (PCX, RAW, TGA) turned into OpenGL texture objects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/opengl.h"

// A decoded image: rows of width pixels, bottom row first, 3 or 4 bytes a pixel.
struct Image {
    uint32_t width = 0;
    uint32_t height = 0;
    GLenum format = GL_RGB;
    std::vector<uint8_t> pixels;
};

// Decoders, without any OpenGL. They return false for files they cannot take.
bool decodePcx(const uint8_t* data, size_t length, uint32_t size, Image& image);
bool decodeRaw(const uint8_t* data, size_t length, uint32_t size, Image& image);
bool decodeTga(const uint8_t* data, size_t length, Image& image);

bool loadTexture(const char* path, uint32_t& textureName, uint32_t size);
bool loadPcx(const char* path, uint32_t& textureName, uint32_t size);
bool loadRaw(const char* path, uint32_t& textureName, uint32_t size);
bool loadTga(const char* path, uint32_t& textureName);
void uploadTexture(uint32_t& textureName, const uint8_t* pixels, uint32_t width, uint32_t height, GLenum format);

// Where a TGA file's pixels start: after the 18-byte header, the image ID
// field and the colour map, each as long as the header says.
size_t tgaPixelOffset(const uint8_t* header);
