// The player's cursor and sword: reading and confining the pointer, each mini game's controls, the tint
// pulse.
#include "game.h"

namespace {

constexpr int key_left_ctrl = 162;
constexpr int key_left_alt = 164;

// Keeps the pointer inside the play area; each correction also moves the system pointer onto the bound,
// taking the other coordinate from the pointer as it is at that moment.
void confine(player_tag &p) {
    const float top = mini_game == 2 ? 60.0f : 120.0f;
    if (p.x < 100.0f) {
        p.x = 100.0f;
        move_mouse(100, mouse_y());
    }
    if (p.x > 540.0f) {
        p.x = 540.0f;
        move_mouse(540, mouse_y());
    }
    if (p.y > 400.0f) {
        p.y = 400.0f;
        move_mouse(mouse_x(), 400);
    }
    if (p.y < top) {
        p.y = top;
        move_mouse(mouse_x(), trunc_int(top));
    }
}

// "Saltburst!": the buttons turn the cursor's item 4 degrees a frame; the overshoot past a full turn is
// dropped rather than carried.
void turn(player_tag &p) {
    if (mouse_down(1) || joy_down(0, 0) || joy_down(6, 0) || key_down(key_left_ctrl)) p.rotation -= 4.0f;
    if (mouse_down(2) || joy_down(1, 0) || joy_down(7, 0) || key_down(key_left_alt)) p.rotation += 4.0f;
    if (p.rotation < 0.0f)
        p.rotation = 359.0f;
    else if (p.rotation > 359.0f)
        p.rotation = 0.0f;
}

// "Bladeburst!": a press starts a thrust from -20 that steps back to rest 2 pixels a frame. A left click is
// only asked for at rest, so clicks made during a thrust wait for the next one.
void thrust(player_tag &p) {
    int pressed = 0;
    if (p.jab == 0.0f) pressed = mouse_hit(1);
    if (pressed == 0) pressed = joy_hit(0, 0);
    if (pressed == 0) pressed = key_hit(key_left_ctrl);
    if (pressed != 0) p.jab = -20.0f;
    if (p.jab >= 0.0f)
        p.jhit = 0;
    else
        p.jab += 2.0f;
}

}  // namespace

int player_tag::update() {
    x = static_cast<float>(mouse_x());
    y = static_cast<float>(mouse_y());
    confine(*this);

    float s = 0.6f;
    if (mini_game == 0) turn(*this);
    if (mini_game == 2) {
        s = 0.8f;
        thrust(*this);
    }

    flash_ctr += flash_stp;
    if (flash_ctr <= 0) {
        flash_ctr = 0;
        flash_stp = 5;
    }
    if (flash_ctr >= 255) {
        flash_ctr = 255;
        flash_stp = -5;
    }

    set_blend(blend_mask);
    set_transform(rotation, s, s);
    if (mini_game == 2) {
        // The sword's handle is the blade's tip, so a thrust moves the picture up and left along the
        // diagonal.
        draw_image(sword_image, x + jab, y + jab, 0);
    } else {
        set_color(flash_ctr, 30, 30);
        draw_image(sprites, x, y, frame);
    }
    set_color(255, 255, 255);
    set_transform(0.0f, 1.0f, 1.0f);
    return 0;
}
