// The best score of each mini game, kept between runs in "data\hiscore.dat": three little-endian
// 32-bit integers. A missing, short or unreadable file starts every best at 0.
#include "game.h"

namespace {
constexpr const char *hiscore_path = "data\\hiscore.dat";
constexpr int hiscore_bytes = 12;
}  // namespace

int hiscore_file(int save) {
    if (save == 0) {
        for (player_tag &p : players) p.best_sc = 0;
        if (file_type(hiscore_path) != 1 || file_size(hiscore_path) < hiscore_bytes) return 0;
        const stream in = read_file(hiscore_path);
        if (in.id == 0) return 0;
        for (player_tag &p : players) p.best_sc = read_int(in);
        close_file(in);
        return 0;
    }
    // The file layer writes beside the old file and renames over it only once all is written.
    const stream out = write_file(hiscore_path);
    for (const player_tag &p : players) write_int(out, p.best_sc);
    close_file(out);
    return 0;
}
