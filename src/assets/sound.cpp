// Starting sound effects and music tracks at the current volumes.
#include "game.h"

channel music_channel;
float music_volume = 1.0f;
float sfx_volume = 1.0f;
std::int32_t music_step = 10;
std::int32_t sfx_step = 10;

int play_sfx(sound snd) {
    // Cued paused and given its volume before it starts, so no sound begins at a wrong volume.
    const channel ch = cue_sound(snd);
    set_channel_volume(ch, sfx_volume);
    resume_channel(ch);
    return 0;
}

int play_music(int track) {
    const char *path = track == 1 ? "data\\sb_intro.ogg" : "data\\sb_play.ogg";
    const sound music = load_sound(path, 1);
    music_channel = cue_sound(music);
    set_channel_volume(music_channel, music_volume);
    resume_channel(music_channel);
    return 0;
}
