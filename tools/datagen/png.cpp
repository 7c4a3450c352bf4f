// PNG files through stb_image_write: its deflate is plain integer code, so
// every build (native, under Wine, under node) writes the same bytes. Each
// picture is tried with every row filter and the smallest file kept.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include "datagen/datagen.h"

namespace {

void append(void* context, void* data, int size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    static_cast<Bytes*>(context)->insert(static_cast<Bytes*>(context)->end(), bytes, bytes + size);
}

}  // namespace

Bytes png(int side, const std::vector<uint8_t>& rgba) {
    stbi_write_png_compression_level = 20;  // the longest match search it offers
    Bytes best;
    for (int filter = -1; filter <= 4; ++filter) {  // -1: each row's own choice
        stbi_write_force_png_filter = filter;
        Bytes file;
        if (stbi_write_png_to_func(append, &file, side, side, 4, rgba.data(), side * 4) && (best.empty() || file.size() < best.size()))
            best = std::move(file);
    }
    return best;
}
