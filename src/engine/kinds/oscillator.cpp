// The audio oscillator (every sample, one voice per note of its frequency source, summed into one output)
// and the control modulator (on control ticks, one phase per voice of its input).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "engine/kinds/kind_ops.hpp"
#include "engine/kinds/note_common.hpp"
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

// The oscillator's and the modulator's scales, from the catalogue.
constexpr const LinkDesc* kOscLinks = osc::kLinks;
constexpr const LinkDesc* kModLinks = modulator::kLinks;
constexpr LinkScale kFrequencyScale = kOscLinks[osc::Frequency].scale;

// ------------------------------------------------------------------------------------------ oscillator

// One note of the oscillator; 64 bytes, one cache line.
struct alignas(64) OscVoice {
    double frequency;        // Hz, as the source gave it last
    double velocity;         // as the source gave it while the note was last present (kept in release)
    double phaseAngle;       // 0..2pi
    double noiseLevel;       // random walk, -1..1
    double noiseTarget;      // -1..1
    int64_t envelopeCounter; // samples since the note began (>= 0) or release position (< 0)
    uint8_t note;
    uint8_t present;

    // A new note in this cell keeps the random-walk pair the cell held before.
    void Begin(uint8_t n) {
        note = n;
        velocity = 0.0;
        envelopeCounter = 0;
        phaseAngle = 0.0;
        present = 0;
    }
};
static_assert(sizeof(OscVoice) == 64);

// What the voices of one sample need from the parameters.
struct OscParams {
    double ampPerVelocity;
    double noise;
    double waveform;
    double warp;
    double phaseOffset;
    double stepSize;
    bool plainSine;
};

struct OscState final : KindState {
    // (what every sample reads comes first, together)
    // The links as resolved for the current block.
    sound::BlockLink amplitude, noise, waveform, ramp, phase, stepSize;
    SourceId frequencySource = kNoSource;
    sound::BlockLink frequency; // a manual frequency (times its multiplier) or a mouse measure
    unsigned varying = 0;       // the links that read a source (LinkBit); the others are in baseParams
    OscParams baseParams{};
    // An oscillator that reads no slot depends on no module: its block is rendered at the block start.
    bool renderedAhead = false;
    notes::NoteTable<OscVoice> voices;

    std::array<double, kMaxBlockSamples> ahead{};
    std::array<double, kMaxBlockSamples> aheadFrequency{};
    std::array<OscParams, kMaxBlockSamples> aheadParams{};
    // Phases and levels to sound: of every entry at one sample, or of one entry over a block.
    std::array<double, std::max(kMaxVoices, kMaxBlockSamples)> voicePhase{}, voiceLevel{};
};

std::unique_ptr<KindState> CreateOscState(Module&) {
    return std::make_unique<OscState>();
}

[[gnu::always_inline]] inline void SetInputVoice(OscState& st, uint8_t note, double frequency,
                                                 double velocity) {
    const int i = st.voices.FindOrAppend(note);
    if (i < 0) return; // table full: the voice is ignored
    OscVoice& v = st.voices[i];
    v.frequency = frequency;
    v.velocity = velocity;
    v.present = 1;
}

// The parameter links, as bits of a set.
enum LinkBit : unsigned {
    kAmplitudeBit = 1,
    kNoiseBit = 2,
    kWaveformBit = 4,
    kRampBit = 8,
    kPhaseBit = 16,
    kStepSizeBit = 32,
    kAllLinks = 63
};

// The parameters of the links in `links`, each read through `read`; the others are the block's fixed
// values. Ramp and Phase keep their sign: a source only limits them to -50..50.
template <class Read> OscParams ReadParams(const OscState& st, Read read, unsigned links) {
    OscParams p = st.baseParams;
    if (links & kAmplitudeBit)
        p.ampPerVelocity = read(st.amplitude) * (1.0 / 127.0); // (no division per sample)
    if (links & kNoiseBit) p.noise = read(st.noise);
    if (links & kWaveformBit) p.waveform = read(st.waveform);
    using sound::ClampedLink;
    if (links & kRampBit) p.warp = ClampedLink(st.ramp, read(st.ramp), kOscLinks[osc::Ramp].scale) * 0.02;
    if (links & kPhaseBit)
        p.phaseOffset = ClampedLink(st.phase, read(st.phase), kOscLinks[osc::Phase].scale) * 0.02 * kPi;
    if (links & kStepSizeBit)
        p.stepSize = ClampedLink(st.stepSize, read(st.stepSize), kOscLinks[osc::StepSize].scale);
    if (links & (kWaveformBit | kRampBit)) p.plainSine = p.warp == 0.0 && p.waveform <= 0.0;
    return p;
}

// One sample of one entry up to its waveform: advances its envelope, noise walk and phase and gives the
// phase to sound and the level; true when the entry has faded out and goes (after this sample).
[[gnu::always_inline]] inline bool AdvanceVoice(Engine& e, OscVoice& v, const OscParams& prm,
                                                double& phaseOut, double& levelOut) {
    const double vel = v.velocity;
    const double amp = prm.ampPerVelocity * vel;

    // Release start: from the current attack level (t <= 10 ms), else from the top of the fade. A note
    // let go exactly at 10 ms would land on position 0, which reads as a new attack: it takes the top.
    if (!v.present && v.envelopeCounter >= 0) {
        const double t = double(v.envelopeCounter) / kSamplesPerMs;
        v.envelopeCounter = t > 10.0 ? -1 : std::min<int64_t>(-1, int64_t(std::trunc(-96.0 * (10.0 - t))));
    }

    // Frequency with its random walk. At Noise 0 the walk is unheard: it rests (drawing no random
    // numbers) and goes on from where it stood when Noise is turned up.
    double f = v.frequency;
    if (prm.noise != 0.0) {
        NoiseStep(v.noiseLevel, v.noiseTarget, v.frequency, kRate, [&e] { return e.Rand(); });
        f += v.noiseLevel * v.frequency * prm.noise * 0.01;
    }
    // Negative or NaN gives 0, above 24 kHz 24 kHz. (Written so that it compiles to a max and a min, with
    // no branch; -0 becomes +0, which moves the phase alike.)
    f = f > 0.0 ? f : 0.0;
    f = f < kMaxFrequency ? f : kMaxFrequency;

    v.phaseAngle += f * kRadiansPerHz;
    if (v.phaseAngle > kTwoPi) v.phaseAngle -= kTwoPi;

    // Envelope, t = EnvelopeCounter / 48 in milliseconds: linear attack over 10 ms, then the full level;
    // release from about 1.05 down to 0 over about 21 ms.
    const int64_t counter = v.envelopeCounter;
    const bool releasing = counter < 0;
    double level = amp;
    if (releasing)
        level = amp * std::max(0.0, double(counter) / kSamplesPerMs + 21.0) * 0.05;
    else if (counter <= kAttackSamples)
        level = amp * (double(counter) / kSamplesPerMs) * 0.1;

    double p = prm.phaseOffset + v.phaseAngle;
    if (p < 0.0)
        p += kTwoPi;
    else if (p > kTwoPi)
        p -= kTwoPi;
    phaseOut = p;
    levelOut = level;

    if (v.envelopeCounter < 0)
        --v.envelopeCounter;
    else
        ++v.envelopeCounter;

    if (releasing && level < 0.1) return true;
    v.present = 0;
    return false;
}

// The waveform at a phase, at a level, quantized.
inline double VoiceSample(const OscParams& prm, double p, double level) {
    const double s = (prm.plainSine ? SineOfPhase(p) : Shape(PhaseWarp(p, prm.warp), prm.waveform)) * level;
    return Quantize(s, prm.stepSize);
}

// The samples of phases and levels, summed in order into `sum`, or one by one into `out` (sum == null).
// A plain unquantized sine, the usual case, goes straight to the sine, and a plain triangle to the
// triangle.
inline void SoundVoices(const OscParams& prm, const double* phase, const double* level, int count,
                        double* sum, double* out) {
    if (prm.plainSine && !(prm.stepSize > 1e-12)) {
        if (sum)
            for (int k = 0; k < count; ++k) *sum += SineOfPhase(phase[k]) * level[k];
        else
            for (int k = 0; k < count; ++k) out[k] += SineOfPhase(phase[k]) * level[k];
        return;
    }
    if (prm.waveform == 100.0 && prm.warp == 0.0 && !(prm.stepSize > 1e-12)) { // a plain triangle
        if (sum)
            for (int k = 0; k < count; ++k) *sum += TriangleWave(phase[k]) * level[k];
        else
            for (int k = 0; k < count; ++k) out[k] += TriangleWave(phase[k]) * level[k];
        return;
    }
    if (sum)
        for (int k = 0; k < count; ++k) *sum += VoiceSample(prm, phase[k], level[k]);
    else
        for (int k = 0; k < count; ++k) out[k] += VoiceSample(prm, phase[k], level[k]);
}

// One sample of every entry, summed: first every entry's phase and level, then their waveforms.
double RenderVoices(Engine& e, OscState& st, const OscParams& prm) {
    int k = 0;
    for (int i = 0; i < st.voices.Count(); ++k) {
        if (AdvanceVoice(e, st.voices[i], prm, st.voicePhase[size_t(k)], st.voiceLevel[size_t(k)]))
            st.voices.RemoveAt(i); // the moved entry is processed next at this index
        else
            ++i;
    }
    double sum = 0.0;
    SoundVoices(prm, st.voicePhase.data(), st.voiceLevel.data(), k, &sum, nullptr);
    return sum;
}

// Entry `index` from sample `from` to the block end, added into the block; `input` gives it the input
// frequency at every sample. Returns where it stopped: the block end, or the sample after it went.
int RenderEntryAhead(Engine& e, OscState& st, int index, int from, bool input, bool paramsPerSample) {
    OscVoice v = st.voices[index]; // worked on in registers
    const int n = e.BlockLength();
    int end = n;
    for (int i = from; i < n; ++i) {
        if (input) {
            v.frequency = st.aheadFrequency[size_t(i)];
            v.velocity = 127.0;
            v.present = 1;
        }
        const OscParams& prm = paramsPerSample ? st.aheadParams[size_t(i)] : st.baseParams;
        if (AdvanceVoice(e, v, prm, st.voicePhase[size_t(i)], st.voiceLevel[size_t(i)])) {
            end = i + 1;
            break;
        }
    }
    st.voices[index] = v;
    if (end < n) st.voices.RemoveAt(index);

    if (paramsPerSample)
        for (int i = from; i < end; ++i)
            st.ahead[size_t(i)] +=
                VoiceSample(st.aheadParams[size_t(i)], st.voicePhase[size_t(i)], st.voiceLevel[size_t(i)]);
    else
        SoundVoices(st.baseParams, st.voicePhase.data() + from, st.voiceLevel.data() + from, end - from,
                    nullptr, st.ahead.data() + from);
    return end;
}

// The whole block of an oscillator that reads no slot: its manual values and mouse measures are known
// for every sample of the block at its start, so each entry runs through the block on its own.
void RenderAhead(Engine& e, OscState& st) {
    const int n = e.BlockLength();
    std::fill_n(st.ahead.begin(), n, 0.0);

    const bool paramsPerSample = st.varying != 0;
    if (paramsPerSample)
        for (int i = 0; i < n; ++i)
            st.aheadParams[size_t(i)] = ReadParams(
                st, [i](const sound::BlockLink& b) { return b.ValueAt(i); }, st.varying);

    // The input voice (note 0): a manual frequency or a mouse measure.
    const SourceId src = st.frequencySource;
    const bool hasInput = src == kManualSource || IsMeasure(src);
    if (src == kManualSource)
        std::fill_n(st.aheadFrequency.begin(), n, st.frequency.fixed);
    else if (hasInput)
        for (int i = 0; i < n; ++i)
            st.aheadFrequency[size_t(i)] =
                sound::ClampedLink(st.frequency, st.frequency.ValueAt(i), kFrequencyScale);

    // The other entries are releasing.
    for (int i = 0; i < st.voices.Count();) {
        if (hasInput && st.voices[i].note == 0) {
            ++i;
            continue;
        }
        const int before = st.voices.Count();
        RenderEntryAhead(e, st, i, 0, false, paramsPerSample);
        if (st.voices.Count() == before) ++i; // else the moved entry is processed next at this index
    }
    // The input voice; a fading entry of its note that goes makes room for a new one.
    for (int from = 0; hasInput && from < n;) {
        const int i = st.voices.FindOrAppend(0);
        if (i < 0) break; // table full: the voice is ignored
        from = RenderEntryAhead(e, st, i, from, true, paramsPerSample);
    }
}

void BeginOscillatorBlock(Engine& e, std::span<Module* const> modules) {
    using sound::ResolveLink;
    for (Module* m : modules) {
        auto* st = sound::StateOf<OscState>(*m);
        if (!st) continue;
        auto resolve = [&](int link, Reader reader) {
            return ResolveLink(e, m->Link(link), reader, kOscLinks[link].scale);
        };
        st->amplitude = resolve(osc::Amplitude, Reader::Smoothed);
        st->noise = resolve(osc::Noise, Reader::Smoothed);
        st->waveform = resolve(osc::Waveform, Reader::Smoothed);
        st->ramp = resolve(osc::Ramp, Reader::Smoothed);
        st->phase = resolve(osc::Phase, Reader::Smoothed);
        st->stepSize = resolve(osc::StepSize, Reader::Plain);
        // The manual frequency is BaseFrequencyValue x FrequencyMultiplierValue; a mouse measure is read
        // with its further factor (a module source is read per voice below).
        const ControlLink& freqLink = m->Link(osc::Frequency);
        st->frequencySource = freqLink.source;
        st->frequency = ResolveLink(e, freqLink, Reader::Smoothed, m->Real(osc::FrequencyMultiplier),
                                    kFrequencyScale.source * kFrequencyScale.measure);

        sound::BlockLink* links[] = {&st->amplitude, &st->noise, &st->waveform,
                                     &st->ramp,      &st->phase, &st->stepSize}; // (in LinkBit order)
        st->varying = 0;
        bool readsSlot = IsSlot(st->frequencySource);
        for (unsigned j = 0; j < 6; ++j) {
            if (!links[j]->Fixed()) st->varying |= 1u << j;
            readsSlot = readsSlot || links[j]->readsSlot;
        }
        st->baseParams = ReadParams(
            *st, [](const sound::BlockLink& b) { return b.fixed; }, kAllLinks);

        st->renderedAhead = sound::ValidSlot(m->slot[0]) && !readsSlot;
        if (st->renderedAhead) {
            for (sound::BlockLink* b : links) b->ReadAhead(e);
            st->frequency.ReadAhead(e);
            RenderAhead(e, *st);
        }
    }
}

void EvaluateOscillator(Engine& e, Module& m, OscState& st) {
    const int slotIndex = m.slot[0];
    if (!sound::ValidSlot(slotIndex)) return;

    double sum;
    if (st.renderedAhead) {
        sum = st.ahead[size_t(e.SamplePosition())];
    } else {
        const OscParams params =
            st.varying == 0 ? st.baseParams
                            : ReadParams(
                                  st, [](const sound::BlockLink& b) { return b.Value(); }, st.varying);

        // Input voices: the frequency source's voices, by note.
        const SourceId src = st.frequencySource;
        if (src == kManualSource) {
            SetInputVoice(st, 0, st.frequency.fixed, 127.0);
        } else if (IsMeasure(src)) {
            SetInputVoice(st, 0, sound::ClampedLink(st.frequency, st.frequency.Value(), kFrequencyScale),
                          127.0);
        } else if (IsSlot(src)) {
            const ModuleSlot& in = e.slots[size_t(src)];
            const int n = in.voiceCount;
            const double sens = st.frequency.sensitivity * 0.01 * kFrequencyScale.source;
            for (int v = 0; v < n && v < kMaxVoices; ++v) {
                const double f = in.smoothedValue[size_t(v)].load() * sens;
                SetInputVoice(
                    st, in.note[size_t(v)],
                    Clamp(f, kFrequencyScale.lower, kFrequencyScale.upper, kFrequencyScale.absFirst),
                    in.smoothedVelocity[size_t(v)].load());
            }
        }
        sum = RenderVoices(e, st, params);
    }

    // One output voice.
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

    auto param = [&](int link) {
        return ScaledLink(e, m.Link(link), 0, Reader::Plain, kModLinks[link].scale);
    };
    const double waveform = param(modulator::Waveform);
    const double ramp = param(modulator::Ramp);
    const double phase = param(modulator::Phase);
    const double noise = param(modulator::Noise);
    const double stepSize = param(modulator::StepSize);
    const int effect = m.Enum(modulator::Effect);
    const bool linear = m.Bool(modulator::LinearInput);
    const bool signedOutput = m.Bool(modulator::SignedOutput);
    const double baseFrequency = m.Real(modulator::BaseFrequency) * m.Real(modulator::FrequencyMultiplier);
    const double warp = ramp * 0.02;
    const double phaseOffset = phase * 0.02 * kPi;

    for (int v = 0; v < voices; ++v) {
        double x = ScaledLink(e, input, v, Reader::Plain, kModLinks[modulator::Input].scale);
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

const KindOps kOpsAudioOsc{
    .createState = &CreateOscState, .evaluate = &EvaluateOscillators, .beginBlock = &BeginOscillatorBlock};
const KindOps kOpsControlModulator{&CreateModulatorState, &EvaluateModulators};

} // namespace mw
