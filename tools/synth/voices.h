// The synthesizer's instruments: each plays one note into a canvas at a time in seconds.
#pragma once

#include <cstdint>

#include "dsp.h"

namespace synth {

// Where and how loud a note sounds.
struct placing {
    double start;   // seconds from the start of the canvas
    double length;  // seconds the note is held (the release comes after)
    double hz;
    float velocity;  // 0..1
    float pan;       // -1..1
};

// Squeeze-box reed: two slightly detuned reeds with a bellows swell and a soft release.
void squeeze(canvas &out, const placing &p);
// Tin whistle: a near-sine with a little breath and a delayed vibrato.
void whistle(canvas &out, const placing &p, std::uint32_t seed);
// Plucked string (Karplus-Strong) with a sine underneath for body: the bass.
void pluck(canvas &out, const placing &p, std::uint32_t seed);
// Brass: a bright additive tone whose upper partials open with the attack.
void brass(canvas &out, const placing &p);
// Glockenspiel bar: a sine with its inharmonic upper mode, struck.
void glock(canvas &out, const placing &p);
// Ship's bell: inharmonic partials, each dying at its own rate.
void bell(canvas &out, const placing &p);

// Percussion, struck at p.start; p.length and p.hz are ignored.
void frame_drum(canvas &out, const placing &p, std::uint32_t seed);
void tambourine(canvas &out, const placing &p, std::uint32_t seed);
void shaker(canvas &out, const placing &p, std::uint32_t seed);

}  // namespace synth
