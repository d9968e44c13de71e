// Effect sprites: their lifetimes in frames, motion by angle, homing of the items, how they are drawn,
// and that they stand still outside play.
#include "play_scene.h"

namespace {

// A field whose cursor is the sword, so that no cursor is drawn with a frame of the sprite strip.
struct fx_scene : scene {
    fx_scene() : scene(2) {}

    // Frames until the sprite is gone, counting the frame in which it was first drawn.
    int lifetime() {
        int frames = 0;
        while (!fx_list.empty() && frames < 1000) {
            g.frame();
            ++frames;
        }
        return frames;
    }
};

}  // namespace

TEST(effects_specialfx, every_kind_of_sprite_lives_its_number_of_frames) {
    struct {
        const char *what;
        float rstp, scale, astp, alpha, sstp, speed;
        int frame;
        int frames;
    } cases[] = {
        {"ring 0.6", 15, 0.6f, 0.02f, 1, 0.05f, 0, 0, 51},
        {"ring 0.4", 15, 0.4f, 0.02f, 1, 0.05f, 0, 0, 51},
        {"item 0.6", 25, 0.6f, 0, 1, -0.02f, 0, 5, 31},
        {"item 0.4", 25, 0.4f, 0, 1, -0.02f, 0, 5, 20},
        {"keg item 0.6", 25, 0.6f, 0, 1, -0.02f, 0, 8, 31},
        {"spark 0.6", 35, 0.6f, 0, 0.8f, -0.04f, 4, 1, 16},
        {"spark 0.4", 35, 0.4f, 0, 0.8f, -0.04f, 4, 1, 11},
        {"explosion 0.6", 5, 0.6f, 0.02f, 1, 0.02f, 0, 10, 51},
        {"explosion 0.4", 5, 0.4f, 0.02f, 1, 0.02f, 0, 10, 51},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.what);
        fx_scene s;
        specialfx_tag::Create(300, 200, c.rstp, c.scale, c.astp, c.alpha, c.sstp, 45, c.speed, c.frame);
        EXPECT_EQ(s.lifetime(), c.frames);
        EXPECT_EQ(s.draws_of(c.frame == 10 ? blast_image : sprites, c.frame == 10 ? 0 : c.frame).size(),
                  static_cast<std::size_t>(c.frames));
    }
}

TEST(effects_specialfx, create_sets_every_field_and_a_random_rotation) {
    fx_scene s;
    for (int i = 0; i < 200; ++i) {
        fx_list.clear();
        specialfx_tag::Create(1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
        ASSERT_EQ(fx_list.size(), 1u);
        const specialfx_tag &fx = fx_list.back();
        EXPECT_EQ(fx.x, 1.0f);
        EXPECT_EQ(fx.y, 2.0f);
        EXPECT_EQ(fx.rstp, 3.0f);
        EXPECT_EQ(fx.scale, 4.0f);
        EXPECT_EQ(fx.astp, 5.0f);
        EXPECT_EQ(fx.alpha, 6.0f);
        EXPECT_EQ(fx.sstp, 7.0f);
        EXPECT_EQ(fx.angle, 8.0f);
        EXPECT_EQ(fx.speed, 9.0f);
        EXPECT_EQ(fx.frame, 10);
        ASSERT_GE(fx.rotation, 0.0f);
        ASSERT_LT(fx.rotation, 360.0f);
    }
}

TEST(effects_specialfx, sprites_move_by_speed_toward_their_angle) {
    struct {
        float angle, speed;
        float dx, dy;
    } cases[] = {
        {90, 5, 5, 0}, {0, 5, 0, -5}, {180, 5, 0, 5}, {270, 3, -3, 0}, {0, 0, 0, 0},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.angle);
        fx_scene s;
        specialfx_tag::Create(300, 200, 35, 0.6f, 0, 0.8f, -0.04f, c.angle, c.speed, 1);
        s.g.frames(3);
        ASSERT_EQ(fx_list.size(), 1u);
        EXPECT_FLOAT_EQ(fx_list.front().x, 300 + 3 * c.dx);
        EXPECT_FLOAT_EQ(fx_list.front().y, 200 + 3 * c.dy);
    }
    fx_scene s;
    specialfx_tag::Create(300, 200, 35, 0.6f, 0, 0.8f, -0.04f, 30, 4, 1);
    s.g.frame();
    EXPECT_FLOAT_EQ(fx_list.front().x, 302.0f);
    EXPECT_NEAR(fx_list.front().y, 200 - 4 * 0.8660254, 1e-4);
}

TEST(effects_specialfx, items_home_on_the_middle_of_the_field_and_swing_about_it) {
    struct {
        int frame;
        float x, y;
        std::vector<float> xs, ys;  // after each of four frames
    } cases[] = {
        {5, 284, 236, {276, 284, 276, 284}, {228, 220, 220, 220}},
        {2, 280, 204, {280, 280, 280, 280}, {212, 220, 220, 220}},
        {7, 300, 221, {292, 284, 276, 284}, {213, 221, 213, 221}},
        {8, 284, 236, {284, 284, 284, 284}, {236, 236, 236, 236}},  // a keg does not home
        {9, 284, 236, {284, 284, 284, 284}, {236, 236, 236, 236}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.frame);
        fx_scene s;
        specialfx_tag::Create(c.x, c.y, 25, 0.6f, 0, 1, -0.02f, 0, 0, c.frame);
        for (int i = 0; i < 4; ++i) {
            s.g.frame();
            EXPECT_EQ(fx_list.front().x, c.xs[i]) << "frame " << i + 1;
            EXPECT_EQ(fx_list.front().y, c.ys[i]) << "frame " << i + 1;
        }
        // The picture is drawn before the step, so the first draw is at the place of creation.
        auto drawn = s.draws_of(sprites, c.frame);
        ASSERT_EQ(drawn.size(), 4u);
        EXPECT_EQ(drawn[0].x, c.x);
        EXPECT_EQ(drawn[1].x, c.xs[0]);
    }
}

TEST(effects_specialfx, sprites_stand_still_outside_play_and_go_on_after) {
    fx_scene s;
    specialfx_tag::Create(300, 200, 15, 0.6f, 0.02f, 1, 0.05f, 0, 0, 0);
    s.g.frames(10);
    const specialfx_tag before = fx_list.front();
    game_state = 3;
    s.g.frames(20);
    EXPECT_EQ(fx_list.front().alpha, before.alpha);
    EXPECT_EQ(fx_list.front().scale, before.scale);
    game_state = 2;
    EXPECT_EQ(s.lifetime(), 51 - 10);
}

TEST(effects_specialfx, drawn_with_alpha_blending_at_their_own_alpha_turn_and_scale) {
    struct {
        int frame;
        image *img;
        int drawn_frame;
    } cases[] = {{0, &sprites, 0}, {1, &sprites, 1}, {10, &blast_image, 0}};
    for (auto c : cases) {
        SCOPED_TRACE(c.frame);
        fx_scene s;
        specialfx_tag::Create(300, 200, 15, 0.5f, 0.25f, 1, 0.25f, 0, 0, c.frame);
        const float rotation = fx_list.front().rotation;
        s.g.frames(2);
        auto drawn = s.draws_of(*c.img, c.drawn_frame);
        ASSERT_EQ(drawn.size(), 2u);
        EXPECT_EQ(drawn[0].blend, 3);
        EXPECT_EQ(drawn[0].alpha, 1.0f);
        EXPECT_EQ(drawn[1].alpha, 0.75f);
        EXPECT_EQ(drawn[0].sx, 0.5f);
        EXPECT_EQ(drawn[1].sy, 0.75f);
        EXPECT_EQ(drawn[0].rotation, rotation);
        EXPECT_EQ(drawn[1].rotation, rotation + 15);
        EXPECT_EQ(drawn[0].x, 300.0f);
        EXPECT_EQ(drawn[0].r + drawn[0].g + drawn[0].b, 3 * 255);
    }
    // A frame of 10 is the explosion picture, never frame 10 of the strip.
    fx_scene s;
    specialfx_tag::Create(300, 200, 5, 0.6f, 0.02f, 1, 0.02f, 0, 0, 10);
    s.g.frame();
    EXPECT_TRUE(s.draws_of(sprites, 10).empty());
}
