// Running a whole scripted game in this process on the headless backend, and drawing a draw log again.
#include "replay_run.h"

#include "figures.h"
#include "game.h"

namespace tools {

replay_counts run_replay(const std::vector<script_event> &events, std::int32_t seed,
                         const replay_hooks &hooks) {
    platform::headless &h = platform::install_headless();
    if (hooks.prepare) hooks.prepare(h);
    platform::force_seed(seed);
    clear_program_globals();
    for (const script_event &e : events) h.schedule(e.frame, e.event);
    h.on_present = [&hooks](int frame) {
        if (hooks.on_present) hooks.on_present(frame);
        platform::draw_log().clear();
        platform::audio_log().clear();
    };
    startup();
    if (hooks.on_loop) hooks.on_loop();
    replay_counts counts;
    for (bool going = true; going; ++counts.loop_frames) {
        if (!hooks.each_frame) {
            going = run_frame();
            continue;
        }
        const double c0 = thread_ms(), w0 = wall_ms();
        going = run_frame();
        const double c1 = thread_ms(), w1 = wall_ms();
        hooks.each_frame({c0, c1 - c0, w1 - w0});
    }
    counts.presented = h.frames();
    shutdown();
    h.on_present = nullptr;
    return counts;
}

}  // namespace tools
