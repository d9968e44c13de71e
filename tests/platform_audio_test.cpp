// The mixer: channels cued paused, volumes, pause and resume, ends and loops, resampling, bad
// files, many channels, the audio log, and mixing on another thread while the game changes channels.
#include <gtest/gtest.h>
#include <vorbis/vorbisenc.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"
#include "platform/core/core.h"

namespace fs = std::filesystem;

namespace {

// Encodes interleaved samples into an OGG Vorbis file.
void write_ogg(const fs::path &file, int rate, int channels, const std::vector<float> &samples) {
    std::ofstream out(file, std::ios::binary);
    vorbis_info vi;
    vorbis_info_init(&vi);
    ASSERT_EQ(vorbis_encode_init_vbr(&vi, channels, rate, 0.8f), 0);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 7);
    ogg_page page;
    auto write_page = [&] {
        out.write(reinterpret_cast<const char *>(page.header), page.header_len);
        out.write(reinterpret_cast<const char *>(page.body), page.body_len);
    };
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    while (ogg_stream_flush(&os, &page)) write_page();
    auto drain = [&] {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) write_page();
            }
        }
    };
    const int frames = static_cast<int>(samples.size()) / channels;
    for (int at = 0; at < frames; at += 1024) {
        const int n = std::min(1024, frames - at);
        float **buffer = vorbis_analysis_buffer(&vd, n);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c) buffer[c][i] = samples[(at + i) * channels + c];
        vorbis_analysis_wrote(&vd, n);
        drain();
    }
    vorbis_analysis_wrote(&vd, 0);
    drain();
    while (ogg_stream_flush(&os, &page)) write_page();
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
}

// A sine of `hz` at `amplitude`, sampled at `rate`; the right side is inverted in a stereo file.
float sine(double hz, int rate, long frame, float amplitude = 0.5f) {
    return amplitude * static_cast<float>(std::sin(2 * std::numbers::pi * hz * frame / rate));
}

std::vector<float> tone_samples(int rate, int channels, int frames, double hz, float amplitude) {
    std::vector<float> s;
    for (int i = 0; i < frames; ++i) {
        const float v = sine(hz, rate, i, amplitude);
        s.push_back(v);
        if (channels == 2) s.push_back(-v);
    }
    return s;
}

// A fresh mixer and log in an empty temporary working directory.
class audio_mixer : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::make_unique<testing_support::work_dir>(false);
        fs::create_directory("data");
        platform::reset_audio();
        platform::set_logging(true);
        platform::audio_log().clear();
    }
    void TearDown() override {
        platform::reset_audio();
        platform::audio_log().clear();
        platform::set_logging(false);
        dir_.reset();
    }

    // Writes data\<name> and returns the game's path to it.
    std::string tone(const std::string &name, int rate, int channels, int frames, double hz = 441,
                     float amplitude = 0.5f) {
        write_ogg(fs::path("data") / name, rate, channels,
                  tone_samples(rate, channels, frames, hz, amplitude));
        return "data\\" + name;
    }

    static channel play(sound snd, float volume = 1) {
        const channel ch = cue_sound(snd);
        set_channel_volume(ch, volume);
        resume_channel(ch);
        return ch;
    }

    static std::vector<float> mix(int frames) {
        std::vector<float> out(2 * static_cast<std::size_t>(frames), 123.0f);
        platform::mix_audio(out.data(), frames);
        return out;
    }

    // Mixes in blocks of uneven size, as a device would, and joins them.
    static std::vector<float> mix_in_blocks(int frames, int block) {
        std::vector<float> all;
        for (int done = 0; done < frames; done += block) {
            const std::vector<float> part = mix(std::min(block, frames - done));
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }

    static bool silent(const std::vector<float> &v) {
        return std::all_of(v.begin(), v.end(), [](float x) { return x == 0.0f; });
    }

    static float loudest(const std::vector<float> &v) {
        float m = 0;
        for (float x : v) m = std::max(m, std::fabs(x));
        return m;
    }

    // The largest gap between the mix and an ideal sine on each side.
    static float error_from_sine(const std::vector<float> &v, double hz, int channels) {
        float worst = 0;
        for (std::size_t i = 0; i < v.size() / 2; ++i) {
            const float want = sine(hz, platform::mix_rate, static_cast<long>(i));
            worst = std::max(worst, std::fabs(v[2 * i] - want));
            worst = std::max(worst, std::fabs(v[2 * i + 1] - (channels == 2 ? -want : want)));
        }
        return worst;
    }

  private:
    std::unique_ptr<testing_support::work_dir> dir_;
};

using audio_channel = audio_mixer;
using audio_decode = audio_mixer;
using audio_loop = audio_mixer;
using audio_records = audio_mixer;
using audio_threads = audio_mixer;

constexpr float sine_tolerance = 0.03f;

}  // namespace

TEST_F(audio_channel, cued_channel_is_silent_until_resumed) {
    for (int flags : {0, sound_loop}) {
        SCOPED_TRACE(flags);
        platform::reset_audio();
        const sound snd = load_sound(tone("a.ogg", 44100, 1, 8000), flags);
        const channel ch = cue_sound(snd);
        EXPECT_NE(ch.id, 0);
        EXPECT_FALSE(channel_playing(ch));
        EXPECT_TRUE(silent(mix(2000)));
        resume_channel(ch);
        EXPECT_TRUE(channel_playing(ch));
        // It starts from the beginning of the sound, not from where the silent mix had got to.
        const std::vector<float> heard = mix(2000);
        EXPECT_GT(loudest(heard), 0.45f);
        EXPECT_LT(error_from_sine(heard, 441, 1), sine_tolerance);
    }
}

TEST_F(audio_channel, volume_scales_the_channel_from_the_next_mix) {
    const sound snd = load_sound(tone("a.ogg", 44100, 2, 8000), 0);
    play(snd);
    const std::vector<float> full = mix(3000);
    for (float volume : {0.0f, 0.25f, 0.5f, 1.0000001f}) {
        SCOPED_TRACE(volume);
        platform::reset_audio();
        const sound again = load_sound("data\\a.ogg", 0);
        const channel ch = play(again, volume);
        EXPECT_TRUE(channel_playing(ch));  // a silent channel still plays
        const std::vector<float> heard = mix(1000);
        set_channel_volume(ch, 1.0f);
        const std::vector<float> after = mix(2000);
        for (std::size_t i = 0; i < heard.size(); ++i) ASSERT_FLOAT_EQ(heard[i], full[i] * volume) << i;
        for (std::size_t i = 0; i < after.size(); ++i) ASSERT_FLOAT_EQ(after[i], full[heard.size() + i]) << i;
    }
}

TEST_F(audio_channel, pause_holds_the_position_and_resume_continues) {
    for (int flags : {0, sound_loop}) {
        SCOPED_TRACE(flags);
        platform::reset_audio();
        const sound snd = load_sound(tone("a.ogg", 44100, 2, 20000), flags);
        play(snd);
        const std::vector<float> straight = mix(3000);
        stop_channel(channel{1});

        const channel ch = play(snd);
        std::vector<float> heard = mix(1000);
        pause_channel(ch);
        EXPECT_FALSE(channel_playing(ch));
        EXPECT_TRUE(silent(mix(500)));
        pause_channel(ch);  // a second pause changes nothing
        resume_channel(ch);
        EXPECT_TRUE(channel_playing(ch));
        const std::vector<float> rest = mix(2000);
        heard.insert(heard.end(), rest.begin(), rest.end());
        EXPECT_EQ(heard, straight);
    }
}

TEST_F(audio_channel, stop_silences_for_good) {
    for (int flags : {0, sound_loop}) {
        SCOPED_TRACE(flags);
        platform::reset_audio();
        const channel ch = play(load_sound(tone("a.ogg", 44100, 1, 20000), flags));
        EXPECT_GT(loudest(mix(1000)), 0.4f);
        stop_channel(ch);
        EXPECT_FALSE(channel_playing(ch));
        EXPECT_TRUE(silent(mix(1000)));
        resume_channel(ch);  // a stopped channel cannot be brought back
        set_channel_volume(ch, 1);
        EXPECT_FALSE(channel_playing(ch));
        EXPECT_TRUE(silent(mix(1000)));
    }
}

TEST_F(audio_channel, effect_ends_at_the_last_frame_of_its_sound) {
    constexpr int length = 4410;
    const channel ch = play(load_sound(tone("a.ogg", 44100, 1, length), 0));
    mix(length - 1);
    EXPECT_TRUE(channel_playing(ch));
    mix(1);
    EXPECT_FALSE(channel_playing(ch));
    EXPECT_TRUE(silent(mix(100)));

    // A block that runs past the end is silent after it.
    const channel again = play(load_sound("data\\a.ogg", 0));
    const std::vector<float> heard = mix(length + 500);
    EXPECT_FALSE(channel_playing(again));
    EXPECT_GT(loudest({heard.begin(), heard.begin() + 2 * length}), 0.45f);
    EXPECT_TRUE(silent({heard.begin() + 2 * length, heard.end()}));
    resume_channel(again);  // resuming a finished channel does not start it over
    EXPECT_TRUE(silent(mix(100)));
}

TEST_F(audio_channel, channels_add_up_and_the_sum_is_clamped) {
    const sound loud = load_sound(tone("loud.ogg", 44100, 1, 8000, 441, 0.8f), 0);
    play(loud);
    const std::vector<float> one = mix(4000);
    platform::reset_audio();
    const sound again = load_sound("data\\loud.ogg", 0);
    play(again);
    play(again);
    const std::vector<float> two = mix(4000);
    for (std::size_t i = 0; i < two.size(); ++i) {
        ASSERT_LE(std::fabs(two[i]), 1.0f);
        if (std::fabs(2 * one[i]) <= 1.0f) {
            ASSERT_FLOAT_EQ(two[i], 2 * one[i]) << i;
        }
    }
    EXPECT_EQ(loudest(two), 1.0f);
}

TEST_F(audio_channel, any_number_of_channels_play_at_once) {
    const sound snd = load_sound(tone("a.ogg", 44100, 1, 4000), 0);
    play(snd);
    const std::vector<float> one = mix(3000);
    platform::reset_audio();
    const sound again = load_sound("data\\a.ogg", 0);
    std::vector<channel> many;
    for (int i = 0; i < 300; ++i) many.push_back(play(again, 1.0f / 300));
    const std::vector<float> all = mix(3000);
    for (std::size_t i = 0; i < all.size(); ++i) ASSERT_NEAR(all[i], one[i], 1e-4f) << i;
    for (channel ch : many) EXPECT_TRUE(channel_playing(ch));
    mix(1000);
    for (channel ch : many) EXPECT_FALSE(channel_playing(ch));
}

TEST_F(audio_channel, handles_are_new_each_time_and_an_allocated_channel_is_idle) {
    const sound snd = load_sound(tone("a.ogg", 44100, 1, 1000), 0);
    const channel first = play(snd);
    const channel idle = alloc_channel();
    mix(2000);  // the first one finishes
    const channel second = cue_sound(snd);
    EXPECT_NE(first.id, 0);
    EXPECT_NE(idle.id, 0);
    EXPECT_NE(idle.id, first.id);
    EXPECT_NE(second.id, first.id);
    EXPECT_NE(second.id, idle.id);

    EXPECT_FALSE(channel_playing(idle));
    set_channel_volume(idle, 0.5f);
    pause_channel(idle);
    resume_channel(idle);
    EXPECT_FALSE(channel_playing(idle));
    stop_channel(idle);
    EXPECT_TRUE(silent(mix(500)));
    EXPECT_FALSE(channel_playing(second));  // still cued, untouched by the others
}

TEST_F(audio_channel, unknown_channels_are_harmless) {
    const channel live = play(load_sound(tone("a.ogg", 44100, 1, 20000), 0));
    for (std::int32_t id : {0, -1, 99999}) {
        SCOPED_TRACE(id);
        const channel ch{id};
        set_channel_volume(ch, 0.0f);
        resume_channel(ch);
        pause_channel(ch);
        stop_channel(ch);
        EXPECT_FALSE(channel_playing(ch));
    }
    EXPECT_TRUE(channel_playing(live));
    EXPECT_GT(loudest(mix(1000)), 0.4f);
    // A sound handle the mixer never gave cues a channel that plays nothing.
    const channel none = cue_sound(sound{4242});
    resume_channel(none);
    EXPECT_FALSE(channel_playing(none));
}

TEST_F(audio_channel, reset_forgets_every_sound_and_channel) {
    const sound snd = load_sound(tone("a.ogg", 44100, 1, 20000), sound_loop);
    const channel ch = play(snd);
    platform::reset_audio();
    EXPECT_FALSE(channel_playing(ch));
    EXPECT_TRUE(silent(mix(1000)));
    const channel fresh = cue_sound(snd);  // the old sound handle names nothing now
    resume_channel(fresh);
    EXPECT_FALSE(channel_playing(fresh));
}

TEST_F(audio_decode, each_side_of_the_file_reaches_its_side_of_the_mix) {
    // Mono plays the same on both sides; stereo keeps its sides apart (the right one is inverted).
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        for (int flags : {0, sound_loop}) {
            SCOPED_TRACE(flags);
            platform::reset_audio();
            const std::string name = "tone" + std::to_string(channels) + ".ogg";
            const sound snd = load_sound(tone(name, 44100, channels, 8000), flags);
            play(snd);
            EXPECT_LT(error_from_sine(mix(6000), 441, channels), sine_tolerance);
        }
    }
}

TEST_F(audio_decode, another_rate_is_stretched_to_the_mixer_rate) {
    constexpr int length = 11025;  // half a second at 22050 Hz
    tone("slow.ogg", 22050, 1, length);
    tone("slow2.ogg", 22050, 2, length);
    for (const char *file : {"data\\slow.ogg", "data\\slow2.ogg"}) {
        SCOPED_TRACE(file);
        platform::reset_audio();
        const int channels = std::string(file).find('2') != std::string::npos ? 2 : 1;
        const channel ch = play(load_sound(file, 0));
        const std::vector<float> heard = mix(2 * length - 2);
        EXPECT_TRUE(channel_playing(ch));
        EXPECT_LT(error_from_sine(heard, 441, channels), sine_tolerance);
        mix(4);
        EXPECT_FALSE(channel_playing(ch));  // half a second at the mixer rate too
    }
}

TEST_F(audio_decode, a_missing_or_bad_file_gives_a_sound_that_plays_nothing) {
    tone("good.ogg", 44100, 1, 20000);
    {
        std::ifstream in("data/good.ogg", std::ios::binary);
        std::string head(200, '\0');
        in.read(head.data(), 200);
        std::ofstream("data/cut.ogg", std::ios::binary) << head;
    }
    std::ofstream("data/garbage.ogg") << "this is not an ogg file, just some text that goes on for a while";
    std::ofstream("data/empty.ogg");
    fs::create_directory("data/folder.ogg");
    for (const char *path :
         {"data\\missing.ogg", "data\\garbage.ogg", "data\\empty.ogg", "data\\cut.ogg", "data\\folder.ogg"}) {
        for (int flags : {0, sound_loop}) {
            SCOPED_TRACE(std::string(path) + " flags " + std::to_string(flags));
            const sound snd = load_sound(path, flags);
            EXPECT_NE(snd.id, 0);
            const channel ch = cue_sound(snd);
            EXPECT_NE(ch.id, 0);
            set_channel_volume(ch, 1);
            resume_channel(ch);
            EXPECT_FALSE(channel_playing(ch));  // over at once, so nobody waits for it
            pause_channel(ch);
            resume_channel(ch);
            EXPECT_FALSE(channel_playing(ch));
            EXPECT_TRUE(silent(mix(1000)));
            stop_channel(ch);
        }
    }
    // Good sounds still play beside them.
    const channel good = play(load_sound("data\\good.ogg", 0));
    EXPECT_TRUE(channel_playing(good));
    EXPECT_GT(loudest(mix(1000)), 0.4f);
}

TEST_F(audio_loop, looping_track_wraps_with_no_gap) {
    constexpr int length = 11000;  // 110 whole cycles of 441 Hz
    const std::string path = tone("loop.ogg", 44100, 2, length);
    play(load_sound(path, 0));
    const std::vector<float> once = mix(length);

    platform::reset_audio();
    const channel ch = play(load_sound(path, sound_loop));
    const std::vector<float> looped = mix_in_blocks(3 * length + 1234, 777);
    EXPECT_TRUE(channel_playing(ch));
    for (std::size_t i = 0; i < looped.size(); ++i) ASSERT_EQ(looped[i], once[i % once.size()]) << i;
}

TEST_F(audio_loop, looping_track_at_another_rate_repeats_exactly) {
    // 490 Hz is 45 frames a cycle at 22050 Hz, so the loop of 11025 frames joins smoothly and lasts
    // exactly 22050 frames at the mixer rate.
    constexpr int length = 11025;
    play(load_sound(tone("slow.ogg", 22050, 1, length, 490), sound_loop));
    const std::vector<float> looped = mix_in_blocks(3 * 2 * length, 1000);
    EXPECT_LT(error_from_sine(looped, 490, 1), sine_tolerance);
    for (std::size_t i = 0; i + 4 * length < looped.size(); ++i)
        ASSERT_EQ(looped[i], looped[i + 4 * length]) << i;
}

TEST_F(audio_loop, each_channel_streams_on_its_own) {
    constexpr int length = 11000;
    const sound snd = load_sound(tone("loop.ogg", 44100, 1, length), sound_loop);
    play(snd);
    const std::vector<float> alone = mix(2 * length);

    platform::reset_audio();
    const sound again = load_sound("data\\loop.ogg", sound_loop);
    play(again);
    mix(3000);
    play(again);  // starts at the beginning while the first one is 3000 frames in
    const std::vector<float> both = mix(length);
    for (std::size_t f = 0; f < both.size() / 2; ++f) {
        const float want = alone[2 * (f + 3000)] + alone[2 * f];
        ASSERT_NEAR(both[2 * f], std::clamp(want, -1.0f, 1.0f), 1e-6f) << f;
    }
}

TEST_F(audio_loop, a_long_track_plays_from_its_start_at_once) {
    // How little starting a track costs is measured by tools/bench, next to a whole decode.
    const std::string path = tone("long.ogg", 44100, 2, 44100 * 20);
    const channel ch = play(load_sound(path, sound_loop));
    EXPECT_LT(error_from_sine(mix(4410), 441, 2), sine_tolerance);
    EXPECT_TRUE(channel_playing(ch));
}

TEST_F(audio_records, every_channel_operation_is_logged_in_order) {
    const sound pop = load_sound(tone("pop.ogg", 44100, 1, 20000), 0);
    const sound missing = load_sound("data\\missing.ogg", sound_loop);
    const channel a = cue_sound(pop);
    set_channel_volume(a, 0.5f);
    resume_channel(a);
    const channel b = cue_sound(missing);
    pause_channel(a);
    stop_channel(a);
    stop_channel(a);  // now unknown
    resume_channel(channel{777});
    const channel idle = alloc_channel();
    stop_channel(idle);

    struct row {
        const char *op;
        std::int32_t channel;
        const char *sound;
        float volume;
    };
    const row want[] = {
        {"cue", a.id, "data\\pop.ogg", 0},
        {"volume", a.id, "data\\pop.ogg", 0.5f},
        {"resume", a.id, "data\\pop.ogg", 0},
        {"cue", b.id, "data\\missing.ogg", 0},
        {"pause", a.id, "data\\pop.ogg", 0},
        {"stop", a.id, "data\\pop.ogg", 0},
        {"stop", a.id, "", 0},
        {"resume", 777, "", 0},
        {"stop", idle.id, "", 0},
    };
    const auto &log = platform::audio_log();
    ASSERT_EQ(log.size(), std::size(want));
    for (std::size_t i = 0; i < log.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(log[i].op, want[i].op);
        EXPECT_EQ(log[i].channel, want[i].channel);
        EXPECT_EQ(log[i].sound, want[i].sound);
        EXPECT_EQ(log[i].volume, want[i].volume);
    }
}

TEST_F(audio_records, nothing_is_logged_while_logging_is_off) {
    platform::set_logging(false);
    const channel ch = play(load_sound(tone("pop.ogg", 44100, 1, 2000), 0));
    stop_channel(ch);
    EXPECT_TRUE(platform::audio_log().empty());
}

TEST_F(audio_threads, the_game_changes_channels_while_another_thread_mixes) {
    const sound pop = load_sound(tone("pop.ogg", 44100, 1, 3000), 0);
    const sound music = load_sound(tone("music.ogg", 44100, 2, 20000), sound_loop);
    std::atomic<bool> done{false};
    std::atomic<bool> in_range{true};
    std::thread device([&] {
        std::vector<float> out(2 * 512);
        while (!done) {
            platform::mix_audio(out.data(), 512);
            for (float x : out)
                if (!(x >= -1.0f && x <= 1.0f)) in_range = false;
        }
    });
    channel track = alloc_channel();
    for (int i = 0; i < 400; ++i) {
        const channel fx = play(pop, 0.3f);
        if (i % 7 == 0) {
            stop_channel(track);
            track = play(music, 0.5f);
        }
        if (i % 5 == 0) pause_channel(track);
        if (i % 5 == 2) resume_channel(track);
        if (i % 3 == 0) stop_channel(fx);
        channel_playing(fx);
        set_channel_volume(track, static_cast<float>(i % 10) / 10);
    }
    platform::reset_audio();
    done = true;
    device.join();
    EXPECT_TRUE(in_range);
    EXPECT_TRUE(silent(mix(512)));
}
