// The engine runs on its own threads while the model adds and removes modules.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/engine.hpp"
#include "patch/patch.hpp"
#include "recording_devices.hpp"

namespace mw {
namespace {

TEST(EngineThreading, StartsMakesBlocksAndStops) {
    Engine engine;
    engine.StartEngine();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    engine.StopEngine();
    engine.JoinThreads();
    EXPECT_FALSE(engine.engineRunning);
    EXPECT_GT(engine.blockCounter, 5);
}

TEST(EngineThreading, AddingAndRemovingModulesWhileTheEngineRuns) {
    Engine engine;
    Patch patch(engine);
    engine.rawMeasures[0] = 100.0;
    engine.StartEngine();
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(700);
    int round = 0;
    std::vector<Module*> live;
    while (std::chrono::steady_clock::now() < until) {
        const ModuleKind kinds[] = {ModuleKind::AudioOsc, ModuleKind::AudioOutput, ModuleKind::ControlGain,
                                    ModuleKind::AudioOutputSplit, ModuleKind::ControlSensor,
                                    ModuleKind::AudioInput};
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
        ++round;
    }
    const int64_t blocksBefore = engine.blockCounter;
    patch.Clear();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    engine.StopEngine();
    engine.JoinThreads();
    EXPECT_GT(round, 50);
    EXPECT_GT(engine.blockCounter, blocksBefore);
    EXPECT_EQ(patch.TotalCount(), 0u);
}

} // namespace
} // namespace mw
