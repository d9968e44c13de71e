// Catch chains: extending, breaking and paying, the stopwatch that leaves them alone, the keg that pays
// without clearing, and the powder-keg blast.
#include <vector>

#include "play_scene.h"

namespace {

// A "Saltburst!" field with the cursor at (300, 200) where each popped bubble is put.
struct chain_scene : scene {
    chain_scene() : scene(0) { cursor(300, 200, 0); }

    // Pops the kinds one per frame and returns the points that were not pop points.
    int pop_all(const std::vector<int> &kinds) {
        const int before = player().score;
        for (int k : kinds) pop(k);
        return player().score - before - 2 * static_cast<int>(kinds.size());
    }
};

}  // namespace

TEST(play_chain, pops_extend_break_and_pay_the_chain) {
    struct {
        std::vector<int> pops;
        int kind, count, bonus;
        const char *text;  // the banner after the last pop, "" for none
    } cases[] = {
        {{2, 2, 2}, 2, 3, 0, ""},
        {{2, 2, 2, 3}, 3, 1, 1500, "3x Captain Bonus: 1500"},
        {{2, 3}, 3, 1, 0, ""},
        {{2, 9, 2}, 2, 2, 0, ""},
        {{6, 6, 7}, 7, 1, 300, "2x Rum Bonus: 300"},
        {{4, 4, 4, 4, 2}, 2, 1, 1000, "4x Crew Bonus: 1000"},
        {{3, 3, 4}, 4, 1, 500, "2x Crew Bonus: 500"},
        {{5, 5, 2}, 2, 1, 2000, "2x Booty Bonus: 2000"},
        {{7, 7, 7, 7, 2}, 2, 1, 300, "4x Parrot Bonus: 300"},
        {{9, 9}, 0, 0, 0, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "pops " << testing::PrintToString(c.pops));
        chain_scene s;
        EXPECT_EQ(s.pop_all(c.pops), c.bonus);
        EXPECT_EQ(chain_kind, c.kind);
        EXPECT_EQ(chain_count, c.count);
        EXPECT_EQ(message.enable ? message.msg : std::string(), c.text);
    }
}

TEST(play_chain, keg_pays_the_chain_but_keeps_it) {
    struct {
        std::vector<int> pops;
        int kind, count, bonus;
    } cases[] = {
        // each keg adds its own blast of 100
        {{2, 2, 2, 8}, 2, 3, 1500 + 100},
        {{2, 2, 2, 8, 3}, 3, 1, 1500 + 100 + 1500},
        {{2, 2, 2, 8, 2}, 2, 4, 1500 + 100},
        {{2, 8}, 2, 1, 100},
        {{8}, 0, 0, 100},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "pops " << testing::PrintToString(c.pops));
        chain_scene s;
        EXPECT_EQ(s.pop_all(c.pops), c.bonus);
        EXPECT_EQ(chain_kind, c.kind);
        EXPECT_EQ(chain_count, c.count);
    }
}

TEST(play_chain, award_reads_the_chain_and_leaves_it) {
    struct {
        int kind, count;
        const char *text;
        int value;
    } cases[] = {
        {2, 3, "3x Captain Bonus: 1500", 1500}, {3, 2, "2x Crew Bonus: 500", 500},
        {4, 4, "4x Crew Bonus: 1000", 1000},    {5, 2, "2x Booty Bonus: 2000", 2000},
        {6, 2, "2x Rum Bonus: 300", 300},       {7, 5, "5x Parrot Bonus: 375", 375},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.text);
        scene s(1);
        s.player().score = 10;
        players[0].score = 0;
        chain_kind = c.kind;
        chain_count = c.count;
        award_chain_bonus();
        EXPECT_EQ(message.msg, c.text);
        EXPECT_EQ(s.player().score, 10 + c.value)
            << "paid to the current mini game, not multiplied by the round";
        EXPECT_EQ(players[0].score, 0);
        EXPECT_EQ(chain_kind, c.kind);
        EXPECT_EQ(chain_count, c.count);
    }
}

TEST(play_chain, keg_blast_destroys_every_keg_and_the_chains_kind) {
    struct {
        int mini;
        int chain;  // kind of a single pop before the keg, 0 for none
        std::vector<int> field;
        std::vector<int> left;
        int points;
        const char *text;
    } cases[] = {
        {0, 0, {3, 5, 9}, {3, 5, 9}, 100, "Powder Keg Bonus: 100 pts"},
        {0, 2, {2, 8, 3, 2}, {3}, 400, "Powder Keg Bonus: 400 pts"},
        {0, 0, {2, 8, 8}, {2}, 300, "Powder Keg Bonus: 300 pts"},
        {2, 6, {6, 7, 6}, {7}, 300, "Powder Keg Bonus: 300 pts"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "mini " << c.mini << " chain " << c.chain);
        scene s(c.mini);
        chain_kind = c.chain;
        chain_count = c.chain == 0 ? 0 : 1;
        for (std::size_t i = 0; i < c.field.size(); ++i)
            s.bubble(c.field[i], 150 + 60 * static_cast<float>(i), 100, 0, 1, 7);
        // The keg is popped last in the walk, so the blast meets every other bubble after its update.
        if (c.mini == 2) {
            s.cursor(450, 300);
            s.player().jab = -10;
            s.bubble(8, 450, 300, 0, 1);
        } else {
            s.cursor(450, 300, 0);
            target_set = 1;
            s.player().frame = 8;
            s.bubble(8, 450, 300, 0);
        }
        s.player().score = 1000;
        const int goal = s.player().goal;
        s.g.frame();
        std::vector<int> left;
        for (const bubble_tag &b : bubble_list) left.push_back(b.frame);
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(s.player().score, 1000 + 2 + c.points);
        EXPECT_EQ(s.player().goal, goal - 1) << "blown-up bubbles do not count toward the goal";
        EXPECT_EQ(message.msg, c.text);
        EXPECT_EQ(chain_kind, c.chain) << "the blast does not touch the chain";
        EXPECT_EQ(keg_blast, 0);
        EXPECT_EQ(target_set, 0) << "the next target is picked in the next frame";

        // One explosion for the popped keg and one for each bubble blown up, at the anchors, without
        // the wobble (the blown-up bubbles had already fallen a pixel this frame); all have had their
        // first update.
        const float sc = c.mini == 2 ? 0.4f : 0.6f;
        int explosions = 0;
        for (const specialfx_tag &fx : fx_list) {
            if (fx.frame != 10) continue;
            ++explosions;
            EXPECT_EQ(fx.y, fx.x == 450 ? 300.0f : 101.0f);
            EXPECT_EQ(trunc_int(fx.x - 150) % 60, 0);
            EXPECT_FLOAT_EQ(fx.scale, sc + 0.02f);
            EXPECT_FLOAT_EQ(fx.alpha, 0.98f);
            EXPECT_EQ(fx.rstp, 5.0f);
        }
        EXPECT_EQ(explosions, c.points / 100);
    }
}

TEST(play_chain, chain_sounds) {
    chain_scene s;
    s.g.clear_logs();
    s.pop_all({2, 2, 2});
    EXPECT_EQ(s.cues(select_sound), 2);
    EXPECT_EQ(s.cues(pop_sound), 3);
    EXPECT_EQ(s.cues(bonus_sound), 0);
    s.g.clear_logs();
    s.pop_all({8});
    EXPECT_EQ(s.cues(keg_sound), 1);
    EXPECT_EQ(s.cues(bonus_sound), 1) << "the chain paid by the keg";
    EXPECT_EQ(s.cues(select_sound), 0);
    s.g.clear_logs();
    s.pop_all({9});
    EXPECT_EQ(s.cues(time_sound), 1);
    EXPECT_EQ(s.cues(bonus_sound), 0) << "a stopwatch never pays";
}
