// saltburst-sim: runs the real game (start-up with the splash, the frame loop, shutdown) on the headless
// backend from an input script, deterministically, and prints the game's state after each frame as a
// JSON line; can also write screenshots of chosen frames.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "game.h"
#include "platform/headless/headless.h"
#include "replay_run.h"
#include "replay_script.h"

namespace {

struct options {
    std::int32_t seed = 1;
    std::string script;
    std::optional<int> frames;
    std::string workdir;
    int every = 1;
    bool quiet = false;
    bool digest = false;
    bool interactive = false;
    std::multimap<int, std::string> shots;
};

[[noreturn]] void usage(const std::string &problem) {
    std::cerr << "saltburst-sim: " << problem << "\n"
              << "usage: saltburst-sim [--seed N] [--script FILE|-] [--frames N] [--workdir DIR] [--every K] "
                 "[--quiet] [--digest] [--interactive] [--shot F:PATH]...\n";
    std::exit(2);
}

int parse_int(const std::string &text, const std::string &what) {
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc{} || end != text.data() + text.size()) usage("bad " + what + ": " + text);
    return v;
}

options parse_options(int argc, char **argv) {
    options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) usage(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--seed") {
            o.seed = parse_int(value(), "seed");
        } else if (arg == "--script") {
            o.script = value();
        } else if (arg == "--frames") {
            o.frames = parse_int(value(), "frame count");
            if (*o.frames < 1) usage("--frames must be at least 1");
        } else if (arg == "--workdir") {
            o.workdir = value();
        } else if (arg == "--every") {
            o.every = parse_int(value(), "--every");
            if (o.every < 1) usage("--every must be at least 1");
        } else if (arg == "--quiet") {
            o.quiet = true;
        } else if (arg == "--digest") {
            o.digest = true;
        } else if (arg == "--interactive") {
            o.interactive = true;
        } else if (arg == "--shot") {
            const std::string v = value();
            const auto colon = v.find(':');
            if (colon == std::string::npos || colon + 1 == v.size()) usage("--shot wants F:PATH");
            o.shots.emplace(parse_int(v.substr(0, colon), "shot frame"), v.substr(colon + 1));
        } else {
            usage("unknown option " + arg);
        }
    }
    return o;
}

// Reads the whole script; a malformed line ends the program with the line named, before anything runs.
std::vector<tools::script_event> read_script_or_exit(std::istream &in, const std::string &name) {
    tools::script s = tools::read_script(in, name);
    if (!s.ok()) {
        std::cerr << "saltburst-sim: " << s.error << "\n";
        std::exit(2);
    }
    return std::move(s.events);
}

// --- JSON output

std::string num(float v) {
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, ec == std::errc{} ? end : buf);
    if (s == "inf" || s == "-inf" || s == "nan" || s == "-nan") return "null";
    return s;
}
std::string num(std::int32_t v) { return std::to_string(v); }

std::string json_string(const std::string &s) {
    std::string out = "\"";
    for (const char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

// A printed frame in short: its number and a 64-bit FNV-1a hash of its state line, for replays that
// keep thousands of frames.
std::string digest_line(int frame, const std::string &line) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const char c : line) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ULL;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%d %016llx", frame, static_cast<unsigned long long>(h));
    return buf;
}

// Builds one JSON object from key/value pairs already rendered as JSON.
class object {
  public:
    object &add(const std::string &key, const std::string &json) {
        text_ += (text_.empty() ? "{" : ",") + json_string(key) + ":" + json;
        return *this;
    }
    std::string str() const { return text_.empty() ? "{}" : text_ + "}"; }

  private:
    std::string text_;
};

template <class T, class F>
std::string list_of(const T &items, F &&render) {
    std::string out = "[";
    bool first = true;
    for (const auto &item : items) {
        if (!first) out += ",";
        first = false;
        out += render(item);
    }
    return out + "]";
}

struct runner {
    options opt;
    platform::headless *backend = nullptr;
    bool in_loop = false;
    std::string last_line;
    std::map<std::int32_t, std::string> channel_sounds;  // what each channel was cued with

    std::string state_line(int frame) {
        std::vector<platform::audio_record> audio = platform::audio_log();
        platform::audio_log().clear();
        platform::draw_log().clear();
        for (const auto &r : audio)
            if (r.op == "cue") channel_sounds[r.channel] = r.sound;

        const player_tag &p = players[mini_game];
        object player;
        player.add("x", num(p.x)).add("y", num(p.y)).add("rotation", num(p.rotation)).add("jab", num(p.jab));
        player.add("frame", num(p.frame)).add("score", num(p.score)).add("best_sc", num(p.best_sc));
        player.add("new_bs", num(p.new_bs)).add("tries", num(p.tries)).add("round", num(p.round));
        player.add("goal", num(p.goal)).add("flash_ctr", num(p.flash_ctr)).add("flash_stp", num(p.flash_stp));
        player.add("marooned", num(p.marooned)).add("jhit", num(p.jhit));

        const std::string bubbles = list_of(bubble_list, [](const bubble_tag &b) {
            object o;
            o.add("x", num(b.x)).add("y", num(b.y)).add("xoffs", num(b.xoffs)).add("xstp", num(b.xstp));
            o.add("rotation", num(b.rotation)).add("bubrot", num(b.bubrot)).add("frame", num(b.frame));
            o.add("roton", num(b.roton));
            return o.str();
        });
        const std::string fx = list_of(fx_list, [](const specialfx_tag &f) {
            object o;
            o.add("x", num(f.x))
                .add("y", num(f.y))
                .add("rotation", num(f.rotation))
                .add("speed", num(f.speed));
            o.add("angle", num(f.angle)).add("scale", num(f.scale)).add("alpha", num(f.alpha));
            o.add("astp", num(f.astp))
                .add("sstp", num(f.sstp))
                .add("rstp", num(f.rstp))
                .add("frame", num(f.frame));
            return o.str();
        });
        object msg;
        msg.add("enable", num(message.enable))
            .add("mode", num(message.mode))
            .add("counter", num(message.counter));
        msg.add("alpha", num(message.alpha)).add("scale", num(message.scale)).add("x", num(message.x));
        msg.add("y", num(message.y))
            .add("rotation", num(message.rotation))
            .add("msg", json_string(message.msg));

        const std::string ops = list_of(audio, [](const platform::audio_record &r) {
            object o;
            o.add("op", json_string(r.op)).add("channel", num(r.channel));
            if (r.op == "cue") o.add("sound", json_string(r.sound));
            if (r.op == "volume") o.add("volume", num(r.volume));
            return o.str();
        });
        const auto track = channel_sounds.find(music_channel.id);
        object music;
        music.add("channel", num(music_channel.id));
        music.add("track", track == channel_sounds.end() ? std::string("null") : json_string(track->second));
        music.add("playing", channel_playing(music_channel) ? "true" : "false");

        object line;
        line.add("frame", num(frame)).add("phase", json_string(in_loop ? "loop" : "splash"));
        line.add("game_state", num(game_state)).add("mini_game", num(mini_game)).add("player", player.str());
        line.add("best", list_of(players, [](const player_tag &q) { return num(q.best_sc); }));
        line.add("bubbles", bubbles).add("fx", fx).add("message", msg.str());
        line.add("spawn_interval", num(spawn_interval)).add("spawn_timer", num(spawn_timer));
        line.add("freeze_timer", num(freeze_timer)).add("keg_blast", num(keg_blast));
        line.add("target_set", num(target_set)).add("chain_kind", num(chain_kind));
        line.add("chain_count", num(chain_count)).add("over_delay", num(over_delay));
        line.add("lost_kinds", list_of(lost_kinds, [](std::int32_t k) { return num(k); }));
        line.add("music_step", num(music_step)).add("sfx_step", num(sfx_step));
        line.add("music_volume", num(music_volume)).add("sfx_volume", num(sfx_volume));
        line.add("pointer", "[" + num(mouse_x()) + "," + num(mouse_y()) + "]");
        line.add("audio", ops).add("music", music.str());
        return line.str();
    }

    void on_frame(int frame) {
        for (auto [it, end] = opt.shots.equal_range(frame); it != end; ++it)
            if (!platform::save_png(platform::back_buffer(), it->second))
                std::cerr << "saltburst-sim: cannot write " << it->second << "\n";
        const bool stop = opt.frames && frame >= *opt.frames;
        const bool print = !opt.quiet && (frame % opt.every == 0 || stop);
        if (print || opt.quiet) {
            last_line = state_line(frame);  // also takes this frame's audio ops off the log
        } else {
            platform::audio_log().clear();
            platform::draw_log().clear();
        }
        if (print) std::cout << (opt.digest ? digest_line(frame, last_line) : last_line) << "\n";
        if (stop) finish("frames", frame);
        if (opt.interactive) take_events(frame);
    }

    // Interactive mode: after each printed frame, events come from standard input as script lines
    // without their frame number, up to a line holding only "."; they are seen by the next frame.
    void take_events(int frame) {
        std::cout.flush();
        std::string block;
        for (std::string line; std::getline(std::cin, line) && line != ".";)
            block += std::to_string(frame) + " " + line + "\n";
        std::istringstream in(block);
        for (const tools::script_event &e : read_script_or_exit(in, "<stdin>"))
            backend->schedule(e.frame, e.event);
    }

    [[noreturn]] void finish(const std::string &why, int frame) {
        if (opt.quiet && !last_line.empty()) std::cout << last_line << "\n";
        std::cout << "{\"end\":" << json_string(why) << ",\"frame\":" << frame << "}\n";
        std::cout.flush();
        std::_Exit(0);
    }
};

}  // namespace

int main(int argc, char **argv) {
    runner r;
    r.opt = parse_options(argc, argv);

    std::vector<tools::script_event> events;
    if (!r.opt.script.empty()) {
        if (r.opt.script == "-") {
            events = read_script_or_exit(std::cin, "<stdin>");
        } else {
            std::ifstream in(r.opt.script);
            if (!in) usage("cannot read the script " + r.opt.script);
            events = read_script_or_exit(in, r.opt.script);
        }
    }
    for (auto &[frame, path] : r.opt.shots) path = std::filesystem::absolute(path).string();
    if (!r.opt.workdir.empty()) {
        std::error_code ec;
        std::filesystem::current_path(r.opt.workdir, ec);
        if (ec) usage("cannot enter the working directory " + r.opt.workdir);
    }

    std::ios::sync_with_stdio(false);
    tools::replay_hooks hooks;
    hooks.prepare = [&r](platform::headless &h) { r.backend = &h; };
    hooks.on_present = [&r](int frame) { r.on_frame(frame); };
    hooks.on_loop = [&r] { r.in_loop = true; };
    const int frame = tools::run_replay(events, r.opt.seed, hooks).presented;
    end_program();
    const char *why = exit_cause == 1 ? "escape" : exit_cause == 2 ? "quit" : "close";
    r.finish(why, frame);
}
