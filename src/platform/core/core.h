// The platform's inner workings shared by the core and the backends: the backend interface, the frame
// buffer, input and audio feeds, logs for tests. The game never includes this header.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace platform {

constexpr int screen_width = 640;
constexpr int screen_height = 480;

// The picture the game draws into, 0xAARRGGBB per pixel (the alpha byte is kept at 0xFF).
struct frame_buffer {
    int width = screen_width;
    int height = screen_height;
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(screen_width * screen_height, 0xFF000000u);
};

// What the operating system must supply. One backend is active at a time.
class backend {
  public:
    virtual ~backend() = default;
    virtual void set_title(std::string_view title) = 0;
    // Opens the display; false when there is none.
    virtual bool open_display(int width, int height, bool fullscreen) = 0;
    // Shows the finished frame, waits until the next frame is due and takes in pending events.
    virtual void present(const frame_buffer &frame) = 0;
    // Takes in pending events; true while the game's window is not the active one.
    virtual bool window_inactive() = 0;
    // True once after each request to close the window.
    virtual bool close_requested() = 0;
    virtual std::int64_t millisecs() = 0;
    virtual void delay(int milliseconds) = 0;
    // Moves the system pointer to a logical position (the core has already noted it).
    virtual void warp_pointer(int x, int y) = 0;
    virtual void hide_pointer() = 0;
    virtual int joy_count() = 0;
    virtual void end_program() = 0;
};

void install_backend(std::unique_ptr<backend> b);
backend &active_backend();

// Puts every piece of core state back as a new process finds it: embedded files, images, fonts,
// sounds, channels, input, draw state and the frame buffer. Tests call it between boots.
void reset_core();

// --- drawing (core/draw.cpp)
frame_buffer &back_buffer();
void reset_draw();
struct image_info {
    int width = 0;
    int height = 0;
    int frames = 0;
    float handle_x = 0;
    float handle_y = 0;
    int flags = 0;
};
image_info describe_image(image img);                           // all zero for an unknown image
std::uint32_t image_pixel(image img, int frame, int x, int y);  // 0xAARRGGBB, 0 outside
bool save_png(const frame_buffer &frame, const std::string &path);

// --- embedded files (core/embedded.cpp)
std::span<const unsigned char> embedded_file(std::string_view name);  // empty when not registered
void reset_embedded();

// --- input (core/input.cpp): what the backends feed in
void input_key(int code, bool down);
void input_mouse_button(int button, bool down);
void input_mouse_position(int x, int y);
void input_joy_button(int button, bool down);
void input_joy_axis(int axis, float value);  // axis 0 x, 1 y; -1.0 .. +1.0
void reset_input();

// --- audio (core/audio.cpp)
constexpr int mix_rate = 44100;
// Mixes `frames` stereo frames of every playing channel into `out` (interleaved, -1..1), replacing
// what was there. Called on the audio device's thread.
void mix_audio(float *out, int frames);
void reset_audio();

// --- random numbers (core/system.cpp): a seed that seed_rnd uses instead of the one it is given
void force_seed(std::optional<std::int32_t> seed);

// --- files (core/files.cpp)
std::string host_path(std::string_view game_path);  // backslashes become the host's separator
void reset_files();

// --- logs, kept while logging is on (the headless backend turns it on)
struct draw_record {
    std::string op;  // "image", "rect", "text", "clear"
    std::int32_t image = 0;
    int frame = 0;
    float x = 0, y = 0, w = 0, h = 0;
    int blend = 0;
    int r = 0, g = 0, b = 0;
    float alpha = 0, rotation = 0, sx = 0, sy = 0;
    std::string text;
};
struct audio_record {
    std::string op;  // "cue", "volume", "resume", "pause", "stop"
    std::int32_t channel = 0;
    std::string sound;  // the file name as the game names it ("" when the sound is unknown)
    float volume = 0;
};
void set_logging(bool on);
// Draws a draw log again through the drawing operations, with whatever renderer is active: how the
// renderers are compared and measured on the same draws.
void redraw(const std::vector<draw_record> &log);
bool logging();
std::vector<draw_record> &draw_log();
std::vector<audio_record> &audio_log();

}  // namespace platform
