// PLACEHOLDER until the play rules land.
#include "game.h"

std::array<player_tag, 3> players;
std::list<bubble_tag> bubble_list;
std::int32_t spawn_interval = 0;
std::int32_t spawn_timer = 0;
std::int32_t freeze_timer = 0;
std::int32_t keg_blast = 0;
std::int32_t target_set = 0;
std::int32_t chain_kind = 0;
std::int32_t chain_count = 0;
std::array<std::int32_t, 3> lost_kinds;

int player_tag::reset() { return 0; }
int player_tag::update() { return 0; }
int bubble_tag::Create() { return 0; }
int bubble_tag::update() { return 0; }
int play_update() { return 0; }
int award_chain_bonus() { return 0; }
