// PLACEHOLDER: drawing stubs until the software rasterizer lands.
#include "platform/core/core.h"

namespace platform {
frame_buffer &back_buffer() {
    static frame_buffer fb;
    return fb;
}
void reset_draw() { back_buffer() = frame_buffer{}; }
image_info describe_image(image) { return {}; }
std::uint32_t image_pixel(image, int, int, int) { return 0; }
bool save_png(const frame_buffer &, const std::string &) { return false; }
}  // namespace platform

void clear_screen() {}
void set_color(int, int, int) {}
void set_alpha(float) {}
void set_blend(int) {}
void set_rotation(float) {}
void set_scale(float, float) {}
void set_transform(float, float, float) {}
void draw_image(image, float, float, int) {}
void draw_rect(float, float, float, float) {}
void draw_text(std::string_view, float, float) {}
int text_width(std::string_view) { return 0; }
image load_image(std::string_view, int) { return {}; }
image create_image(int, int, int, int) { return {}; }
void grab_image(image, int, int, int) {}
void mid_handle_image(image) {}
void set_auto_mid_handle(bool) {}
void set_auto_image_flags(int) {}
font load_image_font(std::string_view, int, int) { return {}; }
void set_image_font(font) {}
