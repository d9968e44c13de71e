// The GL renderer's context and presentation through SDL: the context asked for, the presenter that blits
// the off-screen picture into the letterbox and swaps, and the hidden window used to compare renderers.
#include "platform/sdl/sdl_gl.h"

#include <cstdlib>
#include <string_view>
#include <utility>

#include "platform/core/renderer.h"
#include "platform/sdl/sdl_input.h"

namespace platform::sdl {
namespace {

struct context_deleter {
    void operator()(void *c) const { SDL_GL_DeleteContext(static_cast<SDL_GLContext>(c)); }
};
using context_ptr = std::unique_ptr<void, context_deleter>;

struct window_deleter {
    void operator()(SDL_Window *w) const { SDL_DestroyWindow(w); }
};

void *load_proc(const char *name) { return SDL_GL_GetProcAddress(name); }

// The context and the renderer in it, active while this lives. The renderer goes before its context.
class gl_screen {
  public:
    bool open(SDL_Window *window, std::string &error) {
        window_ = window;
        context_.reset(SDL_GL_CreateContext(window));
        if (!context_) {
            error = SDL_GetError();
            return false;
        }
        renderer_ = gl::gl_renderer::create(load_proc, error);
        if (!renderer_) return false;
        use_renderer(renderer_.get());
        return true;
    }
    gl_screen() = default;
    gl_screen(const gl_screen &) = delete;
    gl_screen &operator=(const gl_screen &) = delete;
    ~gl_screen() {
        if (renderer_ && &active_renderer() == renderer_.get()) use_renderer(nullptr);
        renderer_.reset();
        context_.reset();
    }

    gl::gl_renderer &renderer() { return *renderer_; }
    void make_current() { SDL_GL_MakeCurrent(window_, context_.get()); }

    void show() {
        int w = 0;
        int h = 0;
        SDL_GL_GetDrawableSize(window_, &w, &h);
        const letterbox box = fit_picture(w, h);
        renderer_->present(h, box.x, box.y, box.w, box.h);
        SDL_GL_SwapWindow(window_);
    }

  private:
    SDL_Window *window_ = nullptr;
    context_ptr context_;
    std::unique_ptr<gl::gl_renderer> renderer_;
};

class gl_presenter final : public presenter {
  public:
    gl_presenter(std::unique_ptr<gl_screen> screen, bool synced)
        : screen_(std::move(screen)), synced_(synced) {}

    // The frame buffer is not used: the GL renderer has drawn the picture already.
    void show(const frame_buffer &) override { screen_->show(); }
    bool synced() const override { return synced_; }
    void stop_sync() override {
        SDL_GL_SetSwapInterval(0);
        synced_ = false;
    }

  private:
    std::unique_ptr<gl_screen> screen_;
    bool synced_;
};

// The video subsystem, started for as long as this lives.
class video_subsystem {
  public:
    bool start() { return started_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0; }
    video_subsystem() = default;
    video_subsystem(const video_subsystem &) = delete;
    video_subsystem &operator=(const video_subsystem &) = delete;
    ~video_subsystem() {
        if (started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

  private:
    bool started_ = false;
};

class hidden_screen final : public hidden_gl_screen {
  public:
    bool open(std::string &error) {
        if (!video_.start()) {
            error = SDL_GetError();
            return false;
        }
        request_gl_context();
        window_.reset(SDL_CreateWindow("Saltburst", 0, 0, screen_width, screen_height,
                                       SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN));
        if (!window_) {
            error = SDL_GetError();
            return false;
        }
        SDL_GL_SetSwapInterval(0);
        return screen_.open(window_.get(), error);
    }
    gl::gl_renderer &renderer() override { return screen_.renderer(); }
    void swap() override { screen_.show(); }
    void make_current() override { screen_.make_current(); }

  private:
    // Destroyed in reverse: the context and renderer, the window, then the video subsystem.
    video_subsystem video_;
    std::unique_ptr<SDL_Window, window_deleter> window_;
    gl_screen screen_;
};

}  // namespace

bool software_renderer_forced() {
    const char *choice = std::getenv("SALTBURST_RENDERER");
    return choice != nullptr && std::string_view(choice) == "software";
}

void request_gl_context() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

std::unique_ptr<presenter> make_gl_presenter(SDL_Window *window, bool vsync, std::string &error) {
    auto screen = std::make_unique<gl_screen>();
    if (!screen->open(window, error)) return nullptr;
    const bool synced = vsync && SDL_GL_SetSwapInterval(1) == 0;
    if (!synced) SDL_GL_SetSwapInterval(0);
    return std::make_unique<gl_presenter>(std::move(screen), synced);
}

std::unique_ptr<hidden_gl_screen> hidden_gl_screen::open(std::string &error) {
    auto s = std::make_unique<hidden_screen>();
    if (!s->open(error)) return nullptr;
    return s;
}

}  // namespace platform::sdl
