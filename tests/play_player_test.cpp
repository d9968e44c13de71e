// The player's cursor: confining the pointer, turning in "Saltburst!", the sword's thrust in
// "Bladeburst!", the tint pulse and how the cursor is drawn.
#include "play_scene.h"

namespace {

constexpr int left_ctrl = 162;
constexpr int left_alt = 164;

}  // namespace

TEST(play_player, pointer_is_confined_to_the_play_area_and_the_system_pointer_follows) {
    struct {
        int mini, x, y;
        int want_x, want_y;
    } cases[] = {
        {0, 99, 200, 100, 200},  {0, 100, 200, 100, 200}, {0, 541, 200, 540, 200}, {0, 540, 200, 540, 200},
        {0, 300, 401, 300, 400}, {0, 300, 400, 300, 400}, {0, 300, 119, 300, 120}, {0, 300, 120, 300, 120},
        {1, 300, 100, 300, 120}, {2, 300, 100, 300, 100}, {2, 300, 59, 300, 60},   {2, 300, 60, 300, 60},
        {0, 20, 10, 100, 120},   {2, 600, 470, 540, 400},
    };
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << "mini " << c.mini << " at " << c.x << "," << c.y);
        scene s(c.mini);
        s.g.backend().move(c.x, c.y);
        s.g.frame();
        EXPECT_EQ(s.player().x, static_cast<float>(c.want_x));
        EXPECT_EQ(s.player().y, static_cast<float>(c.want_y));
        EXPECT_EQ(mouse_x(), c.want_x);
        EXPECT_EQ(mouse_y(), c.want_y);
    }
}

TEST(play_player, saltburst_buttons_turn_the_cursor_and_the_overshoot_is_dropped) {
    enum input { mouse_left, mouse_right, ctrl, alt, joy0, joy1, joy6, joy7, both_mouse };
    struct {
        float start;
        input held;
        int frames;
        float want;
    } cases[] = {
        {0, mouse_left, 1, 359},  {0, mouse_left, 2, 355},    {2, mouse_left, 1, 359},
        {358, mouse_right, 1, 0}, {355, mouse_right, 1, 359}, {10, both_mouse, 5, 10},
        {10, ctrl, 1, 6},         {10, alt, 1, 14},           {10, joy0, 1, 6},
        {10, joy1, 1, 14},        {10, joy6, 2, 2},           {10, joy7, 1, 14},
        {4, mouse_left, 1, 0},    {359, mouse_left, 1, 355},
    };
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.start << " input " << c.held);
        scene s(0);
        s.player().rotation = c.start;
        auto &b = s.g.backend();
        switch (c.held) {
            case mouse_left:
                b.mouse_button(1, true);
                break;
            case mouse_right:
                b.mouse_button(2, true);
                break;
            case ctrl:
                b.key(left_ctrl, true);
                break;
            case alt:
                b.key(left_alt, true);
                break;
            case joy0:
                b.joy_button(0, true);
                break;
            case joy1:
                b.joy_button(1, true);
                break;
            case joy6:
                b.joy_button(6, true);
                break;
            case joy7:
                b.joy_button(7, true);
                break;
            case both_mouse:
                b.mouse_button(1, true);
                b.mouse_button(2, true);
                break;
        }
        s.g.frames(c.frames);
        EXPECT_EQ(s.player().rotation, c.want);
    }
}

TEST(play_player, only_saltburst_reads_the_turning_buttons) {
    for (int mini : {1, 2}) {
        SCOPED_TRACE(mini);
        scene s(mini);
        s.player().rotation = mini == 1 ? 37.5f : 0.0f;
        s.g.backend().mouse_button(2, true);
        s.g.backend().key(left_alt, true);
        s.g.frames(3);
        EXPECT_EQ(s.player().rotation, mini == 1 ? 37.5f : 0.0f);
    }
}

TEST(play_player, a_click_thrusts_the_sword_for_ten_frames_and_jhit_clears_on_the_eleventh) {
    scene s(2);
    s.player().jhit = 1;
    s.g.backend().click(1);
    for (int i = 1; i <= 10; ++i) {
        s.g.frame();
        EXPECT_EQ(s.player().jab, static_cast<float>(-20 + 2 * i)) << "frame " << i;
        EXPECT_EQ(s.player().jhit, 1) << "frame " << i;
    }
    s.g.frame();
    EXPECT_EQ(s.player().jab, 0.0f);
    EXPECT_EQ(s.player().jhit, 0);
}

TEST(play_player, clicks_during_a_thrust_wait_for_rest_and_give_one_more_thrust) {
    scene s(2);
    s.g.backend().click(1);
    s.g.frame();
    s.g.backend().click(1);
    s.g.backend().click(1);
    s.g.frames(9);
    ASSERT_EQ(s.player().jab, 0.0f);  // the clicks were not read while thrusting
    s.player().jhit = 1;
    s.g.frame();
    EXPECT_EQ(s.player().jab, -18.0f);
    EXPECT_EQ(s.player().jhit, 1) << "a thrust that starts at rest does not clear jhit";
    s.g.frames(9);
    s.g.frame();
    EXPECT_EQ(s.player().jab, 0.0f) << "both waiting clicks gave a single thrust";
    EXPECT_EQ(s.player().jhit, 0);
}

TEST(play_player, joystick_and_ctrl_restart_a_thrust_in_progress) {
    for (bool joystick : {true, false}) {
        SCOPED_TRACE(joystick ? "joystick button 0" : "left ctrl");
        scene s(2);
        s.g.backend().click(1);
        s.g.frames(4);
        ASSERT_EQ(s.player().jab, -12.0f);
        s.player().jhit = 1;
        if (joystick)
            s.g.backend().joy_press(0);
        else
            s.g.backend().press_key(left_ctrl);
        s.g.frame();
        EXPECT_EQ(s.player().jab, -18.0f);
        EXPECT_EQ(s.player().jhit, 1);
    }
}

TEST(play_player, tint_pulse_runs_down_and_up_with_a_period_of_102_frames) {
    scene s(0);
    struct {
        int frame;
        int ctr, stp;
    } checkpoints[] = {{1, 250, -5},  {2, 245, -5},   {50, 5, -5},    {51, 0, 5}, {52, 5, 5},
                       {101, 250, 5}, {102, 255, -5}, {103, 250, -5}, {153, 0, 5}};
    int done = 0;
    for (auto c : checkpoints) {
        s.g.frames(c.frame - done);
        done = c.frame;
        EXPECT_EQ(s.player().flash_ctr, c.ctr) << "frame " << c.frame;
        EXPECT_EQ(s.player().flash_stp, c.stp) << "frame " << c.frame;
    }
}

TEST(play_player, reset_keeps_the_cursor_and_restarts_the_pulse) {
    scene s(0);
    s.player().rotation = 123;
    s.player().frame = 6;
    s.player().flash_ctr = 40;
    s.player().flash_stp = 5;
    player_tag::reset();
    EXPECT_EQ(s.player().rotation, 123.0f);
    EXPECT_EQ(s.player().frame, 6);
    EXPECT_EQ(s.player().flash_ctr, 255);
    EXPECT_EQ(s.player().flash_stp, -5);
}

TEST(play_player, cursor_is_drawn_as_the_target_item_or_the_sword) {
    struct {
        int mini;
        float rotation, jab;
        image *img;
        int frame;
        float dx, sx;
        int r;
    } cases[] = {
        {0, 40, 0, &sprites, 5, 0, 0.6f, 250},
        {1, 40, 0, &sprites, 5, 0, 0.6f, 250},
        {2, 0, -10, &sword_image, 0, -8, 0.8f, 255},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.mini);
        scene s(c.mini);
        s.cursor(300, 200, c.rotation);
        s.player().frame = 5;
        s.player().jab = c.jab;
        target_set = 1;
        s.g.frame();
        auto drawn = s.draws_of(*c.img, c.frame);
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0].x, 300 + c.dx);
        EXPECT_EQ(drawn[0].y, 200 + c.dx);
        EXPECT_EQ(drawn[0].blend, 1);
        EXPECT_EQ(drawn[0].rotation, c.rotation);
        EXPECT_FLOAT_EQ(drawn[0].sx, c.sx);
        EXPECT_FLOAT_EQ(drawn[0].sy, c.sx);
        EXPECT_EQ(drawn[0].r, c.r);
        EXPECT_EQ(drawn[0].g, c.mini == 2 ? 255 : 30);
        EXPECT_EQ(drawn[0].b, c.mini == 2 ? 255 : 30);
        EXPECT_EQ(drawn[0].alpha, 1.0f);
    }
}
