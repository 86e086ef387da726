#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <tuple>

#include "control_test_support.hpp"

namespace mw {
namespace {

using K = ModuleKind;

using test::Pitch;

class ControlModulesTest : public ::testing::Test, public test::ControlFixture {};

class NeuronTest : public ControlModulesTest {
protected:
    NeuronTest() {
        n->Link(neuron::InputOutputRatio).value = 100; // R = 1
        n->Link(neuron::DischargeRate).value = 7;      // D = 0.07
        n->Link(neuron::Leakage).value = 0;
    }
    void Set(double dendrite0, double threshold, double leakthrough = 0) {
        n->Link(neuron::Dendrite0).value = dendrite0;
        n->Link(neuron::Threshold).value = threshold;
        n->Link(neuron::Leakthrough).value = leakthrough;
    }
    // One sample of the neuron alone.
    double Step() {
        std::array<Module*, 1> list{n};
        engine.Ops(K::ControlNeuron).evaluate(engine, list);
        return Out(n).value[0];
    }
    Module* n = Create(K::ControlNeuron);
};

TEST_F(NeuronTest, ThresholdZeroNeverFiresAndPassesOnlyTheLeakThrough) {
    Set(100, 0, 10); // 1 per second of samples: E += 1/48 per sample; Lt = 0.1
    // E before the leak after n samples is (1 - r^n) / 0.1 with r = 1 - 0.1/48; the output is
    // Lt x E / 48 x 48 x 1000 = 1000 (1 - r^n).
    const double r = 1.0 - 0.1 / 48.0;
    for (int s = 1; s <= 500; ++s) {
        const double out = Step();
        if (s == 1 || s == 500) {
            EXPECT_NEAR(out, 1000.0 * (1.0 - std::pow(r, s)), 1e-9) << s;
        }
    }
    EXPECT_EQ(Out(n).smoothedValue[0], Out(n).value[0]);
}

TEST_F(NeuronTest, NegativeThresholdFiresDownwards) {
    Set(-150, -0.9);                                           // E -= 0.03125 per sample
    for (int s = 1; s <= 28; ++s) EXPECT_EQ(Step(), 0.0) << s; // -0.875 has not reached -0.9
    // Sample 29: E = -0.90625 fires into the charge; 7 % of it per 1/48 drains out at once.
    EXPECT_NEAR(Step(), 0.07 * -0.90625 * 1000.0, 1e-9);
    EXPECT_NEAR(Step(), 0.07 * -0.90625 * (1.0 - 0.07 / 48.0) * 1000.0, 1e-9);
}

TEST_F(NeuronTest, PositiveThresholdIgnoresFallingEnergyAndInputsCanBeMadePositive) {
    Set(-150, 0.9);
    for (int s = 0; s < 100; ++s) EXPECT_EQ(Step(), 0.0);
    n->bools[neuron::MakeAllInputsPositive] = true; // E starts from -3.125 and climbs by 0.03125 a sample
    double out = 0.0;
    for (int s = 0; s < 130 && out == 0.0; ++s) out = Step();
    EXPECT_GT(out, 0.0);
}

TEST_F(NeuronTest, RunawayRatesStartAgainInsteadOfSoundingNaN) {
    Set(100, 0, 10000); // a leak-through of 100 after the clamp: the energy swings ever wider
    for (int s = 0; s < 20000; ++s) ASSERT_TRUE(std::isfinite(Step())) << s;
}

TEST_F(ControlModulesTest, SensitizerAttackFromNeverToAtOnce) {
    const SourceId speed = Measure(MouseMeasure::Speed, 300);
    Module* never = Create(K::ControlSensitizer);
    never->reals[sensitizer::Attack] = 1000;
    never->Link(sensitizer::Input).source = speed;
    Module* fast = Create(K::ControlSensitizer);
    fast->reals[sensitizer::Attack] = 0; // factor 2 (ms): overshoots, held at 127
    fast->Link(sensitizer::Input).source = speed;
    fast->Link(sensitizer::Input).sensitivity = 50;
    Ticks(1);
    EXPECT_NEAR(Out(fast).velocity[0], 127.0 * 0.5, 1e-9);
    Ticks(9); // the value passes
    EXPECT_EQ(
        std::tuple(int(Out(never).voiceCount), Out(never).velocity[0].load(), Out(never).value[0].load()),
        std::tuple(1, 0.0, 300.0));
}

TEST_F(ControlModulesTest, SensitizerFreqModeSmoothsTheValue) {
    Module* m = Create(K::ControlSensitizer);
    m->bools[sensitizer::FreqMode] = true;
    m->reals[sensitizer::Attack] = 500; // a = 0.5^6 x 2 = 0.03125
    Manual(m, sensitizer::Input, 100);  // 1000
    Ticks(1);
    EXPECT_NEAR(Out(m).value[0], 31.25, 1e-9);
    EXPECT_NEAR(Out(m).velocity[0], 127.0, 1e-12);
    Ticks(1);
    const double second = 31.25 * (1 - 0.03125) + 31.25;
    EXPECT_NEAR(Out(m).value[0], second, 1e-9);
    m->reals[sensitizer::Attack] = 0; // from the next tick a = 1 x 2: past the target by as much again
    Ticks(1);
    EXPECT_NEAR(Out(m).value[0], second + (1000.0 - second) * 2.0, 1e-9);
}

TEST_F(ControlModulesTest, SensitizerDropsANoteThatDecayedBelowATenth) {
    Module* m = Create(K::ControlSensitizer);
    m->reals[sensitizer::Attack] = 0;
    m->reals[sensitizer::Decay] = 500; // d = 0.03125
    m->Link(sensitizer::Input).source = Measure(MouseMeasure::Speed, 300);
    Ticks(1);
    ASSERT_NEAR(Out(m).velocity[0], 127.0, 1e-12);
    m->Link(sensitizer::Input).source = kNoSource;
    Ticks(225); // 127 x 0.96875^225 = 0.1003
    ASSERT_EQ(Out(m).voiceCount, 1);
    EXPECT_NEAR(Out(m).velocity[0], 127.0 * std::pow(0.96875, 225), 1e-9);
    Ticks(1); // 0.0972
    EXPECT_EQ(Out(m).voiceCount, 0);
}

TEST_F(ControlModulesTest, EchoRepeatsEveryIntervalFadingByLinger) {
    const auto echo = [&](double linger, bool freqMode) {
        Module* m = Create(K::ControlEcho);
        m->Link(control_echo::Interval).value = 10; // 5 ticks
        m->Link(control_echo::Linger).value = linger;
        m->bools[control_echo::FreqMode] = freqMode; // the value echoes
        m->inputs[control_echo::Input] = Measure(MouseMeasure::Speed, 320);
        return m;
    };
    Module* held = echo(100, false);
    Module* fading = echo(50, true);
    Ticks(1);
    held->inputs[control_echo::Input] = kNoSource;
    fading->inputs[control_echo::Input] = kNoSource;
    ASSERT_EQ(Out(held).voiceCount, 1);
    EXPECT_NEAR(Out(held).value[0], 320.0, 1e-9);
    EXPECT_NEAR(Out(fading).value[0], 160.0, 1e-9);
    for (int repeat = 1; repeat <= 10; ++repeat) {
        Ticks(4);
        EXPECT_EQ(Out(held).voiceCount, 0);
        Ticks(1);
        ASSERT_EQ(Out(held).voiceCount, 1) << repeat;
        EXPECT_NEAR(Out(held).velocity[0], 127.0, 1e-12);
        if (repeat > 2) continue;
        EXPECT_NEAR(Out(fading).value[0], 160.0 * std::pow(0.5, repeat), 1e-9);
        EXPECT_NEAR(Out(fading).velocity[0], 127.0, 1e-12);
    }
}

TEST_F(ControlModulesTest, EchoOnManualReadsAValueOfZeroAndKeepsCellsWithinBounds) {
    Module* m = Create(K::ControlEcho);
    m->Link(control_echo::Interval).value = 1; // less than a tick: one cell
    m->Link(control_echo::Linger).value = 100;
    m->inputs[control_echo::Input] = kManualSource;
    Ticks(1000); // 127 more each tick, up to the limit
    ASSERT_EQ(Out(m).voiceCount, 1);
    EXPECT_EQ(std::tuple(int(Out(m).note[0]), Out(m).value[0].load(), Out(m).velocity[0].load()),
              std::tuple(0, 0.0, 100000.0));
}

TEST_F(ControlModulesTest, EchoKeepsNotesApart) {
    Module* poly = Poly({10, 20});
    Module* m = Create(K::ControlEcho);
    m->Link(control_echo::Interval).value = 10;
    m->Link(control_echo::Linger).value = 100;
    m->inputs[control_echo::Input] = poly->slot[0].load();
    Ticks(2);
    m->inputs[control_echo::Input] = kNoSource;
    // Tick 1 saw the polyphonicator's first voice (note 0); tick 2 its notes 1 and 2.
    ASSERT_EQ(Out(m).voiceCount, 2);
    EXPECT_EQ(std::tuple(int(Out(m).note[0]), int(Out(m).note[1])), std::tuple(1, 2));
    EXPECT_NEAR(Out(m).value[1], 200.0, 1e-9);
    Ticks(4); // tick 6: note 0 again
    EXPECT_EQ(std::tuple(int(Out(m).voiceCount), int(Out(m).note[0])), std::tuple(1, 0));
}

TEST_F(ControlModulesTest, CombineSumsVoicesOfTheSameNote) {
    Module* poly = Poly({10, 20, 30});
    Module* m = Create(K::ControlCombine);
    m->inputs[combine::Input1] = Measure(MouseMeasure::Direction, 100);
    m->inputs[combine::Input2] = Measure(MouseMeasure::Speed, 50);
    m->inputs[combine::Input3] = poly->slot[0].load();
    m->inputs[combine::Input5] = kManualSource; // a voice of value 0 on note 0
    Ticks(2);
    ASSERT_EQ(Out(m).voiceCount, 4);
    EXPECT_EQ(std::tuple(int(Out(m).note[0]), Out(m).value[0].load(), Out(m).velocity[0].load()),
              std::tuple(0, 150.0, 127.0));
    EXPECT_EQ(std::tuple(int(Out(m).note[3]), Out(m).value[3].load()), std::tuple(3, 300.0));
}

// One module per row on a manual input (velocity 127), with at most one setting changed.
TEST_F(ControlModulesTest, PerVoiceMapsOfAManualInput) {
    struct Row {
        ModuleKind kind;
        int input;
        double value;
        int setting; // -1: none
        double settingValue, expected, velocity;
    };
    const Row rows[] = {
        {K::ControlOffset, offset::Input, 30, offset::Offset, 20, 500, 127},
        {K::ControlGain, gain::Input, 40, gain::Gain, 50, 200, 127},
        {K::ControlInput, control_input::Input, 25, -1, 0, 250, 127},
        {K::ControlStepFunction, control_step::Input, -37.5, control_step::StepSize, 10, -300, 127}, // of 100
        {K::ControlStepFunction, control_step::Input, -37.5, control_step::StepSize, 0, -375, 127},
        // The low cut at 120 fades the velocity below its frequency.
        {K::ControlLowCut, low_cut::Input, 90, -1, 0, 90, 63.5},
        {K::ControlLowCut, low_cut::Input, 30, -1, 0, 30, 0},
        {K::ControlLowCut, low_cut::Input, 200, -1, 0, 200, 127},
        {K::ControlLowCut, low_cut::Input, 120, -1, 0, 120, 127},
        // 440 Hz is note 57; half a semitone up, 56.50 rounds up to 57 too.
        {K::ControlClosestNote, closest_note::Input, 44, -1, 0, Pitch(57), 127},
        {K::ControlClosestNote, closest_note::Input, 44, closest_note::Tuning, 50, Pitch(57.5), 127},
        {K::ControlClosestNote, closest_note::Input, 0, -1, 0, 0, 127},
    };
    std::vector<Module*> mods;
    for (const Row& r : rows) {
        Module* m = Create(r.kind);
        Manual(m, r.input, r.value);
        if (r.setting >= 0) m->Link(r.setting).value = r.settingValue;
        mods.push_back(m);
    }
    Module* measured = Create(K::ControlOffset); // a measure passes as it is: 100 + 200
    measured->Link(offset::Offset).value = 20;
    measured->Link(offset::Input).source = Measure(MouseMeasure::Speed, 100);
    Ticks(1);
    for (size_t i = 0; i < mods.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(Out(mods[i]).value[0], rows[i].expected, 1e-9);
        EXPECT_NEAR(Out(mods[i]).velocity[0], rows[i].velocity, 1e-9);
    }
    EXPECT_NEAR(Out(measured).value[0], 300.0, 1e-9);
    // Without input voices a module keeps its outputs.
    mods[1]->Link(gain::Input).source = kNoSource;
    Ticks(1);
    EXPECT_EQ(Out(mods[1]).voiceCount, 0);
    EXPECT_NEAR(Out(mods[1]).value[0], 200.0, 1e-9);
}

TEST_F(ControlModulesTest, RangeMapsKeepsInRangeAndGivesZeroForEqualInputLimits) {
    Module* flat = Create(K::ControlRange);
    flat->reals[range::InputLowerLimit] = flat->reals[range::InputUpperLimit] = 30;
    Manual(flat, range::Input, 50);
    Out(flat).value[0] = 77.0;
    Module* m = Create(K::ControlRange);
    m->reals[range::OutputLowerLimit] = 0;
    m->reals[range::OutputUpperLimit] = 100;
    Manual(m, range::Input, 50); // 500
    Ticks(1);
    EXPECT_EQ(Out(flat).value[0], 0.0);
    EXPECT_EQ(Out(flat).velocity[0], 127.0); // as registered, untouched
    EXPECT_NEAR(Out(m).value[0], 0.5 * 500.0 + 50.0 * 10.0, 1e-9);
    m->reals[range::OutputUpperLimit] = 50;
    m->Link(range::Input).value = 300; // 0.25 x 3000 + 250 = 1000, kept to 500
    m->bools[range::KeepInRange] = true;
    Ticks(1);
    EXPECT_NEAR(Out(m).value[0], 500.0, 1e-9);
}

TEST_F(ControlModulesTest, NoteCombineAveragesAndSustains) {
    Module* poly = Poly({10, 20, 30});
    Module* plain = Create(K::ControlNoteCombine);
    plain->Link(note_combine::Input).source = poly->slot[0].load();
    Module* held = Create(K::ControlNoteCombine);
    held->Link(note_combine::Input).source = poly->slot[0].load();
    held->bools[note_combine::Sustain] = true;
    Ticks(2);
    for (Module* m : {plain, held}) {
        EXPECT_EQ(Out(m).voiceCount, 1);
        EXPECT_NEAR(Out(m).value[0], 200.0, 1e-9);
        EXPECT_NEAR(Out(m).velocity[0], 127.0, 1e-12);
    }
    for (int k = 0; k < 3; ++k) poly->Link(polyphonicator::Input1 + k).source = kNoSource;
    Ticks(2);
    EXPECT_EQ(std::tuple(Out(plain).value[0].load(), Out(plain).velocity[0].load(), Out(held).value[0].load(),
                         Out(held).velocity[0].load()),
              std::tuple(0.0, 0.0, 200.0, 127.0));
}

TEST_F(ControlModulesTest, SensorGravityAndPolarity) {
    Module* m = Create(K::ControlSensor);
    const auto at = [&](int refX, int refY, int x, int y) {
        std::tie(pointer.cursorX, pointer.cursorY) = std::tuple(x, y);
        m->refX = refX;
        m->refY = refY;
        Ticks(1);
    };
    at(100, 100, 100, 100);
    EXPECT_NEAR(Out(m, 0).value[0], 1000.0, 1e-9); // (1000)^5 x 1e-12
    EXPECT_EQ(Out(m, 0).velocity[0], 127.0);
    pointer.screen = {0, 0, 1001, 1001}; // diagonal 1000 x sqrt 2
    at(0, 0, 500, 500);                  // half the diagonal away: g = 500
    EXPECT_NEAR(Out(m, 0).value[0], 31.25, 1e-9);
    at(0, 0, 1000, 1000);
    EXPECT_NEAR(Out(m, 0).value[0], 0.0, 1e-9);
    // Polarity of a sensor at (200, 100) against its angle: the cursor left of the sensor is angle 0, right
    // of it pi, below it -pi/2. Unsigned, -1000 .. 1000 becomes 0 .. 1000.
    struct Row {
        int x, y;
        bool signedOutput;
        double angle, expected;
    };
    // clang-format off
    const Row rows[] = {{100, 100, false, 0.0, 0.0}, {100, 100, true, 0.0, -1000.0}, {300, 100, true, 0.0, 1000.0},
                        {200, 200, true, 0.0, 0.0}, {200, 200, true, -std::numbers::pi / 2, -1000.0}};
    // clang-format on
    for (const Row& r : rows) {
        m->bools[sensor::SignedOutput] = r.signedOutput;
        m->reals[sensor::Angle] = r.angle;
        at(200, 100, r.x, r.y);
        EXPECT_NEAR(Out(m, 1).value[0], r.expected, 1e-9) << r.x << "," << r.y << " angle " << r.angle;
    }
}

TEST_F(ControlModulesTest, SensorReadsTheCursorOncePerBlockAndKeepsItsOutputsWithoutOne) {
    Module* m = Create(K::ControlSensor);
    m->refX = m->refY = pointer.cursorX = pointer.cursorY = 10;
    engine.controlRate = 4000.0; // 8 ticks a block
    Ticks(3);
    EXPECT_EQ(std::tuple(pointer.reads, int(Out(m, 0).voiceCount)), std::tuple(3, 1));
    EXPECT_NEAR(Out(m, 0).value[0], 1000.0, 1e-9);
    pointer.readable = false;
    pointer.cursorX = 1900;
    Ticks(1);
    EXPECT_NEAR(Out(m, 0).value[0], 1000.0, 1e-9);
    engine.SetPointer(nullptr);
    pointer.readable = true;
    Ticks(1);
    EXPECT_NEAR(Out(m, 0).value[0], 1000.0, 1e-9);
}

} // namespace
} // namespace mw
