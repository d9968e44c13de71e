// Frame pacing for the desktop: the 60-a-second schedule that never catches up on late frames, a
// precise wait on the steady clock, and the check that vertical sync really paces the frames.
#pragma once

#include <chrono>
#include <optional>

namespace platform::sdl {

using pacing_clock = std::chrono::steady_clock;

constexpr pacing_clock::duration frame_period =
    std::chrono::duration_cast<pacing_clock::duration>(std::chrono::duration<double>(1.0 / 60.0));

// When each frame is due. A frame that comes early waits for its due time and the one after it is
// due one period later; a frame that comes late is shown at once and the next is due one period from
// now, so the game slows down rather than rushing to make up lost frames.
class frame_schedule {
  public:
    explicit frame_schedule(pacing_clock::duration period = frame_period) : period_(period) {}

    // Called when a frame is ready at `now`: returns when to show it, and moves on to the next frame.
    pacing_clock::time_point frame_ready(pacing_clock::time_point now);

  private:
    pacing_clock::duration period_;
    std::optional<pacing_clock::time_point> due_;
};

// Waits until the given time: sleeps most of the way, then a short final wait that does not depend on
// how late the system wakes a sleeping thread.
void wait_until(pacing_clock::time_point when);

// Watches the intervals between synced presents for the first frames: a driver that accepts a request
// for vertical sync but does not wait for it shows frames much faster than the display's rate.
class vsync_check {
  public:
    enum class verdict { undecided, works, fails };

    // Records the moment a present returned; decides once enough frames were seen.
    verdict presented(pacing_clock::time_point when);

  private:
    static constexpr int frames_needed = 30;
    std::optional<pacing_clock::time_point> first_;
    int frames_ = 0;
    verdict verdict_ = verdict::undecided;
};

}  // namespace platform::sdl
