// Per-sample cost of the sound modules inside the engine schedule.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/engine.hpp"
#include "engine/kinds/kind_ops.hpp"
#include "patch/patch.hpp"

namespace {

using mw::ModuleKind;

void Counters(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * mw::kBaseBlockLength);
    state.counters["ns_per_sample"] =
        benchmark::Counter(double(state.iterations() * mw::kBaseBlockLength),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Run(benchmark::State& state, mw::Engine& engine) {
    engine.steerLatency = false;
    engine.BeginOffline();
    for (int i = 0; i < 50; ++i) engine.RenderBlock(); // past the attacks
    for (auto _ : state) engine.RenderBlock();
    engine.EndOffline();
    Counters(state);
}

// The engine's own per-sample work with no module at all.
void BM_EmptyPatch(benchmark::State& state) {
    mw::Engine engine;
    mw::Patch patch(engine);
    Run(state, engine);
}
BENCHMARK(BM_EmptyPatch);

// One oscillator, manual frequency (one voice), playing to the default device.
void BM_OneManualOscillator(benchmark::State& state) {
    mw::Engine engine;
    mw::Patch patch(engine);
    mw::Module* m = patch.CreateModule(ModuleKind::AudioOsc, {});
    m->Link(mw::osc::Waveform).value = double(state.range(0));
    Run(state, engine);
}
BENCHMARK(BM_OneManualOscillator)->Arg(0)->Arg(150);

// A four-voice control source: notes 60..63 at 220, 277, 330 and 440 Hz.
void FourVoices(mw::Engine& e, std::span<mw::Module* const> mods) {
    static const double kHz[4] = {220.0, 277.2, 329.6, 440.0};
    for (mw::Module* m : mods) {
        mw::ModuleSlot& s = e.slots[size_t(m->slot[0])];
        s.voiceCount = 4;
        for (int v = 0; v < 4; ++v) {
            s.value[size_t(v)] = kHz[v];
            s.velocity[size_t(v)] = 100.0;
            s.note[size_t(v)] = uint8_t(60 + v);
        }
    }
}
const mw::KindOps kFourVoices{nullptr, &FourVoices};

// 8 oscillators of 4 voices each, summed by a tree of 7 input combiners, through an echo and a five-tap
// delay to the default device.
void BM_EightFourVoiceOscillatorsEchoDelay(benchmark::State& state) {
    mw::Engine engine;
    engine.SetKindOps(ModuleKind::ControlPolyphonicator, &kFourVoices);
    mw::Patch patch(engine);
    mw::Module* voices = patch.CreateModule(ModuleKind::ControlPolyphonicator, {});
    std::vector<mw::Module*> level;
    for (int i = 0; i < 8; ++i) {
        mw::Module* o = patch.CreateModule(ModuleKind::AudioOsc, {});
        o->Link(mw::osc::Frequency).source = voices->slot[0].load();
        o->Link(mw::osc::Waveform).value = 40.0 * i; // sine to step and between
        o->Link(mw::osc::Noise).value = 1.0;
        o->Link(mw::osc::Amplitude).value = 100.0;
        o->devices[mw::osc::Output] = mw::kNoOutputDevice;
        level.push_back(o);
    }
    while (level.size() > 1) {
        std::vector<mw::Module*> next;
        for (size_t i = 0; i < level.size(); i += 2) {
            mw::Module* c = patch.CreateModule(ModuleKind::AudioInputCombine, {});
            c->inputs[mw::input_combine::Input1] = level[i]->slot[0].load();
            c->inputs[mw::input_combine::Input2] = level[i + 1]->slot[0].load();
            c->devices[mw::input_combine::Output] = mw::kNoOutputDevice;
            next.push_back(c);
        }
        level = next;
    }
    mw::Module* echo = patch.CreateModule(ModuleKind::AudioEcho, {});
    echo->inputs[mw::audio_echo::Input] = level[0]->slot[0].load();
    echo->devices[mw::audio_echo::Output] = mw::kNoOutputDevice;
    mw::Module* delay = patch.CreateModule(ModuleKind::AudioMultiDelay, {});
    delay->inputs[mw::multi_delay::Input] = echo->slot[0].load();
    Run(state, engine);
    engine.SetKindOps(ModuleKind::ControlPolyphonicator, nullptr);
}
BENCHMARK(BM_EightFourVoiceOscillatorsEchoDelay);

// The moving-average filters at their longest window (2400 samples), with a gliding setting.
void BM_LowPassLongWindow(benchmark::State& state) {
    mw::Engine engine;
    mw::Patch patch(engine);
    mw::Module* o = patch.CreateModule(ModuleKind::AudioOsc, {});
    o->devices[mw::osc::Output] = mw::kNoOutputDevice;
    mw::Module* lp = patch.CreateModule(ModuleKind::AudioLowPass, {});
    lp->inputs[mw::low_pass::Input] = o->slot[0].load();
    lp->Link(mw::low_pass::MaxFreq).source = mw::MeasureSource(mw::MouseMeasure::HorizontalPosition);
    engine.rawMeasures[5] = 10.0;
    Run(state, engine);
}
BENCHMARK(BM_LowPassLongWindow);

} // namespace
