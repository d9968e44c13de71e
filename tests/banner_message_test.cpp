// The message banner: its phases frame by frame, posts that restart it, the sound of each cue, how it is
// drawn, and that it stands still outside play.
#include "play_scene.h"

namespace {

struct banner_state {
    int enable, mode, counter;
    float alpha, scale;
};

banner_state now() { return {message.enable, message.mode, message.counter, message.alpha, message.scale}; }

// The banner's texts: the only ones drawn with their top edge at 250 (and the shadow's at 252).
std::vector<platform::draw_record> texts(game &g) {
    std::vector<platform::draw_record> out;
    for (const auto &r : g.draws())
        if (r.op == "text" && (r.y == 250.0f || r.y == 252.0f)) out.push_back(r);
    return out;
}

}  // namespace

TEST(banner_message, a_message_swells_holds_and_fades_over_131_play_frames) {
    scene s(2);
    message.new_msg("Ahoy", 0);
    std::vector<banner_state> seen;
    for (int i = 0; i < 132; ++i) {
        s.g.frame();
        seen.push_back(now());
    }
    auto at = [&](int update) { return seen[update - 1]; };
    EXPECT_FLOAT_EQ(at(1).scale, 1.96f);
    EXPECT_FLOAT_EQ(at(1).alpha, 0.14f);
    EXPECT_LT(at(22).alpha, 1.0f);
    EXPECT_EQ(at(23).alpha, 1.0f);
    EXPECT_EQ(at(25).mode, 1) << "scale still just above 1 after 25 updates";
    EXPECT_GT(at(25).scale, 1.0f);
    EXPECT_EQ(at(26).mode, 0);
    EXPECT_EQ(at(26).scale, 1.0f);
    EXPECT_EQ(at(26).counter, 80);
    EXPECT_EQ(at(27).counter, 79);
    EXPECT_EQ(at(106).counter, 0);
    EXPECT_EQ(at(106).alpha, 1.0f);
    EXPECT_FLOAT_EQ(at(107).alpha, 0.96f);
    EXPECT_FLOAT_EQ(at(107).scale, 1.04f);
    EXPECT_EQ(at(130).enable, 1);
    EXPECT_GT(at(130).alpha, 0.0f);
    EXPECT_EQ(at(131).enable, 0);
    EXPECT_EQ(at(131).alpha, 0.0f);
    EXPECT_EQ(at(132).alpha, 0.0f);

    // Two texts (shadow, then text) on every one of the 131 updates, the last one at alpha 0.
    const auto drawn = texts(s.g);
    ASSERT_EQ(drawn.size(), 2u * 131);
    EXPECT_EQ(drawn.back().alpha, 0.0f);
}

TEST(banner_message, a_post_restarts_the_animation_from_any_phase) {
    for (int after : {10, 60, 120}) {
        SCOPED_TRACE(after);
        scene s(0);
        message.new_msg("first", 0);
        s.g.frames(after);
        message.x = 123;
        const int counter = message.counter;
        message.new_msg("second", 0);
        EXPECT_EQ(message.msg, "second");
        EXPECT_EQ(message.enable, 1);
        EXPECT_EQ(message.mode, 1);
        EXPECT_EQ(message.scale, 2.0f);
        EXPECT_EQ(message.alpha, 0.1f);
        EXPECT_EQ(message.y, 250.0f);
        EXPECT_EQ(message.x, 123.0f) << "x and counter are left as they were";
        EXPECT_EQ(message.counter, counter);
        s.g.frames(131);
        EXPECT_EQ(message.enable, 0);
    }
}

TEST(banner_message, outside_play_the_banner_is_frozen_and_hidden) {
    for (int state : {3, 4, 5}) {
        SCOPED_TRACE(state);
        scene s(0);
        message.new_msg("Marooned! -250 pts", 0);
        s.g.frames(40);
        const banner_state before = now();
        game_state = state;
        over_delay = 1000;
        s.g.clear_logs();
        s.g.frames(30);
        for (const auto &r : texts(s.g)) EXPECT_NE(r.text, "Marooned! -250 pts");
        EXPECT_EQ(message.counter, before.counter);
        EXPECT_EQ(message.alpha, before.alpha);
        EXPECT_EQ(message.enable, 1);
        game_state = 2;
        s.g.frame();
        EXPECT_EQ(message.counter, before.counter - 1);
    }
}

TEST(banner_message, reset_hides_the_banner_and_keeps_the_rest) {
    scene s(0);
    message.new_msg("Excellent! - Round: 2", 0);
    s.g.frames(50);
    const banner_state before = now();
    player_tag::reset();
    EXPECT_EQ(message.enable, 0);
    EXPECT_EQ(message.msg, "Excellent! - Round: 2");
    EXPECT_EQ(message.counter, before.counter);
    EXPECT_EQ(message.alpha, before.alpha);
}

TEST(banner_message, each_post_plays_the_sound_of_its_cue) {
    struct {
        int cue;
        const char *sound;  // nullptr: silent
    } cases[] = {
        {0, nullptr},
        {1, "data\\getbonus.ogg"},
        {2, "data\\newround.ogg"},
        {3, "data\\marooned.ogg"},
        {4, nullptr},
        {-1, nullptr},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.cue);
        scene s(0);
        message.new_msg("", c.cue);
        int cues = 0;
        for (const auto &r : s.g.sounds())
            if (r.op == "cue") {
                ++cues;
                EXPECT_EQ(r.sound, c.sound);
            }
        EXPECT_EQ(cues, c.sound ? 1 : 0);
        EXPECT_EQ(message.enable, 1) << "the banner shows whatever the cue";
    }
    // Several posts in one frame: the last text stays, every post plays its own sound.
    scene s(0);
    message.new_msg("one", 1);
    message.new_msg("two", 2);
    message.new_msg("three", 3);
    EXPECT_EQ(message.msg, "three");
    EXPECT_EQ(s.cues(bonus_sound) + s.cues(round_sound) + s.cues(marooned_sound), 3);
}

TEST(banner_message, drawn_centred_on_320_with_a_shadow_two_pixels_off) {
    for (const char *text : {"New Best Score!", ""}) {
        SCOPED_TRACE(text);
        scene s(2);
        message.new_msg(text, 0);
        s.g.frame();
        const float want_x = 320.0f - static_cast<float>(text_width(text)) * message.scale / 2.0f;
        EXPECT_EQ(message.x, want_x);
        const auto drawn = texts(s.g);
        ASSERT_EQ(drawn.size(), 2u);
        const auto &shadow = drawn[0], &front = drawn[1];
        EXPECT_EQ(shadow.text, text);
        EXPECT_EQ(shadow.x, want_x + 2);
        EXPECT_EQ(shadow.y, 252.0f);
        EXPECT_EQ(shadow.r, 20);
        EXPECT_EQ(shadow.g, 20);
        EXPECT_EQ(shadow.b, 20);
        EXPECT_EQ(front.x, want_x);
        EXPECT_EQ(front.y, 250.0f);
        EXPECT_EQ(front.r, 250);
        EXPECT_EQ(front.g, 250);
        EXPECT_EQ(front.b, 0);
        for (const auto &r : drawn) {
            EXPECT_EQ(r.blend, 3);
            EXPECT_FLOAT_EQ(r.alpha, 0.14f);
            EXPECT_FLOAT_EQ(r.sx, 1.96f);
            EXPECT_FLOAT_EQ(r.sy, 1.96f);
            EXPECT_EQ(r.rotation, 0.0f);
        }
    }
}
