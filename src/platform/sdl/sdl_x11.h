// Survives the X window being destroyed from outside (as some tools close windows): the loss is
// noticed and turned into a close request instead of an X error that ends the program at once.
#pragma once

#include <SDL.h>

namespace platform::sdl {

// Starts watching the game's window when it is an X window; does nothing elsewhere.
void watch_window(SDL_Window *window);
// Stops watching; call after the window is destroyed and before the video subsystem shuts down.
void unwatch_window();
// True when the event says the watched window was destroyed.
bool window_destroyed(const SDL_Event &e);
// True once drawing into the watched window failed because it no longer exists.
bool window_lost();

}  // namespace platform::sdl
