// A game's rules above the single bubble: starting a game, the spawn rhythm and the freeze, the powder-keg
// blast, the best score, rounds and the floor of the score.
#include <string>

#include "game.h"

std::array<player_tag, 3> players;
std::list<bubble_tag> bubble_list;
std::int32_t spawn_interval = 0;
std::int32_t spawn_timer = 0;
std::int32_t freeze_timer = 0;
std::int32_t keg_blast = 0;
std::int32_t target_set = 0;
std::int32_t chain_kind = 0;
std::int32_t chain_count = 0;
std::array<std::int32_t, 3> lost_kinds;

namespace {

// Blows up every keg and every bubble of the chain's kind; the popped keg counts as the first.
void keg_blast_resolve(player_tag &p) {
    keg_blast = 0;
    std::int32_t n = 1;
    const float s = mini_game == 2 ? 0.4f : 0.6f;
    walk_list(bubble_list, [&](bubble_tag &b) {
        if (b.frame != 8 && b.frame != chain_kind) return;
        n += 1;
        specialfx_tag::Create(b.x, b.y, 5.0f, s, 0.02f, 1.0f, 0.02f, 0.0f, 0.0f, 10);
        remove_from_list(bubble_list, &b);
    });
    target_set = 0;
    p.score += n * 100;
    message.new_msg("Powder Keg Bonus: " + std::to_string(n * 100) + " pts", 0);
}

}  // namespace

int player_tag::reset() {
    player_tag &p = players[mini_game];
    spawn_interval = 160;
    target_set = 0;
    message.enable = 0;
    spawn_timer = spawn_interval;  // the first play frame spawns a wave
    chain_kind = 0;
    chain_count = 0;
    p.goal = 10;
    p.score = 0;
    p.round = 1;
    p.marooned = 0;
    p.new_bs = 0;
    p.flash_ctr = 255;
    p.flash_stp = -5;
    bubble_list.clear();
    fx_list.clear();
    return 0;
}

int play_update() {
    player_tag &p = players[mini_game];

    // A freeze holds the spawn timer instead of advancing it, so the next wave comes that much later.
    if (freeze_timer == 0)
        spawn_timer += 1;
    else
        freeze_timer -= 1;
    if (mini_game == 1) spawn_interval = 40;
    if (mini_game == 2) spawn_interval = 100;
    if (spawn_timer >= spawn_interval) {
        spawn_timer = 0;
        bubble_tag::Create();
    }

    walk_list(bubble_list, [](bubble_tag &b) { b.update(); });
    if (keg_blast != 0) keg_blast_resolve(p);
    p.update();
    walk_list(fx_list, [](specialfx_tag &fx) { fx.update(); });

    if (p.score > p.best_sc) {
        p.best_sc = p.score;
        if (p.new_bs == 0) {
            p.new_bs = 1;
            message.new_msg("New Best Score!", 1);
        }
    }

    if (p.goal <= 0) {
        const std::int32_t r = p.round;
        p.score += r * 100;
        p.goal = r * 10;
        p.round = r + 1;
        if (mini_game == 0 && spawn_interval > 60) spawn_interval -= 10;
        message.new_msg("Excellent! - Round: " + std::to_string(r + 1), 2);
    }

    if (p.score < 0) p.score = 0;

    // No play frame follows the one that ended the game, so the round bonus of this frame would otherwise
    // never reach the best score and the game-over screen could show a score above the best.
    if (game_state == 5 && p.score > p.best_sc) p.best_sc = p.score;
    return 0;
}
