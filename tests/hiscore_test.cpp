// The best-score file: its bytes, the bad files that start every best at 0, and safe writing.
#include <fstream>
#include <iterator>

#include "harness.h"

namespace fs = std::filesystem;

namespace {

std::vector<unsigned char> bytes_of(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const fs::path &p, const std::vector<unsigned char> &bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

TEST(hiscore, written_at_exit_as_three_little_endian_integers) {
    game g;
    players[1].best_sc = 1000;
    g.backend().press_key(27);
    g.frame();
    shutdown();
    EXPECT_EQ(bytes_of(g.dir() / "data" / "hiscore.dat"),
              (std::vector<unsigned char>{0, 0, 0, 0, 0xE8, 0x03, 0, 0, 0, 0, 0, 0}));
}

TEST(hiscore, read_at_start_up_negative_values_included) {
    testing_support::work_dir dir;
    write_bytes(dir.path() / "data" / "hiscore.dat",
                {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0x27, 0, 0, 9, 9});
    testing_support::boot_here_past_splash();
    EXPECT_EQ(players[0].best_sc, 1);
    EXPECT_EQ(players[1].best_sc, -1);
    EXPECT_EQ(players[2].best_sc, 10000);
}

TEST(hiscore, bad_files_start_every_best_at_zero) {
    struct {
        const char *name;
        void (*make)(const fs::path &);
    } cases[] = {
        {"missing", [](const fs::path &) {}},
        {"short",
         [](const fs::path &p) {
             write_bytes(p, {1, 0, 0, 0, 2, 0, 0});
         }},
        {"empty", [](const fs::path &p) { write_bytes(p, {}); }},
        {"directory", [](const fs::path &p) { fs::create_directory(p); }},
        {"unreadable",
         [](const fs::path &p) {
             write_bytes(p, {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0});
             fs::permissions(p, fs::perms::none);
         }},
    };
    for (auto [name, make] : cases) {
        SCOPED_TRACE(name);
        testing_support::work_dir dir;
        const fs::path file = dir.path() / "data" / "hiscore.dat";
        make(file);
        if (std::string(name) == "unreadable" && std::ifstream(file).good()) continue;  // root reads anything
        for (player_tag &p : players) p.best_sc = 77;
        hiscore_file(0);
        for (const player_tag &p : players) EXPECT_EQ(p.best_sc, 0);
    }
}

TEST(hiscore, an_unwritable_place_ends_the_program_normally) {
    game g(game::options{.with_data = false});
    players[0].best_sc = 5;
    g.backend().press_key(27);
    EXPECT_FALSE(g.frame());
    shutdown();
    EXPECT_FALSE(fs::exists(g.dir() / "data"));
}

TEST(hiscore, a_failed_write_leaves_the_old_file_whole) {
    game g;
    const fs::path file = g.dir() / "data" / "hiscore.dat";
    const std::vector<unsigned char> old = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};
    write_bytes(file, old);
    fs::create_directory(g.dir() / "data" / "hiscore.dat.tmp");  // the write cannot land
    players[0].best_sc = 999;
    hiscore_file(1);
    EXPECT_EQ(bytes_of(file), old);
}

TEST(hiscore, survives_from_one_run_to_the_next) {
    testing_support::work_dir dir;
    {
        testing_support::boot_here_past_splash();
        players[2].best_sc = 4321;
        shutdown();
    }
    testing_support::boot_here_past_splash();
    EXPECT_EQ(players[2].best_sc, 4321);
}
