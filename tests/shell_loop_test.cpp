// The frame loop: its order, the pause trigger, the exit test, the joystick nudge, the inactive
// window and the orderly shutdown.
#include "harness.h"

namespace {

constexpr int escape = 27;
constexpr int space = 32;

bool channel_op(game &g, const std::string &op, std::int32_t ch) {
    for (const auto &r : g.sounds())
        if (r.op == op && r.channel == ch) return true;
    return false;
}

}  // namespace

TEST(frame_loop, escape_ends_every_screen_after_its_frame_is_presented) {
    for (int state : {2, 3, 4, 5}) {
        SCOPED_TRACE(state);
        game g;
        if (state != 4) g.start_play(0);
        game_state = state;
        const int before = g.backend().frames();
        g.backend().press_key(escape);
        EXPECT_FALSE(g.frame());
        EXPECT_EQ(g.backend().frames(), before + 1);
    }
}

TEST(frame_loop, quit_row_and_close_request_end_the_loop) {
    game g;
    quit_requested = 1;
    EXPECT_FALSE(g.frame());
    game h;
    h.backend().request_close();
    EXPECT_FALSE(h.frame());
}

TEST(frame_loop, pause_trigger_by_screen_space_and_joystick_button_two) {
    // Space opens the pause only in play; button 2 pauses play, resumes the pause menu (through its
    // handler, earlier in the frame) and is consumed without effect elsewhere.
    struct {
        bool joystick;
        int state;
        int after;
    } cases[] = {
        {false, 2, 3}, {false, 3, 3}, {false, 4, 4}, {false, 5, 5},
        {true, 2, 3},  {true, 3, 2},  {true, 4, 4},  {true, 5, 5},
    };
    for (auto [joystick, state, after] : cases) {
        SCOPED_TRACE(testing::Message() << (joystick ? "button 2 in state " : "Space in state ") << state);
        game g;
        g.start_play(0);
        game_state = state;
        over_delay = 200;
        if (joystick)
            g.backend().joy_press(2);
        else
            g.backend().press_key(space);
        EXPECT_TRUE(g.frame());
        EXPECT_EQ(game_state, after);
        if (joystick) {
            EXPECT_EQ(joy_hit(2, 0), 0) << "the press must have been consumed";
        }
    }
}

TEST(frame_loop, opening_the_pause_switches_to_the_intro_track_and_centres_the_pointer) {
    game g;
    g.start_play(0);
    g.frames(3);
    const channel play_track = music_channel;
    g.backend().move(200, 300);
    g.backend().press_key(space);
    g.clear_logs();
    g.frame();
    EXPECT_EQ(game_state, 3);
    EXPECT_EQ(mouse_x(), 320);
    EXPECT_EQ(mouse_y(), 265);
    EXPECT_TRUE(channel_op(g, "stop", play_track.id));
    EXPECT_NE(music_channel.id, play_track.id);
    bool intro = false;
    for (const auto &r : g.sounds()) intro |= r.op == "cue" && r.sound == "data\\sb_intro.ogg";
    EXPECT_TRUE(intro);
}

TEST(frame_loop, the_frame_that_opens_the_pause_is_presented_with_the_field_and_grabbed_without_the_hud) {
    game g;
    g.start_play(0);
    g.frame();
    g.backend().press_key(space);
    g.clear_logs();
    const int frames = g.backend().frames();
    g.frame();
    ASSERT_EQ(game_state, 3);
    EXPECT_EQ(g.backend().frames(), frames + 1);
    bool bubble_drawn = false, score_drawn = false, goal_drawn = false;
    for (const auto &d : g.draws()) {
        bubble_drawn |= d.op == "image" && d.image == sprites.id && d.frame == 0;
        score_drawn |= d.op == "text" && d.text.rfind("Score: ", 0) == 0;
        goal_drawn |= d.op == "text" && d.text.rfind("Goal x", 0) == 0;
    }
    EXPECT_TRUE(bubble_drawn) << "the pausing frame is a play frame";
    // The heads-up display that follows the trigger already sees the pause state: top line only.
    EXPECT_TRUE(score_drawn);
    EXPECT_FALSE(goal_drawn);
    // The grabbed field has no heads-up display: where the score is drawn it shows the background.
    int differing = 0;
    for (int y = 2; y < 24; ++y)
        for (int x = 2; x < 100; ++x) {
            const std::uint32_t grabbed = platform::image_pixel(pause_image, 0, x, y) & 0xFFFFFF;
            const std::uint32_t background = platform::image_pixel(background_image, 0, x, y) & 0xFFFFFF;
            differing += grabbed != background;
        }
    EXPECT_EQ(differing, 0);
}

TEST(frame_loop, the_pause_flushes_an_escape_pressed_in_the_same_frame) {
    // The pause trigger runs before the exit test and flushes the keys when it opens the pause.
    game g;
    g.start_play(0);
    g.backend().press_key(space);
    g.backend().press_key(escape);
    EXPECT_TRUE(g.frame());
    EXPECT_EQ(game_state, 3);
}

TEST(frame_loop, joystick_nudges_the_pointer_only_at_full_deflection) {
    struct {
        float x, y;
        int dx, dy;
    } cases[] = {
        {0.99f, 0.0f, 0, 0},  {-0.99f, -0.99f, 0, 0}, {1.0f, 0.0f, 6, 0},
        {-1.0f, 0.0f, -6, 0}, {0.0f, -1.0f, 0, -6},   {1.0f, 1.0f, 6, 6},
    };
    for (auto [ax, ay, dx, dy] : cases) {
        SCOPED_TRACE(testing::Message() << ax << "," << ay);
        game g;
        g.backend().move(300, 300);
        g.backend().joy_axis(0, ax);
        g.backend().joy_axis(1, ay);
        g.frame();
        EXPECT_EQ(mouse_x(), 300 + dx);
        EXPECT_EQ(mouse_y(), 300 + dy);
    }
}

TEST(frame_loop, inactive_window_pauses_and_resumes_only_the_music) {
    game g;
    g.start_play(0);
    g.frame();
    const channel music = music_channel;
    g.backend().make_inactive(50);
    g.clear_logs();
    const int frames = g.backend().frames();
    g.frame();
    EXPECT_EQ(g.backend().frames(), frames + 1) << "nothing is drawn while inactive";
    EXPECT_TRUE(channel_op(g, "pause", music.id));
    EXPECT_TRUE(channel_op(g, "resume", music.id));
    int ops_on_other_channels = 0;
    for (const auto &r : g.sounds()) ops_on_other_channels += (r.op == "pause" && r.channel != music.id);
    EXPECT_EQ(ops_on_other_channels, 0);
}

TEST(shutdown, waits_half_a_second_only_while_music_plays) {
    struct {
        bool music_on;
        double wait;
    } cases[] = {{true, 500}, {false, 0}};
    for (auto [music_on, wait] : cases) {
        SCOPED_TRACE(music_on);
        game g;
        g.frame();
        if (!music_on) stop_channel(music_channel);
        const double before = g.backend().clock_ms();
        shutdown();
        EXPECT_DOUBLE_EQ(g.backend().clock_ms() - before, wait);
    }
}
