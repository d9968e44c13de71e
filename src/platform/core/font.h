// Fonts: TrueType faces loaded with FreeType, glyphs rendered once into an atlas, text laid out in pixels.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/raster.h"

namespace platform {

// A glyph ready to draw: its coverage picture (white, coverage as alpha) in the font's atlas, and where
// its top-left corner sits relative to the top-left corner of the text.
struct placed_glyph {
    texture_view picture;
    int x = 0;
    int y = 0;
};

// Loads a face from the bytes (copied, so the caller's buffer may go) at a pixel size. Returns the
// font's id, or 0 with the reason in `error`.
std::int32_t load_font(std::span<const unsigned char> bytes, int pixel_size, int style, std::string &error);

// Width of the text in whole pixels: the sum of its rounded advances; 0 for an unknown font.
int font_text_width(std::int32_t font_id, std::string_view text);

// The glyphs of the text, laid out from its top-left corner with the baseline at the font's rounded
// ascender. The pictures point into the atlas and stay valid until the next layout or reset.
std::vector<placed_glyph> layout_text(std::int32_t font_id, std::string_view text);

// The font's whole atlas: every glyph picture of layout_text lies inside it, with at least one texel of
// clear white around each. Glyphs already in it never change; it grows (and may move) as new ones
// come. Empty for an unknown font.
texture_view font_atlas(std::int32_t font_id);

// Forgets every font; ids start again from 1.
void reset_fonts();

}  // namespace platform
