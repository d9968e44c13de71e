// The frame loop: its order, the pause trigger, the exit test, the inactive window.
#include "harness.h"

TEST(frame_loop, escape_ends_after_the_frame_is_presented) {
    game g;
    const int before = g.backend().frames();
    g.backend().press_key(27);
    EXPECT_FALSE(g.frame());
    EXPECT_EQ(g.backend().frames(), before + 1);
}
