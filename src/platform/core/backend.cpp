// The active backend, the window and system operations that go straight to it, and the test logs.
#include <utility>

#include "platform/core/core.h"

namespace platform {
namespace {

// Stands in until a backend is installed, so that nothing crashes before start-up has chosen one.
class null_backend final : public backend {
  public:
    void set_title(std::string_view) override {}
    bool open_display(int, int, bool) override { return true; }
    void present(const frame_buffer &) override { clock_ += 16; }
    bool window_inactive() override { return false; }
    bool close_requested() override { return false; }
    std::int64_t millisecs() override { return clock_; }
    void delay(int milliseconds) override { clock_ += milliseconds; }
    void warp_pointer(int, int) override {}
    void hide_pointer() override {}
    int joy_count() override { return 0; }
    void end_program() override {}

  private:
    std::int64_t clock_ = 0;
};

std::unique_ptr<backend> &installed() {
    static std::unique_ptr<backend> b = std::make_unique<null_backend>();
    return b;
}

bool logging_on = false;

}  // namespace

void install_backend(std::unique_ptr<backend> b) {
    installed() = b ? std::move(b) : std::make_unique<null_backend>();
}

backend &active_backend() { return *installed(); }

void reset_core() {
    reset_embedded();
    reset_draw();
    reset_audio();
    reset_input();
    reset_files();
    draw_log().clear();
    audio_log().clear();
}

void set_logging(bool on) { logging_on = on; }
bool logging() { return logging_on; }

std::vector<draw_record> &draw_log() {
    static std::vector<draw_record> log;
    return log;
}

std::vector<audio_record> &audio_log() {
    static std::vector<audio_record> log;
    return log;
}

}  // namespace platform

using platform::active_backend;

void set_window_title(std::string_view title) { active_backend().set_title(title); }

void open_display(int width, int height, int depth, int /*hertz*/, int /*flags*/) {
    active_backend().open_display(width, height, depth != 0);
}

void present_frame() { active_backend().present(platform::back_buffer()); }

bool window_inactive() { return active_backend().window_inactive(); }

bool close_requested() { return active_backend().close_requested(); }

int millisecs() { return static_cast<int>(active_backend().millisecs()); }

void delay(int milliseconds) {
    if (milliseconds > 0) active_backend().delay(milliseconds);
}

void end_program() { active_backend().end_program(); }

void hide_mouse() { active_backend().hide_pointer(); }

int joy_count() { return active_backend().joy_count(); }
