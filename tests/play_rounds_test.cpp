// A game above the single bubble: the spawn rhythm, the freeze, rounds, the best score, the effects of a
// pop or a landing, and starting a game.
#include <vector>

#include "play_scene.h"

namespace {

// The frames (counted from 1) in which a wave came, over the given number of frames from now.
std::vector<int> wave_frames(scene &s, int frames) {
    std::vector<int> out;
    for (int i = 1; i <= frames; ++i) {
        s.g.frame();
        if (spawn_timer == 0) out.push_back(i);
        s.player().marooned = 0;  // landings must not end the game while the rhythm is watched
    }
    return out;
}

}  // namespace

TEST(play_rounds, waves_come_at_once_then_every_interval_of_the_mini_game) {
    struct {
        int mini;
        int round;              // rounds completed before the first frame
        std::vector<int> want;  // in the first 330 frames
    } cases[] = {
        {0, 0, {1, 161, 321}},
        {0, 1, {1, 151, 301}},
        {0, 10, {1, 61, 121, 181, 241, 301}},
        {0, 14, {1, 61, 121, 181, 241, 301}},
        {1, 0, {1, 41, 81, 121, 161, 201, 241, 281, 321}},
        {1, 5, {1, 41, 81, 121, 161, 201, 241, 281, 321}},
        {2, 0, {1, 101, 201, 301}},
        {2, 5, {1, 101, 201, 301}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "mini " << c.mini << " after " << c.round << " rounds");
        scene s(c.mini);
        for (int r = 0; r < c.round; ++r) {
            s.player().goal = 0;
            s.g.frame();
        }
        // As after reset, but with the rounds' intervals: the first play frame brings a wave.
        bubble_list.clear();
        s.player().goal = 1000;
        spawn_timer = 160;
        EXPECT_EQ(wave_frames(s, 330), c.want);
    }
}

TEST(play_rounds, interval_of_saltburst_shrinks_by_ten_per_round_down_to_60) {
    scene s(0);
    std::vector<int> got;
    for (int r = 0; r < 12; ++r) {
        s.player().goal = 0;
        s.g.frame();
        got.push_back(spawn_interval);
    }
    EXPECT_EQ(got, (std::vector<int>{150, 140, 130, 120, 110, 100, 90, 80, 70, 60, 60, 60}));
}

TEST(play_rounds, a_stopwatch_freezes_the_field_and_holds_the_spawn_timer) {
    scene s(0);
    s.cursor(300, 200, 0);
    bubble_tag &before = s.bubble(5, 150, 100, 0, 1, 10, 0.5f);
    target_set = 1;
    s.player().frame = 9;
    s.bubble(9, 300, 200, 0);
    bubble_tag &after = s.bubble(5, 450, 100, 0, 1, 10, 0.5f);
    spawn_timer = 20;
    s.g.frame();
    EXPECT_EQ(freeze_timer, 100);
    EXPECT_EQ(spawn_timer, 21);
    EXPECT_EQ(before.y, 101.0f) << "updated before the pop";
    EXPECT_EQ(after.y, 100.0f) << "updated after the pop";
    EXPECT_EQ(after.xoffs, 10.0f);

    s.g.frames(99);
    EXPECT_EQ(freeze_timer, 1);
    EXPECT_EQ(spawn_timer, 21);
    EXPECT_EQ(after.y, 100.0f);
    EXPECT_EQ(after.xoffs, 10.0f);
    EXPECT_EQ(after.bubrot, 500) << "the ring keeps turning";

    s.g.frame();
    EXPECT_EQ(freeze_timer, 0);
    EXPECT_EQ(spawn_timer, 21);
    EXPECT_EQ(after.y, 101.0f);
    EXPECT_EQ(after.xoffs, 10.5f);
    s.g.frame();
    EXPECT_EQ(spawn_timer, 22);
}

TEST(play_rounds, a_second_stopwatch_sets_the_freeze_back_to_100) {
    scene s(0);
    s.cursor(300, 200, 0);
    freeze_timer = 40;
    s.pop(9);
    EXPECT_EQ(freeze_timer, 100);
}

TEST(play_rounds, frozen_bubbles_can_still_land) {
    scene s(0);
    s.player().score = 1000;
    freeze_timer = 10;
    s.bubble(6, 450, 361);
    s.g.frame();
    EXPECT_TRUE(bubble_list.empty());
    EXPECT_EQ(s.player().score, 750);
}

TEST(play_rounds, a_freeze_left_from_the_last_game_runs_on_and_the_first_wave_still_comes) {
    scene s(0);
    freeze_timer = 30;
    player_tag::reset();
    s.g.frame();
    EXPECT_EQ(bubble_list.size(), 1u);
    EXPECT_EQ(spawn_timer, 0);
    EXPECT_EQ(freeze_timer, 29);
    EXPECT_EQ(bubble_list.front().y, -100.0f) << "the new wave hangs frozen";
}

TEST(play_rounds, completing_a_round_pays_and_sets_the_next_goal) {
    struct {
        int round;
        int score, goal;
        const char *text;
    } cases[] = {
        {1, 100, 10, "Excellent! - Round: 2"},
        {2, 200, 20, "Excellent! - Round: 3"},
        {7, 700, 70, "Excellent! - Round: 8"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.round);
        scene s(0);
        s.player().round = c.round;
        s.player().goal = 0;
        s.g.frame();
        EXPECT_EQ(s.player().score, c.score);
        EXPECT_EQ(s.player().goal, c.goal);
        EXPECT_EQ(s.player().round, c.round + 1);
        EXPECT_EQ(message.msg, c.text);
        s.g.frame();
        EXPECT_EQ(s.player().round, c.round + 1) << "completes once";
    }
}

TEST(play_rounds, two_pops_past_zero_complete_the_round_once) {
    scene s(0);
    s.cursor(300, 200, 0);
    s.player().goal = 1;
    s.bubble(3, 300, 200);
    s.bubble(3, 300, 200);
    s.g.frame();
    EXPECT_TRUE(bubble_list.empty());
    EXPECT_EQ(s.player().round, 2);
    EXPECT_EQ(s.player().goal, 10);
    EXPECT_EQ(s.player().score, 2 + 2 + 100);
    EXPECT_EQ(chain_count, 2);
}

TEST(play_rounds, best_score_follows_the_score_with_one_message_per_game) {
    scene s(0);
    s.cursor(300, 200, 0);
    s.player().best_sc = 0;
    s.pop(3);
    EXPECT_EQ(s.player().best_sc, 2);
    EXPECT_EQ(s.player().new_bs, 1);
    EXPECT_EQ(message.msg, "New Best Score!");

    message.msg = "unchanged";
    s.pop(4);
    EXPECT_EQ(s.player().best_sc, 4);
    EXPECT_EQ(message.msg, "unchanged") << "once per game";

    // A new game shows it again once its score passes the best that stood when it began.
    player_tag::reset();
    spawn_timer = -1000000;
    s.player().goal = 1000;
    s.pop(3);
    s.pop(4);
    EXPECT_EQ(s.player().best_sc, 4);
    EXPECT_EQ(s.player().new_bs, 0);
    s.pop(5);
    EXPECT_EQ(s.player().best_sc, 6);
    EXPECT_EQ(s.player().new_bs, 1);
    EXPECT_EQ(message.msg, "New Best Score!");
}

TEST(play_rounds, the_round_message_wins_over_the_best_score_message) {
    scene s(0);
    s.cursor(300, 200, 0);
    s.player().best_sc = 0;
    s.player().goal = 1;
    s.pop(3);
    EXPECT_EQ(s.player().best_sc, 2) << "the round bonus reaches the best only in the next frame";
    EXPECT_EQ(message.msg, "Excellent! - Round: 2");
    s.g.frame();
    EXPECT_EQ(s.player().best_sc, 102);
}

TEST(play_rounds, the_round_bonus_of_the_frame_that_ends_the_game_reaches_the_best) {
    struct {
        int marooned;
        int state, best;
    } cases[] = {
        {2, 5, 1250},  // the game ends in this frame: no later frame would raise the best
        {0, 2, 1000},  // play goes on: the next frame raises it as usual
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.marooned);
        scene s(0);
        s.player().score = 1000;
        s.player().best_sc = 1000;
        s.player().new_bs = 1;
        s.player().round = 5;
        s.player().goal = 0;
        s.player().marooned = c.marooned;
        s.bubble(2, 450, 361);
        s.g.frame();
        EXPECT_EQ(game_state, c.state);
        EXPECT_EQ(s.player().score, 1250);
        EXPECT_EQ(s.player().best_sc, c.best);
        EXPECT_EQ(message.msg, "Excellent! - Round: 6") << "no best-score message";
    }
}

TEST(play_rounds, a_new_best_in_the_frame_that_ends_the_game_is_announced_as_usual) {
    scene s(0);
    s.player().score = 1000;
    s.player().best_sc = 700;
    s.player().marooned = 2;
    s.bubble(2, 450, 361);
    s.g.frame();
    EXPECT_EQ(game_state, 5);
    EXPECT_EQ(s.player().score, 750);
    EXPECT_EQ(s.player().best_sc, 750);
    EXPECT_EQ(s.player().new_bs, 1);
    EXPECT_EQ(message.msg, "New Best Score!");
}

TEST(play_rounds, a_pop_and_a_landing_leave_their_effect_sprites) {
    struct {
        int mini;
        bool pop;
        int kind;
        int rings, items, sparks, explosions;
        float sc;
    } cases[] = {
        {0, true, 3, 1, 1, 10, 0, 0.6f},  {1, true, 8, 1, 1, 10, 1, 0.6f},  {2, true, 9, 1, 1, 10, 0, 0.4f},
        {0, false, 3, 1, 0, 20, 0, 0.6f}, {2, false, 8, 1, 0, 20, 0, 0.4f},
    };
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << "mini " << c.mini << (c.pop ? " pop" : " landing"));
        scene s(c.mini);
        s.cursor(300, 361, 0);
        if (c.mini == 2) s.player().jab = c.pop ? -10.0f : 0.0f;
        if (!c.pop) s.cursor(100, 120);
        s.bubble(c.kind, 300, 361, 0, 1, 30);
        s.g.frame();
        ASSERT_TRUE(bubble_list.empty());
        int rings = 0, items = 0, sparks = 0, explosions = 0;
        for (const specialfx_tag &fx : fx_list) {
            if (fx.frame == 1) {
                ++sparks;
                EXPECT_GE(fx.speed, 2.0f);
                EXPECT_LT(fx.speed, 10.0f);
                EXPECT_FLOAT_EQ(fx.scale, c.sc - 0.04f);
                EXPECT_FLOAT_EQ(fx.alpha, 0.8f);
                continue;
            }
            // Everything else starts at the anchor, the wobble left out; characters and treasures have
            // already taken their first step toward the middle of the field.
            const bool homes = fx.frame >= 2 && fx.frame <= 7;
            EXPECT_EQ(fx.x, homes ? 292.0f : 300.0f);
            EXPECT_EQ(fx.y, homes ? 353.0f : 361.0f);
            EXPECT_EQ(fx.speed, 0.0f);
            if (fx.frame == 0) {
                ++rings;
                EXPECT_FLOAT_EQ(fx.scale, c.sc + 0.05f);
                EXPECT_FLOAT_EQ(fx.alpha, 0.98f);
            } else if (fx.frame == 10) {
                ++explosions;
            } else {
                ++items;
                EXPECT_EQ(fx.frame, c.kind);
                EXPECT_FLOAT_EQ(fx.scale, c.sc - 0.02f);
            }
        }
        EXPECT_EQ(rings, c.rings);
        EXPECT_EQ(items, c.items);
        EXPECT_EQ(sparks, c.sparks);
        EXPECT_EQ(explosions, c.explosions);
    }
}

TEST(play_rounds, reset_starts_a_game_of_the_current_mini_game_only) {
    scene s(2);
    s.bubble(3, 300, 100);
    specialfx_tag::Create(1, 2, 3, 4, 5, 6, 7, 8, 9, 0);
    s.player() = player_tag{};
    s.player().best_sc = 77;
    s.player().x = 12;
    s.player().jab = -6;
    s.player().jhit = 1;
    players[0].score = 55;
    players[0].round = 4;
    chain_kind = 3;
    chain_count = 2;
    message.new_msg("hello", 0);
    freeze_timer = 12;
    player_tag::reset();
    EXPECT_EQ(spawn_interval, 160);
    EXPECT_EQ(spawn_timer, 160);
    EXPECT_EQ(target_set, 0);
    EXPECT_EQ(chain_kind, 0);
    EXPECT_EQ(chain_count, 0);
    EXPECT_EQ(freeze_timer, 12);
    EXPECT_EQ(message.enable, 0);
    EXPECT_EQ(message.msg, "hello");
    EXPECT_TRUE(bubble_list.empty());
    EXPECT_TRUE(fx_list.empty());
    const player_tag &p = s.player();
    EXPECT_EQ(p.goal, 10);
    EXPECT_EQ(p.score, 0);
    EXPECT_EQ(p.round, 1);
    EXPECT_EQ(p.marooned, 0);
    EXPECT_EQ(p.new_bs, 0);
    EXPECT_EQ(p.best_sc, 77);
    EXPECT_EQ(p.x, 12.0f);
    EXPECT_EQ(p.jab, -6.0f);
    EXPECT_EQ(p.jhit, 1);
    EXPECT_EQ(players[0].score, 55);
    EXPECT_EQ(players[0].round, 4);
}
