// Sound building blocks of the synthesizer: clips, noise, filters, reverb, levels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace synth {

constexpr int sample_rate = 44100;
constexpr double two_pi = 6.283185307179586;

// A sound being made: one channel (right empty) or two, each a run of float samples in -1..1.
struct clip {
    std::vector<float> left;
    std::vector<float> right;

    static clip mono(std::size_t frames) { return clip{std::vector<float>(frames, 0.0f), {}}; }
    static clip stereo(std::size_t frames) {
        return clip{std::vector<float>(frames, 0.0f), std::vector<float>(frames, 0.0f)};
    }
    int channels() const { return right.empty() ? 1 : 2; }
    std::size_t frames() const { return left.size(); }
};

// Where voices play into a clip. A looping canvas wraps everything that runs past the end back onto
// the start, so a note or a ring that crosses the loop point is heard on both sides of it.
class canvas {
  public:
    canvas(clip &target, bool looping) : target_(target), looping_(looping) {}
    // Adds one sample at frame i; pan -1 is hard left, 1 hard right (ignored for mono clips).
    void add(std::int64_t i, float value, float pan);
    bool looping() const { return looping_; }
    std::size_t frames() const { return target_.frames(); }

  private:
    clip &target_;
    bool looping_;
};

// Deterministic white noise (xorshift32): the same seed gives the same sound on every machine.
class noise {
  public:
    explicit noise(std::uint32_t seed) : state_(seed != 0 ? seed : 1) {}
    float next();  // -1..1

  private:
    std::uint32_t state_;
};

// Second-order filter in the usual direct form, set up from cutoff and Q.
class biquad {
  public:
    static biquad low_pass(double hz, double q);
    static biquad high_pass(double hz, double q);
    static biquad band_pass(double hz, double q);
    float process(float x);

  private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double z1_ = 0, z2_ = 0;
};

// Stereo room: parallel damped combs into series allpasses, each side with its own lengths.
class reverb {
  public:
    reverb(float room, float damp);
    void process(float in, float &out_left, float &out_right);

  private:
    struct comb {
        std::vector<float> buffer;
        std::size_t index = 0;
        float store = 0;
    };
    struct allpass {
        std::vector<float> buffer;
        std::size_t index = 0;
    };
    float run(std::vector<comb> &combs, std::vector<allpass> &passes, float in);

    float feedback_;
    float damp_;
    std::vector<comb> combs_[2];
    std::vector<allpass> passes_[2];
};

// Adds a room to a loop so that the loop stays seamless: the reverb runs twice round the loop and
// keeps the second lap, whose tail from the end has already rung into the start.
void add_looped_reverb(clip &c, float wet, float room, float damp);

// Fades in and out over the given seconds, so the sound starts and ends at silence.
void fade_edges(clip &c, double in_seconds, double out_seconds);

// Largest absolute sample over all channels, and the root mean square.
float peak(const clip &c);
float rms(const clip &c);
// Scales the clip so that its peak is exactly the given level in dBFS (a silent clip is left alone).
void scale_to_peak_db(clip &c, float db);

double midi_hz(double note);

}  // namespace synth
