// saltburst-contact: a contact sheet drawn by the game's own drawing code: every item as a bubble over
// the beach at the two sizes play draws it (as in "Saltburst!" and in "Bladeburst!"), a spinning and a
// turned copy, and the sword, the explosion and the title as the game shows them.
#include <cstdio>
#include <string>

#include "game.h"
#include "platform/headless/headless.h"

namespace {

// One bubble as the bubble update draws it: the item masked, then the ring and the shine half clear.
void bubble(int kind, float x, float y, float sc, float turn) {
    set_blend(1);
    set_transform(turn, sc, sc);
    draw_image(sprites, x, y, kind);
    set_rotation(0);
    set_blend(3);
    set_alpha(0.5f);
    set_scale(sc + 0.2f, sc + 0.2f);
    set_rotation(turn * 2);
    draw_image(sprites, x, y, 0);
    set_rotation(0);
    draw_image(sprites, x, y, 1);
    set_alpha(1);
    set_transform(0, 1, 1);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: saltburst-contact OUTPUT.png\n");
        return 2;
    }
    platform::headless &h = platform::install_headless();
    clear_program_globals();
    h.press_key(27);
    startup();

    clear_screen();
    draw_background();
    for (int kind = 2; kind <= 9; ++kind) {
        const float x = 40.0f + 80.0f * static_cast<float>(kind - 2);
        bubble(kind, x, 150, 0.6f, 0);
        bubble(kind, x, 250, 0.4f, 0);
        bubble(kind, x, 330, 0.4f, 35);
    }
    set_blend(1);
    set_transform(0, 0.8f, 0.8f);
    draw_image(sword_image, 40, 400, 0);
    set_transform(0, 1, 1);
    draw_image(sword_image, 110, 400, 0);
    set_blend(3);
    for (int i = 0; i < 3; ++i) {
        const float scale = 0.6f + 0.5f * static_cast<float>(i);
        set_alpha(1.0f - 0.3f * static_cast<float>(i));
        set_transform(20.0f * static_cast<float>(i), scale, scale);
        draw_image(blast_image, 260.0f + 130.0f * static_cast<float>(i), 420, 0);
    }
    set_transform(0, 1, 1);
    set_alpha(1);
    set_blend(1);
    draw_image(title_image, 320, 50, 0);
    if (!platform::save_png(platform::back_buffer(), argv[1])) {
        std::fprintf(stderr, "saltburst-contact: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
