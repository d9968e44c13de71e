// The heavy scene: a crowded late "Bladeburst!" field made from the game's own records, its copy, and
// how one frame of it is run.
#include "scene.h"

#include <array>
#include <list>
#include <string>

#include "game.h"
#include "platform/headless/headless.h"

namespace bench {
namespace {

// Everything a play frame reads or changes besides the platform's own state.
struct scene_copy {
    std::array<player_tag, 3> players;
    std::list<bubble_tag> bubbles;
    std::list<specialfx_tag> fx;
    message_tag banner;
    std::int32_t spawn_interval = 0, spawn_timer = 0, freeze_timer = 0, keg_blast = 0, target_set = 0;
    std::int32_t chain_kind = 0, chain_count = 0, game_state = 0, mini_game = 0, over_delay = 0;
    std::array<std::int32_t, 3> lost_kinds{};
};

scene_copy kept;

constexpr int scene_seed = 1;
constexpr int pointer_x = 320, pointer_y = 400;  // below every bubble: the sword hits nothing

// Advances an effect sprite by `frames` of its own steps, as its updates would, without drawing it.
void age(specialfx_tag &fx, int frames) {
    for (int i = 0; i < frames; ++i) {
        fx.scale += fx.sstp;
        fx.rotation += fx.rstp;
        fx.alpha -= fx.astp;
    }
}

}  // namespace

void boot_headless_game() {
    platform::headless &h = platform::install_headless();
    platform::force_seed(scene_seed);
    clear_program_globals();
    h.press_key(27);
    startup();
}

void make_heavy_scene() {
    mini_game = 2;
    player_tag::reset();
    game_state = 2;
    seed_rnd(scene_seed);

    player_tag &p = players[2];
    p.round = 9;
    p.goal = 14;
    p.score = 48210;
    p.best_sc = 61350;
    p.marooned = 2;
    lost_kinds = {2, 7, 0};
    chain_kind = 3;
    chain_count = 4;
    spawn_interval = 70;
    spawn_timer = 0;  // no wave arrives during the frame
    freeze_timer = 0;
    keg_blast = 0;
    target_set = 1;

    // Six rows of five, as the waves leave them, from just above the top edge down to near the beach.
    for (int row = 0; row < 6; ++row) {
        const float start = 120.0f + rnd(0.0f, 80.0f);
        for (int i = 0; i < 5; ++i) {
            bubble_tag b;
            b.x = start + 80.0f * i;
            b.y = -60.0f + 70.0f * row;
            b.roton = (row + i) % 3 == 0 ? 0 : 1;
            b.frame = 2 + (row * 5 + i) % 8;
            b.rotation = rnd(0.0f, 360.0f);
            b.bubrot = 5 * (row * 37 + i * 11);
            b.xoffs = rnd(-40.0f, 40.0f);
            b.xstp = i % 2 == 0 ? 0.5f : -0.5f;
            bubble_list.push_back(b);
        }
    }

    // The game's own effect sprites at their ages: explosions and ring bursts half through their lives,
    // flying items on their way to the middle, sparks flying out.
    const float s = 0.4f;
    for (int i = 0; i < 10; ++i) {
        specialfx_tag::Create(80.0f + 52.0f * i, 90.0f + 25.0f * (i % 5), 5.0f, s, 0.02f, 1.0f, 0.02f, 0.0f,
                              0.0f, 10);
        age(fx_list.back(), 10 + 3 * i);
    }
    for (int i = 0; i < 5; ++i) {
        specialfx_tag::Create(130.0f + 95.0f * i, 160.0f + 30.0f * i, 15.0f, s, 0.02f, 1.0f, 0.05f, 0.0f,
                              0.0f, 0);
        age(fx_list.back(), 8 + 6 * i);
    }
    for (int i = 0; i < 6; ++i) {
        specialfx_tag::Create(150.0f + 60.0f * i, 300.0f - 20.0f * i, 25.0f, s, 0.0f, 1.0f, -0.02f, 0.0f,
                              0.0f, 2 + i);
        age(fx_list.back(), 2 + i);
    }
    for (int i = 0; i < 40; ++i) {
        const float speed = rnd(2.0f, 10.0f);
        const float angle = rnd(0.0f, 360.0f);
        specialfx_tag::Create(200.0f + 60.0f * (i % 5), 120.0f + 40.0f * (i / 10), 35.0f, s, 0.0f, 0.8f,
                              -0.04f, angle, speed, 1);
        age(fx_list.back(), i % 5);
    }

    // The banner a few frames into its swell.
    message.new_msg("Round 9 Complete!", 0);
    for (int i = 0; i < 8; ++i) message.update();

    p.x = pointer_x;
    p.y = pointer_y;
    p.jab = 0;
    p.jhit = 0;
    platform::input_mouse_position(pointer_x, pointer_y);
    platform::draw_log().clear();
    platform::audio_log().clear();

    kept = scene_copy{players,     bubble_list,  fx_list,   message,    spawn_interval,
                      spawn_timer, freeze_timer, keg_blast, target_set, chain_kind,
                      chain_count, game_state,   mini_game, over_delay, lost_kinds};
}

void restore_heavy_scene() {
    players = kept.players;
    bubble_list = kept.bubbles;
    fx_list = kept.fx;
    message = kept.banner;
    spawn_interval = kept.spawn_interval;
    spawn_timer = kept.spawn_timer;
    freeze_timer = kept.freeze_timer;
    keg_blast = kept.keg_blast;
    target_set = kept.target_set;
    chain_kind = kept.chain_kind;
    chain_count = kept.chain_count;
    game_state = kept.game_state;
    mini_game = kept.mini_game;
    over_delay = kept.over_delay;
    lost_kinds = kept.lost_kinds;
    seed_rnd(scene_seed);
    platform::input_mouse_position(pointer_x, pointer_y);
    platform::draw_log().clear();
    platform::audio_log().clear();
}

void run_heavy_frame() { run_frame(); }

}  // namespace bench
