// Bubbles: waves, falling and wobbling, the pop test of each mini game, popping, landing, marooning and
// penalties, and how a bubble is drawn.
#include "play_scene.h"

TEST(play_bubble, waves_draw_their_values_within_the_rules) {
    for (int mini : {0, 1}) {
        SCOPED_TRACE(mini);
        scene s(mini);
        bool kinds[10] = {}, spins[2] = {}, left = false, right = false;
        for (int i = 0; i < 400; ++i) {
            bubble_list.clear();
            bubble_tag::Create();
            ASSERT_EQ(bubble_list.size(), 1u);
            const bubble_tag &b = bubble_list.front();
            ASSERT_GE(b.frame, 2);
            ASSERT_LE(b.frame, 9);
            ASSERT_TRUE(b.roton == 0 || b.roton == 1);
            ASSERT_GE(b.x, 120.0f);
            ASSERT_LT(b.x, 504.0f);
            ASSERT_GE(b.rotation, 0.0f);
            ASSERT_LT(b.rotation, 360.0f);
            ASSERT_EQ(b.y, -100.0f);
            ASSERT_EQ(b.xoffs, 0.0f);
            ASSERT_EQ(b.bubrot, 0);
            ASSERT_TRUE(b.xstp == 0.5f || b.xstp == -0.5f);
            kinds[b.frame] = true;
            spins[b.roton] = true;
            (b.xstp < 0 ? left : right) = true;
        }
        for (int k = 2; k <= 9; ++k) EXPECT_TRUE(kinds[k]) << "kind " << k << " never came";
        EXPECT_TRUE(spins[0] && spins[1]);
        EXPECT_TRUE(left && right);
    }
}

TEST(play_bubble, bladeburst_waves_are_rows_of_five_eighty_pixels_apart) {
    scene s(2);
    for (int i = 0; i < 200; ++i) {
        bubble_list.clear();
        bubble_tag::Create();
        ASSERT_EQ(bubble_list.size(), 5u);
        const float start = bubble_list.front().x;
        ASSERT_EQ(start, static_cast<float>(trunc_int(start))) << "the row starts at a whole pixel";
        ASSERT_GE(start, 120.0f);
        ASSERT_LE(start, 199.0f);
        float want = start;
        for (const bubble_tag &b : bubble_list) {
            EXPECT_EQ(b.x, want);
            EXPECT_EQ(b.y, -100.0f);
            want += 80.0f;
        }
    }
}

TEST(play_bubble, a_bubble_falls_461_frames_or_231_in_dizzyburst_then_lands) {
    struct {
        int mini, frames;
        float bottom;
    } cases[] = {{0, 461, 361}, {1, 231, 362}, {2, 461, 361}};
    for (auto c : cases) {
        SCOPED_TRACE(c.mini);
        scene s(c.mini);
        const bubble_tag *b = &s.bubble(5, 300, -100, 0, 1);
        s.g.frames(c.frames - 1);
        ASSERT_TRUE(s.alive(b));
        EXPECT_LE(b->y, 360.0f);
        s.g.frame();
        ASSERT_TRUE(s.alive(b));
        EXPECT_EQ(b->y, c.bottom);
        s.g.frame();
        EXPECT_FALSE(s.alive(b));
    }
}

TEST(play_bubble, lands_only_once_above_360_and_a_pop_wins_over_the_landing) {
    struct {
        float y;
        bool on_cursor;
        bool gone, penalised;
    } cases[] = {
        {360, false, false, false},
        {361, false, true, true},
        {361, true, true, false},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.y);
        scene s(0);
        s.cursor(300, 370, 0);
        s.player().score = 1000;
        const bubble_tag *b = &s.bubble(5, c.on_cursor ? 300 : 450, c.y);
        s.g.frame();
        EXPECT_EQ(s.alive(b), !c.gone);
        if (!c.gone) {
            EXPECT_EQ(b->y, c.y + 1);
        }
        EXPECT_EQ(s.player().score, c.penalised ? 500 : c.gone ? 1002 : 1000);
        EXPECT_EQ(message.enable, c.penalised ? 1 : 0);
    }
}

TEST(play_bubble, pop_box_and_angle_window_of_saltburst) {
    // Bubble anchored at (300, 200); the cursor is placed relative to it.
    struct {
        const char *what;
        int px, py;
        float player_rotation, bubble_rotation, xoffs;
        int cursor_kind;
        bool pops;
    } cases[] = {
        {"on the anchor", 300, 200, 50, 50, 0, 3, true},
        {"25 right", 325, 200, 50, 50, 0, 3, false},
        {"24 right", 324, 200, 50, 50, 0, 3, true},
        {"25 left", 275, 200, 50, 50, 0, 3, false},
        {"24 left", 276, 200, 50, 50, 0, 3, true},
        {"25 below", 300, 225, 50, 50, 0, 3, false},
        {"24 below", 300, 224, 50, 50, 0, 3, true},
        {"25 above", 300, 175, 50, 50, 0, 3, false},
        {"24 above", 300, 176, 50, 50, 0, 3, true},
        {"wobble left out: anchor", 300, 200, 50, 50, 40, 3, true},
        {"wobble left out: drawn centre", 340, 200, 50, 50, 40, 3, false},
        {"358 vs 344", 300, 200, 344, 358, 0, 3, true},
        {"358 vs 343.9 truncated", 300, 200, 343.9f, 358, 0, 3, false},
        {"358 vs 359", 300, 200, 359, 358, 0, 3, true},
        {"3.5 vs 0", 300, 200, 0, 3.5f, 0, 3, true},
        {"3.5 vs 18", 300, 200, 18, 3.5f, 0, 3, true},
        {"3.5 vs 19", 300, 200, 19, 3.5f, 0, 3, false},
        {"3.5 vs 359: no wrap", 300, 200, 359, 3.5f, 0, 3, false},
        {"358 vs 1: no wrap", 300, 200, 1, 358, 0, 3, false},
        {"another kind", 300, 200, 50, 50, 0, 4, false},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.what);
        scene s(0);
        s.cursor(c.px, c.py, c.player_rotation);
        const bubble_tag *b = &s.bubble(3, 300, 200, c.bubble_rotation, 1, c.xoffs);
        target_set = 1;  // the target was picked earlier: the cursor shows cursor_kind
        s.player().frame = c.cursor_kind;
        s.g.frame();
        EXPECT_EQ(!s.alive(b), c.pops);
    }
}

TEST(play_bubble, dizzyburst_cursor_takes_the_target_angle_one_frame_late) {
    scene s(1);
    s.cursor(300, 200, 0);
    const bubble_tag *b = &s.bubble(6, 300, 200, 100.5f);
    s.g.frame();
    ASSERT_TRUE(s.alive(b)) << "judged against the angle from before the selection";
    EXPECT_EQ(s.player().rotation, 100.5f);
    EXPECT_EQ(s.player().frame, 6);
    s.cursor(300, 202);  // the bubble fell 2 pixels
    s.g.frame();
    EXPECT_FALSE(s.alive(b));
}

TEST(play_bubble, pop_box_of_bladeburst_is_shifted_by_the_wobble) {
    // Bubble anchored at (300, 200) with xoffs +40: the box is x strictly within (180, 340).
    struct {
        const char *what;
        int px, py;
        float jab;
        int jhit, roton;
        bool pops;
    } cases[] = {
        {"inside", 260, 200, -10, 0, 1, true},
        {"x - 120", 180, 200, -10, 0, 1, false},
        {"x - 119", 181, 200, -10, 0, 1, true},
        {"x + 40", 340, 200, -10, 0, 1, false},
        {"x + 39", 339, 200, -10, 0, 1, true},
        {"y + 80", 260, 280, -10, 0, 1, false},
        {"y + 79", 260, 279, -10, 0, 1, true},
        {"y - 80", 260, 120, -10, 0, 1, false},
        {"y - 79", 260, 121, -10, 0, 1, true},
        {"at rest", 260, 200, 0, 0, 1, false},
        {"this jab already hit", 260, 200, -10, 1, 1, false},
        {"not spinning", 260, 200, -10, 0, 0, false},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.what);
        scene s(2);
        s.cursor(c.px, c.py);
        s.player().jab = c.jab;
        s.player().jhit = c.jhit;
        const bubble_tag *b = &s.bubble(3, 300, 200, 0, c.roton, 40);
        s.g.frame();
        EXPECT_EQ(!s.alive(b), c.pops);
        EXPECT_EQ(s.player().jhit, c.pops || c.jhit ? 1 : 0);
    }
}

TEST(play_bubble, one_jab_pops_only_the_oldest_spinning_bubble_in_reach) {
    scene s(2);
    s.cursor(300, 200);
    s.player().jab = -10;
    const bubble_tag *still = &s.bubble(2, 300, 200, 0, 0);
    const bubble_tag *older = &s.bubble(3, 310, 200, 0, 1);
    const bubble_tag *newer = &s.bubble(4, 290, 200, 0, 1);
    s.g.frame();
    EXPECT_TRUE(s.alive(still));
    EXPECT_FALSE(s.alive(older));
    EXPECT_TRUE(s.alive(newer));
    s.g.frames(3);
    EXPECT_TRUE(s.alive(newer)) << "the rest of the jab pops nothing";
}

TEST(play_bubble, spinning_bladeburst_items_turn_a_degree_a_frame_and_keep_turning_in_a_freeze) {
    struct {
        int mini, roton;
        bool frozen;
        float want;
    } cases[] = {
        {2, 1, false, 13}, {2, 1, true, 13}, {2, 0, false, 10}, {0, 1, false, 10}, {1, 1, false, 10}};
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "mini " << c.mini << " roton " << c.roton << " frozen " << c.frozen);
        scene s(c.mini);
        bubble_tag &b = s.bubble(5, 450, 0, 10, c.roton);
        if (c.frozen) freeze_timer = 50;
        s.g.frames(3);
        EXPECT_EQ(b.rotation, c.want);
        EXPECT_EQ(b.bubrot, 15);
        EXPECT_EQ(b.y, c.frozen ? 0.0f : (c.mini == 1 ? 6.0f : 3.0f));
    }
}

TEST(play_bubble, wobble_swings_between_plus_and_minus_40_5) {
    scene s(0);
    bubble_tag &b = s.bubble(5, 300, -100, 0, 1, 0, 0.5f);
    float low = 0, high = 0;
    int turns = 0;
    float last_step = b.xstp;
    for (int i = 0; i < 420; ++i) {
        s.g.frame();
        low = std::min(low, b.xoffs);
        high = std::max(high, b.xoffs);
        if (b.xstp != last_step) ++turns;
        last_step = b.xstp;
    }
    EXPECT_EQ(high, 40.5f);
    EXPECT_EQ(low, -40.5f);
    EXPECT_EQ(turns, 3);  // at +40.5 after 81 frames, then every 162
}

TEST(play_bubble, a_landing_character_is_marooned) {
    for (int kind : {2, 3, 4, 7}) {
        SCOPED_TRACE(kind);
        scene s(0);
        s.player().score = 1000;
        s.bubble(kind, 450, 361);
        s.g.frame();
        EXPECT_EQ(s.player().marooned, 1);
        EXPECT_EQ(lost_kinds[0], kind);
        EXPECT_EQ(s.player().score, 750);
        EXPECT_EQ(message.msg, "Marooned! -250 pts");
        EXPECT_EQ(game_state, 2);
        EXPECT_EQ(target_set, 0);
    }
}

TEST(play_bubble, a_lost_treasure_keg_or_stopwatch_costs_a_penalty) {
    struct {
        int kind;
        const char *text;
        int score;
    } cases[] = {
        {5, "Booty Penalty -500 pts", 500},
        {6, "Rum Penalty -250 pts", 750},
        {8, "Keg Penalty -100 pts", 900},
        {9, "Time Penalty -100 pts", 900},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.kind);
        scene s(0);
        s.player().score = 1000;
        s.bubble(c.kind, 450, 361);
        s.g.frame();
        EXPECT_TRUE(bubble_list.empty());
        EXPECT_EQ(s.player().score, c.score);
        EXPECT_EQ(message.msg, c.text);
        EXPECT_EQ(s.player().marooned, 0);
        EXPECT_EQ(freeze_timer, 0) << "a lost stopwatch freezes nothing";
        EXPECT_EQ(keg_blast, 0);
    }
}

TEST(play_bubble, bladeburst_still_bubbles_land_safely) {
    // round 3: a safe character is worth 6
    struct {
        int kind, roton;
        int score, marooned;
        bool message;
    } cases[] = {
        {2, 0, 1006, 0, false}, {7, 0, 1006, 0, false}, {5, 0, 1000, 0, false}, {8, 0, 1000, 0, false},
        {9, 0, 1000, 0, false}, {3, 1, 750, 1, true},   {6, 1, 750, 0, true},
    };
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " roton " << c.roton);
        scene s(2);
        s.player().score = 1000;
        s.player().round = 3;
        s.bubble(c.kind, 450, 361, 0, c.roton);
        s.g.frame();
        EXPECT_TRUE(bubble_list.empty());
        EXPECT_EQ(s.player().score, c.score);
        EXPECT_EQ(s.player().marooned, c.marooned);
        EXPECT_EQ(message.enable, c.message ? 1 : 0);
    }
}

TEST(play_bubble, the_third_marooned_character_ends_the_game) {
    scene s(0);
    s.player().score = 1000;
    s.player().marooned = 2;
    lost_kinds = {2, 3, 0};
    s.bubble(7, 450, 361);
    s.g.frame();
    EXPECT_EQ(game_state, 5);
    EXPECT_EQ(over_delay, 200);
    EXPECT_EQ(s.player().marooned, 3);
    EXPECT_EQ(lost_kinds, (std::array<std::int32_t, 3>{2, 3, 7}));
    EXPECT_EQ(s.player().score, 750);
}

TEST(play_bubble, two_characters_landing_at_the_last_chance_both_count) {
    scene s(0);
    s.player().score = 1000;
    s.player().marooned = 2;
    s.bubble(2, 450, 361);
    s.bubble(4, 200, 361);
    const bubble_tag *after = &s.bubble(5, 300, 100);
    s.g.frame();
    EXPECT_EQ(game_state, 5);
    EXPECT_EQ(s.player().marooned, 3);
    EXPECT_EQ(lost_kinds[2], 4);
    EXPECT_EQ(s.player().score, 500);
    EXPECT_EQ(message.msg, "Marooned! -250 pts");
    ASSERT_TRUE(s.alive(after));
    EXPECT_EQ(after->y, 101.0f) << "the rest of the frame's bubbles are still updated";
}

TEST(play_bubble, score_is_held_at_zero_at_the_end_of_the_frame) {
    scene s(0);
    s.bubble(5, 450, 361);
    s.bubble(2, 200, 361);
    s.g.frame();
    EXPECT_EQ(s.player().score, 0);
    EXPECT_EQ(s.player().marooned, 1);
}

TEST(play_bubble, target_is_the_first_bubble_updated_after_a_pop_or_landing) {
    // Crewman A (the target), chest B, crewman C with the cursor on C: C pops, and with no bubble after
    // it the next target is the oldest, A.
    {
        scene s(0);
        s.cursor(300, 200, 20);
        const bubble_tag *a = &s.bubble(3, 150, 100, 20);
        s.bubble(5, 450, 100, 20);
        const bubble_tag *c = &s.bubble(3, 300, 200, 20);
        s.g.frame();
        EXPECT_FALSE(s.alive(c));
        EXPECT_EQ(target_set, 0);
        EXPECT_TRUE(s.alive(a));
        s.player().frame = 0;
        s.g.frame();
        EXPECT_EQ(target_set, 1);
        EXPECT_EQ(s.player().frame, 3);
    }
    {
        // A landing picks the bubble that follows it within the same frame.
        scene t(0);
        t.bubble(7, 450, 361);
        t.bubble(9, 200, 100);
        target_set = 1;
        t.g.frame();
        EXPECT_EQ(target_set, 1);
        EXPECT_EQ(t.player().frame, 9);
    }
}

TEST(play_bubble, bubble_is_drawn_as_item_ring_and_shine_at_its_wobbled_place) {
    struct {
        int mini;
        float sc;
    } cases[] = {{0, 0.6f}, {2, 0.4f}};
    for (auto c : cases) {
        SCOPED_TRACE(c.mini);
        scene s(c.mini);
        s.bubble(6, 300, 100, 30, 0, 12);
        target_set = 1;  // the cursor shows another kind, so it is not mistaken for the item
        s.player().frame = 7;
        s.g.frame();
        auto item = s.draws_of(sprites, 6);
        auto ring = s.draws_of(sprites, 0);
        auto shine = s.draws_of(sprites, 1);
        ASSERT_EQ(item.size(), 1u);
        ASSERT_EQ(ring.size(), 1u);
        ASSERT_EQ(shine.size(), 1u);
        for (const auto *r : {&item[0], &ring[0], &shine[0]}) {
            EXPECT_EQ(r->x, 312.0f);
            EXPECT_EQ(r->y, 100.0f);
            EXPECT_EQ(r->r + r->g + r->b, 3 * 255);
        }
        EXPECT_EQ(item[0].blend, 1);
        EXPECT_EQ(item[0].rotation, 30.0f);
        EXPECT_FLOAT_EQ(item[0].sx, c.sc);
        EXPECT_EQ(item[0].alpha, 1.0f);
        EXPECT_EQ(ring[0].blend, 3);
        EXPECT_EQ(ring[0].alpha, 0.5f);
        EXPECT_EQ(ring[0].rotation, 5.0f);
        EXPECT_FLOAT_EQ(ring[0].sx, c.sc + 0.2f);
        EXPECT_EQ(shine[0].rotation, 0.0f);
        EXPECT_EQ(shine[0].alpha, 0.5f);
        EXPECT_FLOAT_EQ(shine[0].sy, c.sc + 0.2f);
    }
}

TEST(play_bubble, landings_and_pops_play_their_sounds) {
    struct {
        int mini, kind, roton;
        int pops, marooned, bonus;
    } cases[] = {
        {0, 2, 1, 0, 1, 0},  // marooned: the banner's cue plays the marooned sound
        {0, 5, 1, 0, 1, 1},  // penalty: marooned sound, then the banner's bonus cue
        {2, 2, 0, 1, 0, 0},  // safe character
        {2, 5, 0, 0, 0, 0},  // safe treasure: silent
    };
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << "mini " << c.mini << " kind " << c.kind);
        scene s(c.mini);
        s.player().score = 1000;
        s.bubble(c.kind, 450, 361, 0, c.roton);
        s.g.frame();
        EXPECT_EQ(s.cues(pop_sound), c.pops);
        EXPECT_EQ(s.cues(marooned_sound), c.marooned);
        EXPECT_EQ(s.cues(bonus_sound), c.bonus);
    }
    scene last(0);
    last.player().marooned = 2;
    last.bubble(3, 450, 361);
    last.g.frame();
    EXPECT_EQ(last.cues(bonus_sound), 1) << "the game-over sound";
    bool stopped = false;
    for (const auto &r : last.g.sounds())
        if (r.op == "stop" && r.channel == music_channel.id) stopped = true;
    EXPECT_TRUE(stopped) << "the music stops";
}
