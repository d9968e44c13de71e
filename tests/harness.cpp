// The test harness: working directories and booting the game headless.
#include "harness.h"

#include <unistd.h>

namespace fs = std::filesystem;

namespace testing_support {

work_dir::work_dir(bool with_data) : previous_(fs::current_path()) {
    std::string templ = (fs::temp_directory_path() / "saltburst-test-XXXXXX").string();
    path_ = ::mkdtemp(templ.data());
    if (with_data) {
        fs::create_directory(path_ / "data");
        const fs::path source = fs::path(SALTBURST_SOURCE_DIR) / "data";
        if (fs::is_directory(source))
            for (const auto &entry : fs::directory_iterator(source))
                if (entry.path().extension() == ".ogg")
                    fs::create_symlink(entry.path(), path_ / "data" / entry.path().filename());
    }
    fs::current_path(path_);
}

work_dir::~work_dir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(path_, ec);
}

platform::headless &boot_here(const std::function<void(platform::headless &)> &while_loading) {
    platform::headless &h = platform::install_headless();
    clear_program_globals();
    if (while_loading) while_loading(h);
    startup();
    return h;
}

platform::headless &boot_here_past_splash() {
    return boot_here([](platform::headless &h) { h.press_key(27); });
}

}  // namespace testing_support

game::game(options o) : dir_(std::make_unique<testing_support::work_dir>(o.with_data)) {
    backend_ = o.skip_splash ? &testing_support::boot_here_past_splash() : &testing_support::boot_here({});
}

bool game::frame() { return run_frame(); }

bool game::frames(int n) {
    for (int i = 0; i < n; ++i)
        if (!run_frame()) return false;
    return true;
}

void game::start_play(int mini) {
    mini_game = mini;
    player_tag::reset();
    game_state = 2;
}
