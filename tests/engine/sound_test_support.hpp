#pragma once
// Helpers for driving the sound modules offline: a stand-in signal source (the oscillator kind replaced
// by a function of the sample number, evaluated before every effect), a recorded output, and a
// control-rate voice source.

#include <functional>
#include <vector>

#include "engine/engine.hpp"
#include "engine/kinds/kind_ops.hpp"
#include "patch/patch.hpp"
#include "recording_devices.hpp"

namespace mw::test {

/// x[n] of the stand-in source, n counting samples from the engine start.
inline std::function<double(uint64_t)>& SignalFunction() {
    static std::function<double(uint64_t)> f;
    return f;
}

inline void EvaluateSignal(Engine& e, std::span<Module* const> mods) {
    const double x = SignalFunction() ? SignalFunction()(e.SampleCounter()) : 0.0;
    for (Module* m : mods) {
        ModuleSlot& s = e.slots[size_t(m->slot[0])];
        s.value[0] = x;
        s.smoothedValue[0] = x;
        s.velocity[0] = 127.0;
        s.smoothedVelocity[0] = 127.0;
        s.note[0] = 0;
        s.voiceCount = 1;
    }
}
inline const KindOps kSignalOps{nullptr, &EvaluateSignal};

/// Voices a control-rate source gives: value (e.g. a frequency), velocity, note.
struct TestVoice {
    double value;
    double velocity;
    uint8_t note;
};
inline std::vector<TestVoice>& VoiceSource() {
    static std::vector<TestVoice> v;
    return v;
}
/// Writes VoiceSource() into the slot, Value and the followed values alike (so nothing glides).
inline void EvaluateVoices(Engine& e, std::span<Module* const> mods) {
    const auto& voices = VoiceSource();
    for (Module* m : mods) {
        ModuleSlot& s = e.slots[size_t(m->slot[0])];
        s.voiceCount = uint8_t(voices.size());
        for (size_t v = 0; v < voices.size(); ++v) {
            s.value[v] = voices[v].value;
            s.smoothedValue[v] = voices[v].value;
            s.velocity[v] = voices[v].velocity;
            s.smoothedVelocity[v] = voices[v].velocity;
            s.note[v] = voices[v].note;
        }
    }
}
inline const KindOps kVoiceOps{nullptr, &EvaluateVoices};

/// An engine with a recording output, offline, one block of 96 samples at a time.
class SoundFixture {
public:
    SoundFixture() {
        engine.SetDevices(&out, nullptr, nullptr);
        engine.steerLatency = false;
        engine.Seed(1);
    }
    ~SoundFixture() { SignalFunction() = nullptr; }
    /// A stand-in source playing x[n]; must be called before the engine evaluates (kind AudioOsc).
    Module* Signal(std::function<double(uint64_t)> f) {
        SignalFunction() = std::move(f);
        engine.SetKindOps(ModuleKind::AudioOsc, &kSignalOps);
        Module* m = patch.CreateModule(ModuleKind::AudioOsc, {});
        m->devices[osc::Output] = kNoOutputDevice;
        return m;
    }
    SourceId SlotOf(const Module* m, int k = 0) const { return m->slot[k]; }
    /// Renders until at least `samples` samples exist; returns the left channel of device `device`
    /// (device slot device + 1), sample by sample from the start.
    std::vector<double> Render(int samples, int32_t device = -1) {
        if (!started_) {
            engine.BeginOffline();
            started_ = true;
        }
        while (int(engine.SampleCounter()) < samples) engine.RenderBlock();
        return Played(device);
    }
    std::vector<double> Played(int32_t device) const {
        std::vector<double> v;
        const int32_t id = 100 + device;
        for (const auto& s : out.submissions)
            if (s.id == id)
                v.insert(v.end(), s.block.samples.begin(), s.block.samples.begin() + s.block.Count());
        return v;
    }
    RecordingAudioOutput out;
    Engine engine;
    Patch patch{engine};

private:
    bool started_ = false;
};

} // namespace mw::test
