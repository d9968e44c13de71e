// The desktop's events turned into the core's input: letterbox mapping, key codes, joystick axes,
// focus and close requests.
#include "platform/sdl/sdl_input.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/core/core.h"

namespace platform::sdl {

letterbox fit_picture(int window_w, int window_h) {
    window_w = std::max(window_w, 1);
    window_h = std::max(window_h, 1);
    letterbox box;
    // Compare the aspects in integers so that an exact 4:3 window gets no bars at all.
    if (static_cast<long long>(window_w) * screen_height <= static_cast<long long>(window_h) * screen_width) {
        box.w = window_w;
        box.h =
            std::max(1, static_cast<int>(static_cast<long long>(window_w) * screen_height / screen_width));
    } else {
        box.h = window_h;
        box.w =
            std::max(1, static_cast<int>(static_cast<long long>(window_h) * screen_width / screen_height));
    }
    box.x = (window_w - box.w) / 2;
    box.y = (window_h - box.h) / 2;
    return box;
}

point window_to_picture(const letterbox &box, int wx, int wy) {
    const double px = std::floor((wx - box.x + 0.5) * screen_width / box.w);
    const double py = std::floor((wy - box.y + 0.5) * screen_height / box.h);
    return {static_cast<int>(std::clamp(px, 0.0, screen_width - 1.0)),
            static_cast<int>(std::clamp(py, 0.0, screen_height - 1.0))};
}

point picture_to_window(const letterbox &box, int px, int py) {
    return {box.x + static_cast<int>(std::floor((px + 0.5) * box.w / screen_width)),
            box.y + static_cast<int>(std::floor((py + 0.5) * box.h / screen_height))};
}

namespace {

// Keys named by what they do, the same on every keyboard layout.
int function_key(SDL_Keycode k) {
    switch (k) {
        case SDLK_BACKSPACE:
            return 8;
        case SDLK_TAB:
            return 9;
        case SDLK_RETURN:
            return 13;
        case SDLK_KP_ENTER:
            return 13;
        case SDLK_PAUSE:
            return 19;
        case SDLK_CAPSLOCK:
            return 20;
        case SDLK_ESCAPE:
            return 27;
        case SDLK_SPACE:
            return 32;
        case SDLK_PAGEUP:
            return 33;
        case SDLK_PAGEDOWN:
            return 34;
        case SDLK_END:
            return 35;
        case SDLK_HOME:
            return 36;
        case SDLK_LEFT:
            return 37;
        case SDLK_UP:
            return 38;
        case SDLK_RIGHT:
            return 39;
        case SDLK_DOWN:
            return 40;
        case SDLK_PRINTSCREEN:
            return 44;
        case SDLK_INSERT:
            return 45;
        case SDLK_DELETE:
            return 46;
        case SDLK_LGUI:
            return 91;
        case SDLK_RGUI:
            return 92;
        case SDLK_APPLICATION:
            return 93;
        case SDLK_KP_MULTIPLY:
            return 106;
        case SDLK_KP_PLUS:
            return 107;
        case SDLK_KP_MINUS:
            return 109;
        case SDLK_KP_PERIOD:
            return 110;
        case SDLK_KP_DIVIDE:
            return 111;
        case SDLK_NUMLOCKCLEAR:
            return 144;
        case SDLK_SCROLLLOCK:
            return 145;
        case SDLK_LSHIFT:
            return 160;
        case SDLK_RSHIFT:
            return 161;
        case SDLK_LCTRL:
            return 162;
        case SDLK_RCTRL:
            return 163;
        case SDLK_LALT:
            return 164;
        case SDLK_RALT:
            return 165;
        case SDLK_SEMICOLON:
            return 186;
        case SDLK_EQUALS:
            return 187;
        case SDLK_COMMA:
            return 188;
        case SDLK_MINUS:
            return 189;
        case SDLK_PERIOD:
            return 190;
        case SDLK_SLASH:
            return 191;
        case SDLK_BACKQUOTE:
            return 192;
        case SDLK_LEFTBRACKET:
            return 219;
        case SDLK_BACKSLASH:
            return 220;
        case SDLK_RIGHTBRACKET:
            return 221;
        case SDLK_QUOTE:
            return 222;
        default:
            break;
    }
    if (k >= SDLK_F1 && k <= SDLK_F12) return 112 + (k - SDLK_F1);
    if (k >= SDLK_F13 && k <= SDLK_F24) return 124 + (k - SDLK_F13);
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return 97 + (k - SDLK_KP_1);
    if (k == SDLK_KP_0) return 96;
    return 0;
}

}  // namespace

int virtual_key(const SDL_Keysym &key) {
    const SDL_Keycode k = key.sym;
    // Letters and digits follow the layout, as the virtual-key codes do.
    if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
    if (const int code = function_key(k); code != 0) return code;
    // A layout whose letter keys type other scripts still gets codes, from the key's position.
    const SDL_Scancode s = key.scancode;
    if (s >= SDL_SCANCODE_A && s <= SDL_SCANCODE_Z) return 'A' + (s - SDL_SCANCODE_A);
    if (s >= SDL_SCANCODE_1 && s <= SDL_SCANCODE_9) return '1' + (s - SDL_SCANCODE_1);
    if (s == SDL_SCANCODE_0) return '0';
    return 0;
}

int mouse_button_number(int sdl_button) {
    switch (sdl_button) {
        case SDL_BUTTON_LEFT:
            return 1;
        case SDL_BUTTON_RIGHT:
            return 2;
        case SDL_BUTTON_MIDDLE:
            return 3;
        default:
            return 0;
    }
}

float axis_value(Sint16 raw) {
    if (raw < 0) return static_cast<float>(raw) / 32768.0f;
    return static_cast<float>(raw) / 32767.0f;
}

void event_translator::set_window_size(int w, int h) {
    box_ = fit_picture(w, h);
    last_warp_.reset();
}

void event_translator::release_joystick() {
    for (std::size_t b = 0; b < joy_held_.size(); ++b) {
        if (joy_held_[b]) input_joy_button(static_cast<int>(b), false);
    }
    joy_held_.reset();
    input_joy_axis(0, 0.0f);
    input_joy_axis(1, 0.0f);
}

bool event_translator::take_close_request() { return std::exchange(close_pending_, false); }

event_translator::warp event_translator::warp_pointer(int px, int py) {
    const point inside{std::clamp(px, 0, screen_width - 1), std::clamp(py, 0, screen_height - 1)};
    last_warp_ = warp{picture_to_window(box_, inside.x, inside.y), inside};
    return *last_warp_;
}

void event_translator::pointer_at(int wx, int wy) {
    // The motion that a move of the pointer produces reads back as the position asked for, even
    // where the window is smaller than the picture and two picture pixels share one window pixel.
    if (last_warp_ && last_warp_->window.x == wx && last_warp_->window.y == wy) {
        input_mouse_position(last_warp_->picture.x, last_warp_->picture.y);
        return;
    }
    last_warp_.reset();
    const point p = window_to_picture(box_, wx, wy);
    input_mouse_position(p.x, p.y);
}

void event_translator::key(const SDL_KeyboardEvent &e) {
    if (e.repeat != 0) return;
    const int code = virtual_key(e.keysym);
    if (code <= 0 || code >= static_cast<int>(keys_held_.size())) return;
    const bool down = e.state == SDL_PRESSED;
    keys_held_[code] = down;
    input_key(code, down);
}

// Keys and buttons released while another window has the focus never reach us: let go of them now.
void event_translator::lose_focus() {
    for (std::size_t k = 0; k < keys_held_.size(); ++k) {
        if (keys_held_[k]) input_key(static_cast<int>(k), false);
    }
    keys_held_.reset();
    for (std::size_t b = 0; b < mouse_held_.size(); ++b) {
        if (mouse_held_[b]) input_mouse_button(static_cast<int>(b), false);
    }
    mouse_held_.reset();
}

void event_translator::window_event(const SDL_WindowEvent &e) {
    switch (e.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            focused_ = true;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            focused_ = false;
            lose_focus();
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            minimised_ = true;
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            minimised_ = false;
            break;
        case SDL_WINDOWEVENT_HIDDEN:
            hidden_ = true;
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
            hidden_ = false;
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESIZED:
            set_window_size(e.data1, e.data2);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            close_pending_ = true;
            break;
        default:
            break;
    }
}

void event_translator::take(const SDL_Event &e) {
    switch (e.type) {
        case SDL_QUIT:
            close_pending_ = true;
            break;
        case SDL_WINDOWEVENT:
            window_event(e.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            key(e.key);
            break;
        case SDL_MOUSEMOTION:
            pointer_at(e.motion.x, e.motion.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            // A click lands where it happened, even if no motion came before it.
            pointer_at(e.button.x, e.button.y);
            const int b = mouse_button_number(e.button.button);
            if (b == 0) break;
            const bool down = e.button.state == SDL_PRESSED;
            mouse_held_[b] = down;
            input_mouse_button(b, down);
            break;
        }
        case SDL_JOYAXISMOTION:
            if (joystick_ && e.jaxis.which == *joystick_ && e.jaxis.axis < 2) {
                input_joy_axis(e.jaxis.axis, axis_value(e.jaxis.value));
            }
            break;
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            if (joystick_ && e.jbutton.which == *joystick_ && e.jbutton.button < joy_held_.size()) {
                const bool down = e.jbutton.state == SDL_PRESSED;
                joy_held_[e.jbutton.button] = down;
                input_joy_button(e.jbutton.button, down);
            }
            break;
        default:
            break;
    }
}

}  // namespace platform::sdl
