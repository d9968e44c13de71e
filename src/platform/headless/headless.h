// The headless backend: no window and no audio device, a virtual clock that each presented frame
// advances by 1/60 s, input and window events scripted by frame, and the logs of draws and sounds.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "platform/core/core.h"

namespace platform {

struct input_event {
    enum class kind { key, mouse_button, move, joy_button, joy_axis, inactive, close };
    kind what = kind::key;
    int a = 0;        // key code, button, x, axis, or the number of inactive queries
    int b = 0;        // 1 down, 0 up, -1 a press and its release; y for a move
    float value = 0;  // axis value
};

class headless final : public backend {
  public:
    // Delivers the event after the given frame has been presented (at once if it already was).
    void schedule(int frame, input_event e);

    // Input delivered at once.
    void press_key(int code) { deliver({input_event::kind::key, code, -1}); }
    void key(int code, bool down) { deliver({input_event::kind::key, code, down ? 1 : 0}); }
    void click(int button) { deliver({input_event::kind::mouse_button, button, -1}); }
    void mouse_button(int button, bool down) {
        deliver({input_event::kind::mouse_button, button, down ? 1 : 0});
    }
    void move(int x, int y) { deliver({input_event::kind::move, x, y}); }
    void joy_press(int button) { deliver({input_event::kind::joy_button, button, -1}); }
    void joy_button(int button, bool down) { deliver({input_event::kind::joy_button, button, down ? 1 : 0}); }
    void joy_axis(int axis, float value) { deliver({input_event::kind::joy_axis, axis, 0, value}); }
    void make_inactive(int queries) { deliver({input_event::kind::inactive, queries}); }
    void request_close() { deliver({input_event::kind::close}); }

    int frames() const { return frames_; }         // frames presented so far
    double clock_ms() const { return clock_ms_; }  // the virtual clock
    bool ended() const { return ended_; }          // end_program was called
    bool display_open() const { return display_open_; }
    const std::string &title() const { return title_; }
    int inactive_queries() const { return inactive_queries_; }  // window_inactive calls so far

    // Called after each presented frame, before that frame's scheduled events are delivered.
    std::function<void(int frame)> on_present;

    // backend
    void set_title(std::string_view title) override { title_ = title; }
    bool open_display(int width, int height, bool fullscreen) override;
    void present(const frame_buffer &frame) override;
    bool window_inactive() override;
    bool close_requested() override;
    std::int64_t millisecs() override { return static_cast<std::int64_t>(clock_ms_); }
    void delay(int milliseconds) override { clock_ms_ += milliseconds; }
    void warp_pointer(int, int) override {}
    void hide_pointer() override {}
    int joy_count() override { return 1; }
    void end_program() override { ended_ = true; }

  private:
    void deliver(const input_event &e);

    std::multimap<int, input_event> pending_;
    int frames_ = 0;
    double clock_ms_ = 0;
    bool ended_ = false;
    bool display_open_ = false;
    std::string title_;
    int inactive_left_ = 0;
    int inactive_queries_ = 0;
    bool close_pending_ = false;
};

// Resets the core, installs a fresh headless backend with the logs on, and returns it.
headless &install_headless();

}  // namespace platform
