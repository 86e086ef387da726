#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

#include "engine/engine.hpp"
#include "engine/kinds/kind_ops.hpp"
#include "model/patch.hpp"
#include "test_pointer.hpp"

namespace mw {
namespace {

using K = ModuleKind;

// A control rate of 500 Hz gives exactly one control tick per block, at its first sample (2 ms apart).
class ControlModulesTest : public ::testing::Test {
protected:
    ControlModulesTest() {
        engine.steerLatency = false;
        engine.controlRate = 500.0;
        engine.SetPointer(&pointer);
        engine.BeginOffline();
    }
    ~ControlModulesTest() override { engine.EndOffline(); }

    void Ticks(int n) {
        for (int i = 0; i < n; ++i) engine.RenderBlock();
    }
    ModuleSlot& Out(const Module* m, int k = 0) { return engine.slots[size_t(m->slot[size_t(k)].load())]; }
    Module* Create(ModuleKind kind) { return patch.CreateModule(kind, {}); }
    // A mouse measure that stays where it is put (raw and smoothed alike).
    SourceId Measure(MouseMeasure which, double value) {
        const int i = int(which);
        engine.rawMeasures[size_t(i)] = value;
        engine.smoothedMeasures[size_t(i)] = value;
        return MeasureSource(which);
    }
    Module* Poly(std::initializer_list<double> values) {
        Module* m = Create(K::ControlPolyphonicator);
        int k = 0;
        for (double v : values) {
            m->Link(polyphonicator::Input1 + k).source = kManualSource;
            m->Link(polyphonicator::Input1 + k).value = v;
            ++k;
        }
        return m;
    }

    test::TestPointer pointer;
    Engine engine;
    Patch patch{engine};
};

// ---------------------------------------------------------------- neuron

class NeuronTest : public ControlModulesTest {
protected:
    NeuronTest() {
        using namespace neuron;
        n = Create(K::ControlNeuron);
        n->Link(InputOutputRatio).value = 100; // R = 1
        n->Link(DischargeRate).value = 7;      // D = 0.07
        n->Link(Leakthrough).value = 0;
        n->Link(Leakage).value = 0;
    }
    // One sample of the neuron alone.
    double Step() {
        std::array<Module*, 1> list{n};
        engine.Ops(K::ControlNeuron).evaluate(engine, list);
        return Out(n).value[0];
    }
    Module* n;
};

TEST_F(NeuronTest, ThresholdZeroNeverFiresAndPassesOnlyTheLeakThrough) {
    using namespace neuron;
    n->Link(Dendrite0).value = 100;  // 1 per second of samples: E += 1/48 per sample
    n->Link(Leakthrough).value = 10; // Lt = 0.1
    n->Link(Threshold).value = 0;
    // E before the leak after n samples is (1 - r^n) / 0.1 with r = 1 - 0.1/48; the output is
    // Lt x E / 48 x 48 x 1000 = 1000 (1 - r^n).
    const double r = 1.0 - 0.1 / 48.0;
    double out = 0.0;
    for (int s = 1; s <= 500; ++s) {
        out = Step();
        if (s == 1 || s == 500) {
            EXPECT_NEAR(out, 1000.0 * (1.0 - std::pow(r, s)), 1e-9) << s;
        }
    }
    EXPECT_NEAR(Out(n).smoothedValue[0], out, 0.0);
}

TEST_F(NeuronTest, NegativeThresholdFiresDownwards) {
    using namespace neuron;
    n->Link(Dendrite0).value = -150; // E -= 0.03125 per sample
    n->Link(Threshold).value = -0.9;
    for (int s = 1; s <= 28; ++s) EXPECT_EQ(Step(), 0.0) << s; // -0.875 has not reached -0.9
    // Sample 29: E = -0.90625 fires into the charge; 7 % of it per 1/48 drains out at once.
    EXPECT_NEAR(Step(), 0.07 * -0.90625 * 1000.0, 1e-9);
    EXPECT_NEAR(Step(), 0.07 * -0.90625 * (1.0 - 0.07 / 48.0) * 1000.0, 1e-9);
}

TEST_F(NeuronTest, PositiveThresholdIgnoresFallingEnergyAndInputsCanBeMadePositive) {
    using namespace neuron;
    n->Link(Dendrite0).value = -150;
    n->Link(Threshold).value = 0.9;
    for (int s = 0; s < 100; ++s) EXPECT_EQ(Step(), 0.0);
    n->bools[MakeAllInputsPositive] = true; // E starts from -3.125 and climbs by 0.03125 a sample
    double out = 0.0;
    for (int s = 0; s < 130 && out == 0.0; ++s) out = Step();
    EXPECT_GT(out, 0.0);
}

TEST_F(NeuronTest, RunawayRatesStartAgainInsteadOfSoundingNaN) {
    using namespace neuron;
    n->Link(Dendrite0).value = 100;
    n->Link(Leakthrough).value = 10000; // 100 after the clamp: the energy swings ever wider
    n->Link(Threshold).value = 0;
    for (int s = 0; s < 20000; ++s) ASSERT_TRUE(std::isfinite(Step())) << s;
}

// ---------------------------------------------------------------- sensitizer

TEST_F(ControlModulesTest, SensitizerAttack1000NeverRises) {
    Module* m = Create(K::ControlSensitizer);
    m->reals[sensitizer::Attack] = 1000;
    m->Link(sensitizer::Input).source = Measure(MouseMeasure::Speed, 300);
    Ticks(10);
    EXPECT_EQ(Out(m).voiceCount, 1);
    EXPECT_EQ(Out(m).velocity[0], 0.0);
    EXPECT_NEAR(Out(m).value[0], 300.0, 1e-9); // the value passes
}

TEST_F(ControlModulesTest, SensitizerAttack0RisesByTheControlPeriod) {
    Module* m = Create(K::ControlSensitizer);
    m->reals[sensitizer::Attack] = 0; // factor 2 (ms): overshoots, held at 127
    m->Link(sensitizer::Input).source = Measure(MouseMeasure::Speed, 300);
    m->Link(sensitizer::Input).sensitivity = 50;
    Ticks(1);
    EXPECT_NEAR(Out(m).velocity[0], 127.0 * 0.5, 1e-9);
}

TEST_F(ControlModulesTest, SensitizerFreqModeSmoothsTheValue) {
    Module* m = Create(K::ControlSensitizer);
    m->bools[sensitizer::FreqMode] = true;
    m->reals[sensitizer::Attack] = 500; // a = 0.5^6 x 2 = 0.03125
    m->Link(sensitizer::Input).source = kManualSource;
    m->Link(sensitizer::Input).value = 100; // 1000
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

// ---------------------------------------------------------------- echo

TEST_F(ControlModulesTest, EchoWithLinger1HoldsItsRepeats) {
    Module* m = Create(K::ControlEcho);
    m->Link(control_echo::Interval).value = 10; // 5 ticks
    m->Link(control_echo::Linger).value = 100;
    m->inputs[control_echo::Input] = Measure(MouseMeasure::Speed, 321);
    Ticks(1);
    m->inputs[control_echo::Input] = kNoSource;
    ASSERT_EQ(Out(m).voiceCount, 1);
    EXPECT_NEAR(Out(m).velocity[0], 127.0, 1e-12);
    EXPECT_NEAR(Out(m).value[0], 321.0, 1e-9);
    for (int repeat = 1; repeat <= 10; ++repeat) {
        Ticks(4);
        EXPECT_EQ(Out(m).voiceCount, 0);
        Ticks(1);
        ASSERT_EQ(Out(m).voiceCount, 1) << repeat;
        EXPECT_NEAR(Out(m).velocity[0], 127.0, 1e-12);
    }
}

TEST_F(ControlModulesTest, EchoRepeatsFadeByLinger) {
    Module* m = Create(K::ControlEcho);
    m->Link(control_echo::Interval).value = 10;
    m->Link(control_echo::Linger).value = 50;
    m->bools[control_echo::FreqMode] = true; // the value echoes
    m->inputs[control_echo::Input] = Measure(MouseMeasure::Speed, 320);
    Ticks(1);
    m->inputs[control_echo::Input] = kNoSource;
    EXPECT_NEAR(Out(m).value[0], 160.0, 1e-9);
    EXPECT_NEAR(Out(m).velocity[0], 127.0, 1e-12);
    Ticks(5);
    EXPECT_NEAR(Out(m).value[0], 80.0, 1e-9);
    Ticks(5);
    EXPECT_NEAR(Out(m).value[0], 40.0, 1e-9);
}

TEST_F(ControlModulesTest, EchoOnManualReadsAValueOfZeroAndKeepsCellsWithinBounds) {
    Module* m = Create(K::ControlEcho);
    m->Link(control_echo::Interval).value = 1; // less than a tick: one cell
    m->Link(control_echo::Linger).value = 100;
    m->inputs[control_echo::Input] = kManualSource;
    Ticks(1000); // 127 more each tick, up to the limit
    ASSERT_EQ(Out(m).voiceCount, 1);
    EXPECT_EQ(Out(m).note[0], 0);
    EXPECT_EQ(Out(m).value[0], 0.0);
    EXPECT_EQ(Out(m).velocity[0], 100000.0);
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
    EXPECT_EQ(Out(m).note[0], 1);
    EXPECT_EQ(Out(m).note[1], 2);
    EXPECT_NEAR(Out(m).value[1], 200.0, 1e-9);
    Ticks(4); // tick 6: note 0 again
    ASSERT_EQ(Out(m).voiceCount, 1);
    EXPECT_EQ(Out(m).note[0], 0);
}

// ---------------------------------------------------------------- combine

TEST_F(ControlModulesTest, CombineSumsVoicesOfTheSameNote) {
    Module* poly = Poly({10, 20, 30});
    Module* m = Create(K::ControlCombine);
    m->inputs[combine::Input1] = Measure(MouseMeasure::Direction, 100);
    m->inputs[combine::Input2] = Measure(MouseMeasure::Speed, 50);
    m->inputs[combine::Input3] = poly->slot[0].load();
    m->inputs[combine::Input5] = kManualSource; // a voice of value 0 on note 0
    Ticks(2);
    ASSERT_EQ(Out(m).voiceCount, 4);
    EXPECT_EQ(Out(m).note[0], 0);
    EXPECT_NEAR(Out(m).value[0], 150.0, 1e-9);
    EXPECT_NEAR(Out(m).velocity[0], 127.0, 1e-12);
    EXPECT_EQ(Out(m).note[3], 3);
    EXPECT_NEAR(Out(m).value[3], 300.0, 1e-9);
}

// ---------------------------------------------------------------- per-voice maps

TEST_F(ControlModulesTest, RangeWithEqualInputLimitsGivesZero) {
    Module* m = Create(K::ControlRange);
    m->reals[range::InputLowerLimit] = 30;
    m->reals[range::InputUpperLimit] = 30;
    m->Link(range::Input).source = kManualSource;
    m->Link(range::Input).value = 50;
    Out(m).value[0] = 77.0;
    Ticks(1);
    EXPECT_EQ(Out(m).value[0], 0.0);
    EXPECT_EQ(Out(m).velocity[0], 127.0); // as registered, untouched
}

TEST_F(ControlModulesTest, RangeMapsAndKeepsInRange) {
    Module* m = Create(K::ControlRange);
    m->reals[range::OutputLowerLimit] = 0;
    m->reals[range::OutputUpperLimit] = 100;
    m->Link(range::Input).source = kManualSource;
    m->Link(range::Input).value = 50; // 500
    Ticks(1);
    EXPECT_NEAR(Out(m).value[0], 0.5 * 500.0 + 50.0 * 10.0, 1e-9);
    m->reals[range::OutputUpperLimit] = 50;
    m->Link(range::Input).value = 300; // 0.25 x 3000 + 250 = 1000, kept to 500
    m->bools[range::KeepInRange] = true;
    Ticks(1);
    EXPECT_NEAR(Out(m).value[0], 500.0, 1e-9);
}

TEST_F(ControlModulesTest, OffsetGainInputAndStepFunction) {
    Module* off = Create(K::ControlOffset);
    off->Link(offset::Offset).value = 20;
    off->Link(offset::Input).source = kManualSource;
    off->Link(offset::Input).value = 30;
    Module* off2 = Create(K::ControlOffset);
    off2->Link(offset::Offset).value = 20;
    off2->Link(offset::Input).source = Measure(MouseMeasure::Speed, 100);
    Module* g = Create(K::ControlGain);
    g->Link(gain::Gain).value = 50;
    g->Link(gain::Input).source = kManualSource;
    g->Link(gain::Input).value = 40;
    Module* in = Create(K::ControlInput);
    in->Link(control_input::Input).value = 25;
    Module* step = Create(K::ControlStepFunction);
    step->Link(control_step::StepSize).value = 10; // steps of 100
    step->Link(control_step::Input).value = -37.5;
    Ticks(1);
    EXPECT_NEAR(Out(off).value[0], 500.0, 1e-9);
    EXPECT_NEAR(Out(off2).value[0], 300.0, 1e-9);
    EXPECT_NEAR(Out(g).value[0], 200.0, 1e-9);
    EXPECT_NEAR(Out(in).value[0], 250.0, 1e-9);
    EXPECT_NEAR(Out(step).value[0], -300.0, 1e-9);
    step->Link(control_step::StepSize).value = 0;
    Ticks(1);
    EXPECT_NEAR(Out(step).value[0], -375.0, 1e-9);
}

TEST_F(ControlModulesTest, LowCutFadesTheVelocityBelowItsFrequency) {
    Module* m = Create(K::ControlLowCut); // cut at 120
    m->Link(low_cut::Input).source = kManualSource;
    const double cases[][2] = {{90, 63.5}, {30, 0.0}, {200, 127.0}, {120, 127.0}};
    for (const auto& c : cases) {
        m->Link(low_cut::Input).value = c[0];
        Ticks(1);
        EXPECT_NEAR(Out(m).value[0], c[0], 1e-12);
        EXPECT_NEAR(Out(m).velocity[0], c[1], 1e-9) << c[0];
    }
}

TEST_F(ControlModulesTest, ClosestNoteOf440Hz) {
    Module* m = Create(K::ControlClosestNote);
    m->Link(closest_note::Input).source = kManualSource;
    m->Link(closest_note::Input).value = 44;
    Ticks(1);
    EXPECT_NEAR(Out(m).value[0], 16.35 * std::pow(2.0, 57.0 / 12.0), 1e-9);
    m->Link(closest_note::Tuning).value = 50; // half a semitone up: 56.50 rounds up to 57
    Ticks(1);
    EXPECT_NEAR(Out(m).value[0], 16.35 * std::pow(2.0, 57.5 / 12.0), 1e-9);
    m->Link(closest_note::Input).value = 0;
    Ticks(1);
    EXPECT_EQ(Out(m).value[0], 0.0);
}

TEST_F(ControlModulesTest, AModuleWithoutInputVoicesKeepsItsOutputs) {
    Module* g = Create(K::ControlGain);
    g->Link(gain::Input).source = kManualSource;
    g->Link(gain::Input).value = 40;
    Ticks(1);
    g->Link(gain::Input).source = kNoSource;
    Ticks(1);
    EXPECT_EQ(Out(g).voiceCount, 0);
    EXPECT_NEAR(Out(g).value[0], 400.0, 1e-9);
}

// ---------------------------------------------------------------- note combine

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
    EXPECT_EQ(Out(plain).value[0], 0.0);
    EXPECT_EQ(Out(plain).velocity[0], 0.0);
    EXPECT_NEAR(Out(held).value[0], 200.0, 1e-9);
    EXPECT_NEAR(Out(held).velocity[0], 127.0, 1e-12);
}

// ---------------------------------------------------------------- sensor

TEST_F(ControlModulesTest, SensorGravityAndPolarity) {
    Module* m = Create(K::ControlSensor);
    m->refX = 100;
    m->refY = 100;
    pointer.cursorX = 100;
    pointer.cursorY = 100;
    Ticks(1);
    EXPECT_NEAR(Out(m, 0).value[0], 1000.0, 1e-9); // (1000)^5 x 1e-12
    EXPECT_EQ(Out(m, 0).velocity[0], 127.0);

    pointer.screen = {0, 0, 1001, 1001}; // diagonal 1000 x sqrt 2
    m->refX = 0;
    m->refY = 0;
    pointer.cursorX = 500;
    pointer.cursorY = 500; // half the diagonal away: g = 500
    Ticks(1);
    EXPECT_NEAR(Out(m, 0).value[0], 31.25, 1e-9);
    pointer.cursorX = 1000;
    pointer.cursorY = 1000;
    Ticks(1);
    EXPECT_NEAR(Out(m, 0).value[0], 0.0, 1e-9);

    // Polarity against AngleValue 0: the cursor left of the sensor is angle 0, right of it pi.
    m->refX = 200;
    m->refY = 100;
    pointer.cursorX = 100;
    pointer.cursorY = 100;
    Ticks(1);
    EXPECT_NEAR(Out(m, 1).value[0], 0.0, 1e-9); // unsigned: (-1000 + 1000) / 2
    m->bools[sensor::SignedOutput] = true;
    Ticks(1);
    EXPECT_NEAR(Out(m, 1).value[0], -1000.0, 1e-9);
    pointer.cursorX = 300;
    Ticks(1);
    EXPECT_NEAR(Out(m, 1).value[0], 1000.0, 1e-9);
    pointer.cursorX = 200;
    pointer.cursorY = 200; // below: a = -pi/2
    Ticks(1);
    EXPECT_NEAR(Out(m, 1).value[0], 0.0, 1e-9);
    m->reals[sensor::Angle] = -std::numbers::pi / 2;
    Ticks(1);
    EXPECT_NEAR(Out(m, 1).value[0], -1000.0, 1e-9);
}

TEST_F(ControlModulesTest, SensorWithoutACursorKeepsItsOutputs) {
    Module* m = Create(K::ControlSensor);
    m->refX = 10;
    m->refY = 10;
    pointer.cursorX = 10;
    pointer.cursorY = 10;
    Ticks(1);
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

TEST_F(ControlModulesTest, SensorReadsTheCursorOncePerBlock) {
    Module* m = Create(K::ControlSensor);
    engine.controlRate = 4000.0; // 8 ticks a block
    Ticks(3);
    EXPECT_EQ(pointer.reads, 3);
    EXPECT_EQ(Out(m, 0).voiceCount, 1);
}

} // namespace
} // namespace mw
