// The desktop's events turned into the core's input: the letterbox that maps the window to the
// 640 x 480 picture and back, keys to virtual-key codes, joystick axes, and the window's own state.
#pragma once

#include <SDL.h>

#include <bitset>
#include <optional>

namespace platform::sdl {

// Where the picture lies inside a window of the given size: as large as fits with its aspect kept,
// centred, the rest left as black bars.
struct letterbox {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};
letterbox fit_picture(int window_w, int window_h);

struct point {
    int x = 0;
    int y = 0;
};
// A window pixel to the picture pixel under its centre, clamped into the picture.
point window_to_picture(const letterbox &box, int wx, int wy);
// A picture pixel to the window pixel under its centre; maps back to the same picture pixel
// whenever the picture is shown at least at its own size.
point picture_to_window(const letterbox &box, int px, int py);

// The Windows virtual-key code of a key, or 0 for a key the game has no code for.
int virtual_key(const SDL_Keysym &key);
// A mouse button as the game numbers them (1 left, 2 right, 3 middle), or 0.
int mouse_button_number(int sdl_button);
// A raw joystick axis reading as -1.0 .. +1.0, reaching both ends exactly.
float axis_value(Sint16 raw);

// Takes in the window's events: feeds keys, buttons, the pointer and the joystick to the core, and
// keeps what the backend needs to know about the window (focus, visibility, close requests).
class event_translator {
  public:
    void set_window_size(int w, int h);
    const letterbox &picture() const { return box_; }

    // The joystick whose events are the game's port 0 (its axes and buttons), or none.
    void set_joystick(std::optional<SDL_JoystickID> id) { joystick_ = id; }
    std::optional<SDL_JoystickID> joystick() const { return joystick_; }
    // Lets go of every joystick button held and centres the axes, as when the stick is unplugged.
    void release_joystick();

    void take(const SDL_Event &e);

    // True while the window lacks input focus or is minimised or hidden.
    bool inactive() const { return !focused_ || minimised_ || hidden_; }
    // True once for each request to close the window (however many events the request came in).
    bool take_close_request();
    void request_close() { close_pending_ = true; }

    // Notes that the system pointer is being moved to a picture position. Returns the window pixel to
    // move it to and the picture position the pointer really takes, which stays inside the picture as
    // a real pointer does. The motion the move itself produces is read back as that position.
    struct warp {
        point window;
        point picture;
    };
    warp warp_pointer(int px, int py);

  private:
    void window_event(const SDL_WindowEvent &e);
    void pointer_at(int wx, int wy);
    void key(const SDL_KeyboardEvent &e);
    void lose_focus();

    letterbox box_ = fit_picture(640, 480);
    std::optional<SDL_JoystickID> joystick_;
    std::bitset<256> keys_held_;
    std::bitset<4> mouse_held_;
    std::bitset<32> joy_held_;
    std::optional<warp> last_warp_;
    bool focused_ = true;  // a window that was never told otherwise counts as active
    bool minimised_ = false;
    bool hidden_ = false;
    bool close_pending_ = false;
};

}  // namespace platform::sdl
