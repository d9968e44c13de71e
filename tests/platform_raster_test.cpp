// The rasterizer's fast paths: rows shared with the worker thread give the same picture as one thread,
// every row is drawn exactly once, unscaled solid rows copied straight land texel for texel, and draws
// that pass over a picture's clear parts by its coverage give the same picture as sampling them all.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "game.h"
#include "harness.h"
#include "platform/core/image.h"
#include "platform/core/raster.h"
#include "platform/core/raster_bands.h"

namespace {

using platform::draw_state;
using platform::frame_buffer;
using platform::texture_view;

// Puts the number of threads back as it was when the test ends.
class threads_as_before {
  public:
    threads_as_before() : saved_(platform::raster_threads()) {}
    ~threads_as_before() { platform::set_raster_threads(saved_); }

  private:
    int saved_;
};

// A picture with every texel different and alpha varying over the whole range, a clear border and a
// fully clear hole, so blending, the mask threshold and transparent skipping are all exercised.
struct test_picture {
    int width, height;
    std::vector<std::uint32_t> texels;

    test_picture(int w, int h) : width(w), height(h), texels(static_cast<std::size_t>(w) * h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint32_t a = static_cast<std::uint32_t>((x * 7 + y * 3) & 255);
                if (x == 0 || y == 0 || x == w - 1 || y == h - 1) a = 0;
                if (x > w / 3 && x < w / 2 && y > h / 3 && y < h / 2) a = 0;
                const std::uint32_t r = (x * 13) & 255, g = (y * 17) & 255, b = ((x + y) * 5) & 255;
                texels[static_cast<std::size_t>(y) * w + x] = a << 24 | r << 16 | g << 8 | b;
            }
    }
    texture_view view() const { return {texels.data(), width, height, width}; }
};

// A frame buffer filled with a busy pattern, so every blend mode has something to mix with.
frame_buffer busy_screen() {
    frame_buffer fb;
    for (int y = 0; y < fb.height; ++y)
        for (int x = 0; x < fb.width; ++x)
            fb.pixels[static_cast<std::size_t>(y) * fb.width + x] =
                0xFF000000u | static_cast<std::uint32_t>((x * 3) & 255) << 16 |
                static_cast<std::uint32_t>((y * 5) & 255) << 8 | static_cast<std::uint32_t>((x ^ y) & 255);
    return fb;
}

struct draw_case {
    std::string name;
    draw_state state;
    bool filtered;
    float x, y;
    bool rect = false;
};

// Every draw large enough to be shared, in each blend mode and transform, some running off the screen.
const draw_case shared_cases[] = {
    {"alpha, turned and scaled, bilinear",
     {blend_alpha, 255, 255, 255, 0.6f, 33.0f, 1.7f, 1.3f},
     true,
     300.5f,
     240.25f},
    {"mask, alpha below 1, scaled", {blend_mask, 255, 255, 255, 0.9f, 0.0f, 2.0f, 2.0f}, true, 100, 80},
    {"mask, nearest, turned", {blend_mask, 255, 255, 255, 1.0f, 200.0f, 1.0f, 1.0f}, false, 320, 240},
    {"solid, unscaled, whole pixels", {blend_solid}, true, 40, 60},
    {"solid, unscaled, half pixels", {blend_solid}, true, 40.5f, 60.5f},
    {"solid, off the left and top", {blend_solid}, true, -10.25f, 10.75f},
    {"light, tinted, scaled", {blend_light, 200, 90, 30, 0.8f, 0.0f, 3.0f, 2.5f}, true, 500, 400},
    {"shade, turned, off the bottom", {blend_shade, 255, 128, 64, 0.9f, 290.0f, 2.2f, 2.2f}, true, 320, 470},
    {"alpha, mirrored", {blend_alpha, 255, 255, 255, 1.0f, 0.0f, -2.0f, 1.5f}, true, 400, 200},
    {"rectangle, turned, alpha", {blend_alpha, 30, 200, 90, 0.7f, 15.0f, 1.0f, 1.0f}, false, 150, 150, true},
};

frame_buffer draw_with_threads(const draw_case &c, int threads) {
    static const test_picture pic(120, 90);
    platform::set_raster_threads(threads);
    frame_buffer fb = busy_screen();
    const platform::paint p = platform::make_paint(c.state);
    if (c.rect)
        platform::raster_rect(fb, c.x, c.y, 180, 110, p);
    else
        platform::raster_picture(fb, pic.view(), c.filtered, 0, c.x, c.y, 60, 45, p);
    return fb;
}

}  // namespace

TEST(raster_threads, shared_draws_match_one_thread_bit_for_bit) {
    threads_as_before restore;
    for (const draw_case &c : shared_cases) {
        SCOPED_TRACE(c.name);
        const frame_buffer alone = draw_with_threads(c, 1);
        EXPECT_TRUE(alone.pixels != busy_screen().pixels) << "the draw should change the screen";
        // Several times over: which rows the worker takes differs from run to run.
        for (int run = 0; run < 20; ++run) {
            const frame_buffer shared = draw_with_threads(c, 2);
            ASSERT_EQ(shared.pixels, alone.pixels) << "run " << run;
        }
    }
}

TEST(raster_threads, every_row_is_drawn_exactly_once) {
    threads_as_before restore;
    struct rows_case {
        int first, end;
        std::int64_t pixels;
    };
    const rows_case cases[] = {
        {0, 480, 640 * 480},                          // the whole screen, shared
        {17, 18, platform::min_shared_pixels * 10},   // one row: never worth a hand-over
        {100, 137, platform::min_shared_pixels},      // just big enough, an odd number of rows
        {100, 137, platform::min_shared_pixels - 1},  // just too small
        {5, 5, 640 * 480},                            // no rows at all
    };
    for (const int threads : {1, 2}) {
        platform::set_raster_threads(threads);
        for (const rows_case &c : cases) {
            SCOPED_TRACE(::testing::Message() << threads << " threads, rows " << c.first << ".." << c.end);
            std::vector<std::atomic<int>> seen(480);
            for (int draw = 0; draw < 50; ++draw)
                platform::draw_rows(
                    c.first, c.end, c.pixels,
                    [](void *context, int first, int end) {
                        auto &counts = *static_cast<std::vector<std::atomic<int>> *>(context);
                        for (int row = first; row < end; ++row) counts[row].fetch_add(1);
                    },
                    &seen);
            for (int row = 0; row < 480; ++row)
                ASSERT_EQ(seen[row].load(), row >= c.first && row < c.end ? 50 : 0) << "row " << row;
        }
    }
}

TEST(raster_threads, thread_count_is_one_or_two) {
    threads_as_before restore;
    const int cases[][2] = {{1, 1}, {2, 2}, {0, 1}, {-3, 1}, {8, 2}};
    for (const auto &[asked, got] : cases) {
        platform::set_raster_threads(asked);
        EXPECT_EQ(platform::raster_threads(), got) << "asked for " << asked;
    }
}

TEST(raster_copy, unscaled_solid_rows_land_texel_for_texel) {
    // Colours with every alpha, including clear texels: solid draws them all, made opaque.
    const test_picture pic(40, 30);
    struct copy_case {
        float x, y;
        int left, top;  // the screen pixel texel (0, 0) lands on
    };
    const copy_case cases[] = {
        {10, 20, 10, 20},        // whole pixels
        {10.5f, 20.5f, 10, 20},  // a centre exactly on a texel edge takes the texel to its right and below
        {10.6f, 20.4f, 11, 20},  // otherwise the texel the centre falls in
        {-7, -4, -7, -4},        // cut by the left and top edges
        {630, 470, 630, 470},    // cut by the right and bottom edges
    };
    for (const copy_case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "at " << c.x << ", " << c.y);
        frame_buffer fb = busy_screen();
        const frame_buffer before = fb;
        platform::raster_picture(fb, pic.view(), true, 0, c.x, c.y, 0, 0,
                                 platform::make_paint(draw_state{blend_solid}));
        for (int y = 0; y < fb.height; ++y)
            for (int x = 0; x < fb.width; ++x) {
                const int tx = x - c.left, ty = y - c.top;
                const std::size_t at = static_cast<std::size_t>(y) * fb.width + x;
                const std::uint32_t want =
                    tx >= 0 && ty >= 0 && tx < pic.width && ty < pic.height
                        ? pic.texels[static_cast<std::size_t>(ty) * pic.width + tx] | 0xFF000000u
                        : before.pixels[at];
                ASSERT_EQ(fb.pixels[at], want) << "pixel " << x << ", " << y;
            }
    }
}

namespace {

// A ring like the game's bubbles: a thin circle of alpha in a clear square, a hole in the middle, clear
// texels that keep a colour (as pictures saved with colour under their clear parts do), and one lone
// faint texel in each corner, on the picture's very edge.
std::vector<std::uint32_t> ring_texels(int size) {
    std::vector<std::uint32_t> t(static_cast<std::size_t>(size) * size);
    const double mid = (size - 1) / 2.0, radius = size * 0.38;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - mid, y - mid) - radius;
            const std::uint32_t a = d > -2 && d < 2 ? static_cast<std::uint32_t>(255 - 60 * std::fabs(d)) : 0;
            t[static_cast<std::size_t>(y) * size + x] = a << 24 |
                                                        static_cast<std::uint32_t>(x * 5 & 255) << 16 |
                                                        static_cast<std::uint32_t>(y * 9 & 255) << 8 | 0x40u;
        }
    for (const int at : {0, size - 1, size * (size - 1), size * size - 1}) t[at] = 0x01FF8040u;
    return t;
}

}  // namespace

TEST(raster_coverage, marks_every_position_whose_samples_reach_a_visible_texel) {
    // One visible texel at (i, j) in a 5 x 4 picture: nearest sees it from position (i, j), bilinear
    // from the positions (i .. i + 1, j .. j + 1); every other position stays clear.
    struct lone_case {
        int i, j;
    };
    for (const lone_case c : {lone_case{2, 1}, lone_case{0, 0}, lone_case{4, 3}}) {
        SCOPED_TRACE(::testing::Message() << "texel " << c.i << ", " << c.j);
        std::vector<std::uint32_t> texels(5 * 4, 0x00FFFFFFu);  // clear, yet coloured
        texels[static_cast<std::size_t>(c.j) * 5 + c.i] = 0x01000000u;
        const platform::coverage cover = platform::make_coverage({texels.data(), 5, 4, 5});
        ASSERT_EQ(cover.stride, 6);
        ASSERT_EQ(cover.seen.size(), 6u * 5u);
        for (int cj = 0; cj <= 4; ++cj)
            for (int ci = 0; ci <= 5; ++ci) {
                const bool want = (ci == c.i || ci == c.i + 1) && (cj == c.j || cj == c.j + 1);
                EXPECT_EQ(cover.seen[static_cast<std::size_t>(cj) * 6 + ci] != 0, want) << ci << ", " << cj;
            }
    }
    // A stride wider than the picture: texels past the width are not the picture's.
    std::vector<std::uint32_t> wide = {0, 0, 0xFF000000u, 0, 0, 0};
    const platform::coverage cover = platform::make_coverage({wide.data(), 2, 2, 3});
    for (const std::uint8_t s : cover.seen) EXPECT_EQ(s, 0);
    EXPECT_TRUE(platform::make_coverage({}).seen.empty());
}

TEST(raster_coverage, skipping_clear_parts_changes_no_pixel) {
    threads_as_before restore;
    platform::set_raster_threads(1);
    const int size = 64;
    const std::vector<std::uint32_t> texels = ring_texels(size);
    const texture_view bare{texels.data(), size, size, size};
    const platform::coverage cover = platform::make_coverage(bare);
    texture_view covered = bare;
    covered.cover = &cover;
    struct cover_case {
        std::string name;
        draw_state state;
        bool filtered;
        float x, y;
        std::uint32_t outside = 0;
    };
    const cover_case cases[] = {
        {"ring as the bubbles draw it: alpha 0.5, turned and scaled",
         {blend_alpha, 255, 255, 255, 0.5f, 37.0f, 1.4f, 1.4f},
         true,
         300.25f,
         200.75f},
        {"shrunk below one texel per pixel",
         {blend_alpha, 255, 255, 255, 1.0f, 71.0f, 0.6f, 0.6f},
         true,
         40,
         50},
        {"grown, unturned", {blend_alpha, 255, 255, 255, 0.8f, 0.0f, 3.0f, 3.0f}, true, 320, 240},
        {"mirrored and stretched", {blend_alpha, 255, 255, 255, 1.0f, 10.0f, -2.0f, 1.3f}, true, 200, 300},
        {"nearest, turned", {blend_alpha, 255, 255, 255, 1.0f, 123.0f, 1.7f, 1.7f}, false, 420, 260},
        {"nearest, unscaled", {blend_alpha, 255, 255, 255, 0.7f}, false, 100.5f, 90},
        {"mask", {blend_mask, 255, 255, 255, 1.0f, 200.0f, 2.0f, 2.0f}, true, 320, 240},
        {"light, tinted", {blend_light, 200, 90, 30, 0.9f, 300.0f, 2.2f, 2.2f}, true, 320, 240},
        {"shade", {blend_shade, 255, 128, 64, 1.0f, 45.0f, 2.5f, 2.5f}, true, 330, 250},
        {"solid draws the clear parts too",
         {blend_solid, 255, 255, 255, 1.0f, 20.0f, 2.0f, 2.0f},
         true,
         320,
         240},
        {"off the screen's corner", {blend_alpha, 255, 255, 255, 0.5f, 15.0f, 2.0f, 2.0f}, true, 2, 470},
        {"clear white around, as text draws",
         {blend_alpha, 255, 255, 255, 1.0f, 30.0f, 2.0f, 2.0f},
         true,
         320,
         240,
         0x00FFFFFFu},
        {"coloured surround: the coverage is not used",
         {blend_alpha, 255, 255, 255, 1.0f, 30.0f, 2.0f, 2.0f},
         true,
         320,
         240,
         0x80FF0000u},
    };
    for (const cover_case &c : cases) {
        SCOPED_TRACE(c.name);
        const platform::paint p = platform::make_paint(c.state);
        frame_buffer want = busy_screen(), got = busy_screen();
        platform::raster_picture(want, bare, c.filtered, c.outside, c.x, c.y, size / 2.0, size / 2.0, p);
        platform::raster_picture(got, covered, c.filtered, c.outside, c.x, c.y, size / 2.0, size / 2.0, p);
        EXPECT_TRUE(want.pixels != busy_screen().pixels) << "the draw should change the screen";
        for (std::size_t at = 0; at < want.pixels.size(); ++at)
            ASSERT_EQ(got.pixels[at], want.pixels[at]) << "pixel " << at % 640 << ", " << at / 640;
    }
}

TEST(raster_coverage, a_coverage_of_another_size_is_ignored) {
    const std::vector<std::uint32_t> texels = ring_texels(32);
    const std::vector<std::uint32_t> clear(16 * 16, 0);
    const platform::coverage wrong = platform::make_coverage({clear.data(), 16, 16, 16});  // all clear
    const texture_view bare{texels.data(), 32, 32, 32};
    texture_view mismatched = bare;
    mismatched.cover = &wrong;
    const platform::paint p = platform::make_paint({blend_alpha, 255, 255, 255, 1.0f, 20.0f, 2.0f, 2.0f});
    frame_buffer want = busy_screen(), got = busy_screen();
    platform::raster_picture(want, bare, true, 0, 320, 240, 16, 16, p);
    platform::raster_picture(got, mismatched, true, 0, 320, 240, 16, 16, p);
    EXPECT_EQ(got.pixels, want.pixels);
}

TEST(raster_coverage, image_frames_are_drawn_as_their_texels_are_now) {
    // A picture made clear, drawn once (its coverage then says "nothing shows"), then changed: by a
    // grab, by a write through frame_pixels, and by a write to the texels announced with
    // pixels_changed. Each change must show in the next draw, and only in the frame changed.
    game g;
    const image img = create_image(16, 16, 2, image_filtered);
    auto centre_after = [&](int frame) {
        clear_screen();
        set_blend(blend_alpha);
        set_transform(10, 2, 2);
        draw_image(img, 100, 100, frame);
        set_transform(0, 1, 1);
        return platform::back_buffer().pixels[static_cast<std::size_t>(116) * 640 + 116];
    };
    EXPECT_EQ(centre_after(0), 0xFF000000u);
    EXPECT_EQ(centre_after(1), 0xFF000000u);

    set_blend(blend_solid);
    set_color(20, 200, 60);
    draw_rect(0, 0, 640, 480);
    set_color(255, 255, 255);
    grab_image(img, 0, 0, 0);
    EXPECT_EQ(centre_after(0), 0xFF14C83Cu) << "grabbed";
    EXPECT_EQ(centre_after(1), 0xFF000000u) << "the other frame is still clear";

    platform::image_rec *rec = platform::find_image(img.id);
    std::fill_n(rec->frame_pixels(1), 16 * 16, 0xFF0000FFu);
    EXPECT_EQ(centre_after(1), 0xFF0000FFu) << "written through frame_pixels";

    std::fill(rec->pixels.begin(), rec->pixels.end(), 0u);
    rec->pixels_changed();
    EXPECT_EQ(centre_after(0), 0xFF000000u) << "cleared and announced";
    EXPECT_EQ(centre_after(1), 0xFF000000u) << "cleared and announced";
}

namespace {

// Puts the SSE2 span setting back as it was when the test ends.
class simd_as_before {
  public:
    simd_as_before() : saved_(platform::raster_simd()) {}
    ~simd_as_before() { platform::set_raster_simd(saved_); }

  private:
    bool saved_;
};

// busy_screen with the alpha byte varying too, so a pixel a draw must leave alone is seen to stay whole.
frame_buffer busy_screen_any_alpha() {
    frame_buffer fb = busy_screen();
    for (std::size_t at = 0; at < fb.pixels.size(); ++at)
        fb.pixels[at] = (fb.pixels[at] & 0xFFFFFFu) | static_cast<std::uint32_t>((at * 29) & 255) << 24;
    return fb;
}

}  // namespace

TEST(raster_simd, four_pixel_spans_match_the_scalar_loop_bit_for_bit) {
    threads_as_before restore_threads;
    simd_as_before restore_simd;
    platform::set_raster_threads(1);
    static const test_picture busy(120, 90);
    const int ring_size = 64;
    const std::vector<std::uint32_t> ring = ring_texels(ring_size);
    const texture_view ring_bare{ring.data(), ring_size, ring_size, ring_size};
    const platform::coverage ring_cover = platform::make_coverage(ring_bare);
    texture_view ring_covered = ring_bare;
    ring_covered.cover = &ring_cover;
    // Fully opaque white but for one clear column: the weight-256 path and long runs of equal texels.
    std::vector<std::uint32_t> white(40 * 30, 0xFFFFFFFFu);
    for (int y = 0; y < 30; ++y) white[static_cast<std::size_t>(y) * 40 + 17] = 0x00FFFFFFu;
    const texture_view white_view{white.data(), 40, 30, 40};
    struct simd_case {
        std::string name;
        texture_view pic;
        draw_state state;
        float x, y;
        std::uint32_t outside = 0;
    };
    const simd_case cases[] = {
        {"alpha, turned and scaled",
         busy.view(),
         {blend_alpha, 255, 255, 255, 0.6f, 33.0f, 1.7f, 1.3f},
         300.5f,
         240.25f},
        {"alpha, tinted, full alpha",
         busy.view(),
         {blend_alpha, 90, 200, 30, 1.0f, 0.0f, 2.0f, 2.0f},
         320,
         240},
        {"alpha, faint", busy.view(), {blend_alpha, 255, 255, 255, 0.02f, 10.0f, 1.5f, 1.5f}, 100, 100},
        {"alpha, mirrored, off the left",
         busy.view(),
         {blend_alpha, 255, 255, 255, 1.0f, 0.0f, -2.0f, 1.5f},
         20,
         200},
        {"alpha, shrunk, off the bottom right",
         busy.view(),
         {blend_alpha, 255, 255, 255, 0.8f, 71.0f, 0.6f, 0.4f},
         630,
         475},
        {"alpha, thin sliver a few pixels wide",
         busy.view(),
         {blend_alpha, 255, 255, 255, 0.9f, 89.0f, 0.05f, 3.0f},
         200,
         200},
        {"ring with its coverage, as the bubbles draw it",
         ring_covered,
         {blend_alpha, 255, 255, 255, 0.5f, 37.0f, 1.4f, 1.4f},
         300.25f,
         200.75f},
        {"ring with its coverage, tinted, grown",
         ring_covered,
         {blend_alpha, 255, 60, 60, 1.0f, 0.0f, 4.0f, 4.0f},
         320,
         240},
        {"ring, clear white around, as text draws",
         ring_covered,
         {blend_alpha, 255, 255, 255, 1.0f, 30.0f, 2.0f, 2.0f},
         320,
         240,
         0x00FFFFFFu},
        {"ring, coloured surround reaching in at the edges",
         ring_bare,
         {blend_alpha, 255, 255, 255, 0.7f, 30.0f, 2.0f, 2.0f},
         320,
         240,
         0x80FF0000u},
        {"opaque white, unturned and grown",
         white_view,
         {blend_alpha, 255, 255, 255, 1.0f, 0.0f, 3.0f, 3.0f},
         300,
         200},
        {"light, tinted, scaled", busy.view(), {blend_light, 200, 90, 30, 0.8f, 0.0f, 3.0f, 2.5f}, 500, 400},
        {"light, bright enough to cap",
         white_view,
         {blend_light, 255, 255, 255, 1.0f, 45.0f, 2.5f, 2.5f},
         320,
         240},
        {"light, ring with its coverage, turned",
         ring_covered,
         {blend_light, 255, 200, 120, 0.9f, 300.0f, 2.2f, 2.2f},
         320,
         240},
        {"light, faint: many samples of alpha zero",
         busy.view(),
         {blend_light, 255, 255, 255, 0.01f, 20.0f, 2.0f, 2.0f},
         320,
         240},
    };
    for (const simd_case &c : cases) {
        SCOPED_TRACE(c.name);
        const platform::paint p = platform::make_paint(c.state);
        const double hx = c.pic.width / 2.0, hy = c.pic.height / 2.0;
        frame_buffer want = busy_screen_any_alpha(), got = want;
        platform::set_raster_simd(false);
        platform::raster_picture(want, c.pic, true, c.outside, c.x, c.y, hx, hy, p);
        platform::set_raster_simd(true);
        platform::raster_picture(got, c.pic, true, c.outside, c.x, c.y, hx, hy, p);
        EXPECT_TRUE(want.pixels != busy_screen_any_alpha().pixels) << "the draw should change the screen";
        for (std::size_t at = 0; at < want.pixels.size(); ++at)
            ASSERT_EQ(got.pixels[at], want.pixels[at]) << "pixel " << at % 640 << ", " << at / 640;
    }
}
