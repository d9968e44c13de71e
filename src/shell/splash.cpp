// The maker's logo at start-up: held at full strength, then faded out, while the intro music begins;
// Escape, Space, the left button or joystick button 0 skips it.
#include "game.h"

int logo_splash() {
    std::int32_t count = 0;
    float alpha = 1.0f;
    const image logo = load_image("graphx\\zqlogo.png", 1);
    mid_handle_image(logo);
    play_music(1);
    while (true) {
        clear_screen();
        set_blend(3);
        set_alpha(alpha);
        set_color(255, 255, 255);
        draw_image(logo, 320, 220, 0);
        set_alpha(1.0f);
        if (alpha == 1.0f) count += 1;
        if (count > 330) alpha -= 0.01f;
        if (alpha < 0) alpha = 0;
        present_frame();
        if (window_inactive()) {
            pause_channel(music_channel);
            while (window_inactive()) {
            }
            resume_channel(music_channel);
        }
        if (key_hit(27) || key_hit(32) || mouse_hit(1) || joy_hit(0, 0)) break;
        if (!(alpha > 0)) break;
    }
    delay(500);
    flush_keys();
    flush_mouse();
    return 0;
}
