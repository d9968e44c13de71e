// The title and pause menus: the picked row, the drawing of the rows, every row's action, the volume
// cycles, resuming and leaving a game.
#include "harness.h"

namespace {

constexpr int none = -1;

// The rows drawn in the last frame, in order, with the tint of each (the texts, not their shadows).
struct drawn_row {
    std::string text;
    int r, g, b;
};
std::vector<drawn_row> rows_drawn(game &g) {
    std::vector<drawn_row> rows;
    for (const auto &d : g.draws())
        if (d.op == "text" && d.y >= 250 && d.y <= 375 && !(d.r == 5 && d.g == 5 && d.b == 5))
            rows.push_back({d.text, d.r, d.g, d.b});
    return rows;
}

int highlighted_row(game &g) {
    const auto rows = rows_drawn(g);
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].b == 150) return static_cast<int>(i);
    return none;
}

int cues_of(game &g, const std::string &name) {
    int n = 0;
    for (const auto &r : g.sounds()) n += r.op == "cue" && r.sound == name;
    return n;
}

// Clicks at the pointer position y in the current menu and runs one frame.
void click_at(game &g, int y) {
    g.backend().move(320, y);
    g.backend().click(1);
    g.clear_logs();
    g.frame();
}

}  // namespace

TEST(menu, picked_row_follows_pointer_y) {
    struct {
        int y;
        int row;
    } cases[] = {
        {225, none}, {226, 0}, {250, 0}, {274, 0}, {275, 1}, {299, 1},
        {300, 2},    {349, 3}, {350, 4}, {375, 5}, {399, 5}, {400, none},
    };
    game g;
    for (auto [y, row] : cases) {
        SCOPED_TRACE(y);
        g.backend().move(400, y);
        g.clear_logs();
        g.frame();
        // Row 1 is red in the title menu even under the pointer.
        EXPECT_EQ(highlighted_row(g), row == 1 ? none : row);
    }
}

TEST(menu, rows_read_their_labels_and_values) {
    game g;
    g.frame();
    const auto rows = rows_drawn(g);
    ASSERT_EQ(rows.size(), 6u);
    const char *expected[] = {"Start New Game",     "Quit This Game",       "Mini Game: Saltburst!",
                              "Music Volume: 100%", "SoundFX Volume: 100%", "Quit Saltburst!"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(rows[i].text, expected[i]);
    EXPECT_EQ(rows[1].g, 0) << "row 1 is red in the title menu";
}

TEST(menu, start_new_game_resets_and_plays_the_play_track) {
    game g;
    players[0].score = 999;
    click_at(g, 260);
    EXPECT_EQ(game_state, 2);
    EXPECT_EQ(players[0].score, 0);
    EXPECT_EQ(players[0].goal, 10);
    EXPECT_EQ(cues_of(g, "data\\rapierselect.ogg"), 1);
    EXPECT_EQ(cues_of(g, "data\\sb_play.ogg"), 1);
}

TEST(menu, quit_this_game_in_the_title_menu_restarts_the_intro) {
    game g;
    const channel intro = music_channel;
    click_at(g, 280);
    EXPECT_EQ(game_state, 4);
    EXPECT_EQ(mouse_y(), 265);
    EXPECT_EQ(cues_of(g, "data\\rapierselect.ogg"), 1);
    EXPECT_EQ(cues_of(g, "data\\sb_intro.ogg"), 1);
    EXPECT_NE(music_channel.id, intro.id);
}

TEST(menu, mini_game_cycles_with_a_sound_each_click) {
    game g;
    for (int expected : {1, 2, 0, 1}) {
        click_at(g, 310);
        EXPECT_EQ(mini_game, expected);
        EXPECT_EQ(cues_of(g, "data\\rapierselect.ogg"), 1);
    }
}

TEST(menu, volume_steps_cycle_through_eleven_settings_summed_in_floats) {
    game g;
    // From 100%: Off, then 10% ... 100% again; the tenth click from Off sums to 1.0000001.
    click_at(g, 330);
    EXPECT_EQ(music_step, 0);
    EXPECT_EQ(music_volume, 0.0f);
    for (int i = 1; i <= 10; ++i) click_at(g, 330);
    EXPECT_EQ(music_step, 10);
    float sum = 0;
    for (int i = 0; i < 10; ++i) sum += 0.1f;
    EXPECT_EQ(music_volume, sum);
    EXPECT_NE(music_volume, 1.0f);
    EXPECT_EQ(cues_of(g, "data\\rapierselect.ogg"), 0) << "music clicks are silent";
}

TEST(menu, music_volume_applies_to_the_playing_track_at_once) {
    game g;
    click_at(g, 330);
    bool set = false;
    for (const auto &r : g.sounds())
        set |= r.op == "volume" && r.channel == music_channel.id && r.volume == 0.0f;
    EXPECT_TRUE(set);
}

TEST(menu, effects_volume_click_plays_the_select_sound_at_the_new_volume) {
    game g;
    click_at(g, 355);
    EXPECT_EQ(sfx_step, 0);
    ASSERT_EQ(cues_of(g, "data\\rapierselect.ogg"), 1);
    bool silent = false;
    for (const auto &r : g.sounds())
        silent |= r.op == "volume" && r.volume == 0.0f && r.channel != music_channel.id;
    EXPECT_TRUE(silent);
}

TEST(menu, quit_row_ends_the_program_after_the_frame) {
    game g;
    g.backend().move(320, 380);
    g.backend().click(1);
    EXPECT_FALSE(g.frame());
    EXPECT_EQ(quit_requested, 1);
}

TEST(menu, a_click_on_no_row_only_flushes) {
    game g;
    g.backend().press_key(65);
    click_at(g, 420);
    EXPECT_EQ(game_state, 4);
    EXPECT_TRUE(g.sounds().empty() || cues_of(g, "data\\rapierselect.ogg") == 0);
    EXPECT_EQ(key_hit(65), 0) << "keys flushed";
}

TEST(menu, joystick_button_zero_clicks_only_when_the_mouse_did_not) {
    game g;
    g.backend().move(320, 310);
    g.backend().joy_press(0);
    g.frame();
    EXPECT_EQ(mini_game, 1);
    g.backend().click(1);
    g.backend().joy_press(0);
    g.frame();
    EXPECT_EQ(mini_game, 2) << "one click, not two";
    EXPECT_EQ(joy_hit(0, 0), 1) << "the joystick press was not queried";
}

TEST(menu, every_entry_puts_the_pointer_on_the_first_row) {
    game g;
    EXPECT_EQ(mouse_x(), 320);
    EXPECT_EQ(mouse_y(), 265);
}

TEST(pause_menu, resume_row_goes_on_with_the_same_game_and_restarts_the_play_track) {
    game g;
    click_at(g, 260);
    g.frames(5);
    players[0].score = 42;
    g.backend().press_key(32);
    g.frame();
    ASSERT_EQ(game_state, 3);
    const auto bubbles = bubble_list.size();
    click_at(g, 260);
    EXPECT_EQ(game_state, 2);
    EXPECT_EQ(players[0].score, 42);
    EXPECT_EQ(bubble_list.size(), bubbles);
    EXPECT_EQ(cues_of(g, "data\\sb_play.ogg"), 1);
}

TEST(pause_menu, joystick_button_two_resumes_and_leaves_the_music_alone) {
    game g;
    click_at(g, 260);
    g.backend().press_key(32);
    g.frame();
    const channel intro = music_channel;
    g.backend().joy_press(2);
    g.clear_logs();
    g.frame();
    EXPECT_EQ(game_state, 2);
    EXPECT_EQ(music_channel.id, intro.id);
    EXPECT_EQ(cues_of(g, "data\\sb_play.ogg"), 0);
}

TEST(pause_menu, red_mini_game_row_does_nothing_and_quit_row_leaves_the_game) {
    game g;
    click_at(g, 260);
    g.backend().press_key(32);
    g.frame();
    click_at(g, 310);
    EXPECT_EQ(mini_game, 0);
    EXPECT_EQ(game_state, 3);
    const auto rows = rows_drawn(g);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].text, "Resume This Game");
    EXPECT_EQ(rows[2].g, 0) << "row 2 is red in the pause menu";
    click_at(g, 280);
    EXPECT_EQ(game_state, 4);
    EXPECT_EQ(players[0].goal, 10) << "leaving does not reset the game";
}

TEST(pause_menu, leaving_keeps_points_of_the_last_play_frame_as_the_best) {
    game g;
    click_at(g, 260);
    g.backend().press_key(32);
    g.frame();
    players[0].score = 700;
    players[0].best_sc = 500;
    click_at(g, 280);
    EXPECT_EQ(players[0].best_sc, 700);
}
