// File operations on the game's backslash paths. Reads go through a buffered stream; writes are
// collected and land in one piece at close_file, through a temporary file renamed over the old one,
// so that a failed or interrupted write leaves the previous file whole.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>

#include "platform/core/core.h"

namespace platform {
namespace {

struct open_file {
    bool writing = false;
    std::string path;                 // host path of the file itself
    std::vector<unsigned char> data;  // what was read, or what is to be written
    std::size_t position = 0;
};

struct file_table {
    std::map<std::int32_t, open_file> files;
    std::int32_t next_id = 1;
};

file_table &table() {
    static file_table t;
    return t;
}

open_file *find(stream s) {
    auto it = table().files.find(s.id);
    return it == table().files.end() ? nullptr : &it->second;
}

stream add(open_file f) {
    const std::int32_t id = table().next_id++;
    table().files.emplace(id, std::move(f));
    return stream{id};
}

bool write_all(int fd, const std::vector<unsigned char> &data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes data to a temporary file beside path and renames it over path.
bool replace_file(const std::string &path, const std::vector<unsigned char> &data) {
    const std::string temp = path + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = write_all(fd, data) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::string host_path(std::string_view game_path) {
    std::string path(game_path);
    for (char &c : path)
        if (c == '\\') c = '/';
    return path;
}

void reset_files() { table() = file_table{}; }

}  // namespace platform

using platform::find;
using platform::host_path;

int file_type(std::string_view path) {
    struct stat st {};
    if (::stat(host_path(path).c_str(), &st) != 0) return 0;
    if (S_ISDIR(st.st_mode)) return 2;
    return 1;
}

int file_size(std::string_view path) {
    struct stat st {};
    if (::stat(host_path(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    return static_cast<int>(st.st_size);
}

stream read_file(std::string_view path) {
    platform::open_file f;
    f.path = host_path(path);
    struct stat st {};
    if (::stat(f.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return stream{};
    std::ifstream in(f.path, std::ios::binary);
    if (!in) return stream{};
    f.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return stream{};
    return platform::add(std::move(f));
}

stream write_file(std::string_view path) {
    platform::open_file f;
    f.writing = true;
    f.path = host_path(path);
    return platform::add(std::move(f));
}

std::int32_t read_int(stream s) {
    platform::open_file *f = find(s);
    if (!f || f->writing || f->data.size() - f->position < 4) return 0;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(f->data[f->position + i]) << (8 * i);
    f->position += 4;
    return static_cast<std::int32_t>(v);
}

void write_int(stream s, std::int32_t value) {
    platform::open_file *f = find(s);
    if (!f || !f->writing) return;
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) f->data.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void close_file(stream s) {
    platform::open_file *f = find(s);
    if (!f) return;
    if (f->writing) platform::replace_file(f->path, f->data);
    platform::table().files.erase(s.id);
}
