// The audio effects and the output analyzer, fed by a stand-in source x[n] and recorded at their device.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "engine/analyzer_picture.hpp"
#include "engine/wave_functions.hpp"
#include "sound_test_support.hpp"

namespace mw {
namespace {

using test::SoundFixture;

class AudioEffectsTest : public ::testing::Test, public SoundFixture {
protected:
    ~AudioEffectsTest() override { engine.SetKindOps(ModuleKind::AudioOsc, nullptr); }
    Module* Effect(ModuleKind kind, Module* input, int inputIndex = 0) {
        Module* m = patch.CreateModule(kind, {});
        m->inputs[inputIndex] = input ? input->slot[0].load() : kNoSource;
        return m;
    }
};

double Ramp(uint64_t n) {
    return double(n) + 1.0;
}

// ------------------------------------------------------------------------------------------ low-pass

TEST_F(AudioEffectsTest, LowPassAtMaxFreq100DelaysOneSample) {
    Effect(ModuleKind::AudioLowPass, Signal(Ramp));
    const auto out = Render(960);
    EXPECT_EQ(out[0], 0.0);
    for (size_t n = 1; n < 960; ++n) ASSERT_DOUBLE_EQ(out[n], Ramp(n - 1)) << n;
}

TEST_F(AudioEffectsTest, LowPassAveragesTheNewestSamples) {
    Module* lp = Effect(ModuleKind::AudioLowPass, Signal(Ramp));
    lp->Link(low_pass::MaxFreq).value = 50.0; // N = 1 + 2399 / 16 = 150.9375, j = 149
    const auto out = Render(960);
    // The 150 stored samples at sample n are x[n-1] .. x[n-150] = n .. n-149: sum 150 n - 11175.
    for (size_t n = 150; n < 960; ++n) ASSERT_NEAR(out[n], (150.0 * n - 11175.0) / 150.9375, 1e-9) << n;
}

TEST_F(AudioEffectsTest, LowPassAtMaxFreq0IsA50MsAverage) {
    Module* lp = Effect(ModuleKind::AudioLowPass, Signal([](uint64_t) { return 2400.0; }));
    lp->Link(low_pass::MaxFreq).value = 0.0;
    const auto out = Render(4800);
    EXPECT_NEAR(out[1200], 1200.0, 1e-9); // 1200 stored samples of 2400 out of 2400 cells
    EXPECT_NEAR(out[2400], 2400.0, 1e-9);
    EXPECT_NEAR(out[4799], 2400.0, 1e-9);
}

// A moving MaxFreq (from a mouse measure) against a direct sum over the input history.
TEST_F(AudioEffectsTest, LowPassFollowsAMovingSetting) {
    std::vector<double> maxFreq;
    Module* lp = Effect(ModuleKind::AudioLowPass, Signal([&](uint64_t n) {
                            maxFreq.push_back(std::clamp(engine.smoothedMeasures[5] * 0.1, 0.0, 100.0));
                            return std::sin(double(n) * 0.01) * 100.0 + double(n % 7);
                        }));
    lp->Link(low_pass::MaxFreq).source = MeasureSource(MouseMeasure::HorizontalPosition);
    std::vector<double> out;
    for (int block = 0; block < 150; ++block) {
        engine.rawMeasures[5] = double((block * 373) % 1000); // jumps; the measure glides at 1/480
        out = Render((block + 1) * 96);
    }
    for (size_t n = 0; n < out.size(); n += 7) {
        const double base = 1.0 - maxFreq[n] * 0.01;
        const double N = 1.0 + 2399.0 * base * base * base * base;
        const int j = int(N - 1.0);
        double sum = 0.0;
        for (int k = 1; k <= j + 1; ++k)
            if (int(n) - k >= 0) sum += std::sin(double(n - k) * 0.01) * 100.0 + double((n - k) % 7);
        ASSERT_NEAR(out[n], sum / N, 1e-6) << n;
    }
}

// ------------------------------------------------------------------------------------------ high-pass

TEST_F(AudioEffectsTest, HighPassSubtractsTheOldestOfTheWindow) {
    Module* hp = Effect(ModuleKind::AudioHighPass, Signal(Ramp));
    hp->Link(high_pass::Attenuation).value = 50.0; // N = 1 + 2399 / 64 = 38.484375, j = 37
    const auto out = Render(480);
    // Stored n .. n-37: sum 38 n - 703, oldest n - 37.
    for (size_t n = 38; n < 480; ++n)
        ASSERT_NEAR(out[n], (38.0 * n - 703.0) / 38.484375 - (double(n) - 37.0), 1e-9) << n;
}

TEST_F(AudioEffectsTest, HighPassAt100GivesSilence) {
    Module* hp = Effect(ModuleKind::AudioHighPass, Signal(Ramp));
    hp->Link(high_pass::Attenuation).value = 100.0;
    for (double v : Render(480)) ASSERT_EQ(v, 0.0);
}

// ------------------------------------------------------------------------------------------ step function

TEST_F(AudioEffectsTest, StepFunctionQuantizes) {
    Module* st =
        Effect(ModuleKind::AudioStepFunction, Signal([](uint64_t n) { return n % 2 ? -27.5 : 27.5; }));
    st->Link(audio_step::StepSize).value = 1.0; // 0.01: steps of 10
    const auto out = Render(96);
    EXPECT_EQ(out[0], 20.0);
    EXPECT_EQ(out[1], -20.0);
    st->Link(audio_step::StepSize).value = 0.0;
    const auto out2 = Render(192);
    EXPECT_EQ(out2[96], 27.5);
}

// ------------------------------------------------------------------------------------------ pitch shift

double HumpWindow(int i, int l) { // the two sine humps of a block of length l
    const int h = l / 2;
    if (i < h) return std::sin(kPi * i / h);
    return std::sin(kPi * (l - i) / h);
}

TEST_F(AudioEffectsTest, Pitch100ReplaysWindowed192SampleBlocks) {
    Effect(ModuleKind::AudioPitchShift, Signal(Ramp));
    const auto out = Render(960);
    for (size_t n = 0; n < 191; ++n) ASSERT_EQ(out[n], 0.0) << n;
    // The first block (x[0..191]) completes at sample 191 and plays from there; the next at 383.
    for (int i = 0; i < 192; ++i) {
        ASSERT_NEAR(out[size_t(191 + i)], Ramp(uint64_t(i)) * HumpWindow(i, 192), 1e-9) << i;
        ASSERT_NEAR(out[size_t(383 + i)], Ramp(uint64_t(192 + i)) * HumpWindow(i, 192), 1e-9) << i;
    }
    EXPECT_NEAR(out[191 + 96], 0.0, 1e-12); // the second hump starts at 0
}

TEST_F(AudioEffectsTest, Pitch200PlaysEachBlockTwiceAtHalfLength) {
    Module* ps = Effect(ModuleKind::AudioPitchShift, Signal(Ramp));
    ps->Link(pitch_shift::Pitch).value = 200.0; // L = 96, each output cell the mean of two inputs
    const auto out = Render(480);
    for (int i = 0; i < 192; ++i) {
        const int k = i % 96;
        const double mean = 0.5 * (Ramp(uint64_t(2 * k)) + Ramp(uint64_t(2 * k + 1)));
        ASSERT_NEAR(out[size_t(191 + i)], mean * HumpWindow(k, 96), 1e-9) << i;
    }
}

TEST_F(AudioEffectsTest, Pitch50StretchesAndCapturesAfterPlayback) {
    Module* ps = Effect(ModuleKind::AudioPitchShift, Signal(Ramp));
    ps->Link(pitch_shift::Pitch).value = 50.0; // L = 384, each input sample held for two cells
    const auto out = Render(1152);
    for (int j = 0; j < 384; ++j)
        ASSERT_NEAR(out[size_t(191 + j)], Ramp(uint64_t(j / 2)) * HumpWindow(j, 384), 1e-9) << j;
    // After the playback (sample 574) it captures samples 575..766 while replaying the old block.
    for (int j = 0; j < 191; ++j)
        ASSERT_NEAR(out[size_t(575 + j)], Ramp(uint64_t(j / 2)) * HumpWindow(j, 384), 1e-9) << j;
    EXPECT_NEAR(out[766 + 2], Ramp(575 + 1) * HumpWindow(2, 384), 1e-9);
}

TEST_F(AudioEffectsTest, PitchOutsideTheDialogRangeStaysDefined) {
    Module* ps = Effect(ModuleKind::AudioPitchShift, Signal(Ramp));
    for (double pitch : {0.0, -50.0, 1e-300, 5.0, 1e6, 1e300}) {
        ps->Link(pitch_shift::Pitch).value = pitch;
        for (double v : Render(int(engine.SampleCounter()) + 4000)) ASSERT_TRUE(std::isfinite(v)) << pitch;
    }
    // A manual pitch of 0 plays like the minimum of 10: blocks of 1920.
    Module* ps2 = Effect(ModuleKind::AudioPitchShift, Signal([](uint64_t) { return 1.0; }));
    ps2->Link(pitch_shift::Pitch).value = 0.0;
    ps2->devices[pitch_shift::Output] = 3;
    const int start = int(engine.SampleCounter());
    Render(start + 4000);
    const auto out = Played(3);
    EXPECT_NEAR(out[191 + 480], 1.0, 1e-12); // the crest of the first hump (960 of the 1920 cells)
    EXPECT_NEAR(out[191 + 960], 0.0, 1e-12); // the second hump begins
}

// ------------------------------------------------------------------------------------------ distortion

struct DistortionCase {
    double q, w, x, expected;
};

TEST_F(AudioEffectsTest, DistortionShapesAndBlends) {
    double x = 0.0;
    Module* d = Effect(ModuleKind::AudioDistortion, Signal([&](uint64_t) { return x; }));
    const double s36 = std::pow(1000.0, 1.0 - 36.0 / 1300.0); // power curve of 1000 at Q = -36
    const DistortionCase cases[] = {
        // Q = 50, |y| = 100: power 100^1.5 = 1000; raised to the threshold 10 Q = 500.
        {50.0, -100.0, 100.0, 1000.0}, // W = -100: the power curve alone
        {50.0, 100.0, 100.0, 500.0},   // W = 100: the clipper (here the raiser) alone
        {50.0, 0.0, 100.0, 750.0},     // W = 0: their mean
        {50.0, -100.0, -100.0, -1000.0},
        {50.0, 100.0, -100.0, -500.0},
        {50.0, 0.0, -100.0, -750.0},
        // Q = -36: clipped at 100 sqrt(64) = 800.
        {-36.0, -100.0, 1000.0, s36},
        {-36.0, 100.0, 1000.0, 800.0},
        {-36.0, 0.0, 1000.0, 0.5 * (s36 + 800.0)},
        {-36.0, 100.0, -1000.0, -800.0},
        {-36.0, 100.0, 300.0, 300.0},
        // Q = 0 leaves the signal as it is, whatever the blend.
        {0.0, -100.0, -300.0, -300.0},
        {0.0, 0.0, -300.0, -300.0},
        {0.0, 50.0, 250.0, 250.0},
        // |W| beyond 100 amplifies the chosen one: W = 200 doubles the clipper.
        {-36.0, 200.0, 1000.0, 1600.0},
        {50.0, -200.0, 100.0, 2000.0},
    };
    for (const auto& c : cases) {
        d->Link(distortion::Compression).value = c.q;
        d->Link(distortion::CompressionWaveform).value = c.w;
        x = c.x;
        const auto out = Render(int(engine.SampleCounter()) + 96);
        EXPECT_NEAR(out.back(), c.expected, 1e-9) << "Q " << c.q << " W " << c.w << " x " << c.x;
    }
    // Overdrive scales.
    d->Link(distortion::Overdrive).value = 50.0;
    d->Link(distortion::Compression).value = 0.0;
    d->Link(distortion::CompressionWaveform).value = 0.0;
    x = 400.0;
    EXPECT_NEAR(Render(int(engine.SampleCounter()) + 96).back(), 200.0, 1e-9);
}

TEST_F(AudioEffectsTest, DistortionNoiseMixesInTheRandomWalk) {
    Module* d = Effect(ModuleKind::AudioDistortion, Signal([](uint64_t) { return 0.0; }));
    d->Link(distortion::Noise).value = 100.0;        // k = 1: y = 1000 level1 + 0
    d->Link(distortion::NoiseFidelity).value = 20.0; // walk 1 at 400 Hz
    const auto out = Render(4800);
    double lo = 0.0, hi = 0.0;
    for (double v : out) {
        ASSERT_LE(std::abs(v), 1000.0 + 1e-9);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_LT(lo, -100.0);
    EXPECT_GT(hi, 100.0);
    // Successive samples differ by at most one step of the walk: 1000 x 2 x 400 / 48000.
    for (size_t n = 1; n < out.size(); ++n)
        ASSERT_LE(std::abs(out[n] - out[n - 1]), 1000.0 * 800.0 / 48000.0 + 1e-6);
}

TEST_F(AudioEffectsTest, DistortionWithDamagedParametersStaysFinite) {
    Module* d = Effect(ModuleKind::AudioDistortion, Signal([](uint64_t n) { return n % 3 ? 1e6 : 0.0; }));
    for (double q : {-5000.0, -1300.0, -200.0, 5000.0, 1e9}) {
        d->Link(distortion::Compression).value = q;
        d->Link(distortion::CompressionWaveform).value = -1e9;
        for (double v : Render(int(engine.SampleCounter()) + 96)) ASSERT_TRUE(std::isfinite(v)) << q;
    }
}

// ------------------------------------------------------------------------------------------ multi-delay

TEST_F(AudioEffectsTest, MultiDelayWithFiveNoneTapsGivesZero) {
    Module* md = Effect(ModuleKind::AudioMultiDelay, Signal(Ramp));
    for (int n = 0; n < 5; ++n) md->Link(multi_delay::Delay1 + n).source = kNoSource;
    for (double v : Render(48000)) ASSERT_EQ(v, 0.0);
}

TEST_F(AudioEffectsTest, MultiDelayTapsAddUp) {
    Module* md = Effect(ModuleKind::AudioMultiDelay, Signal(Ramp));
    md->Link(multi_delay::Delay1).value = 1.0; // 48 samples back from the next write: x[n - 47]
    md->Link(multi_delay::Delay2).value = 2.0; // x[n - 95]
    for (int n = 2; n < 5; ++n) md->Link(multi_delay::Delay1 + n).source = kNoSource;
    const auto out = Render(480);
    for (size_t n = 0; n < 480; ++n) {
        const double a = n >= 47 ? Ramp(n - 47) : 0.0;
        const double b = n >= 95 ? Ramp(n - 95) : 0.0;
        ASSERT_EQ(out[n], a + b) << n;
    }
}

TEST_F(AudioEffectsTest, MultiDelayWithDamagedDelaysStaysInTheRing) {
    Module* md = Effect(ModuleKind::AudioMultiDelay, Signal(Ramp));
    const double delays[] = {-5.0, 0.0, 1e12, -1e12, 10000.0};
    for (int n = 0; n < 5; ++n) md->Link(multi_delay::Delay1 + n).value = delays[n];
    for (double v : Render(960)) ASSERT_EQ(v, 0.0); // every tap reads older than the input
}

// ------------------------------------------------------------------------------------------ echo

TEST_F(AudioEffectsTest, EchoWithLinger0PassesTheInput) {
    Module* e = Effect(ModuleKind::AudioEcho, Signal(Ramp));
    e->Link(audio_echo::Linger).value = 0.0;
    const auto out = Render(48000);
    for (size_t n = 0; n < out.size(); ++n) ASSERT_EQ(out[n], Ramp(n)) << n;
}

TEST_F(AudioEffectsTest, EchoRepeatsEveryIntervalScaledByLinger) {
    Module* e = Effect(ModuleKind::AudioEcho, Signal([](uint64_t n) { return n == 0 ? 1000.0 : 0.0; }));
    e->Link(audio_echo::Interval).value = 1.0; // 48 samples
    e->Link(audio_echo::Linger).value = 50.0;  // x 0.5
    const auto out = Render(480);
    EXPECT_EQ(out[0], 1000.0);
    EXPECT_EQ(out[48], 500.0);
    EXPECT_EQ(out[96], 250.0);
    EXPECT_EQ(out[47], 0.0);
    EXPECT_EQ(out[49], 0.0);
}

TEST_F(AudioEffectsTest, EchoTakesTheMagnitudeOfASourcedLinger) {
    Module* e = Effect(ModuleKind::AudioEcho, Signal([](uint64_t n) { return n == 0 ? 1000.0 : 0.0; }));
    e->Link(audio_echo::Interval).value = 1.0;
    e->Link(audio_echo::Linger).source = kFirstMeasure + 5; // -500 x 100% x 0.01 x 0.001 = -0.5
    engine.rawMeasures[5] = -500.0;
    engine.smoothedMeasures[5] = -500.0; // already there: it stays
    const auto out = Render(480);
    EXPECT_EQ(out[0], 1000.0);
    EXPECT_NEAR(out[48], 500.0, 1e-9);
    EXPECT_NEAR(out[96], 250.0, 1e-9);
}

TEST_F(AudioEffectsTest, EchoCellsAreLimitedBeforeScaling) {
    Module* e = Effect(ModuleKind::AudioEcho, Signal([](uint64_t) { return 60000.0; }));
    e->Link(audio_echo::Interval).value = 1.0;
    e->Link(audio_echo::Linger).value = 100.0;
    const auto out = Render(480);
    EXPECT_EQ(out[0], 60000.0);
    EXPECT_EQ(out[48], 120000.0);
    EXPECT_EQ(out[96], 160000.0); // 100000 + 60000
    EXPECT_EQ(out[144], 160000.0);
}

TEST_F(AudioEffectsTest, EchoSurvivesAShrinkingInterval) {
    Module* e = Effect(ModuleKind::AudioEcho, Signal(Ramp));
    e->Link(audio_echo::Interval).value = 1000.0;
    Render(9600);
    for (double interval : {1.0, -5.0, 0.0, 1e12}) {
        e->Link(audio_echo::Interval).value = interval;
        for (double v : Render(int(engine.SampleCounter()) + 960)) ASSERT_TRUE(std::isfinite(v));
    }
}

// ------------------------------------------------------------------------------------------ split, combine

TEST_F(AudioEffectsTest, SplitterAtFader0PassesToBothOutputs) {
    Module* sp = Effect(ModuleKind::AudioOutputSplit, Signal(Ramp));
    sp->devices[output_split::Output1] = 0;
    sp->devices[output_split::Output2] = 1;
    Render(96);
    EXPECT_EQ(Played(0)[10], Ramp(10));
    EXPECT_EQ(Played(1)[10], Ramp(10));
    sp->Link(output_split::Fader).value = 50.0; // first halved, second unchanged
    Render(192);
    EXPECT_EQ(Played(0)[100], 0.5 * Ramp(100));
    EXPECT_EQ(Played(1)[100], Ramp(100));
    sp->Link(output_split::Fader).value = -150.0; // first x 1.5, second silent
    Render(288);
    EXPECT_EQ(Played(0)[200], 1.5 * Ramp(200));
    EXPECT_EQ(Played(1)[200], 0.0);
    sp->Link(output_split::Fader).value = 300.0; // first silent, second x 3
    Render(384);
    EXPECT_EQ(Played(0)[300], 0.0);
    EXPECT_EQ(Played(1)[300], 3.0 * Ramp(300));
}

TEST_F(AudioEffectsTest, CombinerAtFader0Sums) {
    Module* a = Signal(Ramp);
    Module* b = Effect(ModuleKind::AudioEcho, a); // the echo of Linger 0 passes x
    b->Link(audio_echo::Linger).value = 0.0;
    b->devices[audio_echo::Output] = kNoOutputDevice;
    Module* c = Effect(ModuleKind::AudioInputCombine, a, input_combine::Input1);
    c->inputs[input_combine::Input2] = b->slot[0].load();
    Render(96);
    EXPECT_EQ(Played(-1)[10], 2.0 * Ramp(10));
    c->Link(input_combine::Fader).value = 50.0; // a x 0.5 + b
    Render(192);
    EXPECT_EQ(Played(-1)[100], 1.5 * Ramp(100));
    c->Link(input_combine::Fader).value = -200.0; // a x 2, b silent
    Render(288);
    EXPECT_EQ(Played(-1)[200], 2.0 * Ramp(200));
    c->inputs[input_combine::Input2] = kNoSource; // a none input reads 0
    c->Link(input_combine::Fader).value = 0.0;
    Render(384);
    EXPECT_EQ(Played(-1)[300], Ramp(300));
}

// ------------------------------------------------------------------------------------------ audio input

// Delivers, on each call, the next 192 numbered samples: `second` (the older) holds the first 96.
class CountingAudioInput final : public IAudioInput {
public:
    void BeginInputBlock() override {}
    bool UseInputDevice(int32_t) override { return true; }
    bool ReadInput(int32_t device, uint64_t& position, std::array<int16_t, kInputBufferSamples>& first,
                   std::array<int16_t, kInputBufferSamples>& second, int32_t latencyMs) override {
        ++calls;
        lastDevice = device;
        lastLatency = latencyMs;
        if (!deliver) return false;
        for (int i = 0; i < kInputBufferSamples; ++i) {
            second[size_t(i)] = int16_t(next + i);
            first[size_t(i)] = int16_t(next + kInputBufferSamples + i);
        }
        next += 2 * kInputBufferSamples;
        position += 2;
        return true;
    }
    void EndInputBlock() override {}
    void CloseAllInput() override {}

    bool deliver = true;
    int calls = 0;
    int next = 0;
    int32_t lastDevice = 0;
    int32_t lastLatency = 0;
};

class AudioInputTest : public AudioEffectsTest {
protected:
    AudioInputTest() { engine.SetDevices(&out, nullptr, &in); }
    CountingAudioInput in;
};

constexpr double kScale = 1000.0 / 32767.0;

TEST_F(AudioInputTest, PlaysTheOlderBufferFirstAndHoldsWhenEmpty) {
    Module* a = patch.CreateModule(ModuleKind::AudioInput, {});
    a->devices.get(); // the audio input has no output device: play it through an output module
    Module* o = patch.CreateModule(ModuleKind::AudioOutput, {});
    o->inputs[output::Input] = a->slot[0].load();
    engine.inputLatencyMs = 30;
    Render(96); // nothing yet: holds 0; the block end fetches samples 0..191
    EXPECT_EQ(in.calls, 1);
    EXPECT_EQ(in.lastDevice, -1);
    EXPECT_EQ(in.lastLatency, 30);
    in.deliver = false;
    const auto out1 = Render(96 * 4);
    for (size_t n = 0; n < 96; ++n) ASSERT_EQ(out1[n], 0.0);
    for (size_t i = 0; i < 192; ++i) ASSERT_NEAR(out1[96 + i], double(i) * kScale, 1e-12) << i;
    for (size_t n = 288; n < 384; ++n) ASSERT_NEAR(out1[n], 191.0 * kScale, 1e-12) << n; // hold

    a->Link(audio_input::Gain).value = 50.0;
    in.deliver = true;
    Render(96 * 6);
    EXPECT_NEAR(Played(-1)[96 * 5 + 1], 0.5 * 193.0 * kScale, 1e-12);
}

TEST_F(AudioInputTest, SkipsWhenMoreThan960SamplesWait) {
    Module* a = patch.CreateModule(ModuleKind::AudioInput, {});
    Module* o = patch.CreateModule(ModuleKind::AudioOutput, {});
    o->inputs[output::Input] = a->slot[0].load();
    // Each block reads 96 and receives 192: the backlog at block start grows 192, 288, ... 960, 1056.
    const auto out = Render(96 * 11);
    // Block 11 (samples 960..1055) starts with 1056 waiting and the read count at 864: it skips one and
    // reads one until 960 wait, then reads one per sample.
    for (int i = 0; i < 48; ++i) ASSERT_NEAR(out[size_t(960 + i)], (864.0 + 2 * i + 1) * kScale, 1e-12) << i;
    for (int i = 48; i < 96; ++i) ASSERT_NEAR(out[size_t(960 + i)], (960.0 + (i - 48)) * kScale, 1e-12) << i;
}

TEST_F(AudioInputTest, NoDeviceNeverDelivers) {
    Module* a = patch.CreateModule(ModuleKind::AudioInput, {});
    a->ints[audio_input::InputDevice] = kNoOutputDevice;
    Render(960);
    EXPECT_EQ(in.calls, 0);
}

// ------------------------------------------------------------------------------------------ analyzer

TEST(AnalyzerPictureTest, OscilloscopeDrawsEachFullBuffer) {
    AnalyzerPicture pic;
    pic.SetSize(160, 100);
    pic.SetColours(0x101010, 0xFFFF00);
    EXPECT_EQ(pic.TakePicture(), nullptr);
    std::vector<double> samples(1000, 0.0);
    pic.Append(samples.data(), 1000, AnalyzerPicture::Mode::Oscilloscope);
    EXPECT_EQ(pic.TakePicture(), nullptr);
    pic.Append(samples.data(), 1000, AnalyzerPicture::Mode::Oscilloscope);
    EXPECT_EQ(pic.Fill(), 400); // the rest of the block starts the next buffer
    const AnalyzerPicture::Picture* p = pic.TakePicture();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->number, 1u);
    EXPECT_EQ(p->width, 160);
    EXPECT_EQ(p->height, 100);
    // s = 0: y = (0 + 1) 100 / 2 = 50 from the bottom row, which is row 99 - 50 = 49.
    for (int x = 0; x < 160; ++x)
        for (int y = 0; y < 100; ++y)
            ASSERT_EQ(p->At(x, y), y == 49 ? 0xFFFF00u : 0x101010u) << x << "," << y;
    EXPECT_EQ(pic.TakePicture(), p); // nothing newer: the same picture
}

TEST(AnalyzerPictureTest, OscilloscopeTraceFollowsTheSamples) {
    AnalyzerPicture pic;
    pic.SetSize(100, 50);
    std::vector<double> samples(1600);
    for (int n = 0; n < 1600; ++n) samples[size_t(n)] = n < 800 ? 1.0 : -1.0; // +1 is limited to H-1
    pic.Append(samples.data(), 1600, AnalyzerPicture::Mode::Oscilloscope);
    const auto* p = pic.TakePicture();
    ASSERT_NE(p, nullptr);
    // x = 0, 0.5, ...: sample index trunc(x 16); columns 0..49 show +1 (top row), 50..99 show -1 (bottom).
    EXPECT_EQ(p->At(10, 0), AnalyzerPicture::kDefaultForeground);
    EXPECT_EQ(p->At(10, 49), AnalyzerPicture::kDefaultBackground);
    EXPECT_EQ(p->At(60, 49), AnalyzerPicture::kDefaultForeground);
    EXPECT_EQ(p->At(60, 0), AnalyzerPicture::kDefaultBackground);
}

TEST(AnalyzerPictureTest, AnalyzerBarsShowTheBandOfASine) {
    AnalyzerPicture pic;
    pic.SetSize(160, 100);
    const double f = AnalyzerPicture::BandFrequency(8);
    std::vector<double> samples(1600);
    for (int n = 0; n < 1600; ++n) samples[size_t(n)] = 0.5 * std::sin(kTwoPi * f * n / 48000.0);
    pic.Append(samples.data(), 1600, AnalyzerPicture::Mode::Analyzer);
    const auto& levels = pic.BandLevels();
    // Amplitude 0.5 is -6.02 dB: level (60 - 6.02) / 60.
    EXPECT_NEAR(levels[8], (60.0 + 20.0 * std::log10(0.5)) / 60.0, 0.01);
    EXPECT_LT(levels[0], 0.2);
    EXPECT_LT(levels[15], 0.2);
    for (double l : levels) {
        EXPECT_GE(l, 0.0);
        EXPECT_LE(l, 1.0);
    }
    const auto* p = pic.TakePicture();
    ASSERT_NE(p, nullptr);
    // Bar 8 spans columns 80..88 (89 is the gap), round(0.8997 x 100) = 90 rows from the bottom.
    EXPECT_EQ(p->At(84, 99), AnalyzerPicture::kDefaultForeground);
    EXPECT_EQ(p->At(84, 10), AnalyzerPicture::kDefaultForeground);
    EXPECT_EQ(p->At(84, 9), AnalyzerPicture::kDefaultBackground);
    EXPECT_EQ(p->At(89, 99), AnalyzerPicture::kDefaultBackground);
}

// Reads back a constant block on the -1..1 scale.
class ConstantReadBack final : public IAudioOutput {
public:
    void BeginBlock() override {}
    bool Submit(int32_t, const OutputBlock&, int64_t* q) override {
        if (q) *q = 0;
        return true;
    }
    void EndBlock() override {}
    bool ReadBack(int32_t id, OutputBlock& block, bool, bool) override {
        lastId = id;
        block.samples.fill(value);
        return true;
    }
    void CloseAll() override {}
    double value = 0.5;
    int32_t lastId = 0;
};

TEST(AnalyzerModule, ReadsBackItsDeviceAfterEachBlock) {
    ConstantReadBack dev;
    Engine engine;
    engine.SetDevices(&dev, nullptr, nullptr);
    engine.steerLatency = false;
    Patch patch(engine);
    Module* an = patch.CreateModule(ModuleKind::AudioOutputAnalyzer, {});
    an->devices[analyzer::Output] = 3;
    AnalyzerPicture* pic = AnalyzerPictureOf(*an);
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(an->Enum(analyzer::Mode), analyzer::Oscilloscope);
    engine.BeginOffline();
    for (int b = 0; b < 16; ++b) engine.RenderBlock();
    EXPECT_EQ(pic->Fill(), 1536);
    EXPECT_EQ(pic->TakePicture(), nullptr);
    engine.RenderBlock(); // 1632: one picture, 32 left over
    EXPECT_EQ(pic->Fill(), 32);
    EXPECT_EQ(dev.lastId, 3);
    const auto* p = pic->TakePicture();
    ASSERT_NE(p, nullptr);
    // 0.5: y = 1.5 H / 2 = 60 of 80 from the bottom: row 19.
    EXPECT_EQ(p->At(0, 80 - 1 - 60), AnalyzerPicture::kDefaultForeground);
    // No device: silence, and the read-back is not asked.
    an->devices[analyzer::Output] = kNoOutputDevice;
    dev.lastId = 0;
    for (int b = 0; b < 17; ++b) engine.RenderBlock();
    EXPECT_EQ(dev.lastId, 0);
    p = pic->TakePicture();
    // (columns from 2 on: the first 32 samples are the 0.5 left over from before)
    EXPECT_EQ(p->At(10, 80 - 1 - 40), AnalyzerPicture::kDefaultForeground);
    // Unwatched (an offline render), it neither reads back nor draws.
    engine.drawPictures = false;
    an->devices[analyzer::Output] = 3;
    const int fill = pic->Fill();
    for (int b = 0; b < 17; ++b) engine.RenderBlock();
    EXPECT_EQ(dev.lastId, 0);
    EXPECT_EQ(pic->Fill(), fill);
    engine.EndOffline();
}

} // namespace
} // namespace mw

namespace mw {
namespace {

// The user interface takes pictures while the engine thread draws them.
TEST(AnalyzerThreading, PicturesAreTakenWhileTheEngineDraws) {
    Engine engine;
    Patch patch(engine);
    Module* o = patch.CreateModule(ModuleKind::AudioOsc, {});
    o->devices[osc::Output] = kNoOutputDevice;
    Module* an = patch.CreateModule(ModuleKind::AudioOutputAnalyzer, {});
    AnalyzerPicture* pic = AnalyzerPictureOf(*an);
    ASSERT_NE(pic, nullptr);
    engine.StartEngine();
    uint64_t last = 0;
    int taken = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    while (std::chrono::steady_clock::now() < until) {
        pic->SetColours(0x000000, uint32_t(taken) & 0xFFFFFF);
        an->enums[analyzer::Mode] = taken % 2;
        if (const AnalyzerPicture::Picture* p = pic->TakePicture()) {
            ASSERT_GE(p->number, last);
            if (p->number != last) ++taken;
            last = p->number;
            uint64_t sum = 0;
            for (int y = 0; y < p->height; ++y)
                for (int x = 0; x < p->width; ++x) sum += p->At(x, y);
            EXPECT_GE(sum, 0u);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    engine.StopEngine();
    engine.JoinThreads();
    EXPECT_GT(taken, 2);
}

} // namespace
} // namespace mw
