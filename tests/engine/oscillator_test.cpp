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
    Module* Osc(double waveform = 0.0, int32_t device = -1) {
        Module* m = patch.CreateModule(ModuleKind::AudioOsc, {});
        m->Link(osc::Waveform).value = waveform;
        m->devices[osc::Output] = device;
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

TEST_F(OscillatorTest, FrequencyPhaseAndStepsFromTheSettingsAMouseMeasureOrAModule) {
    engine.rawMeasures[3] = engine.smoothedMeasures[3] = 50.0;
    engine.rawMeasures[7] = engine.smoothedMeasures[7] = -500.0;
    Osc(); // on the default device, 440 Hz by default: 4.4 x 100
    Osc(0.0, 0)->Link(osc::Frequency).source = MeasureSource(MouseMeasure::Speed); // 50 x 6 = 300 Hz
    Module* byModule = Osc(0.0, 1);
    byModule->Link(osc::Frequency).source = AudioValue(300.0)->slot[0]; // 300 Hz
    byModule->Link(osc::Frequency).sensitivity = 50.0;                  // x 0.5: 150 Hz
    // 0 Hz: the phase angle stays 0, so the output is sin(Phase x 0.02 pi) at full amplitude. Here
    // -500 x 0.05 = -25, p = -pi/2, brought to 3 pi / 2: a sine of -1, not the +1 of a made-positive phase.
    Module* byPhase = Osc(0.0, 2);
    byPhase->Link(osc::Frequency).value = 0.0;
    byPhase->Link(osc::Phase).source = MeasureSource(MouseMeasure::HorizontalVelocity);
    Osc(0.0, 3)->Link(osc::StepSize).value = 1.0; // 440 Hz cut towards zero to steps of 10
    Module* damaged = Osc(-5.0, 4);               // damaged settings stay finite
    const std::pair<int, double> damages[] = {{osc::Frequency, -3.0},
                                              {osc::Ramp, -1e9},
                                              {osc::Phase, 1e12},
                                              {osc::StepSize, -1e9},
                                              {osc::Noise, 1e6}};
    for (auto [link, value] : damages) damaged->Link(link).value = value;
    const auto out = Render(48000 + 480);
    EXPECT_NEAR(UpwardCrossings(out, 480, 48480), 440, 1);
    EXPECT_NEAR(UpwardCrossings(Played(0), 480, 48480), 300, 1);
    EXPECT_NEAR(UpwardCrossings(Played(1), 480, 48480), 150, 1);
    // Amplitude 500 after the attack.
    EXPECT_NEAR(*std::max_element(out.begin() + 480, out.end()), 500.0, 0.5);
    EXPECT_NEAR(Played(2)[999], -500.0, 1e-6);
    const auto steps = Played(3);
    int nonZero = 0;
    for (size_t n = 480; n < 4800; ++n) {
        ASSERT_EQ(std::fmod(steps[n], 10.0), 0.0) << n;
        ASSERT_LE(std::abs(steps[n] - out[n]), 10.0) << n; // (the unquantized one, on the default device)
        nonZero += steps[n] != 0.0;
    }
    EXPECT_GT(nonZero, 4000);
    for (double v : Played(4)) ASSERT_TRUE(std::isfinite(v));
}

TEST(OscillatorEnvelope, AttackReleaseAndANoteComingBackWhileReleasing) {
    // A square, whose |output| is the envelope. The attack rises in a line to 500 at 10 ms (480 samples).
    // The release starts at position trunc(-96 (10 - t ms)) during the attack (-384 at 6 ms: 325 against
    // 300), at -1 after it, and goes down 500 (21 + position / 48) 0.05 to 0 at -1008, where the voice
    // goes. A note back while releasing starts no new attack until the fade is over, then with phase 0.
    const auto attack = [](int n) { return 500.0 * std::min(n, 480) / 480.0; };
    const auto release = [](int counter) { return std::max(0.0, 500.0 * (21.0 + counter / 48.0) * 0.05); };
    const struct {
        int releaseAt, counter, backAt;
    } cases[] = {{288, -384, 0}, {480, -1, 0}, {960, -1, 0}, {960, -1, 1056}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.releaseAt << " back at " << c.backAt);
        SoundFixture f;
        Module* o = f.patch.CreateModule(ModuleKind::AudioOsc, {});
        o->Link(osc::Waveform).value = 200.0;
        f.Render(c.releaseAt);
        o->Link(osc::Frequency).source = kNoSource;
        if (c.backAt) {
            f.Render(c.backAt);
            o->Link(osc::Frequency).source = kManualSource;
        }
        const auto out = f.Render(c.releaseAt + 2000);
        const int end = c.releaseAt + 1008 + c.counter + 1; // the first sample after the fade
        for (int n = 0; n < c.releaseAt + 2000; ++n) {
            const double level = n < c.releaseAt ? attack(n)
                                 : n < end       ? release(c.counter - (n - c.releaseAt))
                                 : c.backAt      ? attack(n - end)
                                                 : 0.0;
            ASSERT_NEAR(std::abs(out[size_t(n)]), level, 1e-9) << n;
        }
        EXPECT_GT(out[1], 0.0); // the phase starts at 0: the first half period is positive
        if (c.backAt) {
            EXPECT_GT(out[size_t(end + 1)], 0.0);
        }
    }
}

TEST_F(OscillatorTest, SourceVoicesAreSummedWithTheirVelocitiesAndTheFrequencyIsLimited) {
    Module* src = Voices({{100.0, 127.0, 60}, {100.0, 63.5, 64}, {-1e9, 127.0, 1}});
    Module* o = Osc(200.0);
    o->Link(osc::Frequency).source = src->slot[0];
    const auto out = Render(960);
    EXPECT_EQ(engine.slots[size_t(o->slot[0])].voiceCount, 1);
    // Squares: the two 100 Hz ones still in their positive half, 500 at full velocity and 250 at half; the
    // third limited to 24000 Hz (|f|), +-500.
    for (size_t n = 600; n < 700; ++n) ASSERT_NEAR(std::abs(out[n] - 750.0), 500.0, 1e-9) << n;
}

TEST(OscillatorLimits, ANegativeOrNaNManualFrequencyStandsStillAndAHighOneIsLimited) {
    const auto square = [](double value) { // x 100 Hz
        SoundFixture f;
        Module* o = f.patch.CreateModule(ModuleKind::AudioOsc, {});
        o->Link(osc::Waveform).value = 200.0;
        o->Link(osc::Frequency).value = value;
        return f.Render(600);
    };
    // A square whose phase stands at 0 plays +500 once the attack is over.
    for (const double value : {-4.4, std::nan("")}) {
        const auto out = square(value);
        ASSERT_EQ(out.size(), 672u);
        for (size_t n = 480; n < out.size(); ++n) ASSERT_EQ(out[n], 500.0) << value << " " << n;
    }
    EXPECT_EQ(square(300.0), square(240.0)); // 30 kHz plays as 24 kHz
    EXPECT_NE(square(240.0), square(239.0));
}

TEST(OscillatorNoise, NoiseBendsTheFrequencyRandomly) {
    // The random walk bends the frequency by up to Noise percent; without Noise the generator plays no role.
    const auto render = [](uint32_t seed, double noise) {
        SoundFixture f;
        f.engine.Seed(seed);
        f.patch.CreateModule(ModuleKind::AudioOsc, {})->Link(osc::Noise).value = noise;
        return f.Render(9600);
    };
    EXPECT_EQ(render(1, 0.0), render(2, 0.0));
    const auto a = render(1, 50.0);
    EXPECT_NE(a, render(2, 50.0));
    EXPECT_EQ(a, render(1, 50.0)); // reproducible with the same seed
    // Between 220 and 660 Hz: 0.2 s holds 44..132 cycles.
    const int cycles = UpwardCrossings(a, 0, a.size());
    EXPECT_TRUE(cycles >= 44 && cycles <= 133) << cycles;
    for (double v : a) ASSERT_LE(std::abs(v), 500.0 + 1e-9);
}

// An oscillator that reads no module is worked out a block ahead; one whose amplitude comes from a
// module runs sample by sample. With the same settings both must play the same samples: through the
// mouse measure's smoothing, a waveform blend, ramp and phase, a wandering frequency and the release.
TEST_F(OscillatorTest, WorkedOutAheadItSoundsAsSampleBySample) {
    Module* amplitude = AudioValue(100.0);
    Module* ahead = Osc(150.0, 0);
    Module* bySample = Osc(150.0, 1);
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
    engine.rawMeasures[kMeasure] = 700.0;
    Render(3000);
    engine.rawMeasures[kMeasure] = 150.0; // the frequency glides down
    Render(6000);
    for (Module* m : {ahead, bySample}) m->Link(osc::Frequency).source = kNoSource; // release
    Render(9000);
    const auto a = Played(0);
    ASSERT_EQ(a.size(), Played(1).size());
    EXPECT_EQ(a, Played(1));
    EXPECT_EQ(*std::max_element(a.begin(), a.end()), 90.0); // amplitude 100 in steps of 10
    EXPECT_EQ(a.back(), 0.0);                               // released and gone
}

TEST_F(OscillatorTest, ModulatorEffectsSignsStepsAndVoicesFollowTheirSines) {
    // 10 Hz modulators with one control tick per block, at its first sample: 8 ticks at a first manual
    // input and 8 at a second. Input x = 10 Value: AM scales by |x 0.001|; FM adds x Hz (linear) or
    // multiplies by x 0.009 + 1, and divides by that for a negative manual input. Unsigned output is
    // 500 + 500 sin, signed 1000 sin; StepSize 10 cuts towards zero to steps of 100.
    engine.controlRate = 48000.0 / 96.0;
    const struct Case {
        const char* name;
        int effect;
        bool signedOut, linear;
        double step, input[2], hz[2], scale[2];
    } cases[] = {
        {"AM unsigned", modulator::AM, false, false, 0.0, {100.0, 100.0}, {10.0, 10.0}, {1.0, 1.0}},
        {"AM signed", modulator::AM, true, false, 0.0, {-25.0, 50.0}, {10.0, 10.0}, {0.25, 0.5}},
        {"FM linear", modulator::FM, true, true, 0.0, {10.0, 20.0}, {110.0, 210.0}, {1.0, 1.0}},
        {"FM factor", modulator::FM, true, false, 0.0, {10.0, -10.0}, {19.0, 10.0 / 1.9}, {1.0, 1.0}},
        {"stepped", modulator::AM, false, false, 10.0, {100.0, 100.0}, {10.0, 10.0}, {1.0, 1.0}}};
    const auto addModulator = [&](int effect) {
        Module* m = patch.CreateModule(ModuleKind::ControlModulator, {});
        m->enums[modulator::Effect] = effect;
        m->reals[modulator::BaseFrequency] = 10.0;
        m->reals[modulator::FrequencyMultiplier] = 1.0;
        return m;
    };
    std::vector<Module*> mods;
    for (const Case& c : cases) {
        Module* m = mods.emplace_back(addModulator(c.effect));
        m->bools[modulator::SignedOutput] = c.signedOut;
        m->bools[modulator::LinearInput] = c.linear;
        m->Link(modulator::StepSize).value = c.step;
        m->Link(modulator::Input).value = c.input[0];
    }
    // One more follows the voices of its input: AM by 0.5 and 1, the velocities and notes passed on.
    Module* src = Voices({{500.0, 100.0, 60}, {1000.0, 50.0, 67}}, ModuleKind::ControlSensitizer);
    Module* byVoices = addModulator(modulator::AM);
    byVoices->bools[modulator::SignedOutput] = true;
    byVoices->Link(modulator::Input).source = src->slot[0];
    std::vector<double> phase(mods.size(), 0.0); // goes on smoothly where the frequency changes
    for (int k = 0; k < 16; ++k) {
        if (k == 8)
            for (size_t i = 0; i < mods.size(); ++i)
                mods[i]->Link(modulator::Input).value = cases[i].input[1];
        Render(96 * (k + 1));
        for (size_t i = 0; i < mods.size(); ++i) {
            const Case& c = cases[i];
            SCOPED_TRACE(testing::Message() << c.name << ", tick " << k + 1);
            phase[i] += 2.0 * kPi * c.hz[k / 8] / 500.0;
            const double sine = std::sin(phase[i]) * c.scale[k / 8];
            const double raw = c.signedOut ? 1000.0 * sine : 500.0 + 500.0 * sine;
            const ModuleSlot& s = engine.slots[size_t(mods[i]->slot[0])];
            ASSERT_EQ(s.voiceCount, 1);
            EXPECT_EQ(s.velocity[0], 127.0);
            if (c.step == 0.0) {
                EXPECT_NEAR(s.value[0], raw, 1e-6);
            } else if (std::abs(raw / 100.0 - std::round(raw / 100.0)) > 1e-6) {
                EXPECT_EQ(s.value[0], std::trunc(raw / 100.0) * 100.0);
            }
        }
    }
    const ModuleSlot& s = engine.slots[size_t(byVoices->slot[0])];
    ASSERT_EQ(s.voiceCount, 2);
    for (size_t v = 0; v < 2; ++v) {
        EXPECT_EQ(s.note[v], v ? 67 : 60);
        EXPECT_EQ(s.velocity[v], v ? 50.0 : 100.0);
        EXPECT_NEAR(s.value[v], (v ? 1000.0 : 500.0) * std::sin(16 * 2.0 * kPi * 10.0 / 500.0), 1e-6);
    }
    byVoices->Link(modulator::Input).source = kNoSource;
    Render(96 * 17);
    EXPECT_EQ(s.voiceCount, 0);
}

} // namespace
} // namespace mw
