// Per-sample cost of the engine schedule.
#include <benchmark/benchmark.h>

#include "engine/engine.hpp"
#include "patch/patch.hpp"

namespace {

// state.range(0) output modules, each playing a different mouse measure to the default device.
void BM_EngineOutputsFedByMouse(benchmark::State& state) {
    mw::Engine engine;
    mw::Patch patch(engine);
    for (int i = 0; i < state.range(0); ++i) {
        mw::Module* m = patch.CreateModule(mw::ModuleKind::AudioOutput, {});
        m->inputs[mw::output::Input] = mw::kFirstMeasure + i;
    }
    for (int k = 0; k < mw::kMeasureCount; ++k) engine.rawMeasures[k] = 10.0 * k;
    engine.steerLatency = false;
    engine.BeginOffline();
    for (auto _ : state) engine.RenderBlock();
    engine.EndOffline();
    state.SetItemsProcessed(state.iterations() * mw::kBaseBlockLength);
    state.counters["ns_per_sample"] =
        benchmark::Counter(double(state.iterations() * mw::kBaseBlockLength),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_EngineOutputsFedByMouse)->Arg(0)->Arg(4);

} // namespace
