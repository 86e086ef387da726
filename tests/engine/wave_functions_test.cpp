// The shared wave functions against hand-computed values.
#include "engine/wave_functions.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace mw {
namespace {

constexpr double kEps = 1e-12;

TEST(WaveFunctions, TriangleSquareStepAndTheirBlendsAtChosenPhases) {
    // At k pi / 8. Triangle: 0, +1, 0, -1 at the quarter turns, linear in between. Square: +1 for the first
    // half turn, then -1. Step: 0 below pi/4, 1 up to 3pi/4, 0 up to 5pi/4, -1 up to 7pi/4, then 0. Phases
    // outside 0..2pi are reduced first.
    const struct {
        int k;
        double triangle, square, step;
    } cases[] = {{0, 0.0, 1.0, 0.0},      {1, 0.25, 1.0, 0.0},     {3, 0.75, 1.0, 1.0},
                 {4, 1.0, 1.0, 1.0},      {5, 0.75, 1.0, 1.0},     {7, 0.25, 1.0, 0.0},
                 {9, -0.25, -1.0, 0.0},   {11, -0.75, -1.0, -1.0}, {12, -1.0, -1.0, -1.0},
                 {13, -0.75, -1.0, -1.0}, {15, -0.25, -1.0, 0.0},  {-1, -0.25, -1.0, 0.0},
                 {-4, -1.0, -1.0, -1.0},  {-12, 1.0, 1.0, 1.0},    {17, 0.25, 1.0, 0.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.k);
        const double p = c.k * kPi / 8, sine = std::sin(p);
        EXPECT_NEAR(TriangleWave(p), c.triangle, 1e-9);
        EXPECT_EQ(SquareWave(p), c.square);
        EXPECT_EQ(StepWave(p), c.step);
        // Shape: up to 0 the sine, 100 the triangle, 200 the square, 300 and above the step; even mixes
        // halfway between.
        const double waveforms[] = {-1000.0, 0.0, 50.0, 100.0, 150.0, 200.0, 250.0, 300.0, 1000.0};
        const double t = c.triangle, q = c.square, st = c.step;
        const double expected[] = {sine, sine, (sine + t) / 2, t, (t + q) / 2, q, (q + st) / 2, st, st};
        for (size_t i = 0; i < std::size(waveforms); ++i)
            EXPECT_NEAR(Shape(p, waveforms[i]), expected[i], 1e-9) << waveforms[i];
    }
}

TEST(WaveFunctions, SineMatchesTheLibrarySine) {
    double worst = 0.0;
    for (int i = -200000; i <= 200000; ++i) {
        const double x = i * 0.000731 + (i % 7) * 1e-3;
        worst = std::max(worst, std::abs(Sine(x) - std::sin(x)));
    }
    EXPECT_LT(worst, 4e-16);
    for (double x : {0.0, kPi / 2, kPi, 3 * kPi / 2, 2 * kPi, 1e5 + 0.3, -7e5, 1e7, 1e300})
        EXPECT_NEAR(Sine(x), std::sin(x), 1e-15 * std::max(1.0, std::abs(x) * 1e-6)) << x;
    EXPECT_TRUE(std::isnan(Sine(std::nan(""))));
    // The oscillator's sine of a phase in [0, 2pi]; outside that range it is Sine itself.
    worst = 0.0;
    for (int i = 0; i <= 400000; ++i) {
        const double p = kTwoPi * i / 400000.0;
        worst = std::max(worst, std::abs(SineOfPhase(p) - std::sin(p)));
    }
    EXPECT_LT(worst, 2e-13);
    EXPECT_EQ(SineOfPhase(0.0), 0.0);
    for (double p : {-0.5, kTwoPi + 1e-9, 100.0}) EXPECT_EQ(SineOfPhase(p), Sine(p)) << p;
    EXPECT_TRUE(std::isnan(SineOfPhase(std::nan(""))));
}

TEST(WaveFunctions, PhaseWarpAndQuantize) {
    // r > 0: p / (r + 1) + r pi / 2. r < 0, m = -r: below pi p / (m + 1); from pi on
    // 2pi - pi / (m + 1) + (p - pi) / (m + 1).
    const struct {
        double p, r, expected;
    } warps[] = {{1.234, 0.0, 1.234},           {kPi, 1.0, kPi},          {0.0, 0.5, 0.25 * kPi},
                 {3.0, 2.0, 1.0 + kPi},         {kPi / 2, -1.0, kPi / 4}, {kPi, -1.0, 1.5 * kPi},
                 {1.5 * kPi, -1.0, 1.75 * kPi}, {2 * kPi, -3.0, 2 * kPi}};
    for (const auto& w : warps) EXPECT_NEAR(PhaseWarp(w.p, w.r), w.expected, kEps) << w.p << ", " << w.r;
    // A step setting s > 1e-13 cuts towards zero in steps of 1000 s.
    const struct {
        double x, s, expected;
    } steps[] = {{27.5, 0.0, 27.5},  {27.5, 1e-13, 27.5},  {27.5, -1.0, 27.5},
                 {27.5, 0.01, 20.0}, {-27.5, 0.01, -20.0}, {9.99, 0.01, 0.0},
                 {3.7, 0.001, 3.0},  {999.0, 1.0, 0.0},    {-1500.0, 1.0, -1000.0}};
    for (const auto& q : steps) EXPECT_DOUBLE_EQ(Quantize(q.x, q.s), q.expected) << q.x << ", " << q.s;
}

TEST(WaveFunctions, NoiseStepWalksTowardsRandomTargets) {
    // The level moves by 2 f / rate towards the target; within a step of it (or beyond +-1) a new target
    // (r - 16383.5) / 16383.5 is drawn: 32767 gives +1, 0 gives -1. Out-of-range levels are clamped first;
    // at f = 0 nothing changes at all.
    const double kAny = std::nan(""); // (beyond 1: only the new target matters)
    const struct {
        double level, target, f;
        int draw;
        double newLevel, newTarget;
        int draws;
    } cases[] = {{3.0, -7.0, 0.0, 32767, 3.0, -7.0, 0},    {0.0, 0.5, 480.0, 32767, 0.02, 0.5, 0},
                 {0.3, -0.5, 480.0, 32767, 0.28, -0.5, 0}, {0.49, 0.5, 480.0, 32767, 0.51, 1.0, 1},
                 {0.995, 1.0, 480.0, 0, kAny, -1.0, 1},    {5.0, 0.0, 480.0, 16384, 0.98, 0.0, 0}};
    int draws = 0, next = 0;
    const auto draw = [&] {
        ++draws;
        return next;
    };
    for (const auto& c : cases) {
        double level = c.level, target = c.target;
        draws = 0;
        next = c.draw;
        NoiseStep(level, target, c.f, 48000.0, draw);
        if (!std::isnan(c.newLevel)) {
            EXPECT_NEAR(level, c.newLevel, kEps) << c.level;
        }
        EXPECT_EQ(target, c.newTarget) << c.level;
        EXPECT_EQ(draws, c.draws) << c.level;
    }
    // From -1 to a target of +1 at f = 1 Hz takes one second of steps.
    double level = -1.0, target = 1.0;
    int steps = 0;
    for (draws = 0, next = 32767; draws == 0 && steps < 100000; ++steps)
        NoiseStep(level, target, 1.0, 48000.0, draw);
    EXPECT_NEAR(steps, 48000, 1);
}

} // namespace
} // namespace mw
