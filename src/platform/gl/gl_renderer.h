// The GL renderer: the 640 x 480 screen drawn off screen with OpenGL 3.3 core, with the software
// rasterizer's coverage, sampling and blending, then scaled into the window.
#pragma once

#include <memory>
#include <string>

#include "platform/core/renderer.h"
#include "platform/gl/gl_api.h"

namespace platform::gl {

class gl_renderer : public renderer {
  public:
    // Makes a renderer in the current context (which must stay current and outlive it). Returns null
    // with the reason in `error` when the context is not OpenGL 3.3 core or better or the shaders fail.
    static std::unique_ptr<gl_renderer> create(proc_loader loader, std::string &error);

    // Finishes the frame's draws and copies the screen, smoothly scaled, into the rectangle (x, y, w, h)
    // of the window's default framebuffer, `window_h` rows high (rows counted from the top), black
    // around it. The caller then swaps the buffers.
    virtual void present(int window_h, int x, int y, int w, int h) = 0;
    // Issues every draw queued so far to GL.
    virtual void flush() = 0;
};

}  // namespace platform::gl
