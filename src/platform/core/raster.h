// The software rasterizer: pictures and rectangles turned, scaled, tinted and blended into the frame buffer.
#pragma once

#include <array>
#include <cstdint>

#include "platform/core/core.h"

namespace platform {

// A rectangle of 0xAARRGGBB texels: `stride` texels from one row to the next.
struct texture_view {
    const std::uint32_t *pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// The draw state that shapes a draw, as the game set it.
struct draw_state {
    int blend = blend_mask;
    int r = 255, g = 255, b = 255;
    float alpha = 1;
    float rotation = 0;
    float sx = 1, sy = 1;
};

// What the inner loops need from the draw state, worked out once per draw: the tint and alpha as
// lookup tables over a texel's 0..255 channels, and the turn and scale.
struct paint {
    int blend = blend_mask;
    std::array<std::uint8_t, 256> tint_r{}, tint_g{}, tint_b{};
    std::array<std::uint8_t, 256> alpha{};  // texel alpha times the current alpha, 0..255 (blending modes)
    std::array<bool, 256> mask_on{};        // texel alpha times the current alpha is at least 0.5 (mask)
    bool transformed = false;               // scaled or rotated: filtered pictures are sampled bilinearly
    bool drawable = false;                  // false for a state that can show nothing (zero scale, NaN)
    double cos_r = 1, sin_r = 0;
    double sx = 1, sy = 1;
};
paint make_paint(const draw_state &state);

// Draws the picture so that its point (handle_x, handle_y) lands on (x, y), turned and scaled about it.
// Filtered pictures are sampled bilinearly when the paint is transformed, texels outside the picture
// counting as `outside`; otherwise each pixel takes the texel its centre falls in.
void raster_picture(frame_buffer &fb, const texture_view &pic, bool filtered, std::uint32_t outside, double x,
                    double y, double handle_x, double handle_y, const paint &p);

// Draws a rectangle of the tint colour with its top-left corner at (x, y), turned and scaled about it.
void raster_rect(frame_buffer &fb, double x, double y, double width, double height, const paint &p);

}  // namespace platform
