// The random number generator and the trigonometry in degrees. One generator, the same sequence for
// the same seed on every machine.
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

#include "platform/core/core.h"

namespace {

// splitmix64: small, fast, and fully determined by its 64-bit state.
struct generator {
    std::uint64_t state = 0x853c49e6748fea9bULL;

    std::uint64_t next() {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
};

generator rng;
std::optional<std::int32_t> forced_seed;

// sin of a whole number of quarter turns is exact, so motion along the axes stays on them.
bool exact_quarter(double degrees, int &quarter) {
    const double q = degrees / 90.0;
    if (q != std::floor(q) || std::fabs(q) > 1e9) return false;
    quarter = static_cast<int>(std::fmod(q, 4.0));
    if (quarter < 0) quarter += 4;
    return true;
}

}  // namespace

namespace platform {
void force_seed(std::optional<std::int32_t> seed) { forced_seed = seed; }
}  // namespace platform

void seed_rnd(std::int32_t seed) {
    if (forced_seed) seed = *forced_seed;
    rng.state = static_cast<std::uint64_t>(static_cast<std::uint32_t>(seed));
}

float rnd(float low, float high) {
    if (high < low) std::swap(low, high);
    // 24 random bits: every value is exact in a float and below 1.
    const double u = static_cast<double>(rng.next() >> 40) * (1.0 / 16777216.0);
    const auto r = static_cast<float>(static_cast<double>(low) + (static_cast<double>(high) - low) * u);
    if (r >= high && high > low) return std::nextafter(high, low);
    return r;
}

double sin_deg(double degrees) {
    static constexpr double table[4] = {0.0, 1.0, 0.0, -1.0};
    int quarter = 0;
    if (exact_quarter(degrees, quarter)) return table[quarter];
    return std::sin(degrees * (M_PI / 180.0));
}

double cos_deg(double degrees) {
    static constexpr double table[4] = {1.0, 0.0, -1.0, 0.0};
    int quarter = 0;
    if (exact_quarter(degrees, quarter)) return table[quarter];
    return std::cos(degrees * (M_PI / 180.0));
}
