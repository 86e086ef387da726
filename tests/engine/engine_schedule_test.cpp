#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <tuple>
#include <vector>

#include "engine/control_eval.hpp"
#include "engine/engine.hpp"
#include "engine/kinds/kind_ops.hpp"
#include "patch/patch.hpp"
#include "recording_devices.hpp"

namespace mw {
namespace {

class EngineTest : public ::testing::Test {
protected:
    EngineTest() {
        engine.SetDevices(&out, nullptr, nullptr);
        engine.steerLatency = false;
    }
    ~EngineTest() override {
        for (ModuleKind k : {ModuleKind::ControlGain, ModuleKind::ControlNeuron,
                             ModuleKind::ControlPolyphonicator, ModuleKind::AudioStepFunction})
            engine.SetKindOps(k, nullptr);
    }
    void Blocks(int n) {
        for (int i = 0; i < n; ++i) engine.RenderBlock();
    }
    const test::Submission* Find(int32_t id, int block = 0) {
        int seen = 0;
        for (const auto& s : out.submissions)
            if (s.id == id && seen++ == block) return &s;
        return nullptr;
    }
    Module* OutputOf(SourceId src, int32_t device) {
        Module* m = patch.CreateModule(ModuleKind::AudioOutput, {});
        m->inputs[output::Input] = src;
        m->devices[output::Output] = device;
        return m;
    }
    test::RecordingAudioOutput out;
    Engine engine;
    Patch patch{engine};
};

// The output module plays the smoothed measure it reads. A measure no module reads is smoothed all the same
// (to where the sample loop would have taken it), so that a module linked to it later goes on from the
// right value. After n samples a measure resting at r from 0 is r (1 - (479/480)^n).
TEST_F(EngineTest, OutputModulePlaysTheSmoothedMouseMeasureAndUnreadMeasuresAreSmoothedToo) {
    const auto smoothed = [](double r, int n) { return r * (1.0 - std::pow(479.0 / 480.0, n)); };
    Module* m = OutputOf(MeasureSource(MouseMeasure::Speed), -1);
    engine.rawMeasures[3] = 480.0;
    engine.rawMeasures[5] = 960.0;
    engine.BeginOffline();
    Blocks(1);
    ASSERT_NE(Find(99), nullptr);
    const OutputBlock& left = Find(99)->block;
    EXPECT_EQ(left.Count(), 96);
    for (int i : {0, 1, 47, 95}) EXPECT_NEAR(left.samples[size_t(i)], smoothed(480.0, i + 1), 1e-9) << i;
    // The block's smoothed values as worked out at its start for the modules that read ahead.
    const double* series = engine.MeasureSeries(3);
    for (int i = 0; i < 96; ++i) EXPECT_EQ(series[i], left.samples[size_t(i)]) << i;
    EXPECT_NEAR(engine.smoothedMeasures[5], smoothed(960.0, 96), 1e-9);
    m->inputs[output::Input] = kFirstMeasure + 5;
    Blocks(1);
    ASSERT_NE(Find(99, 1), nullptr);
    for (int i : {0, 95})
        EXPECT_NEAR(Find(99, 1)->block.samples[size_t(i)], smoothed(960.0, 97 + i), 1e-9) << i;
    engine.makeNoSound = true; // silence, but the device stays open
    Blocks(1);
    ASSERT_NE(Find(99, 2), nullptr);
    EXPECT_EQ(Find(99, 2)->block.samples[10], 0.0);
}

TEST_F(EngineTest, ModulesOnOneDeviceAddAndChannelsRouteByDeviceId) {
    engine.rawMeasures[0] = 480.0; // each sample the smoothed value grows by 1 at first
    engine.rawMeasures[1] = 960.0;
    OutputOf(1000, 0);
    OutputOf(1001, 0);
    OutputOf(1000, 100); // device 0, left only
    OutputOf(1001, 200); // device 0, right only
    OutputOf(1000, -1);
    OutputOf(1001, 8);
    OutputOf(1001, 9); // no device slot: nothing
    OutputOf(1001, kNoOutputDevice);
    engine.BeginOffline();
    Blocks(1);
    const double a = 1.0, b = 2.0; // first sample of each measure
    // Device 0 left and right, the default device on both sides, device 8 (slot 9).
    const std::pair<int32_t, double> firsts[] = {
        {100, a + b + a}, {200, a + b + b}, {99, a}, {199, a}, {108, b}};
    for (auto [id, value] : firsts) {
        ASSERT_NE(Find(id), nullptr) << id;
        EXPECT_NEAR(Find(id)->block.samples[0], value, 1e-12) << id;
    }
    EXPECT_EQ(out.submissions.size(), 6u); // three device slots, two sides each
    EXPECT_EQ(std::tuple(engine.DeviceUsed(1), engine.DeviceUsed(2)), std::tuple(true, false));
}

int gTicks = 0;
const KindOps kCountingOps{nullptr, [](Engine&, std::span<Module* const>) { ++gTicks; }}; // counts its ticks

TEST_F(EngineTest, ControlRateSetsTheTicksAndThePeriodAndBlocksAreMadeWithoutOutputs) {
    // The divider is trunc(48000 / rate) samples: 1000 gives a tick every 48th sample, 7000 one every
    // 6th (an effective 8000); 0 means no ticks and a period of 10 s.
    const struct {
        double rate;
        int blocks, ticks, effective;
        double periodMs;
    } cases[] = {{1000.0, 1, 2, 1000, 1.0}, {7000.0, 1, 16, 8000, 0.125}, {0.0, 3, 0, 0, 10000.0}};
    engine.SetKindOps(ModuleKind::ControlGain, &kCountingOps);
    patch.CreateModule(ModuleKind::ControlGain, {});
    engine.BeginOffline();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        gTicks = 0;
        engine.controlRate = c.rate;
        Blocks(c.blocks);
        EXPECT_EQ(gTicks, c.ticks);
        if (c.rate > 0) {
            EXPECT_EQ(engine.EffectiveControlRate(), c.effective);
        }
        EXPECT_DOUBLE_EQ(engine.ControlPeriodMs(), c.periodMs);
    }
    // Without an output module the blocks are made and nothing is submitted.
    engine.EndOffline();
    EXPECT_TRUE(out.submissions.empty());
    EXPECT_EQ(
        std::tuple(out.begins, out.ends, out.closeAlls, int(engine.blockCounter), engine.SampleCounter()),
        std::tuple(5, 5, 1, 5, uint64_t(5 * 96)));
}

// Reorders its voices: notes 60, 64 at the first tick become 64, 60, 67, 64 at the next ones (note 64
// twice).
void Reorder(Engine& e, std::span<Module* const> mods) {
    ModuleSlot& s = e.slots[mods[0]->slot[0]];
    const bool first = e.ControlTickCounter() == 1;
    const uint8_t notes[2][4] = {{60, 64, 0, 0}, {64, 60, 67, 64}};
    const double values[2][4] = {{100.0, 200.0, 0.0, 0.0}, {200.0, 100.0, 300.0, 400.0}};
    s.voiceCount = first ? 2 : 4;
    for (int v = 0; v < s.voiceCount; ++v) {
        s.note[v] = notes[first ? 0 : 1][v];
        s.value[v] = values[first ? 0 : 1][v];
        s.velocity[v] = s.value[v] / 10.0;
    }
}
const KindOps kReorderOps{nullptr, &Reorder};

TEST_F(EngineTest, VoicesAreRealignedByNote) {
    engine.SetKindOps(ModuleKind::ControlPolyphonicator, &kReorderOps);
    Module* p = patch.CreateModule(ModuleKind::ControlPolyphonicator, {});
    const ModuleSlot& slot = engine.slots[size_t(p->slot[0])];
    engine.controlRate = 48000.0 / 96.0; // one tick per block, at its first sample
    engine.BeginOffline();
    engine.RenderBlock();
    const double sv60 = slot.smoothedValue[0], sv64 = slot.smoothedValue[1];
    EXPECT_TRUE(0.0 < sv60 && sv60 < sv64);
    engine.RenderBlock();
    // At the second tick the voices came in a new order; each kept its own smoothing state, the second
    // voice of note 64 took the state of the first one that sounded it, and the new note 67 starts at
    // its value with velocity 0; then all follow for 96 samples (k = 1/96).
    const double k = 1.0 / 96.0, keep = std::pow(1.0 - k, 96);
    const double first64 = 200.0 + (sv64 - 200.0) * keep;
    EXPECT_NEAR(slot.smoothedValue[1], 100.0 + (sv60 - 100.0) * keep, 1e-9);
    EXPECT_NEAR(slot.smoothedValue[0], first64, 1e-9);
    EXPECT_NEAR(slot.smoothedValue[2], 300.0, 1e-9);
    EXPECT_NEAR(slot.smoothedVelocity[2], 30.0 * (1.0 - keep), 1e-9);
    EXPECT_NEAR(slot.smoothedValue[3], 400.0 + (sv64 - 400.0) * keep, 1e-9);
    // The same notes again: each voice goes on, except that the second voice of note 64 again takes the
    // state of the first.
    engine.RenderBlock();
    EXPECT_NEAR(slot.smoothedValue[0], 200.0 + (first64 - 200.0) * keep, 1e-9);
    EXPECT_NEAR(slot.smoothedValue[2], 300.0, 1e-9);
    EXPECT_NEAR(slot.smoothedValue[3], 400.0 + (first64 - 400.0) * keep, 1e-9);
    // (note 64's velocity rose from 0 towards 20 over both blocks before)
    EXPECT_NEAR(slot.smoothedVelocity[3], 40.0 + (20.0 * (1.0 - keep * keep) - 40.0) * keep, 1e-9);
}

// A control kind whose value jumps between 100 and 300 every 100 ticks and whose velocity jumps between 20
// and 110 every 150 (so that each rests while the other moves); a neuron stand-in whose value moves every
// 7 samples, between ticks too; and a probe that records the smoothed values where it is evaluated.
const auto TickValue = [](uint64_t tick) { return (tick / 100) % 2 ? 300.0 : 100.0; };
const auto TickVelocity = [](uint64_t tick) { return (tick / 150) % 2 ? 110.0 : 20.0; };
const auto NeuronValue = [](uint64_t sample) { return double((sample / 7) % 3) * 10.0; };
int gGainSlot = -1, gNeuronSlot = -1;
std::vector<std::array<double, 3>> gSeen; // gain value, gain velocity, neuron value
void StepsOnTicks(Engine& e, std::span<Module* const> mods) {
    for (Module* m : mods) {
        e.slots[m->slot[0]].value[0] = TickValue(e.ControlTickCounter() - 1);
        e.slots[m->slot[0]].velocity[0] = TickVelocity(e.ControlTickCounter() - 1);
    }
}
const KindOps kStepsOnTicks{nullptr, &StepsOnTicks};
void StepsEverySample(Engine& e, std::span<Module* const> mods) {
    for (Module* m : mods) e.slots[m->slot[0]].value[0] = NeuronValue(e.SampleCounter());
}
const KindOps kStepsEverySample{nullptr, &StepsEverySample};
void Probe(Engine& e, std::span<Module* const>) {
    const ModuleSlot &gain = e.slots[size_t(gGainSlot)], &neuron = e.slots[size_t(gNeuronSlot)];
    gSeen.push_back({gain.smoothedValue[0], gain.smoothedVelocity[0], neuron.smoothedValue[0]});
}
const KindOps kProbe{nullptr, &Probe};

// The smoothed values as a module evaluated at every sample sees them (one that reads the followed slot),
// and as one evaluated on control ticks sees them (the followed slot is then stepped only when read).
TEST_F(EngineTest, ControlValuesAreFollowedAtEverySampleThroughJumpsAndStillness) {
    for (const bool probeOnTicks : {false, true}) {
        SCOPED_TRACE(probeOnTicks ? "read on ticks" : "read at every sample");
        patch.Clear();
        engine.SetKindOps(ModuleKind::ControlGain, &kStepsOnTicks);
        engine.SetKindOps(ModuleKind::ControlNeuron, &kStepsEverySample);
        // (the low cut is evaluated on ticks after the gain)
        const ModuleKind probeKind = probeOnTicks ? ModuleKind::ControlLowCut : ModuleKind::AudioStepFunction;
        engine.SetKindOps(probeKind, &kProbe);
        gGainSlot = patch.CreateModule(ModuleKind::ControlGain, {})->slot[0];
        gNeuronSlot = patch.CreateModule(ModuleKind::ControlNeuron, {})->slot[0];
        Module* probe = patch.CreateModule(probeKind, {});
        if (!probeOnTicks) {
            probe->devices[audio_step::Output] = kNoOutputDevice;
            probe->inputs[audio_step::Input] = gGainSlot;
        }
        gSeen.clear();
        engine.controlRate = 4000.0; // a tick every 12 samples, k = 1/12
        const double startVelocity = engine.slots[size_t(gGainSlot)].smoothedVelocity[0]; // (a new slot's)
        engine.BeginOffline();
        Blocks(200); // long enough for the values to stand still between the jumps
        // The values after each sample's step, and what the probe saw: after the step of its sample, or
        // (on a tick) after that of the sample before.
        const double k = 4000.0 / 48000.0, keep = 1.0 - k;
        double gain = 0.0, gainVelocity = startVelocity, neuron = 0.0, neuronValue = 0.0;
        const size_t samples = 200u * 96u;
        ASSERT_EQ(gSeen.size(), probeOnTicks ? samples / 12 : samples);
        for (size_t i = 0; i < samples; ++i) {
            if (probeOnTicks && i % 12 == 0) {
                ASSERT_EQ(gSeen[i / 12][0], gain) << i;
                ASSERT_EQ(gSeen[i / 12][1], gainVelocity) << i;
            }
            gain = keep * gain + k * TickValue(i / 12);
            gainVelocity = keep * gainVelocity + k * TickVelocity(i / 12);
            neuron = keep * neuron + k * neuronValue; // the value the neuron left at the sample before
            neuronValue = NeuronValue(i);
            if (!probeOnTicks) {
                ASSERT_EQ(gSeen[i][0], gain) << i;
                ASSERT_EQ(gSeen[i][1], gainVelocity) << i;
                ASSERT_EQ(gSeen[i][2], neuron) << i;
            }
        }
        // Between blocks the slot holds where the steps lead, whoever reads it.
        EXPECT_EQ(engine.slots[size_t(gGainSlot)].smoothedValue[0].load(), gain);
        EXPECT_EQ(engine.slots[size_t(gGainSlot)].smoothedVelocity[0].load(), gainVelocity);
        engine.EndOffline();
        engine.SetKindOps(probeKind, nullptr);
    }
}

TEST_F(EngineTest, LatencySteeringKeepsBlocksWithin96PlusMinus95) {
    // The queue's time x = 2 q (96 + D) / 96 ms for q queued blocks. From 60 ms up D grows by (L - x) / 15
    // per block; below 60 ms D = 2 (BlockTime 0.5 L - x) with BlockTime 2 s. D stays within -95..95.
    OutputOf(1000, -1);
    engine.steerLatency = true;
    engine.outputLatencyMs = 100;
    out.queuedByDeviceSlot[0] = 1000; // a very long queue: shorten
    engine.BeginOffline();
    Blocks(1);
    // x = 2000 ms: D = (100 - 2000) / 15 is below -96.
    EXPECT_EQ(std::tuple(int(engine.blockAdjust), engine.DeviceAdjust(0)), std::tuple(-95, -95.0));
    Blocks(1);
    EXPECT_EQ(out.submissions.back().block.Count(), 1);
    out.queuedByDeviceSlot[0] = 0; // an empty queue: lengthen by 100 / 15 per block up to the bound
    Blocks(200);
    EXPECT_EQ(engine.blockAdjust, 95);
    EXPECT_EQ(out.submissions.back().block.Count(), 191);
    for (const auto& sub : out.submissions) {
        EXPECT_GE(sub.block.Count(), 1);
        EXPECT_LE(sub.block.Count(), 191);
    }
    EXPECT_GT(engine.measuredLatency, 0.0);
    engine.outputLatencyMs = 20; // x = 6 x 191 / 96 = 11.9375 ms: D = 2 (20 - 11.9375)
    out.queuedByDeviceSlot[0] = 3;
    Blocks(1);
    EXPECT_DOUBLE_EQ(engine.DeviceAdjust(0), 16.125);
    EXPECT_EQ(engine.blockAdjust, 16);
}

TEST_F(EngineTest, EachDeviceBlockIsFittedToItsOwnAdjust) {
    engine.rawMeasures[0] = 480.0;
    OutputOf(1000, -1); // device slot 0, the first used: it sets the block length
    OutputOf(1000, 0);  // device slot 1
    engine.steerLatency = true;
    engine.outputLatencyMs = 60;
    out.queuedByDeviceSlot[0] = 1000; // slot 0 wants -95
    out.queuedByDeviceSlot[1] = 0;    // slot 1 wants 0 + 60 / 15 = 4
    engine.BeginOffline();
    Blocks(2);
    const test::Submission *first = Find(99, 1), *second = Find(100, 1);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->block.Count(), 1);
    // Block made with 1 sample, stretched to 96 + 4 by repeating its last sample.
    EXPECT_EQ(second->block.Count(), 100);
    for (int i = 1; i < 100; ++i) ASSERT_EQ(second->block.samples[i], second->block.samples[0]) << i;
    EXPECT_GT(second->block.samples[0], 0.0);
    // The other way round: slot 1 with a long queue gets the first samples only.
    out.queuedByDeviceSlot[0] = 0;
    out.queuedByDeviceSlot[1] = 1000;
    Blocks(30);
    const test::Submission& last = out.submissions.back();
    EXPECT_EQ(last.id, 200);
    EXPECT_LT(last.block.Count(), Find(99, 31)->block.Count());
}

TEST(ControlEvaluation, EvaluateLinkRules) {
    Engine e;
    e.smoothedMeasures[3] = 50.0;
    e.slots[4].value[2] = 7.0;
    e.slots[4].smoothedValue[2] = 9.0;
    ControlLink link{kManualSource, 1000.0, 30.0};
    EXPECT_EQ(EvaluateLink(e, link, 0, Reader::Plain, 2.0, 5.0), 60.0); // sensitivity ignored
    link.source = 1003;
    EXPECT_EQ(EvaluateLink(e, link, 0, Reader::Plain, 2.0, 1.0), 500.0); // x10
    link.sensitivity = 0.0;
    EXPECT_EQ(EvaluateLink(e, link, 0, Reader::Plain, 2.0, 1.0), 0.0);
    link.sensitivity = 100.0;
    link.source = 4;
    EXPECT_EQ(EvaluateLink(e, link, 2, Reader::Plain, 1.0, 1.0), 7.0);
    EXPECT_EQ(EvaluateLink(e, link, 2, Reader::Smoothed, 1.0, -1.0), -9.0);
    EXPECT_EQ(EvaluateLink(e, link, 2, Reader::Smoothed, 1.0, -1.0, true), 9.0);
    link.source = kNoSource; // a deleted source reads 0, not the Value
    EXPECT_EQ(EvaluateLink(e, link, 0, Reader::Plain, 1.0, 1.0), 0.0);
    EXPECT_EQ(std::tuple(Clamp(-5.0, 1.0, 3.0, true), Clamp(-5.0, 1.0, 3.0, false), Clamp(2.0, 1.0, 3.0)),
              std::tuple(3.0, 1.0, 2.0));
}

} // namespace
} // namespace mw
