// Fonts over FreeType: each face keeps its own copy of the file's bytes, renders a glyph the first time
// a text needs it, and packs the coverage into a shelf-packed atlas that the rasterizer samples.
#include "platform/core/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace platform {
namespace {

constexpr int max_pixel_size = 512;
constexpr std::uint32_t clear_white = 0x00FFFFFFu;  // the atlas background: no coverage, white colour

struct library_deleter {
    void operator()(FT_Library lib) const { FT_Done_FreeType(lib); }
};
struct face_deleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using library_ptr = std::unique_ptr<FT_LibraryRec_, library_deleter>;
using face_ptr = std::unique_ptr<FT_FaceRec_, face_deleter>;

struct glyph_slot {
    int atlas_x = 0, atlas_y = 0, width = 0, height = 0;
    int left = 0, top = 0;  // bitmap offset from the pen: right of it, above the baseline
    int advance = 0;        // whole pixels
};

struct font_rec {
    std::vector<unsigned char> bytes;  // FreeType reads the face from these for as long as it lives
    face_ptr face;
    int style = 0;
    int ascender = 0;
    std::unordered_map<char32_t, glyph_slot> glyphs;
    // The atlas: white texels whose alpha is the coverage, filled shelf by shelf.
    int atlas_width = 0;
    int atlas_height = 0;
    std::vector<std::uint32_t> atlas;
    int shelf_x = 1, shelf_y = 1, shelf_height = 0;
};

// The library outlives the faces: it is declared first, so it is destroyed last.
struct font_store {
    library_ptr library;
    std::vector<std::unique_ptr<font_rec>> fonts;
};

font_store &store() {
    static font_store s;
    return s;
}

font_rec *find(std::int32_t id) {
    auto &fonts = store().fonts;
    if (id <= 0 || static_cast<std::size_t>(id) > fonts.size()) return nullptr;
    return fonts[id - 1].get();
}

// Next code point of UTF-8 text; a byte that does not start a valid sequence stands for itself.
char32_t next_code_point(std::string_view text, std::size_t &i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t extra = lead >= 0xF0 && lead < 0xF5   ? 3
                              : lead >= 0xE0 && lead < 0xF0 ? 2
                              : lead >= 0xC2 && lead < 0xE0 ? 1
                                                            : 0;
    if (extra == 0 || i + extra >= text.size()) {
        ++i;
        return lead;
    }
    char32_t cp = lead & (0x3F >> extra);
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return lead;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    i += extra + 1;
    return cp;
}

// Makes room for a w x h box (with a one-texel gap around it) and returns its corner.
void reserve(font_rec &f, int w, int h, int &x, int &y) {
    if (f.shelf_x + w + 1 > f.atlas_width) {
        f.shelf_x = 1;
        f.shelf_y += f.shelf_height + 1;
        f.shelf_height = 0;
    }
    const int need = f.shelf_y + h + 1;
    if (need > f.atlas_height) {
        int grown = std::max(f.atlas_height * 2, 64);
        while (grown < need) grown *= 2;
        f.atlas.resize(static_cast<std::size_t>(f.atlas_width) * grown, clear_white);
        f.atlas_height = grown;
    }
    x = f.shelf_x;
    y = f.shelf_y;
    f.shelf_x += w + 1;
    f.shelf_height = std::max(f.shelf_height, h);
}

const glyph_slot &glyph_for(font_rec &f, char32_t code) {
    if (auto it = f.glyphs.find(code); it != f.glyphs.end()) return it->second;
    glyph_slot g;
    if (FT_Load_Char(f.face.get(), code, FT_LOAD_RENDER) == 0) {
        const FT_GlyphSlot slot = f.face->glyph;
        const FT_Bitmap &bm = slot->bitmap;
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        const bool known_mode = bm.pixel_mode == FT_PIXEL_MODE_GRAY || bm.pixel_mode == FT_PIXEL_MODE_MONO;
        const int w = static_cast<int>(bm.width), h = static_cast<int>(bm.rows);
        if (known_mode && w > 0 && h > 0 && w + 2 <= f.atlas_width) {
            reserve(f, w, h, g.atlas_x, g.atlas_y);
            g.width = w;
            g.height = h;
            for (int y = 0; y < h; ++y) {
                const unsigned char *src = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
                std::uint32_t *dst =
                    f.atlas.data() + static_cast<std::size_t>(g.atlas_y + y) * f.atlas_width + g.atlas_x;
                for (int x = 0; x < w; ++x) {
                    std::uint32_t cover = bm.pixel_mode == FT_PIXEL_MODE_GRAY
                                              ? src[x] * 255u / std::max(1u, bm.num_grays - 1u)
                                              : ((src[x >> 3] >> (7 - (x & 7))) & 1u) * 255u;
                    dst[x] = (std::min(cover, 255u) << 24) | 0xFFFFFFu;
                }
            }
        }
    }
    return f.glyphs.emplace(code, g).first->second;
}

}  // namespace

std::int32_t load_font(std::span<const unsigned char> bytes, int pixel_size, int style, std::string &error) {
    if (bytes.empty()) {
        error = "no such file";
        return 0;
    }
    if (pixel_size <= 0 || pixel_size > max_pixel_size) {
        error = "unusable size " + std::to_string(pixel_size);
        return 0;
    }
    font_store &s = store();
    if (!s.library) {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) {
            error = "FreeType could not start";
            return 0;
        }
        s.library.reset(lib);
    }
    auto f = std::make_unique<font_rec>();
    f->bytes.assign(bytes.begin(), bytes.end());
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(s.library.get(), f->bytes.data(), static_cast<FT_Long>(f->bytes.size()), 0,
                           &face) != 0) {
        error = "not a font FreeType can read";
        return 0;
    }
    f->face.reset(face);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixel_size)) != 0) {
        error = "the font has no size " + std::to_string(pixel_size);
        return 0;
    }
    f->style = style;
    f->ascender = static_cast<int>((face->size->metrics.ascender + 32) >> 6);
    f->atlas_width = std::clamp(pixel_size * 8, 256, 4096);
    s.fonts.push_back(std::move(f));
    return static_cast<std::int32_t>(s.fonts.size());
}

int font_text_width(std::int32_t font_id, std::string_view text) {
    font_rec *f = find(font_id);
    if (!f) return 0;
    int width = 0;
    for (std::size_t i = 0; i < text.size();) width += glyph_for(*f, next_code_point(text, i)).advance;
    return width;
}

std::vector<placed_glyph> layout_text(std::int32_t font_id, std::string_view text) {
    std::vector<placed_glyph> out;
    font_rec *f = find(font_id);
    if (!f) return out;
    // Render every glyph first: a growing atlas moves, so the pictures are taken once it is done.
    std::vector<const glyph_slot *> slots;
    for (std::size_t i = 0; i < text.size();) slots.push_back(&glyph_for(*f, next_code_point(text, i)));
    int pen = 0;
    for (const glyph_slot *g : slots) {
        if (g->width > 0) {
            placed_glyph p;
            p.picture = {f->atlas.data() + static_cast<std::size_t>(g->atlas_y) * f->atlas_width + g->atlas_x,
                         g->width, g->height, f->atlas_width};
            p.x = pen + g->left;
            p.y = f->ascender - g->top;
            out.push_back(p);
        }
        pen += g->advance;
    }
    return out;
}

texture_view font_atlas(std::int32_t font_id) {
    const font_rec *f = find(font_id);
    if (!f || f->atlas.empty()) return {};
    return {f->atlas.data(), f->atlas_width, f->atlas_height, f->atlas_width};
}

void reset_fonts() { store().fonts.clear(); }

}  // namespace platform
