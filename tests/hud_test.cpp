// The heads-up display: where its texts and icons are drawn on each screen, for short and long numbers.
#include "harness.h"

namespace {

std::vector<platform::draw_record> texts_starting(game &g, const std::string &prefix) {
    std::vector<platform::draw_record> found;
    for (const auto &d : g.draws())
        if (d.op == "text" && d.text.rfind(prefix, 0) == 0) found.push_back(d);
    return found;
}

std::vector<platform::draw_record> sprite_draws_at_y(game &g, float y) {
    std::vector<platform::draw_record> found;
    for (const auto &d : g.draws())
        if (d.op == "image" && d.image == sprites.id && d.y == y) found.push_back(d);
    return found;
}

}  // namespace

TEST(hud, top_line_keeps_its_alignment_for_any_length_of_number) {
    for (int value : {0, 7, 123456789, -45}) {
        SCOPED_TRACE(value);
        game g;
        players[0].score = value;
        players[0].best_sc = value;
        players[0].round = value;
        g.clear_logs();
        g.frame();
        const auto score = texts_starting(g, "Score: ");
        const auto best = texts_starting(g, "Best: ");
        const auto round = texts_starting(g, "Round: ");
        ASSERT_EQ(score.size(), 2u);
        ASSERT_EQ(best.size(), 2u);
        ASSERT_EQ(round.size(), 2u);
        EXPECT_EQ(score[1].text, "Score: " + std::to_string(value));
        EXPECT_EQ(score[0].x, 4);
        EXPECT_EQ(score[1].x, 0);
        const int bw = text_width(best[1].text);
        EXPECT_EQ(best[0].x, 322 - bw / 2);
        EXPECT_EQ(best[1].x, 318 - bw / 2);
        const int rw = text_width(round[1].text);
        EXPECT_EQ(round[0].x, 636 - rw);
        EXPECT_EQ(round[1].x, 632 - rw);
        EXPECT_EQ(round[1].y, 0);
        EXPECT_EQ(round[0].r, 80);
    }
}

TEST(hud, goal_chain_and_marooned_only_outside_the_menus) {
    struct {
        int state;
        bool lower_parts;
    } cases[] = {{2, true}, {3, false}, {4, false}, {5, true}};
    for (auto [state, lower] : cases) {
        SCOPED_TRACE(state);
        game g;
        g.start_play(0);
        game_state = state;
        over_delay = 200;
        chain_kind = 3;
        chain_count = 2;
        players[0].marooned = 1;
        lost_kinds = {7, 0, 0};
        g.clear_logs();
        draw_hud();
        EXPECT_EQ(texts_starting(g, "Goal x").size(), lower ? 2u : 0u);
        EXPECT_EQ(sprite_draws_at_y(g, 444).size(), lower ? 2u : 0u);
        EXPECT_EQ(sprite_draws_at_y(g, 365).size(), lower ? 1u : 0u);
    }
}

TEST(hud, goal_is_right_aligned_at_632) {
    for (int goal : {10, 1234567}) {
        game g;
        g.start_play(0);
        players[0].goal = goal;
        g.clear_logs();
        draw_hud();
        const auto drawn = texts_starting(g, "Goal x");
        ASSERT_EQ(drawn.size(), 2u);
        const int w = text_width(drawn[1].text);
        EXPECT_EQ(drawn[0].x, 636 - w);
        EXPECT_EQ(drawn[0].y, 454);
        EXPECT_EQ(drawn[1].x, 632 - w);
        EXPECT_EQ(drawn[1].y, 450);
    }
}

TEST(hud, chain_icons_step_forty_pixels_with_shadows) {
    struct {
        int kind, count;
        int icons;
    } cases[] = {{0, 3, 0}, {5, 0, 0}, {5, 1, 1}, {2, 4, 4}};
    for (auto [kind, count, icons] : cases) {
        SCOPED_TRACE(testing::Message() << kind << "x" << count);
        game g;
        g.start_play(0);
        chain_kind = kind;
        chain_count = count;
        g.clear_logs();
        draw_hud();
        const auto shadows = sprite_draws_at_y(g, 448);
        const auto shown = sprite_draws_at_y(g, 444);
        ASSERT_EQ(shown.size(), static_cast<std::size_t>(icons));
        ASSERT_EQ(shadows.size(), static_cast<std::size_t>(icons));
        for (int i = 0; i < icons; ++i) {
            EXPECT_EQ(shown[i].x, 20 + 40 * i);
            EXPECT_EQ(shadows[i].x, 24 + 40 * i);
            EXPECT_EQ(shown[i].frame, kind);
            EXPECT_FLOAT_EQ(shown[i].sx, 0.4f);
            EXPECT_EQ(shadows[i].r, 20);
        }
    }
}

TEST(hud, marooned_row_starts_further_left_for_each_character) {
    struct {
        int marooned;
        std::vector<float> xs;
    } cases[] = {{1, {340}}, {2, {276, 376}}, {3, {212, 312, 412}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.marooned);
        game g;
        g.start_play(0);
        game_state = 5;
        over_delay = 10;
        players[0].marooned = c.marooned;
        lost_kinds = {2, 7, 4};
        g.clear_logs();
        draw_hud();
        const auto drawn = sprite_draws_at_y(g, 365);
        ASSERT_EQ(drawn.size(), c.xs.size());
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            EXPECT_EQ(drawn[i].x, c.xs[i]);
            EXPECT_EQ(drawn[i].frame, lost_kinds[i]);
            EXPECT_FLOAT_EQ(drawn[i].sx, 0.6f);
        }
    }
}

TEST(hud, top_line_follows_the_selected_mini_game) {
    game g;
    players[2].score = 31337;
    mini_game = 2;
    g.clear_logs();
    g.frame();
    ASSERT_EQ(texts_starting(g, "Score: 31337").size(), 2u);
}
