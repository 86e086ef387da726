// The audio effects and the output analyzer, fed by a stand-in source x[n] and recorded at their device.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <thread>
#include <tuple>
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
    // An effect on `input`, playing on `device` (its first device).
    Module* Effect(ModuleKind kind, Module* input, int32_t device = -1, int inputIndex = 0) {
        Module* m = patch.CreateModule(kind, {});
        m->inputs[inputIndex] = input ? input->slot[0].load() : kNoSource;
        m->devices[0] = device;
        return m;
    }
};

// Each (x, y) of the picture in the foreground colour (true) or the background colour (false).
void ExpectPixels(const AnalyzerPicture::Picture* p,
                  std::initializer_list<std::tuple<int, int, bool>> pixels) {
    ASSERT_NE(p, nullptr);
    for (const auto& [x, y, fore] : pixels)
        EXPECT_EQ(p->At(x, y),
                  fore ? AnalyzerPicture::kDefaultForeground : AnalyzerPicture::kDefaultBackground)
            << x << "," << y;
}

double Ramp(uint64_t n) {
    return double(n) + 1.0;
}

// The averaging filters by their definition: the newest int(N) inputs before sample n (none before the
// start), summed and divided by N; the high-pass subtracts the oldest of them from that mean.
double Averaged(const std::function<double(uint64_t)>& x, size_t n, double N, bool highPass) {
    const size_t cells = size_t(N - 1.0) + 1;
    double sum = 0.0;
    for (size_t k = 1; k <= cells && k <= n; ++k) sum += x(n - k);
    return sum / N - (highPass && n >= cells ? x(n - cells) : 0.0);
}

// N = 1 + 2399 (1 - MaxFreq / 100)^4 for the low-pass, 1 + 2399 (1 - Attenuation / 100)^6 for the high-pass.
TEST_F(AudioEffectsTest, AveragingFiltersWithFixedSettings) {
    struct Row {
        ModuleKind kind;
        double setting, N;
    };
    const Row rows[] = {
        {ModuleKind::AudioLowPass, 100.0, 1.0}, // a delay of one sample
        {ModuleKind::AudioLowPass, 50.0, 1.0 + 2399.0 / 16.0},
        {ModuleKind::AudioLowPass, 0.0, 2400.0}, // a 50 ms average
        {ModuleKind::AudioHighPass, 50.0, 1.0 + 2399.0 / 64.0},
        {ModuleKind::AudioHighPass, 100.0, 1.0}, // silence
    };
    Module* source = Signal(Ramp);
    for (size_t i = 0; i < std::size(rows); ++i)
        Effect(rows[i].kind, source, int32_t(i))->Link(0).value = rows[i].setting;
    Render(4800);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto out = Played(int32_t(i));
        ASSERT_EQ(out.size(), 4800u);
        const bool highPass = rows[i].kind == ModuleKind::AudioHighPass;
        for (size_t n = 0; n < out.size(); ++n)
            ASSERT_NEAR(out[n], Averaged(Ramp, n, rows[i].N, highPass), 1e-9)
                << "row " << i << ", sample " << n;
    }
}

// A moving MaxFreq (from a mouse measure) against a direct sum over the input history.
TEST_F(AudioEffectsTest, LowPassFollowsAMovingSetting) {
    std::vector<double> maxFreq;
    const auto x = [](uint64_t n) { return std::sin(double(n) * 0.01) * 100.0 + double(n % 7); };
    Module* lp = Effect(ModuleKind::AudioLowPass, Signal([&](uint64_t n) {
                            maxFreq.push_back(std::clamp(engine.smoothedMeasures[5] * 0.1, 0.0, 100.0));
                            return x(n);
                        }));
    lp->Link(low_pass::MaxFreq).source = MeasureSource(MouseMeasure::HorizontalPosition);
    std::vector<double> out;
    for (int block = 0; block < 150; ++block) {
        engine.rawMeasures[5] = double((block * 373) % 1000); // jumps; the measure glides at 1/480
        out = Render((block + 1) * 96);
    }
    for (size_t n = 0; n < out.size(); n += 7) {
        const double base = 1.0 - maxFreq[n] * 0.01;
        ASSERT_NEAR(out[n], Averaged(x, n, 1.0 + 2399.0 * base * base * base * base, false), 1e-6) << n;
    }
}

TEST_F(AudioEffectsTest, StepFunctionQuantizes) {
    Module* st =
        Effect(ModuleKind::AudioStepFunction, Signal([](uint64_t n) { return n % 2 ? -27.5 : 27.5; }));
    st->Link(audio_step::StepSize).value = 1.0; // 0.01: steps of 10
    const auto out = Render(96);
    EXPECT_EQ(std::tuple(out[0], out[1]), std::tuple(20.0, -20.0));
    st->Link(audio_step::StepSize).value = 0.0;
    const auto out2 = Render(192);
    EXPECT_EQ(out2[96], 27.5);
}

double HumpWindow(int i, int l) { // the two sine humps of a block of length l
    const int h = l / 2;
    if (i < h) return std::sin(kPi * i / h);
    return std::sin(kPi * (l - i) / h);
}

// A block of 192 input samples completes at sample 191 and plays from there as L = 192 x 100 / pitch cells
// under two sine humps; nothing plays before.
TEST_F(AudioEffectsTest, PitchShiftReplaysWindowedBlocks) {
    struct Row {
        double pitch;
        int L;
        double (*cell)(int); // cell j of the first block
    };
    const Row rows[] = {
        {100.0, 192, [](int j) { return Ramp(uint64_t(j)); }},
        {200.0, 96, [](int j) { return 0.5 * (Ramp(uint64_t(2 * j)) + Ramp(uint64_t(2 * j + 1))); }},
        {50.0, 384, [](int j) { return Ramp(uint64_t(j / 2)); }}, // each input held for two cells
    };
    Module* source = Signal(Ramp);
    for (size_t i = 0; i < std::size(rows); ++i)
        Effect(ModuleKind::AudioPitchShift, source, int32_t(i))->Link(pitch_shift::Pitch).value =
            rows[i].pitch;
    Render(1152);
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].pitch);
        const auto out = Played(int32_t(i));
        ASSERT_EQ(out.size(), 1152u);
        for (size_t n = 0; n < 191; ++n) ASSERT_EQ(out[n], 0.0) << n;
        // At pitch 200 the block plays twice in the time it took to capture.
        for (int j = 0; j < std::max(rows[i].L, 192); ++j) {
            const int k = j % rows[i].L;
            ASSERT_NEAR(out[size_t(191 + j)], rows[i].cell(k) * HumpWindow(k, rows[i].L), 1e-9) << j;
        }
    }
    // At pitch 100 the next block (x[192..383]) follows at 383; each block's second hump starts at 0.
    const auto same = Played(0);
    for (int i = 0; i < 192; ++i)
        ASSERT_NEAR(same[size_t(383 + i)], Ramp(uint64_t(192 + i)) * HumpWindow(i, 192), 1e-9) << i;
    EXPECT_NEAR(same[191 + 96], 0.0, 1e-12);
    // At pitch 50, after the playback (sample 574), it captures samples 575..766 while replaying the old
    // block.
    const auto slow = Played(2);
    for (int j = 0; j < 191; ++j)
        ASSERT_NEAR(slow[size_t(575 + j)], Ramp(uint64_t(j / 2)) * HumpWindow(j, 384), 1e-9) << j;
    EXPECT_NEAR(slow[766 + 2], Ramp(575 + 1) * HumpWindow(2, 384), 1e-9);
}

TEST_F(AudioEffectsTest, PitchZeroPlaysLikeTheMinimumOfTen) {
    Module* ps = Effect(ModuleKind::AudioPitchShift, Signal([](uint64_t) { return 1.0; }));
    ps->Link(pitch_shift::Pitch).value = 0.0; // blocks of 1920
    const auto out = Render(4000);
    EXPECT_NEAR(out[191 + 480], 1.0, 1e-12); // the crest of the first hump (960 of the 1920 cells)
    EXPECT_NEAR(out[191 + 960], 0.0, 1e-12); // the second hump begins
}

struct DistortionCase {
    double q, w, x, expected;
};

TEST_F(AudioEffectsTest, DistortionShapesAndBlends) {
    double x = 0.0;
    Module* d = Effect(ModuleKind::AudioDistortion, Signal([&](uint64_t) { return x; }));
    const double s36 = std::pow(1000.0, 1.0 - 36.0 / 1300.0); // power curve of 1000 at Q = -36
    // Q = 50, |y| = 100: power 100^1.5 = 1000; raised to the threshold 10 Q = 500. W = -100 gives the power
    // curve alone, W = 100 the clipper (here the raiser) alone, W = 0 their mean.
    // Q = -36: clipped at 100 sqrt(64) = 800. Q = 0 leaves the signal as it is, whatever the blend.
    // |W| beyond 100 amplifies the chosen one: W = 200 doubles the clipper.
    // clang-format off
    const DistortionCase cases[] = {
        {50.0, -100.0, 100.0, 1000.0}, {50.0, 100.0, 100.0, 500.0}, {50.0, 0.0, 100.0, 750.0},
        {50.0, -100.0, -100.0, -1000.0}, {50.0, 100.0, -100.0, -500.0}, {50.0, 0.0, -100.0, -750.0},
        {-36.0, -100.0, 1000.0, s36}, {-36.0, 100.0, 1000.0, 800.0}, {-36.0, 0.0, 1000.0, 0.5 * (s36 + 800.0)},
        {-36.0, 100.0, -1000.0, -800.0}, {-36.0, 100.0, 300.0, 300.0},
        {0.0, -100.0, -300.0, -300.0}, {0.0, 0.0, -300.0, -300.0}, {0.0, 50.0, 250.0, 250.0},
        {-36.0, 200.0, 1000.0, 1600.0}, {50.0, -200.0, 100.0, 2000.0}};
    // clang-format on
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
        std::tie(lo, hi) = std::tuple(std::min(lo, v), std::max(hi, v));
    }
    EXPECT_TRUE(lo < -100.0 && hi > 100.0) << lo << " " << hi;
    // Successive samples differ by at most one step of the walk: 1000 x 2 x 400 / 48000.
    for (size_t n = 1; n < out.size(); ++n)
        ASSERT_LE(std::abs(out[n] - out[n - 1]), 1000.0 * 800.0 / 48000.0 + 1e-6);
}

// Settings far outside their dialog ranges, changed while playing (the echo's interval shrinking below what
// its ring holds), keep every output finite.
TEST_F(AudioEffectsTest, DamagedSettingsStayFinite) {
    Module* source = Signal([](uint64_t n) { return n % 3 ? 1e6 : 0.0; });
    Module* pitch = Effect(ModuleKind::AudioPitchShift, source, 0);
    Module* distortion = Effect(ModuleKind::AudioDistortion, source, 1);
    distortion->Link(distortion::CompressionWaveform).value = -1e9;
    Module* echo = Effect(ModuleKind::AudioEcho, source, 2);
    const double pitches[] = {0.0, -50.0, 1e-300, 5.0, 1e6, 1e300};
    const double compressions[] = {-5000.0, -1300.0, -200.0, 5000.0, 1e9, 0.0};
    const double intervals[] = {1000.0, 1.0, -5.0, 0.0, 1e12, 1.0};
    for (size_t i = 0; i < std::size(pitches); ++i) {
        pitch->Link(pitch_shift::Pitch).value = pitches[i];
        distortion->Link(distortion::Compression).value = compressions[i];
        echo->Link(audio_echo::Interval).value = intervals[i];
        Render(int(engine.SampleCounter()) + 4000);
    }
    for (int32_t device : {0, 1, 2}) {
        const auto out = Played(device);
        ASSERT_GE(out.size(), 24000u);
        for (size_t n = 0; n < out.size(); ++n) ASSERT_TRUE(std::isfinite(out[n])) << device << ": " << n;
    }
}

// Taps 3 to 5 on none add nothing.
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

// (Linger 0 passing the input as it is shows in the combiner test.)
TEST_F(AudioEffectsTest, EchoRepeatsEveryIntervalScaledByLinger) {
    Module* source = Signal([](uint64_t n) { return n == 0 ? 1000.0 : 0.0; });
    Module* fixed = Effect(ModuleKind::AudioEcho, source, 0);
    fixed->Link(audio_echo::Linger).value = 50.0; // x 0.5
    Module* sourced = Effect(ModuleKind::AudioEcho, source, 1);
    sourced->Link(audio_echo::Linger).source = kFirstMeasure + 5; // -500 x 100% x 0.01 x 0.001 = -0.5
    engine.rawMeasures[5] = -500.0;
    engine.smoothedMeasures[5] = -500.0;                                          // already there: it stays
    for (Module* e : {fixed, sourced}) e->Link(audio_echo::Interval).value = 1.0; // 48 samples
    Render(480);
    for (int32_t device : {0, 1}) { // a sourced Linger counts by its magnitude
        SCOPED_TRACE(device);
        const auto out = Played(device);
        EXPECT_EQ((std::array{out[0], out[47], out[48], out[49], out[96]}),
                  (std::array{1000.0, 0.0, 500.0, 0.0, 250.0}));
    }
}

TEST_F(AudioEffectsTest, EchoCellsAreLimitedBeforeScaling) {
    Module* e = Effect(ModuleKind::AudioEcho, Signal([](uint64_t) { return 60000.0; }));
    e->Link(audio_echo::Interval).value = 1.0;
    e->Link(audio_echo::Linger).value = 100.0;
    const auto out = Render(480); // 100000 + 60000 at most
    EXPECT_EQ((std::array{out[0], out[48], out[96], out[144]}),
              (std::array{60000.0, 120000.0, 160000.0, 160000.0}));
}

// Each row plays one more block; sample 10 of that block is compared.
TEST_F(AudioEffectsTest, SplitterFadesBetweenItsOutputs) {
    Module* sp = Effect(ModuleKind::AudioOutputSplit, Signal(Ramp), 0);
    sp->devices[output_split::Output2] = 1;
    // Fader, then the gains of the two outputs: 0 passes to both; a fader beyond 100 amplifies the other.
    const double rows[][3] = {{0.0, 1.0, 1.0}, {50.0, 0.5, 1.0}, {-150.0, 1.5, 0.0}, {300.0, 0.0, 3.0}};
    int end = 0;
    for (const auto& r : rows) {
        sp->Link(output_split::Fader).value = r[0];
        Render(end += 96);
        const size_t n = size_t(end - 86);
        EXPECT_EQ(Played(0)[n], r[1] * Ramp(n)) << r[0];
        EXPECT_EQ(Played(1)[n], r[2] * Ramp(n)) << r[0];
    }
}

TEST_F(AudioEffectsTest, CombinerFadesBetweenItsInputs) {
    Module* a = Signal(Ramp);
    Module* b = Effect(ModuleKind::AudioEcho, a, kNoOutputDevice); // the echo of Linger 0 passes x
    b->Link(audio_echo::Linger).value = 0.0;
    Module* c = Effect(ModuleKind::AudioInputCombine, a, -1, input_combine::Input1);
    // Fader, input 2 connected (a none input reads 0), then the gain of a + b: at 0 the sum, at 50 a x 0.5 +
    // b, at -200 a x 2 and b silent.
    const double rows[][3] = {{0.0, 1.0, 2.0}, {50.0, 1.0, 1.5}, {-200.0, 1.0, 2.0}, {0.0, 0.0, 1.0}};
    int end = 0;
    for (const auto& r : rows) {
        c->Link(input_combine::Fader).value = r[0];
        c->inputs[input_combine::Input2] = r[1] != 0.0 ? b->slot[0].load() : kNoSource;
        Render(end += 96);
        const size_t n = size_t(end - 86);
        EXPECT_EQ(Played(-1)[n], r[2] * Ramp(n)) << r[0];
    }
}

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
    // An audio input on the default device (played through an output module: it has no device of its own).
    Module* Input() {
        Module* a = patch.CreateModule(ModuleKind::AudioInput, {});
        patch.CreateModule(ModuleKind::AudioOutput, {})->inputs[output::Input] = a->slot[0].load();
        return a;
    }
    CountingAudioInput in;
};

constexpr double kScale = 1000.0 / 32767.0;

TEST_F(AudioInputTest, PlaysTheOlderBufferFirstAndHoldsWhenEmpty) {
    Module* a = Input();
    // One with no device never asks for samples.
    patch.CreateModule(ModuleKind::AudioInput, {})->ints[audio_input::InputDevice] = kNoOutputDevice;
    engine.inputLatencyMs = 30;
    Render(96); // nothing yet: holds 0; the block end fetches samples 0..191
    EXPECT_EQ(std::tuple(in.calls, in.lastDevice, in.lastLatency), std::tuple(1, -1, 30));
    in.deliver = false;
    const auto out1 = Render(96 * 4);
    for (size_t n = 0; n < 96; ++n) ASSERT_EQ(out1[n], 0.0);
    for (size_t i = 0; i < 192; ++i) ASSERT_NEAR(out1[96 + i], double(i) * kScale, 1e-12) << i;
    for (size_t n = 288; n < 384; ++n) ASSERT_NEAR(out1[n], 191.0 * kScale, 1e-12) << n; // hold
    a->Link(audio_input::Gain).value = 50.0;
    in.deliver = true;
    Render(96 * 6);
    EXPECT_NEAR(Played(-1)[96 * 5 + 1], 0.5 * 193.0 * kScale, 1e-12);
    EXPECT_EQ(in.calls, 6); // once a block, for the input with a device only
}

TEST_F(AudioInputTest, SkipsWhenMoreThan960SamplesWait) {
    Input();
    // Each block reads 96 and receives 192: the backlog at block start grows 192, 288, ... 960, 1056.
    const auto out = Render(96 * 11);
    // Block 11 (samples 960..1055) starts with 1056 waiting and the read count at 864: it skips one and
    // reads one until 960 wait, then reads one per sample.
    for (int i = 0; i < 48; ++i) ASSERT_NEAR(out[size_t(960 + i)], (864.0 + 2 * i + 1) * kScale, 1e-12) << i;
    for (int i = 48; i < 96; ++i) ASSERT_NEAR(out[size_t(960 + i)], (960.0 + (i - 48)) * kScale, 1e-12) << i;
}

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
    EXPECT_EQ(std::tuple(p->number, p->width, p->height), std::tuple(1u, 160, 100));
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
    // x = 0, 0.5, ...: sample index trunc(x 16); columns 0..49 show +1 (top row), 50..99 show -1 (bottom).
    ExpectPixels(pic.TakePicture(), {{10, 0, true}, {10, 49, false}, {60, 49, true}, {60, 0, false}});
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
    EXPECT_TRUE(levels[0] < 0.2 && levels[15] < 0.2);
    for (double l : levels) EXPECT_TRUE(l >= 0.0 && l <= 1.0) << l;
    // Bar 8 spans columns 80..88 (89 is the gap), round(0.8997 x 100) = 90 rows from the bottom.
    ExpectPixels(pic.TakePicture(), {{84, 99, true}, {84, 10, true}, {84, 9, false}, {89, 99, false}});
}

TEST_F(AudioEffectsTest, AnalyzerModuleReadsBackItsDeviceAfterEachBlock) {
    out.readBackValue = 0.5; // a constant block on the -1..1 scale
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
    EXPECT_EQ(out.readBackId, 3);
    ExpectPixels(pic->TakePicture(),
                 {{0, 80 - 1 - 60, true}}); // 0.5: y = 1.5 H / 2 = 60 of 80 from the bottom
    // No device: silence, and the read-back is not asked.
    an->devices[analyzer::Output] = kNoOutputDevice;
    out.readBackId = 0;
    for (int b = 0; b < 17; ++b) engine.RenderBlock();
    EXPECT_EQ(out.readBackId, 0);
    // (columns from 2 on: the first 32 samples are the 0.5 left over from before)
    ExpectPixels(pic->TakePicture(), {{10, 80 - 1 - 40, true}});
    // Unwatched (an offline render), it neither reads back nor draws.
    engine.drawPictures = false;
    an->devices[analyzer::Output] = 3;
    const int fill = pic->Fill();
    for (int b = 0; b < 17; ++b) engine.RenderBlock();
    EXPECT_EQ(out.readBackId, 0);
    EXPECT_EQ(pic->Fill(), fill);
    engine.EndOffline();
}

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
    // Until three new pictures were taken (at most 10 s), changing colours and mode as the user would.
    uint64_t last = 0, touched = 0;
    int taken = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (taken < 3 && std::chrono::steady_clock::now() < until) {
        pic->SetColours(0x000001, uint32_t(taken + 2));
        an->enums[analyzer::Mode] = taken % 2;
        if (const AnalyzerPicture::Picture* p = pic->TakePicture()) {
            ASSERT_GE(p->number, last);
            taken += p->number != last;
            last = p->number;
            for (int y = 0; y < p->height; ++y) // read while the next one is drawn
                for (int x = 0; x < p->width; ++x) touched += p->At(x, y);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    engine.StopEngine();
    engine.JoinThreads();
    EXPECT_EQ(taken, 3);
    EXPECT_GT(touched, 0u);
}

} // namespace
} // namespace mw
