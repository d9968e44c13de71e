// Running a whole scripted game in this process on the headless backend, and drawing a draw log again.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/core/core.h"
#include "platform/headless/headless.h"
#include "replay_script.h"

namespace tools {

// One pass of the frame loop: the thread CPU clock when it began, and the CPU and wall time it took.
struct frame_times {
    double cpu_start = 0, cpu = 0, wall = 0;
};

struct replay_hooks {
    // After the headless backend is installed, before anything of the game runs.
    std::function<void(platform::headless &)> prepare;
    // After each presented frame (the splash's too), before the frame's logs are emptied.
    std::function<void(int frame)> on_present;
    // After start-up, when the frame loop begins.
    std::function<void()> on_loop;
    // After each pass of the frame loop; when set, every pass is timed.
    std::function<void(const frame_times &)> each_frame;
};

struct replay_counts {
    int loop_frames = 0;  // passes of the frame loop
    int presented = 0;    // frames presented, the splash's included
};

// Runs the game from start-up to shutdown with the random numbers seeded by `seed` and the events
// scheduled on their frames. The draw and audio logs are emptied after every presented frame: a long
// game would only grow them. The game's last clean-up (end_program) is left to the caller.
replay_counts run_replay(const std::vector<script_event> &events, std::int32_t seed,
                         const replay_hooks &hooks = {});

}  // namespace tools
