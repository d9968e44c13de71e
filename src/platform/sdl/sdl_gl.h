// The GL renderer on the desktop: the OpenGL 3.3 core context asked of SDL, the presenter that shows the
// renderer's off-screen picture, and a hidden GL window for comparing and measuring renderers.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "platform/gl/gl_renderer.h"
#include "platform/sdl/sdl_present.h"

namespace platform::sdl {

// True when the environment asks for the software rasterizer (SALTBURST_RENDERER=software).
bool software_renderer_forced();

// Asks SDL for an OpenGL 3.3 core, double-buffered context in windows made from now on.
void request_gl_context();

// Makes a GL 3.3 context in the window (made with SDL_WINDOW_OPENGL), the GL renderer in it, and makes
// that renderer the active one for as long as the presenter lives. Returns null and fills `error`
// when the context or the renderer cannot be had.
std::unique_ptr<presenter> make_gl_presenter(SDL_Window *window, bool vsync, std::string &error);

// A hidden 640 x 480 window with a GL 3.3 context and the GL renderer, made active while it lives.
class hidden_gl_screen {
  public:
    // Null with the reason in `error` when there is no display or no GL 3.3 to be had.
    static std::unique_ptr<hidden_gl_screen> open(std::string &error);
    virtual ~hidden_gl_screen() = default;
    virtual gl::gl_renderer &renderer() = 0;
    // Presents the picture into the hidden window and swaps its buffers.
    virtual void swap() = 0;
    // Makes its context current again (after another context was used on this thread).
    virtual void make_current() = 0;
};

}  // namespace platform::sdl
