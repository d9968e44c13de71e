// The rasterizer's fast paths: rows shared with the worker thread give the same picture as one thread,
// every row is drawn exactly once, and unscaled solid rows copied straight land texel for texel.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

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
