// The output manager's per-block path: what the engine thread spends inside the manager's lock.
#include <benchmark/benchmark.h>

#include "audio/memory_output.hpp"
#include "audio/wave_out_manager.hpp"

namespace mw {
namespace {

OutputBlock Wave(double phase) {
    OutputBlock b;
    for (int i = 0; i < kMaxBlockSamples; ++i)
        b.samples[size_t(i)] = 700.0 * ((i * 7 + int(phase)) % 97 - 48) / 48.0;
    return b;
}

// One engine block to two devices: four Submit calls of 96 samples (left and right of each), between
// BeginBlock and EndBlock. The writer work is left out (manual pump, not pumped): the buffers are
// reclaimed as fresh slots, as they are once played.
void BM_FourSubmitsOneBlock(benchmark::State& state) {
    MemoryOutputBackend backend({{"Card 0"}}, "Default", false);
    WaveOutManager out(backend, nullptr, WaveOutManager::Options{true});
    const OutputBlock a = Wave(0), b = Wave(13);
    int64_t queued = 0;
    out.BeginBlock(); // open both devices first
    out.Submit(99, a, &queued);
    out.Submit(100, a, &queued);
    out.EndBlock();
    for (auto _ : state) {
        out.BeginBlock();
        out.Submit(99, a, &queued);
        out.Submit(199, b, &queued);
        out.Submit(100, b, &queued);
        out.Submit(200, a, &queued);
        out.EndBlock();
        benchmark::DoNotOptimize(queued);
    }
}
BENCHMARK(BM_FourSubmitsOneBlock);

// The same with loud blocks that go through the soft clip on every sample.
void BM_FourSubmitsSoftClipped(benchmark::State& state) {
    MemoryOutputBackend backend({{"Card 0"}}, "Default", false);
    WaveOutManager out(backend, nullptr, WaveOutManager::Options{true});
    OutputBlock a, b;
    for (int i = 0; i < kMaxBlockSamples; ++i) {
        a.samples[size_t(i)] = 900.0 + i;
        b.samples[size_t(i)] = -950.0 - i;
    }
    int64_t queued = 0;
    for (auto _ : state) {
        out.BeginBlock();
        out.Submit(99, a, &queued);
        out.Submit(199, b, &queued);
        out.Submit(0, a, &queued);
        out.Submit(0, b, &queued);
        out.EndBlock();
        benchmark::DoNotOptimize(queued);
    }
}
BENCHMARK(BM_FourSubmitsSoftClipped);

} // namespace
} // namespace mw
