// Sharing a large draw between two threads: the rows it covers are handed out a few at a time to the
// calling thread and a worker thread, and the call returns once every row is drawn.
#pragma once

#include <cstdint>

namespace platform {

// Draws rows [first_row, end_row) of a draw; must touch no other row of the frame buffer.
using row_band = void (*)(void *context, int first_row, int end_row);

// Draws rows [first_row, end_row) through `band`, each row exactly once, in chunks. When two threads are
// allowed and `pixels` (about how many pixels the draw covers) makes a hand-over worth it, the worker
// takes chunks too; the caller never waits for more than the chunk the worker is drawing. Draws come
// from one thread at a time.
void draw_rows(int first_row, int end_row, std::int64_t pixels, row_band band, void *context);

// How many threads draws may use: 1 or 2 (the default where the machine has four cores or more).
void set_raster_threads(int threads);
int raster_threads();

// Draws smaller than this many pixels stay on the calling thread.
constexpr std::int64_t min_shared_pixels = 1500;

}  // namespace platform
