// Drives the real game through the headless backend: a fresh working directory, a boot, frames
// stepped one at a time, and what a player or a file would see afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "game.h"
#include "platform/headless/headless.h"

namespace testing_support {

// A temporary working directory with the game's sound files linked into its data folder; the
// previous working directory comes back when it goes.
class work_dir {
  public:
    explicit work_dir(bool with_data = true);
    ~work_dir();
    work_dir(const work_dir &) = delete;
    work_dir &operator=(const work_dir &) = delete;
    const std::filesystem::path &path() const { return path_; }

  private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

// Boots the real game headless in the current working directory: a fresh core and program globals,
// then `while_loading` (input made while the assets load, events scheduled by frame), then start-up.
platform::headless &boot_here(const std::function<void(platform::headless &)> &while_loading);

// The same, with the splash skipped by an Escape press made while loading.
platform::headless &boot_here_past_splash();

}  // namespace testing_support

// One run of the game: the headless backend installed, start-up done (the splash skipped unless
// asked for), frames stepped by the test.
class game {
  public:
    struct options {
        bool skip_splash = true;
        bool with_data = true;
    };
    game() : game(options{}) {}
    explicit game(options o);

    static game booted_to_title_menu() { return game(); }

    platform::headless &backend() { return *backend_; }
    const std::filesystem::path &dir() const { return dir_->path(); }

    // Runs frames of the loop; returns false once the loop's exit test held.
    bool frame();
    bool frames(int n);
    // Starts a fresh game of the given mini game from the title menu, as "Start New Game" does.
    void start_play(int mini);

    std::vector<platform::draw_record> &draws() { return platform::draw_log(); }
    std::vector<platform::audio_record> &sounds() { return platform::audio_log(); }
    void clear_logs() {
        draws().clear();
        sounds().clear();
    }

  private:
    std::unique_ptr<testing_support::work_dir> dir_;
    platform::headless *backend_ = nullptr;
};
