// Note modules that shape and play notes: the note envelope, the polyphonicator, the note retarder
// (control ticks) and the ding-dong bell voice (every sample). The sequencer and the MIDI modules are
// in midi_modules.cpp.
#include <algorithm>
#include <cmath>

#include "engine/kinds/kind_ops.hpp"
#include "engine/kinds/note_common.hpp"
#include "engine/wave_functions.hpp"

namespace mw {
namespace {

using notes::AtLeast;
using notes::InputVoices;
using notes::NoteTable;
using notes::OutSlot;
using notes::StateOf;

// ---------------------------------------------------------------- note envelope

struct EnvelopeEntry {
    uint8_t note = 0; // key
    bool present = false;
    bool previousPresent = false;
    double pitch = 0.0;
    double velocity = 0.0;
    double time = 0.0; // ms in the current phase
    double level = 0.0;
};

struct EnvelopeState final : KindState {
    NoteTable<EnvelopeEntry> table;
};

std::unique_ptr<KindState> CreateEnvelope(Module&) {
    return std::make_unique<EnvelopeState>();
}

// Signal A and velocity B of one entry for an output mode (codes 0..7; others act as 0).
void EnvelopeOutput(int mode, double level, double pitch, double velocity, double& a, double& b) {
    switch (mode) {
    case 1:
        a = pitch, b = level * 127.0;
        break; // Replace Velocity
    case 2:
        a = level * pitch, b = velocity;
        break; // Modify Signal
    case 3:
        a = level * 1000.0, b = velocity;
        break; // Replace Signal
    case 4:
        a = level * pitch, b = level * velocity;
        break; // Modify Velocity and Signal
    case 5:
        a = level * 1000.0, b = level * 127.0;
        break; // Replace Velocity and Signal
    case 6:
        a = 0.0, b = level * 127.0;
        break; // Envelope as Velocity with Null Signal
    case 7:
        a = level * 1000.0, b = 127.0;
        break; // Envelope as Signal with Full Velocity
    default:
        a = pitch, b = level * velocity;
        break; // Modify Velocity
    }
}

void EvaluateEnvelope(Engine& e, Module& m, EnvelopeState& st, ModuleSlot& out) {
    using namespace note_envelope;
    const double period = e.ControlPeriodMs();
    auto param = [&](int link) { return ScaledLink(e, m.Link(link), 0, Reader::Plain, kLinks[link].scale); };
    const double at = AtLeast(param(Attack), period);
    const double ra = param(RatioAttackLevelToVelocity) * 0.01;
    const double dc = param(Decay);
    const double s = AtLeast(param(Sustain), 1e-05) * 0.01;
    const double rl = AtLeast(param(Release), period);
    const double k = Clamp(param(Smoothing) * 0.01 * period, 0.0, 1.0, true);
    const double keep = k == k ? k : 0.0;
    const int mode = m.Enum(OutputMode);

    // Input voices into the table.
    const ControlLink& in = m.Link(Input);
    const SourceId src = in.source;
    const bool manual = src == kManualSource;
    const double pitchScale = manual ? 1.0 : in.sensitivity * 0.01;
    const double velocityScale = m.Real(InputVelocity) * 0.01;
    const int n = InputVoices(e, src);
    for (int v = 0; v < n; ++v) {
        bool appended = false;
        const int i = st.table.FindOrAppend(e.NoteOf(src, v), appended);
        if (i < 0) continue;
        EnvelopeEntry& en = st.table[i];
        if (appended) {
            en.time = 0.0;
            en.level = 0.0;
            en.previousPresent = true;
        }
        const double x = manual ? in.value * kLinks[Input].scale.manual : e.GetSourceValue(src, v);
        en.pitch = x * pitchScale;
        en.velocity = e.VelocityOf(src, v) * velocityScale;
        en.present = true;
    }

    // Every entry: phase changes, level, output, end of release.
    for (int i = 0; i < st.table.Count();) {
        EnvelopeEntry& en = st.table[i];
        const double peak = en.velocity / 127.0 * ra + 1.0;
        if (!en.present && en.previousPresent)
            en.time = (1.0 - en.level / s) * rl; // release from the current level
        else if (en.present && !en.previousPresent)
            en.time = peak != 0.0 ? en.level / peak * at : 0.0; // attack again from the current level
        en.previousPresent = en.present;

        double level;
        if (!en.present)
            level = en.time < rl ? (1.0 - en.time / rl) * s : 0.0;
        else if (en.time > at)
            level = en.time < dc + at ? (peak - s) * (1.0 - (en.time - at) / dc) + s : s;
        else
            level = en.time / at * peak;
        en.level = level;
        en.time += period;

        double a = 0.0, b = 0.0;
        EnvelopeOutput(mode, level, en.pitch, en.velocity, a, b);
        out.value[size_t(i)] = keep * out.value[size_t(i)] + (1.0 - keep) * a;
        out.velocity[size_t(i)] = keep * out.velocity[size_t(i)] + (1.0 - keep) * b;
        out.note[size_t(i)] = en.note;

        if (en.present || en.time < rl) {
            en.present = false;
            ++i;
        } else {
            st.table.RemoveAt(i); // its release has ended; the moved entry comes next at i
        }
    }
    out.voiceCount = uint8_t(st.table.Count());
}

void EvaluateEnvelopes(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules) {
        auto* st = StateOf<EnvelopeState>(*m);
        ModuleSlot* out = OutSlot(e, *m);
        if (st && out) EvaluateEnvelope(e, *m, *st, *out);
    }
}

// ---------------------------------------------------------------- polyphonicator

struct PolyEntry {
    double value;
    double velocity;
    uint8_t note;
};

void EvaluatePolyphonicator(Engine& e, Module& m, ModuleSlot& out) {
    // Rebuilt at every tick.
    std::array<PolyEntry, kMaxVoices> table;
    std::array<int16_t, 256> index;
    index.fill(-1);
    int count = 0;
    for (int k = 0; k < 8; ++k) {
        const ControlLink& link = m.Link(polyphonicator::Input1 + k);
        const SourceId src = link.source;
        if (src == kNoSource) continue;
        const double velocityShare = m.Real(polyphonicator::Velocity1 + k) * 0.01;
        const int n = InputVoices(e, src);
        for (int v = 0; v < n; ++v) {
            const double x = ScaledLink(e, link, v, Reader::Plain, polyphonicator::kLinks[k].scale);
            const double vel = e.VelocityOf(src, v); // 127 for manual and mouse sources
            const uint8_t key = IsSlot(src) ? e.NoteOf(src, v) : uint8_t(k + 1);
            const int i = index[key];
            if (i >= 0) {
                table[size_t(i)].value += x;
                table[size_t(i)].velocity = (velocityShare * vel + table[size_t(i)].velocity) * 0.5;
            } else if (count < kMaxVoices) {
                table[size_t(count)] = {x, velocityShare * vel, key};
                index[key] = int16_t(count++);
            }
        }
    }
    for (int i = 0; i < count; ++i) {
        out.value[size_t(i)] = table[size_t(i)].value;
        out.velocity[size_t(i)] = table[size_t(i)].velocity;
        out.note[size_t(i)] = table[size_t(i)].note;
    }
    out.voiceCount = uint8_t(count);
}

void EvaluatePolyphonicators(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules)
        if (ModuleSlot* out = OutSlot(e, *m)) EvaluatePolyphonicator(e, *m, *out);
}

// ---------------------------------------------------------------- note retard

struct RetardEntry {
    uint8_t note = 0;
    bool present = false;
    double value = 0.0;
    double target = 0.0;
    double velocity = 0.0;
    double targetVelocity = 0.0;
};

struct RetardState final : KindState {
    NoteTable<RetardEntry> table;
    double latestNoteValue = 0.0; // input value of the note added most recently
    PowMemo glidePow;
};

std::unique_ptr<KindState> CreateRetard(Module&) {
    return std::make_unique<RetardState>();
}

void EvaluateRetard(Engine& e, Module& m, RetardState& st, ModuleSlot& out) {
    using namespace note_retard;
    // The share of the distance left after 40 ms; above 1 the glide would run away from its target.
    const double rt = ScaledLink(e, m.Link(Retardation), 0, Reader::Plain, kLinks[Retardation].scale);
    const double rate = e.EffectiveControlRate();
    const double q = rate > 0.0 && rt == rt ? st.glidePow(rt, 1.0 / (rate * 0.04)) : 0.0;

    const ControlLink& startLink = m.Link(RetardationSource);
    const bool whenceLatest = startLink.source == kNoSource; // "-[ Whence Latest Note ]-"
    const ControlLink& in = m.Link(Input);
    const SourceId src = in.source;
    const int n = InputVoices(e, src);
    for (int v = 0; v < n; ++v) {
        const double x = ScaledLink(e, in, v, Reader::Plain, kLinks[Input].scale);
        const double vel = e.VelocityOf(src, v);
        bool appended = false;
        const int i = st.table.FindOrAppend(e.NoteOf(src, v), appended);
        if (i < 0) continue;
        RetardEntry& en = st.table[i];
        if (appended) {
            en.value = whenceLatest
                           ? st.latestNoteValue
                           : ScaledLink(e, startLink, v, Reader::Plain, kLinks[RetardationSource].scale);
            en.velocity = vel;
            st.latestNoteValue = x;
        }
        en.target = x;
        en.targetVelocity = vel;
        en.present = true;
    }

    for (int i = 0; i < st.table.Count();) {
        RetardEntry& en = st.table[i];
        if (!en.present) {
            st.table.RemoveAt(i);
            continue;
        }
        en.value = (1.0 - q) * en.target + q * en.value;
        out.value[size_t(i)] = en.value;
        out.velocity[size_t(i)] = en.velocity;
        out.note[size_t(i)] = en.note;
        en.present = false;
        ++i;
    }
    out.voiceCount = uint8_t(st.table.Count());
}

void EvaluateRetards(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules) {
        auto* st = StateOf<RetardState>(*m);
        ModuleSlot* out = OutSlot(e, *m);
        if (st && out) EvaluateRetard(e, *m, *st, *out);
    }
}

// ---------------------------------------------------------------- ding-dong (every sample)

struct DingEntry {
    uint8_t note = 0;
    double frequency = 0.0;
    double velocity = 0.0;
    double phase = 0.0;
    int64_t counter = 0; // samples since the strike
};

struct DingDongState final : KindState {
    NoteTable<DingEntry> table;
};

std::unique_ptr<KindState> CreateDingDong(Module&) {
    return std::make_unique<DingDongState>();
}

// The partials h = 50, 60, ..., 120 (h = 40 has weight 1 - 1^b = 0) sound at h/100 of the phase, with
// weight 1 - (|h - 100| / 60)^b. Besides 0 (h = 100) the bases are 5/6, 2/3, 1/2, 1/3 and 1/6, and
// (2/3)^b = (1/3)^b / (1/2)^b, (1/6)^b = (1/2)^b (1/3)^b: three exponentials give all five powers.
const double kLogFiveSixths = std::log(5.0 / 6.0);
const double kLogHalf = std::log(0.5);
const double kLogThird = std::log(1.0 / 3.0);

void DingDongStrike(DingDongState& st, uint8_t note, double frequency, double velocity) {
    bool appended = false;
    const int i = st.table.FindOrAppend(note, appended);
    if (i < 0) return;
    DingEntry& en = st.table[i];
    if (appended) {
        en.counter = 0;
        en.phase = 0.0;
        en.velocity = velocity;
    }
    en.frequency = frequency;
}

void EvaluateDingDong(Engine& e, Module& m, DingDongState& st, ModuleSlot& out) {
    using namespace ding_dong;
    // A negative length makes no sense for a bell and would break the envelope's shape.
    const double length =
        AtLeast(ScaledLink(e, m.Link(NoteLength), 0, Reader::Smoothed, kLinks[NoteLength].scale), 0.0);
    const double vn = ScaledLink(e, m.Link(NoteVelocity), 0, Reader::Smoothed, kLinks[NoteVelocity].scale);

    constexpr LinkScale fs = kLinks[Note].scale; // the note link gives frequencies
    const ControlLink& noteLink = m.Link(Note);
    const SourceId src = noteLink.source;
    const double sens = noteLink.sensitivity * 0.01 * fs.source;
    if (IsSlot(src)) {
        const int n = InputVoices(e, src);
        for (int v = 0; v < n; ++v) {
            const double hz = Clamp(e.GetSmoothedSourceValue(src, v) * sens, fs.lower, fs.upper, fs.absFirst);
            DingDongStrike(st, e.NoteOf(src, v), hz, e.VelocityOf(src, v));
        }
    } else {
        // None, a mouse measure, or "-[Manual]-" (which reads as a source of value 0): one voice, read as a
        // mouse measure.
        const double hz =
            Clamp(e.GetSmoothedSourceValue(src, 0) * sens * fs.measure, fs.lower, fs.upper, fs.absFirst);
        DingDongStrike(st, 0, hz, 127.0);
    }

    constexpr double kTwentyPi = 20.0 * kPi; // every partial completes whole turns over 20 pi
    const double lengthScale = length > 1000.0 ? 1.0 / std::sqrt(length * 0.001) : 1.0;
    double total = 0.0;
    for (int i = 0; i < st.table.Count();) {
        DingEntry& en = st.table[i];
        en.phase += en.frequency / 96000.0 * kTwoPi;
        if (en.phase >= kTwentyPi) en.phase -= kTwentyPi;
        const double t = double(en.counter) / 48.0;

        double env;
        if (t <= 10.0) {
            const double u = t * std::sqrt(2.0) / 10.0;
            const double u2 = u * u;
            env = vn * (4.0 * u2 - u2 * u2) / 4.0;
        } else {
            const double x = 1.0 - t / (length + 20.0);
            env = x > 0.0 ? vn * std::pow(x, 1.0 / x) : 0.0;
        }

        const double age = std::min(1.0, t / (length + 10.0));
        double b;
        if (en.velocity > 0.0)
            b = 1.0 / (1.0 + (10.0 / en.velocity) * age);
        else
            b = age > 0.0 ? 0.0 : 1.0; // the limit for a vanishing velocity

        const double half = std::exp(b * kLogHalf), third = std::exp(b * kLogThird);
        const std::array<double, 5> w{1.0 - std::exp(b * kLogFiveSixths), 1.0 - third / half, 1.0 - half,
                                      1.0 - third, 1.0 - half * third};
        const double w100 = b > 0.0 ? 1.0 : 0.0; // 1 - 0^b
        // sin(k theta) for k = 5..12, theta = phase / 10, by sin((k+1) t) = 2 cos t sin(k t) - sin((k-1) t).
        const double theta = en.phase * 0.1;
        const double twoCos = 2.0 * Sine(theta + kPi / 2.0);
        std::array<double, 8> sk;
        sk[0] = Sine(5.0 * theta);
        sk[1] = Sine(6.0 * theta);
        for (size_t k = 2; k < sk.size(); ++k) sk[k] = twoCos * sk[k - 1] - sk[k - 2];
        const double sum = sk[0] * w[0] + sk[1] * w[1] + sk[2] * w[2] + sk[3] * w[3] + sk[4] * w[4] +
                           sk[5] * w100 + sk[6] * w[4] + sk[7] * w[3];
        total += sum * env * lengthScale;
        en.counter += en.counter < 0 ? -1 : 1;

        if (t > 10.0 && !(env > 0.1))
            st.table.RemoveAt(i);
        else
            ++i;
    }
    out.value[0] = total;
    out.smoothedValue[0] = total;
}

void EvaluateDingDongs(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules) {
        auto* st = StateOf<DingDongState>(*m);
        ModuleSlot* out = OutSlot(e, *m);
        if (st && out) EvaluateDingDong(e, *m, *st, *out);
    }
}

} // namespace

const KindOps kOpsControlNoteEnvelope{&CreateEnvelope, &EvaluateEnvelopes};
const KindOps kOpsControlPolyphonicator{nullptr, &EvaluatePolyphonicators};
const KindOps kOpsControlNoteRetard{&CreateRetard, &EvaluateRetards};
const KindOps kOpsAudioDingDong{&CreateDingDong, &EvaluateDingDongs};

} // namespace mw
