// The life of the program: start-up, the frame loop and shutdown, and the screens that are not play.
#pragma once

#include <array>
#include <cstdint>
#include <string>

extern std::int32_t game_state;
extern std::int32_t mini_game;
extern std::int32_t quit_requested;
extern std::int32_t exit_cause;  // what ended the frame loop: 1 Escape, 2 the quit row, 3 a close request
extern std::int32_t over_delay;
extern std::array<std::string, 3> mini_game_names;
extern std::array<std::string, 11> volume_labels;
extern std::array<std::string, 6> menu_labels;
extern std::array<std::string, 5> bonus_labels;

// The main routine, in three steps that tests and tools can drive one frame at a time.
void startup();
bool run_frame();  // one pass of the frame loop; false once its exit test holds
void shutdown();
int game_main();  // startup, the loop, shutdown, end_program

// Puts the globals that a new process starts with (mini_game, quit_requested, exit_cause) back at 0.
void clear_program_globals();

int draw_background();
int nudge_pointer();
int logo_splash();
int menu_screen();
int pause_screen();
int draw_footer();
int game_over_screen();
