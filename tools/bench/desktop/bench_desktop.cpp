// saltburst-bench-desktop: the desktop's figures, each next to a peer measured in the same run: the heavy
// frame drawn by the GL renderer against SDL2's accelerated renderer, whole replayed games with GL, the
// CPU used while the window is inactive, and the spread of frame intervals under the pacing timer.
#include <SDL.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "figures.h"
#include "game.h"
#include "platform/core/font.h"
#include "platform/core/image.h"
#include "platform/core/renderer.h"
#include "platform/headless/headless.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_gl.h"
#include "replay_run.h"
#include "replay_script.h"
#include "scene.h"
#include "sdl_peer.h"
#include "work_dir.h"

namespace fs = std::filesystem;

namespace {

using tools::percentile;
using tools::thread_ms;
using tools::wall_ms;

void row(const char *what, const std::vector<double> &v, const char *unit = "ms") {
    tools::row(what, tools::summarize_nearest(v), unit, 52, "p50");
}

// --- the peer: SDL2's accelerated renderer in a hidden window of its own, drawing the same log

using bench::make_texture;
using bench::sdl_blend;
using bench::texture_ptr;

class sdl_peer {
  public:
    bool open(const std::vector<platform::draw_record> &log) {
        window_.reset(SDL_CreateWindow("peer", 0, 0, 640, 480, SDL_WINDOW_HIDDEN));
        if (!window_) return false;
        renderer_.reset(SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_ACCELERATED));
        if (!renderer_) return false;
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(renderer_.get(), &info);
        name_ = info.name;
        for (const platform::draw_record &d : log) {
            if (d.op != "image" || pictures_.count(d.image)) continue;
            const platform::image_rec *rec = platform::find_image(d.image);
            if (!rec) continue;
            pictures_[d.image] =
                upload(rec->pixels.data(), rec->width, rec->height * rec->frames, rec->width);
        }
        const platform::texture_view atlas = platform::font_atlas(game_font.id);
        if (atlas.pixels) atlas_ = upload(atlas.pixels, atlas.width, atlas.height, atlas.stride);
        atlas_base_ = atlas.pixels;
        return true;
    }
    const std::string &name() const { return name_; }

    void draw(const std::vector<platform::draw_record> &log) {
        SDL_Renderer *r = renderer_.get();
        for (const platform::draw_record &d : log) {
            if (d.op == "clear") {
                SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
                SDL_RenderClear(r);
                continue;
            }
            const Uint8 alpha = bench::sdl_alpha(d.alpha);
            if (d.op == "rect") {
                bench::fill_rect(r, d);
            } else if (d.op == "image") {
                auto it = pictures_.find(d.image);
                const platform::image_rec *rec = platform::find_image(d.image);
                if (it == pictures_.end() || !rec) continue;
                const SDL_Rect src{0, d.frame * rec->height, rec->width, rec->height};
                copy(it->second.get(), d, src, -rec->handle_x, -rec->handle_y, alpha);
            } else if (d.op == "text" && atlas_) {
                for (const platform::placed_glyph &g : platform::layout_text(game_font.id, d.text)) {
                    const auto at = g.picture.pixels - atlas_base_;
                    const SDL_Rect src{int(at % g.picture.stride), int(at / g.picture.stride),
                                       g.picture.width, g.picture.height};
                    copy(atlas_.get(), d, src, float(g.x), float(g.y), alpha);
                }
            }
        }
    }
    void present() { SDL_RenderPresent(renderer_.get()); }

  private:
    texture_ptr upload(const std::uint32_t *texels, int w, int h, int stride) {
        return make_texture(renderer_.get(), texels, w, h, stride);
    }
    // The source rectangle with its corner at (ox, oy) from (x, y), turned and scaled about (x, y).
    void copy(SDL_Texture *t, const platform::draw_record &d, const SDL_Rect &src, float ox, float oy,
              Uint8 alpha) {
        SDL_SetTextureBlendMode(t, sdl_blend(d.blend));
        SDL_SetTextureAlphaMod(t, alpha);
        SDL_SetTextureColorMod(t, Uint8(d.r), Uint8(d.g), Uint8(d.b));
        const SDL_FRect box{d.x + ox * d.sx, d.y + oy * d.sy, float(src.w) * d.sx, float(src.h) * d.sy};
        const SDL_FPoint centre{-ox * d.sx, -oy * d.sy};
        SDL_RenderCopyExF(renderer_.get(), t, &src, &box, d.rotation, &centre, SDL_FLIP_NONE);
    }
    bench::window_ptr window_;
    bench::renderer_ptr renderer_;
    std::map<std::int32_t, texture_ptr> pictures_;
    texture_ptr atlas_;
    const std::uint32_t *atlas_base_ = nullptr;
    std::string name_;
};

// --- 1. the heavy frame

void heavy_frame_section(int repeats) {
    std::printf("\n1. Heavy frame (late \"Bladeburst!\" scene), game thread CPU up to the buffer swap\n");
    bench::boot_headless_game();
    bench::make_heavy_scene();
    std::string error;
    auto screen = platform::sdl::hidden_gl_screen::open(error);
    if (!screen) {
        std::printf("  no OpenGL 3.3: %s\n", error.c_str());
        return;
    }
    platform::gl::gl_renderer &gl = screen->renderer();
    bench::restore_heavy_scene();
    bench::run_heavy_frame();
    const std::vector<platform::draw_record> log = platform::draw_log();
    gl.flush();
    screen->swap();

    std::vector<double> frame_cpu, swap_wall, swap_cpu, log_cpu, queue_cpu, flush_cpu, peer_cpu, peer_present,
        peer_present_cpu, soft_cpu;
    for (int i = 0; i < repeats; ++i) {
        bench::restore_heavy_scene();
        double c0 = thread_ms();
        bench::run_heavy_frame();
        gl.flush();
        frame_cpu.push_back(thread_ms() - c0);
        c0 = thread_ms();
        const double w0 = wall_ms();
        screen->swap();
        swap_cpu.push_back(thread_ms() - c0);
        swap_wall.push_back(wall_ms() - w0);

        c0 = thread_ms();
        platform::redraw(log);
        const double c1 = thread_ms();
        gl.flush();
        log_cpu.push_back(thread_ms() - c0);
        queue_cpu.push_back(c1 - c0);
        flush_cpu.push_back(thread_ms() - c1);
        screen->swap();
    }
    // The software rasterizer on the same frame, for reference.
    platform::use_renderer(nullptr);
    for (int i = 0; i < repeats; ++i) {
        bench::restore_heavy_scene();
        const double c0 = thread_ms();
        bench::run_heavy_frame();
        soft_cpu.push_back(thread_ms() - c0);
    }

    sdl_peer peer;
    const bool peer_open = peer.open(log);
    if (peer_open)
        for (int i = 0; i < repeats; ++i) {
            double c0 = thread_ms();
            peer.draw(log);
            peer_cpu.push_back(thread_ms() - c0);
            c0 = wall_ms();
            const double p0 = thread_ms();
            peer.present();
            peer_present.push_back(wall_ms() - c0);
            peer_present_cpu.push_back(thread_ms() - p0);
        }
    screen->make_current();

    std::size_t images = 0, texts = 0;
    for (const auto &d : log) images += d.op == "image", texts += d.op == "text";
    std::printf("  %zu draws (%zu pictures, %zu texts); GL through Mesa llvmpipe (software GL) in Xvfb\n",
                log.size(), images, texts);
    row("GL renderer: whole game frame, CPU to swap", frame_cpu);
    row("GL renderer: the frame's draw log only, CPU to swap", log_cpu);
    row("  of which queueing the draws", queue_cpu);
    row("  of which issuing them to GL (llvmpipe runs vertices here)", flush_cpu);
    row("GL renderer: the swap (blit + SwapWindow), wall", swap_wall);
    row("GL renderer: the swap, game thread CPU", swap_cpu);
    if (peer_open) {
        const std::string a = "SDL_Renderer (" + peer.name() + "): same log, CPU to present";
        row(a.c_str(), peer_cpu);
        row("SDL_Renderer: SDL_RenderPresent (issues its queue), CPU", peer_present_cpu);
        row("SDL_Renderer: SDL_RenderPresent, wall", peer_present);
    } else {
        std::printf("  SDL_Renderer with SDL_RENDERER_ACCELERATED: none (%s)\n", SDL_GetError());
    }
    row("software rasterizer: whole game frame, CPU", soft_cpu);
    tools::goal("GL heavy frame CPU to swap, median", percentile(frame_cpu, 0.5), 0.5, "ms");
}

// --- 2. whole games

void whole_games_section(const fs::path &scripts) {
    std::printf("\n2. Whole games with the GL renderer: every loop frame of the golden replays (llvmpipe)\n");
    std::vector<fs::path> files;
    for (const auto &e : fs::directory_iterator(scripts))
        if (e.path().extension() == ".txt") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::string error;
    auto screen = platform::sdl::hidden_gl_screen::open(error);
    if (!screen) {
        std::printf("  no OpenGL 3.3: %s\n", error.c_str());
        return;
    }
    std::vector<double> all_cpu, all_wall;
    for (const fs::path &f : files) {
        tools::script r = tools::read_script_file(f);
        if (!r.ok()) {
            std::fprintf(stderr, "saltburst-bench-desktop: %s\n", r.error.c_str());
            continue;
        }
        double cpu_at_swap = 0;
        std::vector<double> cpu, wall;
        tools::replay_hooks hooks;
        hooks.prepare = [&](platform::headless &) { platform::use_renderer(&screen->renderer()); };
        hooks.on_present = [&](int) {
            screen->renderer().flush();
            cpu_at_swap = thread_ms();
            screen->swap();
        };
        hooks.each_frame = [&](const tools::frame_times &t) {
            cpu.push_back(cpu_at_swap - t.cpu_start);
            wall.push_back(t.wall);
        };
        tools::run_replay(r.events, r.seed.value_or(1), hooks);
        const std::string name = f.stem().string();
        const std::string a = name + ": CPU to swap", b = name + ": whole frame with swap, wall";
        row(a.c_str(), cpu);
        row(b.c_str(), wall);
        all_cpu.insert(all_cpu.end(), cpu.begin(), cpu.end());
        all_wall.insert(all_wall.end(), wall.begin(), wall.end());
    }
    row("all replays: CPU to swap", all_cpu);
    row("all replays: whole frame with swap, wall", all_wall);
    platform::use_renderer(nullptr);
}

// --- 3. CPU while the window is inactive

double process_cpu_ms(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream rest(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void pump_for(double seconds) {
    const double end = wall_ms() + seconds * 1000;
    SDL_Event e;
    while (wall_ms() < end) {
        while (SDL_PollEvent(&e)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void inactive_section(const fs::path &game, const fs::path &data, double seconds) {
    std::printf("\n3. Window inactive: CPU of the real game over %.0f s (a fresh process, GL renderer)\n",
                seconds);
    if (!fs::exists(game)) {
        std::printf("  no game executable at %s\n", game.c_str());
        return;
    }
    tools::work_dir dir(data, "saltburst-desk");
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.path().c_str()) != 0) _exit(127);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl(game.c_str(), game.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    pump_for(4);  // the splash, then the title menu
    const double active0 = process_cpu_ms(pid);
    pump_for(seconds);
    const double active = process_cpu_ms(pid) - active0;

    // Another window takes the focus.
    bench::window_ptr other(SDL_CreateWindow("other", 10, 10, 64, 64, SDL_WINDOW_SHOWN));
    pump_for(0.3);
    SDL_RaiseWindow(other.get());
    SDL_SetWindowInputFocus(other.get());
    pump_for(1);
    const double idle0 = process_cpu_ms(pid);
    pump_for(seconds);
    const double idle = process_cpu_ms(pid) - idle0;
    const bool focused = (SDL_GetWindowFlags(other.get()) & SDL_WINDOW_INPUT_FOCUS) != 0;
    // While inactive the game waits before its exit test, as the rules have it: a polite request may go
    // unanswered, so it is ended for good after a moment.
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 20 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    other.reset();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);

    const double active_share = 100.0 * active / (seconds * 1000),
                 idle_share = 100.0 * idle / (seconds * 1000);
    std::printf("  the other window %s the focus\n", focused ? "has" : "did NOT get");
    std::printf("  %-52s %8.2f %% of a core (%.0f ms CPU)\n", "game active (title menu at 60 Hz, the peer)",
                active_share, active);
    std::printf("  %-52s %8.2f %% of a core (%.0f ms CPU)\n", "game inactive, another window focused",
                idle_share, idle);
    tools::goal("inactive CPU", idle_share, 1.0, "% of a core");
}

// --- 4. pacing under the sleeping timer

void pacing_section(int frames) {
    std::printf("\n4. Pacing: %d frames through the desktop backend's present in Xvfb (no vsync there)\n",
                frames);
    SDL_DisplayMode mode{};
    platform::install_sdl_backend();
    set_window_title("Saltburst");
    open_display(640, 480, 0, 60, 0);
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0)
        std::printf("  display reports %d Hz: vsync is %s, then checked against the real intervals\n",
                    mode.refresh_rate,
                    mode.refresh_rate >= 59 && mode.refresh_rate <= 61 ? "asked for" : "not asked for");
    const int late_frame = frames / 2;
    std::vector<double> when;
    for (int i = 0; i < frames; ++i) {
        clear_screen();
        set_blend(blend_solid);
        set_color(i % 256, 80, 160);
        draw_rect(static_cast<float>(i % 600), 100, 40, 40);
        if (i == late_frame) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        present_frame();
        when.push_back(wall_ms());
    }
    std::vector<double> steady;
    // The first frames are the vsync check's; the late frame and the one after it are reported apart.
    for (int i = 40; i + 1 < frames; ++i)
        if (i + 1 != late_frame + 0 && i != late_frame && i + 1 != late_frame + 1)
            steady.push_back(when[i + 1] - when[i]);
    std::printf("  intervals: p1 %.3f ms   p50 %.3f ms   p99 %.3f ms (goal 16.667 ms; n=%zu)\n",
                percentile(steady, 0.01), percentile(steady, 0.5), percentile(steady, 0.99), steady.size());
    std::printf(
        "  a frame 50 ms late: shown after %.3f ms; the next three follow after %.3f, %.3f, %.3f ms"
        " (no catching up: about one period each)\n",
        when[late_frame] - when[late_frame - 1], when[late_frame + 1] - when[late_frame],
        when[late_frame + 2] - when[late_frame + 1], when[late_frame + 3] - when[late_frame + 2]);
    platform::install_backend(nullptr);  // closes the window
}

}  // namespace

int main(int argc, char **argv) {
    int repeats = 200, frames = 1000;
    double seconds = 10;
    int only = 0;
    fs::path game = fs::path(argv[0]).parent_path() / "../../../saltburst";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--repeats") repeats = std::max(1, std::atoi(argv[i + 1]));
        if (a == "--seconds") seconds = std::max(1.0, std::atof(argv[i + 1]));
        if (a == "--only") only = std::atoi(argv[i + 1]);
        if (a == "--game") game = argv[i + 1];
    }
    const fs::path data = fs::absolute("data"), scripts = fs::absolute("tests/replays");
    if (!fs::is_directory(data) || !fs::is_directory(scripts)) {
        std::fprintf(stderr,
                     "saltburst-bench-desktop: run it from the repository root (data/ and tests/replays/)\n");
        return 2;
    }
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "saltburst-bench-desktop: no display; run it under xvfb-run -a\n");
        return 2;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf(
        "saltburst-bench-desktop: GL is Mesa llvmpipe (software GL) in Xvfb here; every figure's peer "
        "ran in the same run\n");
    const fs::path previous = fs::current_path();
    {
        tools::work_dir dir(data, "saltburst-desk");
        fs::current_path(dir.path());
        if (only == 0 || only == 1) heavy_frame_section(repeats);
        if (only == 0 || only == 2) whole_games_section(scripts);
        fs::current_path(previous);
    }
    if (only == 0 || only == 3) inactive_section(fs::weakly_canonical(game), data, seconds);
    if (only == 0 || only == 4) {
        tools::work_dir dir(data, "saltburst-desk");
        fs::current_path(dir.path());
        pacing_section(frames);
        fs::current_path(previous);
    }
    return 0;
}
