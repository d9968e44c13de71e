// A scratch working directory for running the game from, with the game's sound files linked in.
#pragma once

#include <filesystem>
#include <string>

namespace tools {

// A fresh directory under the system's temporary folder, named PREFIX-XXXXXX, holding a data folder with
// a link to every .ogg file of `data` (none when `data` is not a folder); removed with everything in it
// when the owner goes, so nothing the game writes lands in the source tree.
class work_dir {
  public:
    work_dir(const std::filesystem::path &data, const std::string &prefix);
    ~work_dir();
    work_dir(const work_dir &) = delete;
    work_dir &operator=(const work_dir &) = delete;

    // Empty when the directory could not be made.
    const std::filesystem::path &path() const { return path_; }
    // Removes the best scores a previous run wrote, so the next run starts as a first one.
    void forget_scores();

  private:
    std::filesystem::path path_;
};

}  // namespace tools
