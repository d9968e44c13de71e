// The GL renderer against the software rasterizer: the same scenes drawn by both in a hidden GL window,
// compared pixel by pixel; and how the desktop chooses between them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "harness.h"
#include "platform/core/image.h"
#include "platform/core/renderer.h"
#include "platform/sdl/sdl_gl.h"

namespace {

using platform::frame_buffer;

// How far two pictures are apart: pixels whose largest channel difference exceeds `near` (3: the
// rounding of GL's fixed-point blending and filtering against the rasterizer's tables), and the
// largest difference anywhere.
struct difference {
    int beyond_near = 0;
    int largest = 0;
    int worst_x = -1, worst_y = -1;
};
constexpr int near = 3;

difference compare(const frame_buffer &a, const frame_buffer &b) {
    difference d;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const std::uint32_t p = a.pixels[y * a.width + x], q = b.pixels[y * b.width + x];
            int m = 0;
            for (int shift : {0, 8, 16})
                m = std::max(m, std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)));
            if (m > near) ++d.beyond_near;
            if (m > d.largest) d.largest = m, d.worst_x = x, d.worst_y = y;
        }
    return d;
}

// The hidden GL window, opened once for the suite. Without a display or GL 3.3 the tests skip, unless
// SALTBURST_REQUIRE_GL is set (as where CI starts them under Xvfb), in which case they fail.
class gl_equivalence : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
            why_not_ = "no display (run under xvfb-run)";
            return;
        }
        screen_ = platform::sdl::hidden_gl_screen::open(why_not_);
        platform::use_renderer(nullptr);
    }
    static void TearDownTestSuite() {
        platform::use_renderer(nullptr);
        screen_.reset();
    }
    void SetUp() override {
        if (screen_) return;
        if (std::getenv("SALTBURST_REQUIRE_GL") != nullptr) FAIL() << "no OpenGL 3.3: " << why_not_;
        GTEST_SKIP() << "no OpenGL 3.3: " << why_not_;
    }

    static platform::gl::gl_renderer &gl() { return screen_->renderer(); }

    // Draws the scene from a cleared screen with the given renderer and reads the screen back.
    static frame_buffer draw_with(platform::renderer &r, const std::function<void()> &scene) {
        platform::use_renderer(&r);
        clear_screen();
        set_blend(blend_mask);
        set_color(255, 255, 255);
        set_alpha(1);
        set_transform(0, 1, 1);
        scene();
        frame_buffer out;
        r.read(0, 0, out.width, out.height, out.pixels.data());
        platform::use_renderer(nullptr);
        return out;
    }

    // Both renderers draw the scene; at most `edge_share` of the pixels may differ by more than `near`.
    static void expect_same(const std::string &name, const std::function<void()> &scene, double edge_share) {
        SCOPED_TRACE(name);
        const frame_buffer soft = draw_with(platform::software_renderer(), scene);
        const frame_buffer hard = draw_with(gl(), scene);
        const difference d = compare(soft, hard);
        const double share = double(d.beyond_near) / (soft.width * soft.height);
        EXPECT_LE(share, edge_share) << d.beyond_near << " pixels differ by more than " << near
                                     << "; largest " << d.largest << " at (" << d.worst_x << ", " << d.worst_y
                                     << ")";
        if (share > edge_share) {
            platform::save_png(soft, "/tmp/saltburst-" + name + "-software.png");
            platform::save_png(hard, "/tmp/saltburst-" + name + "-gl.png");
        }
    }

    // A 24 x 16 picture: colour ramps across, alpha ramping down from 0 to 255, a clear border column.
    static image gradient_sprite(int flags) {
        const image img = create_image(24, 16, 1, flags);
        platform::image_rec *rec = platform::find_image(img.id);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 24; ++x) {
                const std::uint32_t a = x == 0 ? 0 : static_cast<std::uint32_t>(y * 17);
                rec->pixels[y * 24 + x] =
                    a << 24 | std::uint32_t(x * 10) << 16 | std::uint32_t(250 - y * 15) << 8 | 90u;
            }
        return img;
    }

    // A backdrop of stripes, so that every blend has something to blend with.
    static void backdrop() {
        set_blend(blend_solid);
        for (int i = 0; i < 16; ++i) {
            set_color(i * 16, 255 - i * 12, (i * 73) % 256);
            draw_rect(i * 40.0f, 0, 40, 480);
        }
        set_color(255, 255, 255);
    }

    static std::unique_ptr<platform::sdl::hidden_gl_screen> screen_;
    static std::string why_not_;
};

std::unique_ptr<platform::sdl::hidden_gl_screen> gl_equivalence::screen_;
std::string gl_equivalence::why_not_;

TEST_F(gl_equivalence, each_blend_mode_with_tint_and_alpha) {
    game g;
    const image plain = gradient_sprite(0);
    const image smooth = gradient_sprite(image_filtered);
    struct {
        const char *name;
        int blend;
    } modes[] = {{"mask", blend_mask},   {"solid", blend_solid}, {"alpha", blend_alpha},
                 {"light", blend_light}, {"shade", blend_shade}, {"unknown", 9}};
    for (auto [name, blend] : modes) {
        // Unturned, then turned and scaled (bilinear for the filtered picture): its edges may differ.
        expect_same(
            std::string("blend-") + name,
            [&, blend = blend] {
                backdrop();
                set_blend(blend);
                const float alphas[] = {1.0f, 0.7f, 0.4f};
                for (int i = 0; i < 3; ++i) {
                    set_alpha(alphas[i]);
                    set_color(255, 255 - i * 60, 128 + i * 60);
                    draw_image(plain, 40.0f + i * 200, 40, 0);
                    draw_image(smooth, 40.5f + i * 200, 100.5f, 0);
                    set_transform(25.0f + i * 40, 3.0f, 2.5f);
                    draw_image(smooth, 100.0f + i * 200, 250, 0);
                    draw_image(plain, 100.0f + i * 200, 400, 0);
                    set_transform(0, 1, 1);
                    draw_rect(150.0f + i * 200, 40, 30, 50);
                }
            },
            0.001);
    }
}

TEST_F(gl_equivalence, sprites_scaled_and_turned_about_their_handles) {
    game g;
    expect_same(
        "sprites",
        [] {
            draw_image(background_image, 0, 0, 0);
            struct {
                float rotation, sx, sy;
            } poses[] = {{0, 1, 1},        {0, 2, 2},          {0, 0.5f, 0.5f}, {90, 1, 1},
                         {33, 1.4f, 0.8f}, {-140, 0.7f, 1.9f}, {180, -1, 1},    {271, 1.25f, 1.25f}};
            int i = 0;
            for (auto [rotation, sx, sy] : poses) {
                set_transform(rotation, sx, sy);
                for (int frame = 0; frame < 10; frame += 3)
                    draw_image(sprites, 60.0f + (i % 4) * 150 + frame * 3, 110.0f + (i / 4) * 220 + frame * 7,
                               frame);
                ++i;
            }
            set_transform(20, 1.5f, 1.5f);
            draw_image(sword_image, 320, 240, 0);
        },
        0.003);
}

TEST_F(gl_equivalence, text_plain_scaled_and_turned) {
    game g;
    expect_same(
        "text",
        [] {
            backdrop();
            set_image_font(game_font);
            set_blend(blend_alpha);
            set_color(250, 250, 0);
            draw_text("Score: 48210", 20, 20);
            set_color(20, 20, 20);
            set_alpha(0.6f);
            draw_text("Best: 61350", 23.5f, 83.5f);
            set_alpha(1);
            set_color(250, 250, 150);
            set_transform(0, 2, 2);
            draw_text("Round: 9", 40, 150);
            set_transform(-20, 1.3f, 0.9f);
            draw_text("Bladeburst!", 200, 330);
            set_blend(blend_mask);
            set_transform(0, 1, 1);
            draw_text("Start New Game", 330, 420);
        },
        0.001);
}

TEST_F(gl_equivalence, grabbed_picture_is_the_screen_as_drawn_so_far) {
    game g;
    const image grabbed = create_image(100, 80, 2, image_masked | image_filtered);
    std::vector<std::uint32_t> kept[2];
    auto scene = [&] {
        backdrop();
        set_blend(blend_solid);
        set_color(0, 0, 0);
        draw_rect(10, 10, 40, 30);  // pure black: masked away in the grab
        set_color(255, 255, 255);
        draw_image(sprites, 60, 50, 4);
        grab_image(grabbed, 0, 0, 1);
        grab_image(grabbed, 600, 440, 0);  // hangs off the screen: black there
        clear_screen();
        backdrop();
        set_blend(blend_mask);
        draw_image(grabbed, 120, 400, 1);
        draw_image(grabbed, 480, 300, 0);
        set_transform(30, 1.5f, 1.5f);
        draw_image(grabbed, 450, 120, 1);
        set_transform(0, 1, 1);
    };
    const frame_buffer soft = draw_with(platform::software_renderer(), scene);
    kept[0] = platform::find_image(grabbed.id)->pixels;
    std::fill(platform::find_image(grabbed.id)->pixels.begin(),
              platform::find_image(grabbed.id)->pixels.end(), 0u);
    const frame_buffer hard = draw_with(gl(), scene);
    kept[1] = platform::find_image(grabbed.id)->pixels;

    // The image store holds the same pixels whichever renderer was read.
    EXPECT_EQ(kept[0], kept[1]);
    const difference d = compare(soft, hard);
    EXPECT_LE(d.beyond_near, 640 * 480 * 3 / 1000)
        << "largest " << d.largest << " at (" << d.worst_x << ", " << d.worst_y << ")";
    // The unturned copy is exact: the texture was taken again after the grab changed the picture.
    const platform::image_info info = platform::describe_image(grabbed);
    const int left = 120 - static_cast<int>(info.handle_x), top = 400 - static_cast<int>(info.handle_y);
    for (int y = top; y < top + 80; ++y)
        for (int x = left; x < left + 100; ++x)
            ASSERT_EQ(soft.pixels[y * 640 + x], hard.pixels[y * 640 + x]) << x << "," << y;
}

// The game's own frames, drawn once through the software renderer with the draw log kept, then the
// same draws replayed through both.
TEST_F(gl_equivalence, title_menu_and_play_frames_of_the_game) {
    struct {
        const char *name;
        int mini;  // -1: the title menu
        int frames;
    } cases[] = {{"title", -1, 5}, {"saltburst", 0, 240}, {"dizzyburst", 1, 300}, {"bladeburst", 2, 300}};
    for (auto [name, mini, frames] : cases) {
        game g;
        if (mini >= 0) {
            g.start_play(mini);
            g.backend().move(300, 300);
        }
        g.frames(frames);
        g.clear_logs();
        g.frame();
        const std::vector<platform::draw_record> log = g.draws();
        ASSERT_FALSE(log.empty());
        expect_same(
            name, [&] { platform::redraw(log); }, 0.001);
    }
}

TEST_F(gl_equivalence, a_new_image_store_is_not_drawn_from_old_textures) {
    // The GL renderer is not active while the store is reset, yet its copies of the old ids must go.
    const image first = [] {
        game g;
        const image img = create_image(8, 8, 1, 0);
        std::fill(platform::find_image(img.id)->pixels.begin(), platform::find_image(img.id)->pixels.end(),
                  0xFFFF0000u);
        draw_with(gl(), [&] { draw_image(img, 0, 0, 0); });
        return img;
    }();
    game g;
    image second{0};
    do {
        second = create_image(8, 8, 1, 0);
    } while (second.id < first.id);
    std::fill(platform::find_image(second.id)->pixels.begin(), platform::find_image(second.id)->pixels.end(),
              0xFF00FF00u);
    const frame_buffer shown = draw_with(gl(), [&] { draw_image(second, 0, 0, 0); });
    EXPECT_EQ(shown.pixels[3 * 640 + 3], 0xFF00FF00u);
}

TEST(gl_choice, software_renderer_forced_only_by_its_name) {
    const char *before = std::getenv("SALTBURST_RENDERER");
    const std::string kept = before ? before : "";
    struct {
        const char *value;
        bool forced;
    } cases[] = {{nullptr, false}, {"software", true}, {"gl", false}, {"", false}, {"Software", false}};
    for (auto [value, forced] : cases) {
        SCOPED_TRACE(value ? value : "(unset)");
        if (value)
            setenv("SALTBURST_RENDERER", value, 1);
        else
            unsetenv("SALTBURST_RENDERER");
        EXPECT_EQ(platform::sdl::software_renderer_forced(), forced);
    }
    if (before)
        setenv("SALTBURST_RENDERER", kept.c_str(), 1);
    else
        unsetenv("SALTBURST_RENDERER");
}

TEST(gl_choice, a_fresh_boot_draws_with_the_software_renderer) {
    struct stand_in final : platform::renderer {
        void clear() override {}
        void picture(std::int32_t, int, const platform::texture_view &, bool, double, double, double, double,
                     const platform::draw_state &) override {}
        void rect(double, double, double, double, const platform::draw_state &) override {}
        void text(std::int32_t, std::span<const platform::placed_glyph>, double, double,
                  const platform::draw_state &) override {}
        void read(int, int, int, int, std::uint32_t *) override {}
        void image_changed(std::int32_t) override {}
        void forget_images() override { ++forgotten; }
        int forgotten = 0;
    } other;
    platform::use_renderer(&other);
    game g;
    EXPECT_EQ(&platform::active_renderer(), &platform::software_renderer());
    EXPECT_EQ(other.forgotten, 1);
}

}  // namespace
