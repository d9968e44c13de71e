// The game's pictures, font and sounds, the music and sound-effect routines, the best-score file.
#pragma once

#include <cstdint>

#include "platform/platform.h"

extern image sword_image;
extern image blast_image;
extern image pause_image;
extern image sprites;
extern image title_image;
extern image background_image;
extern image menu_image;
extern font game_font;

extern sound snd_pop;
extern sound snd_select;
extern sound snd_keg;
extern sound snd_time;
extern sound snd_round;
extern sound snd_bonus;
extern sound snd_marooned;

extern channel music_channel;
extern float music_volume;
extern float sfx_volume;
extern std::int32_t music_step;
extern std::int32_t sfx_step;

int load_assets();
int play_sfx(sound snd);
int play_music(int track);
int hiscore_file(int save);
