// Cost of loading and saving patch files: the load must stay linear in the number of sections, also
// when far more sections than free slots arrive (a damaged or hostile file).
#include <benchmark/benchmark.h>

#include <string>

#include "base/utf.hpp"
#include "engine/engine.hpp"
#include "patch/config_file.hpp"
#include "patch/patch.hpp"

namespace {

// A file of state.range(0) oscillator sections of 30 keys each; at most 128 of them find a slot.
std::u16string ManySections(long count) {
    mw::Engine engine;
    mw::Patch patch(engine);
    patch.CreateModule(mw::ModuleKind::AudioOsc, {100, 200});
    const std::u16string one = mw::WriteSection(*patch.Modules(mw::ModuleKind::AudioOsc)[0], patch);
    std::u16string text = u"\uFEFF## Murmelwerk Configuration (MWC) ##\r\n";
    text.reserve(text.size() + one.size() * size_t(count));
    for (long i = 0; i < count; ++i) text += one;
    return text;
}

void BM_LoadManySections(benchmark::State& state) {
    const std::u16string text = ManySections(state.range(0));
    mw::Engine engine;
    mw::Patch patch(engine);
    for (auto _ : state) benchmark::DoNotOptimize(mw::LoadConfigurationText(patch, text));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * int64_t(text.size() * 2));
}
BENCHMARK(BM_LoadManySections)->Arg(100)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// One huge line: the key lookup must not rescan it per key.
void BM_LoadHugeLine(benchmark::State& state) {
    std::u16string text = u"[Module_AudioOsc]\r\nName=";
    text.append(size_t(state.range(0)), u'x');
    text += u"\r\nAmplitudeValue=3\r\n";
    mw::Engine engine;
    mw::Patch patch(engine);
    for (auto _ : state) benchmark::DoNotOptimize(mw::LoadConfigurationText(patch, text));
    state.SetBytesProcessed(state.iterations() * int64_t(text.size() * 2));
}
BENCHMARK(BM_LoadHugeLine)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// Saving a full patch: 128 oscillators.
void BM_SaveFullPatch(benchmark::State& state) {
    mw::Engine engine;
    mw::Patch patch(engine);
    for (int i = 0; i < 128; ++i) patch.CreateModule(mw::ModuleKind::AudioOsc, {i, i});
    for (auto _ : state) benchmark::DoNotOptimize(mw::ToFileBytes(mw::ConfigurationText(patch)));
}
BENCHMARK(BM_SaveFullPatch)->Unit(benchmark::kMillisecond);

} // namespace
