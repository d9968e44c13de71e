// saltburst-bench: the game's performance figures, each printed next to a peer measured in the same run:
// the heavy frame against SDL2's software renderer, whole replayed games, starting a music track
// against decoding it whole, start-up to the first frame, and the memory of a whole game.
#include <SDL.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "assets/embedded.h"
#include "figures.h"
#include "game.h"
#include "platform/core/font.h"
#include "platform/core/image.h"
#include "platform/core/raster_bands.h"
#include "platform/core/vorbis.h"
#include "platform/headless/headless.h"
#include "replay_run.h"
#include "replay_script.h"
#include "scene.h"
#include "sdl_peer.h"
#include "work_dir.h"

namespace fs = std::filesystem;

namespace {

// --- figures

using tools::time_call;
using tools::timing;
using tools::wall_ms;

void heading(const char *title) { std::printf("\n%s\n", title); }

void row(const char *what, const tools::summary &s, const char *unit = "ms") {
    tools::row(what, s, unit, 46, "median");
}

// --- replaying the recorded games

struct replay {
    std::string name;
    int seed = 1;
    std::vector<tools::script_event> events;
};

// Reads a replay script, its seed from a "seed N" comment (1 without one); a bad script is named and skipped.
bool read_replay(const fs::path &file, replay &out) {
    tools::script s = tools::read_script_file(file);
    if (!s.ok()) {
        std::fprintf(stderr, "saltburst-bench: %s\n", s.error.c_str());
        return false;
    }
    out.name = file.stem().string();
    out.seed = s.seed.value_or(1);
    out.events = std::move(s.events);
    return true;
}

std::vector<replay> read_replays(const fs::path &dir) {
    std::vector<fs::path> files;
    if (fs::is_directory(dir))
        for (const auto &entry : fs::directory_iterator(dir))
            if (entry.path().extension() == ".txt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<replay> out;
    for (const fs::path &f : files) {
        replay r;
        if (read_replay(f, r)) out.push_back(std::move(r));
    }
    return out;
}

// Runs the whole game of the replay in this process; `each` gets the timing of every loop frame.
int run_replay(const replay &r, const std::function<void(const timing &)> &each) {
    tools::replay_hooks hooks;
    hooks.each_frame = [&each](const tools::frame_times &t) { each({t.cpu, t.wall}); };
    return tools::run_replay(r.events, r.seed, hooks).loop_frames;
}

// --- the heavy frame, drawn again from its draw log by our drawing calls and by SDL's renderer

using bench::make_texture;
using bench::sdl_blend;
using bench::texture_ptr;

// SDL2's software renderer drawing the same draw log with nearest sampling: each picture (and each text,
// made into one picture of its glyph run beforehand) copied with the same turn, scale, alpha and tint.
class sdl_peer {
  public:
    bool open(const std::vector<platform::draw_record> &log) {
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        target_.reset(SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_ARGB8888));
        if (!target_) return false;
        renderer_.reset(SDL_CreateSoftwareRenderer(target_.get()));
        if (!renderer_) return false;
        for (const platform::draw_record &d : log) {
            if (d.op == "image") {
                const auto key = std::make_pair(d.image, d.frame);
                if (pictures_.count(key)) continue;
                const platform::image_rec *rec = platform::find_image(d.image);
                if (!rec || !rec->has_frame(d.frame)) continue;
                const platform::texture_view v = rec->frame_view(d.frame);
                pictures_[key] = {make_texture(renderer_.get(), v.pixels, v.width, v.height, v.stride),
                                  rec->handle_x,
                                  rec->handle_y,
                                  0,
                                  0,
                                  v.width,
                                  v.height};
            } else if (d.op == "text" && !texts_.count(d.text)) {
                texts_[d.text] = text_picture(d.text);
            }
        }
        return true;
    }

    void draw(const std::vector<platform::draw_record> &log) {
        SDL_Renderer *r = renderer_.get();
        for (const platform::draw_record &d : log) {
            if (d.op == "clear") {
                SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
                SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
                SDL_RenderClear(r);
                continue;
            }
            const Uint8 alpha = bench::sdl_alpha(d.alpha);
            if (d.op == "rect") {
                bench::fill_rect(r, d);
                continue;
            }
            const picture *p = nullptr;
            if (d.op == "image") {
                auto it = pictures_.find(std::make_pair(d.image, d.frame));
                if (it != pictures_.end()) p = &it->second;
            } else if (d.op == "text") {
                auto it = texts_.find(d.text);
                if (it != texts_.end()) p = &it->second;
            }
            if (!p || !p->texture) continue;
            SDL_Texture *t = p->texture.get();
            SDL_SetTextureBlendMode(t, sdl_blend(d.blend));
            SDL_SetTextureAlphaMod(t, alpha);
            SDL_SetTextureColorMod(t, Uint8(d.r), Uint8(d.g), Uint8(d.b));
            // The handle (for text, the top-left corner) lands on (x, y); turning is about it.
            const float left = d.x + (static_cast<float>(p->offset_x) - p->handle_x) * d.sx;
            const float top = d.y + (static_cast<float>(p->offset_y) - p->handle_y) * d.sy;
            const SDL_FRect box{left, top, static_cast<float>(p->width) * d.sx,
                                static_cast<float>(p->height) * d.sy};
            const SDL_FPoint centre{d.x - left, d.y - top};
            SDL_RenderCopyExF(r, t, nullptr, &box, d.rotation, &centre, SDL_FLIP_NONE);
        }
    }

  private:
    struct picture {
        texture_ptr texture;
        float handle_x = 0, handle_y = 0;
        int offset_x = 0, offset_y = 0;  // where the picture's corner sits from the handle's origin
        int width = 0, height = 0;
    };

    // The text's glyphs laid out in one white picture with their coverage as alpha.
    picture text_picture(const std::string &text) {
        picture p;
        const std::vector<platform::placed_glyph> glyphs = platform::layout_text(font_id(), text);
        if (glyphs.empty()) return p;
        int x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
        for (const auto &g : glyphs) {
            x0 = std::min(x0, g.x), y0 = std::min(y0, g.y);
            x1 = std::max(x1, g.x + g.picture.width), y1 = std::max(y1, g.y + g.picture.height);
        }
        const int w = x1 - x0, h = y1 - y0;
        std::vector<std::uint32_t> texels(static_cast<std::size_t>(w) * h, 0x00FFFFFFu);
        for (const auto &g : glyphs)
            for (int j = 0; j < g.picture.height; ++j)
                for (int i = 0; i < g.picture.width; ++i) {
                    std::uint32_t &t = texels[static_cast<std::size_t>(g.y - y0 + j) * w + (g.x - x0 + i)];
                    const std::uint32_t a =
                        g.picture.pixels[static_cast<std::size_t>(j) * g.picture.stride + i] >> 24;
                    t = 0x00FFFFFFu | (std::max(a, t >> 24) << 24);
                }
        p.texture = make_texture(renderer_.get(), texels.data(), w, h, w);
        p.offset_x = x0, p.offset_y = y0, p.width = w, p.height = h;
        return p;
    }

    static std::int32_t font_id() { return game_font.id; }

    bench::surface_ptr target_;
    bench::renderer_ptr renderer_;
    std::map<std::pair<std::int32_t, int>, picture> pictures_;
    std::map<std::string, picture> texts_;
};

// --- the sections of the table

void heavy_frame_section(int repeats) {
    heading(
        "1. Heavy frame (late \"Bladeburst!\": 30 bubbles, 10 explosions, 5 ring bursts, 40 sparks, banner)");
    bench::boot_headless_game();
    bench::make_heavy_scene();

    // The heavy frame as the game runs it, with the rasterizer on one thread and on two, taken in turns
    // so that both see the same load on the machine.
    const int threads = platform::raster_threads();
    std::vector<double> one_cpu, one_wall, two_cpu, two_wall;
    for (int i = 0; i < repeats; ++i)
        for (int n = 1; n <= 2; ++n) {
            platform::set_raster_threads(n);
            bench::restore_heavy_scene();
            const timing t = time_call(bench::run_heavy_frame);
            (n == 1 ? one_cpu : two_cpu).push_back(t.cpu);
            (n == 1 ? one_wall : two_wall).push_back(t.wall);
        }
    platform::set_raster_threads(threads);
    bench::restore_heavy_scene();
    bench::run_heavy_frame();
    const std::vector<platform::draw_record> log = platform::draw_log();
    std::size_t texts = 0;
    for (const auto &d : log) texts += d.op == "text";
    // A fingerprint of the finished picture (FNV-1a), so a change to the rasterizer that alters a
    // single pixel shows.
    std::uint64_t print = 0xcbf29ce484222325ULL;
    for (const std::uint32_t px : platform::back_buffer().pixels) print = (print ^ px) * 0x100000001b3ULL;

    platform::set_logging(false);
    std::vector<double> ours_cpu, ours_wall;
    for (int i = 0; i < repeats; ++i) {
        const timing t = time_call([&] { platform::redraw(log); });
        ours_cpu.push_back(t.cpu);
        ours_wall.push_back(t.wall);
    }

    std::vector<double> sdl_cpu;
    sdl_peer peer;
    const bool peer_open = peer.open(log);
    if (peer_open)
        for (int i = 0; i < repeats; ++i) sdl_cpu.push_back(time_call([&] { peer.draw(log); }).cpu);
    platform::set_logging(true);

    std::printf("  %zu draws in the frame, %zu of them texts; picture fingerprint %016llx\n", log.size(),
                texts, static_cast<unsigned long long>(print));
    row("whole frame, two threads, wall", tools::summarize(two_wall));
    row("whole frame, two threads, game thread CPU", tools::summarize(two_cpu));
    row("whole frame, one thread, wall", tools::summarize(one_wall));
    row("whole frame, one thread, CPU", tools::summarize(one_cpu));
    row("its draws by our rasterizer (as set), wall", tools::summarize(ours_wall));
    row("its draws by our rasterizer (as set), game CPU", tools::summarize(ours_cpu));
    if (peer_open)
        row("same draws by SDL2 software renderer, CPU", tools::summarize(sdl_cpu));
    else
        std::printf("  SDL2 software renderer unavailable: %s\n", SDL_GetError());
    std::printf(
        "  (SDL: nearest sampling, mask drawn as blending, each text as one picture of its glyph run)\n");
    std::printf("  (rasterizer threads as set for the game: %d)\n", threads);
    tools::goal("heavy frame median, two threads (wall)", tools::summarize(two_wall).median, 4.0, "ms");
    tools::goal("heavy frame median, one thread (CPU)", tools::summarize(one_cpu).median, 4.0, "ms");
    if (peer_open) {
        const double speedup = tools::summarize(sdl_cpu).median / tools::summarize(ours_wall).median;
        std::printf("  SDL2 / ours (same draws, medians): %.2fx, goal at least 3x: %s\n", speedup,
                    speedup >= 3 ? "met" : "not met");
    }
}

void replays_section(const std::vector<replay> &replays, tools::work_dir &dir) {
    heading("2. Whole games: every loop frame of the golden replays");
    std::vector<double> all_cpu, all_wall;
    for (const replay &r : replays) {
        dir.forget_scores();
        std::vector<double> cpu, wall;
        const int frames = run_replay(r, [&](const timing &t) {
            cpu.push_back(t.cpu);
            wall.push_back(t.wall);
        });
        all_cpu.insert(all_cpu.end(), cpu.begin(), cpu.end());
        all_wall.insert(all_wall.end(), wall.begin(), wall.end());
        char what[96];
        std::snprintf(what, sizeof what, "%s (%d frames), wall", r.name.c_str(), frames);
        row(what, tools::summarize(wall));
    }
    row("all replays, wall", tools::summarize(all_wall));
    row("all replays, game thread CPU", tools::summarize(all_cpu));
    tools::goal("worst frame (wall)", tools::summarize(all_wall).worst, 12.0, "ms");
}

void music_section(int repeats) {
    heading("3. Starting a music track (play_music(2) on the game thread)");
    bench::boot_headless_game();
    std::vector<double> start_cpu, decode_cpu;
    for (int i = 0; i < repeats; ++i) {
        stop_channel(music_channel);
        start_cpu.push_back(time_call([] { play_music(2); }).cpu);
    }
    stop_channel(music_channel);
    const std::string path = platform::host_path("data\\sb_play.ogg");
    std::size_t frames = 0;
    for (int i = 0; i < std::max(3, repeats / 20); ++i)
        decode_cpu.push_back(
            time_call([&] { frames = platform::decode_whole(path, platform::mix_rate).size() / 2; }).cpu);
    row("play_music(2), CPU", tools::summarize(start_cpu));
    char what[96];
    std::snprintf(what, sizeof what, "whole-track decode of sb_play.ogg (%.1f s), CPU",
                  static_cast<double>(frames) / platform::mix_rate);
    row(what, tools::summarize(decode_cpu));
    tools::goal("play_music(2) median", tools::summarize(start_cpu).median, 1.0, "ms");
}

void startup_section(int repeats) {
    heading("4. Start-up to the first presented frame (headless: no window is opened)");
    std::vector<double> first_frame;
    for (int i = 0; i < repeats; ++i) {
        platform::headless &h = platform::install_headless();
        platform::force_seed(1);
        clear_program_globals();
        double start = 0, first = -1;
        h.on_present = [&](int) {
            if (first < 0) first = wall_ms() - start;
        };
        h.press_key(27);  // the splash ends after its first frame
        start = wall_ms();
        startup();
        first_frame.push_back(first);
    }
    row("startup() to the splash's first frame, wall", tools::summarize(first_frame));

    // Where the time goes: the same steps in the same order, each timed on its own.
    std::map<std::string, std::vector<double>> parts;
    const std::vector<std::string> order = {"register embedded files",
                                            "open display",
                                            "font",
                                            "pictures (3 PNG)",
                                            "sheet cut",
                                            "sounds (7 effects)",
                                            "hiscore",
                                            "splash: logo, intro track"};
    for (int i = 0; i < repeats; ++i) {
        platform::install_headless();
        auto t = [&](const std::string &name, const std::function<void()> &f) {
            parts[name].push_back(time_call(f).wall);
        };
        t("register embedded files", register_embedded_files);
        t("open display", [] { open_display(640, 480, 32, 60, 2); });
        set_auto_image_flags(11);
        t("font", [] { set_image_font(load_image_font("fonts\\booteroo.ttf", 28, 4)); });
        image sheet;
        t("pictures (3 PNG)", [&] {
            load_image("graphx\\sbst_bg1.png");
            load_image("graphx\\sbst_menu.png");
            sheet = load_image("graphx\\sbst_sf1.png");
        });
        image cut = create_image(124, 124, 10);
        t("sheet cut", [&] {
            clear_screen();
            draw_image(sheet, 0, 0, 0);
            for (int f = 0; f <= 9; ++f) grab_image(cut, 1 + 125 * (f % 5), 1 + 125 * (f / 5), f);
        });
        t("sounds (7 effects)", [] {
            for (const char *name :
                 {"bubblepop", "rapierselect", "powderkeg", "timebell", "newround", "getbonus", "marooned"})
                load_sound("data\\" + std::string(name) + ".ogg", 0);
        });
        t("hiscore", [] { hiscore_file(0); });
        t("splash: logo, intro track", [] {
            load_image("graphx\\zqlogo.png", 1);
            play_music(1);
        });
    }
    for (const std::string &name : order) row(("  " + name).c_str(), tools::summarize(parts[name]));
    tools::goal("start-up median", tools::summarize(first_frame).median, 250.0, "ms");
}

// The decoded size of every asset: pictures as RGBA, the effects as float frames, the font's glyphs.
double asset_floor_mb() {
    bench::boot_headless_game();
    double bytes = 0;
    for (std::int32_t id = 1;; ++id) {
        const platform::image_rec *rec = platform::find_image(id);
        if (!rec) break;
        bytes += static_cast<double>(rec->pixels.size()) * 4;
    }
    for (const char *name :
         {"bubblepop", "rapierselect", "powderkeg", "timebell", "newround", "getbonus", "marooned"})
        bytes += static_cast<double>(
                     platform::decode_whole(platform::host_path("data\\" + std::string(name) + ".ogg"),
                                            platform::mix_rate)
                         .size()) *
                 sizeof(float);
    std::string ascii;
    for (char c = 32; c < 127; ++c) ascii += c;
    for (const auto &g : platform::layout_text(game_font.id, ascii))
        bytes += static_cast<double>(g.picture.width) * g.picture.height * 4;
    return bytes / (1024.0 * 1024.0);
}

void memory_section(const std::vector<replay> &replays, const fs::path &scripts) {
    heading("5. Memory: peak resident set of a whole headless replay (a fresh child process each)");
    double worst = 0;
    for (const replay &r : replays) {
        int out[2];
        if (pipe(out) != 0) return;
        const pid_t child = fork();
        if (child == 0) {
            dup2(out[1], 1);
            close(out[0]);
            const std::string script = (scripts / (r.name + ".txt")).string();
            execl("/proc/self/exe", "saltburst-bench", "--memory-child", script.c_str(),
                  static_cast<char *>(nullptr));
            _exit(127);
        }
        close(out[1]);
        char buf[64] = {};
        const ssize_t n = read(out[0], buf, sizeof buf - 1);
        close(out[0]);
        int status = 0;
        waitpid(child, &status, 0);
        const long kb = n > 0 ? std::atol(buf) : 0;
        worst = std::max(worst, kb / 1024.0);
        std::printf("  %-46s peak RSS %8.1f MB\n", r.name.c_str(), kb / 1024.0);
    }
    std::printf("  %-46s          %8.1f MB\n", "decoded assets (pictures, effects, glyphs)",
                asset_floor_mb());
    tools::goal("worst peak RSS", worst, 48.0, "MB");
}

// In the child: the replay run whole, then its peak resident set in kilobytes on standard output.
int memory_child(const char *script) {
    replay r;
    if (!read_replay(script, r)) return 2;
    run_replay(r, [](const timing &) {});
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    int repeats = 300;
    int only = 0;  // 0: every section
    fs::path data = "data", scripts = "tests/replays";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--memory-child" && i + 1 < argc) {
            const fs::path script = fs::absolute(argv[i + 1]);
            int status = 0;
            {
                tools::work_dir dir(script.parent_path().parent_path().parent_path() / "data",
                                    "saltburst-bench");
                fs::current_path(dir.path());
                status = memory_child(script.c_str());
                fs::current_path("/");
            }
            std::_Exit(status);
        } else if (arg == "--section" && i + 1 < argc) {
            only = std::atoi(argv[++i]);
        } else if (arg == "--repeats" && i + 1 < argc) {
            repeats = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(
                stderr,
                "usage: saltburst-bench [--repeats N] [--section 1..5]   (run from the repository root)\n");
            return 2;
        }
    }
    if (!fs::is_directory(data) || !fs::is_directory(scripts)) {
        std::fprintf(stderr, "saltburst-bench: run it from the repository root (data/ and tests/replays/)\n");
        return 2;
    }
    const fs::path scripts_abs = fs::absolute(scripts);
    const std::vector<replay> replays = read_replays(scripts_abs);
    const fs::path home = fs::current_path();
    auto dir = std::make_unique<tools::work_dir>(fs::absolute(data), "saltburst-bench");
    fs::current_path(dir->path());

    std::printf(
        "saltburst-bench: %d repetitions; times in milliseconds; wall time is the headline where the\n"
        "rasterizer may use a second thread, game thread CPU time beside it\n",
        repeats);
    // The figures move with what else the machine is doing; say what that was.
    std::string load;
    std::getline(std::ifstream("/proc/loadavg"), load);
    load = load.substr(0, load.rfind(' ', load.rfind(' ') - 1));  // the three averages
    std::printf("machine: %u hardware threads, load averages %s\n", std::thread::hardware_concurrency(),
                load.empty() ? "unknown" : load.c_str());
    if (only == 0 || only == 1) heavy_frame_section(repeats);
    if (only == 0 || only == 2) replays_section(replays, *dir);
    if (only == 0 || only == 3) music_section(std::min(repeats, 100));
    if (only == 0 || only == 4) startup_section(std::min(repeats, 20));
    if (only == 0 || only == 5) memory_section(replays, scripts_abs);
    std::fflush(stdout);
    fs::current_path(home);
    dir.reset();
    // The process ends without tearing down the game's state.
    std::_Exit(0);
}
