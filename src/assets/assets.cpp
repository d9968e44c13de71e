// Loading the game's pictures, font and sound effects, and cutting the sprite sheet into the images.
#include "game.h"

image sword_image;
image blast_image;
image pause_image;
image sprites;
image title_image;
image background_image;
image menu_image;
font game_font;

sound snd_pop;
sound snd_select;
sound snd_keg;
sound snd_time;
sound snd_round;
sound snd_bonus;
sound snd_marooned;

int load_assets() {
    game_font = load_image_font("fonts\\booteroo.ttf", 28, 4);
    set_image_font(game_font);
    background_image = load_image("graphx\\sbst_bg1.png");
    menu_image = load_image("graphx\\sbst_menu.png");
    const image sheet = load_image("graphx\\sbst_sf1.png");
    mid_handle_image(menu_image);

    // The sheet lands pixel for pixel on the black back buffer, and each picture is grabbed from it.
    clear_screen();
    draw_image(sheet, 0, 0, 0);
    grab_image(sword_image, 436, 253, 0);
    grab_image(title_image, 3, 254, 0);
    grab_image(blast_image, 499, 253, 0);
    mid_handle_image(blast_image);
    int x = 1;
    int y = 1;
    int column = 1;
    for (int f = 0; f <= 9; ++f) {
        grab_image(sprites, x, y, f);
        x += 125;
        column += 1;
        if (column > 5) {
            column = 1;
            x = 1;
            y += 125;
        }
    }

    snd_pop = load_sound("data\\bubblepop.ogg", 0);
    snd_select = load_sound("data\\rapierselect.ogg", 0);
    snd_keg = load_sound("data\\powderkeg.ogg", 0);
    snd_time = load_sound("data\\timebell.ogg", 0);
    snd_round = load_sound("data\\newround.ogg", 0);
    snd_bonus = load_sound("data\\getbonus.ogg", 0);
    snd_marooned = load_sound("data\\marooned.ogg", 0);
    return 0;
}
