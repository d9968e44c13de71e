// The synthesizer's instruments: each plays one note into a canvas at a time in seconds.
#include "voices.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace synth {
namespace {

std::int64_t frame_of(double seconds) {
    return static_cast<std::int64_t>(std::llround(seconds * sample_rate));
}

// Attack, hold, release: linear rise, flat while held, exponential-like fall to zero.
float hold_envelope(double t, double attack, double length, double release) {
    if (t < attack) return static_cast<float>(t / attack);
    if (t < length) return 1.0f;
    const double r = (t - length) / release;
    return r >= 1.0 ? 0.0f : static_cast<float>((1.0 - r) * (1.0 - r));
}

// Sums harmonics 1..n of hz with the given amplitudes, keeping below the band edge.
struct partials {
    std::vector<double> step;
    std::vector<double> phase;
    std::vector<float> amp;
    partials(double hz, int count, float (*shape)(int)) {
        for (int h = 1; h <= count; ++h) {
            if (hz * h > 10000.0) break;
            step.push_back(two_pi * hz * h / sample_rate);
            phase.push_back(0.0);
            amp.push_back(shape(h));
        }
    }
    float next(double bend = 1.0) {
        float sum = 0;
        for (std::size_t k = 0; k < step.size(); ++k) {
            sum += amp[k] * static_cast<float>(std::sin(phase[k]));
            phase[k] += step[k] * bend;
        }
        return sum;
    }
};

float reed_shape(int h) { return (h % 2 == 1 ? 1.0f : 0.55f) / std::pow(static_cast<float>(h), 0.95f); }
float brass_shape(int h) { return 1.0f / static_cast<float>(h); }

}  // namespace

void squeeze(canvas &out, const placing &p) {
    const double release = 0.09;
    const auto begin = frame_of(p.start);
    const auto count = frame_of(p.length + release);
    partials reed_a(p.hz * 1.0029, 16, reed_shape);
    partials reed_b(p.hz * 0.9971, 16, reed_shape);
    for (std::int64_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        const float env = hold_envelope(t, 0.03, p.length, release);
        const float bellows = 1.0f + 0.06f * static_cast<float>(std::sin(two_pi * 5.2 * t));
        const float v = 0.13f * (reed_a.next() + reed_b.next());
        out.add(begin + i, v * env * bellows * p.velocity, p.pan);
    }
}

void whistle(canvas &out, const placing &p, std::uint32_t seed) {
    const double release = 0.12;
    const auto begin = frame_of(p.start);
    const auto count = frame_of(p.length + release);
    noise breath(seed);
    biquad breath_band = biquad::band_pass(p.hz * 2.0, 2.0);
    double phase = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        const float env = hold_envelope(t, 0.04, p.length, release);
        const double vibrato =
            t > 0.25 ? 0.004 * std::sin(two_pi * 5.5 * t) * std::min(1.0, (t - 0.25) * 4) : 0.0;
        phase += two_pi * p.hz * (1.0 + vibrato) / sample_rate;
        const float tone = static_cast<float>(std::sin(phase) + 0.12 * std::sin(2 * phase));
        const float air = breath_band.process(breath.next()) * 0.25f;
        out.add(begin + i, 0.5f * (tone + air) * env * p.velocity, p.pan);
    }
}

void pluck(canvas &out, const placing &p, std::uint32_t seed) {
    const double release = 0.05;
    const auto begin = frame_of(p.start);
    const auto count = frame_of(p.length + release);
    const auto delay = std::max<std::size_t>(2, static_cast<std::size_t>(std::lround(sample_rate / p.hz)));
    std::vector<float> line(delay);
    noise n(seed);
    biquad soften = biquad::low_pass(p.hz * 6.0, 0.7);
    for (float &v : line) v = soften.process(n.next());
    std::size_t index = 0;
    double phase = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        const std::size_t next = (index + 1) % delay;
        const float string = line[index];
        line[index] = 0.497f * (line[index] + line[next]);
        index = next;
        phase += two_pi * p.hz / sample_rate;
        const float body = 0.6f * static_cast<float>(std::sin(phase) * std::exp(-t * 3.0));
        const float env = hold_envelope(t, 0.004, p.length, release);
        out.add(begin + i, 0.5f * (string + body) * env * p.velocity, p.pan);
    }
}

void brass(canvas &out, const placing &p) {
    const double release = 0.12;
    const auto begin = frame_of(p.start);
    const auto count = frame_of(p.length + release);
    partials tone(p.hz, 14, brass_shape);
    biquad mellow = biquad::low_pass(p.hz * 7.0, 0.8);
    for (std::int64_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        const float env = hold_envelope(t, 0.035, p.length, release);
        // A small pitch scoop at the attack, as a player's lips settle on the note.
        const double scoop = 1.0 - 0.02 * std::exp(-t * 40.0);
        const float v = mellow.process(tone.next(scoop)) * 0.35f;
        out.add(begin + i, v * env * p.velocity, p.pan);
    }
}

void glock(canvas &out, const placing &p) {
    const auto begin = frame_of(p.start);
    const auto count = frame_of(p.length + 0.6);
    for (std::int64_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        const double attack = std::min(1.0, t / 0.002);
        const double v = std::sin(two_pi * p.hz * t) * std::exp(-t * 5.0) +
                         0.35 * std::sin(two_pi * p.hz * 2.756 * t) * std::exp(-t * 14.0) +
                         0.12 * std::sin(two_pi * p.hz * 5.404 * t) * std::exp(-t * 30.0);
        out.add(begin + i, static_cast<float>(0.5 * v * attack) * p.velocity, p.pan);
    }
}

void bell(canvas &out, const placing &p) {
    struct mode {
        double ratio, amp, decay;
    };
    static constexpr mode modes[] = {
        {0.5, 0.35, 1.2},   {1.0, 1.0, 2.0},   {1.183, 0.45, 2.6}, {1.506, 0.35, 3.4}, {2.0, 0.5, 3.0},
        {2.514, 0.25, 5.0}, {2.662, 0.2, 6.0}, {3.011, 0.18, 7.0}, {4.166, 0.1, 9.0},
    };
    const auto begin = frame_of(p.start);
    const auto count = frame_of(p.length);
    for (std::int64_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        double v = 0;
        for (const mode &m : modes)
            v += m.amp * std::sin(two_pi * p.hz * m.ratio * t) * std::exp(-t * m.decay);
        const double strike = std::min(1.0, t / 0.0015);
        out.add(begin + i, static_cast<float>(0.3 * v * strike) * p.velocity, p.pan);
    }
}

void frame_drum(canvas &out, const placing &p, std::uint32_t seed) {
    const auto begin = frame_of(p.start);
    const auto count = frame_of(0.3);
    noise n(seed);
    biquad skin = biquad::low_pass(900.0, 0.7);
    double phase = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        phase += two_pi * (70.0 + 60.0 * std::exp(-t * 30.0)) / sample_rate;
        const double attack = std::min(1.0, t / 0.002);
        const double v =
            std::sin(phase) * std::exp(-t * 14.0) + 0.5 * skin.process(n.next()) * std::exp(-t * 60.0);
        out.add(begin + i, static_cast<float>(0.8 * v * attack) * p.velocity, p.pan);
    }
}

void tambourine(canvas &out, const placing &p, std::uint32_t seed) {
    const auto begin = frame_of(p.start);
    const auto count = frame_of(0.22);
    noise n(seed);
    biquad jingle = biquad::band_pass(7200.0, 1.8);
    biquad ring = biquad::band_pass(9800.0, 6.0);
    for (std::int64_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        const double attack = std::min(1.0, t / 0.002);
        const float x = n.next();
        const double v = (jingle.process(x) + 0.6 * ring.process(x)) * std::exp(-t * 22.0);
        out.add(begin + i, static_cast<float>(0.9 * v * attack) * p.velocity, p.pan);
    }
}

void shaker(canvas &out, const placing &p, std::uint32_t seed) {
    const auto begin = frame_of(p.start);
    const auto count = frame_of(0.07);
    noise n(seed);
    biquad hiss = biquad::high_pass(5000.0, 0.7);
    for (std::int64_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        // Beads rise and fall: a quick swell rather than a hit.
        const double env = std::sin(3.141592653589793 * t / 0.07);
        out.add(begin + i, static_cast<float>(0.5 * hiss.process(n.next()) * env * env) * p.velocity, p.pan);
    }
}

}  // namespace synth
