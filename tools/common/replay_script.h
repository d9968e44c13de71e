// Reading input scripts: "FRAME EVENT ARGS" lines with '#' comments, as the sim, the golden replays and
// the benchmarks use them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless/headless.h"

namespace tools {

struct script_event {
    int frame = 0;
    platform::input_event event;
};

struct script {
    std::vector<script_event> events;
    std::optional<std::int32_t> seed;  // from the first comment holding "seed N", if any
    std::string error;                 // empty when the whole script was read; else "NAME:LINE: why: line"
    bool ok() const { return error.empty(); }
};

// Reads the whole script. A malformed line stops the reading: the error names the script and the line,
// and the events read before it are dropped, so nothing runs from half a script.
script read_script(std::istream &in, const std::string &name);

// The same from a file; an unreadable file is an error naming it.
script read_script_file(const std::filesystem::path &file);

}  // namespace tools
