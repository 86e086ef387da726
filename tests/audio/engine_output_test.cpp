#include <gtest/gtest.h>

#include <cmath>

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
    // Sample n (from 0) of a measure whose raw value is `raw`, smoothed by 1/480 per sample from 0.
    static double Smoothed(double raw, int n) { return raw * (1.0 - std::pow(479.0 / 480.0, n + 1)); }

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
    // The speed stays below the knee: its frames are the smoothed measure x 32, truncated.
    const double knee = 0.8 * 32767;
    auto softClip = [knee](double v) { return v < -knee ? -knee - std::sqrt(-v - knee) : v; };
    for (int n : {0, 1, 10, 95, 96, 191, 200, 287}) {
        const auto speed = int16_t(std::trunc(Smoothed(1000.3, n) * 32.0));
        EXPECT_EQ(both[2 * size_t(n)], speed) << n;
        EXPECT_EQ(both[2 * size_t(n) + 1], speed) << n;
        EXPECT_EQ(card[2 * size_t(n)], speed) << n;
        EXPECT_EQ(card[2 * size_t(n) + 1], int16_t(std::trunc(softClip(Smoothed(-5000.7, n) * 32.0)))) << n;
    }
    EXPECT_EQ(both[0], 66);               // 1000.3 / 480 x 32 = 66.69
    EXPECT_EQ(card[2 * 191 + 1], -26376); // -52800.9 -> -(26213.6 + sqrt(26587.3))
    EXPECT_TRUE(out.IsOpen(0));
    EXPECT_FALSE(out.IsOpen(1));
    engine.EndOffline();
    EXPECT_EQ(out.OpenDeviceCount(), 0); // closed when the engine ended
}

} // namespace
} // namespace mw
