// The software rasterizer: walks the rows a turned and scaled rectangle covers, samples the picture
// nearest or bilinearly in fixed point, and blends by the draw state's mode.
#include "platform/core/raster.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "platform/core/raster_bands.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {
namespace {

using fixed = std::int64_t;  // 32.32 texel coordinates
constexpr double fixed_one = 4294967296.0;
constexpr fixed fixed_half = fixed{1} << 31;

// A picture shrunk so far that one screen pixel spans more texels than this shows at most a dot;
// such draws are dropped so the fixed-point stepping cannot overflow.
constexpr double max_texels_per_pixel = 65536.0;

// v in 32.32 fixed point, rounded half away from zero (as llround, without the library call per row).
[[gnu::always_inline]] inline fixed to_fixed(double v) {
    v = std::clamp(v, -1073741824.0, 1073741824.0);  // far outside any picture either way
    const double t = v * fixed_one;                  // exact: a power of two
    fixed r = static_cast<fixed>(t);                 // toward zero
    const double rest = t - static_cast<double>(r);  // exact below 2^62
    if (rest >= 0.5)
        ++r;
    else if (rest <= -0.5)
        --r;
    return r;
}

// v rounded half away from zero for 0 <= v < 2^52, as lround gives, without the library call.
[[gnu::always_inline]] inline std::int64_t round_half_up(double v) {
    const auto whole = static_cast<std::int64_t>(v);
    return v - static_cast<double>(whole) >= 0.5 ? whole + 1 : whole;  // the difference is exact
}

// The helpers below are marked always_inline: the inner loops need them inlined, and the compiler's
// size heuristics otherwise decline.

// x / 255 rounded, for x in 0 .. 255 * 255.
[[gnu::always_inline]] inline std::uint32_t div255(std::uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

[[gnu::always_inline]] inline std::uint32_t channel(std::uint32_t c, int shift) {
    return (c >> shift) & 0xFFu;
}

// Straight interpolation of all four channels at once, two to a 32-bit lane pair; f is 0..256.
[[gnu::always_inline]] inline std::uint32_t lerp_texel(std::uint32_t a, std::uint32_t b, std::uint32_t f) {
    const std::uint32_t rb = ((((a & 0xFF00FFu) * (256 - f)) + ((b & 0xFF00FFu) * f)) >> 8) & 0xFF00FFu;
    const std::uint32_t ag =
        ((((a >> 8) & 0xFF00FFu) * (256 - f)) + (((b >> 8) & 0xFF00FFu) * f)) & 0xFF00FF00u;
    return rb | ag;
}

// The texel whose cell the mapped point falls in.
struct nearest_sampler {
    const std::uint32_t *pixels;
    int stride;
    [[gnu::always_inline]] std::uint32_t operator()(fixed u, fixed v) const {
        return pixels[static_cast<std::ptrdiff_t>(v >> 32) * stride + static_cast<std::ptrdiff_t>(u >> 32)];
    }
};

// The four texels around the mapped point, weighted by its distance from their centres.
struct bilinear_sampler {
    const std::uint32_t *pixels;
    int stride, width, height;
    std::uint32_t outside;

    std::uint32_t fetch(int i, int j) const {
        if (i < 0 || j < 0 || i >= width || j >= height) return outside;
        return pixels[static_cast<std::ptrdiff_t>(j) * stride + i];
    }
    [[gnu::always_inline]] std::uint32_t operator()(fixed u, fixed v) const {
        const fixed us = u - fixed_half, vs = v - fixed_half;
        const int i = static_cast<int>(us >> 32), j = static_cast<int>(vs >> 32);
        const auto fx = static_cast<std::uint32_t>((us >> 24) & 0xFF);
        const auto fy = static_cast<std::uint32_t>((vs >> 24) & 0xFF);
        std::uint32_t t00, t10, t01, t11;
        if (static_cast<unsigned>(i) < static_cast<unsigned>(width - 1) &&
            static_cast<unsigned>(j) < static_cast<unsigned>(height - 1)) {
            const std::uint32_t *p = pixels + static_cast<std::ptrdiff_t>(j) * stride + i;
            t00 = p[0], t10 = p[1], t01 = p[stride], t11 = p[stride + 1];
        } else {
            t00 = fetch(i, j), t10 = fetch(i + 1, j), t01 = fetch(i, j + 1), t11 = fetch(i + 1, j + 1);
        }
        if (t00 == t10 && t01 == t11 && t00 == t01) return t00;
#if defined(__SSE2__)
        // The same arithmetic as the lerp_texel form below, both rows at once in 16-bit lanes.
        const __m128i zero = _mm_setzero_si128();
        const __m128i left = _mm_unpacklo_epi8(_mm_set_epi32(0, 0, int(t01), int(t00)), zero);
        const __m128i right = _mm_unpacklo_epi8(_mm_set_epi32(0, 0, int(t11), int(t10)), zero);
        const __m128i across =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(left, _mm_set1_epi16(short(256 - fx))),
                                         _mm_mullo_epi16(right, _mm_set1_epi16(short(fx)))),
                           8);
        const short top = short(256 - fy), bottom = short(fy);
        const __m128i weighted =
            _mm_mullo_epi16(across, _mm_set_epi16(bottom, bottom, bottom, bottom, top, top, top, top));
        const __m128i down = _mm_srli_epi16(_mm_add_epi16(weighted, _mm_srli_si128(weighted, 8)), 8);
        return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(down, down)));
#else
        return lerp_texel(lerp_texel(t00, t10, fx), lerp_texel(t01, t11, fx), fy);
#endif
    }
};

// A rectangle: every covered point is white and opaque before the tint.
struct flat_sampler {
    [[gnu::always_inline]] std::uint32_t operator()(fixed, fixed) const { return 0xFFFFFFFFu; }
};

// Whether bilinear alpha and light spans take the four-pixel SSE2 loop; the scalar loop is the reference.
bool simd_spans = true;

// Sets one pixel of a span from the sample at (u, v): the scalar reference for every mode.
template <int Blend, bool Tinted, bool Covered, class Sampler>
[[gnu::always_inline]] inline void fill_pixel(std::uint32_t &dst, fixed u, fixed v, const Sampler &sample,
                                              const paint &p, const std::uint8_t *seen,
                                              std::ptrdiff_t seen_stride, fixed off) {
    if constexpr (Covered) {
        if (!seen[((v + off) >> 32) * seen_stride + ((u + off) >> 32)]) return;
    }
    const std::uint32_t s = sample(u, v);
    const std::uint32_t sa = s >> 24;
    if constexpr (Blend != blend_solid) {
        if (sa == 0) return;
    }
    if constexpr (Blend == blend_mask) {
        if (!p.mask_on[sa]) return;
    }
    std::uint32_t colour = s | 0xFF000000u;
    if constexpr (Tinted)
        colour = 0xFF000000u | (std::uint32_t{p.tint_r[channel(s, 16)]} << 16) |
                 (std::uint32_t{p.tint_g[channel(s, 8)]} << 8) | p.tint_b[channel(s, 0)];
    if constexpr (Blend == blend_mask || Blend == blend_solid) {
        dst = colour;
    } else if constexpr (Blend == blend_alpha) {
        const std::uint32_t a = p.alpha[sa];
        if (a == 0) return;
        dst = a == 255 ? colour : lerp_texel(dst, colour, a + (a >> 7));  // weight 0..255 made 0..256
    } else {
        const std::uint32_t a = p.alpha[sa];
        if (a == 0) return;
        const std::uint32_t cr = channel(colour, 16), cg = channel(colour, 8), cb = channel(colour, 0);
        const std::uint32_t dr = channel(dst, 16), dg = channel(dst, 8), db = channel(dst, 0);
        std::uint32_t r, g, b;
        if constexpr (Blend == blend_light) {
            r = std::min(255u, dr + div255(cr * a));
            g = std::min(255u, dg + div255(cg * a));
            b = std::min(255u, db + div255(cb * a));
        } else {  // shade: the destination darkened by the colour, as far as the alpha reaches
            r = div255(div255(dr * cr) * a + dr * (255 - a));
            g = div255(div255(dg * cg) * a + dg * (255 - a));
            b = div255(div255(db * cb) * a + db * (255 - a));
        }
        dst = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
}

#if defined(__SSE2__)
// Two 16-bit weights, each spread over four lanes: lo in lanes 0-3, hi in lanes 4-7.
[[gnu::always_inline]] inline __m128i weight_pair(int lo, int hi) {
    const __m128i both = _mm_cvtsi32_si128(lo | hi << 16);
    const __m128i doubled = _mm_unpacklo_epi16(both, both);
    return _mm_unpacklo_epi32(doubled, doubled);
}

// One bilinear sample in the low four 16-bit lanes (blue first), the arithmetic of bilinear_sampler;
// p points at the top-left texel of the 2x2, all four inside the picture.
[[gnu::always_inline]] inline __m128i bilinear_lanes(const std::uint32_t *p, int stride, int fx, int fy) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i across_w = weight_pair(256 - fx, fx);
    const __m128i top = _mm_mullo_epi16(
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p)), zero), across_w);
    const __m128i bottom = _mm_mullo_epi16(
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p + stride)), zero), across_w);
    // Each row's two texels summed: the top row's in the low half, the bottom row's in the high half.
    const __m128i rows =
        _mm_srli_epi16(_mm_add_epi16(_mm_unpacklo_epi64(top, bottom), _mm_unpackhi_epi64(top, bottom)), 8);
    const __m128i weighted = _mm_mullo_epi16(rows, weight_pair(256 - fy, fy));
    return _mm_srli_epi16(_mm_add_epi16(weighted, _mm_srli_si128(weighted, 8)), 8);
}

// x / 255 rounded in each 16-bit lane, for x in 0 .. 255 * 255: div255 four channels at a time.
[[gnu::always_inline]] inline __m128i div255_lanes(__m128i x) {
    x = _mm_add_epi16(x, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

// Bilinear alpha and light spans four pixels at a time, giving exactly the scalar loop's pixels: the
// same integer steps in 16-bit lanes. Groups that touch the picture's edge go through the scalar loop.
template <int Blend, bool Tinted, bool Covered>
void fill_span_sse2(std::uint32_t *row, int lo, int hi, fixed u, fixed v, fixed du, fixed dv,
                    const bilinear_sampler &sample, const paint &p, const std::uint8_t *seen,
                    std::ptrdiff_t seen_stride, fixed off) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alpha_lane = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
    const __m128i tint = _mm_set_epi16(0, short(p.tint_r[255]), short(p.tint_g[255]), short(p.tint_b[255]), 0,
                                       short(p.tint_r[255]), short(p.tint_g[255]), short(p.tint_b[255]));
    const auto last_i = static_cast<unsigned>(sample.width - 1);
    const auto last_j = static_cast<unsigned>(sample.height - 1);
    int px = lo;
    for (;;) {
        if constexpr (Covered) {
            // Clear pixels are passed one at a time, so that each group starts on one that may show.
            while (px < hi && !seen[((v + off) >> 32) * seen_stride + ((u + off) >> 32)])
                ++px, u += du, v += dv;
        }
        if (px + 4 > hi) break;
        const fixed uk[4] = {u, u + du, u + 2 * du, u + 3 * du}, vk[4] = {v, v + dv, v + 2 * dv, v + 3 * dv};
        u += 4 * du, v += 4 * dv;
        const int at_px = px;
        px += 4;
        std::ptrdiff_t at[4];
        int fx[4], fy[4];
        bool inner = true;
        for (int k = 0; k < 4; ++k) {
            const fixed us = uk[k] - fixed_half, vs = vk[k] - fixed_half;
            const int i = static_cast<int>(us >> 32), j = static_cast<int>(vs >> 32);
            fx[k] = static_cast<int>((us >> 24) & 0xFF);
            fy[k] = static_cast<int>((vs >> 24) & 0xFF);
            inner &= static_cast<unsigned>(i) < last_i && static_cast<unsigned>(j) < last_j;
            at[k] = static_cast<std::ptrdiff_t>(j) * sample.stride + i;
        }
        if (!inner) {
            for (int k = 0; k < 4; ++k)
                fill_pixel<Blend, Tinted, Covered>(row[at_px + k], uk[k], vk[k], sample, p, seen, seen_stride,
                                                   off);
            continue;
        }
        const __m128i s01 =
            _mm_unpacklo_epi64(bilinear_lanes(sample.pixels + at[0], sample.stride, fx[0], fy[0]),
                               bilinear_lanes(sample.pixels + at[1], sample.stride, fx[1], fy[1]));
        const __m128i s23 =
            _mm_unpacklo_epi64(bilinear_lanes(sample.pixels + at[2], sample.stride, fx[2], fy[2]),
                               bilinear_lanes(sample.pixels + at[3], sample.stride, fx[3], fy[3]));
        const int a0 = p.alpha[_mm_extract_epi16(s01, 3)], a1 = p.alpha[_mm_extract_epi16(s01, 7)];
        const int a2 = p.alpha[_mm_extract_epi16(s23, 3)], a3 = p.alpha[_mm_extract_epi16(s23, 7)];
        if ((a0 | a1 | a2 | a3) == 0) continue;
        __m128i c01 = s01, c23 = s23;
        if constexpr (Tinted) {
            c01 = div255_lanes(_mm_mullo_epi16(c01, tint));
            c23 = div255_lanes(_mm_mullo_epi16(c23, tint));
        }
        c01 = _mm_or_si128(c01, alpha_lane);
        c23 = _mm_or_si128(c23, alpha_lane);
        __m128i *out = reinterpret_cast<__m128i *>(row + at_px);
        const __m128i dst = _mm_loadu_si128(out);
        const __m128i d01 = _mm_unpacklo_epi8(dst, zero), d23 = _mm_unpackhi_epi8(dst, zero);
        if constexpr (Blend == blend_alpha) {
            // lerp_texel with weight a + a / 128; a weight of 0 leaves the pixel as it was.
            const __m128i w01 = weight_pair(a0 + (a0 >> 7), a1 + (a1 >> 7));
            const __m128i w23 = weight_pair(a2 + (a2 >> 7), a3 + (a3 >> 7));
            const __m128i k256 = _mm_set1_epi16(256);
            const __m128i r01 = _mm_srli_epi16(
                _mm_add_epi16(_mm_mullo_epi16(d01, _mm_sub_epi16(k256, w01)), _mm_mullo_epi16(c01, w01)), 8);
            const __m128i r23 = _mm_srli_epi16(
                _mm_add_epi16(_mm_mullo_epi16(d23, _mm_sub_epi16(k256, w23)), _mm_mullo_epi16(c23, w23)), 8);
            _mm_storeu_si128(out, _mm_packus_epi16(r01, r23));
        } else {
            // Light: each channel plus the colour times the alpha, capped at 255; pixels of alpha 0 stay.
            const __m128i av01 = weight_pair(a0, a1), av23 = weight_pair(a2, a3);
            const __m128i r01 = _mm_add_epi16(d01, div255_lanes(_mm_mullo_epi16(c01, av01)));
            const __m128i r23 = _mm_add_epi16(d23, div255_lanes(_mm_mullo_epi16(c23, av23)));
            const __m128i lit = _mm_or_si128(_mm_packus_epi16(r01, r23), _mm_set1_epi32(int(0xFF000000u)));
            const __m128i keep = _mm_cmpeq_epi32(_mm_set_epi32(a3, a2, a1, a0), zero);
            _mm_storeu_si128(out, _mm_or_si128(_mm_and_si128(keep, dst), _mm_andnot_si128(keep, lit)));
        }
    }
    for (; px < hi; ++px, u += du, v += dv)
        fill_pixel<Blend, Tinted, Covered>(row[px], u, v, sample, p, seen, seen_stride, off);
}
#endif

// Fills pixels [lo, hi) of the row, u and v being the sample point at pixel lo. With `seen` (a coverage's
// positions, `seen_stride` apart, a sample point moved by `off` to its position), pixels whose sample
// can only be clear are passed over before sampling.
template <int Blend, bool Tinted, bool Covered, class Sampler>
void fill_span(std::uint32_t *row, int lo, int hi, fixed u, fixed v, fixed du, fixed dv,
               const Sampler &sample, const paint &p, const std::uint8_t *seen = nullptr,
               std::ptrdiff_t seen_stride = 0, fixed off = 0, bool simd = false) {
    if constexpr (Blend == blend_solid && !Tinted && std::is_same_v<Sampler, nearest_sampler>) {
        // Unscaled and unturned, a row of the picture lands texel for texel: a straight copy.
        if (du == fixed{1} << 32 && dv == 0) {
            const std::uint32_t *src = sample.pixels + static_cast<std::ptrdiff_t>(v >> 32) * sample.stride +
                                       static_cast<std::ptrdiff_t>(u >> 32);
            for (int px = lo; px < hi; ++px) row[px] = *src++ | 0xFF000000u;
            return;
        }
    }
#if defined(__SSE2__)
    if constexpr (std::is_same_v<Sampler, bilinear_sampler> &&
                  (Blend == blend_alpha || Blend == blend_light)) {
        if (simd) {
            fill_span_sse2<Blend, Tinted, Covered>(row, lo, hi, u, v, du, dv, sample, p, seen, seen_stride,
                                                   off);
            return;
        }
    }
#endif
    (void)simd;
    for (int px = lo; px < hi; ++px, u += du, v += dv)
        fill_pixel<Blend, Tinted, Covered>(row[px], u, v, sample, p, seen, seen_stride, off);
}

// Where the picture's rectangle [0, width) x [0, height) sits: the screen point its handle lands on,
// and how texel coordinates change per screen pixel.
struct mapping {
    double x = 0, y = 0, handle_x = 0, handle_y = 0;
    double width = 0, height = 0;
    double du_dx = 0, du_dy = 0, dv_dx = 0, dv_dy = 0;
};

mapping make_mapping(double x, double y, double handle_x, double handle_y, double width, double height,
                     const paint &p) {
    mapping m{x, y, handle_x, handle_y, width, height};
    // Inverse of screen = origin + R * S * (texel - handle), R turning clockwise on a y-down screen.
    m.du_dx = p.cos_r / p.sx;
    m.du_dy = p.sin_r / p.sx;
    m.dv_dx = -p.sin_r / p.sy;
    m.dv_dy = p.cos_r / p.sy;
    return m;
}

// Narrows [lo, hi) to the pixel positions t whose texel coordinate c0 + dc * t lies in [0, size).
[[gnu::always_inline]] inline void clip_axis(double c0, double dc, double size, double &lo, double &hi) {
    if (dc > 0) {
        lo = std::max(lo, -c0 / dc);
        hi = std::min(hi, (size - c0) / dc);
    } else if (dc < 0) {
        lo = std::max(lo, (size - c0) / dc);
        hi = std::min(hi, -c0 / dc);
    } else if (!(c0 >= 0 && c0 < size)) {
        hi = lo;
    }
}

// Calls span(row, lo, hi, u, v, du, dv) for each screen row with the run of pixels whose centres map
// inside the picture, u and v being the fixed-point texel coordinates at pixel lo.
template <class Span>
void walk_rows(frame_buffer &fb, const mapping &m, const paint &p, Span &&span) {
    const double cx[4] = {0, m.width, 0, m.width}, cy[4] = {0, 0, m.height, m.height};
    double ymin = HUGE_VAL, ymax = -HUGE_VAL;
    for (int k = 0; k < 4; ++k) {
        const double sy = m.y + p.sin_r * p.sx * (cx[k] - m.handle_x) + p.cos_r * p.sy * (cy[k] - m.handle_y);
        ymin = std::min(ymin, sy);
        ymax = std::max(ymax, sy);
    }
    if (!std::isfinite(ymin) || !std::isfinite(ymax) || !std::isfinite(m.x) || !std::isfinite(m.y)) return;
    const int row_lo = static_cast<int>(std::max(0.0, std::floor(ymin) - 1));
    const int row_hi = static_cast<int>(std::min<double>(fb.height, std::ceil(ymax) + 1));

    const fixed u_end = to_fixed(m.width), v_end = to_fixed(m.height);
    const fixed du = to_fixed(m.du_dx), dv = to_fixed(m.dv_dx);
    auto inside = [&](fixed u, fixed v) { return u >= 0 && u < u_end && v >= 0 && v < v_end; };

    // Each row is worked out from its own y alone, so any split of the rows gives the same pixels.
    auto rows = [&](int first_row, int end_row) {
        for (int py = first_row; py < end_row; ++py) {
            const double dy = py + 0.5 - m.y, dx0 = 0.5 - m.x;
            const double u0 = m.du_dx * dx0 + m.du_dy * dy + m.handle_x;
            const double v0 = m.dv_dx * dx0 + m.dv_dy * dy + m.handle_y;
            double lo = 0, hi = fb.width;
            clip_axis(u0, m.du_dx, m.width, lo, hi);
            clip_axis(v0, m.dv_dx, m.height, lo, hi);
            if (!(lo < hi)) continue;
            // One pixel of slack on each side, then the exact test in fixed point trims the ends.
            int first = static_cast<int>(std::max(0.0, std::floor(lo) - 1));
            int last = static_cast<int>(std::min<double>(fb.width, std::ceil(hi) + 1));
            fixed u = to_fixed(u0 + m.du_dx * first), v = to_fixed(v0 + m.dv_dx * first);
            while (first < last && !inside(u, v)) ++first, u += du, v += dv;
            if (first == last) continue;
            fixed ul = u + du * (last - 1 - first), vl = v + dv * (last - 1 - first);
            while (last > first && !inside(ul, vl)) --last, ul -= du, vl -= dv;
            span(fb.pixels.data() + static_cast<std::ptrdiff_t>(py) * fb.width, first, last, u, v, du, dv);
        }
    };
    if (row_hi <= row_lo) return;
    // About how many pixels the draw covers: its box on the screen, cut to the screen's width.
    double xmin = HUGE_VAL, xmax = -HUGE_VAL;
    for (int k = 0; k < 4; ++k) {
        const double sx = m.x + p.cos_r * p.sx * (cx[k] - m.handle_x) - p.sin_r * p.sy * (cy[k] - m.handle_y);
        xmin = std::min(xmin, sx);
        xmax = std::max(xmax, sx);
    }
    const double width = std::clamp(std::min<double>(xmax, fb.width) - std::max(xmin, 0.0), 0.0,
                                    static_cast<double>(fb.width));
    const auto pixels = static_cast<std::int64_t>(width * (row_hi - row_lo));
    draw_rows(
        row_lo, row_hi, pixels,
        [](void *context, int first_row, int end_row) {
            (*static_cast<decltype(rows) *>(context))(first_row, end_row);
        },
        &rows);
}

template <class Sampler>
void fill(frame_buffer &fb, const mapping &m, const paint &p, const Sampler &sample,
          const coverage *cover = nullptr) {
    const bool tinted = p.tint_r[255] != 255 || p.tint_g[255] != 255 || p.tint_b[255] != 255;
    // Where the sample is clear, every mode but solid leaves the pixel alone: only those can skip.
    // A bilinear sample point's position is that of the texel up and left of it, plus one.
    const coverage *skip = p.blend == blend_solid ? nullptr : cover;
    const fixed off = std::is_same_v<Sampler, bilinear_sampler> ? fixed_half : 0;
    const bool simd = simd_spans;
    auto run = [&]<int Blend>() {
        walk_rows(fb, m, p, [&](std::uint32_t *row, int lo, int hi, fixed u, fixed v, fixed du, fixed dv) {
            if (skip) {
                const std::uint8_t *seen = skip->seen.data();
                if (tinted)
                    fill_span<Blend, true, true>(row, lo, hi, u, v, du, dv, sample, p, seen, skip->stride,
                                                 off, simd);
                else
                    fill_span<Blend, false, true>(row, lo, hi, u, v, du, dv, sample, p, seen, skip->stride,
                                                  off, simd);
            } else if (tinted) {
                fill_span<Blend, true, false>(row, lo, hi, u, v, du, dv, sample, p, nullptr, 0, off, simd);
            } else {
                fill_span<Blend, false, false>(row, lo, hi, u, v, du, dv, sample, p, nullptr, 0, off, simd);
            }
        });
    };
    switch (p.blend) {
        case blend_solid:
            run.template operator()<blend_solid>();
            break;
        case blend_alpha:
            run.template operator()<blend_alpha>();
            break;
        case blend_light:
            run.template operator()<blend_light>();
            break;
        case blend_shade:
            run.template operator()<blend_shade>();
            break;
        default:
            run.template operator()<blend_mask>();
            break;
    }
}

}  // namespace

void set_raster_simd(bool on) { simd_spans = on; }
bool raster_simd() { return simd_spans; }

paint make_paint(const draw_state &state) {
    paint p;
    p.blend = state.blend;
    const auto tint = [](int c) { return static_cast<std::uint32_t>(std::clamp(c, 0, 255)); };
    const std::uint32_t r = tint(state.r), g = tint(state.g), b = tint(state.b);
    const double alpha = state.alpha >= 0 ? std::min(1.0, static_cast<double>(state.alpha)) : 0.0;
    for (std::uint32_t c = 0; c < 256; ++c) {
        p.tint_r[c] = static_cast<std::uint8_t>(div255(c * r));
        p.tint_g[c] = static_cast<std::uint8_t>(div255(c * g));
        p.tint_b[c] = static_cast<std::uint8_t>(div255(c * b));
    }
    // Only the tables the blend mode reads are worked out.
    if (p.blend == blend_alpha || p.blend == blend_light || p.blend == blend_shade)
        for (std::uint32_t c = 0; c < 256; ++c)
            p.alpha[c] = static_cast<std::uint8_t>(round_half_up(c * alpha));
    if (p.blend != blend_solid && p.blend != blend_alpha && p.blend != blend_light && p.blend != blend_shade)
        for (std::uint32_t c = 0; c < 256; ++c) p.mask_on[c] = c * alpha >= 127.5;
    p.sx = state.sx;
    p.sy = state.sy;
    const double turn = std::fmod(static_cast<double>(state.rotation), 360.0);
    p.transformed = turn != 0 || state.sx != 1 || state.sy != 1;
    p.cos_r = cos_deg(turn);
    p.sin_r = sin_deg(turn);
    p.drawable = std::isfinite(turn) && std::isfinite(p.sx) && std::isfinite(p.sy) &&
                 std::fabs(p.sx) * max_texels_per_pixel >= 1 && std::fabs(p.sy) * max_texels_per_pixel >= 1;
    return p;
}

coverage make_coverage(const texture_view &pic) {
    coverage c;
    if (!pic.pixels || pic.width <= 0 || pic.height <= 0) return c;
    const int w = pic.width, h = pic.height;
    c.stride = w + 1;
    c.seen.assign(static_cast<std::size_t>(c.stride) * (h + 1), 0);
    // Texel (i, j) is seen nearest from position (i, j) and bilinearly from the four positions whose
    // 2x2 texels hold it: (i .. i + 1, j .. j + 1).
    for (int j = 0; j < h; ++j) {
        const std::uint32_t *texels = pic.pixels + static_cast<std::ptrdiff_t>(j) * pic.stride;
        std::uint8_t *here = c.seen.data() + static_cast<std::size_t>(j) * c.stride;
        std::uint8_t *below = here + c.stride;
        for (int i = 0; i < w; ++i) {
            const std::uint8_t on = (texels[i] >> 24) != 0;
            here[i] |= on, here[i + 1] |= on, below[i] |= on, below[i + 1] |= on;
        }
    }
    return c;
}

void raster_picture(frame_buffer &fb, const texture_view &pic, bool filtered, std::uint32_t outside, double x,
                    double y, double handle_x, double handle_y, const paint &p) {
    if (!p.drawable || !pic.pixels || pic.width <= 0 || pic.height <= 0) return;
    const mapping m = make_mapping(x, y, handle_x, handle_y, pic.width, pic.height, p);
    // The coverage counts whatever lies around the picture as clear, and must be the picture's own size.
    const coverage *cover = pic.cover;
    if (cover && ((outside >> 24) != 0 || cover->stride != pic.width + 1 ||
                  cover->seen.size() != static_cast<std::size_t>(cover->stride) * (pic.height + 1)))
        cover = nullptr;
    if (filtered && p.transformed)
        fill(fb, m, p, bilinear_sampler{pic.pixels, pic.stride, pic.width, pic.height, outside}, cover);
    else
        fill(fb, m, p, nearest_sampler{pic.pixels, pic.stride}, cover);
}

void raster_rect(frame_buffer &fb, double x, double y, double width, double height, const paint &p) {
    if (!p.drawable || !(width > 0) || !(height > 0)) return;
    fill(fb, make_mapping(x, y, 0, 0, width, height, p), p, flat_sampler{});
}

}  // namespace platform
