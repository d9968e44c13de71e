// The heads-up display: score, best and round along the top on every screen; in play and on the
// game-over screen also the goal, the catch chain's icons and the marooned characters.
#include "game.h"

namespace {

void text_with_shadow(const std::string &text, int x, int y, int shade, int r, int g, int b) {
    set_color(shade, shade, shade);
    draw_text(text, static_cast<float>(x + 4), static_cast<float>(y + 4));
    set_color(r, g, b);
    draw_text(text, static_cast<float>(x), static_cast<float>(y));
}

}  // namespace

int draw_hud() {
    const player_tag &p = players[mini_game];
    set_blend(3);

    const std::string score = "Score: " + std::to_string(p.score);
    text_with_shadow(score, 0, 0, 80, 250, 250, 150);
    const std::string best = "Best: " + std::to_string(p.best_sc);
    text_with_shadow(best, 318 - text_width(best) / 2, 0, 80, 250, 250, 0);
    const std::string round = "Round: " + std::to_string(p.round);
    text_with_shadow(round, 632 - text_width(round), 0, 80, 250, 250, 150);

    const bool in_menu = game_state == 4 || game_state == 3;
    if (!in_menu) {
        const std::string goal = "Goal x" + std::to_string(p.goal);
        text_with_shadow(goal, 632 - text_width(goal), 450, 20, 255, 255, 255);
        if (chain_kind != 0) {
            set_scale(0.4f, 0.4f);
            int x = 20;
            for (int i = 0; i < chain_count; ++i) {
                set_color(20, 20, 20);
                draw_image(sprites, static_cast<float>(x + 4), 448, chain_kind);
                set_color(255, 255, 255);
                draw_image(sprites, static_cast<float>(x), 444, chain_kind);
                x += 40;
            }
            set_scale(1, 1);
        }
    }
    if (!in_menu && p.marooned != 0) {
        int x = 340 - (p.marooned - 1) * 64;
        set_rotation(0);
        set_scale(0.6f, 0.6f);
        for (int i = 0; i < p.marooned && i < 3; ++i) {
            draw_image(sprites, static_cast<float>(x), 365, lost_kinds[i]);
            x += 100;
        }
        set_rotation(0);
        set_scale(1, 1);
    }
    set_color(255, 255, 255);
    return 0;
}
