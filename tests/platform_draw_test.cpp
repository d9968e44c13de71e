// The drawing core: blend arithmetic, the mask threshold, turning and scaling about the handle, nearest and
// bilinear sampling, grabbing, PNG loading, fonts and text, the draw log, and draws that must not crash.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "platform/core/core.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

struct rgb {
    int r, g, b;
    bool operator==(const rgb &) const = default;
};

std::ostream &operator<<(std::ostream &os, const rgb &c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

std::uint32_t argb(int a, int r, int g, int b) {
    return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
}

rgb colour_of(std::uint32_t c) { return {int((c >> 16) & 255), int((c >> 8) & 255), int(c & 255)}; }

rgb screen(int x, int y) { return colour_of(platform::back_buffer().pixels[y * platform::screen_width + x]); }

void paint_screen(int x, int y, rgb c) {
    platform::back_buffer().pixels[y * platform::screen_width + x] = argb(255, c.r, c.g, c.b);
}

void fill_screen(rgb c) {
    for (int y = 0; y < platform::screen_height; ++y)
        for (int x = 0; x < platform::screen_width; ++x) paint_screen(x, y, c);
}

// Each channel within `tolerance` of the expected value.
::testing::AssertionResult near_colour(rgb got, rgb want, int tolerance = 1) {
    if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
        std::abs(got.b - want.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got << ", want " << want;
}

// --- PNG files made here with libpng, so the loader is checked against an independent writer.

struct png_spec {
    int width, height;
    int colour_type;  // PNG_COLOR_TYPE_*
    int bit_depth;
    std::vector<unsigned char> data;                // rows packed as the colour type and depth say
    std::vector<png_color> palette = {};            // for palette pictures
    std::vector<unsigned char> palette_alpha = {};  // tRNS for palette pictures
    std::vector<png_color_16> colour_key = {};      // tRNS for grey and RGB pictures: one colour
};

void append_bytes(png_structp png, png_bytep data, png_size_t length) {
    auto *out = static_cast<std::vector<unsigned char> *>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

std::vector<unsigned char> encode(const png_spec &spec) {
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "test picture could not be encoded";
        return {};
    }
    png_set_write_fn(png, &out, append_bytes, nullptr);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bit_depth, spec.colour_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty()) png_set_PLTE(png, info, spec.palette.data(), int(spec.palette.size()));
    if (!spec.palette_alpha.empty())
        png_set_tRNS(png, info, spec.palette_alpha.data(), int(spec.palette_alpha.size()), nullptr);
    if (!spec.colour_key.empty()) png_set_tRNS(png, info, nullptr, 0, spec.colour_key.data());
    png_write_info(png, info);
    const std::size_t row_bytes = spec.data.size() / spec.height;
    for (int y = 0; y < spec.height; ++y)
        png_write_row(png, const_cast<unsigned char *>(spec.data.data() + y * row_bytes));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// An RGBA picture from 0xAARRGGBB texels, row by row.
std::vector<unsigned char> rgba_png(int w, int h, const std::vector<std::uint32_t> &texels) {
    png_spec spec{w, h, PNG_COLOR_TYPE_RGB_ALPHA, 8, {}};
    for (std::uint32_t t : texels) {
        spec.data.push_back((t >> 16) & 255);
        spec.data.push_back((t >> 8) & 255);
        spec.data.push_back(t & 255);
        spec.data.push_back(t >> 24);
    }
    return encode(spec);
}

// Headless core, a clean draw state, and the embedded files a test registers kept alive for it.
class draw_test : public ::testing::Test {
  protected:
    void SetUp() override { platform::install_headless(); }

    image embed_and_load(const std::string &name, std::vector<unsigned char> bytes, int flags) {
        files_.push_back(std::move(bytes));
        register_embedded(name, files_.back().data(), files_.back().size());
        return load_image(name, flags);
    }

    // An unmasked picture of the given texels, so alpha and colour reach the rasterizer as they are.
    image picture(int w, int h, const std::vector<std::uint32_t> &texels, int flags = 0) {
        return embed_and_load("graphx\\test" + std::to_string(files_.size()) + ".png", rgba_png(w, h, texels),
                              flags);
    }

    std::deque<std::vector<unsigned char>> files_;
};

// --- blend modes

TEST_F(draw_test, draw_blend_modes_combine_colour_and_destination) {
    struct {
        const char *what;
        int blend;
        std::uint32_t texel;
        rgb tint;
        float alpha;
        rgb dst;
        rgb want;
    } cases[] = {
        {"mask writes the colour",
         blend_mask,
         argb(255, 200, 100, 50),
         {255, 255, 255},
         1,
         {10, 20, 30},
         {200, 100, 50}},
        {"mask multiplies by the tint",
         blend_mask,
         argb(255, 200, 100, 50),
         {128, 255, 0},
         1,
         {10, 20, 30},
         {100, 100, 0}},
        {"mask skips alpha 0.49",
         blend_mask,
         argb(255, 200, 100, 50),
         {255, 255, 255},
         0.49f,
         {10, 20, 30},
         {10, 20, 30}},
        {"mask draws at alpha 0.5",
         blend_mask,
         argb(255, 200, 100, 50),
         {255, 255, 255},
         0.5f,
         {10, 20, 30},
         {200, 100, 50}},
        {"mask skips picture alpha 127",
         blend_mask,
         argb(127, 200, 100, 50),
         {255, 255, 255},
         1,
         {10, 20, 30},
         {10, 20, 30}},
        {"mask draws picture alpha 128",
         blend_mask,
         argb(128, 200, 100, 50),
         {255, 255, 255},
         1,
         {10, 20, 30},
         {200, 100, 50}},
        {"solid writes even a clear texel",
         blend_solid,
         argb(0, 90, 80, 70),
         {255, 255, 255},
         1,
         {10, 20, 30},
         {90, 80, 70}},
        {"solid ignores the alpha",
         blend_solid,
         argb(255, 90, 80, 70),
         {255, 255, 255},
         0.1f,
         {10, 20, 30},
         {90, 80, 70}},
        {"alpha mixes by the alpha",
         blend_alpha,
         argb(255, 200, 100, 40),
         {255, 255, 255},
         0.25f,
         {40, 80, 120},
         {80, 85, 100}},
        {"alpha mixes by the picture alpha",
         blend_alpha,
         argb(51, 255, 0, 0),
         {255, 255, 255},
         1,
         {0, 0, 255},
         {51, 0, 204}},
        {"alpha multiplies both alphas",
         blend_alpha,
         argb(102, 255, 255, 255),
         {255, 255, 255},
         0.5f,
         {0, 0, 0},
         {51, 51, 51}},
        {"alpha tints before mixing",
         blend_alpha,
         argb(255, 255, 255, 255),
         {10, 10, 10},
         0.6f,
         {200, 200, 200},
         {86, 86, 86}},
        {"alpha 0 leaves the screen",
         blend_alpha,
         argb(255, 255, 255, 255),
         {255, 255, 255},
         0,
         {7, 8, 9},
         {7, 8, 9}},
        {"light adds and saturates",
         blend_light,
         argb(255, 200, 100, 40),
         {255, 255, 255},
         0.5f,
         {100, 200, 250},
         {200, 250, 255}},
        {"light adds the tinted colour",
         blend_light,
         argb(255, 200, 200, 200),
         {255, 0, 128},
         1,
         {10, 10, 10},
         {210, 10, 110}},
        {"shade multiplies",
         blend_shade,
         argb(255, 128, 255, 0),
         {255, 255, 255},
         1,
         {200, 100, 50},
         {100, 100, 0}},
        {"shade is weighted by alpha",
         blend_shade,
         argb(255, 128, 255, 0),
         {255, 255, 255},
         0.5f,
         {200, 100, 50},
         {150, 100, 25}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        platform::install_headless();
        files_.clear();
        const image img = picture(4, 4, std::vector<std::uint32_t>(16, c.texel));
        fill_screen(c.dst);
        set_blend(c.blend);
        set_color(c.tint.r, c.tint.g, c.tint.b);
        set_alpha(c.alpha);
        draw_image(img, 10, 10, 0);
        EXPECT_TRUE(near_colour(screen(11, 12), c.want));
        EXPECT_EQ(screen(14, 12), c.dst) << "right of the picture";
        EXPECT_EQ(screen(11, 9), c.dst) << "above the picture";
    }
}

TEST_F(draw_test, draw_rect_covers_pixels_whose_centres_fall_inside) {
    fill_screen({0, 0, 0});
    set_blend(blend_solid);
    set_color(250, 0, 0);
    draw_rect(10.5f, 20, 3, 2);
    for (int x = 8; x < 16; ++x)
        for (int y = 18; y < 24; ++y) {
            const bool inside = x >= 10 && x <= 12 && y >= 20 && y <= 21;
            EXPECT_EQ(screen(x, y), (inside ? rgb{250, 0, 0} : rgb{0, 0, 0})) << x << ", " << y;
        }
}

TEST_F(draw_test, draw_rect_larger_than_the_screen_washes_all_of_it) {
    fill_screen({100, 100, 100});
    set_blend(blend_alpha);
    set_color(80, 20, 150);
    set_alpha(0.5f);
    draw_rect(0, 0, 1024, 768);
    for (auto [x, y] : {std::pair{0, 0}, {639, 0}, {0, 479}, {639, 479}, {320, 240}})
        EXPECT_TRUE(near_colour(screen(x, y), {90, 60, 125})) << x << ", " << y;
}

TEST_F(draw_test, draw_rect_turns_about_its_top_left_corner) {
    set_blend(blend_solid);
    set_transform(90, 1, 1);
    draw_rect(100, 100, 10, 2);  // turned clockwise: hangs down from (100, 100), to its left
    EXPECT_EQ(screen(98, 100), (rgb{255, 255, 255}));
    EXPECT_EQ(screen(99, 109), (rgb{255, 255, 255}));
    EXPECT_EQ(screen(100, 105), (rgb{0, 0, 0}));
    EXPECT_EQ(screen(97, 105), (rgb{0, 0, 0}));
    EXPECT_EQ(screen(99, 110), (rgb{0, 0, 0}));
}

// --- turning and scaling about the handle

TEST_F(draw_test, draw_transform_places_a_marked_texel_about_the_handle) {
    // A 4 x 2 green picture whose texel (3, 0) is red, drawn with its handle on (100, 100).
    std::vector<std::uint32_t> texels(8, argb(255, 0, 200, 0));
    texels[3] = argb(255, 255, 0, 0);
    struct {
        const char *what;
        float rotation, sx, sy;
        bool mid_handle;
        std::vector<std::pair<int, int>> red;
        std::pair<int, int> green;  // a pixel of the rest of the picture
    } cases[] = {
        {"plain", 0, 1, 1, false, {{103, 100}}, {102, 100}},
        {"quarter turn clockwise", 90, 1, 1, false, {{99, 103}}, {99, 102}},
        {"half turn", 180, 1, 1, false, {{96, 99}}, {97, 99}},
        {"quarter turn back", -90, 1, 1, false, {{100, 96}}, {100, 97}},
        {"three quarters is a quarter back", 270, 1, 1, false, {{100, 96}}, {100, 97}},
        {"scale 2 about the centre", 0, 2, 2, true, {{102, 98}, {103, 98}, {102, 99}, {103, 99}}, {101, 99}},
        {"scale 2 and 1 about the centre", 0, 2, 1, true, {{102, 99}, {103, 99}}, {101, 99}},
        {"turned and scaled about the centre",
         90,
         2,
         2,
         true,
         {{100, 102}, {101, 102}, {100, 103}, {101, 103}},
         {100, 101}},
        {"mirrored", 0, -1, 1, false, {{96, 100}}, {97, 100}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        platform::install_headless();
        files_.clear();
        const image img = picture(4, 2, texels, 0);
        if (c.mid_handle) mid_handle_image(img);
        set_transform(c.rotation, c.sx, c.sy);
        draw_image(img, 100, 100, 0);
        int red_count = 0;
        for (int y = 80; y < 120; ++y)
            for (int x = 80; x < 120; ++x) red_count += screen(x, y) == rgb{255, 0, 0};
        EXPECT_EQ(red_count, int(c.red.size()));
        for (auto [x, y] : c.red) EXPECT_EQ(screen(x, y), (rgb{255, 0, 0})) << x << ", " << y;
        EXPECT_EQ(screen(c.green.first, c.green.second), (rgb{0, 200, 0}));
    }
}

TEST_F(draw_test, draw_unscaled_picture_lands_pixel_for_pixel) {
    std::vector<std::uint32_t> texels;
    for (int i = 0; i < 30; ++i) texels.push_back(argb(255, i * 8, 255 - i * 8, i));
    const image img = picture(6, 5, texels, image_filtered | image_masked);
    draw_image(img, 200, 300, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(screen(200 + x, 300 + y), colour_of(texels[y * 6 + x]));
    EXPECT_EQ(screen(199, 300), (rgb{0, 0, 0}));
    EXPECT_EQ(screen(206, 304), (rgb{0, 0, 0}));
}

TEST_F(draw_test, draw_filtered_pictures_blend_neighbours_only_when_transformed) {
    // Red beside blue, drawn solid so the sampled colour is written as it is.
    const std::vector<std::uint32_t> texels = {argb(255, 255, 0, 0), argb(255, 0, 0, 255)};
    struct {
        const char *what;
        int flags;
        float rotation, sx;
        float at;  // where the picture's top-left corner is drawn
        int x;
        rgb want;
    } cases[] = {
        {"unfiltered scaled takes the nearest texel", 0, 0, 2, 10, 11, {255, 0, 0}},
        {"unfiltered scaled, second texel", 0, 0, 2, 10, 12, {0, 0, 255}},
        {"filtered scaled mixes a quarter of the neighbour", image_filtered, 0, 2, 10, 11, {191, 0, 64}},
        {"filtered scaled, three quarters", image_filtered, 0, 2, 10, 12, {64, 0, 191}},
        {"filtered scaled fades into black outside", image_filtered, 0, 2, 10, 10, {191, 0, 0}},
        {"filtered unscaled stays exact", image_filtered, 0, 1, 10, 10, {255, 0, 0}},
        {"filtered unscaled at a half pixel stays sharp", image_filtered, 0, 1, 10.5f, 10, {255, 0, 0}},
        {"filtered unscaled at a half pixel, second texel", image_filtered, 0, 1, 10.5f, 11, {0, 0, 255}},
        {"filtered whole turn at a half pixel stays sharp", image_filtered, 360, 1, 10.5f, 11, {0, 0, 255}},
        {"filtered quarter turn at a half pixel mixes", image_filtered, 90, 1, 10.5f, 10, {127, 0, 0}},
        {"unfiltered quarter turn at a half pixel stays sharp", 0, 90, 1, 10.5f, 10, {255, 0, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        platform::install_headless();
        files_.clear();
        const image img = picture(2, 1, texels, c.flags);
        set_blend(blend_solid);
        set_transform(c.rotation, c.sx, 1);
        draw_image(img, c.at, 10, 0);
        EXPECT_TRUE(near_colour(screen(c.x, 10), c.want, 2));
    }
}

TEST_F(draw_test, draw_mask_threshold_applies_after_filtering) {
    // Opaque white beside clear: scaled by 2 the coverage falls 3/4, 3/4, 1/4, 0 across pixels 10..13.
    const std::vector<std::uint32_t> texels = {argb(255, 255, 255, 255), argb(0, 0, 0, 0)};
    struct {
        float alpha;
        bool drawn[4];
    } cases[] = {
        {1.0f, {true, true, false, false}},
        {0.6f, {false, false, false, false}},  // 0.75 x 0.6 = 0.45
        {0.7f, {true, true, false, false}},    // 0.75 x 0.7 = 0.525
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.alpha);
        platform::install_headless();
        files_.clear();
        const image img = picture(2, 1, texels, image_filtered);
        set_transform(0, 2, 1);
        set_alpha(c.alpha);
        draw_image(img, 10, 10, 0);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ((screen(10 + i, 10) != rgb{0, 0, 0}), c.drawn[i]) << "pixel " << 10 + i;
    }
}

// --- images: handles, flags, grabbing

TEST_F(draw_test, draw_create_image_flags_and_handles) {
    set_auto_image_flags(image_masked | image_filtered);
    const image a = create_image(124, 124, 10);
    set_auto_mid_handle(true);
    const image b = create_image(425, 336, 1, image_filtered);
    set_auto_mid_handle(false);
    const image c = create_image(3, 3);

    EXPECT_EQ(a.id, 1);
    EXPECT_EQ(b.id, 2);
    EXPECT_EQ(c.id, 3);
    const platform::image_info ia = platform::describe_image(a), ib = platform::describe_image(b);
    EXPECT_EQ(ia.flags, image_masked | image_filtered | image_dynamic);
    EXPECT_EQ(ia.frames, 10);
    EXPECT_EQ(ia.handle_x, 0);
    EXPECT_EQ(ib.flags, image_filtered | image_dynamic);
    EXPECT_EQ(ib.handle_x, 212.5f);
    EXPECT_EQ(ib.handle_y, 168.0f);
    EXPECT_EQ(platform::describe_image(c).handle_x, 0);
    EXPECT_EQ(platform::image_pixel(a, 9, 123, 123), 0u) << "blank frames are clear black";

    mid_handle_image(c);
    EXPECT_EQ(platform::describe_image(c).handle_x, 1.5f);

    ::testing::internal::CaptureStderr();
    for (auto [w, h, f] : {std::tuple{0, 5, 1}, {5, -1, 1}, {5, 5, 0}, {100000, 100000, 10}})
        EXPECT_EQ(create_image(w, h, f).id, 0) << w << " x " << h << " x " << f;
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(create_image(1, 1).id, 4) << "ids are not reused after a failure";
}

TEST_F(draw_test, draw_grab_copies_the_screen_and_masks_black) {
    paint_screen(0, 0, {0, 0, 0});
    paint_screen(1, 0, {1, 0, 0});
    paint_screen(0, 1, {10, 20, 30});
    paint_screen(1, 1, {255, 255, 255});
    const image masked_img = create_image(3, 2, 2, image_masked);
    const image plain_img = create_image(3, 2, 1, 0);
    grab_image(masked_img, 0, 0, 1);
    grab_image(plain_img, 0, 0, 0);

    EXPECT_EQ(platform::image_pixel(masked_img, 1, 0, 0), 0u) << "black becomes transparent";
    EXPECT_EQ(platform::image_pixel(masked_img, 1, 1, 0), argb(255, 1, 0, 0)) << "near-black stays opaque";
    EXPECT_EQ(platform::image_pixel(masked_img, 1, 0, 1), argb(255, 10, 20, 30));
    EXPECT_EQ(platform::image_pixel(masked_img, 0, 1, 1), 0u) << "other frames untouched";
    EXPECT_EQ(platform::image_pixel(plain_img, 0, 0, 0), argb(255, 0, 0, 0)) << "unmasked black is opaque";
    EXPECT_EQ(platform::image_pixel(plain_img, 0, 1, 1), argb(255, 255, 255, 255));

    // Partly off the screen: the part outside is black.
    fill_screen({50, 60, 70});
    grab_image(masked_img, 638, -1, 0);
    grab_image(plain_img, 638, -1, 0);
    EXPECT_EQ(platform::image_pixel(masked_img, 0, 0, 1), argb(255, 50, 60, 70));
    EXPECT_EQ(platform::image_pixel(masked_img, 0, 2, 1), 0u);
    EXPECT_EQ(platform::image_pixel(masked_img, 0, 0, 0), 0u);
    EXPECT_EQ(platform::image_pixel(plain_img, 0, 2, 1), argb(255, 0, 0, 0));

    // What was grabbed draws back in place, the masked black letting the screen through.
    fill_screen({9, 9, 9});
    draw_image(masked_img, 100, 100, 1);
    EXPECT_EQ(screen(100, 100), (rgb{9, 9, 9}));
    EXPECT_EQ(screen(101, 101), (rgb{255, 255, 255}));

    grab_image(image{99}, 0, 0, 0);
    grab_image(plain_img, 0, 0, 5);  // neither crashes
}

TEST_F(draw_test, draw_nothing_for_image_zero_or_a_missing_frame) {
    const image img = create_image(4, 4, 2, image_masked);
    fill_screen({255, 255, 255});
    grab_image(img, 0, 0, 0);
    fill_screen({0, 0, 0});
    draw_image(image{0}, 0, 0, 0);
    draw_image(img, 0, 0, 2);
    draw_image(img, 0, 0, -1);
    draw_image(image{42}, 0, 0, 0);
    EXPECT_EQ(screen(1, 1), (rgb{0, 0, 0}));
    draw_image(img, 0, 0, 0);
    EXPECT_EQ(screen(1, 1), (rgb{255, 255, 255}));
}

// --- loading pictures

TEST_F(draw_test, draw_load_image_converts_every_png_kind_to_rgba) {
    struct {
        const char *what;
        png_spec spec;
        int flags;
        std::vector<std::uint32_t> want;  // texels row by row
    } cases[] = {
        {"rgb, unmasked: all opaque",
         {2, 1, PNG_COLOR_TYPE_RGB, 8, {0, 0, 0, 10, 20, 30}},
         0,
         {argb(255, 0, 0, 0), argb(255, 10, 20, 30)}},
        {"rgb, masked: black clear",
         {2, 1, PNG_COLOR_TYPE_RGB, 8, {0, 0, 0, 0, 0, 1}},
         image_masked,
         {0, argb(255, 0, 0, 1)}},
        {"rgba, unmasked keeps the alpha",
         {2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {10, 20, 30, 100, 0, 0, 0, 255}},
         0,
         {argb(100, 10, 20, 30), argb(255, 0, 0, 0)}},
        {"rgba, masked ignores the alpha",
         {2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {10, 20, 30, 100, 0, 0, 0, 255}},
         image_masked,
         {argb(255, 10, 20, 30), 0}},
        {"grey 8",
         {2, 1, PNG_COLOR_TYPE_GRAY, 8, {0x40, 0xFF}},
         0,
         {argb(255, 0x40, 0x40, 0x40), argb(255, 255, 255, 255)}},
        {"grey 16 keeps the high byte",
         {1, 1, PNG_COLOR_TYPE_GRAY, 16, {0x80, 0x7F}},
         0,
         {argb(255, 0x80, 0x80, 0x80)}},
        {"grey 1 bit",
         {3, 1, PNG_COLOR_TYPE_GRAY, 1, {0b10100000}},
         image_masked,
         {argb(255, 255, 255, 255), 0, argb(255, 255, 255, 255)}},
        {"grey with alpha",
         {1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0x20, 0x60}},
         0,
         {argb(0x60, 0x20, 0x20, 0x20)}},
        {"rgb 16",
         {1, 1, PNG_COLOR_TYPE_RGB, 16, {0x12, 0, 0x34, 0, 0x56, 0}},
         0,
         {argb(255, 0x12, 0x34, 0x56)}},
        {"palette with transparency",
         {2, 2, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 1, 0}, {{200, 10, 20}, {0, 0, 0}}, {128}},
         0,
         {argb(128, 200, 10, 20), argb(255, 0, 0, 0), argb(255, 0, 0, 0), argb(128, 200, 10, 20)}},
        {"rgb with a transparent colour",
         {2, 1, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 40, 50, 60}, {}, {}, {{0, 10, 20, 30, 0}}},
         0,
         {argb(0, 10, 20, 30), argb(255, 40, 50, 60)}},
        {"grey with a transparent level",
         {2, 1, PNG_COLOR_TYPE_GRAY, 8, {0x33, 0x34}, {}, {}, {{0, 0, 0, 0, 0x33}}},
         0,
         {argb(0, 0x33, 0x33, 0x33), argb(255, 0x34, 0x34, 0x34)}},
        {"palette 4 bit, masked",
         {2, 1, PNG_COLOR_TYPE_PALETTE, 4, {0x01}, {{0, 0, 0}, {7, 8, 9}}},
         image_masked,
         {0, argb(255, 7, 8, 9)}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const image img = embed_and_load("graphx\\kind.png", encode(c.spec), c.flags);
        ASSERT_NE(img.id, 0);
        const platform::image_info info = platform::describe_image(img);
        EXPECT_EQ(info.width, c.spec.width);
        EXPECT_EQ(info.height, c.spec.height);
        EXPECT_EQ(info.frames, 1);
        EXPECT_EQ(info.flags, c.flags);
        for (int i = 0; i < int(c.want.size()); ++i)
            EXPECT_EQ(platform::image_pixel(img, 0, i % c.spec.width, i / c.spec.width), c.want[i])
                << "texel " << i;
    }
}

TEST_F(draw_test, draw_load_image_takes_the_default_flags_and_auto_handle) {
    set_auto_image_flags(image_masked | image_filtered);
    set_auto_mid_handle(true);
    const image img = embed_and_load("graphx\\menu.png", rgba_png(5, 4, std::vector<std::uint32_t>(20, ~0u)),
                                     image_default_flags);
    const platform::image_info info = platform::describe_image(img);
    EXPECT_EQ(info.flags, image_masked | image_filtered);
    EXPECT_EQ(info.handle_x, 2.5f);
    EXPECT_EQ(info.handle_y, 2.0f);
}

TEST_F(draw_test, draw_load_image_reads_the_working_directory_when_not_embedded) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("saltburst_draw_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "graphx");
    const std::vector<unsigned char> bytes = rgba_png(1, 1, {argb(255, 1, 2, 3)});
    std::ofstream(dir / "graphx" / "disk.png", std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    const std::string game_path = dir.string() + "\\graphx\\disk.png";
    const image img = load_image(game_path, 0);
    std::filesystem::remove_all(dir);
    ASSERT_NE(img.id, 0);
    EXPECT_EQ(platform::image_pixel(img, 0, 0, 0), argb(255, 1, 2, 3));
}

TEST_F(draw_test, draw_load_image_survives_bad_files) {
    const std::vector<unsigned char> good =
        encode({8, 8, PNG_COLOR_TYPE_RGB, 8, std::vector<unsigned char>(192, 77)});
    struct {
        const char *what;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"cut after the header", {good.begin(), good.begin() + 40}},
        {"cut in the pixel data", {good.begin(), good.end() - 20}},
        {"only the signature", {good.begin(), good.begin() + 8}},
        {"not a png", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
        {"a damaged header",
         [&] {
             auto b = good;
             b[20] ^= 0xFF;  // the height: its checksum no longer matches
             return b;
         }()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ::testing::internal::CaptureStderr();
        const image img = embed_and_load("graphx\\x.png", c.bytes, image_masked);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(img.id, 0);
        EXPECT_NE(err.find("saltburst: cannot load picture graphx\\x.png: "), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(load_image("graphx\\missing.png").id, 0);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("graphx\\missing.png"), std::string::npos);

    const image after = embed_and_load("graphx\\good.png", good, 0);
    EXPECT_NE(after.id, 0) << "the loader still works after failures";
    EXPECT_EQ(platform::image_pixel(after, 0, 7, 7), argb(255, 77, 77, 77));
}

// --- fonts and text

std::vector<unsigned char> game_font_bytes() {
    std::string path = std::string(SALTBURST_SOURCE_DIR) + "/fonts/booteroo.ttf";
    if (!std::filesystem::exists(path))
        path = "/usr/share/fonts/truetype/leckerli-one/LeckerliOne-Regular.ttf";
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bounding box of the pixels that are no longer black.
struct box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    bool empty() const { return x1 < 0; }
};
box lit_pixels() {
    box b;
    for (int y = 0; y < platform::screen_height; ++y)
        for (int x = 0; x < platform::screen_width; ++x)
            if (screen(x, y) != rgb{0, 0, 0}) {
                b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y);
                b.x1 = std::max(b.x1, x), b.y1 = std::max(b.y1, y);
            }
    return b;
}

class draw_text_test : public draw_test {
  protected:
    void SetUp() override {
        draw_test::SetUp();
        bytes_ = game_font_bytes();
        ASSERT_FALSE(bytes_.empty());
        register_embedded("fonts\\booteroo.ttf", bytes_.data(), bytes_.size());
    }
    font load() { return load_image_font("fonts\\booteroo.ttf", 28, 4); }
    std::vector<unsigned char> bytes_;
};

TEST_F(draw_text_test, draw_text_width_sums_whole_pixel_advances) {
    EXPECT_EQ(text_width("Score"), 0) << "no font selected";
    const font f = load();
    ASSERT_NE(f.id, 0);
    EXPECT_EQ(text_width("Score"), 0) << "loaded but not selected";
    set_image_font(f);
    EXPECT_EQ(text_width(""), 0);
    const int h = text_width("H"), i = text_width("i");
    EXPECT_GT(h, 5);
    EXPECT_LT(h, 40);
    EXPECT_EQ(text_width("HiiH"), 2 * h + 2 * i);
    EXPECT_EQ(text_width("Round 12"), text_width("Round ") + text_width("12"));
    std::string every_byte;
    for (int c = 1; c < 256; ++c) every_byte += char(c);
    EXPECT_GE(text_width(every_byte), 0);
    EXPECT_GE(text_width("\xC3"), 0) << "a cut sequence";
    set_image_font(font{0});
    EXPECT_EQ(text_width("Score"), 0);
}

TEST_F(draw_text_test, draw_text_starts_at_its_top_left_corner) {
    set_image_font(load());
    set_blend(blend_alpha);
    draw_text("HHH", 100, 200);
    const box b = lit_pixels();
    ASSERT_FALSE(b.empty());
    // A decorative face may lean a pixel or two past the pen, but not a glyph's width.
    EXPECT_GE(b.x0, 96);
    EXPECT_LE(b.x0, 106);
    EXPECT_GE(b.y0, 198);
    EXPECT_LE(b.y0, 214) << "capitals start a little below the ascender line";
    EXPECT_LE(b.x1, 100 + text_width("HHH") + 3);
    EXPECT_LT(b.y1, 200 + 30);
}

TEST_F(draw_text_test, draw_text_turns_and_scales_about_its_corner) {
    set_image_font(load());
    set_blend(blend_alpha);
    draw_text("HHH", 100, 200);
    const box plain = lit_pixels();
    const int w = plain.x1 - plain.x0, h = plain.y1 - plain.y0;

    clear_screen();
    set_scale(2, 2);
    draw_text("HHH", 100, 200);
    const box scaled = lit_pixels();
    EXPECT_NEAR(scaled.x0 - 100, 2 * (plain.x0 - 100), 2);
    EXPECT_NEAR(scaled.y0 - 200, 2 * (plain.y0 - 200), 2);
    EXPECT_NEAR(scaled.x1 - scaled.x0, 2 * w, 3);
    EXPECT_NEAR(scaled.y1 - scaled.y0, 2 * h, 3);

    // Scaled text is sampled bilinearly: taking the nearest texel would paint 2 x 2 blocks, so pixels
    // 100 + 2k and 101 + 2k would always match.
    int differing = 0;
    for (int y = scaled.y0; y <= scaled.y1; ++y)
        for (int x = 100; x + 1 < 640; x += 2) differing += screen(x, y) != screen(x + 1, y);
    EXPECT_GT(differing, 20);

    clear_screen();
    set_transform(90, 1, 1);
    draw_text("HHH", 300, 100);
    const box turned = lit_pixels();  // runs down the screen, leftwards of x = 300
    EXPECT_LE(turned.x1, 300 - (plain.y0 - 200) + 1);
    EXPECT_NEAR(turned.x1 - turned.x0, h, 2);
    EXPECT_NEAR(turned.y0 - 100, plain.x0 - 100, 2);
    EXPECT_NEAR(turned.y1 - turned.y0, w, 2);
}

TEST_F(draw_text_test, draw_text_is_tinted_and_blended) {
    set_image_font(load());
    fill_screen({0, 0, 100});
    set_blend(blend_alpha);
    set_color(250, 250, 0);
    set_alpha(0.5f);
    draw_text("I", 50, 50);
    bool found = false;
    for (int y = 50; y < 90 && !found; ++y)
        for (int x = 50; x < 80 && !found; ++x)
            if (screen(x, y).r >= 124) {
                found = true;
                EXPECT_TRUE(near_colour(screen(x, y), {125, 125, 50}, 2));
            }
    EXPECT_TRUE(found) << "the full-coverage middle of the stroke mixes half the tint in";
    EXPECT_EQ(screen(200, 60), (rgb{0, 0, 100})) << "the background is untouched beside the text";
}

TEST_F(draw_text_test, draw_text_without_a_font_or_with_odd_bytes_is_harmless) {
    draw_text("nothing", 10, 10);
    EXPECT_TRUE(lit_pixels().empty());
    set_image_font(load());
    set_blend(blend_alpha);
    std::string every_byte;
    for (int c = 1; c < 256; ++c) every_byte += char(c);
    draw_text(every_byte, 0, 0);
    draw_text(std::string("a\0b", 3), 10, 100);
    EXPECT_FALSE(lit_pixels().empty());
}

TEST_F(draw_text_test, draw_load_image_font_fails_cleanly) {
    const std::vector<unsigned char> junk(1000, 0x5A);
    register_embedded("fonts\\junk.ttf", junk.data(), junk.size());
    struct {
        const char *name;
        int size;
    } cases[] = {{"fonts\\junk.ttf", 28}, {"fonts\\missing.ttf", 28}, {"fonts\\booteroo.ttf", 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(load_image_font(c.name, c.size, 4).id, 0);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(std::string("saltburst: cannot load font ") + c.name), std::string::npos) << err;
    }
    EXPECT_EQ(load().id, 1) << "a failed load takes no id";
}

TEST_F(draw_text_test, draw_font_outlives_the_bytes_it_was_loaded_from) {
    std::vector<unsigned char> copy = bytes_;
    register_embedded("fonts\\copy.ttf", copy.data(), copy.size());
    const font f = load_image_font("fonts\\copy.ttf", 28, 4);
    std::fill(copy.begin(), copy.end(), 0);
    copy.clear();
    copy.shrink_to_fit();
    set_image_font(f);
    set_blend(blend_alpha);
    draw_text("Qwz", 10, 10);  // glyphs not yet rendered are rendered now
    EXPECT_FALSE(lit_pixels().empty());
}

// --- the draw state and the log

TEST_F(draw_test, draw_state_persists_until_reset) {
    set_color(10, 250, 10);
    set_blend(blend_solid);
    clear_screen();
    draw_rect(0, 0, 1, 1);
    EXPECT_EQ(screen(0, 0), (rgb{10, 250, 10})) << "clearing keeps the state";

    const image img = create_image(2, 2);
    set_image_font(font{1});
    platform::install_headless();
    EXPECT_EQ(platform::describe_image(img).width, 0) << "images are gone";
    EXPECT_EQ(screen(0, 0), (rgb{0, 0, 0}));
    draw_rect(0, 0, 1, 1);
    const platform::draw_record &r = platform::draw_log().back();
    EXPECT_EQ(r.blend, blend_mask);
    EXPECT_EQ(std::tie(r.r, r.g, r.b), std::tuple(255, 255, 255));
    EXPECT_EQ(std::tie(r.alpha, r.rotation, r.sx, r.sy), std::tuple(1.0f, 0.0f, 1.0f, 1.0f));
    EXPECT_EQ(create_image(2, 2).id, 1) << "ids start again in a new process";
    EXPECT_EQ(platform::describe_image(create_image(2, 2)).flags, image_dynamic) << "auto flags are off";
}

TEST_F(draw_test, draw_log_records_each_draw_with_the_state) {
    const image img = create_image(2, 2);
    clear_screen();
    set_blend(blend_alpha);
    set_color(1, 2, 3);
    set_alpha(0.25f);
    set_transform(30, 2, 3);
    draw_image(img, 5.5f, 6.5f, 0);
    draw_image(image{0}, 1, 2, 7);
    draw_rect(7, 8, 9, 10);
    set_transform(0, 1, 1);
    draw_text("Hello", 11, 12);

    const auto &log = platform::draw_log();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].op, "clear");
    EXPECT_EQ(log[0].blend, blend_mask);
    EXPECT_EQ(log[1].op, "image");
    EXPECT_EQ(log[1].image, img.id);
    EXPECT_EQ(std::tie(log[1].x, log[1].y), std::tuple(5.5f, 6.5f));
    EXPECT_EQ(log[1].blend, blend_alpha);
    EXPECT_EQ(std::tie(log[1].r, log[1].g, log[1].b), std::tuple(1, 2, 3));
    EXPECT_EQ(std::tie(log[1].alpha, log[1].rotation, log[1].sx, log[1].sy),
              std::tuple(0.25f, 30.0f, 2.0f, 3.0f));
    EXPECT_EQ(log[2].image, 0);
    EXPECT_EQ(log[2].frame, 7);
    EXPECT_EQ(log[3].op, "rect");
    EXPECT_EQ(std::tie(log[3].x, log[3].y, log[3].w, log[3].h), std::tuple(7.0f, 8.0f, 9.0f, 10.0f));
    EXPECT_EQ(log[4].op, "text");
    EXPECT_EQ(log[4].text, "Hello");
    EXPECT_EQ(std::tie(log[4].x, log[4].y, log[4].rotation, log[4].sx), std::tuple(11.0f, 12.0f, 0.0f, 1.0f));

    platform::set_logging(false);
    draw_rect(0, 0, 1, 1);
    EXPECT_EQ(platform::draw_log().size(), 5u);
}

// --- draws that must not crash

TEST_F(draw_test, draw_extreme_transforms_are_safe) {
    std::vector<std::uint32_t> texels(16, argb(255, 0, 0, 200));
    const image img = picture(4, 4, texels, image_filtered);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct {
        float x, y, rotation, sx, sy;
    } cases[] = {
        {-5000, 100, 0, 1, 1},   {100, 1e9f, 0, 1, 1}, {1e30f, -1e30f, 45, 3, 3},  {320, 240, 37, 1000, 1000},
        {0, 0, 0, 1e-9f, 1e-9f}, {0, 0, 0, 0, 1},      {nan, 0, 0, 1, 1},          {0, 0, nan, 1, 1},
        {0, 0, 0, inf, 1},       {0, 0, 1e20f, 2, 2},  {320, 240, 0, -1000, 1000},
    };
    for (int blend = blend_mask; blend <= blend_shade; ++blend)
        for (const auto &c : cases) {
            set_blend(blend);
            set_transform(c.rotation, c.sx, c.sy);
            draw_image(img, c.x, c.y, 0);
            draw_rect(c.x, c.y, 50, 50);
        }

    // Scaled 1000 times about its centre, the picture covers the whole screen.
    platform::install_headless();
    files_.clear();
    const image big = picture(4, 4, texels, image_filtered);
    mid_handle_image(big);
    set_transform(37, 1000, 1000);
    draw_image(big, 320, 240, 0);
    for (auto [x, y] : {std::pair{0, 0}, {639, 479}, {320, 240}}) EXPECT_EQ(screen(x, y), (rgb{0, 0, 200}));
}

TEST_F(draw_test, draw_save_png_writes_the_frame) {
    fill_screen({0, 0, 0});
    paint_screen(0, 0, {1, 2, 3});
    paint_screen(639, 479, {250, 128, 7});
    const auto path =
        std::filesystem::temp_directory_path() / ("saltburst_shot_" + std::to_string(::getpid()) + ".png");
    ASSERT_TRUE(platform::save_png(platform::back_buffer(), path.string()));
    const image img = load_image(path.string(), 0);
    std::filesystem::remove(path);
    ASSERT_NE(img.id, 0);
    EXPECT_EQ(platform::describe_image(img).width, 640);
    EXPECT_EQ(platform::image_pixel(img, 0, 0, 0), argb(255, 1, 2, 3));
    EXPECT_EQ(platform::image_pixel(img, 0, 639, 479), argb(255, 250, 128, 7));

    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::save_png(platform::back_buffer(), "/nonexistent-dir/shot.png"));
    ::testing::internal::GetCapturedStderr();
}

}  // namespace
