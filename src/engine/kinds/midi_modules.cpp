// The step sequencer (with its note catcher), the MIDI note input and the MIDI slider module, and the
// model-thread poll that completes what they asked for.
//
// Hand-over of a parsed sequence: the model thread parses a changed text into a new ParsedSequence and
// exchanges it into `pending` (deleting one the engine never took). The engine thread takes `pending`
// at a tick only when `retired` is empty, makes it the active one and puts the previous one into
// `retired`; the model thread deletes what it finds in `retired`. So the engine never allocates or
// frees, and a sequence is freed only once the engine no longer reads it.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>

#include "engine/kinds/kind_ops.hpp"
#include "engine/kinds/note_common.hpp"
#include "engine/kinds/note_modules.hpp"
#include "engine/note_sequence.hpp"

namespace mw {
namespace {

using notes::IsMidiPollTick;
using notes::NoteFrequency;
using notes::OutSlot;
using notes::SpscRing;
using notes::StateOf;

// ---------------------------------------------------------------- sequence

struct ParsedSequence {
    std::vector<uint8_t> steps;
};

// A copy of a MIDI device's note velocities (16 channels x 128 notes), taken again only after one of its
// notes changed.
struct NoteTableCopy {
    std::array<uint8_t, kMidiNoteTableSize> notes{};
    uint64_t stamp = kNoNoteStamp; // of the copy in `notes`
    int32_t device = kNoMidiDevice;

    // Brings the copy up to date with `from`; false when that device is not in use. `changed` tells
    // whether the copy was taken again (a newly chosen device always is).
    bool Refresh(IMidiInput& midi, int32_t from, bool& changed) {
        if (from != device) {
            device = from;
            stamp = kNoNoteStamp;
        }
        const uint64_t before = stamp;
        if (!midi.CopyNoteVelocities(from, notes, stamp)) return false;
        changed = stamp != before;
        return true;
    }
};

struct SequenceState final : KindState {
    ~SequenceState() override {
        delete active;
        delete pending.load(std::memory_order_acquire);
        delete retired.load(std::memory_order_acquire);
    }

    // Engine thread.
    ParsedSequence* active = nullptr;
    int64_t position = 0;
    std::array<double, 128> velocity{};
    std::array<double, 128> elapsed{};  // ms
    std::array<double, 128> length{};   // ms
    std::array<uint64_t, 2> sounding{}; // notes whose velocity is above 0
    NoteTableCopy catcherNow;
    std::array<uint8_t, kMidiNoteTableSize> catcherLast{};
    bool catcherHolds = false;

    // Between the threads.
    std::atomic<ParsedSequence*> pending{nullptr};
    std::atomic<ParsedSequence*> retired{nullptr};
    SpscRing<uint8_t, 1024> caught; // notes caught by the engine, to be appended by the model thread
    Relaxed<int32_t> parsedStepCount{0};

    // Model thread.
    std::string parsedText;
};

// Model thread: parses the text and hands it to the engine.
void ParseAndHandOver(SequenceState& st, const std::string& text) {
    delete st.retired.exchange(nullptr, std::memory_order_acq_rel);
    auto* p = new ParsedSequence{ParseNoteSequence(text)};
    st.parsedStepCount = int32_t(std::min<size_t>(p->steps.size(), INT32_MAX));
    st.parsedText = text;
    delete st.pending.exchange(p, std::memory_order_acq_rel); // one the engine never took
}

std::unique_ptr<KindState> CreateSequence(Module& m) {
    auto st = std::make_unique<SequenceState>();
    const std::string& text = m.texts[sequence::SequenceText];
    st->active = new ParsedSequence{ParseNoteSequence(text)};
    st->parsedStepCount = int32_t(std::min<size_t>(st->active->steps.size(), INT32_MAX));
    st->parsedText = text;
    return st;
}

void SequenceTextChanged(Module& m) {
    auto* st = StateOf<SequenceState>(m);
    if (!st) return;
    ParseAndHandOver(*st, m.texts[sequence::SequenceText]);
}

void CatchNotes(Engine& e, Module& m, SequenceState& st) {
    const int32_t device = m.Int(sequence::RecordingSource);
    if (device == kNoMidiDevice) return;
    bool changed = false;
    if (!st.catcherNow.Refresh(e.MidiIn(), device, changed)) return;
    if (st.catcherHolds && !changed) return; // no note changed
    const auto& now = st.catcherNow.notes;
    if (st.catcherHolds && std::memcmp(now.data(), st.catcherLast.data(), now.size()) != 0) {
        for (size_t i = 0; i < now.size(); ++i)
            if (now[i] != 0 && st.catcherLast[i] == 0) st.caught.Push(uint8_t(i % 128));
    }
    st.catcherLast = now;
    st.catcherHolds = true;
}

void EvaluateSequence(Engine& e, Module& m, SequenceState& st, ModuleSlot& out) {
    using namespace sequence;
    // A newly parsed text, once the one it replaced before has been collected.
    if (st.retired.load(std::memory_order_acquire) == nullptr) {
        if (ParsedSequence* p = st.pending.exchange(nullptr, std::memory_order_acq_rel)) {
            st.retired.store(st.active, std::memory_order_release);
            st.active = p;
        }
    }

    CatchNotes(e, m, st);

    auto param = [&](int link) { return ScaledLink(e, m.Link(link), 0, Reader::Plain, kLinks[link].scale); };
    const double bpm = param(BPM);
    const double noteLength = param(NoteLength);
    const double noteVelocity = param(NoteVelocity);
    const double transpose = param(Transpose);
    const double tuning = param(Tuning);

    const std::vector<uint8_t>* steps = st.active ? &st.active->steps : nullptr;
    const int64_t count = steps ? int64_t(steps->size()) : 0;
    if (bpm != 0.0 && count > 0) {
        const double ticks = std::trunc(std::fabs(double(e.EffectiveControlRate()) * 60.0 / bpm));
        bool step = false;
        if (ticks < 9.0e18) { // a NaN or an endless interval never steps
            const auto n = uint64_t(ticks);
            step = n == 0 || e.ControlTickCounter() % n == 0;
        }
        if (step) {
            // The position may lie outside the steps after a change of direction or of the text.
            if (bpm > 0.0) {
                if (st.position >= count || st.position < 0) st.position = 0;
            } else if (st.position < 0 || st.position >= count) {
                st.position = count - 1;
            }
            const uint8_t note = (*steps)[size_t(st.position)];
            if (note < kSilentStep) {
                st.velocity[note] = noteVelocity;
                st.length[note] = noteLength;
                st.elapsed[note] = 0.0;
                const uint64_t bit = uint64_t(1) << (note & 63);
                if (noteVelocity > 0.0)
                    st.sounding[note >> 6] |= bit;
                else
                    st.sounding[note >> 6] &= ~bit;
            }
            st.position += bpm > 0.0 ? 1 : -1;
        }
    }

    // Sounding notes in ascending order (a note whose velocity is 0 neither sounds nor needs its clock).
    const double period = e.ControlPeriodMs();
    int voices = 0;
    for (int word = 0; word < 2; ++word) {
        uint64_t bits = st.sounding[size_t(word)];
        while (bits != 0) {
            const int b = __builtin_ctzll(bits);
            bits &= bits - 1;
            const int n = word * 64 + b;
            if (st.length[size_t(n)] <= st.elapsed[size_t(n)]) {
                st.velocity[size_t(n)] = 0.0;
                st.sounding[size_t(word)] &= ~(uint64_t(1) << b);
                continue;
            }
            out.value[size_t(voices)] = NoteFrequency(tuning * 0.01 + n + transpose);
            out.velocity[size_t(voices)] = st.velocity[size_t(n)];
            out.note[size_t(voices)] = uint8_t(n);
            ++voices;
            st.elapsed[size_t(n)] += period;
        }
    }
    out.voiceCount = uint8_t(voices);
}

void EvaluateSequences(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules) {
        auto* st = StateOf<SequenceState>(*m);
        ModuleSlot* out = OutSlot(e, *m);
        if (st && out) EvaluateSequence(e, *m, *st, *out);
    }
}

// ---------------------------------------------------------------- MIDI note input

struct MidiInputState final : KindState {
    std::array<uint8_t, 128> table{};
    NoteTableCopy copy;
    bool tableReversed = false;
    // The held notes in ascending order, rebuilt when the copy or the orientation changes.
    std::array<uint8_t, 128> held{};
    int heldCount = 0;
    // The frequency of every note at the current transpose and tuning, recomputed when they change.
    std::array<double, 128> frequency{};
    double frequencyOffset = std::numeric_limits<double>::quiet_NaN();
};

std::unique_ptr<KindState> CreateMidiInput(Module&) {
    return std::make_unique<MidiInputState>();
}

// The held notes from the copied table: one velocity per note, the later channels winning.
void RebuildHeldNotes(MidiInputState& st, bool reversed) {
    st.tableReversed = reversed;
    st.table.fill(0);
    // Most of the 16 x 128 bytes are 0: look at them eight at a time.
    for (size_t i = 0; i < st.copy.notes.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, &st.copy.notes[i], sizeof word);
        if (word == 0) continue;
        for (size_t j = i; j < i + 8; ++j)
            if (const uint8_t vel = st.copy.notes[j]; vel != 0) {
                const size_t note = j % 128;
                st.table[reversed ? 127 - note : note] = vel;
            }
    }
    st.heldCount = 0;
    for (int n = 0; n < 128; ++n)
        if (st.table[size_t(n)] != 0) st.held[size_t(st.heldCount++)] = uint8_t(n);
}

void EvaluateMidiInput(Engine& e, Module& m, MidiInputState& st, ModuleSlot& out) {
    using namespace midi_input;
    const int32_t device = m.Int(InputDevice);
    if (device == kNoMidiDevice) return;
    const double transpose = ScaledLink(e, m.Link(Transpose), 0, Reader::Plain, kLinks[Transpose].scale);
    const double tuning = ScaledLink(e, m.Link(Tuning), 0, Reader::Plain, kLinks[Tuning].scale);

    if (IsMidiPollTick(e)) {
        bool changed = false;
        if (!st.copy.Refresh(e.MidiIn(), device, changed)) return;
        const bool reversed = m.Bool(ReversedNoteOrientation);
        if (changed || reversed != st.tableReversed) RebuildHeldNotes(st, reversed);
    }

    const double offset = tuning * 0.01 + transpose;
    if (!(offset == st.frequencyOffset)) {
        st.frequencyOffset = offset;
        for (int n = 0; n < 128; ++n) st.frequency[size_t(n)] = NoteFrequency(n + offset);
    }
    for (int v = 0; v < st.heldCount; ++v) {
        const uint8_t n = st.held[size_t(v)];
        out.value[size_t(v)] = st.frequency[n];
        out.velocity[size_t(v)] = st.table[n];
        out.note[size_t(v)] = n;
    }
    out.voiceCount = uint8_t(st.heldCount);
}

void EvaluateMidiInputs(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules) {
        auto* st = StateOf<MidiInputState>(*m);
        ModuleSlot* out = OutSlot(e, *m);
        if (st && out) EvaluateMidiInput(e, *m, *st, *out);
    }
}

// ---------------------------------------------------------------- MIDI sliders

struct SliderState final : KindState {
    std::array<Relaxed<float>, kMaxSliders> value{}; // raw 0..127 per slider entry
    Relaxed<bool> learning{false};
    Relaxed<int32_t> lastLearned{-1};
    SpscRing<int32_t, 64> requests; // controllers to be given a slider by the model thread
};

std::unique_ptr<KindState> CreateSliders(Module&) {
    return std::make_unique<SliderState>();
}

// 0..127 to 0..1000, or signed to -1000..1000.
double SliderOutput(double value, bool isSigned) {
    double v = value;
    if (isSigned) v = value >= 64.0 ? (value - 64.0) * 2.0 * 1.0079365 : (value - 64.0) * 2.0 * 0.9921875;
    return v * 7.874016;
}

void EvaluateSliders(Engine& e, Module& m, SliderState& st) {
    const int32_t device = m.Int(midi_slider::InputDevice);
    if (device == kNoMidiDevice || !m.sliders || !IsMidiPollTick(e)) return;
    IMidiInput& midi = e.MidiIn();
    const int count = std::clamp<int>(m.sliderCount, 0, kMaxSliders);
    for (int k = 0; k < count; ++k) {
        const SliderEntry& entry = (*m.sliders)[size_t(k)];
        const int32_t controller = entry.controller;
        if (controller < 0) continue; // a free entry
        const auto value = float(midi.ReadLastValue(device, controller));
        st.value[size_t(k)] = value;
        const int32_t s = entry.slot;
        if (s < 0 || s >= kSlotCount || e.slots[size_t(s)].module.load() != &m) continue;
        e.slots[size_t(s)].value[0] = SliderOutput(value, entry.negative);
    }

    if (!st.learning) return;
    const int32_t c = midi.GetLastIndex(device);
    if (c < 0 || c == st.lastLearned) return;
    st.lastLearned = c;
    for (int k = 0; k < count; ++k)
        if ((*m.sliders)[size_t(k)].controller == c) return; // already has a slider
    st.requests.Push(c); // the model thread gives it a slider and an output
}

void EvaluateSliderModules(Engine& e, std::span<Module* const> modules) {
    for (Module* m : modules)
        if (auto* st = StateOf<SliderState>(*m)) EvaluateSliders(e, *m, *st);
}

// Model thread: a learned controller takes the first free slider, or a new one. A free slider that
// has no output yet (one a patch file left out) gets one through addSlider, which fills the first
// free entry too.
bool CompleteLearning(Module& m, SliderState& st, bool newSliderSigned, const AddSliderFn& addSlider) {
    bool changed = false;
    int32_t c = -1;
    while (st.requests.Pop(c)) {
        if (!m.sliders) continue;
        const int count = std::clamp<int>(m.sliderCount, 0, kMaxSliders);
        bool used = false;
        int freeEntry = -1;
        for (int k = 0; k < count; ++k) {
            const SliderEntry& entry = (*m.sliders)[size_t(k)];
            if (entry.controller == c) used = true;
            if (freeEntry < 0 && entry.controller < 0) freeEntry = k;
        }
        if (used) continue;
        if (freeEntry >= 0 && (*m.sliders)[size_t(freeEntry)].slot >= 0) {
            SliderEntry& entry = (*m.sliders)[size_t(freeEntry)];
            st.value[size_t(freeEntry)] = 0.0f;
            entry.negative = newSliderSigned;
            entry.controller = c;
            changed = true;
        } else if (freeEntry >= 0 || count < kMaxSliders) {
            st.value[size_t(freeEntry >= 0 ? freeEntry : count)] = 0.0f;
            changed = addSlider(m, c, newSliderSigned) || changed;
        }
    }
    return changed;
}

} // namespace

const KindOps kOpsControlSequence{&CreateSequence, &EvaluateSequences, nullptr, nullptr,
                                  &SequenceTextChanged};
const KindOps kOpsControlMIDIInput{&CreateMidiInput, &EvaluateMidiInputs};
const KindOps kOpsControlMIDIControllerInput{&CreateSliders, &EvaluateSliderModules};

bool CompleteSliderRequests(Module& module, bool newSliderSigned, const AddSliderFn& addSlider) {
    if (module.kind != ModuleKind::ControlMIDIControllerInput) return false;
    auto* st = StateOf<SliderState>(module);
    return st && CompleteLearning(module, *st, newSliderSigned, addSlider);
}

bool CompleteSequenceText(Module& module) {
    if (module.kind != ModuleKind::ControlSequence) return false;
    auto* st = StateOf<SequenceState>(module);
    if (!st) return false;
    bool changed = false;
    std::string& text = module.texts[sequence::SequenceText];
    uint8_t note = 0;
    while (st->caught.Pop(note)) {
        text += NoteName(note);
        changed = true;
    }
    if (text != st->parsedText)
        ParseAndHandOver(*st, text);
    else
        delete st->retired.exchange(nullptr, std::memory_order_acq_rel);
    return changed;
}

void SetSliderLearning(Module& module, bool on) {
    if (module.kind != ModuleKind::ControlMIDIControllerInput) return;
    auto* st = StateOf<SliderState>(module);
    if (!st) return;
    if (on) st->lastLearned = -1;
    st->learning = on;
}

bool SliderLearning(const Module& module) {
    if (module.kind != ModuleKind::ControlMIDIControllerInput || !module.state) return false;
    return static_cast<const SliderState*>(module.state.get())->learning;
}

float SliderRawValue(const Module& module, int k) {
    if (module.kind != ModuleKind::ControlMIDIControllerInput || !module.state || k < 0 || k >= kMaxSliders)
        return 0.0f;
    return static_cast<const SliderState*>(module.state.get())->value[size_t(k)];
}

int SequenceStepCount(const Module& module) {
    if (module.kind != ModuleKind::ControlSequence || !module.state) return 0;
    return static_cast<const SequenceState*>(module.state.get())->parsedStepCount;
}

} // namespace mw
