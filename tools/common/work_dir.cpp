// A scratch working directory for running the game from, with the game's sound files linked in.
#include "work_dir.h"

#include <stdlib.h>

namespace fs = std::filesystem;

namespace tools {

work_dir::work_dir(const fs::path &data, const std::string &prefix) {
    std::string templ = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(templ.data()) == nullptr) return;
    path_ = templ;
    std::error_code ec;
    fs::create_directory(path_ / "data", ec);
    if (fs::is_directory(data, ec))
        for (const auto &entry : fs::directory_iterator(data, ec))
            if (entry.path().extension() == ".ogg")
                fs::create_symlink(fs::absolute(entry.path()), path_ / "data" / entry.path().filename(), ec);
}

work_dir::~work_dir() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
}

void work_dir::forget_scores() {
    std::error_code ec;
    fs::remove(path_ / "data" / "hiscore.dat", ec);
}

}  // namespace tools
