// Sound building blocks of the synthesizer: clips, noise, filters, reverb, levels.
#include "dsp.h"

#include <algorithm>
#include <cmath>

namespace synth {

void canvas::add(std::int64_t i, float value, float pan) {
    const auto n = static_cast<std::int64_t>(target_.frames());
    if (n == 0) return;
    if (looping_) {
        i %= n;
        if (i < 0) i += n;
    } else if (i < 0 || i >= n) {
        return;
    }
    const auto at = static_cast<std::size_t>(i);
    if (target_.channels() == 1) {
        target_.left[at] += value;
        return;
    }
    // Constant-power pan law.
    const double angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * 0.25 * 3.141592653589793;
    target_.left[at] += value * static_cast<float>(std::cos(angle) * 1.41421356);
    target_.right[at] += value * static_cast<float>(std::sin(angle) * 1.41421356);
}

float noise::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(state_ >> 8) * (2.0f / 16777216.0f) - 1.0f;
}

namespace {
struct coefficients {
    double cosw, alpha;
};
coefficients prepare(double hz, double q) {
    const double w = two_pi * hz / sample_rate;
    return {std::cos(w), std::sin(w) / (2.0 * q)};
}
}  // namespace

biquad biquad::low_pass(double hz, double q) {
    const auto [c, a] = prepare(hz, q);
    biquad f;
    const double a0 = 1 + a;
    f.b0_ = (1 - c) / 2 / a0;
    f.b1_ = (1 - c) / a0;
    f.b2_ = f.b0_;
    f.a1_ = -2 * c / a0;
    f.a2_ = (1 - a) / a0;
    return f;
}

biquad biquad::high_pass(double hz, double q) {
    const auto [c, a] = prepare(hz, q);
    biquad f;
    const double a0 = 1 + a;
    f.b0_ = (1 + c) / 2 / a0;
    f.b1_ = -(1 + c) / a0;
    f.b2_ = f.b0_;
    f.a1_ = -2 * c / a0;
    f.a2_ = (1 - a) / a0;
    return f;
}

biquad biquad::band_pass(double hz, double q) {
    const auto [c, a] = prepare(hz, q);
    biquad f;
    const double a0 = 1 + a;
    f.b0_ = a / a0;
    f.b1_ = 0;
    f.b2_ = -a / a0;
    f.a1_ = -2 * c / a0;
    f.a2_ = (1 - a) / a0;
    return f;
}

float biquad::process(float x) {
    const double y = b0_ * x + z1_;
    z1_ = b1_ * x - a1_ * y + z2_;
    z2_ = b2_ * x - a2_ * y;
    return static_cast<float>(y);
}

reverb::reverb(float room, float damp) : feedback_(0.7f + 0.28f * room), damp_(damp) {
    static constexpr int comb_lengths[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static constexpr int pass_lengths[] = {556, 441, 341, 225};
    for (int side = 0; side < 2; ++side) {
        const int spread = side * 23;  // the right side a little longer: a wider room
        for (int n : comb_lengths) combs_[side].push_back({std::vector<float>(n + spread, 0.0f)});
        for (int n : pass_lengths) passes_[side].push_back({std::vector<float>(n + spread, 0.0f)});
    }
}

float reverb::run(std::vector<comb> &combs, std::vector<allpass> &passes, float in) {
    float out = 0;
    for (comb &c : combs) {
        const float y = c.buffer[c.index];
        c.store = y * (1 - damp_) + c.store * damp_;
        c.buffer[c.index] = in + c.store * feedback_;
        c.index = (c.index + 1) % c.buffer.size();
        out += y;
    }
    for (allpass &p : passes) {
        const float y = p.buffer[p.index];
        p.buffer[p.index] = out + y * 0.5f;
        p.index = (p.index + 1) % p.buffer.size();
        out = y - out;
    }
    return out;
}

void reverb::process(float in, float &out_left, float &out_right) {
    const float x = in * 0.015f;
    out_left = run(combs_[0], passes_[0], x);
    out_right = run(combs_[1], passes_[1], x);
}

void add_looped_reverb(clip &c, float wet, float room, float damp) {
    const std::size_t n = c.frames();
    reverb r(room, damp);
    std::vector<float> wet_left(n), wet_right(n);
    for (int lap = 0; lap < 2; ++lap) {
        for (std::size_t i = 0; i < n; ++i) {
            const float in = c.channels() == 2 ? 0.5f * (c.left[i] + c.right[i]) : c.left[i];
            r.process(in, wet_left[i], wet_right[i]);
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (c.channels() == 2) {
            c.left[i] += wet * wet_left[i];
            c.right[i] += wet * wet_right[i];
        } else {
            c.left[i] += wet * 0.5f * (wet_left[i] + wet_right[i]);
        }
    }
}

void fade_edges(clip &c, double in_seconds, double out_seconds) {
    const std::size_t n = c.frames();
    const auto fade_in = std::min(n, static_cast<std::size_t>(in_seconds * sample_rate));
    const auto fade_out = std::min(n, static_cast<std::size_t>(out_seconds * sample_rate));
    for (std::vector<float> *channel : {&c.left, &c.right}) {
        if (channel->empty()) continue;
        for (std::size_t i = 0; i < fade_in; ++i) (*channel)[i] *= static_cast<float>(i) / fade_in;
        for (std::size_t i = 0; i < fade_out; ++i) (*channel)[n - 1 - i] *= static_cast<float>(i) / fade_out;
    }
}

float peak(const clip &c) {
    float p = 0;
    for (float v : c.left) p = std::max(p, std::fabs(v));
    for (float v : c.right) p = std::max(p, std::fabs(v));
    return p;
}

float rms(const clip &c) {
    double sum = 0;
    for (float v : c.left) sum += double(v) * v;
    for (float v : c.right) sum += double(v) * v;
    const std::size_t count = c.left.size() + c.right.size();
    return count == 0 ? 0.0f : static_cast<float>(std::sqrt(sum / count));
}

void scale_to_peak_db(clip &c, float db) {
    const float p = peak(c);
    if (p <= 0) return;
    const float gain = std::pow(10.0f, db / 20.0f) / p;
    for (float &v : c.left) v *= gain;
    for (float &v : c.right) v *= gain;
}

double midi_hz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

}  // namespace synth
