// Figures for the benchmarks: clocks, timing a call, summaries of many timings, and the table lines.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace tools {

// Milliseconds on the calling thread's CPU clock and on the monotonic wall clock.
double thread_ms();
double wall_ms();

// Thread CPU time and wall time of one call.
struct timing {
    double cpu = 0, wall = 0;
};
timing time_call(const std::function<void()> &f);

struct summary {
    double median = 0, p99 = 0, worst = 0;
    std::size_t count = 0;
};

// The value at fraction p of the sorted values, the nearest rank rounded (p 0 the least, 1 the worst).
double percentile(std::vector<double> v, double p);

// Median, 99th percentile and worst of the values: the ranks n/2 and 0.99n rounded down.
summary summarize(std::vector<double> v);
// The same three through percentile(): the ranks p(n-1) rounded to the nearest.
summary summarize_nearest(const std::vector<double> &v);

// One line of a table: the label padded to `width`, then the three figures and the count; `median`
// names the first figure ("median", "p50").
void row(const char *what, const summary &s, const char *unit, int width, const char *median);

// "goal: WHAT VALUE UNIT against at most LIMIT UNIT: met|not met".
void goal(const char *what, double value, double limit, const char *unit);

}  // namespace tools
