// The software rasterizer: pictures and rectangles turned, scaled, tinted and blended into the frame buffer.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/core/core.h"

namespace platform {

struct coverage;

// A rectangle of 0xAARRGGBB texels: `stride` texels from one row to the next. `cover`, when given, must
// describe these very texels; it lets blended draws pass over the clear parts without sampling them.
struct texture_view {
    const std::uint32_t *pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    const coverage *cover = nullptr;
};

// Where a picture can show. Sample position (ci, cj) stands for the texel (ci, cj) when sampling nearest
// and for the 2x2 texels from (ci - 1, cj - 1) when sampling bilinearly, so positions run over
// [0, width] x [0, height], a clear surround counting as clear. `seen` marks each position where a
// sample may have alpha above zero.
struct coverage {
    int stride = 0;                  // width + 1: positions from one row of `seen` to the next
    std::vector<std::uint8_t> seen;  // (width + 1) * (height + 1), row after row: 1 where it may show
};
coverage make_coverage(const texture_view &pic);

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
// counting as `outside`; otherwise each pixel takes the texel its centre falls in. Blended and masked
// draws pass over the sample points the picture's coverage marks clear (when `outside` is clear too); the
// pixels are the same as without it.
void raster_picture(frame_buffer &fb, const texture_view &pic, bool filtered, std::uint32_t outside, double x,
                    double y, double handle_x, double handle_y, const paint &p);

// Whether blended bilinear spans may take the four-pixel SSE2 loop (on by default where the build has
// SSE2). The pixels are the same either way; the scalar loop is the reference the tests compare with.
void set_raster_simd(bool on);
bool raster_simd();

// Draws a rectangle of the tint colour with its top-left corner at (x, y), turned and scaled about it.
void raster_rect(frame_buffer &fb, double x, double y, double width, double height, const paint &p);

}  // namespace platform
