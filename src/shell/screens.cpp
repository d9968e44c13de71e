// PLACEHOLDER until the splash, the menus and the game-over screen land.
#include "game.h"

std::int32_t over_delay = 0;

int logo_splash() { return 0; }
int menu_screen() { return 0; }
int pause_screen() { return 0; }
int draw_footer() { return 0; }
int game_over_screen() { return 0; }
