// The image store: every loaded or created picture, its frames, flags and handle, by its small id.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/raster.h"

namespace platform {

struct image_rec {
    int width = 0;
    int height = 0;
    int frames = 0;
    int flags = 0;
    float handle_x = 0;
    float handle_y = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, the frames one after another

    bool has_frame(int frame) const { return frame >= 0 && frame < frames; }
    std::uint32_t *frame_pixels(int frame) {
        return pixels.data() + static_cast<std::size_t>(frame) * width * height;
    }
    texture_view frame_view(int frame) const {
        return {pixels.data() + static_cast<std::size_t>(frame) * width * height, width, height, width};
    }
};

// Takes the record and returns its new id; ids count up from 1 and are never given out twice.
std::int32_t add_image(image_rec rec);
image_rec *find_image(std::int32_t id);  // null for 0 or an unknown id
// Forgets every image; ids start again from 1.
void reset_images();

}  // namespace platform
