// Decoding OGG Vorbis through libvorbisfile into stereo float frames, whole or streamed in a loop.
#include "platform/core/vorbis.h"

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>

namespace platform {

void vorbis_reader::closer::operator()(OggVorbis_File *file) const {
    ov_clear(file);
    delete file;
}

std::unique_ptr<vorbis_reader> vorbis_reader::open(const std::string &host_path) {
    auto file = std::make_unique<OggVorbis_File>();
    // On failure ov_fopen closes the file and clears the decoder itself.
    if (ov_fopen(host_path.c_str(), file.get()) != 0) return nullptr;
    std::unique_ptr<vorbis_reader> reader(new vorbis_reader);
    reader->file_.reset(file.release());
    const vorbis_info *info = ov_info(reader->file_.get(), -1);
    if (!info || info->channels < 1 || info->rate < 1) return nullptr;
    reader->rate_ = static_cast<int>(info->rate);
    return reader;
}

int vorbis_reader::read(float *out, int frames) {
    int holes = 0;
    while (frames > 0) {
        float **pcm = nullptr;
        int link = 0;
        const long got = ov_read_float(file_.get(), &pcm, frames, &link);
        // A hole is a stretch of lost data in a damaged file: decoding goes on after it.
        if (got == OV_HOLE && ++holes < 64) continue;
        if (got <= 0) return 0;
        const vorbis_info *info = ov_info(file_.get(), link);
        const int channels = info ? info->channels : 1;
        const float *left = pcm[0];
        const float *right = channels > 1 ? pcm[1] : pcm[0];
        for (long i = 0; i < got; ++i) {
            out[2 * i] = left[i];
            out[2 * i + 1] = right[i];
        }
        return static_cast<int>(got);
    }
    return 0;
}

bool vorbis_reader::rewind() { return ov_pcm_seek(file_.get(), 0) == 0; }

std::vector<float> resample_linear(const std::vector<float> &frames, int from_rate, int to_rate) {
    const std::size_t count = frames.size() / 2;
    if (from_rate == to_rate || count == 0 || from_rate < 1 || to_rate < 1) return frames;
    const auto out_count =
        static_cast<std::size_t>(std::llround(static_cast<double>(count) * to_rate / from_rate));
    std::vector<float> out(out_count * 2);
    const double step = static_cast<double>(from_rate) / to_rate;
    for (std::size_t i = 0; i < out_count; ++i) {
        const double at = static_cast<double>(i) * step;
        const std::size_t a = std::min(static_cast<std::size_t>(at), count - 1);
        const std::size_t b = std::min(a + 1, count - 1);
        const auto t = static_cast<float>(at - static_cast<double>(a));
        for (int side = 0; side < 2; ++side) {
            const float x = frames[2 * a + side];
            const float y = frames[2 * b + side];
            out[2 * i + side] = x + (y - x) * t;
        }
    }
    return out;
}

std::vector<float> decode_whole(const std::string &host_path, int to_rate) {
    std::unique_ptr<vorbis_reader> reader = vorbis_reader::open(host_path);
    if (!reader) return {};
    std::vector<float> frames;
    constexpr int block = 4096;
    for (;;) {
        const std::size_t at = frames.size();
        frames.resize(at + 2 * block);
        const int got = reader->read(frames.data() + at, block);
        frames.resize(at + 2 * static_cast<std::size_t>(got));
        if (got == 0) break;
    }
    frames.shrink_to_fit();
    return resample_linear(frames, reader->rate(), to_rate);
}

std::unique_ptr<looping_stream> looping_stream::open(const std::string &host_path, int to_rate) {
    std::unique_ptr<vorbis_reader> reader = vorbis_reader::open(host_path);
    if (!reader) return nullptr;
    std::unique_ptr<looping_stream> s(new looping_stream);
    s->resampling_ = reader->rate() != to_rate;
    s->step_ = static_cast<double>(reader->rate()) / to_rate;
    s->reader_ = std::move(reader);
    return s;
}

int looping_stream::read_source(float *out, int frames) {
    int done = 0;
    bool just_rewound = false;
    while (done < frames && !dead_) {
        const int got = reader_->read(out + 2 * done, frames - done);
        if (got > 0) {
            done += got;
            just_rewound = false;
        } else if (just_rewound || !reader_->rewind()) {
            dead_ = true;  // nothing to play even from the start
        } else {
            just_rewound = true;
        }
    }
    return done;
}

bool looping_stream::next_source_frame(float frame[2]) {
    if (block_pos_ == block_frames_) {
        constexpr int block = 1024;
        block_.resize(2 * block);
        block_frames_ = read_source(block_.data(), block);
        block_pos_ = 0;
        if (block_frames_ == 0) return false;
    }
    frame[0] = block_[2 * block_pos_];
    frame[1] = block_[2 * block_pos_ + 1];
    ++block_pos_;
    return true;
}

int looping_stream::read(float *out, int frames) {
    if (!resampling_) return read_source(out, frames);
    if (!primed_) {
        if (!next_source_frame(prev_) || !next_source_frame(next_)) return 0;
        primed_ = true;
    }
    for (int i = 0; i < frames; ++i) {
        const auto t = static_cast<float>(phase_);
        out[2 * i] = prev_[0] + (next_[0] - prev_[0]) * t;
        out[2 * i + 1] = prev_[1] + (next_[1] - prev_[1]) * t;
        phase_ += step_;
        while (phase_ >= 1.0) {
            phase_ -= 1.0;
            prev_[0] = next_[0];
            prev_[1] = next_[1];
            if (!next_source_frame(next_)) return i + 1;
        }
    }
    return frames;
}

}  // namespace platform
