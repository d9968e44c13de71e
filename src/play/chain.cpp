// The catch-chain bonus: paying out a broken chain of like pops with a banner message.
#include <string>

#include "game.h"

int award_chain_bonus() {
    // Points per bubble and the label, by item kind 2..7; crewman and crewwoman share theirs.
    struct bonus {
        std::int32_t points;
        std::size_t label;
    };
    static constexpr bonus table[] = {{500, 0}, {250, 1}, {250, 1}, {1000, 2}, {150, 3}, {75, 4}};
    if (chain_kind < 2 || chain_kind > 7) return 0;  // kegs, stopwatches and "no chain" never pay

    const bonus &b = table[chain_kind - 2];
    const std::int32_t value = chain_count * b.points;
    message.new_msg(std::to_string(chain_count) + bonus_labels[b.label] + std::to_string(value), 1);
    players[mini_game].score += value;
    return 0;
}
