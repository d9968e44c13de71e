// Reading input scripts: every line checked, the first bad one reported with its file and line number.
#include "replay_script.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace tools {

namespace {

bool whole_number(const std::string &text, int &v) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc{} && end == text.data() + text.size();
}

// "seed N" anywhere in a comment, N a whole number.
std::optional<std::int32_t> seed_in(const std::string &comment) {
    for (auto at = comment.find("seed "); at != std::string::npos; at = comment.find("seed ", at + 1)) {
        const char *first = comment.data() + at + 5, *last = comment.data() + comment.size();
        std::int32_t v = 0;
        const auto [end, ec] = std::from_chars(first, last, v);
        if (ec == std::errc{} && end != first) return v;
    }
    return std::nullopt;
}

// Turns one line's words into an event; returns why the line is wrong, or nothing when it is right.
std::string parse_words(const std::vector<std::string> &w, script_event &out) {
    using k = platform::input_event::kind;
    std::string why;
    // Reads word i as a whole number; the first problem found is the one reported.
    auto integer = [&](std::size_t i) {
        int v = 0;
        if (!why.empty()) return v;
        if (i >= w.size())
            why = "missing argument";
        else if (!whole_number(w[i], v))
            why = "not a whole number: " + w[i];
        return v;
    };
    auto expect_args = [&](std::size_t n) {
        if (w.size() != n + 2) why = "expected " + std::to_string(n) + " argument(s)";
        return why.empty();
    };
    out.frame = integer(0);
    if (!why.empty()) return why;
    if (out.frame < 0) return "negative frame";
    if (w.size() < 2) return "missing event";
    const std::string &what = w[1];
    // A button event without a suffix is a press and release; "down" and "up" are each half of it.
    auto button = [&](k kind, const char *name) {
        if (!expect_args(1)) return;
        const int code = integer(2);
        out.event = {kind, code, what == name ? -1 : what.ends_with("down") ? 1 : 0};
    };
    if (what == "key" || what == "keydown" || what == "keyup") {
        button(k::key, "key");
    } else if (what == "click" || what == "mousedown" || what == "mouseup") {
        button(k::mouse_button, "click");
    } else if (what == "joy" || what == "joydown" || what == "joyup") {
        button(k::joy_button, "joy");
    } else if (what == "move") {
        if (!expect_args(2)) return why;
        const int x = integer(2), y = integer(3);
        out.event = {k::move, x, y};
    } else if (what == "joyaxis") {
        if (!expect_args(2)) return why;
        if (w[2] != "x" && w[2] != "y") return "axis must be x or y";
        float v = 0;
        const auto [end, ec] = std::from_chars(w[3].data(), w[3].data() + w[3].size(), v);
        if (ec != std::errc{} || end != w[3].data() + w[3].size() || v < -1 || v > 1)
            return "axis value must be a number from -1 to 1";
        out.event = {k::joy_axis, w[2] == "x" ? 0 : 1, 0, v};
    } else if (what == "inactive") {
        if (!expect_args(1)) return why;
        out.event = {k::inactive, integer(2)};
        if (why.empty() && out.event.a < 0) why = "negative count";
    } else if (what == "close") {
        if (!expect_args(0)) return why;
        out.event = {k::close};
    } else {
        why = "unknown event " + what;
    }
    return why;
}

}  // namespace

script read_script(std::istream &in, const std::string &name) {
    script s;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (const auto hash = line.find('#'); hash != std::string::npos) {
            if (!s.seed) s.seed = seed_in(line.substr(hash + 1));
            line.erase(hash);
        }
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.empty()) continue;
        script_event e;
        if (const std::string why = parse_words(w, e); !why.empty()) {
            s.events.clear();
            s.error = name + ":" + std::to_string(number) + ": " + why + ": " + line;
            return s;
        }
        s.events.push_back(e);
    }
    return s;
}

script read_script_file(const std::filesystem::path &file) {
    std::ifstream in(file);
    if (!in) {
        script s;
        s.error = "cannot read " + file.string();
        return s;
    }
    return read_script(in, file.string());
}

}  // namespace tools
