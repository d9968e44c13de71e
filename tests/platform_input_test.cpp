// Polled input: hit counts of keys, mouse buttons and joystick buttons, held states, flushes, the
// pointer and the joystick on port 0.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/core/core.h"

namespace {

// One bank of buttons as the game reads it and a backend feeds it.
struct device {
    const char *name;
    std::function<void(int, bool)> feed;
    std::function<int(int)> hit;
    std::function<bool(int)> down;
    std::function<void()> flush;
    int button;
};

std::vector<device> devices() {
    return {
        {"key", platform::input_key, [](int c) { return key_hit(c); }, [](int c) { return key_down(c); },
         flush_keys, 32},
        {"mouse", platform::input_mouse_button, [](int b) { return mouse_hit(b); },
         [](int b) { return mouse_down(b); }, flush_mouse, 1},
        {"joystick", platform::input_joy_button, [](int b) { return joy_hit(b); },
         [](int b) { return joy_down(b); }, [] {}, 2},
    };
}

class input_state : public testing::Test {
  protected:
    void SetUp() override { platform::reset_input(); }
    void TearDown() override { platform::reset_input(); }
};

using input_hits = input_state;
using input_pointer = input_state;

}  // namespace

TEST_F(input_hits, presses_are_counted_until_queried) {
    // Each row: the events fed (true down, false up), the hits then reported, the held state.
    struct {
        const char *what;
        std::vector<bool> events;
        int hits;
        bool held;
    } cases[] = {
        {"nothing", {}, 0, false},
        {"a press and its release", {true, false}, 1, false},
        {"held down", {true}, 1, true},
        {"three presses", {true, false, true, false, true, false}, 3, false},
        {"repeated downs of one held press", {true, true, true}, 1, true},
        {"a release alone", {false}, 0, false},
    };
    for (const device &d : devices()) {
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(d.name) + ": " + c.what);
            platform::reset_input();
            for (bool down : c.events) d.feed(d.button, down);
            EXPECT_EQ(d.down(d.button), c.held);
            EXPECT_EQ(d.hit(d.button), c.hits);
            EXPECT_EQ(d.hit(d.button), 0);  // the query cleared them
            EXPECT_EQ(d.down(d.button), c.held);
        }
    }
}

TEST_F(input_hits, a_query_clears_only_its_own_count) {
    for (const device &d : devices()) {
        SCOPED_TRACE(d.name);
        platform::reset_input();
        for (int b : {d.button, d.button + 1}) {
            d.feed(b, true);
            d.feed(b, false);
        }
        EXPECT_EQ(d.hit(d.button), 1);
        EXPECT_EQ(d.hit(d.button), 0);
        EXPECT_EQ(d.hit(d.button + 1), 1);
    }
    // Keys and mouse buttons of the same number are counted apart.
    platform::reset_input();
    platform::input_key(1, true);
    platform::input_mouse_button(1, true);
    EXPECT_EQ(key_hit(1), 1);
    EXPECT_EQ(mouse_hit(1), 1);
}

TEST_F(input_hits, flushes_clear_hits_but_not_what_is_held) {
    platform::input_key(27, true);                                  // held
    platform::input_key(32, true), platform::input_key(32, false);  // pressed and let go
    platform::input_mouse_button(1, true);
    platform::input_mouse_button(2, true), platform::input_mouse_button(2, false);
    platform::input_joy_button(0, true), platform::input_joy_button(0, false);

    flush_keys();
    EXPECT_EQ(key_hit(27), 0);
    EXPECT_EQ(key_hit(32), 0);
    EXPECT_TRUE(key_down(27));
    EXPECT_FALSE(key_down(32));
    EXPECT_EQ(joy_hit(0), 1);  // neither flush touches the joystick

    platform::input_mouse_button(2, true), platform::input_mouse_button(2, false);
    platform::input_key(32, true), platform::input_key(32, false);
    flush_mouse();
    EXPECT_EQ(mouse_hit(1), 0);
    EXPECT_EQ(mouse_hit(2), 0);
    EXPECT_TRUE(mouse_down(1));
    EXPECT_EQ(key_hit(32), 1);  // the key pressed since the key flush survives the mouse flush

    // A button held through a flush counts again only when pressed anew.
    platform::input_key(27, true);
    EXPECT_EQ(key_hit(27), 0);
    platform::input_key(27, false), platform::input_key(27, true);
    EXPECT_EQ(key_hit(27), 1);
}

TEST_F(input_hits, codes_out_of_range_are_harmless) {
    for (int code : {-1, -1000, 256, 1000, 1 << 30}) {
        SCOPED_TRACE(code);
        platform::input_key(code, true);
        platform::input_mouse_button(code, true);
        platform::input_joy_button(code, true);
        EXPECT_EQ(key_hit(code), 0);
        EXPECT_FALSE(key_down(code));
        EXPECT_EQ(mouse_hit(code), 0);
        EXPECT_FALSE(mouse_down(code));
        EXPECT_EQ(joy_hit(code), 0);
        EXPECT_FALSE(joy_down(code));
    }
    // The highest real key code still works.
    platform::input_key(255, true);
    EXPECT_EQ(key_hit(255), 1);
}

TEST_F(input_pointer, joystick_is_read_on_port_zero_only) {
    platform::input_joy_axis(0, -1.0f);
    platform::input_joy_axis(1, 1.0f);
    platform::input_joy_button(2, true);
    for (int port : {1, 2, -1}) {
        SCOPED_TRACE(port);
        EXPECT_EQ(joy_x(port), 0.0f);
        EXPECT_EQ(joy_y(port), 0.0f);
        EXPECT_EQ(joy_hit(2, port), 0);
        EXPECT_FALSE(joy_down(2, port));
    }
    // The other ports' queries took nothing from port 0.
    EXPECT_EQ(joy_x(), -1.0f);
    EXPECT_EQ(joy_y(), 1.0f);
    EXPECT_EQ(joy_hit(2), 1);
    EXPECT_TRUE(joy_down(2));
}

TEST_F(input_pointer, axes_keep_their_values_and_ignore_other_axes) {
    for (float v : {-1.0f, -0.5f, 0.0f, 0.99f, 1.0f}) {
        SCOPED_TRACE(v);
        platform::input_joy_axis(0, v);
        platform::input_joy_axis(1, -v);
        EXPECT_EQ(joy_x(), v);
        EXPECT_EQ(joy_y(), -v);
    }
    platform::input_joy_axis(0, 0.25f);
    platform::input_joy_axis(1, 0.75f);
    for (int axis : {2, 3, 5, -1}) platform::input_joy_axis(axis, 1.0f);
    EXPECT_EQ(joy_x(), 0.25f);
    EXPECT_EQ(joy_y(), 0.75f);
}

TEST_F(input_pointer, move_mouse_sets_the_position_the_game_reads) {
    platform::input_mouse_position(10, 20);
    EXPECT_EQ(mouse_x(), 10);
    EXPECT_EQ(mouse_y(), 20);
    move_mouse(320, 265);
    EXPECT_EQ(mouse_x(), 320);
    EXPECT_EQ(mouse_y(), 265);
    move_mouse(-6, 700);  // the game does not clamp, and neither does the pointer it reads back
    EXPECT_EQ(mouse_x(), -6);
    EXPECT_EQ(mouse_y(), 700);
}
