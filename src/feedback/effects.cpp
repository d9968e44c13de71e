// PLACEHOLDER until the effect sprites and the banner land.
#include "game.h"

std::list<specialfx_tag> fx_list;
message_tag message;

int specialfx_tag::Create(float, float, float, float, float, float, float, float, float, std::int32_t) { return 0; }
int specialfx_tag::update() { return 0; }
int message_tag::new_msg(const std::string &, std::int32_t) { return 0; }
int message_tag::update() { return 0; }
