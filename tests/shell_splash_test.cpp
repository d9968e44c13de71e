// The logo splash: its timeline, the inputs that skip it and those that do not, the inactive window.
#include "harness.h"

namespace {

game with_splash() { return game(game::options{.skip_splash = false}); }

// Boots with the given input made while the assets were loading, and returns the frames the splash showed.
int splash_frames_with(void (*press)(platform::headless &)) {
    testing_support::work_dir dir;
    return testing_support::boot_here(press).frames();
}

}  // namespace

TEST(splash, runs_431_frames_then_waits_half_a_second) {
    game g = with_splash();
    EXPECT_EQ(g.backend().frames(), 431);
    EXPECT_NEAR(g.backend().clock_ms(), 431 * 1000.0 / 60.0 + 500, 1e-6);
    EXPECT_EQ(game_state, 4);
}

TEST(splash, holds_full_strength_for_331_frames_then_fades) {
    game g = with_splash();
    std::vector<float> alphas;
    for (const auto &d : g.draws())
        if (d.op == "image" && d.x == 320 && d.y == 220) alphas.push_back(d.alpha);
    ASSERT_EQ(alphas.size(), 431u);
    EXPECT_EQ(alphas[330], 1.0f);
    EXPECT_FLOAT_EQ(alphas[331], 0.99f);
    EXPECT_GT(alphas[430], 0.0f);
    EXPECT_LT(alphas[430], 0.00001f);
}

TEST(splash, skip_inputs_made_while_loading_end_it_on_its_first_frame) {
    struct {
        const char *name;
        void (*press)(platform::headless &);
        int frames;
    } cases[] = {
        {"escape", [](platform::headless &h) { h.press_key(27); }, 1},
        {"space", [](platform::headless &h) { h.press_key(32); }, 1},
        {"left button", [](platform::headless &h) { h.click(1); }, 1},
        {"joystick 0", [](platform::headless &h) { h.joy_press(0); }, 1},
        {"right button", [](platform::headless &h) { h.click(2); }, 431},
        {"joystick 1", [](platform::headless &h) { h.joy_press(1); }, 431},
        {"another key", [](platform::headless &h) { h.press_key(65); }, 431},
    };
    for (auto [name, press, frames] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(splash_frames_with(press), frames);
    }
}

TEST(splash, escape_skips_without_ending_the_program_and_keys_are_flushed) {
    testing_support::work_dir dir;
    testing_support::boot_here([](platform::headless &h) {
        h.press_key(27);
        h.press_key(27);
        h.joy_press(3);
    });
    EXPECT_EQ(key_hit(27), 0);
    EXPECT_EQ(joy_hit(3, 0), 1) << "joystick presses are not flushed";
    EXPECT_TRUE(run_frame());
}

TEST(splash, a_skip_during_the_fade_ends_it_at_once) {
    testing_support::work_dir dir;
    platform::headless &h = testing_support::boot_here([](platform::headless &b) {
        b.schedule(350, {platform::input_event::kind::key, 32, -1});
    });
    EXPECT_EQ(h.frames(), 350);
    EXPECT_NEAR(h.clock_ms(), 350 * 1000.0 / 60.0 + 500, 1e-6);
}

TEST(splash, stands_still_while_the_window_is_inactive) {
    testing_support::work_dir dir;
    platform::headless &h = testing_support::boot_here([](platform::headless &b) {
        b.schedule(10, {platform::input_event::kind::inactive, 1000});
    });
    EXPECT_EQ(h.frames(), 431) << "no frame of the splash is lost or gained";
    int pauses = 0, resumes = 0;
    for (const auto &r : platform::audio_log()) {
        pauses += r.op == "pause" && r.channel == music_channel.id;
        resumes += r.op == "resume";
    }
    EXPECT_EQ(pauses, 1);
}
