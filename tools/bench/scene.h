// The heavy scene the benchmark draws: a late "Bladeburst!" game with a crowded field, built from real
// play state after a headless boot, and replayed frame after frame from the same starting state.
#pragma once

namespace bench {

// Boots the real game on the headless backend with random numbers seeded by 1, the splash skipped by
// an Escape press. The working directory must hold the game's data folder.
void boot_headless_game();

// Builds the scene into the game's globals (round 9 of "Bladeburst!", 30 bubbles, explosions, ring
// bursts, sparks, flying items, a growing banner, a chain of four, two marooned characters) and keeps
// a copy of it. Needs a booted game.
void make_heavy_scene();

// Puts the kept copy of the scene back, with the random numbers reseeded and the draw log emptied, so
// every heavy frame starts from the same state.
void restore_heavy_scene();

// One pass of the frame loop over the scene as it is now; restore first for a repeatable frame.
void run_heavy_frame();

}  // namespace bench
