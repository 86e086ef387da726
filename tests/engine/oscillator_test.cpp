// The audio oscillator and the control modulator, driven offline through the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/wave_functions.hpp"
#include "sound_test_support.hpp"

namespace mw {
namespace {

using test::SoundFixture;

// Upward zero crossings in [from, to).
int UpwardCrossings(const std::vector<double>& v, size_t from, size_t to) {
    int n = 0;
    for (size_t i = from + 1; i < to && i < v.size(); ++i)
        if (v[i - 1] <= 0.0 && v[i] > 0.0) ++n;
    return n;
}

class OscillatorTest : public ::testing::Test, public SoundFixture {
protected:
    ~OscillatorTest() override {
        engine.SetKindOps(ModuleKind::AudioStepFunction, nullptr);
        engine.SetKindOps(ModuleKind::ControlPolyphonicator, nullptr);
        engine.SetKindOps(ModuleKind::ControlSensitizer, nullptr);
    }
    Module* Osc(double waveform = 0.0) {
        Module* m = patch.CreateModule(ModuleKind::AudioOsc, {});
        m->Link(osc::Waveform).value = waveform;
        return m;
    }
    // An audio-rate stand-in whose one voice is `value` (it runs after the oscillator: the oscillator
    // reads the previous sample's value, which is the same).
    Module* AudioValue(double value) {
        test::SignalFunction() = [value](uint64_t) { return value; };
        engine.SetKindOps(ModuleKind::AudioStepFunction, &test::kSignalOps);
        Module* m = patch.CreateModule(ModuleKind::AudioStepFunction, {});
        m->devices[audio_step::Output] = kNoOutputDevice;
        return m;
    }
    // A control-rate stand-in with the voices of test::VoiceSource() (the sensitizer kind is evaluated
    // first on each tick).
    Module* Voices(std::vector<test::TestVoice> voices, ModuleKind kind = ModuleKind::ControlPolyphonicator) {
        test::VoiceSource() = std::move(voices);
        engine.SetKindOps(kind, &test::kVoiceOps);
        return patch.CreateModule(kind, {});
    }
};

TEST_F(OscillatorTest, ManualFrequencyIsBaseTimesMultiplier) {
    Module* o = Osc();
    EXPECT_DOUBLE_EQ(o->Link(osc::Frequency).value, 4.4); // the defaults: 4.4 x 100
    EXPECT_DOUBLE_EQ(o->Real(osc::FrequencyMultiplier), 100.0);
    const auto out = Render(48000 + 480);
    EXPECT_NEAR(UpwardCrossings(out, 480, 48480), 440, 1);
    // A sine of amplitude 500 after the attack.
    double peak = 0.0;
    for (size_t i = 480; i < 48480; ++i) peak = std::max(peak, std::abs(out[i]));
    EXPECT_NEAR(peak, 500.0, 0.5);
}

TEST_F(OscillatorTest, AttackIsLinearOverTenMilliseconds) {
    Osc(200.0); // square: |output| is the envelope level
    const auto out = Render(2000);
    EXPECT_EQ(out[0], 0.0);
    EXPECT_NEAR(std::abs(out[48]), 50.0, 1e-9);   // 1 ms: a tenth
    EXPECT_NEAR(std::abs(out[240]), 250.0, 1e-9); // 5 ms: half
    EXPECT_NEAR(std::abs(out[480]), 500.0, 1e-9); // 10 ms: full amplitude
    EXPECT_NEAR(std::abs(out[481]), 500.0, 1e-9);
    EXPECT_NEAR(std::abs(out[1999]), 500.0, 1e-9);
    // The first half period of the square is positive; the phase starts at 0.
    EXPECT_GT(out[1], 0.0);
    EXPECT_GT(out[50], 0.0);
}

TEST_F(OscillatorTest, ReleaseFadesOutAndRemovesTheVoiceAndNoRestartWhileReleasing) {
    Module* o = Osc(200.0);
    ControlLink& f = o->Link(osc::Frequency);
    Render(960);
    f.source = kNoSource; // no input voices: the note is gone
    auto out = Render(960 + 100);
    // First release sample: EnvelopeCounter -1, level 500 (21 - 1/48) 0.05; then down by 500/960 per sample.
    EXPECT_NEAR(std::abs(out[960]), 500.0 * (21.0 - 1.0 / 48.0) * 0.05, 1e-9);
    EXPECT_NEAR(std::abs(out[960 + 50]), 500.0 * (21.0 - 51.0 / 48.0) * 0.05, 1e-9);
    EXPECT_GT(std::abs(out[960]), 500.0); // about 1.05 times the level
    // The note comes back while releasing: no new attack, the fade goes on.
    f.source = kManualSource;
    out = Render(960 + 1007 + 2 + 480);
    for (int k = 100; k < 1007; ++k)
        ASSERT_NEAR(std::abs(out[size_t(960 + k)]), 500.0 * (21.0 - (k + 1) / 48.0) * 0.05, 1e-9) << k;
    // At 21 ms the level is 0 and the entry goes; on the next sample it starts anew with phase 0.
    EXPECT_EQ(out[960 + 1007], 0.0);
    EXPECT_EQ(out[960 + 1008], 0.0);
    EXPECT_NEAR(out[960 + 1008 + 48], 50.0, 1e-9);
    EXPECT_NEAR(out[960 + 1008 + 480], 500.0, 1e-9);
}

TEST_F(OscillatorTest, ReleaseDuringTheAttackStartsFromTheAttackLevel) {
    Module* o = Osc(200.0);
    Render(96 * 3); // t = 288 / 48 = 6 ms at the first release sample
    o->Link(osc::Frequency).source = kNoSource;
    const auto out = Render(96 * 4);
    // Release position trunc(-96 (10 - 6)) = -384: t = -8 ms, level 500 (21 - 8) 0.05 = 325, about the
    // attack level of 6 ms (300) on the steeper release line.
    EXPECT_NEAR(std::abs(out[288]), 325.0, 1e-9);
    EXPECT_NEAR(std::abs(out[289]), 500.0 * (21.0 - 385.0 / 48.0) * 0.05, 1e-9);
}

TEST_F(OscillatorTest, ReleaseExactlyAtTenMillisecondsFadesFromTheTop) {
    Module* o = Osc(200.0);
    Render(96 * 5); // samples 0..479: the counter is 480 (t = 10 ms) at sample 480
    o->Link(osc::Frequency).source = kNoSource;
    const auto out = Render(96 * 6);
    EXPECT_NEAR(std::abs(out[479]), 500.0 * 479.0 / 480.0, 1e-9);
    EXPECT_NEAR(std::abs(out[480]), 500.0 * (21.0 - 1.0 / 48.0) * 0.05, 1e-9);
    EXPECT_NEAR(std::abs(out[481]), 500.0 * (21.0 - 2.0 / 48.0) * 0.05, 1e-9);
}

TEST_F(OscillatorTest, WithoutASourceTheOutputIsSilentAfterTheRelease) {
    Module* o = Osc();
    Render(960);
    o->Link(osc::Frequency).source = kNoSource;
    const auto out = Render(960 + 2000);
    for (size_t i = 960 + 1007; i < 2960; ++i) ASSERT_EQ(out[i], 0.0) << i;
}

TEST_F(OscillatorTest, StepSizeOneQuantizesToStepsOfTen) {
    Module* o = Osc();
    o->Link(osc::StepSize).value = 1.0;
    const auto out = Render(4800);
    int nonZero = 0;
    for (size_t n = 480; n < 4800; ++n) {
        ASSERT_EQ(std::fmod(out[n], 10.0), 0.0) << n;
        // The unquantized sine at the phase after n + 1 steps of 440 Hz, cut towards zero to a step of 10.
        const double raw = 500.0 * std::sin(2.0 * kPi * 440.0 * double(n + 1) / 48000.0);
        const double q = std::trunc(raw / 10.0) * 10.0;
        if (std::abs(raw / 10.0 - std::round(raw / 10.0)) > 1e-6) {
            ASSERT_EQ(out[n], q) << n;
        }
        if (out[n] != 0.0) ++nonZero;
    }
    EXPECT_GT(nonZero, 4000);
}

TEST_F(OscillatorTest, MouseMeasureFrequencyIsTimesSixAModuleIsNot) {
    engine.rawMeasures[3] = 50.0;
    engine.smoothedMeasures[3] = 50.0;
    Module* byMouse = Osc();
    byMouse->Link(osc::Frequency).source = MeasureSource(MouseMeasure::Speed); // 50 x 6 = 300 Hz
    byMouse->devices[osc::Output] = 0;
    Module* byModule = Osc();
    byModule->Link(osc::Frequency).source = AudioValue(300.0)->slot[0]; // 300 Hz
    byModule->Link(osc::Frequency).sensitivity = 50.0;                  // x 0.5: 150 Hz
    byModule->devices[osc::Output] = 1;
    Render(48000 + 480);
    EXPECT_NEAR(UpwardCrossings(Played(0), 480, 48480), 300, 1);
    EXPECT_NEAR(UpwardCrossings(Played(1), 480, 48480), 150, 1);
}

TEST_F(OscillatorTest, APhaseSourceKeepsItsSign) {
    // 0 Hz: the phase angle stays 0, so the output is sin(Phase x 0.02 pi) at full amplitude.
    engine.rawMeasures[7] = -500.0;
    engine.smoothedMeasures[7] = -500.0;
    Module* o = Osc();
    o->Link(osc::Frequency).value = 0.0;
    o->Link(osc::Phase).source = MeasureSource(MouseMeasure::HorizontalVelocity); // -500 x 0.05 = -25
    const auto out = Render(1000);
    // p = -25 x 0.02 pi = -pi/2, brought to 3 pi / 2: a sine of -1, not the +1 of a made-positive phase.
    EXPECT_NEAR(out[999], -500.0, 1e-6);
}

TEST_F(OscillatorTest, SourceVoicesAreSummedWithTheirVelocities) {
    Module* src = Voices({{100.0, 127.0, 60}, {100.0, 63.5, 64}});
    Module* o = Osc(200.0);
    o->Link(osc::Frequency).source = src->slot[0];
    const auto out = Render(1000);
    // Both squares start positive; full velocity gives 500, half velocity 250.
    EXPECT_NEAR(out[600], 750.0, 1e-9);
    EXPECT_EQ(engine.slots[size_t(o->slot[0])].voiceCount, 1);
}

TEST_F(OscillatorTest, AFrequencySourceAboveTheRangeIsLimited) {
    Module* src = Voices({{-1e9, 127.0, 1}});
    Module* o = Osc(200.0);
    o->Link(osc::Frequency).source = src->slot[0]; // |f| limited to 24000 Hz: two samples a cycle
    const auto out = Render(960);
    for (size_t n = 600; n < 960; ++n) ASSERT_NEAR(std::abs(out[n]), 500.0, 1e-9);
}

// The random walk bends the frequency by up to Noise percent; without Noise the generator plays no part.
std::vector<double> RenderWithSeed(uint32_t seed, double noise) {
    SoundFixture f;
    f.engine.Seed(seed);
    Module* o = f.patch.CreateModule(ModuleKind::AudioOsc, {});
    o->Link(osc::Noise).value = noise;
    return f.Render(9600);
}

TEST(OscillatorNoise, NoiseBendsTheFrequencyRandomly) {
    EXPECT_EQ(RenderWithSeed(1, 0.0), RenderWithSeed(2, 0.0));
    const auto a = RenderWithSeed(1, 50.0);
    const auto b = RenderWithSeed(2, 50.0);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, RenderWithSeed(1, 50.0)); // reproducible with the same seed
    // Between 220 and 660 Hz: 0.2 s holds 44..132 cycles.
    const int cycles = UpwardCrossings(a, 0, a.size());
    EXPECT_GE(cycles, 44);
    EXPECT_LE(cycles, 133);
    for (double v : a) ASSERT_LE(std::abs(v), 500.0 + 1e-9);
}

// An oscillator that reads no module is worked out a block ahead; one whose amplitude comes from a
// module runs sample by sample. With the same settings both must play the same samples: through the
// mouse measure's smoothing, a waveform blend, ramp and phase, a wandering frequency and the release.
TEST_F(OscillatorTest, WorkedOutAheadItSoundsAsSampleBySample) {
    Module* amplitude = AudioValue(100.0);
    Module* ahead = Osc(150.0);
    Module* bySample = Osc(150.0);
    constexpr int kMeasure = 3;
    for (Module* m : {ahead, bySample}) {
        m->Link(osc::Frequency).source = kFirstMeasure + kMeasure;
        m->Link(osc::Frequency).sensitivity = 50.0;
        m->Link(osc::Ramp).value = 12.0;
        m->Link(osc::Phase).value = -30.0;
        m->Link(osc::StepSize).value = 1.0;
    }
    ahead->Link(osc::Amplitude).value = 100.0;
    bySample->Link(osc::Amplitude).source = SlotOf(amplitude);
    ahead->devices[osc::Output] = 0;
    bySample->devices[osc::Output] = 1;

    engine.rawMeasures[kMeasure] = 700.0;
    Render(3000);
    engine.rawMeasures[kMeasure] = 150.0; // the frequency glides down
    Render(6000);
    for (Module* m : {ahead, bySample}) m->Link(osc::Frequency).source = kNoSource; // release
    Render(9000);

    const auto a = Played(0);
    const auto b = Played(1);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(a, b);
    EXPECT_EQ(*std::max_element(a.begin(), a.end()), 90.0); // amplitude 100 in steps of 10
    EXPECT_EQ(a.back(), 0.0);                               // released and gone
}

TEST_F(OscillatorTest, DamagedParametersStayFinite) {
    Module* o = Osc(-5.0);
    o->Link(osc::Frequency).value = -3.0;
    o->Link(osc::Ramp).value = -1e9;
    o->Link(osc::Phase).value = 1e12;
    o->Link(osc::StepSize).value = -1e9;
    o->Link(osc::Noise).value = 1e6;
    const auto out = Render(960);
    for (double v : out) ASSERT_TRUE(std::isfinite(v));
}

// ---------------------------------------------------------------------------------------- modulator

std::vector<double> gModulatorValues;
int gModulatorSlot = -1;
// Runs after the modulator on every control tick (ControlGain comes later in the control order).
void RecordModulator(Engine& e, std::span<Module* const>) {
    gModulatorValues.push_back(e.slots[size_t(gModulatorSlot)].value[0]);
}
const KindOps kRecordOps{nullptr, &RecordModulator};

class ModulatorTest : public OscillatorTest {
protected:
    ModulatorTest() {
        gModulatorValues.clear();
        engine.controlRate = 4000.0; // one tick every 12 samples
        engine.SetKindOps(ModuleKind::ControlGain, &kRecordOps);
        patch.CreateModule(ModuleKind::ControlGain, {});
    }
    ~ModulatorTest() override { engine.SetKindOps(ModuleKind::ControlGain, nullptr); }
    Module* Modulator(int effect, double baseHz) {
        Module* m = patch.CreateModule(ModuleKind::ControlModulator, {});
        m->enums[modulator::Effect] = effect;
        m->reals[modulator::BaseFrequency] = baseHz;
        m->reals[modulator::FrequencyMultiplier] = 1.0;
        gModulatorSlot = m->slot[0];
        return m;
    }
};

TEST_F(ModulatorTest, UnsignedOutputMapsAFullSineToZeroToThousand) {
    Module* m = Modulator(modulator::AM, 100.0); // 100 Hz at 4000 ticks/s: pi/20 per tick
    m->Link(modulator::Input).value = 100.0;     // x = 1000: AM by |1000 x 0.001| = 1
    Render(12 * 80);
    ASSERT_GE(gModulatorValues.size(), 80u);
    for (int k = 1; k <= 80; ++k)
        ASSERT_NEAR(gModulatorValues[size_t(k - 1)], 500.0 + 500.0 * std::sin(k * kPi / 20.0), 1e-6) << k;
    EXPECT_NEAR(gModulatorValues[9], 1000.0, 1e-6); // tick 10: the crest
    EXPECT_NEAR(gModulatorValues[29], 0.0, 1e-6);   // tick 30: the trough
    EXPECT_NEAR(gModulatorValues[19], 500.0, 1e-6);
    const ModuleSlot& s = engine.slots[size_t(m->slot[0])];
    EXPECT_EQ(s.voiceCount, 1);
    EXPECT_EQ(s.velocity[0], 127.0);
}

TEST_F(ModulatorTest, AmScalesBySignedInputMagnitude) {
    Module* m = Modulator(modulator::AM, 100.0);
    m->bools[modulator::SignedOutput] = true;
    m->Link(modulator::Input).value = -25.0; // x = -250: scale 0.25
    Render(12 * 10);
    EXPECT_NEAR(gModulatorValues[9], 250.0, 1e-6);
    EXPECT_NEAR(gModulatorValues[4], 250.0 * std::sin(5 * kPi / 20.0), 1e-6);
}

TEST_F(ModulatorTest, FmRaisesTheFrequencyLinearlyOrByFactor) {
    Module* lin = Modulator(modulator::FM, 100.0);
    lin->bools[modulator::SignedOutput] = true;
    lin->bools[modulator::LinearInput] = true;
    lin->Link(modulator::Input).value = 10.0; // x = 100: f = 100 + 100 = 200 Hz, pi/10 per tick
    Render(12 * 10);
    EXPECT_NEAR(gModulatorValues[4], 1000.0, 1e-6);
    EXPECT_NEAR(gModulatorValues[2], 1000.0 * std::sin(3 * kPi / 10.0), 1e-6);
}

TEST_F(ModulatorTest, FmByFactorAndNegativeManualInputLowersIt) {
    Module* m = Modulator(modulator::FM, 100.0);
    m->bools[modulator::SignedOutput] = true;
    m->Link(modulator::Input).value = 10.0; // f = 100 (100 x 0.009 + 1) = 190 Hz
    Render(96);                             // 8 ticks
    ASSERT_EQ(gModulatorValues.size(), 8u);
    const double up = 2.0 * kPi * 190.0 / 4000.0;
    EXPECT_NEAR(gModulatorValues[0], 1000.0 * std::sin(up), 1e-6);
    EXPECT_NEAR(gModulatorValues[2], 1000.0 * std::sin(3 * up), 1e-6);

    m->Link(modulator::Input).value = -10.0; // manual and negative: f = 100 / 1.9
    gModulatorValues.clear();
    Render(192);
    const double down = 2.0 * kPi * (100.0 / 1.9) / 4000.0;
    EXPECT_NEAR(gModulatorValues[0], 1000.0 * std::sin(8 * up + down), 1e-6);
    EXPECT_NEAR(gModulatorValues[3], 1000.0 * std::sin(8 * up + 4 * down), 1e-6);
}

TEST_F(ModulatorTest, FollowsTheVoicesOfItsInput) {
    Module* src = Voices({{500.0, 100.0, 60}, {1000.0, 50.0, 67}}, ModuleKind::ControlSensitizer);
    Module* m = Modulator(modulator::AM, 100.0);
    m->bools[modulator::SignedOutput] = true;
    m->Link(modulator::Input).source = src->slot[0];
    Render(96); // 8 ticks
    const ModuleSlot& s = engine.slots[size_t(m->slot[0])];
    EXPECT_EQ(s.voiceCount, 2);
    EXPECT_EQ(s.note[0], 60);
    EXPECT_EQ(s.note[1], 67);
    EXPECT_EQ(s.velocity[0], 100.0);
    EXPECT_EQ(s.velocity[1], 50.0);
    // Tick 8: phase 8 pi/20, AM by 0.5 and 1.
    EXPECT_NEAR(s.value[0], 500.0 * std::sin(8 * kPi / 20.0), 1e-6);
    EXPECT_NEAR(s.value[1], 1000.0 * std::sin(8 * kPi / 20.0), 1e-6);

    m->Link(modulator::Input).source = kNoSource;
    Render(192);
    EXPECT_EQ(s.voiceCount, 0);
}

TEST_F(ModulatorTest, StepSizeQuantizesTheOutput) {
    Module* m = Modulator(modulator::AM, 100.0);
    m->Link(modulator::Input).value = 100.0;
    m->Link(modulator::StepSize).value = 10.0; // 0.1: steps of 100
    Render(12 * 40);
    for (size_t k = 0; k < 40; ++k) {
        const double raw = 500.0 + 500.0 * std::sin(double(k + 1) * kPi / 20.0);
        if (std::abs(raw / 100.0 - std::round(raw / 100.0)) > 1e-6) {
            ASSERT_EQ(gModulatorValues[k], std::trunc(raw / 100.0) * 100.0) << k;
        }
    }
}

} // namespace
} // namespace mw
