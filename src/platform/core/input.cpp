// Polled input: hit counts and held states of keys, mouse buttons and joystick buttons, the pointer
// and the joystick axes. Backends feed events in; the game's queries read and clear the counts.
#include <array>
#include <utility>

#include "platform/core/core.h"

namespace platform {
namespace {

struct button_state {
    int hits = 0;
    bool down = false;
};

template <std::size_t N>
struct button_bank {
    std::array<button_state, N> buttons{};

    void feed(int index, bool down) {
        if (index < 0 || index >= static_cast<int>(N)) return;
        button_state &b = buttons[index];
        if (down && !b.down) ++b.hits;
        b.down = down;
    }
    int hit(int index) {
        if (index < 0 || index >= static_cast<int>(N)) return 0;
        return std::exchange(buttons[index].hits, 0);
    }
    bool held(int index) const { return index >= 0 && index < static_cast<int>(N) && buttons[index].down; }
    void flush() {
        for (button_state &b : buttons) b.hits = 0;
    }
};

struct input_state {
    button_bank<256> keys;
    button_bank<4> mouse;  // 1 left, 2 right, 3 middle
    button_bank<32> joy;
    int pointer_x = 0;
    int pointer_y = 0;
    float axis_x = 0;
    float axis_y = 0;
};

input_state &state() {
    static input_state s;
    return s;
}

}  // namespace

void input_key(int code, bool down) { state().keys.feed(code, down); }
void input_mouse_button(int button, bool down) { state().mouse.feed(button, down); }
void input_mouse_position(int x, int y) {
    state().pointer_x = x;
    state().pointer_y = y;
}
void input_joy_button(int button, bool down) { state().joy.feed(button, down); }
void input_joy_axis(int axis, float value) {
    // Only the first stick is read; a further axis (a second stick, a throttle) must not move it.
    if (axis == 0) state().axis_x = value;
    if (axis == 1) state().axis_y = value;
}
void reset_input() { state() = input_state{}; }

}  // namespace platform

using platform::state;

int mouse_x() { return state().pointer_x; }
int mouse_y() { return state().pointer_y; }
int mouse_hit(int button) { return state().mouse.hit(button); }
bool mouse_down(int button) { return state().mouse.held(button); }
void flush_mouse() { state().mouse.flush(); }

void move_mouse(int x, int y) {
    platform::input_mouse_position(x, y);
    platform::active_backend().warp_pointer(x, y);
}

int key_hit(int code) { return state().keys.hit(code); }
bool key_down(int code) { return state().keys.held(code); }
void flush_keys() { state().keys.flush(); }

float joy_x(int port) { return port == 0 ? state().axis_x : 0.0f; }
float joy_y(int port) { return port == 0 ? state().axis_y : 0.0f; }
int joy_hit(int button, int port) { return port == 0 ? state().joy.hit(button) : 0; }
bool joy_down(int button, int port) { return port == 0 && state().joy.held(button); }
