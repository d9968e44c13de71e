// The platform operations the game calls, by their own names: display and drawing, embedded files,
// audio channels, polled input, the window, files and the system clock and random numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Handles are small values; 0 is "none". An operation on an unknown handle does nothing.
struct image {
    std::int32_t id = 0;
};
struct font {
    std::int32_t id = 0;
};
struct sound {
    std::int32_t id = 0;
};
struct channel {
    std::int32_t id = 0;
};
struct stream {
    std::int32_t id = 0;
};

// Image flags.
constexpr int image_masked = 1;    // pure black (0, 0, 0) is transparent, every other pixel opaque
constexpr int image_filtered = 2;  // sampled bilinearly when drawn scaled or rotated
constexpr int image_mipmapped = 4;
constexpr int image_dynamic = 8;
constexpr int image_default_flags = -1;  // the flags given to set_auto_image_flags

// Blend modes.
constexpr int blend_mask = 1;   // drawn where picture alpha x alpha >= 0.5, no blending
constexpr int blend_solid = 2;  // every pixel drawn
constexpr int blend_alpha = 3;  // source x alpha + destination x (1 - alpha)
constexpr int blend_light = 4;  // source x alpha + destination
constexpr int blend_shade = 5;  // source x destination

// --- Embedded files
void register_embedded(std::string_view name, const unsigned char *bytes, std::size_t size);

// --- Display and drawing
void set_window_title(std::string_view title);
void open_display(int width, int height, int depth, int hertz, int flags);
void present_frame();
void clear_screen();
void set_color(int r, int g, int b);
void set_alpha(float alpha);
void set_blend(int mode);
void set_rotation(float degrees);
void set_scale(float sx, float sy);
void set_transform(float degrees, float sx, float sy);
void draw_image(image img, float x, float y, int frame);
void draw_rect(float x, float y, float width, float height);
void draw_text(std::string_view text, float x, float y);
int text_width(std::string_view text);
image load_image(std::string_view path, int flags = image_default_flags);
image create_image(int width, int height, int frames = 1, int flags = image_default_flags);
void grab_image(image img, int x, int y, int frame);
void mid_handle_image(image img);
void set_auto_mid_handle(bool on);
void set_auto_image_flags(int flags);
font load_image_font(std::string_view path, int size, int style);
void set_image_font(font f);

// --- Audio
constexpr int sound_loop = 1;
sound load_sound(std::string_view path, int flags);
channel cue_sound(sound snd);
channel alloc_channel();
void set_channel_volume(channel ch, float volume);
void resume_channel(channel ch);
void pause_channel(channel ch);
void stop_channel(channel ch);
bool channel_playing(channel ch);

// --- Input (Windows virtual-key codes; mouse buttons 1 left, 2 right, 3 middle; joystick port 0)
int mouse_x();
int mouse_y();
int mouse_hit(int button);
bool mouse_down(int button);
void move_mouse(int x, int y);
void hide_mouse();
void flush_mouse();
int key_hit(int code);
bool key_down(int code);
void flush_keys();
float joy_x(int port = 0);
float joy_y(int port = 0);
int joy_hit(int button, int port = 0);
bool joy_down(int button, int port = 0);
int joy_count();

// --- Window
bool window_inactive();
bool close_requested();

// --- Files (the game's backslash paths, relative to the working directory)
int file_type(std::string_view path);  // 0 nothing, 1 file, 2 directory
int file_size(std::string_view path);  // bytes; 0 when it is not a readable file
stream read_file(std::string_view path);
stream write_file(std::string_view path);
std::int32_t read_int(stream s);
void write_int(stream s, std::int32_t value);
void close_file(stream s);

// --- System
int millisecs();
void delay(int milliseconds);
void end_program();
void seed_rnd(std::int32_t seed);
float rnd(float low, float high);
double sin_deg(double degrees);
double cos_deg(double degrees);
