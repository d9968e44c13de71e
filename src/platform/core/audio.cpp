// The mixer: sounds, channels and their operations on the game's thread, and the mix that the audio
// device's thread pulls. Effects are decoded once into memory; looping music streams from its file.
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/core/core.h"
#include "platform/core/vorbis.h"

namespace platform {
namespace {

struct sound_data {
    std::string name;  // as the game named it, for the log
    std::string host_path;
    bool looping = false;
    bool playable = false;      // false for a missing or undecodable file: it plays silence
    std::vector<float> frames;  // a sound kept in memory: interleaved stereo at mix_rate
};

struct voice {
    std::int32_t id = 0;
    std::shared_ptr<const sound_data> snd;   // none for an idle channel
    std::unique_ptr<looping_stream> stream;  // a looping sound's own decoder
    // Under the state lock.
    float volume = 1;
    bool running = false;  // resumed and not paused
    // The mixer's alone once the channel is in the table.
    std::size_t position = 0;

    bool has_sound() const {
        if (!snd || !snd->playable) return false;
        return snd->looping ? stream != nullptr : !snd->frames.empty();
    }
    const std::string &sound_name() const {
        static const std::string none;
        return snd ? snd->name : none;
    }
};

struct mixer_state {
    // Guards the channel table, the playing list and every voice's volume and running flag. Held only
    // to look up or copy, never while decoding.
    std::mutex state_lock;
    std::map<std::int32_t, std::shared_ptr<voice>> channels;
    std::vector<std::shared_ptr<voice>> playing;
    std::int32_t next_channel = 1;

    // The game thread's alone: the sounds are created and looked up only there.
    std::map<std::int32_t, std::shared_ptr<const sound_data>> sounds;
    std::int32_t next_sound = 1;

    // Held through a whole mix, so that two callers never mix at once; the game's operations never
    // take it. The buffers are kept between mixes so an ordinary mix allocates nothing.
    std::mutex mix_lock;
    std::vector<std::pair<std::shared_ptr<voice>, float>> mixing;
    std::vector<std::shared_ptr<voice>> ended;
    std::vector<float> scratch;
};

mixer_state &mixer() {
    static mixer_state m;
    return m;
}

void drop_from_playing(mixer_state &m, const voice *v) {
    std::erase_if(m.playing, [v](const std::shared_ptr<voice> &p) { return p.get() == v; });
}

// Removes a channel whose sound is over; its handle then names nothing.
void retire(mixer_state &m, const std::shared_ptr<voice> &v) {
    v->running = false;
    drop_from_playing(m, v.get());
    auto it = m.channels.find(v->id);
    if (it != m.channels.end() && it->second == v) m.channels.erase(it);
}

void log_op(std::string_view op, channel ch, const std::string &sound_name, float volume = 0) {
    if (!logging()) return;
    audio_record r;
    r.op = op;
    r.channel = ch.id;
    r.sound = sound_name;
    r.volume = volume;
    audio_log().push_back(std::move(r));
}

// Adds one channel's next `frames` frames into out; true when its sound ended within them.
bool mix_voice(voice &v, float volume, float *out, int frames, std::vector<float> &scratch) {
    if (v.stream) {
        scratch.resize(std::max(scratch.size(), static_cast<std::size_t>(frames) * 2));
        const int got = v.stream->read(scratch.data(), frames);
        for (int i = 0; i < 2 * got; ++i) out[i] += scratch[i] * volume;
        return got < frames;
    }
    const std::vector<float> &all = v.snd->frames;
    const std::size_t total = all.size() / 2;
    const std::size_t count = std::min(static_cast<std::size_t>(frames), total - v.position);
    const float *from = all.data() + 2 * v.position;
    for (std::size_t i = 0; i < 2 * count; ++i) out[i] += from[i] * volume;
    v.position += count;
    return v.position >= total;
}

}  // namespace

void mix_audio(float *out, int frames) {
    if (frames <= 0) return;
    std::fill(out, out + 2 * static_cast<std::size_t>(frames), 0.0f);
    mixer_state &m = mixer();
    std::lock_guard mixing_guard(m.mix_lock);
    {
        std::lock_guard guard(m.state_lock);
        if (m.playing.empty()) return;
        for (const std::shared_ptr<voice> &v : m.playing) m.mixing.emplace_back(v, v->volume);
    }
    for (auto &[v, volume] : m.mixing)
        if (mix_voice(*v, volume, out, frames, m.scratch)) m.ended.push_back(v);
    if (!m.ended.empty()) {
        std::lock_guard guard(m.state_lock);
        for (const std::shared_ptr<voice> &v : m.ended) retire(m, v);
    }
    // Dropping the last reference to a stopped channel frees it here, outside the state lock.
    m.ended.clear();
    m.mixing.clear();
    for (int i = 0; i < 2 * frames; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

void reset_audio() {
    mixer_state &m = mixer();
    std::map<std::int32_t, std::shared_ptr<voice>> channels;
    std::vector<std::shared_ptr<voice>> playing;
    {
        std::lock_guard guard(m.state_lock);
        channels.swap(m.channels);
        playing.swap(m.playing);
        m.next_channel = 1;
    }
    m.sounds.clear();
    m.next_sound = 1;
}

}  // namespace platform

using platform::mixer;
using platform::voice;

sound load_sound(std::string_view path, int flags) {
    auto data = std::make_shared<platform::sound_data>();
    data->name = path;
    data->host_path = platform::host_path(path);
    data->looping = (flags & sound_loop) != 0;
    if (data->looping) {
        // Only proved playable here; each channel streams it with a decoder of its own.
        std::unique_ptr<platform::looping_stream> probe =
            platform::looping_stream::open(data->host_path, platform::mix_rate);
        float frame[2];
        data->playable = probe && probe->read(frame, 1) == 1;
    } else {
        data->frames = platform::decode_whole(data->host_path, platform::mix_rate);
        data->playable = !data->frames.empty();
    }
    platform::mixer_state &m = mixer();
    const std::int32_t id = m.next_sound++;
    m.sounds.emplace(id, std::move(data));
    return sound{id};
}

namespace {

channel add_channel(std::shared_ptr<voice> v) {
    platform::mixer_state &m = mixer();
    std::lock_guard guard(m.state_lock);
    v->id = m.next_channel++;
    m.channels.emplace(v->id, v);
    return channel{v->id};
}

// The channel's voice, looked up under the state lock that the caller holds.
std::shared_ptr<voice> find_voice(channel ch) {
    platform::mixer_state &m = mixer();
    auto it = m.channels.find(ch.id);
    return it == m.channels.end() ? nullptr : it->second;
}

}  // namespace

channel cue_sound(sound snd) {
    platform::mixer_state &m = mixer();
    auto v = std::make_shared<voice>();
    if (auto it = m.sounds.find(snd.id); it != m.sounds.end()) v->snd = it->second;
    if (v->snd && v->snd->looping && v->snd->playable)
        v->stream = platform::looping_stream::open(v->snd->host_path, platform::mix_rate);
    const std::string name = v->sound_name();
    const channel ch = add_channel(std::move(v));
    platform::log_op("cue", ch, name);
    return ch;
}

channel alloc_channel() { return add_channel(std::make_shared<voice>()); }

void set_channel_volume(channel ch, float volume) {
    std::string name;
    {
        std::lock_guard guard(mixer().state_lock);
        if (std::shared_ptr<voice> v = find_voice(ch)) {
            v->volume = volume;
            name = v->sound_name();
        }
    }
    platform::log_op("volume", ch, name, volume);
}

void resume_channel(channel ch) {
    std::string name;
    {
        platform::mixer_state &m = mixer();
        std::lock_guard guard(m.state_lock);
        if (std::shared_ptr<voice> v = find_voice(ch)) {
            name = v->sound_name();
            if (!v->has_sound()) {
                platform::retire(m, v);  // silence ends at once
            } else if (!v->running) {
                v->running = true;
                m.playing.push_back(v);
            }
        }
    }
    platform::log_op("resume", ch, name);
}

void pause_channel(channel ch) {
    std::string name;
    {
        platform::mixer_state &m = mixer();
        std::lock_guard guard(m.state_lock);
        if (std::shared_ptr<voice> v = find_voice(ch)) {
            name = v->sound_name();
            if (v->running) {
                v->running = false;
                platform::drop_from_playing(m, v.get());
            }
        }
    }
    platform::log_op("pause", ch, name);
}

void stop_channel(channel ch) {
    std::string name;
    std::shared_ptr<voice> stopped;  // released after the lock, so a decoder never closes under it
    {
        platform::mixer_state &m = mixer();
        std::lock_guard guard(m.state_lock);
        if ((stopped = find_voice(ch))) {
            name = stopped->sound_name();
            platform::retire(m, stopped);
        }
    }
    platform::log_op("stop", ch, name);
}

bool channel_playing(channel ch) {
    std::lock_guard guard(mixer().state_lock);
    const std::shared_ptr<voice> v = find_voice(ch);
    return v && v->running;
}
