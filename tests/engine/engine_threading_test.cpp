// The engine runs on its own threads while the model adds and removes modules.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/engine.hpp"
#include "patch/patch.hpp"
#include "recording_devices.hpp"

namespace mw {
namespace {

// Waits (at most 10 s) until `done` holds.
template <class F> bool Eventually(F&& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

TEST(EngineThreading, ModulesComeAndGoWhileTheEngineMakesBlocks) {
    Engine engine;
    Patch patch(engine);
    engine.rawMeasures[0] = 100.0;
    engine.StartEngine();
    ASSERT_TRUE(Eventually([&] { return engine.blockCounter > 5; }));
    const ModuleKind kinds[] = {ModuleKind::AudioOsc,      ModuleKind::AudioOutput,
                                ModuleKind::ControlGain,   ModuleKind::AudioOutputSplit,
                                ModuleKind::ControlSensor, ModuleKind::AudioInput};
    std::vector<Module*> live;
    for (int round = 0; round < 400; ++round) {
        Module* m = patch.CreateModule(kinds[round % 6], {round, round});
        ASSERT_NE(m, nullptr);
        if (m->kind == ModuleKind::AudioOutput) m->inputs[output::Input] = SourceId(live.empty() ? 1000 : 0);
        live.push_back(m);
        if (live.size() > 6) {
            patch.RemoveModule(live.front());
            live.erase(live.begin());
        }
        if (round % 17 == 0) {
            patch.QueueRemoveAll();
            patch.ProcessQueuedRemovals();
            live.clear();
        }
        if (round % 40 == 0) { // let the engine make blocks with this patch
            const int64_t seen = engine.blockCounter;
            ASSERT_TRUE(Eventually([&] { return engine.blockCounter > seen; })) << round;
        }
    }
    patch.Clear();
    const int64_t cleared = engine.blockCounter;
    EXPECT_TRUE(Eventually([&] { return engine.blockCounter > cleared + 2; }));
    engine.StopEngine();
    engine.JoinThreads();
    EXPECT_FALSE(engine.engineRunning);
    EXPECT_EQ(patch.TotalCount(), 0u);
}

// Live, the engine makes as many 2 ms blocks per wake-up as fit into a third of the desired latency (1 to 4),
// and the devices are told to send only after the last block of a wake-up.
TEST(EngineThreading, BlocksComeInWakeUpsOfAThirdOfTheLatency) {
    const std::pair<int32_t, int> table[] = {{-5, 1}, {0, 1},  {11, 1}, {12, 2}, {17, 2}, {18, 3},
                                             {20, 3}, {23, 3}, {24, 4}, {50, 4}, {512, 4}};
    for (const auto& [latency, blocks] : table) EXPECT_EQ(Engine::BlocksPerWake(latency), blocks) << latency;

    test::RecordingAudioOutput out;
    NullMidiInput midi;
    NullAudioInput in;
    Engine engine;
    engine.SetDevices(&out, &midi, &in);
    engine.outputLatencyMs = 20;
    engine.StartEngine();
    ASSERT_TRUE(Eventually([&] { return engine.blockCounter >= 30; }));
    engine.StopEngine();
    engine.JoinThreads();
    ASSERT_GE(out.endsAtSend.size(), 10u);
    const size_t last = out.endsAtSend.size() - 1; // the stop may cut the last wake-up short
    for (size_t i = 0; i < last; ++i) EXPECT_EQ(out.endsAtSend[i], 3 * int(i + 1)) << i;
    EXPECT_LE(out.endsAtSend[last], 3 * int(last + 1));
}

} // namespace
} // namespace mw
