// The audio oscillator (every sample, one voice per note of its frequency source, summed into one output)
// and the control modulator (on control ticks, one phase per voice of its input).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "engine/kinds/kind_ops.hpp"
#include "engine/kinds/sound_common.hpp"
#include "engine/wave_functions.hpp"

namespace mw {
namespace {

using sound::AudioParam;
using sound::IsManual;

constexpr double kRate = kSampleRate;
constexpr double kMaxFrequency = 24000.0;
constexpr double kSamplesPerMs = kSampleRate / 1000.0;
constexpr int64_t kAttackSamples = 480;          // 10 ms: t <= 10 exactly while the counter is at most 480
constexpr double kRadiansPerHz = kTwoPi / kRate; // phase step per sample of one hertz

// ------------------------------------------------------------------------------------------ oscillator

// One note of the oscillator; 64 bytes, one cache line.
struct OscVoice {
    double frequency;        // Hz, as the source gave it last
    double velocity;         // as the source gave it last
    double lastVelocity;     // while the note was last present (used during release)
    double phaseAngle;       // 0..2pi
    double noiseLevel;       // random walk, -1..1
    double noiseTarget;      // -1..1
    int64_t envelopeCounter; // samples since the note began (>= 0) or release position (< 0)
    uint8_t note;
    uint8_t present;
};
static_assert(sizeof(OscVoice) == 64);

struct OscState final : KindState {
    OscState() { entryOfNote.fill(-1); }

    alignas(64) std::array<OscVoice, kMaxVoices> voices{};
    int count = 0;
    // The entry of each note (-1: none): notes are unique in the table, so the lookup needs no search.
    std::array<int16_t, 256> entryOfNote;

    // The entry of a note; a new entry keeps the random-walk pair its cell held before.
    int FindOrAppend(uint8_t note) {
        if (const int i = entryOfNote[note]; i >= 0) return i;
        if (count >= kMaxVoices) return -1;
        OscVoice& v = voices[size_t(count)];
        v.note = note;
        v.lastVelocity = 0.0;
        v.envelopeCounter = 0;
        v.phaseAngle = 0.0;
        v.present = 0;
        entryOfNote[note] = int16_t(count);
        return count++;
    }
    // Moves the last entry into place i.
    void RemoveAt(int i) {
        entryOfNote[voices[size_t(i)].note] = -1;
        --count;
        if (i != count) {
            voices[size_t(i)] = voices[size_t(count)];
            entryOfNote[voices[size_t(i)].note] = int16_t(i);
        }
    }
};

std::unique_ptr<KindState> CreateOscState(Module&) {
    return std::make_unique<OscState>();
}

void SetInputVoice(OscState& st, uint8_t note, double frequency, double velocity) {
    const int i = st.FindOrAppend(note);
    if (i < 0) return; // table full: the voice is ignored
    OscVoice& v = st.voices[size_t(i)];
    v.frequency = frequency;
    v.velocity = velocity;
    v.present = 1;
}

void EvaluateOscillator(Engine& e, Module& m, OscState& st) {
    const int slotIndex = m.slot[0];
    if (!sound::ValidSlot(slotIndex)) return;

    // 1. Global parameters.
    const double amplitude = AudioParam(e, m.Link(osc::Amplitude), 1.0, 1.0);
    const double noise = AudioParam(e, m.Link(osc::Noise), 1.0, 1.0);
    const double waveform = AudioParam(e, m.Link(osc::Waveform), 1.0, 1.0);
    // Ramp and Phase keep their sign: a source only limits them to -50..50.
    const double ramp = sound::AudioParamClampedOnSource(e, m.Link(osc::Ramp), 1.0, 0.05, -50.0, 50.0, false);
    const double phase =
        sound::AudioParamClampedOnSource(e, m.Link(osc::Phase), 1.0, 0.05, -50.0, 50.0, false);
    const ControlLink& stepLink = m.Link(osc::StepSize);
    const double stepSize = Clamp(EvaluateLink(e, stepLink, 0, Reader::Plain, 0.01, 0.001), 0.0, 1.0, true);

    // 2. Input voices.
    const ControlLink& freqLink = m.Link(osc::Frequency);
    const SourceId src = freqLink.source;
    if (src == kManualSource) {
        SetInputVoice(st, 0, freqLink.value.load() * m.Real(osc::FrequencyMultiplier), 127.0);
    } else if (IsMeasure(src)) {
        const double f = e.GetSmoothedSourceValue(src, 0) * freqLink.sensitivity.load() * 0.01 * 6.0;
        SetInputVoice(st, 0, Clamp(f, 0.0, kMaxFrequency, true), 127.0);
    } else if (IsSlot(src)) {
        const ModuleSlot& in = e.slots[size_t(src)];
        const int n = in.voiceCount;
        const double sens = freqLink.sensitivity.load() * 0.01;
        for (int v = 0; v < n && v < kMaxVoices; ++v) {
            const double f = in.smoothedValue[size_t(v)].load() * sens;
            SetInputVoice(st, in.note[size_t(v)], Clamp(f, 0.0, kMaxFrequency, true),
                          in.smoothedVelocity[size_t(v)].load());
        }
    }

    // 3.-4. Every entry, summed into voice 0.
    const double warp = ramp * 0.02;
    const double phaseOffset = phase * 0.02 * kPi;
    const double ampPerVelocity = amplitude / 127.0;
    const bool plainSine = warp == 0.0 && waveform <= 0.0;
    double sum = 0.0;
    for (int i = 0; i < st.count;) {
        OscVoice& v = st.voices[size_t(i)];
        const double vel = v.present ? v.velocity : v.lastVelocity;
        const double amp = ampPerVelocity * vel;

        // Release start: from the current attack level (t <= 10 ms), else from the top of the fade. A note
        // let go exactly at 10 ms would land on position 0, which reads as a new attack: it takes the top.
        if (!v.present && v.envelopeCounter >= 0) {
            const double t = double(v.envelopeCounter) / kSamplesPerMs;
            v.envelopeCounter =
                t > 10.0 ? -1 : std::min<int64_t>(-1, int64_t(std::trunc(-96.0 * (10.0 - t))));
        }

        // Frequency with its random walk.
        NoiseStep(v.noiseLevel, v.noiseTarget, v.frequency, kRate, [&e] { return e.Rand(); });
        double f = v.frequency;
        if (noise != 0.0) f += v.noiseLevel * v.frequency * noise * 0.01; // (keeps the walk off the path)
        if (!(f >= 0.0)) f = 0.0;                                         // negative or NaN
        if (f > kMaxFrequency) f = kMaxFrequency;

        v.phaseAngle += f * kRadiansPerHz;
        if (v.phaseAngle > kTwoPi) v.phaseAngle -= kTwoPi;

        // Envelope, t = EnvelopeCounter / 48 in milliseconds: linear attack over 10 ms, then the full
        // level; release from about 1.05 down to 0 over about 21 ms.
        const int64_t counter = v.envelopeCounter;
        const bool releasing = counter < 0;
        double level = amp;
        if (releasing)
            level = amp * std::max(0.0, double(counter) / kSamplesPerMs + 21.0) * 0.05;
        else if (counter <= kAttackSamples)
            level = amp * (double(counter) / kSamplesPerMs) * 0.1;

        double p = phaseOffset + v.phaseAngle;
        if (p < 0.0)
            p += kTwoPi;
        else if (p > kTwoPi)
            p -= kTwoPi;
        // (a plain sine, the usual case, goes straight to the sine)
        double s = (plainSine ? Sine(p) : Shape(PhaseWarp(p, warp), waveform)) * level;
        s = Quantize(s, stepSize);
        sum += s;

        if (v.envelopeCounter < 0)
            --v.envelopeCounter;
        else
            ++v.envelopeCounter;
        if (v.present) v.lastVelocity = v.velocity;

        if (releasing && level < 0.1) {
            st.RemoveAt(i); // the moved entry is processed next at this index
            continue;
        }
        v.present = 0;
        ++i;
    }

    // 5. One output voice.
    ModuleSlot& out = e.slots[size_t(slotIndex)];
    out.value[0] = sum;
    out.smoothedValue[0] = sum;
    out.voiceCount = 1;
}

void EvaluateOscillators(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules)
        if (auto* st = sound::StateOf<OscState>(*m)) EvaluateOscillator(e, *m, *st);
}

// ------------------------------------------------------------------------------------------ modulator

struct ModulatorState final : KindState {
    std::array<double, kMaxVoices> phaseAngle{};
    std::array<double, kMaxVoices> noiseLevel{};
    std::array<double, kMaxVoices> noiseTarget{};
};

std::unique_ptr<KindState> CreateModulatorState(Module&) {
    return std::make_unique<ModulatorState>();
}

double ControlParamClampedOnSource(const Engine& e, const ControlLink& link, double sourceScale, double lower,
                                   double upper, bool absFirst) {
    if (IsManual(link)) return link.value.load();
    return Clamp(EvaluateLink(e, link, 0, Reader::Plain, 1.0, sourceScale), lower, upper, absFirst);
}

void EvaluateModulator(Engine& e, Module& m, ModulatorState& st) {
    const int slotIndex = m.slot[0];
    if (!sound::ValidSlot(slotIndex)) return;
    ModuleSlot& out = e.slots[size_t(slotIndex)];

    const ControlLink& input = m.Link(modulator::Input);
    const SourceId src = input.source;
    const int voices = std::min(e.VoiceCountOf(src), kMaxVoices);
    out.voiceCount = uint8_t(voices);
    if (voices == 0) return;

    const double rate = e.EffectiveControlRate();
    if (!(rate > 0.0)) return; // no control ticks: nothing to advance

    const double waveform = EvaluateLink(e, m.Link(modulator::Waveform), 0, Reader::Plain, 1.0, 1.0);
    const double ramp = ControlParamClampedOnSource(e, m.Link(modulator::Ramp), 0.05, -50.0, 50.0, false);
    const double phase = ControlParamClampedOnSource(e, m.Link(modulator::Phase), 0.05, -50.0, 50.0, false);
    const double noise = EvaluateLink(e, m.Link(modulator::Noise), 0, Reader::Plain, 1.0, 0.1);
    const double stepSize =
        Clamp(EvaluateLink(e, m.Link(modulator::StepSize), 0, Reader::Plain, 0.01, 0.001), 0.0, 1.0, true);
    const int effect = m.Enum(modulator::Effect);
    const bool linear = m.Bool(modulator::LinearInput);
    const bool signedOutput = m.Bool(modulator::SignedOutput);
    const double baseFrequency = m.Real(modulator::BaseFrequency) * m.Real(modulator::FrequencyMultiplier);
    const double warp = ramp * 0.02;
    const double phaseOffset = phase * 0.02 * kPi;

    for (int v = 0; v < voices; ++v) {
        double x = EvaluateLink(e, input, v, Reader::Plain, 10.0, 1.0);
        double f = baseFrequency;
        if (effect == modulator::FM) {
            if (src == kManualSource && x < 0.0) {
                x = -x;
                f = linear ? f + x : f / (x * 0.009 + 1.0);
            } else {
                x = std::abs(x);
                f = linear ? f + x : f * (x * 0.009 + 1.0);
            }
        }

        double& level = st.noiseLevel[size_t(v)];
        NoiseStep(level, st.noiseTarget[size_t(v)], f, rate, e);
        f = f + noise * 0.01 * f * level;
        if (f < 0.0) f = -f;

        double& angle = st.phaseAngle[size_t(v)];
        angle += f / rate * kTwoPi;
        if (angle > kTwoPi) angle -= kTwoPi;
        // Frequencies above the control rate step more than a cycle per tick: keep the angle in range.
        if (!(angle <= kTwoPi)) angle = angle == angle ? ReducePhase(angle) : 0.0;

        double p = phaseOffset + angle;
        if (p < 0.0)
            p += kTwoPi;
        else if (p > kTwoPi)
            p -= kTwoPi;
        double o = Shape(PhaseWarp(p, warp), waveform) * 1000.0;
        if (effect == modulator::AM)
            o *= std::abs(x * 0.001);
        else if (effect != modulator::FM)
            o = x;
        if (!signedOutput) o = (o + 1000.0) * 0.5;
        o = Quantize(o, stepSize);

        out.value[size_t(v)] = o;
        out.velocity[size_t(v)] = e.VelocityOf(src, v);
        out.note[size_t(v)] = e.NoteOf(src, v);
    }
}

void EvaluateModulators(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules)
        if (auto* st = sound::StateOf<ModulatorState>(*m)) EvaluateModulator(e, *m, *st);
}

} // namespace

const KindOps kOpsAudioOsc{&CreateOscState, &EvaluateOscillators};
const KindOps kOpsControlModulator{&CreateModulatorState, &EvaluateModulators};

} // namespace mw
