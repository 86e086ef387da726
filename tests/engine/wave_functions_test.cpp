// The shared wave functions against hand-computed values.
#include "engine/wave_functions.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace mw {
namespace {

constexpr double kEps = 1e-12;
const double kSin45 = std::sqrt(0.5);

TEST(WaveFunctions, TriangleSquareAndStepAtChosenPhases) {
    // Triangle: 0 at 0, +1 at pi/2, 0 at pi, -1 at 3pi/2, linear in between.
    EXPECT_NEAR(TriangleWave(0.0), 0.0, kEps);
    EXPECT_NEAR(TriangleWave(kPi / 4), 0.5, kEps);
    EXPECT_NEAR(TriangleWave(kPi / 2), 1.0, kEps);
    EXPECT_NEAR(TriangleWave(3 * kPi / 4), 0.5, kEps);
    EXPECT_NEAR(TriangleWave(kPi), 0.0, kEps);
    EXPECT_NEAR(TriangleWave(3 * kPi / 2), -1.0, kEps);
    EXPECT_NEAR(TriangleWave(7 * kPi / 4), -0.5, kEps);
    // Phases outside 0..2pi are reduced first: -pi/4 is 7pi/4, 2pi + pi/4 is pi/4.
    EXPECT_NEAR(TriangleWave(-kPi / 4), -0.5, kEps);
    EXPECT_NEAR(TriangleWave(2 * kPi + kPi / 4), 0.5, 1e-9);
    EXPECT_NEAR(TriangleWave(-3 * kPi / 2), 1.0, 1e-9);

    EXPECT_EQ(SquareWave(0.0), 1.0);
    EXPECT_EQ(SquareWave(kPi / 2), 1.0);
    EXPECT_EQ(SquareWave(kPi + 1e-9), -1.0);
    EXPECT_EQ(SquareWave(3 * kPi / 2), -1.0);
    EXPECT_EQ(SquareWave(-kPi / 2), -1.0);    // 3pi/2
    EXPECT_EQ(SquareWave(-3 * kPi / 2), 1.0); // pi/2

    // Step: 0 below pi/4, 1 up to 3pi/4, 0 up to 5pi/4, -1 up to 7pi/4, then 0.
    EXPECT_EQ(StepWave(kPi / 8), 0.0);
    EXPECT_EQ(StepWave(kPi / 2), 1.0);
    EXPECT_EQ(StepWave(kPi), 0.0);
    EXPECT_EQ(StepWave(3 * kPi / 2), -1.0);
    EXPECT_EQ(StepWave(15 * kPi / 8), 0.0);
    EXPECT_EQ(StepWave(-kPi / 2), -1.0);
}

TEST(WaveFunctions, ShapeBlendsSineTriangleSquareAndStep) {
    const double p = kPi / 4; // sin = 0.7071, triangle 0.5, square 1, step 0 (just below pi/4 it is 0)
    // Negative and zero: the sine.
    EXPECT_NEAR(Shape(p, -20.0), kSin45, kEps);
    EXPECT_NEAR(Shape(p, 0.0), kSin45, kEps);
    EXPECT_NEAR(Shape(1.0, -1000.0), std::sin(1.0), kEps);
    // 50: half sine, half triangle.
    EXPECT_NEAR(Shape(p, 50.0), 0.5 * kSin45 + 0.25, kEps);
    EXPECT_NEAR(Shape(p, 100.0), 0.5, kEps);
    // 150: the even mix of triangle and square: at pi/4 (0.5 + 1) / 2, at 5pi/4 (-0.5 - 1) / 2.
    EXPECT_NEAR(Shape(kPi / 4, 150.0), 0.75, kEps);
    EXPECT_NEAR(Shape(5 * kPi / 4, 150.0), -0.75, kEps);
    EXPECT_NEAR(Shape(kPi / 2, 150.0), 1.0, kEps);
    EXPECT_EQ(Shape(kPi / 8, 200.0), 1.0);
    // 250: the even mix of square and step: at pi/8 (1 + 0) / 2, at pi/2 (1 + 1) / 2, at pi (-1 + 0) / 2.
    EXPECT_NEAR(Shape(kPi / 8, 250.0), 0.5, kEps);
    EXPECT_NEAR(Shape(kPi / 2, 250.0), 1.0, kEps);
    EXPECT_NEAR(Shape(kPi, 250.0), -0.5, kEps);
    EXPECT_NEAR(Shape(3 * kPi / 2, 250.0), -1.0, kEps);
    // 300 and above: the step wave.
    EXPECT_EQ(Shape(kPi / 8, 300.0), 0.0);
    EXPECT_EQ(Shape(kPi / 2, 300.0), 1.0);
    EXPECT_EQ(Shape(3 * kPi / 2, 1000.0), -1.0);
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

TEST(WaveFunctions, PhaseWarp) {
    EXPECT_EQ(PhaseWarp(1.234, 0.0), 1.234);
    // r > 0: p / (r + 1) + r pi / 2.
    EXPECT_NEAR(PhaseWarp(kPi, 1.0), kPi / 2 + kPi / 2, kEps);
    EXPECT_NEAR(PhaseWarp(0.0, 0.5), 0.25 * kPi, kEps);
    EXPECT_NEAR(PhaseWarp(3.0, 2.0), 1.0 + kPi, kEps);
    // r < 0, m = -r: below pi p / (m + 1); from pi on 2pi - pi / (m + 1) + (p - pi) / (m + 1).
    EXPECT_NEAR(PhaseWarp(kPi / 2, -1.0), kPi / 4, kEps);
    EXPECT_NEAR(PhaseWarp(kPi, -1.0), 1.5 * kPi, kEps);
    EXPECT_NEAR(PhaseWarp(3 * kPi / 2, -1.0), 1.75 * kPi, kEps);
    EXPECT_NEAR(PhaseWarp(2 * kPi, -3.0), 2 * kPi - kPi / 4 + kPi / 4, kEps);
}

TEST(WaveFunctions, Quantize) {
    EXPECT_EQ(Quantize(27.5, 0.0), 27.5);
    EXPECT_EQ(Quantize(27.5, 1e-13), 27.5);
    EXPECT_EQ(Quantize(27.5, -1.0), 27.5);
    // s = 0.01: steps of 10, towards zero.
    EXPECT_DOUBLE_EQ(Quantize(27.5, 0.01), 20.0);
    EXPECT_DOUBLE_EQ(Quantize(-27.5, 0.01), -20.0);
    EXPECT_DOUBLE_EQ(Quantize(9.99, 0.01), 0.0);
    EXPECT_DOUBLE_EQ(Quantize(3.7, 0.001), 3.0);
    EXPECT_DOUBLE_EQ(Quantize(999.0, 1.0), 0.0);
    EXPECT_DOUBLE_EQ(Quantize(-1500.0, 1.0), -1000.0);
}

TEST(WaveFunctions, NoiseStepWalksTowardsRandomTargets) {
    int draws = 0;
    int next = 32767;
    auto rnd = [&] {
        ++draws;
        return next;
    };
    // f = 0: nothing changes, not even out-of-range values.
    double level = 3.0, target = -7.0;
    NoiseStep(level, target, 0.0, 48000.0, rnd);
    EXPECT_EQ(level, 3.0);
    EXPECT_EQ(target, -7.0);
    EXPECT_EQ(draws, 0);

    // step = 2 f / rate = 0.02, towards the target.
    level = 0.0;
    target = 0.5;
    NoiseStep(level, target, 480.0, 48000.0, rnd);
    EXPECT_NEAR(level, 0.02, kEps);
    EXPECT_EQ(target, 0.5);
    level = 0.3;
    target = -0.5;
    NoiseStep(level, target, 480.0, 48000.0, rnd);
    EXPECT_NEAR(level, 0.28, kEps);

    // Within a step of the target: a new target (r - 16383.5) / 16383.5; 32767 gives +1, 0 gives -1.
    level = 0.49;
    target = 0.5;
    NoiseStep(level, target, 480.0, 48000.0, rnd);
    EXPECT_NEAR(level, 0.51, kEps);
    EXPECT_EQ(target, 1.0);
    EXPECT_EQ(draws, 1);
    next = 0;
    level = 0.995;
    target = 1.0;
    NoiseStep(level, target, 480.0, 48000.0, rnd); // 1.015 is beyond 1: new target
    EXPECT_EQ(target, -1.0);
    next = 16384;
    level = 5.0; // clamped to 1 first
    target = 0.0;
    NoiseStep(level, target, 480.0, 48000.0, rnd);
    EXPECT_NEAR(level, 0.98, kEps);
    EXPECT_EQ(target, 0.0);

    // From -1 to a target of +1 at f = 1 Hz takes one second of steps.
    next = 32767;
    level = -1.0;
    target = 1.0;
    draws = 0;
    int steps = 0;
    while (draws == 0 && steps < 100000) {
        NoiseStep(level, target, 1.0, 48000.0, rnd);
        ++steps;
    }
    EXPECT_NEAR(steps, 48000, 1);
}

} // namespace
} // namespace mw
