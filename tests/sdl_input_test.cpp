// The desktop backend's input: the letterbox between window and picture, key codes, joystick axes,
// and the window events fed into the game's polled input.
#include "platform/sdl/sdl_input.h"

#include <gtest/gtest.h>

#include "platform/core/core.h"

using platform::sdl::event_translator;
using platform::sdl::fit_picture;
using platform::sdl::letterbox;
using platform::sdl::picture_to_window;
using platform::sdl::point;
using platform::sdl::window_to_picture;

TEST(sdl_letterbox, picture_keeps_its_aspect_centred_between_bars) {
    struct {
        int w, h;
        letterbox box;
    } cases[] = {
        {640, 480, {0, 0, 640, 480}},     // its own size
        {1024, 768, {0, 0, 1024, 768}},   // 4:3 fills the screen, no bars
        {1280, 720, {160, 0, 960, 720}},  // wide: bars left and right
        {1920, 1080, {240, 0, 1440, 1080}},
        {1280, 1024, {0, 32, 1280, 960}},  // tall: bars above and below
        {800, 800, {0, 100, 800, 600}},
        {320, 240, {0, 0, 320, 240}},  // smaller than the picture
        {0, 0, {0, 0, 1, 1}},          // a window of no size still maps somewhere
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        const letterbox box = fit_picture(c.w, c.h);
        EXPECT_EQ(box.x, c.box.x);
        EXPECT_EQ(box.y, c.box.y);
        EXPECT_EQ(box.w, c.box.w);
        EXPECT_EQ(box.h, c.box.h);
    }
}

TEST(sdl_letterbox, window_pixels_map_into_the_picture_and_clamp_in_the_bars) {
    const letterbox wide = fit_picture(1280, 720);  // picture at x 160..1119, scale 1.5
    struct {
        int wx, wy;
        point p;
    } cases[] = {
        {640, 360, {320, 240}},   // the centre
        {160, 0, {0, 0}},         // the picture's first pixel
        {1119, 719, {639, 479}},  // its last
        {159, 360, {0, 240}},     // in the left bar
        {0, 0, {0, 0}},
        {1279, 719, {639, 479}},  // in the right bar
        {-40, 900, {0, 479}},     // outside the window altogether
        // 1.5 window pixels to a picture pixel: each takes the picture pixel under its centre
        {161, 1, {1, 1}},
        {162, 2, {1, 1}},
        {163, 3, {2, 2}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.wx << "," << c.wy);
        const point p = window_to_picture(wide, c.wx, c.wy);
        EXPECT_EQ(p.x, c.p.x);
        EXPECT_EQ(p.y, c.p.y);
    }
}

// A pointer moved by the game must read back where it was put, or a joystick nudge of 6 pixels
// a frame would drift by the rounding of each trip.
TEST(sdl_letterbox, every_picture_pixel_survives_the_trip_to_the_window_and_back) {
    const int sizes[][2] = {{640, 480},  {800, 600},   {1024, 768}, {1280, 720},
                            {1366, 768}, {1920, 1080}, {2560, 1440}};
    for (const auto &s : sizes) {
        SCOPED_TRACE(testing::Message() << s[0] << "x" << s[1]);
        const letterbox box = fit_picture(s[0], s[1]);
        int wrong = 0;
        for (int x = 0; x < platform::screen_width; ++x) {
            const point w = picture_to_window(box, x, 0);
            if (window_to_picture(box, w.x, w.y).x != x) ++wrong;
        }
        for (int y = 0; y < platform::screen_height; ++y) {
            const point w = picture_to_window(box, 0, y);
            if (window_to_picture(box, w.x, w.y).y != y) ++wrong;
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(sdl_keys, keys_become_virtual_key_codes) {
    struct {
        SDL_Keycode sym;
        SDL_Scancode scan;
        int code;
    } cases[] = {
        {SDLK_a, SDL_SCANCODE_A, 65},
        {SDLK_z, SDL_SCANCODE_Z, 90},
        {SDLK_0, SDL_SCANCODE_0, 48},
        {SDLK_9, SDL_SCANCODE_9, 57},
        {SDLK_F1, SDL_SCANCODE_F1, 112},
        {SDLK_F12, SDL_SCANCODE_F12, 123},
        {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27},
        {SDLK_SPACE, SDL_SCANCODE_SPACE, 32},
        {SDLK_RETURN, SDL_SCANCODE_RETURN, 13},
        {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
        {SDLK_TAB, SDL_SCANCODE_TAB, 9},
        {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8},
        {SDLK_LEFT, SDL_SCANCODE_LEFT, 37},
        {SDLK_UP, SDL_SCANCODE_UP, 38},
        {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39},
        {SDLK_DOWN, SDL_SCANCODE_DOWN, 40},
        {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 160},
        {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 161},
        {SDLK_LCTRL, SDL_SCANCODE_LCTRL, 162},
        {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 163},
        {SDLK_LALT, SDL_SCANCODE_LALT, 164},
        {SDLK_RALT, SDL_SCANCODE_RALT, 165},
        {SDLK_DELETE, SDL_SCANCODE_DELETE, 46},
        {SDLK_KP_0, SDL_SCANCODE_KP_0, 96},
        {SDLK_KP_9, SDL_SCANCODE_KP_9, 105},
        {SDLK_a, SDL_SCANCODE_Q, 65},       // a French keyboard's A sits where Q is elsewhere
        {0x444, SDL_SCANCODE_A, 65},        // a Cyrillic letter: the key's place gives the code
        {SDLK_MUTE, SDL_SCANCODE_MUTE, 0},  // nothing the game can name
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(SDL_GetScancodeName(c.scan));
        SDL_Keysym key{};
        key.sym = c.sym;
        key.scancode = c.scan;
        EXPECT_EQ(platform::sdl::virtual_key(key), c.code);
    }
}

TEST(sdl_joystick, axis_reaches_exactly_both_ends_of_travel) {
    struct {
        Sint16 raw;
        float value;
    } cases[] = {{-32768, -1.0f}, {32767, 1.0f}, {0, 0.0f}, {-16384, -0.5f}};
    for (const auto &c : cases) EXPECT_EQ(platform::sdl::axis_value(c.raw), c.value) << c.raw;
    // One step short of the end is not full deflection: the pointer nudge must not fire.
    EXPECT_LT(platform::sdl::axis_value(32766), 1.0f);
    EXPECT_GT(platform::sdl::axis_value(-32767), -1.0f);
}

// Window events fed through a translator into the game's polled input.
class sdl_events : public testing::Test {
  protected:
    void SetUp() override { platform::reset_input(); }
    void TearDown() override { platform::reset_input(); }

    static SDL_Event key(SDL_Keycode sym, bool down, bool repeat = false) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
        return e;
    }
    static SDL_Event window(SDL_WindowEventID what, int data1 = 0, int data2 = 0) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = what;
        e.window.data1 = data1;
        e.window.data2 = data2;
        return e;
    }
    static SDL_Event motion(int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x;
        e.motion.y = y;
        return e;
    }
    static SDL_Event button(Uint8 b, bool down, int x, int y) {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = b;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.x = x;
        e.button.y = y;
        return e;
    }
    static SDL_Event joy_axis(SDL_JoystickID which, Uint8 axis, Sint16 value) {
        SDL_Event e{};
        e.type = SDL_JOYAXISMOTION;
        e.jaxis.which = which;
        e.jaxis.axis = axis;
        e.jaxis.value = value;
        return e;
    }
    static SDL_Event joy_button(SDL_JoystickID which, Uint8 b, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
        e.jbutton.which = which;
        e.jbutton.button = b;
        e.jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
        return e;
    }

    event_translator events;
};

TEST_F(sdl_events, key_presses_count_once_and_repeats_are_ignored) {
    events.take(key(SDLK_ESCAPE, true));
    events.take(key(SDLK_ESCAPE, true, true));
    events.take(key(SDLK_ESCAPE, true, true));
    EXPECT_TRUE(key_down(27));
    EXPECT_EQ(key_hit(27), 1);
    events.take(key(SDLK_ESCAPE, false));
    EXPECT_FALSE(key_down(27));
    EXPECT_EQ(key_hit(27), 0);
}

TEST_F(sdl_events, losing_focus_lets_go_of_held_keys_and_buttons) {
    events.take(key(SDLK_LCTRL, true));
    events.take(button(SDL_BUTTON_LEFT, true, 10, 10));
    events.take(window(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_FALSE(key_down(162));
    EXPECT_FALSE(mouse_down(1));
    // The presses made before still count.
    EXPECT_EQ(key_hit(162), 1);
    EXPECT_EQ(mouse_hit(1), 1);
}

TEST_F(sdl_events, mouse_buttons_are_numbered_as_the_game_expects_and_land_where_clicked) {
    events.set_window_size(1280, 720);
    struct {
        Uint8 sdl;
        int game;
    } cases[] = {{SDL_BUTTON_LEFT, 1}, {SDL_BUTTON_RIGHT, 2}, {SDL_BUTTON_MIDDLE, 3}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.game);
        events.take(button(c.sdl, true, 640, 360));
        EXPECT_TRUE(mouse_down(c.game));
        events.take(button(c.sdl, false, 640, 360));
        EXPECT_EQ(mouse_hit(c.game), 1);
    }
    EXPECT_EQ(mouse_x(), 320);
    EXPECT_EQ(mouse_y(), 240);
    events.take(button(SDL_BUTTON_X1, true, 160, 0));
    for (int b = 0; b < 4; ++b) EXPECT_EQ(mouse_hit(b), 0) << b;
}

TEST_F(sdl_events, pointer_follows_the_window_size_the_system_reports) {
    events.take(motion(320, 240));
    EXPECT_EQ(mouse_x(), 320);
    EXPECT_EQ(mouse_y(), 240);
    events.take(window(SDL_WINDOWEVENT_SIZE_CHANGED, 1280, 720));
    events.take(motion(640, 360));
    EXPECT_EQ(mouse_x(), 320);
    EXPECT_EQ(mouse_y(), 240);
    events.take(motion(100, 700));  // in the left bar
    EXPECT_EQ(mouse_x(), 0);
    EXPECT_EQ(mouse_y(), 467);
}

TEST_F(sdl_events, a_moved_pointer_stays_inside_the_picture_and_reads_back_exactly) {
    struct {
        int window_w, window_h;
        int x, y;      // where the game moves the pointer
        point window;  // where the system pointer goes
        point reads;   // what the game reads after the motion comes back
    } cases[] = {
        {1280, 720, 320, 265, {640, 398}, {320, 265}},
        {1280, 720, -6, 500, {160, 719}, {0, 479}},  // nudged past the edges: held at them
        {1280, 720, 700, -1, {1119, 0}, {639, 0}},
        {320, 240, 321, 101, {160, 50}, {321, 101}},  // window smaller than the picture
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.window_w << "x" << c.window_h << " " << c.x << "," << c.y);
        events.set_window_size(c.window_w, c.window_h);
        const event_translator::warp w = events.warp_pointer(c.x, c.y);
        EXPECT_EQ(w.window.x, c.window.x);
        EXPECT_EQ(w.window.y, c.window.y);
        EXPECT_EQ(w.picture.x, c.reads.x);
        EXPECT_EQ(w.picture.y, c.reads.y);
        events.take(motion(w.window.x, w.window.y));
        EXPECT_EQ(mouse_x(), c.reads.x);
        EXPECT_EQ(mouse_y(), c.reads.y);
    }
    // A real motion elsewhere is mapped as usual again.
    events.set_window_size(320, 240);
    events.warp_pointer(321, 101);
    events.take(motion(10, 10));
    events.take(motion(160, 50));
    EXPECT_EQ(mouse_x(), 321);
    EXPECT_EQ(mouse_y(), 101);
}

TEST_F(sdl_events, window_is_inactive_without_focus_or_while_minimised_or_hidden) {
    struct {
        SDL_WindowEventID what;
        bool inactive;
    } steps[] = {
        {SDL_WINDOWEVENT_FOCUS_LOST, true},    {SDL_WINDOWEVENT_FOCUS_GAINED, false},
        {SDL_WINDOWEVENT_MINIMIZED, true},     {SDL_WINDOWEVENT_FOCUS_LOST, true},
        {SDL_WINDOWEVENT_RESTORED, true},  // still without focus
        {SDL_WINDOWEVENT_FOCUS_GAINED, false}, {SDL_WINDOWEVENT_HIDDEN, true},
        {SDL_WINDOWEVENT_SHOWN, false},
    };
    EXPECT_FALSE(events.inactive());
    for (const auto &s : steps) {
        events.take(window(s.what));
        EXPECT_EQ(events.inactive(), s.inactive) << static_cast<int>(s.what);
    }
}

TEST_F(sdl_events, one_close_request_reads_true_once) {
    EXPECT_FALSE(events.take_close_request());
    // Closing the window may come as the window's own close and a quit together.
    events.take(window(SDL_WINDOWEVENT_CLOSE));
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    events.take(quit);
    EXPECT_TRUE(events.take_close_request());
    EXPECT_FALSE(events.take_close_request());
    events.take(quit);
    EXPECT_TRUE(events.take_close_request());
}

TEST_F(sdl_events, only_the_chosen_joystick_is_port_zero) {
    events.take(joy_axis(7, 0, -32768));
    events.take(joy_button(7, 2, true));
    EXPECT_EQ(joy_x(0), 0.0f);
    EXPECT_EQ(joy_hit(2, 0), 0);

    events.set_joystick(7);
    events.take(joy_axis(7, 0, -32768));
    events.take(joy_axis(7, 1, 32767));
    events.take(joy_axis(7, 2, 32767));  // a third axis is not the game's
    events.take(joy_axis(8, 0, 32767));  // another stick
    events.take(joy_button(7, 2, true));
    events.take(joy_button(8, 0, true));
    EXPECT_EQ(joy_x(0), -1.0f);
    EXPECT_EQ(joy_y(0), 1.0f);
    EXPECT_TRUE(joy_down(2, 0));
    EXPECT_EQ(joy_hit(2, 0), 1);
    EXPECT_EQ(joy_hit(0, 0), 0);

    // Unplugged while held: nothing stays pressed or deflected.
    events.release_joystick();
    EXPECT_FALSE(joy_down(2, 0));
    EXPECT_EQ(joy_x(0), 0.0f);
    EXPECT_EQ(joy_y(0), 0.0f);
}
