// The title menu and the pause menu: the flag panel, the title, six option rows, the sword pointer
// and the footer; a click acts on the row under the pointer.
#include "game.h"

namespace {

const std::string version_line = "Saltburst v1.13  -  a Brinelark Games production";

// A centred text with its shadow 4 pixels right and 4 down.
void row_text(const std::string &text, int y, int r, int g, int b) {
    const int x = 320 - text_width(text) / 2;
    set_color(5, 5, 5);
    draw_text(text, static_cast<float>(x + 4), static_cast<float>(y + 4));
    set_color(r, g, b);
    draw_text(text, static_cast<float>(x), static_cast<float>(y));
}

std::string row_label(int i) {
    switch (i) {
        case 0:
            return game_state == 3 ? "Resume This Game" : menu_labels[0];
        case 2:
            return menu_labels[2] + mini_game_names[mini_game];
        case 3:
            return menu_labels[3] + volume_labels[music_step];
        case 4:
            return menu_labels[4] + volume_labels[sfx_step];
        default:
            return menu_labels[i];
    }
}

// Row 1 does nothing useful in the title menu, row 2 nothing in the pause menu: both are red.
bool red_row(int i) { return (game_state == 4 && i == 1) || (game_state == 3 && i == 2); }

// One click on a volume row: the next of eleven settings, Off after 100%. The volume is the running
// float sum of the 0.1 steps, not the step divided by ten.
void next_volume_step(std::int32_t &step, float &volume) {
    step += 1;
    volume += 0.1f;
    if (step > 10) {
        step = 0;
        volume = 0;
    }
}

void leave_game() {
    // A game left from the pause menu keeps the points of its last frame as the best, too.
    player_tag &p = players[mini_game];
    if (game_state == 3 && p.score > p.best_sc) p.best_sc = p.score;
    play_sfx(snd_select);
    game_state = 4;
    move_mouse(320, 265);
    stop_channel(music_channel);
    play_music(1);
}

void click_row(int p) {
    switch (p) {
        case 0:
            play_sfx(snd_select);
            if (game_state == 4) player_tag::reset();
            game_state = 2;
            stop_channel(music_channel);
            play_music(2);
            break;
        case 1:
            leave_game();
            break;
        case 2:
            if (game_state == 3) break;
            mini_game += 1;
            play_sfx(snd_select);
            if (mini_game > 2) mini_game = 0;
            break;
        case 3:
            next_volume_step(music_step, music_volume);
            set_channel_volume(music_channel, music_volume);
            break;
        case 4:
            next_volume_step(sfx_step, sfx_volume);
            play_sfx(snd_select);
            break;
        case 5:
            quit_requested = 1;
            break;
        default:
            break;
    }
}

}  // namespace

int menu_screen() {
    set_blend(3);
    set_alpha(0.6f);
    set_scale(1.1f, 1.2f);
    draw_image(menu_image, 320, 250, 0);
    set_scale(1, 1);

    set_color(10, 10, 10);
    set_alpha(0.5f);
    draw_image(title_image, 324, 124, 0);
    set_color(255, 255, 255);
    set_alpha(1.0f);
    set_blend(1);
    draw_image(title_image, 320, 120, 0);

    set_blend(3);
    row_text("Game Menu & Options", 190, 250, 250, 250);
    const int picked = (mouse_y() - 250) / 25;
    for (int i = 0; i <= 5; ++i) {
        const int y = 250 + 25 * i;
        int g = 250;
        int b = i == picked ? 150 : 0;
        if (red_row(i)) {
            g = 0;
            b = 0;
        }
        row_text(row_label(i), y, 250, g, b);
    }

    set_color(10, 10, 10);
    set_blend(3);
    set_alpha(0.5f);
    draw_image(sword_image, static_cast<float>(mouse_x() + 2), static_cast<float>(mouse_y() + 6), 0);
    set_alpha(1.0f);
    set_blend(1);
    set_color(255, 255, 255);
    draw_image(sword_image, static_cast<float>(mouse_x()), static_cast<float>(mouse_y()), 0);

    draw_footer();

    int click = mouse_hit(1);
    if (click == 0) click = joy_hit(0, 0);
    if (click == 0) return 0;
    click_row(picked);
    flush_mouse();
    flush_keys();
    return 0;
}

int pause_screen() {
    set_color(255, 255, 255);
    set_blend(2);
    draw_image(pause_image, 0, 0, 0);
    menu_screen();
    if (joy_hit(2, 0)) game_state = 2;
    return 0;
}

int draw_footer() {
    set_color(10, 10, 10);
    set_blend(3);
    set_alpha(0.6f);
    draw_rect(0, 450, 640, 30);
    set_alpha(1.0f);
    const int w = text_width(version_line);
    draw_text(version_line, static_cast<float>(324 - w / 2), 452);
    set_color(240, 240, 240);
    draw_text(version_line, static_cast<float>(320 - w / 2), 448);
    set_color(255, 255, 255);
    return 0;
}
