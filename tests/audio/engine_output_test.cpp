#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "audio/memory_output.hpp"
#include "audio/wave_out_manager.hpp"
#include "engine/engine.hpp"
#include "patch/patch.hpp"

namespace mw {
namespace {

// The engine renders offline into the real output manager over an in-memory device.
class EngineOutputTest : public ::testing::Test {
protected:
    EngineOutputTest() {
        engine.SetDevices(&out, nullptr, nullptr);
        engine.steerLatency = false;
    }
    void Render(int blocks) {
        for (int b = 0; b < blocks; ++b) {
            engine.RenderBlock();
            out.PumpWriters();
            backend.Advance(uint32_t(engine.BlockLength()));
        }
    }
    Module* OutputOf(SourceId src, int32_t device) {
        Module* m = patch.CreateModule(ModuleKind::AudioOutput, {});
        m->inputs[output::Input] = src;
        m->devices[output::Output] = device;
        return m;
    }
    MemoryOutputBackend backend{{{"Card 0"}}, "Default", true};
    WaveOutManager out{backend, nullptr, WaveOutManager::Options{true}};
    Engine engine;
    Patch patch{engine};
};

TEST_F(EngineOutputTest, OutputModulesPlayTheSmoothedMeasuresAs16BitFramesAndLoudOnesSoftClipped) {
    OutputOf(MeasureSource(MouseMeasure::Speed), -1);               // both channels of the default device
    OutputOf(MeasureSource(MouseMeasure::Speed), 100);              // device 0, left
    OutputOf(MeasureSource(MouseMeasure::HorizontalPosition), 200); // device 0, right
    engine.rawMeasures[3] = 1000.3;
    engine.rawMeasures[5] = -5000.7;
    engine.BeginOffline();
    Render(3);
    const auto both = backend.Played(-1), card = backend.Played(0);
    ASSERT_EQ(both.size(), 2u * 3u * 96u);
    ASSERT_EQ(card.size(), 2u * 3u * 96u);
    for (size_t n = 0; n < 288; ++n) { // the speed on both sides of the default device and left on card 0
        ASSERT_EQ(both[2 * n + 1], both[2 * n]) << n;
        ASSERT_EQ(card[2 * n], both[2 * n]) << n;
    }
    // Frames are the smoothed measure r (1 - (479/480)^(n+1)) x 32, truncated towards zero; below -0.8 x
    // 32767 softly clipped.
    // 1000.3 / 480 x 32 = 66.69; 14453.35; -333.38; -52800.9 -> -(26213.6 + sqrt(26587.3)).
    EXPECT_EQ((std::array{both[0], both[2 * 287], card[1], card[2 * 191 + 1]}),
              (std::array<int16_t, 4>{66, 14453, -333, -26376}));
    EXPECT_EQ(std::tuple(out.IsOpen(0), out.IsOpen(1)), std::tuple(true, false));
    engine.EndOffline();
    EXPECT_EQ(out.OpenDeviceCount(), 0); // closed when the engine ended
}

} // namespace
} // namespace mw
