// How many times faster than real time the offline renderer plays each built-in patch (one core).
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "cli/midi_file.hpp"
#include "cli/offline_renderer.hpp"
#include "cli/wav_file.hpp"
#include "model/builtin_patches.hpp"
#include "model/config_file.hpp"
#include "sources/gestures.hpp"

namespace {

void BM_RenderBuiltIn(benchmark::State& state) {
    const mw::BuiltInPatch& p = mw::BuiltInPatches()[size_t(state.range(0))];
    state.SetLabel(std::string(p.name));
    constexpr double kSeconds = 10.0; // as the sound tests render them
    double rendered = 0;
    for (auto _ : state) {
        mw::cli::RenderSettings s;
        s.seconds = kSeconds;
        std::string error;
        mw::MakeBuiltInGesture("figure8", s.screen, kSeconds * 1000, 1, s.gesture, error);
        // A steady chord keeps the MIDI patches' voices busy.
        for (uint32_t n : {60u, 64u, 67u, 72u}) s.midi.push_back({0.0, 0x90u | (n << 8) | (100u << 16)});
        s.input.assign(size_t(kSeconds * 48000), 0);
        for (size_t i = 0; i < s.input.size(); ++i) s.input[i] = int16_t(8000 * ((i / 55) % 2 ? 1 : -1));
        mw::cli::OfflineRenderer r(s);
        mw::LoadBuiltInPatch(r.GetPatch(), p.resource);
        benchmark::DoNotOptimize(r.RenderFrames());
        rendered += kSeconds;
    }
    state.counters["x_realtime"] = benchmark::Counter(rendered, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderBuiltIn)->DenseRange(0, mw::kBuiltInPatchCount - 1)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The smallest patches: a mouse measure on an output module, and one oscillator following the mouse.
void BM_RenderSmall(benchmark::State& state) {
    const bool osc = state.range(0) == 1;
    state.SetLabel(osc ? "one oscillator" : "output module");
    const std::u16string text =
        osc ? u"[Module_AudioOsc]\r\nName=O\r\nAmplitudeControl=-[Manual]-\r\nFrequencyControl=Horizontal "
              u"Position\r\n"
              u"OutputDeviceID=-1 (L+R)\r\n"
            : u"[Module_AudioOutput]\r\nName=Out\r\nInputModule=Speed\r\nOutputDeviceID=-1 (L+R)\r\n";
    double rendered = 0;
    for (auto _ : state) {
        mw::cli::RenderSettings s;
        s.seconds = 2.0;
        std::string error;
        mw::MakeBuiltInGesture("figure8", s.screen, 2000, 1, s.gesture, error);
        mw::cli::OfflineRenderer r(s);
        mw::LoadConfigurationText(r.GetPatch(), text);
        benchmark::DoNotOptimize(r.RenderFrames());
        rendered += 2.0;
    }
    state.counters["x_realtime"] = benchmark::Counter(rendered, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderSmall)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
