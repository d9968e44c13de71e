// Files on the game's backslash paths: kinds and sizes, little-endian integers read and written,
// reads past the end, and writes that fail leaving the previous file whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "harness.h"
#include "platform/core/core.h"

namespace fs = std::filesystem;

namespace {

using bytes = std::vector<unsigned char>;

class files_dir : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::make_unique<testing_support::work_dir>(false);
        platform::reset_files();
    }
    void TearDown() override {
        platform::reset_files();
        dir_.reset();
    }

    static void put(const fs::path &file, const bytes &content) {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char *>(content.data()),
                  static_cast<std::streamsize>(content.size()));
    }
    static bytes contents(const fs::path &file) {
        std::ifstream in(file, std::ios::binary);
        return bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Everything left in the folder, to show that no stray file stayed behind.
    static std::vector<std::string> listing(const fs::path &folder) {
        std::vector<std::string> names;
        for (const auto &e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    std::unique_ptr<testing_support::work_dir> dir_;
};

using files_read = files_dir;
using files_write = files_dir;

const bytes three_scores = {0, 0, 0, 0, 0xE8, 3, 0, 0, 0, 0, 0, 0};  // 0, 1000, 0

}  // namespace

TEST_F(files_read, kinds_and_sizes_of_backslash_paths) {
    fs::create_directories("data/deeper");
    put("data/hiscore.dat", three_scores);
    put("data/deeper/empty.bin", {});
    struct {
        const char *path;
        int type;
        int size;
    } cases[] = {
        {"data\\hiscore.dat", 1, 12},
        {"data\\deeper\\empty.bin", 1, 0},
        {"data", 2, 0},
        {"data\\deeper", 2, 0},
        {"data\\missing.dat", 0, 0},
        {"missing\\hiscore.dat", 0, 0},
        {"", 0, 0},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(file_type(c.path), c.type);
        EXPECT_EQ(file_size(c.path), c.size);
    }
    EXPECT_EQ(platform::host_path("data\\deeper\\empty.bin"), "data/deeper/empty.bin");
    EXPECT_EQ(platform::host_path("plain.txt"), "plain.txt");
}

TEST_F(files_read, integers_are_little_endian_and_signed_and_end_in_zeros) {
    fs::create_directory("data");
    put("data/ints.dat",
        {0xE8, 0x03, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0x7F, 0x2A, 0x01});
    const stream s = read_file("data\\ints.dat");
    ASSERT_NE(s.id, 0);
    EXPECT_EQ(read_int(s), 1000);
    EXPECT_EQ(read_int(s), -1);
    EXPECT_EQ(read_int(s), INT_MIN);
    EXPECT_EQ(read_int(s), INT_MAX);
    EXPECT_EQ(read_int(s), 0);  // two bytes left: not a whole integer
    EXPECT_EQ(read_int(s), 0);
    close_file(s);
    EXPECT_EQ(read_int(s), 0);  // a closed stream reads nothing

    // Two streams on one file keep their own places.
    const stream a = read_file("data\\ints.dat");
    const stream b = read_file("data\\ints.dat");
    EXPECT_NE(a.id, b.id);
    EXPECT_EQ(read_int(a), 1000);
    EXPECT_EQ(read_int(a), -1);
    EXPECT_EQ(read_int(b), 1000);
}

TEST_F(files_read, what_cannot_be_read_gives_stream_zero_and_zeros) {
    fs::create_directory("data");
    for (const char *path : {"data\\missing.dat", "data", "nowhere\\hiscore.dat"}) {
        SCOPED_TRACE(path);
        const stream s = read_file(path);
        EXPECT_EQ(s.id, 0);
        EXPECT_EQ(read_int(s), 0);
        write_int(s, 5);
        close_file(s);
    }
    EXPECT_EQ(listing("data"), std::vector<std::string>{});
    for (std::int32_t id : {0, -3, 12345}) EXPECT_EQ(read_int(stream{id}), 0);
}

TEST_F(files_write, written_integers_land_as_exact_bytes_at_close) {
    fs::create_directory("data");
    put("data/hiscore.dat", bytes(40, 0x55));  // a longer old file is replaced, not overwritten in part
    const stream s = write_file("data\\hiscore.dat");
    ASSERT_NE(s.id, 0);
    write_int(s, 0);
    write_int(s, 1000);
    write_int(s, 0);
    close_file(s);
    EXPECT_EQ(contents("data/hiscore.dat"), three_scores);

    const stream t = write_file("data\\signed.dat");
    write_int(t, -2);
    write_int(t, INT_MIN);
    close_file(t);
    EXPECT_EQ(contents("data/signed.dat"), (bytes{0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80}));

    // Written and read back through the game's own calls.
    const stream r = read_file("data\\signed.dat");
    EXPECT_EQ(read_int(r), -2);
    EXPECT_EQ(read_int(r), INT_MIN);
    close_file(r);
    EXPECT_EQ(listing("data"), (std::vector<std::string>{"hiscore.dat", "signed.dat"}));
}

TEST_F(files_write, a_write_with_nothing_written_leaves_an_empty_file) {
    fs::create_directory("data");
    put("data/hiscore.dat", three_scores);
    close_file(write_file("data\\hiscore.dat"));
    EXPECT_EQ(file_type("data\\hiscore.dat"), 1);
    EXPECT_EQ(file_size("data\\hiscore.dat"), 0);
}

TEST_F(files_write, streams_only_go_the_way_they_were_opened) {
    fs::create_directory("data");
    put("data/hiscore.dat", three_scores);
    const stream r = read_file("data\\hiscore.dat");
    write_int(r, 77);  // ignored: a read stream writes nothing
    close_file(r);
    EXPECT_EQ(contents("data/hiscore.dat"), three_scores);

    const stream w = write_file("data\\other.dat");
    EXPECT_EQ(read_int(w), 0);
    write_int(w, 1);
    close_file(w);
    close_file(w);  // a second close does nothing
    EXPECT_EQ(contents("data/other.dat"), (bytes{1, 0, 0, 0}));
}

TEST_F(files_write, a_failed_write_leaves_the_previous_file_whole) {
    const bytes old = {7, 0, 0, 0, 8, 0, 0, 0, 9, 0, 0, 0};
    struct {
        const char *what;
        std::function<void()> arrange;
        std::vector<std::string> left;  // what the data folder holds afterwards
    } cases[] = {
        {"the temporary name is taken by a folder",
         [&] {
             fs::create_directory("data");
             put("data/hiscore.dat", old);
             fs::create_directory("data/hiscore.dat.tmp");
         },
         {"hiscore.dat", "hiscore.dat.tmp"}},
        {"the file's name is taken by a folder",
         [&] { fs::create_directories("data/hiscore.dat"); },
         {"hiscore.dat"}},
        {"no data folder", [] {}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all("data");
        c.arrange();
        const stream s = write_file("data\\hiscore.dat");
        write_int(s, 1);
        write_int(s, 2);
        write_int(s, 3);
        close_file(s);
        if (!fs::exists("data")) {
            EXPECT_TRUE(c.left.empty());
            EXPECT_EQ(file_type("data\\hiscore.dat"), 0);
            continue;
        }
        EXPECT_EQ(listing("data"), c.left);
        if (fs::is_regular_file("data/hiscore.dat")) {
            EXPECT_EQ(contents("data/hiscore.dat"), old);
        } else {
            EXPECT_TRUE(fs::is_empty("data/hiscore.dat"));  // the folder in its way is untouched
        }
        if (fs::exists("data/hiscore.dat.tmp")) {
            EXPECT_TRUE(fs::is_empty("data/hiscore.dat.tmp"));
        }
    }
}
