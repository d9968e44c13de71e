// The game-over screen: the delay, the prompt, the inputs that leave and those that are discarded.
#include "harness.h"

namespace {

game at_game_over() {
    game g;
    g.start_play(0);
    stop_channel(music_channel);
    game_state = 5;
    over_delay = 200;
    return g;
}

bool prompt_drawn(game &g) {
    for (const auto &d : g.draws())
        if (d.op == "text" && d.text == "Click Mouse or Joy Button") return true;
    return false;
}

}  // namespace

TEST(game_over, prompt_appears_on_the_201st_frame) {
    game g = at_game_over();
    for (int f = 1; f <= 200; ++f) {
        g.clear_logs();
        g.frame();
        ASSERT_FALSE(prompt_drawn(g)) << "frame " << f;
    }
    EXPECT_EQ(over_delay, 0);
    g.clear_logs();
    g.frame();
    EXPECT_TRUE(prompt_drawn(g));
}

TEST(game_over, clicks_during_the_delay_are_discarded_but_joystick_presses_wait) {
    struct {
        const char *input;
        int leaves_on_first_prompt_frame;
    } cases[] = {{"left", 0}, {"right", 0}, {"joy0", 1}};
    for (auto [input, leaves] : cases) {
        SCOPED_TRACE(input);
        game g = at_game_over();
        g.frames(150);
        const std::string what = input;
        if (what == "left") g.backend().click(1);
        if (what == "right") g.backend().click(2);
        if (what == "joy0") g.backend().joy_press(0);
        g.frames(50);
        g.frame();
        EXPECT_EQ(game_state, leaves ? 4 : 5);
    }
}

TEST(game_over, a_click_after_the_delay_returns_to_the_title_menu) {
    for (int button : {1, 2}) {
        SCOPED_TRACE(button);
        game g = at_game_over();
        g.frames(200);
        g.backend().move(100, 100);
        g.backend().click(button);
        g.clear_logs();
        g.frame();
        EXPECT_EQ(game_state, 4);
        EXPECT_EQ(mouse_y(), 265);
        int select = 0, intro = 0;
        for (const auto &r : g.sounds()) {
            select += r.op == "cue" && r.sound == "data\\rapierselect.ogg";
            intro += r.op == "cue" && r.sound == "data\\sb_intro.ogg";
        }
        EXPECT_EQ(select, 1);
        EXPECT_EQ(intro, 1);
    }
}

TEST(game_over, titles_and_their_shadows_sit_where_drawn) {
    game g = at_game_over();
    g.frames(200);
    g.clear_logs();
    g.frame();
    struct {
        const char *text;
        float shadow_y, y;
    } cases[] = {{"You Are Marooned!", 102, 100},
                 {"- GAME OVER -", 188, 192},
                 {"Click Mouse or Joy Button", 288, 292}};
    for (auto [text, shadow_y, y] : cases) {
        SCOPED_TRACE(text);
        std::vector<platform::draw_record> drawn;
        for (const auto &d : g.draws())
            if (d.op == "text" && d.text == text) drawn.push_back(d);
        ASSERT_EQ(drawn.size(), 2u);
        const int w = text_width(text);
        EXPECT_EQ(drawn[0].x, 324 - w / 2);
        EXPECT_EQ(drawn[0].y, shadow_y);
        EXPECT_EQ(drawn[0].r, 20);
        EXPECT_EQ(drawn[1].x, 320 - w / 2);
        EXPECT_EQ(drawn[1].y, y);
        EXPECT_EQ(drawn[1].b, 20);
    }
}
