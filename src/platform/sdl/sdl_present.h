// Showing the finished 640 x 480 picture in the desktop window, letterboxed; one way of doing it
// behind a small interface so that another renderer can take its place.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "platform/core/core.h"

namespace platform::sdl {

class presenter {
  public:
    virtual ~presenter() = default;
    // Shows the frame scaled into the letterbox of the window's drawable area, black bars around it.
    virtual void show(const frame_buffer &frame) = 0;
    // True while presenting waits for the display's vertical blank.
    virtual bool synced() const = 0;
    // Stops waiting for the vertical blank (when it turns out not to pace the frames).
    virtual void stop_sync() = 0;
};

// Presents through an SDL renderer and a streaming texture. Returns null and fills `error` when no
// renderer can be had for the window.
std::unique_ptr<presenter> make_texture_presenter(SDL_Window *window, bool vsync, std::string &error);

}  // namespace platform::sdl
