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
    // 0xAARRGGBB, the frames one after another. Whoever changes a frame's texels goes through
    // frame_pixels (or calls pixels_changed), so that its coverage is worked out again.
    std::vector<std::uint32_t> pixels;

    bool has_frame(int frame) const { return frame >= 0 && frame < frames; }
    std::uint32_t *frame_pixels(int frame) {
        pixels_changed(frame);
        return pixels.data() + static_cast<std::size_t>(frame) * width * height;
    }
    // The frame's texels with their coverage, which is worked out on the first view after a change.
    texture_view frame_view(int frame) const;
    // Drops the frame's coverage (every frame's for -1).
    void pixels_changed(int frame = -1);

  private:
    // One frame's coverage and the texels it was worked out from.
    struct cached_cover {
        bool built = false;
        const std::uint32_t *texels = nullptr;
        int width = 0, height = 0;
        coverage cover;
    };
    mutable std::vector<cached_cover> covers_;
};

// Takes the record and returns its new id; ids count up from 1 and are never given out twice.
std::int32_t add_image(image_rec rec);
image_rec *find_image(std::int32_t id);  // null for 0 or an unknown id
// Forgets every image; ids start again from 1.
void reset_images();

}  // namespace platform
