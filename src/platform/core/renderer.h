// The renderer behind the drawing operations: what each draw hands on, the software renderer that fills
// the back buffer, and the choice of the active one.
#pragma once

#include <cstdint>
#include <span>

#include "platform/core/font.h"
#include "platform/core/raster.h"

namespace platform {

// Paints the screen. The core keeps the draw state, the image store, the fonts and the draw log; a
// renderer only turns each draw into pixels and reads pixels back.
class renderer {
  public:
    virtual ~renderer() = default;
    // Fills the whole screen with opaque black.
    virtual void clear() = 0;
    // Frame `frame` of image `image` (whose pixels are `pic`) with its point (handle_x, handle_y) on
    // (x, y), turned and scaled about it. Filtered pictures are sampled bilinearly when turned or
    // scaled, texels outside the picture counting as transparent black.
    virtual void picture(std::int32_t image, int frame, const texture_view &pic, bool filtered, double x,
                         double y, double handle_x, double handle_y, const draw_state &state) = 0;
    // A rectangle of the tint colour with its top-left corner at (x, y), turned and scaled about it.
    virtual void rect(double x, double y, double width, double height, const draw_state &state) = 0;
    // The glyphs of a text in font `font_id`, laid out from its top-left corner (x, y), which the whole
    // line turns and scales about; sampled bilinearly when turned or scaled, clear white outside.
    virtual void text(std::int32_t font_id, std::span<const placed_glyph> glyphs, double x, double y,
                      const draw_state &state) = 0;
    // Copies the screen's pixels of the given rectangle (wholly on the screen) into `out`, row after
    // row, as 0xFFRRGGBB: everything drawn so far counts.
    virtual void read(int x, int y, int width, int height, std::uint32_t *out) = 0;
    // The pixels of an image changed in the store: a renderer that keeps a copy must take them again.
    virtual void image_changed(std::int32_t image) = 0;
    // Every image and font is being forgotten; ids will be given out again from 1.
    virtual void forget_images() = 0;
};

// Counts the resets of the image store (reset_draw). A renderer that keeps copies of images by id drops
// them when the count moves, even if it was not the active renderer at the reset.
std::uint64_t image_store_resets();

// Draws into back_buffer() with the software rasterizer.
renderer &software_renderer();

// The renderer the drawing operations use: the one given to use_renderer, else the software one.
renderer &active_renderer();
// Makes `r` the active renderer (null: the software one). The caller keeps it alive while it is active
// and gives it up (use_renderer(nullptr)) before destroying it. reset_draw goes back to the software
// renderer.
void use_renderer(renderer *r);

}  // namespace platform
