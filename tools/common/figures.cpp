// Figures for the benchmarks: clocks, summaries and the lines of their tables.
#include "figures.h"

#include <time.h>

#include <algorithm>
#include <cstdio>

namespace tools {

namespace {

double clock_ms(clockid_t id) {
    timespec t{};
    clock_gettime(id, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

}  // namespace

double thread_ms() { return clock_ms(CLOCK_THREAD_CPUTIME_ID); }
double wall_ms() { return clock_ms(CLOCK_MONOTONIC); }

timing time_call(const std::function<void()> &f) {
    const double c0 = thread_ms(), w0 = wall_ms();
    f();
    return {thread_ms() - c0, wall_ms() - w0};
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const auto at = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(at, v.size() - 1)];
}

summary summarize(std::vector<double> v) {
    summary s;
    if (v.empty()) return s;
    std::sort(v.begin(), v.end());
    s.count = v.size();
    s.median = v[v.size() / 2];
    s.p99 = v[std::min(v.size() - 1, static_cast<std::size_t>(static_cast<double>(v.size()) * 0.99))];
    s.worst = v.back();
    return s;
}

summary summarize_nearest(const std::vector<double> &v) {
    return {percentile(v, 0.5), percentile(v, 0.99), percentile(v, 1.0), v.size()};
}

void row(const char *what, const summary &s, const char *unit, int width, const char *median) {
    std::printf("  %-*s %s %8.3f %s   p99 %8.3f %s   worst %8.3f %s   (n=%zu)\n", width, what, median,
                s.median, unit, s.p99, unit, s.worst, unit, s.count);
}

void goal(const char *what, double value, double limit, const char *unit) {
    std::printf("  goal: %s %.3f %s against at most %.3f %s: %s\n", what, value, unit, limit, unit,
                value <= limit ? "met" : "not met");
}

}  // namespace tools
