// Reading PNG pictures from memory into 8-bit RGBA and writing the frame buffer as an RGB PNG file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/core/core.h"

namespace platform {

struct decoded_png {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, alpha 255 where the file has none
};

// Decodes any PNG (palette, grey, 16-bit, with or without alpha, interlaced) to 8-bit RGBA. On failure
// returns false with the reason in `error`; nothing is thrown and nothing is left allocated.
bool decode_png(std::span<const unsigned char> bytes, decoded_png &out, std::string &error);

// Writes the frame as an 8-bit RGB PNG file; false with the reason in `error` when it cannot.
bool encode_png(const frame_buffer &frame, const std::string &path, std::string &error);

}  // namespace platform
