// Shared wave functions of the oscillator, the control modulator and the control modules.
// All take and return f64; phases are in radians. They are inline: the oscillator calls them for every
// voice at every sample.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace mw {

class Engine;

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;

// sin x to within a couple of units in the last place, several times faster than the library's.
inline double Sine(double x);
// sin p for an oscillator phase in [0, 2pi] to within 1e-13 (other phases go to Sine): cheaper still.
inline double SineOfPhase(double p);
// p - trunc(p / 2pi) * 2pi, plus 2pi if that is negative.
inline double ReducePhase(double p);
// Triangle through 0 at 0, +1 at pi/2, -1 at 3pi/2.
inline double TriangleWave(double p);
// +1 on [0, pi), -1 on [pi, 2pi).
inline double SquareWave(double p);
// Three-level step: 0, +1 (pi/4..3pi/4), 0, -1 (5pi/4..7pi/4), 0.
inline double StepWave(double p);
// Blend of sine (w <= 0), triangle (100), square (200) and step (>= 300), linear in between. The sine
// is SineOfPhase's.
inline double Shape(double p, double w);
// Ramp warp of a phase in 0..2pi; r = 0 leaves p unchanged.
inline double PhaseWarp(double p, double r);
// Random walk of `level` towards `target` at frequency f (Hz) for a caller running at `rate` calls per
// second. A new target comes from `rand0to32767()` (a uniform integer 0..32767).
template <class RandFn>
void NoiseStep(double& level, double& target, double f, double rate, RandFn&& rand0to32767);
// Same, drawing from the engine's generator.
void NoiseStep(double& level, double& target, double f, double rate, Engine& engine);
// Quantizes x towards zero to steps of 1000 * s when s > 1e-12.
inline double Quantize(double x, double s);

// ---------------------------------------------------------------------------------------- definitions

inline double Sine(double x) {
    // x is brought into [-pi/4, pi/4] by subtracting the nearest multiple of pi/2 (in three parts, exact
    // for |x| below 2^20), then a sine or cosine polynomial on that interval. Far arguments and NaN go to
    // the library.
    if (!(std::abs(x) < 1e6)) return std::sin(x);
    constexpr double kTwoOverPi = 6.36619772367581382433e-01;
    constexpr double kPiOver2a = 1.57079632673412561417e+00; // the first 33 bits of pi/2
    constexpr double kPiOver2b = 6.07710050630396597660e-11; // the next 33 bits
    constexpr double kPiOver2c = 2.02226624871116645580e-21; // the rest
    constexpr double kRoundingShift = 6755399441055744.0;    // 1.5 x 2^52: adding it rounds to an integer
    const double j = (x * kTwoOverPi + kRoundingShift) - kRoundingShift;
    const double r = ((x - j * kPiOver2a) - j * kPiOver2b) - j * kPiOver2c;
    const double z = r * r;
    const double z2 = z * z;
    const double z4 = z2 * z2;
    const int quadrant = int(int64_t(j) & 3);
    double v;
    if ((quadrant & 1) == 0) {
        constexpr double S1 = -1.66666666666666324348e-01, S2 = 8.33333333332248946124e-03,
                         S3 = -1.98412698298579493134e-04, S4 = 2.75573137070700676789e-06,
                         S5 = -2.50507602534068634195e-08, S6 = 1.58969099521155010221e-10;
        const double poly = (S1 + z * S2) + z2 * (S3 + z * S4) + z4 * (S5 + z * S6);
        v = r + r * z * poly;
    } else {
        constexpr double C1 = 4.16666666666666019037e-02, C2 = -1.38888888888741095749e-03,
                         C3 = 2.48015872894767294178e-05, C4 = -2.75573143513906633035e-07,
                         C5 = 2.08757232129817482790e-09, C6 = -1.13596475577881948265e-11;
        const double poly = (C1 + z * C2) + z2 * (C3 + z * C4) + z4 * (C5 + z * C6);
        v = 1.0 - 0.5 * z + z2 * poly;
    }
    return (quadrant & 2) ? -v : v;
}

// (out of line: phases outside one turn are rare, and the usual path stays small enough to inline)
[[gnu::noinline, gnu::cold]] inline double SineOutsideOneTurn(double p) {
    return Sine(p);
}

[[gnu::always_inline]] inline double SineOfPhase(double p) {
    if (!(p >= 0.0 && p <= kTwoPi)) [[unlikely]]
        return SineOutsideOneTurn(p);
    // By symmetry into [0, pi/2], without branches: sin p = sin(pi - p) = sign(x) sin |x| with x = pi - p,
    // and sin |x| = sin(pi - |x|).
    const double x0 = kPi - p;
    const double ax = std::abs(x0);
    const double x = std::min(ax, kPi - ax);
    // An odd polynomial of degree 13 fitted to sin on [0, pi/2] (largest error 1e-13).
    constexpr double S1 = -0.16666666666273505, S2 = 0.008333333311342605, S3 = -0.0001984126526468669,
                     S4 = 2.75568517196117e-06, S5 = -2.5026896950230276e-08, S6 = 1.5368565534773504e-10;
    const double z = x * x;
    const double z2 = z * z;
    const double z4 = z2 * z2;
    const double poly = (S1 + z * S2) + z2 * (S3 + z * S4) + z4 * (S5 + z * S6);
    return std::copysign(x + x * z * poly, x0);
}

inline double ReducePhase(double p) {
    if (p >= 0.0 && p < kTwoPi) return p; // the usual case: already one turn
    double r = p - std::trunc(p / kTwoPi) * kTwoPi;
    if (r < 0.0) r += kTwoPi;
    return r;
}

// a where c holds, else b, chosen on the bits: no branch for the processor to guess.
inline double Select(bool c, double a, double b) {
    uint64_t ua, ub;
    std::memcpy(&ua, &a, sizeof ua);
    std::memcpy(&ub, &b, sizeof ub);
    const uint64_t mask = uint64_t(0) - uint64_t(c);
    const uint64_t r = (ua & mask) | (ub & ~mask);
    double out;
    std::memcpy(&out, &r, sizeof out);
    return out;
}

inline double TriangleWave(double p) {
    p = ReducePhase(p);
    constexpr double k = 2.0 / kPi;
    // The three slopes chosen without branches (a phase running through them is hard to guess).
    const double falling =
        Select(p < 3.0 * kPi / 2.0, (kPi - p) * k, Select(p < kTwoPi, (p - kTwoPi) * k, 0.0));
    return Select(p < kPi / 2.0, p * k, falling);
}

inline double SquareWave(double p) {
    p = ReducePhase(p);
    if (p < kPi) return 1.0;
    if (p < kTwoPi) return -1.0;
    return 0.0;
}

inline double StepWave(double p) {
    p = ReducePhase(p);
    if (p < kPi / 4.0) return 0.0;
    if (p < 3.0 * kPi / 4.0) return 1.0;
    if (p < 5.0 * kPi / 4.0) return 0.0;
    if (p < 7.0 * kPi / 4.0) return -1.0;
    return 0.0;
}

inline double Shape(double p, double w) {
    if (w <= 0.0) return SineOfPhase(p);
    if (w < 100.0) {
        const double a = w / 100.0;
        return (1.0 - a) * SineOfPhase(p) + a * TriangleWave(p);
    }
    if (w == 100.0) return TriangleWave(p);
    if (w < 200.0) {
        const double a = (w - 100.0) / 100.0;
        return (1.0 - a) * TriangleWave(p) + a * SquareWave(p);
    }
    if (w == 200.0) return SquareWave(p);
    if (w < 300.0) {
        const double a = (w - 200.0) / 100.0;
        return (1.0 - a) * SquareWave(p) + a * StepWave(p);
    }
    if (w >= 300.0) return StepWave(p);
    return SineOfPhase(p); // a NaN waveform number
}

inline double PhaseWarp(double p, double r) {
    if (r == 0.0) return p;
    if (r > 0.0) return p / (r + 1.0) + r * kPi / 2.0;
    if (r < 0.0) {
        const double m = -r;
        if (p < kPi) return p / (m + 1.0);
        return kTwoPi - kPi / (m + 1.0) + (p - kPi) / (m + 1.0);
    }
    return p; // a NaN ramp
}

template <class RandFn>
[[gnu::always_inline]] inline void NoiseStep(double& level, double& target, double f, double rate,
                                             RandFn&& rand0to32767) {
    if (f == 0.0) return;
    if (!(rate > 0.0) || f != f) return;          // no rate or a NaN frequency: the walk stands still
    level = std::min(std::max(level, -1.0), 1.0); // (NaN stays NaN, as with two comparisons)
    target = std::min(std::max(target, -1.0), 1.0);
    const double step = f * (2.0 / rate); // (with the rate known, a product: no division per step)
    // (selections and magnitudes rather than branches: the walk's turns are not predictable)
    level += level <= target ? step : -step;
    const double d = level - target;
    if (std::abs(d) < step || std::abs(level) > 1.0) {
        const double r = static_cast<double>(rand0to32767());
        target = (r - 16383.5) / 16383.5;
    }
}

inline double Quantize(double x, double s) {
    if (s > 1e-12) {
        const double q = 1000.0 * s;
        return std::trunc(x / q) * q;
    }
    return x;
}

} // namespace mw
