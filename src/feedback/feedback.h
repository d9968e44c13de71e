// What the player sees besides the field: effect sprites, the message banner, the heads-up display.
#pragma once

#include <cstdint>
#include <list>
#include <string>

struct specialfx_tag {
    float x = 0;
    float y = 0;
    float rotation = 0;
    float speed = 0;
    float angle = 0;
    float scale = 0;
    float alpha = 0;
    float astp = 0;
    float sstp = 0;
    float rstp = 0;
    std::int32_t frame = 0;

    static int Create(float x, float y, float rstp, float scale, float astp, float alpha, float sstp,
                      float angle, float speed, std::int32_t frame);
    int update();
};

struct message_tag {
    float x = 0;
    float y = 0;
    float alpha = 0;
    float scale = 0;
    float rotation = 0;
    std::int32_t counter = 0;
    std::int32_t enable = 0;
    std::int32_t mode = 0;
    std::string msg;

    int new_msg(const std::string &text, std::int32_t cue);
    int update();
};

extern std::list<specialfx_tag> fx_list;
extern message_tag message;

int draw_hud();
