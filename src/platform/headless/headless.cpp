// The headless backend: virtual clock, scripted input, no window and no audio device.
#include "platform/headless/headless.h"

#include <array>
#include <utility>

namespace platform {

bool headless::open_display(int, int, bool) {
    display_open_ = true;
    return true;
}

void headless::present(const frame_buffer &) {
    ++frames_;
    clock_ms_ += 1000.0 / 60.0;
    // The mixer runs as it would behind a device, one frame's worth of sound at a time.
    std::array<float, 2 * mix_rate / 60> sound{};
    mix_audio(sound.data(), mix_rate / 60);
    if (on_present) on_present(frames_);
    auto [first, last] = pending_.equal_range(frames_);
    std::vector<input_event> due;
    for (auto it = first; it != last; ++it) due.push_back(it->second);
    pending_.erase(first, last);
    for (const input_event &e : due) deliver(e);
}

void headless::schedule(int frame, input_event e) {
    if (frame <= frames_)
        deliver(e);
    else
        pending_.emplace(frame, e);
}

void headless::deliver(const input_event &e) {
    using k = input_event::kind;
    auto press = [&](auto feed) {
        if (e.b == -1) {
            feed(e.a, true);
            feed(e.a, false);
        } else {
            feed(e.a, e.b == 1);
        }
    };
    switch (e.what) {
        case k::key:
            press(input_key);
            break;
        case k::mouse_button:
            press(input_mouse_button);
            break;
        case k::joy_button:
            press(input_joy_button);
            break;
        case k::move:
            input_mouse_position(e.a, e.b);
            break;
        case k::joy_axis:
            input_joy_axis(e.a, e.value);
            break;
        case k::inactive:
            inactive_left_ += e.a;
            break;
        case k::close:
            close_pending_ = true;
            break;
    }
}

bool headless::window_inactive() {
    ++inactive_queries_;
    if (inactive_left_ > 0) {
        --inactive_left_;
        return true;
    }
    return false;
}

bool headless::close_requested() { return std::exchange(close_pending_, false); }

headless &install_headless() {
    reset_core();
    auto b = std::make_unique<headless>();
    headless &ref = *b;
    install_backend(std::move(b));
    set_logging(true);
    return ref;
}

}  // namespace platform
