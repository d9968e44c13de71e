// The game-over screen: a purple wash, the two titles, and after a delay the prompt to click.
#include "game.h"

std::int32_t over_delay = 0;

namespace {

// A centred line with its shadow; the shadow's y is given, since two of them sit above the text.
void centred_text(const std::string &text, int shadow_y, int y) {
    const int w = text_width(text);
    set_color(20, 20, 20);
    draw_text(text, static_cast<float>(324 - w / 2), static_cast<float>(shadow_y));
    set_color(250, 250, 20);
    draw_text(text, static_cast<float>(320 - w / 2), static_cast<float>(y));
}

}  // namespace

int game_over_screen() {
    set_alpha(0.5f);
    set_blend(3);
    set_color(80, 20, 150);
    draw_rect(0, 0, 1024, 768);
    set_alpha(1.0f);
    centred_text("You Are Marooned!", 102, 100);
    centred_text("- GAME OVER -", 188, 192);
    if (over_delay > 0) {
        over_delay -= 1;
        flush_mouse();
        flush_keys();
        return 0;
    }
    centred_text("Click Mouse or Joy Button", 288, 292);
    int click = mouse_hit(1);
    if (click == 0) click = mouse_hit(2);
    if (click == 0) click = joy_hit(0, 0);
    if (click != 0) {
        flush_mouse();
        flush_keys();
        play_sfx(snd_select);
        play_music(1);
        game_state = 4;
        move_mouse(320, 265);
    }
    return 0;
}
