// The drawing operations: the persistent draw state, images and fonts by handle, grabbing from the screen,
// the draw log, and every draw handed to the active renderer (the software rasterizer unless one is given).
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/core/core.h"
#include "platform/core/font.h"
#include "platform/core/image.h"
#include "platform/core/png_codec.h"
#include "platform/core/raster.h"
#include "platform/core/renderer.h"

namespace platform {
namespace {

// The largest image create_image makes, in pixels over all its frames (256 MiB).
constexpr std::int64_t max_image_pixels = std::int64_t{1} << 26;

struct draw_globals {
    draw_state state;
    std::int32_t font = 0;
    int auto_flags = 0;
    bool auto_mid_handle = false;
};

draw_globals &globals() {
    static draw_globals g;
    return g;
}

void log_draw(const char *op, std::int32_t img, int frame, float x, float y, float w, float h,
              std::string_view text = {}) {
    if (!logging()) return;
    const draw_state &s = globals().state;
    draw_record r;
    r.op = op;
    r.image = img;
    r.frame = frame;
    r.x = x, r.y = y, r.w = w, r.h = h;
    r.blend = s.blend;
    r.r = s.r, r.g = s.g, r.b = s.b;
    r.alpha = s.alpha, r.rotation = s.rotation, r.sx = s.sx, r.sy = s.sy;
    r.text = text;
    draw_log().push_back(std::move(r));
}

// The file's bytes from the embedded store, else from the working directory; empty when neither has it.
std::vector<unsigned char> read_asset(std::string_view name) {
    std::span<const unsigned char> embedded = embedded_file(name);
    if (!embedded.empty()) return {embedded.begin(), embedded.end()};
    std::ifstream in(host_path(name), std::ios::binary);
    if (!in) return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int resolve_flags(int flags) { return flags == image_default_flags ? globals().auto_flags : flags; }

void apply_auto_handle(image_rec &rec) {
    if (globals().auto_mid_handle) {
        rec.handle_x = static_cast<float>(rec.width) * 0.5f;
        rec.handle_y = static_cast<float>(rec.height) * 0.5f;
    }
}

// Masked: exactly black becomes transparent, every other colour opaque.
std::uint32_t masked(std::uint32_t argb) {
    const std::uint32_t rgb = argb & 0xFFFFFFu;
    return rgb == 0 ? 0u : 0xFF000000u | rgb;
}

// Draws into the back buffer through the software rasterizer.
class software final : public renderer {
  public:
    void clear() override {
        auto &px = back_buffer().pixels;
        std::fill(px.begin(), px.end(), 0xFF000000u);
    }
    void picture(std::int32_t, int, const texture_view &pic, bool filtered, double x, double y,
                 double handle_x, double handle_y, const draw_state &state) override {
        raster_picture(back_buffer(), pic, filtered, 0, x, y, handle_x, handle_y, make_paint(state));
    }
    void rect(double x, double y, double width, double height, const draw_state &state) override {
        raster_rect(back_buffer(), x, y, width, height, make_paint(state));
    }
    void text(std::int32_t, std::span<const placed_glyph> glyphs, double x, double y,
              const draw_state &state) override {
        // Each glyph is a picture whose handle is the text's top-left corner, so the whole line turns
        // and scales about that one point. Outside a glyph the coverage is clear white, so filtered
        // edges fade out instead of darkening.
        const paint p = make_paint(state);
        for (const placed_glyph &g : glyphs)
            raster_picture(back_buffer(), g.picture, true, 0x00FFFFFFu, x, y, -g.x, -g.y, p);
    }
    void read(int x, int y, int width, int height, std::uint32_t *out) override {
        const frame_buffer &fb = back_buffer();
        for (int j = 0; j < height; ++j) {
            const std::uint32_t *row = fb.pixels.data() + static_cast<std::size_t>(y + j) * fb.width + x;
            for (int i = 0; i < width; ++i) *out++ = 0xFF000000u | row[i];
        }
    }
    void image_changed(std::int32_t) override {}
    void forget_images() override {}
};

renderer *chosen_renderer = nullptr;
std::uint64_t store_resets = 0;

}  // namespace

renderer &software_renderer() {
    static software r;
    return r;
}

renderer &active_renderer() { return chosen_renderer ? *chosen_renderer : software_renderer(); }

void use_renderer(renderer *r) { chosen_renderer = r; }

std::uint64_t image_store_resets() { return store_resets; }

void redraw(const std::vector<draw_record> &log) {
    for (const draw_record &d : log) {
        set_blend(d.blend);
        set_color(d.r, d.g, d.b);
        set_alpha(d.alpha);
        set_transform(d.rotation, d.sx, d.sy);
        if (d.op == "image")
            draw_image(image{d.image}, d.x, d.y, d.frame);
        else if (d.op == "clear")
            clear_screen();
        else if (d.op == "rect")
            draw_rect(d.x, d.y, d.w, d.h);
        else if (d.op == "text")
            draw_text(d.text, d.x, d.y);
    }
}

frame_buffer &back_buffer() {
    static frame_buffer fb;
    return fb;
}

void reset_draw() {
    active_renderer().forget_images();
    use_renderer(nullptr);
    ++store_resets;
    back_buffer() = frame_buffer{};
    reset_images();
    reset_fonts();
    globals() = draw_globals{};
}

image_info describe_image(image img) {
    const image_rec *rec = find_image(img.id);
    if (!rec) return {};
    return {rec->width, rec->height, rec->frames, rec->handle_x, rec->handle_y, rec->flags};
}

std::uint32_t image_pixel(image img, int frame, int x, int y) {
    const image_rec *rec = find_image(img.id);
    if (!rec || !rec->has_frame(frame) || x < 0 || y < 0 || x >= rec->width || y >= rec->height) return 0;
    return rec->frame_view(frame).pixels[static_cast<std::size_t>(y) * rec->width + x];
}

bool save_png(const frame_buffer &frame, const std::string &path) {
    std::string error;
    if (encode_png(frame, path, error)) return true;
    std::fprintf(stderr, "saltburst: cannot save picture %s: %s\n", path.c_str(), error.c_str());
    return false;
}

}  // namespace platform

using platform::globals;

void clear_screen() {
    platform::log_draw("clear", 0, 0, 0, 0, 0, 0);
    platform::active_renderer().clear();
}

void set_color(int r, int g, int b) {
    auto &s = globals().state;
    s.r = r, s.g = g, s.b = b;
}

void set_alpha(float alpha) { globals().state.alpha = alpha; }
void set_blend(int mode) { globals().state.blend = mode; }
void set_rotation(float degrees) { globals().state.rotation = degrees; }

void set_scale(float sx, float sy) {
    globals().state.sx = sx;
    globals().state.sy = sy;
}

void set_transform(float degrees, float sx, float sy) {
    set_rotation(degrees);
    set_scale(sx, sy);
}

void draw_image(image img, float x, float y, int frame) {
    platform::log_draw("image", img.id, frame, x, y, 0, 0);
    const platform::image_rec *rec = platform::find_image(img.id);
    if (!rec || !rec->has_frame(frame)) return;
    platform::active_renderer().picture(img.id, frame, rec->frame_view(frame),
                                        (rec->flags & image_filtered) != 0, x, y, rec->handle_x,
                                        rec->handle_y, globals().state);
}

void draw_rect(float x, float y, float width, float height) {
    platform::log_draw("rect", 0, 0, x, y, width, height);
    platform::active_renderer().rect(x, y, width, height, globals().state);
}

void draw_text(std::string_view text, float x, float y) {
    platform::log_draw("text", 0, 0, x, y, 0, 0, text);
    const std::vector<platform::placed_glyph> glyphs = platform::layout_text(globals().font, text);
    if (glyphs.empty()) return;
    platform::active_renderer().text(globals().font, glyphs, x, y, globals().state);
}

int text_width(std::string_view text) { return platform::font_text_width(globals().font, text); }

image load_image(std::string_view path, int flags) {
    const std::vector<unsigned char> bytes = platform::read_asset(path);
    platform::decoded_png png;
    std::string error;
    if (bytes.empty()) {
        error = "no such file";
    } else if (!platform::decode_png(bytes, png, error)) {
        if (error.empty()) error = "damaged file";
    }
    if (!error.empty()) {
        std::fprintf(stderr, "saltburst: cannot load picture %.*s: %s\n", static_cast<int>(path.size()),
                     path.data(), error.c_str());
        return image{0};
    }
    platform::image_rec rec;
    rec.width = png.width;
    rec.height = png.height;
    rec.frames = 1;
    rec.flags = platform::resolve_flags(flags);
    rec.pixels = std::move(png.pixels);
    if (rec.flags & image_masked)
        for (std::uint32_t &px : rec.pixels) px = platform::masked(px);
    platform::apply_auto_handle(rec);
    return image{platform::add_image(std::move(rec))};
}

image create_image(int width, int height, int frames, int flags) {
    if (width <= 0 || height <= 0 || frames <= 0 ||
        std::int64_t{width} * height * frames > platform::max_image_pixels) {
        std::fprintf(stderr, "saltburst: cannot create a picture of %d x %d pixels and %d frames\n", width,
                     height, frames);
        return image{0};
    }
    platform::image_rec rec;
    rec.width = width;
    rec.height = height;
    rec.frames = frames;
    rec.flags = platform::resolve_flags(flags) | image_dynamic;
    rec.pixels.assign(static_cast<std::size_t>(width) * height * frames, 0u);
    platform::apply_auto_handle(rec);
    return image{platform::add_image(std::move(rec))};
}

void grab_image(image img, int x, int y, int frame) {
    platform::image_rec *rec = platform::find_image(img.id);
    if (!rec || !rec->has_frame(frame)) return;
    const bool mask = (rec->flags & image_masked) != 0;
    std::uint32_t *dst = rec->frame_pixels(frame);
    // The part of the rectangle on the screen comes from the renderer; the rest is black.
    const std::int64_t x0 = std::max<std::int64_t>(x, 0), y0 = std::max<std::int64_t>(y, 0);
    const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{x} + rec->width, platform::screen_width);
    const std::int64_t y1 = std::min<std::int64_t>(std::int64_t{y} + rec->height, platform::screen_height);
    std::vector<std::uint32_t> seen;
    if (x0 < x1 && y0 < y1) {
        seen.resize(static_cast<std::size_t>((x1 - x0) * (y1 - y0)));
        platform::active_renderer().read(static_cast<int>(x0), static_cast<int>(y0),
                                         static_cast<int>(x1 - x0), static_cast<int>(y1 - y0), seen.data());
    }
    for (int j = 0; j < rec->height; ++j) {
        const std::int64_t sy = std::int64_t{y} + j;
        for (int i = 0; i < rec->width; ++i) {
            const std::int64_t sx = std::int64_t{x} + i;
            std::uint32_t rgb = 0;  // off the screen: black
            if (sx >= x0 && sy >= y0 && sx < x1 && sy < y1)
                rgb = seen[static_cast<std::size_t>((sy - y0) * (x1 - x0) + (sx - x0))] & 0xFFFFFFu;
            *dst++ = mask ? platform::masked(rgb) : 0xFF000000u | rgb;
        }
    }
    platform::active_renderer().image_changed(img.id);
}

void mid_handle_image(image img) {
    platform::image_rec *rec = platform::find_image(img.id);
    if (!rec) return;
    rec->handle_x = static_cast<float>(rec->width) * 0.5f;
    rec->handle_y = static_cast<float>(rec->height) * 0.5f;
}

void set_auto_mid_handle(bool on) { globals().auto_mid_handle = on; }
void set_auto_image_flags(int flags) { globals().auto_flags = flags; }

font load_image_font(std::string_view path, int size, int style) {
    const std::vector<unsigned char> bytes = platform::read_asset(path);
    std::string error;
    const std::int32_t id = platform::load_font(bytes, size, style, error);
    if (id == 0)
        std::fprintf(stderr, "saltburst: cannot load font %.*s: %s\n", static_cast<int>(path.size()),
                     path.data(), error.c_str());
    return font{id};
}

void set_image_font(font f) { globals().font = f.id; }
