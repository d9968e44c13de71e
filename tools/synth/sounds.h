// The game's nine sounds, each rendered from fixed seeds so that every build makes the same samples.
#pragma once

#include <string>
#include <vector>

#include "dsp.h"

namespace synth {

// Levels: effects peak at -1.5 dBFS; the music peaks lower so that an effect is heard over it.
constexpr float effect_peak_db = -2.0f;
constexpr float music_peak_db = -7.0f;

struct sound_recipe {
    std::string file;  // name under data/
    bool loops;        // music: a whole number of bars, seamless at the loop point
    clip (*render)();
};

const std::vector<sound_recipe> &sound_recipes();

clip render_bubblepop();
clip render_rapierselect();
clip render_powderkeg();
clip render_timebell();
clip render_newround();
clip render_getbonus();
clip render_marooned();
clip render_intro_music();
clip render_play_music();

// A tune's notes, placed by beat; a pitch of rest is silence.
struct note {
    double beat;
    double beats;
    int pitch;  // MIDI note number
};
constexpr int rest = -1;

// Lays a melody given as (pitch, beats) pairs end to end from the first beat.
std::vector<note> phrase(double first_beat, const std::vector<std::pair<int, double>> &steps);

}  // namespace synth
