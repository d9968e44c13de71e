// Effect sprites: rings, items, sparks and explosions that move, spin, grow or shrink and fade, then go.
#include "game.h"

std::list<specialfx_tag> fx_list;

int specialfx_tag::Create(float x, float y, float rstp, float scale, float astp, float alpha, float sstp,
                          float angle, float speed, std::int32_t frame) {
    specialfx_tag fx;
    fx.x = x;
    fx.y = y;
    fx.rstp = rstp;
    fx.scale = scale;
    fx.astp = astp;
    fx.alpha = alpha;
    fx.sstp = sstp;
    fx.angle = angle;
    fx.speed = speed;
    fx.frame = frame;
    fx.rotation = rnd(0.0f, 360.0f);
    fx_list.push_back(fx);
    return 0;
}

int specialfx_tag::update() {
    if (speed != 0.0f) {
        // Angle 0 is straight up and 90 to the right; the step is taken in double and stored back.
        x = static_cast<float>(x + sin_deg(angle) * speed);
        y = static_cast<float>(y - cos_deg(angle) * speed);
    }

    set_blend(blend_alpha);
    set_alpha(alpha);
    set_transform(rotation, scale, scale);
    if (frame == 10)
        draw_image(blast_image, x, y, 0);
    else
        draw_image(sprites, x, y, frame);
    set_transform(0.0f, 1.0f, 1.0f);
    set_alpha(1.0f);

    scale += sstp;
    rotation += rstp;
    alpha -= astp;

    // Popped characters and treasures fly toward the middle of the field and end up swinging about it.
    if (frame >= 2 && frame <= 7) {
        if (x > 280.0f)
            x -= 8.0f;
        else if (x < 280.0f)
            x += 8.0f;
        if (y > 220.0f)
            y -= 8.0f;
        else if (y < 220.0f)
            y += 8.0f;
    }

    // Tested after the draw, so the last frame shows the last positive alpha and scale. Nothing may touch
    // the record once it is gone.
    if (alpha <= 0.0f || scale <= 0.0f) remove_from_list(fx_list, this);
    return 0;
}
