// The game's nine sounds, each rendered from fixed seeds so that every build makes the same samples.
#include "sounds.h"

#include <cmath>

#include "voices.h"

namespace synth {
namespace {

std::size_t frames_of(double seconds) {
    return static_cast<std::size_t>(std::llround(seconds * sample_rate));
}

// The finishing touches every effect gets: no click at either end, then the common peak level.
clip finish_effect(clip c, double fade_in, double fade_out) {
    fade_edges(c, fade_in, fade_out);
    scale_to_peak_db(c, effect_peak_db);
    return c;
}

}  // namespace

std::vector<note> phrase(double first_beat, const std::vector<std::pair<int, double>> &steps) {
    std::vector<note> notes;
    double beat = first_beat;
    for (const auto &[pitch, beats] : steps) {
        if (pitch != rest) notes.push_back({beat, beats, pitch});
        beat += beats;
    }
    return notes;
}

// A wet pop: a sine that leaps up in pitch as the skin of the bubble snaps, with a tiny splash.
clip render_bubblepop() {
    clip c = clip::mono(frames_of(0.24));
    noise splash(11);
    biquad drops = biquad::band_pass(3200.0, 2.5);
    double phase = 0, phase2 = 0;
    for (std::size_t i = 0; i < c.frames(); ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        phase += two_pi * (280.0 + 1100.0 * (1.0 - std::exp(-t / 0.028))) / sample_rate;
        const double body = std::sin(phase) * std::min(1.0, t / 0.003) * std::exp(-t / 0.045);
        // A smaller droplet a moment later, higher.
        const double t2 = t - 0.055;
        double droplet = 0;
        if (t2 > 0) {
            phase2 += two_pi * (700.0 + 1300.0 * (1.0 - std::exp(-t2 / 0.02))) / sample_rate;
            droplet = 0.35 * std::sin(phase2) * std::min(1.0, t2 / 0.003) * std::exp(-t2 / 0.03);
        }
        const double wet = 0.25 * drops.process(splash.next()) * std::exp(-t / 0.012);
        c.left[i] = static_cast<float>(body + droplet + wet);
    }
    return finish_effect(c, 0.002, 0.03);
}

// A bright metallic scrape: a blade drawn from its scabbard, then the steel rings.
clip render_rapierselect() {
    clip c = clip::mono(frames_of(0.55));
    noise grit(23);
    biquad low_edge = biquad::band_pass(3000.0, 4.0);
    biquad high_edge = biquad::band_pass(6200.0, 5.0);
    static constexpr double ring_hz[] = {2637.0, 3761.0, 4980.0, 6310.0};
    for (std::size_t i = 0; i < c.frames(); ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        const float x = grit.next();
        // The scrape slides from the lower band to the upper one as the blade leaves.
        const double slide = std::min(1.0, t / 0.14);
        const double scrape = ((1.0 - slide) * low_edge.process(x) + slide * high_edge.process(x)) *
                              std::min(1.0, t / 0.01) * std::exp(-t / 0.09) * 1.6;
        double ring = 0;
        for (double hz : ring_hz) ring += std::sin(two_pi * hz * t) * std::exp(-t * (4.0 + hz / 1500.0));
        const double ring_in = std::min(1.0, std::max(0.0, (t - 0.03) / 0.02));
        c.left[i] = static_cast<float>(scrape + 0.18 * ring * ring_in);
    }
    return finish_effect(c, 0.002, 0.08);
}

// A boom with a noisy tail: a falling thump, the roar of the blast and crackling splinters.
clip render_powderkeg() {
    clip c = clip::mono(frames_of(1.7));
    noise roar(37), crackle(41);
    biquad rumble = biquad::low_pass(380.0, 0.8);
    biquad blast = biquad::low_pass(2400.0, 0.7);
    biquad splinters = biquad::band_pass(2800.0, 3.0);
    double phase = 0;
    for (std::size_t i = 0; i < c.frames(); ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        phase += two_pi * (36.0 + 90.0 * std::exp(-t / 0.07)) / sample_rate;
        const double thump = std::sin(phase) * std::exp(-t / 0.32);
        const float x = roar.next();
        const double noisy =
            0.9 * rumble.process(x) * std::exp(-t / 0.55) + 0.5 * blast.process(x) * std::exp(-t / 0.09);
        // Crackles: sparse clicks, ever fewer, each softened by the band filter.
        const double chance = 0.004 * std::exp(-t / 0.5);
        const float spark = (crackle.next() * 0.5f + 0.5f) < chance ? crackle.next() * 6.0f : 0.0f;
        const double crack = splinters.process(spark) * std::exp(-t / 0.6);
        const double attack = std::min(1.0, t / 0.004);
        c.left[i] = static_cast<float>(std::tanh(1.6 * (thump + noisy + crack) * attack));
    }
    return finish_effect(c, 0.002, 0.25);
}

// A clear bell, struck twice in the manner of a ship's bell.
clip render_timebell() {
    clip c = clip::mono(frames_of(1.9));
    canvas out(c, false);
    bell(out, {0.0, 1.9, 1046.5, 1.0f, 0.0f});
    bell(out, {0.3, 1.6, 1046.5, 0.8f, 0.0f});
    return finish_effect(c, 0.001, 0.35);
}

// A short fanfare of four brass notes climbing a major chord, the last held over its harmony.
clip render_newround() {
    clip c = clip::mono(frames_of(1.25));
    canvas out(c, false);
    const double step = 0.13;
    brass(out, {0 * step, 0.10, midi_hz(67), 0.8f, 0.0f});
    brass(out, {1 * step, 0.10, midi_hz(72), 0.8f, 0.0f});
    brass(out, {2 * step, 0.10, midi_hz(76), 0.8f, 0.0f});
    brass(out, {3 * step, 0.62, midi_hz(79), 1.0f, 0.0f});
    brass(out, {3 * step, 0.62, midi_hz(72), 0.55f, 0.0f});
    brass(out, {3 * step, 0.62, midi_hz(64), 0.45f, 0.0f});
    return finish_effect(c, 0.002, 0.15);
}

// A rising jingle: glockenspiel bars running up two octaves of a major chord.
clip render_getbonus() {
    clip c = clip::mono(frames_of(1.0));
    canvas out(c, false);
    static constexpr int run[] = {72, 76, 79, 84, 88, 91, 96};
    for (int k = 0; k < 7; ++k) glock(out, {0.055 * k, 0.1, midi_hz(run[k]), k == 6 ? 0.9f : 0.6f, 0.0f});
    return finish_effect(c, 0.001, 0.2);
}

// A sad falling phrase on the squeeze-box, over a low plucked note.
clip render_marooned() {
    clip c = clip::mono(frames_of(1.9));
    canvas out(c, false);
    static constexpr int fall[] = {67, 66, 65};
    for (int k = 0; k < 3; ++k) squeeze(out, {0.32 * k, 0.26, midi_hz(fall[k]), 0.8f, 0.0f});
    squeeze(out, {0.96, 0.7, midi_hz(64), 0.8f, 0.0f});
    squeeze(out, {0.96, 0.7, midi_hz(55), 0.45f, 0.0f});
    pluck(out, {0.96, 0.8, midi_hz(40), 0.9f, 0.0f}, 53);
    return finish_effect(c, 0.003, 0.3);
}

namespace {

// A tune being arranged: beats turned into seconds on a looping stereo canvas.
struct band {
    clip c;
    canvas out;
    double seconds_per_beat;
    std::uint32_t seed = 1000;

    band(std::size_t frames, double spb) : c(clip::stereo(frames)), out(c, true), seconds_per_beat(spb) {}
    placing at(double beat, double beats, int pitch, float velocity, float pan) const {
        return {beat * seconds_per_beat, beats * seconds_per_beat, midi_hz(pitch), velocity, pan};
    }
    void lead(const std::vector<note> &notes, float velocity, int transpose = 0) {
        for (const note &n : notes)
            squeeze(out, at(n.beat, n.beats * 0.9, n.pitch + transpose, velocity, -0.05f));
    }
    void fife(const std::vector<note> &notes, float velocity, int transpose) {
        for (const note &n : notes)
            whistle(out, at(n.beat, n.beats * 0.85, n.pitch + transpose, velocity, 0.3f), ++seed);
    }
    void bass(double beat, double beats, int pitch, float velocity) {
        pluck(out, at(beat, beats, pitch, velocity, 0.0f), ++seed);
    }
    void stab(double beat, double beats, const std::vector<int> &chord, float velocity) {
        for (int pitch : chord) squeeze(out, at(beat, beats, pitch, velocity, -0.35f));
    }
};

struct chord {
    int root;                  // bass note
    int fifth;                 // the alternate bass note
    std::vector<int> voicing;  // the squeeze-box's left-hand chord
};

const chord d_minor{38, 45, {57, 62, 65}};
const chord c_major{36, 43, {55, 60, 64}};
const chord a_major{33, 40, {57, 61, 64}};
const chord b_flat{34, 41, {58, 62, 65}};
const chord g_minor{43, 38, {55, 58, 62}};

// Drunken Sailor, verse and chorus, in D dorian: sixteen bars of four beats.
std::vector<note> drunken_sailor(double first_beat) {
    const std::vector<std::pair<int, double>> steps = {
        // What shall we do with a drunken sailor (three times), early in the morning
        {69, 1},
        {69, .5},
        {69, .5},
        {69, 1},
        {69, .5},
        {69, .5},  //
        {69, 1},
        {62, 1},
        {65, 1},
        {69, 1},  //
        {67, 1},
        {67, .5},
        {67, .5},
        {67, 1},
        {67, .5},
        {67, .5},  //
        {67, 1},
        {60, 1},
        {64, 1},
        {67, 1},  //
        {69, 1},
        {69, .5},
        {69, .5},
        {69, 1},
        {69, .5},
        {69, .5},  //
        {69, 1},
        {71, 1},
        {72, 1},
        {74, 1},  //
        {72, 1},
        {69, 1},
        {67, 1},
        {64, 1},  //
        {62, 1},
        {62, 1},
        {rest, 2},  //
        // Way hay and up she rises (three times), early in the morning
        {69, 2},
        {69, 2},  //
        {69, 1},
        {62, 1},
        {65, 1},
        {69, 1},  //
        {67, 2},
        {67, 2},  //
        {67, 1},
        {60, 1},
        {64, 1},
        {67, 1},  //
        {69, 2},
        {69, 2},  //
        {69, 1},
        {71, 1},
        {72, 1},
        {74, 1},  //
        {72, 1},
        {69, 1},
        {67, 1},
        {64, 1},  //
        {62, 1},
        {62, 1},
        {rest, 2},  //
    };
    return phrase(first_beat, steps);
}

// Four bars that turn the tune back towards its start.
std::vector<note> play_turnaround(double first_beat) {
    return phrase(first_beat, {{69, 1},
                               {74, 1},
                               {72, 1},
                               {69, 1},  //
                               {67, 1},
                               {64, 1},
                               {60, 1},
                               {64, 1},  //
                               {65, 1},
                               {64, 1},
                               {62, 1},
                               {65, 1},  //
                               {64, 1},
                               {69, 1},
                               {73, 1},
                               {76, 1}});
}

// A slow waltz in the manner of a forebitter, sixteen bars of three beats in D minor.
std::vector<note> harbour_waltz(double first_beat) {
    return phrase(first_beat, {{69, 2},   {67, .5}, {65, .5},  //
                               {62, 2},   {65, 1},             //
                               {64, 1.5}, {65, .5}, {67, 1},   //
                               {67, 2},   {64, 1},             //
                               {65, 2},   {62, 1},             //
                               {62, 1},   {65, 1},  {70, 1},   //
                               {69, 2},   {67, .5}, {65, .5},  //
                               {64, 3},                        //
                               {69, 2},   {72, 1},             //
                               {74, 2},   {69, 1},             //
                               {70, 1.5}, {69, .5}, {67, 1},   //
                               {74, 2},   {70, 1},             //
                               {69, 2},   {65, 1},             //
                               {64, 1},   {67, 1},  {73, 1},   //
                               {74, 2},   {69, .5}, {65, .5},  //
                               {62, 3}});
}

}  // namespace

// The calm intro: the waltz twice round, first on the squeeze-box, then on the whistle over held
// chords, with a soft drum, a shaker and the sea washing in and out. 32 bars of 3/4 at 90 beats a
// minute: 29400 samples a beat, 64 seconds.
clip render_intro_music() {
    constexpr int beats_per_bar = 3, bars = 32;
    constexpr std::size_t samples_per_beat = 29400;
    band b(samples_per_beat * beats_per_bar * bars, static_cast<double>(samples_per_beat) / sample_rate);
    const chord *changes[16] = {&d_minor, &d_minor, &c_major, &c_major, &b_flat,  &b_flat,
                                &a_major, &a_major, &d_minor, &d_minor, &g_minor, &g_minor,
                                &d_minor, &a_major, &d_minor, &d_minor};
    for (int bar = 0; bar < bars; ++bar) {
        const chord &ch = *changes[bar % 16];
        const double beat = bar * beats_per_bar;
        b.bass(beat, 1.6, bar % 2 == 0 ? ch.root : ch.fifth, 0.55f);
        if (bar < 16) {
            b.stab(beat + 1, 0.7, ch.voicing, 0.12f);
            b.stab(beat + 2, 0.7, ch.voicing, 0.10f);
        } else {
            b.stab(beat, 2.9, ch.voicing, 0.09f);
        }
        frame_drum(b.out, b.at(beat, 0, 0, 0.18f, 0.1f), ++b.seed);
        shaker(b.out, b.at(beat + 1, 0, 0, 0.12f, 0.4f), ++b.seed);
        shaker(b.out, b.at(beat + 2, 0, 0, 0.10f, 0.4f), ++b.seed);
    }
    b.lead(harbour_waltz(0), 0.42f);
    b.fife(harbour_waltz(16 * beats_per_bar), 0.30f, 12);
    b.lead(harbour_waltz(16 * beats_per_bar), 0.16f, -12);

    // The sea: filtered noise swelling once every four bars, silent at each bar line that starts a swell,
    // so it meets itself at the loop point.
    noise surf(77);
    biquad wash = biquad::low_pass(700.0, 0.6);
    const double swell_frames = 4.0 * beats_per_bar * samples_per_beat;
    for (std::size_t i = 0; i < b.c.frames(); ++i) {
        const double s = std::sin(3.141592653589793 * static_cast<double>(i) / swell_frames);
        const float v = wash.process(surf.next()) * static_cast<float>(0.05 * s * s);
        b.out.add(static_cast<std::int64_t>(i), v,
                  static_cast<float>(std::sin(i / swell_frames * 3.14159) * 0.6));
    }
    add_looped_reverb(b.c, 0.9f, 0.75f, 0.4f);
    scale_to_peak_db(b.c, music_peak_db);
    return b.c;
}

// The lively play track: Drunken Sailor twice round after a four-bar vamp, then a turnaround back
// to the vamp. 40 bars of 4/4 at 140 beats a minute: 18900 samples a beat, about 68.6 seconds.
clip render_play_music() {
    constexpr int beats_per_bar = 4, bars = 40;
    constexpr std::size_t samples_per_beat = 18900;
    band b(samples_per_beat * beats_per_bar * bars, static_cast<double>(samples_per_beat) / sample_rate);
    const chord *verse[8] = {&d_minor, &d_minor, &c_major, &c_major, &d_minor, &d_minor, &c_major, &d_minor};
    const chord *vamp[4] = {&d_minor, &c_major, &d_minor, &c_major};
    const chord *turn[4] = {&d_minor, &c_major, &d_minor, &a_major};
    for (int bar = 0; bar < bars; ++bar) {
        const chord &ch = bar < 4 ? *vamp[bar] : bar < 36 ? *verse[(bar - 4) % 8] : *turn[bar - 36];
        const double beat = bar * beats_per_bar;
        // Oom-pah: bass on one and three, the chord on the off-beats.
        b.bass(beat, 0.9, ch.root, 0.7f);
        b.bass(beat + 2, 0.9, ch.fifth, 0.6f);
        b.stab(beat + 1, 0.45, ch.voicing, 0.16f);
        b.stab(beat + 3, 0.45, ch.voicing, 0.16f);
        const bool second_round = bar >= 20 && bar < 36;
        frame_drum(b.out, b.at(beat, 0, 0, 0.55f, 0.1f), ++b.seed);
        frame_drum(b.out, b.at(beat + 2, 0, 0, 0.45f, 0.1f), ++b.seed);
        if (bar >= 2) {
            tambourine(b.out, b.at(beat + 1, 0, 0, 0.22f, 0.45f), ++b.seed);
            tambourine(b.out, b.at(beat + 3, 0, 0, 0.22f, 0.45f), ++b.seed);
        }
        for (int eighth = 0; eighth < 8; ++eighth) {
            const float level = (eighth % 2 == 1 ? 0.16f : 0.09f) * (second_round ? 1.3f : 1.0f);
            shaker(b.out, b.at(beat + eighth * 0.5, 0, 0, level, -0.5f), ++b.seed);
        }
    }
    b.lead(drunken_sailor(4 * beats_per_bar), 0.5f);
    b.lead(drunken_sailor(20 * beats_per_bar), 0.5f);
    b.fife(drunken_sailor(20 * beats_per_bar), 0.22f, 12);
    b.lead(play_turnaround(36 * beats_per_bar), 0.45f);
    add_looped_reverb(b.c, 0.5f, 0.55f, 0.5f);
    scale_to_peak_db(b.c, music_peak_db);
    return b.c;
}

const std::vector<sound_recipe> &sound_recipes() {
    static const std::vector<sound_recipe> recipes = {
        {"bubblepop.ogg", false, render_bubblepop}, {"rapierselect.ogg", false, render_rapierselect},
        {"powderkeg.ogg", false, render_powderkeg}, {"timebell.ogg", false, render_timebell},
        {"newround.ogg", false, render_newround},   {"getbonus.ogg", false, render_getbonus},
        {"marooned.ogg", false, render_marooned},   {"sb_intro.ogg", true, render_intro_music},
        {"sb_play.ogg", true, render_play_music},
    };
    return recipes;
}

}  // namespace synth
