// Watching the X window for its destruction from outside: the window-manager events that report it,
// and an X error handler that lets drawing into a vanished window fail quietly.
#include "platform/sdl/sdl_x11.h"

#include <SDL_syswm.h>

#include <atomic>
#include <memory>

namespace platform::sdl {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

using error_handler = int (*)(Display *, XErrorEvent *);
using set_error_handler_fn = error_handler (*)(error_handler);
using sync_fn = int (*)(Display *, Bool);

struct object_deleter {
    void operator()(void *handle) const { SDL_UnloadObject(handle); }
};

struct watch_state {
    Display *display = nullptr;
    Window window = 0;
    std::unique_ptr<void, object_deleter> xlib;  // SDL loads Xlib at run time; so do we
    set_error_handler_fn set_handler = nullptr;
    sync_fn sync = nullptr;
    error_handler previous = nullptr;
    bool installed = false;
};

watch_state watch;
std::atomic<bool> lost{false};

// Requests on a window that no longer exists fail with these; every other error goes on as before.
int on_x_error(Display *display, XErrorEvent *error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        lost = true;
        return 0;
    }
    return watch.previous != nullptr ? watch.previous(display, error) : 0;
}

}  // namespace

void watch_window(SDL_Window *window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return;
    watch.display = info.info.x11.display;
    watch.window = info.info.x11.window;
    lost = false;
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    watch.xlib.reset(SDL_LoadObject("libX11.so.6"));
    if (!watch.xlib) return;
    watch.set_handler =
        reinterpret_cast<set_error_handler_fn>(SDL_LoadFunction(watch.xlib.get(), "XSetErrorHandler"));
    watch.sync = reinterpret_cast<sync_fn>(SDL_LoadFunction(watch.xlib.get(), "XSync"));
    if (watch.set_handler == nullptr || watch.sync == nullptr) return;
    watch.previous = watch.set_handler(on_x_error);
    watch.installed = true;
}

void unwatch_window() {
    if (watch.installed) {
        // The errors of the last requests arrive later: take them in while they are still ours.
        watch.sync(watch.display, False);
        watch.set_handler(watch.previous);
    }
    watch = watch_state{};
}

bool window_destroyed(const SDL_Event &e) {
    if (e.type != SDL_SYSWMEVENT || watch.window == 0) return false;
    const SDL_SysWMmsg *msg = e.syswm.msg;
    return msg != nullptr && msg->subsystem == SDL_SYSWM_X11 && msg->msg.x11.event.type == DestroyNotify &&
           msg->msg.x11.event.xdestroywindow.window == watch.window;
}

bool window_lost() { return lost; }

#else

void watch_window(SDL_Window *) {}
void unwatch_window() {}
bool window_destroyed(const SDL_Event &) { return false; }
bool window_lost() { return false; }

#endif

}  // namespace platform::sdl
