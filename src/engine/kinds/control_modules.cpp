// The neuron (every sample) and the control-shaping modules (control ticks): sensitizer, echo, combine,
// the simple per-voice maps, closest note, note combine and the cursor sensor.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/kinds/kind_ops.hpp"
#include "engine/kinds/note_common.hpp"
#include "engine/pointer.hpp"
#include "engine/wave_functions.hpp"

namespace mw {
namespace {

using notes::InputVoices;
using notes::NoteTable;
using notes::OutSlot;
using notes::StateOf;

// Passes velocity and note of input voice v on to output voice v.
inline void PassVoice(const Engine& e, ModuleSlot& out, SourceId in, int v) {
    out.velocity[size_t(v)] = e.VelocityOf(in, v);
    out.note[size_t(v)] = e.NoteOf(in, v);
}

// ---------------------------------------------------------------- neuron (every sample)

struct NeuronState final : KindState {
    double energy = 0.0;
    double charge = 0.0;
};

std::unique_ptr<KindState> CreateNeuron(Module&) {
    return std::make_unique<NeuronState>();
}

// The five dendrites read alike.
constexpr LinkScale kDendriteScale = neuron::kLinks[neuron::Dendrite0].scale;
static_assert(std::all_of(neuron::kLinks + neuron::Dendrite4, neuron::kLinks + neuron::LinkCount,
                          [](const LinkDesc& d) { return d.scale == kDendriteScale; }));

void EvaluateNeuron(Engine& e, Module& m, NeuronState& st, ModuleSlot& out) {
    using namespace neuron;
    auto param = [&](int link) {
        return ScaledLink(e, m.Link(link), 0, Reader::Smoothed, kLinks[link].scale);
    };
    const double ratio = param(InputOutputRatio);
    const double discharge = param(DischargeRate);
    const double threshold = param(Threshold);
    const double leakthrough = param(Leakthrough);
    const double leakage = param(Leakage);

    double& energy = st.energy;
    double& charge = st.charge;
    if (m.Enum(EnergyFunction) == 0) { // "Linear ( Identity )"
        const bool positive = m.Bool(MakeAllInputsPositive);
        double sum = 0.0;
        for (int d = Dendrite4; d <= Dendrite0; ++d) {
            const double x = ScaledLink(e, m.Link(d), 0, Reader::Smoothed, kDendriteScale);
            sum += positive ? std::fabs(x) : x;
        }
        energy += sum / 48.0;
    }
    const double leak = leakthrough * energy / 48.0;
    energy -= leak;
    energy = energy - energy * leakage / 48.0;
    if ((threshold > 0.0 && energy >= threshold) || (threshold < 0.0 && energy <= threshold)) {
        charge += energy;
        energy = 0.0;
    }
    const double drained = discharge * charge / 48.0;
    charge -= drained;
    // Rates above 96 make energy and charge swing ever wider; start again long before they overflow
    // (and the output turns infinite or NaN).
    constexpr double kRunaway = 1e150;
    if (!(std::fabs(energy) < kRunaway)) energy = 0.0;
    if (!(std::fabs(charge) < kRunaway)) charge = 0.0;

    const double output = (drained + leak) * 48.0 * ratio * 1000.0;
    out.value[0] = output;
    out.smoothedValue[0] = output;
}

void EvaluateNeurons(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules) {
        auto* st = StateOf<NeuronState>(*m);
        ModuleSlot* out = OutSlot(e, *m);
        if (st && out) EvaluateNeuron(e, *m, *st, *out);
    }
}

// ---------------------------------------------------------------- sensitizer

struct SensitizerEntry {
    uint8_t note = 0;
    bool present = false;
    double level = 0.0;
    double target = 0.0;
    double velocity = 0.0;
    double targetVelocity = 0.0;
};

struct SensitizerState final : KindState {
    NoteTable<SensitizerEntry> table;
    PowMemo attackPow, decayPow;
};

std::unique_ptr<KindState> CreateSensitizer(Module&) {
    return std::make_unique<SensitizerState>();
}

void EvaluateSensitizer(Engine& e, Module& m, SensitizerState& st, ModuleSlot& out) {
    using namespace sensitizer;
    const double period = e.ControlPeriodMs();
    const double a = st.attackPow((1000.0 - m.Real(Attack)) * 0.001, 6.0) * period;
    const double d = st.decayPow((1000.0 - m.Real(Decay)) * 0.001, 6.0) * period;
    const ControlLink& in = m.Link(Input);
    const SourceId src = in.source;
    const bool manual = src == kManualSource;
    const double g = manual ? 1.0 : in.sensitivity * 0.01;
    const bool freqMode = m.Bool(FreqMode);

    const int n = InputVoices(e, src);
    for (int v = 0; v < n; ++v) {
        const uint8_t key = IsSlot(src) ? e.NoteOf(src, v) : uint8_t(0);
        bool appended = false;
        const int i = st.table.FindOrAppend(key, appended); // appended entries start at level 0, velocity 0
        if (i < 0) continue;
        SensitizerEntry& en = st.table[i];
        // (A source's sensitivity applies to the output, g above.)
        en.target = manual ? in.value * kLinks[Input].scale.manual : e.GetSourceValue(src, v);
        en.targetVelocity = e.VelocityOf(src, v);
        en.present = true;
    }

    for (int i = 0; i < st.table.Count();) {
        SensitizerEntry& en = st.table[i];
        double output;
        if (!freqMode) { // the velocity is smoothed, the value passes
            en.velocity += (en.targetVelocity - en.velocity) * (en.targetVelocity > en.velocity ? a : d);
            en.velocity = Clamp(std::min(en.velocity, 127.0), -100000.0, 100000.0);
            en.targetVelocity = 0.0;
            en.level = en.target;
            out.value[size_t(i)] = en.level;
            out.velocity[size_t(i)] = en.velocity * g;
            output = en.velocity * g;
        } else { // the value is smoothed, the velocity passes
            const double f = en.target > en.level ? a : d;
            en.level = Clamp((1.0 - f) * en.level + f * en.target, -100000.0, 100000.0);
            en.target = 0.0;
            en.velocity = en.targetVelocity;
            out.value[size_t(i)] = en.level * g;
            out.velocity[size_t(i)] = en.velocity;
            output = en.level * g;
        }
        out.note[size_t(i)] = en.note;
        if (!en.present && !(output >= 0.1)) {
            st.table.RemoveAt(i);
        } else {
            en.present = false;
            ++i;
        }
    }
    out.voiceCount = uint8_t(st.table.Count());
}

void EvaluateSensitizers(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules) {
        auto* st = StateOf<SensitizerState>(*m);
        ModuleSlot* out = OutSlot(e, *m);
        if (st && out) EvaluateSensitizer(e, *m, *st, *out);
    }
}

// ---------------------------------------------------------------- control echo

constexpr int kEchoCells = 24000;

struct FreeDeleter {
    void operator()(double* p) const { std::free(p); }
};

struct EchoState final : KindState {
    // 128 rings of 24000 cells, one per note. Zeroed pages come from the system untouched, so only the
    // rings of notes that were ever echoed take memory.
    std::unique_ptr<double[], FreeDeleter> rings{
        static_cast<double*>(std::calloc(size_t(128) * kEchoCells, sizeof(double)))};
    int position = 0;
    std::array<double, 128> lastValue{};
    std::array<double, 128> lastVelocity{};
    std::array<uint64_t, 2> used{}; // notes whose ring was ever written (the others hold only zeros)
};

std::unique_ptr<KindState> CreateEcho(Module&) {
    return std::make_unique<EchoState>();
}

void EvaluateEcho(Engine& e, Module& m, EchoState& st, ModuleSlot& out) {
    using namespace control_echo;
    if (!st.rings) return;
    const double interval = ScaledLink(e, m.Link(Interval), 0, Reader::Plain, kLinks[Interval].scale);
    const double linger = ScaledLink(e, m.Link(Linger), 0, Reader::Plain, kLinks[Linger].scale);
    double len = std::trunc(interval * e.EffectiveControlRate() * 0.001);
    if (!(len >= 1.0)) len = 1.0;
    if (len > kEchoCells) len = kEchoCells;
    const int length = int(len);
    if (st.position >= length || st.position < 0) st.position = 0;
    const size_t pos = size_t(st.position);
    double* rings = st.rings.get();

    // "-[Manual]-" reads as a source with one voice of value 0, velocity 127 and note 0.
    const SourceId src = m.Input(Input);
    const bool freqMode = m.Bool(FreqMode);
    const int n = InputVoices(e, src);
    for (int v = 0; v < n; ++v) {
        const uint8_t note = e.NoteOf(src, v);
        if (note >= 128) continue;
        const double x = e.GetSourceValue(src, v);
        const double vel = e.VelocityOf(src, v);
        double& cell = rings[size_t(note) * kEchoCells + pos];
        if (!freqMode) {
            cell += vel;
            st.lastValue[note] = x;
        } else {
            cell += x;
            st.lastVelocity[note] = vel;
        }
        st.used[note >> 6] |= uint64_t(1) << (note & 63);
    }

    int voices = 0;
    for (int word = 0; word < 2; ++word) {
        uint64_t bits = st.used[size_t(word)];
        while (bits != 0) {
            const int b = __builtin_ctzll(bits);
            bits &= bits - 1;
            const int note = word * 64 + b;
            double& cell = rings[size_t(note) * kEchoCells + pos];
            cell *= linger;
            if (!(std::fabs(cell) >= 0.1)) continue;
            cell = Clamp(cell, -100000.0, 100000.0);
            if (!freqMode) {
                out.value[size_t(voices)] = st.lastValue[size_t(note)];
                out.velocity[size_t(voices)] = cell;
            } else {
                out.value[size_t(voices)] = cell;
                out.velocity[size_t(voices)] = st.lastVelocity[size_t(note)];
            }
            out.note[size_t(voices)] = uint8_t(note);
            ++voices;
        }
    }
    out.voiceCount = uint8_t(voices);

    if (++st.position >= length) st.position = 0;
}

void EvaluateEchoes(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules) {
        auto* st = StateOf<EchoState>(*m);
        ModuleSlot* out = OutSlot(e, *m);
        if (st && out) EvaluateEcho(e, *m, *st, *out);
    }
}

// ---------------------------------------------------------------- combine

void EvaluateCombine(Engine& e, Module& m, ModuleSlot& out) {
    // Rebuilt at every tick: one entry per note, summed over the inputs.
    std::array<double, kMaxVoices> value;
    std::array<double, kMaxVoices> velocity;
    std::array<uint8_t, kMaxVoices> key;
    std::array<int16_t, 256> index;
    index.fill(-1);
    int count = 0;
    for (int k = combine::Input1; k <= combine::Input5; ++k) {
        const SourceId src = m.Input(k);
        if (src == kNoSource) continue;
        const int n = InputVoices(e, src);
        for (int v = 0; v < n; ++v) {
            const uint8_t note = e.NoteOf(src, v);
            const double vel = e.VelocityOf(src, v);
            int i = index[note];
            if (i < 0) {
                if (count >= kMaxVoices) continue;
                i = count++;
                index[note] = int16_t(i);
                key[size_t(i)] = note;
                value[size_t(i)] = 0.0;
                velocity[size_t(i)] = vel;
            }
            value[size_t(i)] += e.GetSourceValue(src, v);
            velocity[size_t(i)] = (vel + velocity[size_t(i)]) * 0.5;
        }
    }
    for (int i = 0; i < count; ++i) {
        out.value[size_t(i)] = value[size_t(i)];
        out.velocity[size_t(i)] = velocity[size_t(i)];
        out.note[size_t(i)] = key[size_t(i)];
    }
    out.voiceCount = uint8_t(count);
}

// ---------------------------------------------------------------- per-voice maps

// Sets the output's voice count from the input and returns it; 0 leaves the outputs as they were.
int BeginVoices(const Engine& e, ModuleSlot& out, SourceId in) {
    const int n = InputVoices(e, in);
    out.voiceCount = uint8_t(n);
    return n;
}

void EvaluateRange(Engine& e, Module& m, ModuleSlot& out) {
    using namespace range;
    const ControlLink& in = m.Link(Input);
    const int n = BeginVoices(e, out, in.source);
    const double ol = m.Real(OutputLowerLimit), ou = m.Real(OutputUpperLimit);
    const double il = m.Real(InputLowerLimit), iu = m.Real(InputUpperLimit);
    if (iu == il) {
        for (int v = 0; v < n; ++v) out.value[size_t(v)] = 0.0; // velocity and note stay as they were
        return;
    }
    const double scale = (ou - ol) / (iu - il);
    const double shift = ((ol + ou) / 2.0 - (iu + il) / 2.0) * 10.0;
    const bool keep = m.Bool(KeepInRange);
    const double lo = 10.0 * std::min(ol, ou), hi = 10.0 * std::max(ol, ou);
    for (int v = 0; v < n; ++v) {
        const double x = ScaledLink(e, in, v, Reader::Plain, kLinks[Input].scale);
        double y = scale * x + shift;
        if (keep) y = Clamp(y, lo, hi);
        out.value[size_t(v)] = y;
        PassVoice(e, out, in.source, v);
    }
}

void EvaluateOffset(Engine& e, Module& m, ModuleSlot& out) {
    const ControlLink& in = m.Link(offset::Input);
    const int n = BeginVoices(e, out, in.source);
    if (n == 0) return;
    const double off =
        ScaledLink(e, m.Link(offset::Offset), 0, Reader::Plain, offset::kLinks[offset::Offset].scale);
    for (int v = 0; v < n; ++v) {
        out.value[size_t(v)] =
            (ScaledLink(e, in, v, Reader::Plain, offset::kLinks[offset::Input].scale) + off) * 10.0;
        PassVoice(e, out, in.source, v);
    }
}

void EvaluateGain(Engine& e, Module& m, ModuleSlot& out) {
    const ControlLink& in = m.Link(gain::Input);
    const int n = BeginVoices(e, out, in.source);
    if (n == 0) return;
    const double g = ScaledLink(e, m.Link(gain::Gain), 0, Reader::Plain, gain::kLinks[gain::Gain].scale);
    for (int v = 0; v < n; ++v) {
        out.value[size_t(v)] = ScaledLink(e, in, v, Reader::Plain, gain::kLinks[gain::Input].scale) * g;
        PassVoice(e, out, in.source, v);
    }
}

void EvaluateInput(Engine& e, Module& m, ModuleSlot& out) {
    const ControlLink& in = m.Link(control_input::Input);
    const int n = BeginVoices(e, out, in.source);
    for (int v = 0; v < n; ++v) {
        out.value[size_t(v)] =
            ScaledLink(e, in, v, Reader::Plain, control_input::kLinks[control_input::Input].scale) * 10.0;
        PassVoice(e, out, in.source, v);
    }
}

void EvaluateStepFunction(Engine& e, Module& m, ModuleSlot& out) {
    const ControlLink& in = m.Link(control_step::Input);
    const int n = BeginVoices(e, out, in.source);
    if (n == 0) return;
    using namespace control_step;
    const double step = ScaledLink(e, m.Link(StepSize), 0, Reader::Plain, kLinks[StepSize].scale);
    for (int v = 0; v < n; ++v) {
        out.value[size_t(v)] = Quantize(ScaledLink(e, in, v, Reader::Plain, kLinks[Input].scale), step);
        PassVoice(e, out, in.source, v);
    }
}

void EvaluateLowCut(Engine& e, Module& m, ModuleSlot& out) {
    const ControlLink& in = m.Link(low_cut::Input);
    const int n = BeginVoices(e, out, in.source);
    if (n == 0) return;
    using namespace low_cut;
    const double c = ScaledLink(e, m.Link(LowCutFreq), 0, Reader::Plain, kLinks[LowCutFreq].scale);
    for (int v = 0; v < n; ++v) {
        const double x = ScaledLink(e, in, v, Reader::Plain, kLinks[Input].scale);
        double vel = e.VelocityOf(in.source, v);
        if (x <= c && c != 0.0) vel *= std::max(0.0, 1.0 - (c - x) / (c * 0.5));
        out.value[size_t(v)] = x;
        out.velocity[size_t(v)] = vel;
        out.note[size_t(v)] = e.NoteOf(in.source, v);
    }
}

void EvaluateClosestNote(Engine& e, Module& m, ModuleSlot& out) {
    const ControlLink& in = m.Link(closest_note::Input);
    const int n = BeginVoices(e, out, in.source);
    if (n == 0) return;
    using namespace closest_note;
    const double t = ScaledLink(e, m.Link(Tuning), 0, Reader::Plain, kLinks[Tuning].scale) * 0.01;
    for (int v = 0; v < n; ++v) {
        const double x = ScaledLink(e, in, v, Reader::Plain, kLinks[Input].scale);
        double y = 0.0; // no pitch for zero or negative frequencies
        if (x > 0.0 && std::isfinite(x)) {
            const double s = 12.0 * std::log2(x / 16.35) - t;
            double k = std::trunc(s);
            if (s - k >= 0.5) k += 1.0;
            y = notes::NoteFrequency(k + t);
        }
        out.value[size_t(v)] = y;
        PassVoice(e, out, in.source, v);
    }
}

template <void (*Eval)(Engine&, Module&, ModuleSlot&)>
void EvaluateEach(Engine& e, std::span<Module* const> mods) {
    for (Module* m : mods)
        if (ModuleSlot* out = OutSlot(e, *m)) Eval(e, *m, *out);
}

// ---------------------------------------------------------------- note combine

struct NoteCombineState final : KindState {
    double value = 0.0;
    double velocity = 0.0;
};

std::unique_ptr<KindState> CreateNoteCombine(Module&) {
    return std::make_unique<NoteCombineState>();
}

void EvaluateNoteCombine(Engine& e, Module& m, NoteCombineState& st, ModuleSlot& out) {
    const ControlLink& in = m.Link(note_combine::Input);
    const int n = InputVoices(e, in.source);
    double valueSum = 0.0, velocitySum = 0.0;
    int counted = 0;
    for (int v = 0; v < n; ++v) {
        velocitySum += e.VelocityOf(in.source, v);
        if (velocitySum > 0.0) {
            ++counted;
            valueSum +=
                ScaledLink(e, in, v, Reader::Plain, note_combine::kLinks[note_combine::Input].scale) * 10.0;
        }
    }
    double value = 0.0, velocity = 0.0;
    if (counted > 0) {
        value = valueSum / counted;
        velocity = velocitySum / counted;
    }
    if (m.Bool(note_combine::Sustain) && counted == 0) {
        value = st.value;
        velocity = st.velocity;
    } else {
        st.value = value;
        st.velocity = velocity;
    }
    out.value[0] = value;
    out.velocity[0] = velocity;
    out.voiceCount = 1;
}

void EvaluateNoteCombines(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules) {
        auto* st = StateOf<NoteCombineState>(*m);
        ModuleSlot* out = OutSlot(e, *m);
        if (st && out) EvaluateNoteCombine(e, *m, *st, *out);
    }
}

// ---------------------------------------------------------------- sensor

// The cursor is read once per engine block (2 ms), not on every control tick: reading it may mean a
// request to the display server, and a finer time grain is of no use for a position that the hand moves.
struct SensorState final : KindState {
    const IPointer* pointer = nullptr;
    int64_t block = -1;
    bool readable = false;
    int x = 0;
    int y = 0;
    double diagonal = 1.0;
};

std::unique_ptr<KindState> CreateSensor(Module&) {
    return std::make_unique<SensorState>();
}

bool ReadSensorCursor(Engine& e, IPointer* pointer, SensorState& st) {
    const int64_t block = e.blockCounter;
    if (st.pointer == pointer && st.block == block) return st.readable;
    st.pointer = pointer;
    st.block = block;
    st.readable = pointer->ReadCursor(st.x, st.y);
    if (st.readable) {
        // The rectangle (left, top, right - 1, bottom - 1) and its diagonal.
        const ScreenRect screen = pointer->Screen();
        st.diagonal = std::hypot(double(screen.Width() - 1), double(screen.Height() - 1));
        if (!(st.diagonal >= 1.0)) st.diagonal = 1.0;
    }
    return st.readable;
}

void EvaluateSensor(Module& m, const SensorState& st, ModuleSlot* gravity, ModuleSlot* polarity) {
    const double dx = double(m.refX) - st.x;
    const double dy = double(m.refY) - st.y;
    if (gravity) {
        const double g = (1.0 - std::hypot(dx, dy) / st.diagonal) * 1000.0;
        const double g2 = g * g;
        gravity->value[0] = g2 * g2 * g * 1e-12;
        gravity->velocity[0] = 127.0;
        gravity->note[0] = 0;
        gravity->voiceCount = 1;
    }
    if (polarity) {
        const double a = std::atan2(dy, dx);
        const double diff = std::fabs(m.Real(sensor::Angle) - a);
        const double delta = std::min(diff, kTwoPi - diff);
        double value = (2.0 * delta / kPi - 1.0) * 1000.0;
        if (!m.Bool(sensor::SignedOutput)) value = (value + 1000.0) * 0.5;
        polarity->value[0] = value;
        polarity->velocity[0] = 127.0;
        polarity->note[0] = 0;
        polarity->voiceCount = 1;
    }
}

void EvaluateSensors(Engine& e, std::span<Module* const> modules) {
    IPointer* pointer = e.Pointer();
    if (!pointer) return; // no cursor: the outputs keep their values
    for (Module* m : modules) {
        auto* st = StateOf<SensorState>(*m);
        if (!st || !ReadSensorCursor(e, pointer, *st)) continue;
        EvaluateSensor(*m, *st, OutSlot(e, *m, 0), OutSlot(e, *m, 1));
    }
}

} // namespace

const KindOps kOpsControlNeuron{&CreateNeuron, &EvaluateNeurons};
const KindOps kOpsControlSensitizer{&CreateSensitizer, &EvaluateSensitizers};
const KindOps kOpsControlEcho{&CreateEcho, &EvaluateEchoes};
const KindOps kOpsControlCombine{nullptr, &EvaluateEach<&EvaluateCombine>};
const KindOps kOpsControlRange{nullptr, &EvaluateEach<&EvaluateRange>};
const KindOps kOpsControlOffset{nullptr, &EvaluateEach<&EvaluateOffset>};
const KindOps kOpsControlGain{nullptr, &EvaluateEach<&EvaluateGain>};
const KindOps kOpsControlInput{nullptr, &EvaluateEach<&EvaluateInput>};
const KindOps kOpsControlStepFunction{nullptr, &EvaluateEach<&EvaluateStepFunction>};
const KindOps kOpsControlLowCut{nullptr, &EvaluateEach<&EvaluateLowCut>};
const KindOps kOpsControlClosestNote{nullptr, &EvaluateEach<&EvaluateClosestNote>};
const KindOps kOpsControlNoteCombine{&CreateNoteCombine, &EvaluateNoteCombines};
const KindOps kOpsControlSensor{&CreateSensor, &EvaluateSensors};

} // namespace mw
