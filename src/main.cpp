// The desktop executable: installs the SDL backend and runs the game's main routine.
#include "platform/sdl/sdl_backend.h"
#include "shell/shell.h"

int main() {
    platform::install_sdl_backend();
    return game_main();
}
