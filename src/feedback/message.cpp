// The message banner: one text at a time that swells in, holds, then grows and fades out.
#include "game.h"

message_tag message;

int message_tag::new_msg(const std::string &text, std::int32_t cue) {
    enable = 1;
    y = 250.0f;
    mode = 1;
    msg = text;
    scale = 2.0f;
    alpha = 0.1f;
    rotation = 0.0f;
    if (cue == 1) play_sfx(snd_bonus);
    if (cue == 2) play_sfx(snd_round);
    if (cue == 3) play_sfx(snd_marooned);
    return 0;
}

int message_tag::update() {
    // Outside play the banner neither moves on nor shows; it resumes from the same values.
    if (enable == 0 || game_state != 2) return 0;

    if (mode != 0) {
        alpha += 0.04f;
        scale -= 0.04f;
        if (alpha > 1.0f) alpha = 1.0f;
        if (scale <= 1.0f) {
            scale = 1.0f;
            mode = 0;
            counter = 80;
        }
    } else if (counter != 0) {
        counter -= 1;
    } else {
        scale += 0.04f;
        alpha -= 0.04f;
        if (alpha <= 0.0f) {
            enable = 0;
            alpha = 0.0f;
        }
    }

    // Drawn also on the update that has just switched the banner off, then at alpha 0.
    set_blend(blend_alpha);
    set_alpha(alpha);
    set_transform(rotation, scale, scale);
    x = 320.0f - static_cast<float>(text_width(msg)) * scale / 2.0f;
    set_color(20, 20, 20);
    draw_text(msg, x + 2.0f, y + 2.0f);
    set_color(250, 250, 0);
    draw_text(msg, x, y);
    set_transform(0.0f, 1.0f, 1.0f);
    set_alpha(1.0f);
    set_color(255, 255, 255);
    return 0;
}
