// Per-sample cost of polyphonic note patches: a sequence of 16 overlapping notes through a note
// envelope into an oscillator (and the parts alone), at the default control rate of 4000 Hz.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/engine.hpp"
#include "engine/kinds/kind_ops.hpp"
#include "patch/patch.hpp"

namespace {

using mw::ModuleKind;

// 16 different notes; a step every 50 ms (1200 BPM at 4000 ticks/s) and notes of 1 s keep all 16 sounding.
constexpr const char* kSixteenNotes = "C4C#4D4D#4E4F4F#4G4G#4A4A#4B4C5C#5D5D#5";

enum Chain { kSequenceOnly, kSequenceEnvelope, kSequenceEnvelopeOscillator };

void SetCounters(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * mw::kBaseBlockLength);
    state.counters["ns_per_sample"] =
        benchmark::Counter(double(state.iterations() * mw::kBaseBlockLength),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PolyphonicNotes(benchmark::State& state) {
    const auto chain = Chain(state.range(0));
    mw::Engine engine;
    mw::Patch patch(engine);
    engine.controlRate = 4000.0;

    mw::Module* seq = patch.CreateModule(ModuleKind::ControlSequence, {});
    seq->texts[mw::sequence::SequenceText] = kSixteenNotes;
    engine.Ops(ModuleKind::ControlSequence).textChanged(*seq);
    seq->Link(mw::sequence::BPM).value = 1200;
    seq->Link(mw::sequence::NoteLength).value = 1000;
    mw::SourceId notes = seq->slot[0];

    if (chain >= kSequenceEnvelope) {
        mw::Module* env = patch.CreateModule(ModuleKind::ControlNoteEnvelope, {});
        env->Link(mw::note_envelope::Input).source = notes;
        notes = env->slot[0];
    }
    if (chain >= kSequenceEnvelopeOscillator) {
        mw::Module* osc = patch.CreateModule(ModuleKind::AudioOsc, {});
        osc->Link(mw::osc::Frequency).source = notes;
    }

    engine.steerLatency = false;
    engine.BeginOffline();
    for (int b = 0; b < 1000; ++b) engine.RenderBlock(); // 2 s: every note sounds
    const int voices = engine.slots[size_t(notes)].voiceCount;
    for (auto _ : state) engine.RenderBlock();
    engine.EndOffline();
    state.counters["voices"] = voices;
    SetCounters(state);
}
BENCHMARK(BM_PolyphonicNotes)
    ->Arg(kSequenceOnly)
    ->Arg(kSequenceEnvelope)
    ->Arg(kSequenceEnvelopeOscillator)
    ->ArgName("chain");

// The bell voice, every sample, on 16 notes held by a sequence.
void BM_DingDongSixteenNotes(benchmark::State& state) {
    mw::Engine engine;
    mw::Patch patch(engine);
    mw::Module* seq = patch.CreateModule(ModuleKind::ControlSequence, {});
    seq->texts[mw::sequence::SequenceText] = kSixteenNotes;
    engine.Ops(ModuleKind::ControlSequence).textChanged(*seq);
    seq->Link(mw::sequence::BPM).value = 1200;
    seq->Link(mw::sequence::NoteLength).value = 1000;
    mw::Module* dd = patch.CreateModule(ModuleKind::AudioDingDong, {});
    dd->Link(mw::ding_dong::Note).source = seq->slot[0];
    dd->Link(mw::ding_dong::NoteLength).value = 2000;
    engine.steerLatency = false;
    engine.BeginOffline();
    for (int b = 0; b < 1000; ++b) engine.RenderBlock();
    for (auto _ : state) engine.RenderBlock();
    engine.EndOffline();
    SetCounters(state);
}
BENCHMARK(BM_DingDongSixteenNotes);

// A control echo fed by 16 notes: 16 of its 128 rings in use.
void BM_ControlEchoSixteenNotes(benchmark::State& state) {
    mw::Engine engine;
    mw::Patch patch(engine);
    mw::Module* seq = patch.CreateModule(ModuleKind::ControlSequence, {});
    seq->texts[mw::sequence::SequenceText] = kSixteenNotes;
    engine.Ops(ModuleKind::ControlSequence).textChanged(*seq);
    seq->Link(mw::sequence::BPM).value = 1200;
    seq->Link(mw::sequence::NoteLength).value = 1000;
    mw::Module* echo = patch.CreateModule(ModuleKind::ControlEcho, {});
    echo->inputs[mw::control_echo::Input] = seq->slot[0];
    engine.steerLatency = false;
    engine.BeginOffline();
    for (int b = 0; b < 1000; ++b) engine.RenderBlock();
    for (auto _ : state) engine.RenderBlock();
    engine.EndOffline();
    SetCounters(state);
}
BENCHMARK(BM_ControlEchoSixteenNotes);

} // namespace
