// How many times faster than real time the offline renderer plays each built-in patch (one core).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>

#include "cli/midi_file.hpp"
#include "cli/offline_renderer.hpp"
#include "cli/wav_file.hpp"
#include "engine/kinds/kind_ops.hpp"
#include "model/module.hpp"
#include "patch/builtin_patches.hpp"
#include "patch/config_file.hpp"
#include "sources/gestures.hpp"

namespace {

// The most oscillator voices sounding at once during a render: the notes of every audio oscillator, and
// eight partial oscillators for each note a ding-dong strikes. Counted around the kinds' own evaluation.
int gPeakVoices = 0;
int gOscillatorVoices = 0;

int InputVoices(const mw::Engine& e, mw::SourceId src) {
    if (src == mw::kManualSource || mw::IsMeasure(src)) return 1;
    return mw::IsSlot(src) ? int(e.slots[size_t(src)].voiceCount.load()) : 0;
}
void CountOscillators(mw::Engine& e, std::span<mw::Module* const> modules) {
    mw::OpsFor(mw::ModuleKind::AudioOsc).evaluate(e, modules);
    gOscillatorVoices = 0;
    for (const mw::Module* m : modules)
        gOscillatorVoices += InputVoices(e, m->Link(mw::osc::Frequency).source);
}
void CountDingDongs(mw::Engine& e, std::span<mw::Module* const> modules) {
    mw::OpsFor(mw::ModuleKind::AudioDingDong).evaluate(e, modules);
    int partials = 0;
    for (const mw::Module* m : modules) partials += 8 * InputVoices(e, m->Link(mw::ding_dong::Note).source);
    gPeakVoices = std::max(gPeakVoices, gOscillatorVoices + partials);
}
void CountOscillatorsOnly(mw::Engine& e, std::span<mw::Module* const> modules) {
    CountOscillators(e, modules);
    gPeakVoices = std::max(gPeakVoices, gOscillatorVoices);
}

// Renders once more with the counting kinds in place.
int PeakVoices(const mw::cli::RenderSettings& settings, const std::function<void(mw::Patch&)>& load) {
    mw::KindOps osc = mw::OpsFor(mw::ModuleKind::AudioOsc), ding = mw::OpsFor(mw::ModuleKind::AudioDingDong);
    mw::cli::OfflineRenderer r(settings);
    load(r.GetPatch());
    const bool dings = !r.GetPatch().Modules(mw::ModuleKind::AudioDingDong).empty();
    osc.evaluate = dings ? &CountOscillators : &CountOscillatorsOnly;
    ding.evaluate = &CountDingDongs;
    r.GetEngine().SetKindOps(mw::ModuleKind::AudioOsc, &osc);
    r.GetEngine().SetKindOps(mw::ModuleKind::AudioDingDong, &ding);
    gPeakVoices = gOscillatorVoices = 0;
    r.RenderFrames();
    return gPeakVoices;
}

mw::cli::RenderSettings BuiltInSettings() {
    constexpr double kSeconds = 10.0; // as the sound tests render them
    mw::cli::RenderSettings s;
    s.seconds = kSeconds;
    std::string error;
    mw::MakeBuiltInGesture("figure8", s.screen, kSeconds * 1000, 1, s.gesture, error);
    // A steady chord keeps the MIDI patches' voices busy.
    for (uint32_t n : {60u, 64u, 67u, 72u}) s.midi.push_back({0.0, 0x90u | (n << 8) | (100u << 16)});
    s.input.assign(size_t(kSeconds * 48000), 0);
    for (size_t i = 0; i < s.input.size(); ++i) s.input[i] = int16_t(8000 * ((i / 55) % 2 ? 1 : -1));
    return s;
}

// Renders the patch `load` makes, reporting how many times faster than real time, and its voices.
void RenderBenchmark(benchmark::State& state, const mw::cli::RenderSettings& settings,
                     const std::function<void(mw::Patch&)>& load) {
    double rendered = 0;
    for (auto _ : state) {
        mw::cli::OfflineRenderer r(settings);
        load(r.GetPatch());
        benchmark::DoNotOptimize(r.RenderFrames());
        rendered += settings.seconds;
    }
    state.counters["x_realtime"] = benchmark::Counter(rendered, benchmark::Counter::kIsRate);
    state.counters["voices"] = PeakVoices(settings, load);
}

void BM_RenderBuiltIn(benchmark::State& state) {
    const mw::BuiltInPatch& p = mw::BuiltInPatches()[size_t(state.range(0))];
    state.SetLabel(std::string(p.name));
    RenderBenchmark(state, BuiltInSettings(),
                    [&p](mw::Patch& patch) { mw::LoadBuiltInPatch(patch, p.resource); });
}
BENCHMARK(BM_RenderBuiltIn)->DenseRange(0, mw::kBuiltInPatchCount - 1)->Unit(benchmark::kMillisecond);

// Small patches: a mouse measure on an output module; one oscillator following the mouse; one oscillator
// playing eight voices (a polyphonicator's eight manual inputs, scaled by the mouse); eight oscillators of
// one voice each.
std::u16string SmallPatch(int which) {
    switch (which) {
    case 0:
        return u"[Module_AudioOutput]\r\nName=Out\r\nInputModule=Speed\r\nOutputDeviceID=-1 (L+R)\r\n";
    case 1:
        return u"[Module_AudioOsc]\r\nName=O\r\nAmplitudeControl=-[Manual]-\r\nFrequencyControl=Horizontal "
               u"Position\r\n"
               u"OutputDeviceID=-1 (L+R)\r\n";
    case 2:
    case 4: {
        std::u16string t =
            u"[Module_AudioOsc]\r\nName=O\r\nAmplitudeControl=-[Manual]-\r\nAmplitudeValue=100\r\n"
            u"FrequencyControl=P\r\nOutputDeviceID=-1 "
            u"(L+R)\r\n";
        if (which == 4) t += u"NoiseValue=12\r\nWaveformValue=100\r\n";
        t += u"\r\n[Module_ControlPolyphonicator]\r\nName=P\r\n";
        for (int n = 1; n <= 8; ++n) {
            const std::u16string d(1, char16_t(u'0' + n));
            t += u"Control_Input" + d + u"=-[Manual]-\r\nValue_Input" + d + u"=" +
                 std::u16string(1, char16_t(u'0' + n)) + u"0\r\n";
        }
        return t;
    }
    default: {
        std::u16string t;
        for (int n = 1; n <= 8; ++n)
            t += u"[Module_AudioOsc]\r\nName=O" + std::u16string(1, char16_t(u'0' + n)) +
                 u"\r\nAmplitudeControl=-[Manual]-\r\nAmplitudeValue=100\r\nFrequencyControl=Horizontal "
                 u"Position\r\n"
                 u"FrequencyControlSensitivity=" +
                 std::u16string(1, char16_t(u'0' + n)) + u"0\r\nOutputDeviceID=-1 (L+R)\r\n\r\n";
        return t;
    }
    }
}

void BM_RenderSmall(benchmark::State& state) {
    const int which = int(state.range(0));
    const char* labels[] = {"output module", "one oscillator", "one oscillator, 8 voices", "8 oscillators",
                            "one oscillator, 8 noisy triangle voices"};
    state.SetLabel(labels[which]);
    const std::u16string text = SmallPatch(which);
    mw::cli::RenderSettings s;
    s.seconds = 10.0;
    std::string error;
    mw::MakeBuiltInGesture("figure8", s.screen, 10000, 1, s.gesture, error);
    RenderBenchmark(state, s, [&text](mw::Patch& patch) { mw::LoadConfigurationText(patch, text); });
}
BENCHMARK(BM_RenderSmall)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

} // namespace
