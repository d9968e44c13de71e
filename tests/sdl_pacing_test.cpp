// The desktop's frame schedule (no catching up after a late frame) and the vertical sync check, on
// made-up clock readings.
#include "platform/sdl/sdl_pacing.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using platform::sdl::frame_schedule;
using platform::sdl::pacing_clock;
using platform::sdl::vsync_check;

TEST(sdl_pacing, frames_are_shown_on_schedule_and_a_late_one_restarts_it) {
    const pacing_clock::time_point t0{};
    frame_schedule schedule(10ms);
    struct {
        std::chrono::milliseconds ready;
        std::chrono::milliseconds shown;
    } steps[] = {
        {0ms, 0ms},    // the first frame goes out at once
        {3ms, 10ms},   // early: waits for its due time
        {12ms, 20ms},  // due times follow each other, not the moments frames were ready
        {30ms, 30ms},  // ready exactly when due
        {45ms, 45ms},  // late: shown at once...
        {46ms, 55ms},  // ...and the next is due one period later, with no rush to make up the lost frames
        {65ms, 65ms},     {1000ms, 1000ms},  // after a long stop (an inactive window)
        {1001ms, 1010ms},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.ready.count());
        EXPECT_EQ(schedule.frame_ready(t0 + s.ready), t0 + s.shown);
    }
}

TEST(sdl_pacing, vsync_is_trusted_only_when_presents_take_a_display_frame) {
    struct {
        std::chrono::microseconds interval;
        vsync_check::verdict verdict;
    } cases[] = {
        {16667us, vsync_check::verdict::works},
        {13500us, vsync_check::verdict::works},  // a 75 Hz display still paces
        {1000us, vsync_check::verdict::fails},   // a driver that ignores the request
        {8333us, vsync_check::verdict::fails},   // 120 Hz would run the game twice as fast
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.interval.count());
        vsync_check check;
        pacing_clock::time_point t{};
        vsync_check::verdict v = check.presented(t);
        int frames = 0;
        while (v == vsync_check::verdict::undecided && frames < 1000) {
            t += c.interval;
            v = check.presented(t);
            ++frames;
        }
        EXPECT_EQ(v, c.verdict);
        EXPECT_GE(frames, 10);  // one odd interval decides nothing
        // The verdict holds whatever comes after.
        EXPECT_EQ(check.presented(t + 1h), c.verdict);
    }
}
