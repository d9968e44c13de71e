// PLACEHOLDER: audio stubs until the mixer lands.
#include "platform/core/core.h"

namespace platform {
void mix_audio(float *out, int frames) {
    for (int i = 0; i < frames * 2; ++i) out[i] = 0;
}
void reset_audio() {}
}  // namespace platform

sound load_sound(std::string_view, int) { return {}; }
channel cue_sound(sound) { return {}; }
channel alloc_channel() { return {}; }
void set_channel_volume(channel, float) {}
void resume_channel(channel) {}
void pause_channel(channel) {}
void stop_channel(channel) {}
bool channel_playing(channel) { return false; }
