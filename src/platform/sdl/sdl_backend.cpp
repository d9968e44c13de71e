// The desktop backend: an SDL window shown full-screen and letterboxed (drawn with GL where it can be
// had), its events, the frame pacing, the first joystick and the audio device.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "platform/core/core.h"
#include "platform/sdl/sdl_gl.h"
#include "platform/sdl/sdl_input.h"
#include "platform/sdl/sdl_pacing.h"
#include "platform/sdl/sdl_present.h"
#include "platform/sdl/sdl_x11.h"

namespace platform {
namespace {

using sdl::pacing_clock;

struct window_deleter {
    void operator()(SDL_Window *w) const { SDL_DestroyWindow(w); }
};
struct joystick_deleter {
    void operator()(SDL_Joystick *j) const { SDL_JoystickClose(j); }
};

// One SDL subsystem, started for as long as this lives.
class subsystem {
  public:
    subsystem() = default;
    explicit subsystem(Uint32 flags) : flags_(SDL_InitSubSystem(flags) == 0 ? flags : 0) {}
    subsystem(subsystem &&other) noexcept : flags_(std::exchange(other.flags_, 0)) {}
    subsystem &operator=(subsystem &&other) noexcept {
        if (this != &other) {
            stop();
            flags_ = std::exchange(other.flags_, 0);
        }
        return *this;
    }
    ~subsystem() { stop(); }
    explicit operator bool() const { return flags_ != 0; }

  private:
    void stop() {
        if (flags_ != 0) SDL_QuitSubSystem(std::exchange(flags_, 0));
    }
    Uint32 flags_ = 0;
};

// The default audio device, playing whatever the core's mixer makes.
class audio_device {
  public:
    audio_device() = default;
    audio_device(const audio_device &) = delete;
    audio_device &operator=(const audio_device &) = delete;
    ~audio_device() { close(); }

    void open() {
        subsystem_ = subsystem(SDL_INIT_AUDIO);
        if (!subsystem_) {
            std::fprintf(stderr, "saltburst: no sound: %s\n", SDL_GetError());
            return;
        }
        SDL_AudioSpec want{};
        want.freq = mix_rate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = [](void *, Uint8 *stream, int bytes) {
            mix_audio(reinterpret_cast<float *>(stream), bytes / static_cast<int>(2 * sizeof(float)));
        };
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to whatever the device really plays.
        id_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (id_ == 0) {
            std::fprintf(stderr, "saltburst: no sound: %s\n", SDL_GetError());
            subsystem_ = subsystem();
            return;
        }
        SDL_PauseAudioDevice(id_, 0);
    }

    void close() {
        if (id_ != 0) SDL_CloseAudioDevice(std::exchange(id_, 0));
        subsystem_ = subsystem();
    }

  private:
    subsystem subsystem_;
    SDL_AudioDeviceID id_ = 0;
};

// The video drivers that show a window to someone. SDL falls back to drawing off screen when there
// is no display, which would leave the game running unseen; a driver named in SDL_VIDEODRIVER still
// wins over this list.
std::string visible_video_drivers() {
    // Wayland cannot connect without its runtime folder; trying it then only prints a complaint.
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    const bool wayland_reachable =
        (runtime != nullptr && *runtime != 0) || (wayland != nullptr && *wayland == '/');
    std::string list;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string_view name = SDL_GetVideoDriver(i);
        if (name == "offscreen" || name == "dummy" || name == "evdev") continue;
        if (name == "wayland" && !wayland_reachable) continue;
        if (!list.empty()) list += ',';
        list += name;
    }
    return list;
}

[[noreturn]] void no_display() {
    std::fprintf(stderr, "saltburst: no display could be opened: %s\n", SDL_GetError());
    std::exit(1);
}

class sdl_backend final : public backend {
  public:
    ~sdl_backend() override { release(); }

    void set_title(std::string_view title) override {
        title_ = title;
        if (window_) SDL_SetWindowTitle(window_.get(), title_.c_str());
    }

    bool open_display(int width, int height, bool fullscreen) override;
    void present(const frame_buffer &frame) override;
    bool window_inactive() override;
    bool close_requested() override {
        pump();
        return events_.take_close_request();
    }
    std::int64_t millisecs() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(pacing_clock::now() - start_).count();
    }
    void delay(int milliseconds) override;
    void warp_pointer(int x, int y) override;
    void hide_pointer() override {
        pointer_hidden_ = true;
        if (video_) SDL_ShowCursor(SDL_DISABLE);
    }
    int joy_count() override;
    void end_program() override {
        release();
        std::exit(0);
    }

  private:
    void pump();
    void handle(const SDL_Event &e);
    void open_joystick(int index);
    void close_joystick();
    void follow_window_size();
    void lose_window();
    void release();

    std::string title_;
    const pacing_clock::time_point start_ = pacing_clock::now();
    subsystem video_;
    subsystem joystick_subsystem_;
    std::unique_ptr<SDL_Window, window_deleter> window_;
    std::unique_ptr<sdl::presenter> presenter_;
    std::unique_ptr<SDL_Joystick, joystick_deleter> joystick_;
    audio_device audio_;
    sdl::event_translator events_;
    sdl::frame_schedule schedule_;
    sdl::vsync_check vsync_check_;
    bool pointer_hidden_ = false;
    bool window_gone_ = false;
    bool released_ = false;
};

bool sdl_backend::open_display(int width, int height, bool fullscreen) {
    // One close request is one event: the window's own close, not also a quit for the last window.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, visible_video_drivers().c_str());
    video_ = subsystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    if (!video_) no_display();

    SDL_DisplayMode desktop{};
    SDL_Rect bounds{0, 0, width, height};
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0 || SDL_GetDisplayBounds(0, &bounds) != 0) no_display();

    // Full screen is a borderless window covering the whole desktop, also asked to be full-screen:
    // a window manager makes it so, and an X server without one still maps it over the whole screen
    // (a plain full-screen request alone is not honoured there and leaves a small window).
    const Uint32 flags =
        fullscreen ? SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_RESIZABLE;
    const int x = fullscreen ? bounds.x : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    const int y = fullscreen ? bounds.y : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    const int w = fullscreen ? bounds.w : width;
    const int h = fullscreen ? bounds.h : height;
    const bool sixty_hertz = desktop.refresh_rate >= 59 && desktop.refresh_rate <= 61;
    std::string error;

    // The GL renderer where OpenGL 3.3 can be had, else the software rasterizer and a streaming texture.
    if (!sdl::software_renderer_forced()) {
        sdl::request_gl_context();
        window_.reset(SDL_CreateWindow(title_.c_str(), x, y, w, h, flags | SDL_WINDOW_OPENGL));
        if (window_)
            presenter_ = sdl::make_gl_presenter(window_.get(), sixty_hertz, error);
        else
            error = SDL_GetError();
        if (!presenter_) {
            std::fprintf(stderr, "saltburst: no OpenGL 3.3 (%s); drawing in software\n", error.c_str());
            // A fresh window: one made for GL may not suit the texture presenter's renderer.
            window_.reset();
            error.clear();
        }
    }
    if (!window_) window_.reset(SDL_CreateWindow(title_.c_str(), x, y, w, h, flags));
    if (!window_) no_display();
    if (!presenter_) presenter_ = sdl::make_texture_presenter(window_.get(), sixty_hertz, error);
    if (!presenter_) {
        SDL_SetError("%s", error.c_str());
        no_display();
    }
    if (pointer_hidden_) SDL_ShowCursor(SDL_DISABLE);
    sdl::watch_window(window_.get());
    follow_window_size();
    audio_.open();
    pump();
    return true;
}

// The mapping follows the window the system really gave, not the one asked for.
void sdl_backend::follow_window_size() {
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(window_.get(), &w, &h);
    events_.set_window_size(w, h);
}

void sdl_backend::present(const frame_buffer &frame) {
    if (!presenter_ || window_gone_) {
        sdl::wait_until(schedule_.frame_ready(pacing_clock::now()));
        pump();
        return;
    }
    if (presenter_->synced()) {
        presenter_->show(frame);
        if (vsync_check_.presented(pacing_clock::now()) == sdl::vsync_check::verdict::fails)
            presenter_->stop_sync();
    } else {
        sdl::wait_until(schedule_.frame_ready(pacing_clock::now()));
        presenter_->show(frame);
    }
    pump();
}

bool sdl_backend::window_inactive() {
    pump();
    if (!events_.inactive() || window_gone_) return false;
    // The game asks again and again while inactive: wait for the next event rather than spin.
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, 100) != 0) {
        handle(e);
        pump();
    }
    return events_.inactive() && !window_gone_;
}

void sdl_backend::delay(int milliseconds) {
    const pacing_clock::time_point end = pacing_clock::now() + std::chrono::milliseconds(milliseconds);
    if (!video_) {
        std::this_thread::sleep_until(end);
        return;
    }
    // Keeps taking in events so that the window stays responsive while the game waits.
    for (auto left = end - pacing_clock::now(); left > pacing_clock::duration::zero();
         left = end - pacing_clock::now()) {
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, static_cast<int>(ms)) != 0) handle(e);
    }
}

void sdl_backend::warp_pointer(int x, int y) {
    const sdl::event_translator::warp w = events_.warp_pointer(x, y);
    if (window_) SDL_WarpMouseInWindow(window_.get(), w.window.x, w.window.y);
    // The system pointer cannot leave the picture; the game reads where it really went.
    if (w.picture.x != x || w.picture.y != y) input_mouse_position(w.picture.x, w.picture.y);
}

int sdl_backend::joy_count() {
    if (!joystick_subsystem_) joystick_subsystem_ = subsystem(SDL_INIT_JOYSTICK);
    if (!joystick_subsystem_) return 0;
    const int count = std::max(SDL_NumJoysticks(), 0);
    if (!joystick_ && count > 0) open_joystick(0);
    return count;
}

void sdl_backend::open_joystick(int index) {
    joystick_.reset(SDL_JoystickOpen(index));
    if (!joystick_) return;
    events_.set_joystick(SDL_JoystickInstanceID(joystick_.get()));
    const int axes = std::min(SDL_JoystickNumAxes(joystick_.get()), 2);
    for (int a = 0; a < axes; ++a)
        input_joy_axis(a, sdl::axis_value(SDL_JoystickGetAxis(joystick_.get(), a)));
}

void sdl_backend::close_joystick() {
    events_.release_joystick();
    events_.set_joystick(std::nullopt);
    joystick_.reset();
}

void sdl_backend::pump() {
    if (!video_) return;
    SDL_Event e;
    while (SDL_PollEvent(&e) != 0) handle(e);
    if (!window_gone_ && sdl::window_lost()) lose_window();
}

// A window destroyed from outside is a request to close: the game ends in its orderly way, drawing
// nothing more.
void sdl_backend::lose_window() {
    window_gone_ = true;
    events_.request_close();
}

void sdl_backend::handle(const SDL_Event &e) {
    if (sdl::window_destroyed(e)) {
        if (!window_gone_) lose_window();
        return;
    }
    switch (e.type) {
        case SDL_JOYDEVICEADDED:
            if (!joystick_) open_joystick(e.jdevice.which);
            return;
        case SDL_JOYDEVICEREMOVED:
            if (events_.joystick() && e.jdevice.which == *events_.joystick()) {
                close_joystick();
                if (SDL_NumJoysticks() > 0) open_joystick(0);
            }
            return;
        default:
            break;
    }
    events_.take(e);
    if (e.type == SDL_WINDOWEVENT &&
        (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED || e.window.event == SDL_WINDOWEVENT_RESIZED)) {
        follow_window_size();
    }
}

// Everything goes in the reverse order of its making; the audio first, so that the mixer is no
// longer called once the program starts to end.
void sdl_backend::release() {
    if (std::exchange(released_, true)) return;
    audio_.close();
    joystick_.reset();
    joystick_subsystem_ = subsystem();
    presenter_.reset();
    window_.reset();
    sdl::unwatch_window();
    video_ = subsystem();
    SDL_Quit();
}

}  // namespace

void install_sdl_backend() { install_backend(std::make_unique<sdl_backend>()); }

}  // namespace platform
