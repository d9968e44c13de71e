// Reading OGG Vorbis files as stereo float frames: a decoder owner that can rewind for looping, and a
// whole-file decode to the mixer's rate for sounds kept in memory.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct OggVorbis_File;

namespace platform {

// One open Vorbis stream. Mono is read as the same sample on both sides; of more channels the first
// two are kept.
class vorbis_reader {
  public:
    // Empty when the file is missing or is not Ogg Vorbis.
    static std::unique_ptr<vorbis_reader> open(const std::string &host_path);

    int rate() const { return rate_; }
    // Fills up to `frames` interleaved stereo frames; returns how many, 0 at the end or on a fault.
    int read(float *out, int frames);
    // Back to the first sample, so that the next read continues the sound with no gap.
    bool rewind();

  private:
    struct closer {
        void operator()(OggVorbis_File *file) const;
    };
    std::unique_ptr<OggVorbis_File, closer> file_;
    int rate_ = 0;
};

// Stretches interleaved stereo frames from one rate to another by linear interpolation.
std::vector<float> resample_linear(const std::vector<float> &frames, int from_rate, int to_rate);

// A looping sound streamed from its file at `to_rate`: the end runs straight into the start with no
// gap and no lost or repeated frame. Opening reads only the headers; frames are decoded as they are read.
class looping_stream {
  public:
    // Empty when the file is missing or is not Ogg Vorbis.
    static std::unique_ptr<looping_stream> open(const std::string &host_path, int to_rate);

    // Fills `frames` interleaved stereo frames; fewer only when the file yields no sound at all.
    int read(float *out, int frames);

  private:
    int read_source(float *out, int frames);  // at the file's own rate, looping
    bool next_source_frame(float frame[2]);

    std::unique_ptr<vorbis_reader> reader_;
    bool dead_ = false;
    // Linear resampling when the file's rate is not `to_rate`.
    bool resampling_ = false;
    double step_ = 1;   // source frames per output frame
    double phase_ = 0;  // position between prev_ and next_, 0..1
    bool primed_ = false;
    float prev_[2] = {};
    float next_[2] = {};
    std::vector<float> block_;
    int block_frames_ = 0;
    int block_pos_ = 0;
};

// The whole file as interleaved stereo frames at `to_rate`; empty when it cannot be read.
std::vector<float> decode_whole(const std::string &host_path, int to_rate);

}  // namespace platform
