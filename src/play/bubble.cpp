// Falling bubbles: spawning a wave, drawing, the pop test of each mini game, popping and landing.
#include <string>

#include "game.h"

namespace {

// Size of the item picture by mini game; the ring and the shine are drawn 0.2 larger.
float item_scale() { return mini_game == 2 ? 0.4f : 0.6f; }

bool is_character(std::int32_t kind) { return kind == 2 || kind == 3 || kind == 4 || kind == 7; }

// The ring burst of a pop or a landing, then its sparks; each spark draws its speed before its angle.
void burst(float x, float y, float sc, int sparks) {
    specialfx_tag::Create(x, y, 15.0f, sc, 0.02f, 1.0f, 0.05f, 0.0f, 0.0f, 0);
    for (int i = 0; i < sparks; ++i) {
        const float speed = rnd(2.0f, 10.0f);
        const float angle = rnd(0.0f, 360.0f);
        specialfx_tag::Create(x, y, 35.0f, sc, 0.0f, 0.8f, -0.04f, angle, speed, 1);
    }
}

void pop(bubble_tag &b, player_tag &p, float sc) {
    const std::int32_t k = b.frame;
    if (mini_game == 2)
        p.jhit = 1;
    else
        target_set = 0;

    specialfx_tag::Create(b.x, b.y, 15.0f, sc, 0.02f, 1.0f, 0.05f, 0.0f, 0.0f, 0);
    specialfx_tag::Create(b.x, b.y, 25.0f, sc, 0.0f, 1.0f, -0.02f, 0.0f, 0.0f, k);
    for (int i = 0; i < 10; ++i) {
        const float speed = rnd(2.0f, 10.0f);
        const float angle = rnd(0.0f, 360.0f);
        specialfx_tag::Create(b.x, b.y, 35.0f, sc, 0.0f, 0.8f, -0.04f, angle, speed, 1);
    }

    if (k == 8) {
        keg_blast = 1;
        play_sfx(snd_keg);
        specialfx_tag::Create(b.x, b.y, 5.0f, sc, 0.02f, 1.0f, 0.02f, 0.0f, 0.0f, 10);
    }
    if (k == 9) {
        play_sfx(snd_time);
        freeze_timer = 100;
    }

    // A stopwatch leaves the chain alone; a keg pays it out but keeps it, so its blast can find the kind.
    if (k == chain_kind && k != 8 && k != 9) {
        play_sfx(snd_select);
        chain_count += 1;
    } else {
        if (chain_count >= 2 && k != 9) award_chain_bonus();
        if (k != 8 && k != 9) {
            chain_kind = k;
            chain_count = 1;
        }
    }

    play_sfx(snd_pop);
    p.goal -= 1;
    p.score += 2 * p.round;
}

void land(bubble_tag &b, player_tag &p, float sc) {
    const std::int32_t k = b.frame;
    target_set = 0;
    burst(b.x, b.y, sc, 20);

    // In "Bladeburst!" only spinning bubbles are to be jabbed, so a still one lands without harm.
    const bool safe = mini_game == 2 && b.roton == 0;
    if (is_character(k)) {
        if (safe) {
            play_sfx(snd_pop);
            p.score += 2 * p.round;
            return;
        }
        p.marooned += 1;
        if (p.marooned >= 3) {
            over_delay = 200;
            game_state = 5;
            play_sfx(snd_bonus);
            stop_channel(music_channel);
            p.marooned = 3;
        }
        p.score += -250;
        lost_kinds[p.marooned - 1] = k;
        message.new_msg("Marooned! " + std::to_string(-250) + " pts", 3);
        return;
    }
    if (safe) return;

    const char *name = "Time";
    std::int32_t penalty = -100;
    if (k == 5) {
        name = "Booty";
        penalty = -500;
    } else if (k == 6) {
        name = "Rum";
        penalty = -250;
    } else if (k == 8) {
        name = "Keg";
    }
    play_sfx(snd_marooned);
    message.new_msg(name + std::string(" Penalty ") + std::to_string(penalty) + " pts", 1);
    p.score += penalty;
}

}  // namespace

int bubble_tag::Create() {
    int count = 1;
    std::int32_t start = 0;
    if (mini_game == 2) {
        count = 5;
        start = trunc_int(120.0 + rnd(0.0f, 80.0f));  // in double, so the row never starts at 200
    }
    for (int i = 0; i < count; ++i) {
        bubble_tag b;
        b.roton = trunc_int(rnd(0.0f, 2.0f));
        b.frame = trunc_int(rnd(2.0f, 10.0f));
        if (mini_game == 2) {
            b.x = static_cast<float>(start);
            start += 80;
        } else {
            b.x = 120.0f + rnd(0.0f, 384.0f);
        }
        b.rotation = rnd(0.0f, 360.0f);
        b.y = -100.0f;
        b.xstp = trunc_int(rnd(0.0f, 2.0f)) == 0 ? -0.5f : 0.5f;
        bubble_list.push_back(b);
    }
    return 0;
}

int bubble_tag::update() {
    player_tag &p = players[mini_game];
    // The cursor as the previous frame left it: the player's update runs after the bubbles.
    const std::int32_t px = trunc_int(p.x);
    const std::int32_t py = trunc_int(p.y);
    const std::int32_t prot = trunc_int(p.rotation);

    if (target_set == 0) {
        target_set = 1;
        p.frame = frame;
        if (mini_game == 1) p.rotation = rotation;
    }

    const float sc = item_scale();
    if (mini_game == 2 && roton != 0) rotation += 1.0f;
    bubrot += 5;

    set_blend(blend_mask);
    set_transform(rotation, sc, sc);
    draw_image(sprites, x + xoffs, y, frame);
    set_rotation(0.0f);
    set_blend(blend_alpha);
    set_alpha(0.5f);
    set_scale(sc + 0.2f, sc + 0.2f);
    set_rotation(static_cast<float>(bubrot));
    draw_image(sprites, x + xoffs, y, 0);
    set_rotation(0.0f);
    draw_image(sprites, x + xoffs, y, 1);
    set_alpha(1.0f);
    set_scale(sc, sc);

    bool hit = false;
    if (mini_game == 2) {
        // The wobble is added to the pointer, not to the bubble: the box sits at x - xoffs.
        const float wx = static_cast<float>(px) + xoffs;
        const float fy = static_cast<float>(py);
        hit = p.jab != 0.0f && p.jhit == 0 && wx < x + 80.0f && wx > x - 80.0f && fy < y + 80.0f &&
              fy > y - 80.0f && roton != 0;
    } else {
        // The box is centred on the anchor without the wobble, and the angle window does not wrap at 360.
        const float fx = static_cast<float>(px);
        const float fy = static_cast<float>(py);
        const float fr = static_cast<float>(prot);
        hit = fx < x + 25.0f && fx > x - 25.0f && fy < y + 25.0f && fy > y - 25.0f && p.frame == frame &&
              fr > rotation - 15.0f && fr < rotation + 15.0f;
    }

    // The record stays in its list until the end of this update, so the steps below never touch a
    // released bubble; nothing in between looks at the list.
    bool gone = false;
    if (hit) {
        pop(*this, p, sc);
        gone = true;
    } else if (y > 360.0f) {
        land(*this, p, sc);
        gone = true;
    }

    if (xoffs < -40.0f)
        xstp = 0.5f;
    else if (xoffs > 40.0f)
        xstp = -0.5f;

    set_transform(0.0f, 1.0f, 1.0f);

    if (freeze_timer == 0) {
        xoffs += xstp;
        y += mini_game == 1 ? 2.0f : 1.0f;
    }

    if (gone) remove_from_list(bubble_list, this);
    return 0;
}
