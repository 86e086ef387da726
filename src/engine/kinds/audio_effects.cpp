// The audio effects: audio input, moving-average low-pass and high-pass, quantizer, block pitch shifter,
// distortion, five-tap delay, feedback echo, output splitter and input combiner. Each is mono, evaluated
// every sample, and writes voice 0 of its slot (Value and its copy SmoothedValue).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

#include "engine/kinds/kind_ops.hpp"
#include "engine/kinds/sound_common.hpp"
#include "engine/wave_functions.hpp"

namespace mw {
namespace {

using sound::AudioParam;
using sound::NotNaN;
using sound::StateOf;
using sound::WriteVoice0;

double InputSample(const Engine& e, const Module& m, int input) {
    return e.GetSmoothedSourceValue(m.Input(input), 0);
}

/// Runs `f(engine, module, state)` for every module of a kind whose state is present.
template <class State, void (*F)(Engine&, Module&, State&)>
void EvaluateAll(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules)
        if (State* st = StateOf<State>(*m)) F(e, *m, *st);
}

template <class State> std::unique_ptr<KindState> Create(Module&) {
    return std::make_unique<State>();
}

// ------------------------------------------------------------------------------------------ audio input

constexpr int kInputRing = 1920;
constexpr int kInputSkipAbove = 960;
constexpr double kInputScale = 0.030518509475997192; // 1000 / 32767

struct AudioInputState final : KindState {
    std::array<double, kInputRing> ring{};
    int writeIndex = 0;
    int readIndex = 0;
    uint64_t written = 0;
    uint64_t read = 0;
    double lastOutput = 0.0;
    uint64_t cursor = 0; // the device read position the audio input advances
    std::array<int16_t, kInputBufferSamples> first{};
    std::array<int16_t, kInputBufferSamples> second{};

    void Skip() {
        if (++readIndex == kInputRing) readIndex = 0;
        ++read;
    }
    void Append(const std::array<int16_t, kInputBufferSamples>& block) {
        for (int16_t s : block) {
            ring[size_t(writeIndex)] = double(s) * kInputScale;
            if (++writeIndex == kInputRing) writeIndex = 0;
        }
        written += kInputBufferSamples;
    }
};

void EvaluateAudioInput(Engine& e, Module& m, AudioInputState& st) {
    const double gain =
        AudioParam(e, m.Link(audio_input::Gain), audio_input::kLinks[audio_input::Gain].scale);
    if (st.written - st.read > uint64_t(kInputSkipAbove)) st.Skip();
    if (st.read < st.written) {
        const double sample = st.ring[size_t(st.readIndex)];
        st.Skip();
        st.lastOutput = gain * 0.01 * sample;
    }
    WriteVoice0(e, m.slot[0], st.lastOutput);
}

void AudioInputBlockEnd(Engine& e, Module& m) {
    auto* st = StateOf<AudioInputState>(m);
    if (!st) return;
    const int32_t device = m.Int(audio_input::InputDevice);
    if (device == kNoOutputDevice) return;
    if (!e.AudioIn().ReadInput(device, st->cursor, st->first, st->second, e.inputLatencyMs)) return;
    st->Append(st->second); // the older buffer first
    st->Append(st->first);
    // Never let the writer lap the reader: unread samples older than the ring are dropped.
    while (st->written - st->read > uint64_t(kInputRing)) st->Skip();
}

// ------------------------------------------------------------------------------------------ low-pass,
// high-pass

constexpr int kAverageRing = 2400;
constexpr int kAverageRefresh = 4096; // samples between exact re-summations of the running sum

// A history ring with a running sum over its newest `width` samples. The width follows the wanted one
// cell by cell, so a slowly moving filter setting costs O(1) per sample; the sum is recomputed exactly
// now and then so that rounding cannot build up.
struct AverageState final : KindState {
    // Resolved at each block start: the input and the setting (MaxFreq or Attenuation).
    const Relaxed<double>* input = nullptr;
    sound::BlockLink setting;
    double fixedLength = 1.0; // the window length of a setting fixed for the block
    std::array<double, kAverageRing> ring{};
    int position = 0; // the newest sample
    int width = 1;    // cells in `sum`: ring[position], ring[position - 1], ...
    double sum = 0.0;
    int sinceRefresh = 0;

    double At(int back) const {
        int i = position - back;
        if (i < 0) i += kAverageRing;
        return ring[size_t(i)];
    }
    // The sum of the `cells` newest samples (1..2400).
    double SumOfNewest(int cells) {
        while (width < cells) sum += At(width++);
        while (width > cells) sum -= At(--width);
        return sum;
    }
    void Store(double x) {
        if (++position == kAverageRing) position = 0;
        // The window moves one cell on: the newest comes in, the cell leaving it goes out (when the window
        // spans the whole ring that is the cell being overwritten).
        const double leaving = At(width);
        ring[size_t(position)] = x;
        sum += x - leaving;
        if (++sinceRefresh >= kAverageRefresh) {
            sinceRefresh = 0;
            double s = 0.0;
            for (int k = 0; k < width; ++k) s += At(k);
            sum = s;
        }
    }
};

// N = 1 + 2399 (1 - p/100)^exponent, kept within the ring (1..2400) for any setting.
double AverageLength(double percent, int exponent) {
    const double base = 1.0 - percent * 0.01;
    double pw = 1.0;
    for (int k = 0; k < exponent; ++k) pw *= base;
    const double n = 1.0 + 2399.0 * pw;
    if (!(n >= 1.0)) return 1.0;
    return std::min(n, double(kAverageRing));
}

// The low-pass and the high-pass read their setting alike: a source at a tenth, its magnitude limited
// to 0..100.
constexpr LinkScale kAverageSetting = low_pass::kLinks[low_pass::MaxFreq].scale;
static_assert(kAverageSetting == high_pass::kLinks[high_pass::Attenuation].scale);

double AverageSetting(const AverageState& st) {
    return sound::ClampedLink(st.setting, st.setting.Value(), kAverageSetting);
}

// The window length at the current sample, for a setting giving `exponent` to AverageLength.
template <int Exponent> double AverageWindow(const AverageState& st) {
    return st.setting.Fixed() ? st.fixedLength : AverageLength(AverageSetting(st), Exponent);
}

template <int Input, int Setting, int Exponent>
void BeginAverageBlock(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules)
        if (auto* st = StateOf<AverageState>(*m)) {
            st->input = sound::ResolveInput(e, m->Input(Input));
            st->setting = sound::ResolveLink(e, m->Link(Setting), Reader::Smoothed, kAverageSetting);
            if (st->setting.Fixed()) st->fixedLength = AverageLength(AverageSetting(*st), Exponent);
        }
}

void EvaluateLowPass(Engine& e, Module& m, AverageState& st) {
    const double x = sound::ReadInput(st.input);
    const double n = AverageWindow<4>(st);
    const int j = int(n - 1.0);
    const double out = st.SumOfNewest(j + 1) / n;
    st.Store(x);
    WriteVoice0(e, m.slot[0], out);
}

void EvaluateHighPass(Engine& e, Module& m, AverageState& st) {
    const double x = sound::ReadInput(st.input);
    const double n = AverageWindow<6>(st);
    const int j = int(n - 1.0);
    const double out = st.SumOfNewest(j + 1) / n - st.At(j);
    st.Store(x);
    WriteVoice0(e, m.slot[0], out);
}

// ------------------------------------------------------------------------------------------ step function

// The state of the step function, the splitter and the combiner: their inputs and their one setting
// (step size or fader), resolved at each block start.
struct InputsState final : KindState {
    std::array<const Relaxed<double>*, 2> input{};
    sound::BlockLink setting;
};

// The splitter and the combiner read their fader alike.
constexpr LinkScale kFader = output_split::kLinks[output_split::Fader].scale;
static_assert(kFader == input_combine::kLinks[input_combine::Fader].scale);
constexpr LinkScale kStepSize = audio_step::kLinks[audio_step::StepSize].scale;

// Input2 < 0: one input.
template <int Input1, int Input2, int Setting, bool Fader>
void BeginInputsBlock(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules)
        if (auto* st = StateOf<InputsState>(*m)) {
            st->input[0] = sound::ResolveInput(e, m->Input(Input1));
            st->input[1] = Input2 >= 0 ? sound::ResolveInput(e, m->Input(Input2)) : nullptr;
            st->setting =
                sound::ResolveLink(e, m->Link(Setting), Reader::Smoothed, Fader ? kFader : kStepSize);
        }
}

void EvaluateStepFunction(Engine& e, Module& m, InputsState& st) {
    const double x = sound::ReadInput(st.input[0]);
    const double step = sound::ClampedLink(st.setting, st.setting.Value(), kStepSize);
    WriteVoice0(e, m.slot[0], Quantize(x, step));
}

// ------------------------------------------------------------------------------------------ pitch shift

constexpr int kCaptureLength = 192;
constexpr LinkScale kPitch = pitch_shift::kLinks[pitch_shift::Pitch].scale;
constexpr double kMinPitch = kPitch.lower;
constexpr int kMaxPlayLength = 1920; // ceil(192 / 0.1)

struct PitchShiftState final : KindState {
    std::array<double, kCaptureLength> capture{};
    int fill = 0;
    std::array<double, kMaxPlayLength> block{};
    int length = kCaptureLength; // L
    int play = 0;
    bool refill = true;
};

// Output length of a 192-sample block played at `pitch` percent: ceil(192 / (pitch / 100)).
int PlayLength(double pitch) {
    const double q = kCaptureLength / (pitch * 0.01);
    int l = int(q);
    if (q > double(l)) ++l;
    return std::clamp(l, 1, kMaxPlayLength);
}

void Resample(const std::array<double, kCaptureLength>& in, double* out, int length) {
    const int last = length - 1;
    if (length == kCaptureLength) {
        std::copy(in.begin(), in.end(), out);
    } else if (length < kCaptureLength) { // pitch up: spread each input sample over the cells it covers
        const double r = double(length) / kCaptureLength;
        std::fill(out, out + length, 0.0);
        for (int i = 0; i < kCaptureLength; ++i) {
            const double a = i * r;
            const double b = (i + 1) * r;
            const int ta = std::min(int(a), last);
            const int tb = std::min(int(b), last);
            if (ta == tb) {
                out[ta] += r * in[size_t(i)];
            } else {
                const double frac = (double(int(b)) - a) / r;
                out[ta] += frac * in[size_t(i)] * r;
                if (i + 1 < kCaptureLength) out[tb] += (1.0 - frac) * in[size_t(i + 1)] * r;
            }
        }
    } else { // pitch down: hold each input sample over its output cells
        const double r = double(kCaptureLength) / length;
        for (int j = 0; j < length; ++j) {
            const double a = j * r;
            const double b = (j + 1) * r;
            const int ta = std::min(int(a), kCaptureLength - 1);
            const int tb = int(b);
            if (tb != int(a) && tb >= kCaptureLength) {
                const double frac = (double(tb) - a) / r;
                out[j] = frac * in[size_t(ta)];
            } else {
                out[j] = in[size_t(ta)];
            }
        }
    }
}

void EvaluatePitchShift(Engine& e, Module& m, PitchShiftState& st) {
    const double x = InputSample(e, m, pitch_shift::Input);
    const ControlLink& link = m.Link(pitch_shift::Pitch);
    double pitch = AudioParam(e, link, kPitch);
    // A manual pitch below the dialog's minimum (0 or negative from a damaged patch) plays at the minimum.
    if (!(pitch >= kMinPitch)) pitch = kMinPitch;

    if (st.refill || pitch >= 100.0) {
        st.capture[size_t(st.fill)] = x;
        if (++st.fill >= kCaptureLength) {
            st.fill = 0;
            const int l = PlayLength(pitch);
            st.length = l;
            st.play = 0;
            Resample(st.capture, st.block.data(), l);
            const int h = l / 2;
            for (int i = 0; i < h; ++i) st.block[size_t(i)] *= std::sin(kPi * i / h);
            for (int i = l - h; i < l; ++i) st.block[size_t(i)] *= std::sin(kPi * (l - i) / h);
            st.refill = false;
        }
    }

    const double out = st.block[size_t(st.play)];
    if (++st.play >= st.length) {
        st.play = 0;
        st.refill = true;
    }
    WriteVoice0(e, m.slot[0], out);
}

// ------------------------------------------------------------------------------------------ distortion

struct DistortionState final : KindState {
    std::array<double, 4> level{};
    std::array<double, 4> target{};
};

void EvaluateDistortion(Engine& e, Module& m, DistortionState& st) {
    const double x = InputSample(e, m, distortion::Input);
    auto param = [&](int link) {
        return NotNaN(AudioParam(e, m.Link(link), distortion::kLinks[link].scale));
    };
    const double overdrive = param(distortion::Overdrive);
    const double q = param(distortion::Compression);
    const double w = param(distortion::CompressionWaveform);
    const double k = param(distortion::Noise) * 0.01;
    const double fidelity = param(distortion::NoiseFidelity);

    // 1. Noise from four random walks, each slower than the one before.
    const double f = Clamp(fidelity * fidelity, 0.0, 24000.0);
    double rate = f;
    for (int n = 0; n < 4; ++n) {
        NoiseStep(st.level[size_t(n)], st.target[size_t(n)], rate, kSampleRate, [&e] { return e.Rand(); });
        rate *= n == 0 ? 0.005 : n == 1 ? 0.25 : 0.5;
    }
    const double y =
        (1.0 - k) * x + k * 1000.0 * st.level[0] + (k * x / 3.0) * (st.level[1] + st.level[2] + st.level[3]);

    // 2. Shaping, on the magnitude: s the power curve, t the clipper (Q < 0) or the raiser (Q > 0).
    const double mag = std::abs(y);
    double s = mag;
    double t = mag;
    if (q < 0.0) {
        const double exponent = 1.0 + q / 1300.0;
        s = (mag == 0.0 && exponent <= 0.0) ? 0.0 : std::pow(mag, exponent);
        const double limit = 100.0 * std::sqrt(std::max(0.0, q + 100.0));
        t = std::min(mag, limit);
    } else if (q > 0.0) {
        s = std::pow(mag, 1.0 + q / 100.0);
        t = std::max(mag, 10.0 * q);
    }

    // 3. Blend.
    double ws, wt;
    if (w >= 0.0) {
        ws = (100.0 - w) * 0.01;
        wt = 1.0;
        if (ws < 0.0) {
            wt = 1.0 - ws;
            ws = 0.0;
        }
    } else {
        wt = (w + 100.0) * 0.01;
        ws = 1.0;
        if (wt < 0.0) {
            ws = 1.0 - wt;
            wt = 0.0;
        }
    }
    const double d = (ws > 1.0 || wt > 1.0) ? 1.0 : ws + wt;

    // 4. The sign of the noisy input goes back on.
    const double sign = y >= 0.0 ? 1.0 : -1.0;
    const double out = overdrive * 0.01 * (ws * s + wt * t) / d * sign;
    WriteVoice0(e, m.slot[0], sound::FiniteOutput(out));
}

// ------------------------------------------------------------------------------------------ multi-delay

constexpr int kDelayRing = 480000; // 10 s

// A delay ring of 10 s, all zeros. It comes zeroed from the system (calloc) rather than being filled:
// only the pages a delay reaches are ever touched, so a short echo costs neither the fill nor the memory.
struct RingState : KindState {
    struct Free {
        void operator()(double* p) const { std::free(p); }
    };
    std::unique_ptr<double[], Free> ring{ZeroedRing()};
    int index = 0;

    static double* ZeroedRing() {
        auto* p = static_cast<double*>(std::calloc(kDelayRing, sizeof(double))); // (all-zero bits: 0.0)
        if (!p) throw std::bad_alloc();
        return p;
    }
};
struct MultiDelayState final : RingState {};
struct EchoState final : RingState {
    // Resolved at each block start.
    const Relaxed<double>* input = nullptr;
    sound::BlockLink interval, linger;
    double fixedLength = 1.0; // the ring length of an interval fixed for the block
};

// The five taps read alike.
constexpr LinkScale kTapScale = multi_delay::kLinks[multi_delay::Delay1].scale;
static_assert(std::all_of(multi_delay::kLinks, multi_delay::kLinks + multi_delay::LinkCount,
                          [](const LinkDesc& d) { return d.scale == kTapScale; }));

void EvaluateMultiDelay(Engine& e, Module& m, MultiDelayState& st) {
    const double x = InputSample(e, m, multi_delay::Input);
    double* ring = st.ring.get();
    ring[st.index] = x;
    if (++st.index == kDelayRing) st.index = 0;
    const double w = st.index;

    double out = 0.0;
    for (int n = 0; n < 5; ++n) {
        const ControlLink& link = m.Link(multi_delay::Delay1 + n);
        if (link.source.load() == kNoSource) continue;
        const double delayMs = AudioParam(e, link, kTapScale);
        // At most the ring; a negative or NaN delay (damaged patch) reads like a delay of 0.
        const double samples = std::clamp(NotNaN(delayMs * 48.0), 0.0, double(kDelayRing));
        int i = int(w - samples);
        if (i < 0) i += kDelayRing;
        out += ring[i];
    }
    WriteVoice0(e, m.slot[0], out);
}

// ------------------------------------------------------------------------------------------ echo

constexpr double kEchoCellLimit = 100000.0;

// The ring length of an interval in milliseconds, within 1..the ring.
double EchoLength(double interval) {
    return std::clamp(NotNaN(interval * 48.0, 1.0), 1.0, double(kDelayRing));
}

void BeginEchoBlock(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules)
        if (auto* st = StateOf<EchoState>(*m)) {
            st->input = sound::ResolveInput(e, m->Input(audio_echo::Input));
            // (The magnitude of a source is taken at every sample.)
            auto resolve = [&](int link) {
                return sound::ResolveLink(e, m->Link(link), Reader::Smoothed, audio_echo::kLinks[link].scale);
            };
            st->interval = resolve(audio_echo::Interval);
            st->linger = resolve(audio_echo::Linger);
            if (st->interval.Fixed()) st->fixedLength = EchoLength(st->interval.fixed);
        }
}

void EvaluateEcho(Engine& e, Module& m, EchoState& st) {
    const double x = sound::ReadInput(st.input);
    const double length =
        st.interval.Fixed() ? st.fixedLength : EchoLength(st.interval.ValueUnsignedOnSource());
    const double linger = st.linger.ValueUnsignedOnSource();

    if (st.index >= length) st.index = 0; // the interval shrank below the current position
    double& cell = st.ring[size_t(st.index)];
    cell = Clamp(cell, -kEchoCellLimit, kEchoCellLimit);
    cell = NotNaN(cell * linger + x);
    const double out = cell;
    if (++st.index >= length) st.index = 0;
    WriteVoice0(e, m.slot[0], out);
}

// ------------------------------------------------------------------------------------------ splitter,
// combiner

void EvaluateOutputSplit(Engine& e, Module& m, InputsState& st) {
    const double x = sound::ReadInput(st.input[0]);
    const double f = st.setting.Value();
    double first = x;
    if (f < -100.0)
        first = x * -f * 0.01;
    else if (f > 0.0)
        first = x * std::max(0.0, 1.0 - f * 0.01);
    double second = x;
    if (f > 100.0)
        second = x * f * 0.01;
    else if (f < 0.0)
        second = x * std::max(0.0, 1.0 + f * 0.01);
    WriteVoice0(e, m.slot[0], first);
    WriteVoice0(e, m.slot[1], second);
}

void EvaluateInputCombine(Engine& e, Module& m, InputsState& st) {
    const double a = sound::ReadInput(st.input[0]);
    const double b = sound::ReadInput(st.input[1]);
    const double f = st.setting.Value();
    double wa = 1.0;
    if (f < -100.0)
        wa = -f * 0.01;
    else if (f > 0.0)
        wa = std::max(0.0, 1.0 - f * 0.01);
    double wb = 1.0;
    if (f > 100.0)
        wb = f * 0.01;
    else if (f < 0.0)
        wb = std::max(0.0, 1.0 + f * 0.01);
    WriteVoice0(e, m.slot[0], wa * a + wb * b);
}

} // namespace

const KindOps kOpsAudioInput{&Create<AudioInputState>, &EvaluateAll<AudioInputState, EvaluateAudioInput>,
                             &AudioInputBlockEnd};
const KindOps kOpsAudioLowPass{.createState = &Create<AverageState>,
                               .evaluate = &EvaluateAll<AverageState, EvaluateLowPass>,
                               .beginBlock = &BeginAverageBlock<low_pass::Input, low_pass::MaxFreq, 4>};
const KindOps kOpsAudioHighPass{.createState = &Create<AverageState>,
                                .evaluate = &EvaluateAll<AverageState, EvaluateHighPass>,
                                .beginBlock =
                                    &BeginAverageBlock<high_pass::Input, high_pass::Attenuation, 6>};
const KindOps kOpsAudioStepFunction{
    .createState = &Create<InputsState>,
    .evaluate = &EvaluateAll<InputsState, EvaluateStepFunction>,
    .beginBlock = &BeginInputsBlock<audio_step::Input, -1, audio_step::StepSize, false>};
const KindOps kOpsAudioPitchShift{&Create<PitchShiftState>,
                                  &EvaluateAll<PitchShiftState, EvaluatePitchShift>};
const KindOps kOpsAudioDistortion{&Create<DistortionState>,
                                  &EvaluateAll<DistortionState, EvaluateDistortion>};
const KindOps kOpsAudioMultiDelay{&Create<MultiDelayState>,
                                  &EvaluateAll<MultiDelayState, EvaluateMultiDelay>};
const KindOps kOpsAudioEcho{.createState = &Create<EchoState>,
                            .evaluate = &EvaluateAll<EchoState, EvaluateEcho>,
                            .beginBlock = &BeginEchoBlock};
const KindOps kOpsAudioOutputSplit{.createState = &Create<InputsState>,
                                   .evaluate = &EvaluateAll<InputsState, EvaluateOutputSplit>,
                                   .beginBlock =
                                       &BeginInputsBlock<output_split::Input, -1, output_split::Fader, true>};
const KindOps kOpsAudioInputCombine{
    .createState = &Create<InputsState>,
    .evaluate = &EvaluateAll<InputsState, EvaluateInputCombine>,
    .beginBlock =
        &BeginInputsBlock<input_combine::Input1, input_combine::Input2, input_combine::Fader, true>};

} // namespace mw
