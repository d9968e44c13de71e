// The main routine: start-up in its order, one frame loop for every screen, and the orderly shutdown;
// also the two small per-frame routines that run on every screen, the background and the joystick
// nudge of the pointer.
#include "assets/embedded.h"
#include "game.h"

std::int32_t game_state = 0;
std::int32_t mini_game = 0;
std::int32_t quit_requested = 0;
std::int32_t exit_cause = 0;
std::array<std::string, 3> mini_game_names;
std::array<std::string, 11> volume_labels;
std::array<std::string, 6> menu_labels;
std::array<std::string, 5> bonus_labels;

namespace {

constexpr int key_escape = 27;
constexpr int key_space = 32;
constexpr int joy_pause_button = 2;

// The pause trigger: Space (only queried in play), else joystick button 2 (queried in every state,
// so a press outside play is consumed and does nothing).
void pause_trigger() {
    int pressed = 0;
    if (game_state == 2) pressed = key_hit(key_space);
    if (pressed == 0) pressed = joy_hit(joy_pause_button, 0);
    if (game_state != 2 || pressed == 0) return;
    game_state = 3;
    grab_image(pause_image, 0, 0, 0);  // the field as drawn so far: no heads-up display, no banner
    move_mouse(320, 265);
    flush_mouse();
    flush_keys();
    stop_channel(music_channel);
    play_music(1);
}

// Nothing is updated or drawn while the window is inactive; only the music waits with it.
void wait_while_inactive() {
    if (!window_inactive()) return;
    pause_channel(music_channel);
    while (window_inactive()) {
    }
    resume_channel(music_channel);
}

}  // namespace

void clear_program_globals() {
    mini_game = 0;
    quit_requested = 0;
    exit_cause = 0;
}

void startup() {
    register_embedded_files();
    set_window_title("Saltburst");
    open_display(640, 480, 32, 60, 2);
    set_auto_image_flags(11);

    players = {};
    for (player_tag &p : players) p.round = 1;
    bubble_list.clear();
    fx_list.clear();
    message = message_tag{};
    lost_kinds = {0, 0, 0};
    mini_game_names = {"Saltburst!", "Dizzyburst!", "Bladeburst!"};
    volume_labels = {"Off", "10%", "20%", "30%", "40%", "50%", "60%", "70%", "80%", "90%", "100%"};
    menu_labels = {"Start New Game", "Quit This Game",   "Mini Game: ",
                   "Music Volume: ", "SoundFX Volume: ", "Quit Saltburst!"};
    bonus_labels = {
        "x Captain Bonus: ", "x Crew Bonus: ", "x Booty Bonus: ", "x Rum Bonus: ", "x Parrot Bonus: "};

    sword_image = create_image(58, 49, 1);
    blast_image = create_image(124, 124, 1);
    pause_image = create_image(640, 480, 1);
    set_auto_mid_handle(true);
    sprites = create_image(124, 124, 10);
    title_image = create_image(424, 90, 1);
    set_auto_mid_handle(false);

    music_channel = alloc_channel();
    music_volume = 1.0f;
    sfx_volume = 1.0f;
    music_step = 10;
    sfx_step = 10;
    joy_count();
    hide_mouse();
    seed_rnd(millisecs());
    load_assets();
    hiscore_file(0);
    logo_splash();
    player_tag::reset();
    game_state = 4;
    move_mouse(320, 265);
}

bool run_frame() {
    clear_screen();
    draw_background();
    nudge_pointer();
    switch (game_state) {
        case 2:
            play_update();
            break;
        case 3:
            pause_screen();
            break;
        case 4:
            menu_screen();
            break;
        case 5:
            game_over_screen();
            break;
        default:
            break;
    }
    pause_trigger();
    draw_hud();
    message.update();
    present_frame();
    wait_while_inactive();
    if (key_hit(key_escape)) {
        exit_cause = 1;
        return false;
    }
    if (quit_requested != 0) {
        exit_cause = 2;
        return false;
    }
    if (close_requested()) {
        exit_cause = 3;
        return false;
    }
    return true;
}

void shutdown() {
    // Points a game earned in its very last frame never reached its best through play; keep them.
    for (player_tag &p : players)
        if (p.score > p.best_sc) p.best_sc = p.score;
    if (channel_playing(music_channel)) {
        stop_channel(music_channel);
        delay(500);
    }
    hiscore_file(1);
}

int game_main() {
    startup();
    while (run_frame()) {
    }
    shutdown();
    end_program();
    return 0;
}

int draw_background() {
    set_blend(2);
    draw_image(background_image, 0, 0, 0);
    return 0;
}

int nudge_pointer() {
    int pointer_x = mouse_x();
    int pointer_y = mouse_y();
    if (joy_x(0) == -1.0f) {
        pointer_x -= 6;
        move_mouse(pointer_x, pointer_y);
    }
    if (joy_x(0) == 1.0f) {
        pointer_x += 6;
        move_mouse(pointer_x, pointer_y);
    }
    if (joy_y(0) == -1.0f) {
        pointer_y -= 6;
        move_mouse(pointer_x, pointer_y);
    }
    if (joy_y(0) == 1.0f) {
        pointer_y += 6;
        move_mouse(pointer_x, pointer_y);
    }
    return 0;
}
