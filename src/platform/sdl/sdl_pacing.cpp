// Frame pacing for the desktop: the frame schedule, the precise wait and the vertical sync check.
#include "platform/sdl/sdl_pacing.h"

#include <thread>

namespace platform::sdl {

pacing_clock::time_point frame_schedule::frame_ready(pacing_clock::time_point now) {
    if (!due_ || now >= *due_) {
        due_ = now + period_;
        return now;
    }
    const pacing_clock::time_point show = *due_;
    due_ = show + period_;
    return show;
}

void wait_until(pacing_clock::time_point when) {
    // Sleeping threads wake up to a millisecond or so late; leave that last stretch to a yielding wait.
    constexpr auto final_stretch = std::chrono::microseconds(1000);
    if (when - pacing_clock::now() > final_stretch) std::this_thread::sleep_until(when - final_stretch);
    while (pacing_clock::now() < when) std::this_thread::yield();
}

vsync_check::verdict vsync_check::presented(pacing_clock::time_point when) {
    if (verdict_ != verdict::undecided) return verdict_;
    if (!first_) {
        first_ = when;
        return verdict_;
    }
    if (++frames_ < frames_needed) return verdict_;
    // A display synced at 60 Hz or below takes at least 16.7 ms a frame; allow for displays up to 75 Hz.
    const auto average = (when - *first_) / frames_;
    verdict_ = average >= std::chrono::microseconds(13300) ? verdict::works : verdict::fails;
    return verdict_;
}

}  // namespace platform::sdl
