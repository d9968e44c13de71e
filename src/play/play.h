// The rules of a game: the player's record, the bubbles, the play update and the chain bonus.
#pragma once

#include <array>
#include <cstdint>
#include <list>

// Converts a real to an integer the way the game does everywhere: truncation toward zero.
inline std::int32_t trunc_int(double v) { return static_cast<std::int32_t>(v); }

// Walks a game list oldest first. The record just visited may remove itself (or be removed) during
// its visit; the walk goes on with the record that followed it.
template <class T, class F>
void walk_list(std::list<T> &list, F &&visit) {
    for (auto it = list.begin(); it != list.end();) {
        auto next = std::next(it);
        visit(*it);
        it = next;
    }
}

// Removes one record, found by its address, from its list.
template <class T>
void remove_from_list(std::list<T> &list, const T *record) {
    for (auto it = list.begin(); it != list.end(); ++it)
        if (&*it == record) {
            list.erase(it);
            return;
        }
}

struct player_tag {
    float x = 0;
    float y = 0;
    float rotation = 0;
    float jab = 0;
    std::int32_t frame = 0;
    std::int32_t score = 0;
    std::int32_t best_sc = 0;
    std::int32_t new_bs = 0;
    std::int32_t tries = 0;
    std::int32_t round = 0;
    std::int32_t goal = 0;
    std::int32_t flash_ctr = 0;
    std::int32_t flash_stp = 0;
    std::int32_t marooned = 0;
    std::int32_t jhit = 0;

    static int reset();
    int update();
};

struct bubble_tag {
    float x = 0;
    float y = 0;
    float xoffs = 0;
    float xstp = 0;
    float ystp = 0;
    float rotation = 0;
    std::int32_t bubrot = 0;
    float alpha = 0;
    float scale = 0;
    std::int32_t frame = 0;
    std::int32_t roton = 0;

    static int Create();
    int update();
};

extern std::array<player_tag, 3> players;
extern std::list<bubble_tag> bubble_list;
extern std::int32_t spawn_interval;
extern std::int32_t spawn_timer;
extern std::int32_t freeze_timer;
extern std::int32_t keg_blast;
extern std::int32_t target_set;
extern std::int32_t chain_kind;
extern std::int32_t chain_count;
extern std::array<std::int32_t, 3> lost_kinds;

int play_update();
int award_chain_bonus();
