// libFuzzer target: a patch read from any byte sequence (as UTF-16LE code units), loaded into an offline
// session on in-memory devices and played for 200 engine blocks with the kinds' real signal processing,
// while a figure of eight moves the pointer, a MIDI device plays a few notes and controllers and the
// default input device delivers a tone. After every block it checks each device the engine played to:
// every sample of its engine block is a finite number, and the mixed 16-bit block read back from the
// output manager lies within the 16-bit range.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "audio/memory_output.hpp"
#include "patch/config_file.hpp"
#include "session/session.hpp"
#include "sources/gestures.hpp"
#include "sources/memory_input.hpp"
#include "sources/memory_midi.hpp"
#include "sources/scripted_pointer.hpp"

namespace {

constexpr int kBlocks = 200;             // 0.4 s
constexpr int kBlocksPerSamplerStep = 5; // 480 samples: the sampler's 10 ms
constexpr int kOutputDevices = 9;        // 0..8 besides the default -1, as many as the engine addresses
constexpr int kMidiDevices = 10;
const mw::ScreenRect kScreen{0, 0, 640, 480};

std::vector<mw::MemoryOutputBackend::DeviceDesc> OutputDescs() {
    std::vector<mw::MemoryOutputBackend::DeviceDesc> d;
    for (int i = 0; i < kOutputDevices; ++i) d.push_back({"Fuzz Output " + std::to_string(i)});
    return d;
}

std::vector<mw::MemoryMidiBackend::DeviceDesc> MidiDescs() {
    mw::MemoryMidiBackend::DeviceDesc d{"Fuzz MIDI In", {}};
    uint64_t frame = 0;
    for (int k = 0; k < 24; ++k, frame += 800) {
        const uint32_t channel = uint32_t(k % 3);
        const uint32_t note = 48 + uint32_t(7 * k % 36);
        d.messages.push_back({frame, 0x90 | channel | note << 8 | uint32_t(40 + 3 * k) << 16});
        d.messages.push_back(
            {frame + 300, 0xB0 | channel | uint32_t(1 + k % 8) << 8 | uint32_t(5 * k % 128) << 16});
        d.messages.push_back({frame + 500, 0xE0 | channel | uint32_t(k * 37 % 128) << 16});
        if (k % 2) d.messages.push_back({frame + 700, 0x80 | channel | note << 8});
    }
    // Further devices without messages: a module naming a device that cannot be opened retries the open
    // (and makes its tables) in every block, which would slow the target down.
    std::vector<mw::MemoryMidiBackend::DeviceDesc> devices{d};
    for (int i = 1; i < kMidiDevices; ++i) devices.push_back({"Fuzz MIDI In " + std::to_string(i), {}});
    return devices;
}

std::vector<int16_t> InputTone() {
    std::vector<int16_t> s(size_t(kBlocks * mw::kBaseBlockLength));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = int16_t(12000.0 * std::sin(double(i) * 0.05) + double(i % 97) * 40.0);
    return s;
}

std::vector<mw::ScriptPoint> Figure8() {
    std::vector<mw::ScriptPoint> points;
    std::string error;
    if (!mw::MakeBuiltInGesture("figure8", kScreen, 1000.0, 1, points, error)) __builtin_trap();
    return points;
}

void CheckDevices(mw::Session& session) {
    mw::Engine& engine = session.GetEngine();
    for (int d = 0; d < mw::kDeviceSlotCount; ++d) {
        if (!engine.DeviceUsed(d)) continue;
        for (bool right : {false, true}) {
            const mw::OutputBlock& b = engine.DeviceBlock(d, right);
            if (b.Count() < 1 || b.Count() > mw::kMaxBlockSamples) __builtin_trap();
            for (int i = 0; i < b.Count(); ++i)
                if (!std::isfinite(b.samples[size_t(i)])) __builtin_trap();
            mw::OutputBlock mixed;
            if (!session.Outputs().ReadBack((right ? 199 : 99) + d, mixed, false, true)) continue;
            for (double v : mixed.samples)
                if (!(v >= -32768.0 / 32767.0 && v <= 1.0)) __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<int16_t> tone = InputTone();
    static const std::vector<mw::ScriptPoint> gesture = Figure8();

    mw::MemoryOutputBackend out(OutputDescs(), "Fuzz Default Output", false);
    mw::MemoryMidiBackend midi(MidiDescs());
    mw::MemoryInputBackend in({}, mw::MemoryInputBackend::DeviceDesc{"Fuzz Default Input", tone, false});
    mw::ScriptedPointer pointer(gesture, kScreen);
    mw::Session session(mw::SessionDevices{out, midi, in, pointer}, mw::SessionMode::Offline);

    session.Load(mw::FromFileBytes(std::string_view(reinterpret_cast<const char*>(data), size)));

    mw::Engine& engine = session.GetEngine();
    engine.Seed(1);
    engine.steerLatency = false;
    engine.drawPictures = false;
    session.BeginOffline();
    for (int b = 0; b < kBlocks; ++b) {
        if (b % kBlocksPerSamplerStep == 0) {
            if (b > 0)
                if (const int notches = pointer.Advance())
                    session.SamplerControls().wheel.OnWheel(120 * notches);
            session.SampleMouse();
            session.Poll();
        }
        in.Advance(mw::kBaseBlockLength);
        session.RenderBlock();
        CheckDevices(session);
        midi.Advance(mw::kBaseBlockLength);
        out.Advance(mw::kBaseBlockLength);
    }
    session.EndOffline();
    return 0;
}
