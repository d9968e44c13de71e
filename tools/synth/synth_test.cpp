// Tests of the synthesizer's building blocks and of the sound files it made for the game.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "dsp.h"
#include "ogg_writer.h"
#include "sounds.h"

namespace {

using synth::clip;

struct decoded {
    bool ok = false;
    long rate = 0;
    clip sound;
};

struct vorbis_closer {
    void operator()(OggVorbis_File *f) const {
        ov_clear(f);
        delete f;
    }
};

decoded decode(const std::string &path) {
    decoded d;
    auto file = std::unique_ptr<OggVorbis_File, vorbis_closer>(new OggVorbis_File);
    if (ov_fopen(path.c_str(), file.get()) != 0) {
        file.release();  // ov_fopen cleans up after itself on failure
        return d;
    }
    const vorbis_info *info = ov_info(file.get(), -1);
    d.rate = info->rate;
    const int channels = info->channels;
    for (;;) {
        float **pcm = nullptr;
        int section = 0;
        const long n = ov_read_float(file.get(), &pcm, 4096, &section);
        if (n < 0) return d;
        if (n == 0) break;
        for (long i = 0; i < n; ++i) {
            d.sound.left.push_back(pcm[0][i]);
            if (channels == 2) d.sound.right.push_back(pcm[1][i]);
        }
    }
    d.ok = true;
    return d;
}

std::string temp_path(const std::string &name) {
    return (std::filesystem::temp_directory_path() / ("saltburst_synth_" + name)).string();
}

TEST(synth_canvas, wraps_only_when_looping) {
    struct {
        bool looping;
        long at;
        int lands_on;  // -1: dropped
    } cases[] = {
        {true, 3, 3},  {true, 10, 0},   {true, 13, 3},   {true, -1, 9},
        {false, 3, 3}, {false, 10, -1}, {false, -1, -1},
    };
    for (auto [looping, at, lands_on] : cases) {
        SCOPED_TRACE(testing::Message() << "looping " << looping << " at " << at);
        clip c = clip::mono(10);
        synth::canvas out(c, looping);
        out.add(at, 1.0f, 0.0f);
        for (int i = 0; i < 10; ++i) EXPECT_EQ(c.left[i], i == lands_on ? 1.0f : 0.0f) << i;
    }
}

TEST(synth_canvas, centre_pan_keeps_stereo_sides_equal) {
    clip c = clip::stereo(1);
    synth::canvas out(c, false);
    out.add(0, 0.5f, 0.0f);
    EXPECT_NEAR(c.left[0], c.right[0], 1e-6);
    out.add(0, 0.5f, -1.0f);
    EXPECT_GT(c.left[0], c.right[0]);
}

// The room of a loop rings from its end into its start, and the loop meets itself without a step.
TEST(synth_reverb, looped_reverb_folds_the_tail_into_the_head) {
    const std::size_t n = 20000;
    clip c = clip::stereo(n);
    for (std::size_t i = n - 400; i < n - 200; ++i) {
        c.left[i] = c.right[i] = static_cast<float>(std::sin(i * 0.05));
    }
    synth::add_looped_reverb(c, 1.0f, 0.8f, 0.3f);
    float head = 0;
    for (std::size_t i = 0; i < 3000; ++i) head = std::max(head, std::fabs(c.left[i]));
    EXPECT_GT(head, 1e-3f) << "the reverb tail from the end should sound at the start";
    float largest_step = 0;
    for (std::size_t i = 1; i < n; ++i)
        largest_step = std::max(largest_step, std::fabs(c.left[i] - c.left[i - 1]));
    EXPECT_LE(std::fabs(c.left[0] - c.left[n - 1]), largest_step);
}

TEST(synth_levels, fades_reach_silence_at_both_ends) {
    struct {
        std::size_t frames;
        double fade;
    } cases[] = {{1000, 0.005}, {100, 1.0}, {1, 0.01}, {0, 0.01}};
    for (auto [frames, fade] : cases) {
        SCOPED_TRACE(frames);
        clip c = clip::stereo(frames);
        std::fill(c.left.begin(), c.left.end(), 0.8f);
        std::fill(c.right.begin(), c.right.end(), -0.8f);
        synth::fade_edges(c, fade, fade);
        if (frames == 0) continue;
        EXPECT_EQ(c.left.front(), 0.0f);
        EXPECT_EQ(c.left.back(), 0.0f);
        EXPECT_EQ(c.right.back(), 0.0f);
    }
}

TEST(synth_levels, scaling_sets_the_peak_and_leaves_silence_alone) {
    clip c = clip::stereo(3);
    c.left = {0.1f, -0.4f, 0.2f};
    c.right = {0.0f, 0.3f, -0.1f};
    synth::scale_to_peak_db(c, -6.0f);
    EXPECT_NEAR(synth::peak(c), std::pow(10.0f, -6.0f / 20.0f), 1e-6);
    EXPECT_NEAR(c.right[1] / c.left[1], -0.75f, 1e-6);
    clip silent = clip::mono(4);
    synth::scale_to_peak_db(silent, -1.0f);
    EXPECT_EQ(synth::peak(silent), 0.0f);
}

// What goes into the encoder comes back with the same rate, channels and exact length.
TEST(synth_ogg, round_trip_keeps_rate_channels_and_length) {
    for (bool stereo : {false, true}) {
        SCOPED_TRACE(stereo ? "stereo" : "mono");
        const std::size_t frames = 44100 + 123;
        clip c = stereo ? clip::stereo(frames) : clip::mono(frames);
        for (std::size_t i = 0; i < frames; ++i) {
            c.left[i] = 0.5f * static_cast<float>(std::sin(i * synth::two_pi * 440.0 / synth::sample_rate));
            if (stereo)
                c.right[i] = 0.25f * static_cast<float>(std::sin(i * synth::two_pi * 660.0 / 44100.0));
        }
        const std::string path = temp_path(stereo ? "stereo.ogg" : "mono.ogg");
        std::string error;
        ASSERT_TRUE(synth::write_ogg(path, c, 0.4f, error)) << error;
        const decoded d = decode(path);
        std::filesystem::remove(path);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.rate, 44100);
        EXPECT_EQ(d.sound.channels(), c.channels());
        EXPECT_EQ(d.sound.frames(), frames);
        EXPECT_NEAR(synth::rms(d.sound), synth::rms(c), 0.02);
    }
}

TEST(synth_ogg, refuses_an_empty_clip_and_an_unwritable_path) {
    std::string error;
    EXPECT_FALSE(synth::write_ogg(temp_path("empty.ogg"), clip::mono(0), 0.4f, error));
    EXPECT_NE(error.find("nothing"), std::string::npos);
    clip c = clip::mono(1000);
    error.clear();
    EXPECT_FALSE(synth::write_ogg("/nonexistent-folder/x.ogg", c, 0.4f, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

TEST(synth_score, phrase_lays_notes_end_to_end_and_skips_rests) {
    const auto notes = synth::phrase(4, {{62, 1}, {synth::rest, 0.5}, {64, 0.5}, {65, 2}});
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[1].beat, 5.5);
    EXPECT_EQ(notes[1].pitch, 64);
    EXPECT_EQ(notes[2].beat, 6.0);
}

// The committed sound files: the lengths, levels and loop seams the game and its players rely on.
TEST(sound_files, lengths_levels_and_seams) {
    struct {
        const char *file;
        double min_seconds, max_seconds;
        bool loops;
    } cases[] = {
        {"bubblepop.ogg", 0.05, 2.0, false}, {"rapierselect.ogg", 0.05, 2.0, false},
        {"powderkeg.ogg", 0.05, 2.0, false}, {"timebell.ogg", 0.05, 2.0, false},
        {"newround.ogg", 0.05, 2.0, false},  {"getbonus.ogg", 0.05, 2.0, false},
        {"marooned.ogg", 0.05, 2.0, false},  {"sb_intro.ogg", 45.0, 90.0, true},
        {"sb_play.ogg", 60.0, 120.0, true},
    };
    const float minus_one_db = std::pow(10.0f, -1.0f / 20.0f);
    float pop_rms = 0, loudest_music_rms = 0;
    for (const auto &k : cases) {
        SCOPED_TRACE(k.file);
        const decoded d = decode(std::string(SALTBURST_SOURCE_DIR) + "/data/" + k.file);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.rate, 44100);
        const double seconds = static_cast<double>(d.sound.frames()) / d.rate;
        EXPECT_GE(seconds, k.min_seconds);
        EXPECT_LE(seconds, k.max_seconds);
        EXPECT_LE(synth::peak(d.sound), minus_one_db);
        const auto &s = d.sound.left;
        const std::size_t n = s.size();
        if (k.loops) {
            // The step across the loop point is no larger than the steps just before and after it.
            float step = 0;
            for (std::size_t i = 1; i < 100; ++i) {
                step = std::max({step, std::fabs(s[i] - s[i - 1]), std::fabs(s[n - i] - s[n - i - 1])});
            }
            EXPECT_LE(std::fabs(s[0] - s[n - 1]), step * 1.5f + 1e-3f);
            loudest_music_rms = std::max(loudest_music_rms, synth::rms(d.sound));
        } else {
            EXPECT_LT(std::fabs(s.front()), 0.01f) << "click at the start";
            EXPECT_LT(std::fabs(s.back()), 0.01f) << "click at the end";
        }
        if (std::string(k.file) == "bubblepop.ogg") pop_rms = synth::rms(d.sound);
    }
    EXPECT_GT(pop_rms, loudest_music_rms * 2.0f) << "a pop must stand out over the music";
}

// A fresh render of an effect matches itself: fixed seeds, no hidden state between renders.
TEST(sound_files, rendering_is_deterministic) {
    const clip a = synth::render_powderkeg();
    const clip b = synth::render_powderkeg();
    EXPECT_EQ(a.left, b.left);
}

}  // namespace
