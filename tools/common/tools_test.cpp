// Tests of the pieces the sim and the benchmarks share: script reading, figures, the scratch working
// directory and running a scripted game in-process.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "figures.h"
#include "game.h"
#include "replay_run.h"
#include "replay_script.h"
#include "work_dir.h"

namespace fs = std::filesystem;
using k = platform::input_event::kind;

namespace {

tools::script read(const std::string &text) {
    std::istringstream in(text);
    return tools::read_script(in, "s.txt");
}

TEST(ToolsScript, EveryEventKindReadsAsItsInputEvent) {
    struct case_ {
        const char *line;
        int frame;
        k kind;
        int a, b;
        float value;
    };
    const case_ cases[] = {
        {"0 key 27", 0, k::key, 27, -1, 0},
        {"4 keydown 32", 4, k::key, 32, 1, 0},
        {"5 keyup 32", 5, k::key, 32, 0, 0},
        {"6 click 1", 6, k::mouse_button, 1, -1, 0},
        {"7 mousedown 2", 7, k::mouse_button, 2, 1, 0},
        {"8 mouseup 2", 8, k::mouse_button, 2, 0, 0},
        {"9 joy 3", 9, k::joy_button, 3, -1, 0},
        {"10 joydown 0", 10, k::joy_button, 0, 1, 0},
        {"11 joyup 0", 11, k::joy_button, 0, 0, 0},
        {"12 move 320 -5", 12, k::move, 320, -5, 0},
        {"13 joyaxis y -0.5", 13, k::joy_axis, 1, 0, -0.5f},
        {"14 joyaxis x 1", 14, k::joy_axis, 0, 0, 1.0f},
        {"15 inactive 0", 15, k::inactive, 0, 0, 0},
        {"16 close", 16, k::close, 0, 0, 0},
        {"  17\tkey 1   # a comment after the event", 17, k::key, 1, -1, 0},
    };
    for (const case_ &c : cases) {
        SCOPED_TRACE(c.line);
        const tools::script s = read(c.line);
        ASSERT_TRUE(s.ok()) << s.error;
        ASSERT_EQ(s.events.size(), 1u);
        const platform::input_event &e = s.events[0].event;
        EXPECT_EQ(s.events[0].frame, c.frame);
        EXPECT_EQ(e.what, c.kind);
        if (c.kind == k::close) continue;
        EXPECT_EQ(e.a, c.a);
        if (c.kind != k::inactive) {
            EXPECT_EQ(e.b, c.b);
        }
        if (c.kind == k::joy_axis) {
            EXPECT_FLOAT_EQ(e.value, c.value);
        }
    }
}

TEST(ToolsScript, BadLineIsNamedWithFileLineAndReasonAndNothingIsKept) {
    struct case_ {
        const char *line, *message;
    };
    const case_ cases[] = {
        {"3 kick 27", "s.txt:3: unknown event kick: 3 kick 27"},
        {"x key 27", "s.txt:3: not a whole number: x: x key 27"},
        {"-1 key 27", "s.txt:3: negative frame: -1 key 27"},
        {"7", "s.txt:3: missing event: 7"},
        {"4 move 10", "s.txt:3: expected 2 argument(s): 4 move 10"},
        {"4 move 10 y", "s.txt:3: not a whole number: y: 4 move 10 y"},
        {"6 key 27 28", "s.txt:3: expected 1 argument(s): 6 key 27 28"},
        {"6 key 2.5", "s.txt:3: not a whole number: 2.5: 6 key 2.5"},
        {"6 key 99999999999", "s.txt:3: not a whole number: 99999999999: 6 key 99999999999"},
        {"5 joyaxis z 1", "s.txt:3: axis must be x or y: 5 joyaxis z 1"},
        {"5 joyaxis x 1.5", "s.txt:3: axis value must be a number from -1 to 1: 5 joyaxis x 1.5"},
        {"5 joyaxis x up", "s.txt:3: axis value must be a number from -1 to 1: 5 joyaxis x up"},
        {"5 inactive -3", "s.txt:3: negative count: 5 inactive -3"},
        {"5 close 1", "s.txt:3: expected 0 argument(s): 5 close 1"},
        {"5 key # 1", "s.txt:3: expected 1 argument(s): 5 key "},
    };
    for (const case_ &c : cases) {
        SCOPED_TRACE(c.line);
        const tools::script s = read(std::string("0 key 27\n\n") + c.line + "\n9 key 1\n");
        EXPECT_EQ(s.error, c.message);
        EXPECT_TRUE(s.events.empty()) << "events kept from a script that was refused";
    }
}

TEST(ToolsScript, SeedComesFromTheFirstCommentNamingOne) {
    struct case_ {
        const char *text;
        std::optional<std::int32_t> seed;
    };
    const case_ cases[] = {
        {"# mini game 2, seed 13, 1500 frames\n# seed 4\n0 key 27\n", 13},
        {"# seed 3: menus\n", 3},
        {"0 key 27 # seed 8\n", 8},
        {"# seeds grow; seed then seed 21\n", 21},
        {"# no seed here\n0 key 27\n", std::nullopt},
        {"0 key 27\n", std::nullopt},
        {"seed 5\n", std::nullopt},  // not a comment: an error, and no seed
    };
    for (const case_ &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(read(c.text).seed, c.seed);
    }
}

TEST(ToolsScript, FileReadingNamesTheFile) {
    const tools::script missing = tools::read_script_file("/nonexistent/replay.txt");
    EXPECT_EQ(missing.error, "cannot read /nonexistent/replay.txt");

    const tools::work_dir dir("", "saltburst-tools-test");
    const fs::path file = dir.path() / "r.txt";
    std::ofstream(file) << "# seed 9\n0 key 27\n3 kick 1\n";
    EXPECT_EQ(tools::read_script_file(file).error, file.string() + ":3: unknown event kick: 3 kick 1");
}

TEST(ToolsFigures, SummariesPickTheirRanks) {
    std::vector<double> v;
    for (int i = 100; i >= 1; --i) v.push_back(i);  // unsorted on purpose
    const tools::summary s = tools::summarize(v);
    EXPECT_EQ(s.count, 100u);
    EXPECT_EQ(s.median, 51);  // rank n/2
    EXPECT_EQ(s.p99, 100);    // rank 0.99n rounded down
    EXPECT_EQ(s.worst, 100);
    const tools::summary n = tools::summarize_nearest(v);
    EXPECT_EQ(n.median, 51);  // rank 49.5 rounded to 50
    EXPECT_EQ(n.p99, 99);     // rank 98.01 rounded to 98
    EXPECT_EQ(n.worst, 100);
    EXPECT_EQ(tools::percentile(v, 0.0), 1);
    EXPECT_EQ(tools::percentile(v, 0.01), 2);

    EXPECT_EQ(tools::summarize({7}).p99, 7);
    EXPECT_EQ(tools::summarize_nearest({7}).median, 7);
    const tools::summary empty = tools::summarize({});
    EXPECT_EQ(empty.count, 0u);
    EXPECT_EQ(empty.worst, 0);
    EXPECT_EQ(tools::percentile({}, 0.5), 0);
}

TEST(ToolsWorkDir, LinksTheSoundsOnlyAndGoesAwayWithEverythingInIt) {
    const tools::work_dir source("", "saltburst-tools-src");
    for (const char *name : {"a.ogg", "b.ogg", "notes.txt"}) std::ofstream(source.path() / name) << name;
    fs::path made;
    {
        tools::work_dir dir(source.path(), "saltburst-tools-test");
        made = dir.path();
        ASSERT_FALSE(made.empty());
        EXPECT_TRUE(made.filename().string().starts_with("saltburst-tools-test-"));
        EXPECT_TRUE(fs::is_symlink(made / "data" / "a.ogg"));
        EXPECT_TRUE(fs::is_symlink(made / "data" / "b.ogg"));
        EXPECT_FALSE(fs::exists(made / "data" / "notes.txt"));
        std::ofstream(made / "data" / "hiscore.dat") << "x";
        dir.forget_scores();
        EXPECT_FALSE(fs::exists(made / "data" / "hiscore.dat"));
        dir.forget_scores();  // nothing left to remove is no fault
    }
    EXPECT_FALSE(fs::exists(made));
    EXPECT_TRUE(fs::exists(source.path() / "a.ogg")) << "removing the links removed what they point at";

    const tools::work_dir no_data("/nonexistent", "saltburst-tools-test");
    EXPECT_TRUE(fs::is_directory(no_data.path() / "data"));
    EXPECT_TRUE(fs::is_empty(no_data.path() / "data"));
}

// A short scripted game run in-process: the splash ended by Escape, then Escape on the title quits.
TEST(ToolsReplay, RunsTheGameThroughItsHooksAndEmptiesTheLogs) {
    const tools::work_dir dir("", "saltburst-tools-test");
    const fs::path home = fs::current_path();
    fs::current_path(dir.path());
    const tools::script s = read("0 key 27\n5 key 27\n");
    ASSERT_TRUE(s.ok());

    std::vector<std::string> calls;
    bool logs_empty_at_present = true;
    tools::replay_hooks hooks;
    hooks.prepare = [&](platform::headless &) { calls.push_back("prepare"); };
    hooks.on_loop = [&] { calls.push_back("loop"); };
    hooks.on_present = [&](int) {
        if (calls.back() != "present") calls.push_back("present");
        logs_empty_at_present = logs_empty_at_present && platform::draw_log().empty();
    };
    int timed = 0;
    hooks.each_frame = [&](const tools::frame_times &t) {
        ++timed;
        EXPECT_GE(t.cpu, 0);
        EXPECT_GE(t.wall, 0);
    };
    const tools::replay_counts counts = tools::run_replay(s.events, 7, hooks);
    end_program();
    fs::current_path(home);

    EXPECT_EQ(exit_cause, 1) << "the second Escape should end the game";
    EXPECT_EQ(counts.presented, 5);
    EXPECT_EQ(counts.loop_frames, timed);
    EXPECT_GT(counts.loop_frames, 0);
    EXPECT_LT(counts.loop_frames, counts.presented) << "the splash's frames are not loop frames";
    EXPECT_FALSE(logs_empty_at_present) << "the hook saw its frame's draws";
    EXPECT_TRUE(platform::draw_log().empty());
    EXPECT_TRUE(platform::audio_log().empty());
    const std::vector<std::string> order = {"prepare", "present", "loop", "present"};
    EXPECT_EQ(calls, order);
}

}  // namespace
