#include <gtest/gtest.h>

#include <set>

#include "engine/engine.hpp"
#include "model/module_kind.hpp"
#include "model/params.hpp"
#include "model/patch.hpp"

namespace mw {
namespace {

TEST(ModuleKinds, FixedOrderAndFacts) {
    EXPECT_EQ(Info(ModuleKind::ControlSensitizer).keyword, "Module_ControlSensitizer");
    EXPECT_EQ(Info(ModuleKind::AudioOsc).engineKind, 2);
    EXPECT_EQ(Info(ModuleKind::AudioEcho).engineKind, 8);
    EXPECT_EQ(Info(ModuleKind::ControlMIDIControllerInput).engineKind, 31);
    EXPECT_EQ(Info(ModuleKind::ControlMIDIControllerInput).command, 1070);
    EXPECT_TRUE(Info(ModuleKind::AudioOutput).isSink);
    EXPECT_TRUE(Info(ModuleKind::AudioWaveWriter).isSink);
    EXPECT_TRUE(Info(ModuleKind::AudioOutputAnalyzer).isSink);
    EXPECT_EQ(Info(ModuleKind::AudioOutputSplit).outputs, 2);
    EXPECT_EQ(Info(ModuleKind::ControlSensor).outputs, 2);
    // Engine kinds are the list order without the three sinks: 0..31, each once.
    std::set<int> engineKinds;
    for (const KindInfo& k : AllKinds())
        if (k.engineKind != kNoEngineKind) engineKinds.insert(k.engineKind);
    EXPECT_EQ(engineKinds.size(), 32u);
    EXPECT_EQ(*engineKinds.rbegin(), 31);
    // The reader's keyword order names every kind once.
    std::set<ModuleKind> reader(ReaderKindOrder().begin(), ReaderKindOrder().end());
    EXPECT_EQ(reader.size(), size_t(kKindCount));
    EXPECT_EQ(KindFromKeyword("module_audioosc"), ModuleKind::AudioOsc);
    EXPECT_EQ(KindFromKeyword("Module_AudioOutputs"), std::nullopt);
}

TEST(ModuleSchema, OscillatorKeysInWriterOrder) {
    std::vector<std::string> keys;
    for (const KeyDesc& k : Schema(ModuleKind::AudioOsc).keys) keys.emplace_back(k.key);
    const std::vector<std::string> expected{
        "AmplitudeControl", "AmplitudeControlSubType", "AmplitudeControlSensitivity", "AmplitudeValue",
        "FrequencyControl", "FrequencyControlSubType", "FrequencyControlSensitivity", "BaseFrequencyValue",
        "FrequencyMultiplierValue", "NoiseControl", "NoiseControlSubType", "NoiseControlSensitivity", "NoiseValue",
        "WaveformControl", "WaveformControlSubType", "WaveformControlSensitivity", "WaveformValue", "RampControl",
        "RampControlSubType", "RampControlSensitivity", "RampValue", "PhaseControl", "PhaseControlSubType",
        "PhaseControlSensitivity", "PhaseValue", "StepSizeControl", "StepSizeControlSubType",
        "StepSizeControlSensitivity", "StepSizeValue", "OutputDeviceID"};
    EXPECT_EQ(keys, expected);
}

TEST(ModuleSchema, DefaultsOfANewModule) {
    Module osc(ModuleKind::AudioOsc);
    EXPECT_EQ(osc.Link(osc::Amplitude).value, 500.0);
    EXPECT_EQ(osc.Link(osc::Frequency).value, 4.4);
    EXPECT_EQ(osc.Real(osc::FrequencyMultiplier), 100.0);
    EXPECT_EQ(osc.Link(osc::Noise).source, kManualSource);
    EXPECT_EQ(osc.Device(osc::Output), -1);

    Module writer(ModuleKind::AudioWaveWriter);
    EXPECT_TRUE(writer.Bool(wave_writer::Append));
    Module delay(ModuleKind::AudioMultiDelay);
    EXPECT_EQ(delay.Link(multi_delay::Delay5).value, 500.0);
    Module range(ModuleKind::ControlRange);
    EXPECT_EQ(range.Link(range::Input).source, kNoSource);
    EXPECT_EQ(range.Real(range::OutputLowerLimit), -100.0);
    Module modulator(ModuleKind::ControlModulator);
    EXPECT_EQ(modulator.Enum(modulator::Effect), modulator::FM);
    EXPECT_EQ(modulator.Link(modulator::Input).source, kManualSource);
    Module retard(ModuleKind::ControlNoteRetard);
    EXPECT_EQ(retard.Link(note_retard::RetardationSource).source, kNoSource);
    EXPECT_EQ(retard.Link(note_retard::Input).value, 440.0);
    Module analyzer(ModuleKind::AudioOutputAnalyzer);
    EXPECT_EQ(analyzer.Enum(analyzer::Mode), analyzer::Oscilloscope);
    Module midi(ModuleKind::ControlMIDIInput);
    EXPECT_EQ(midi.Int(midi_input::InputDevice), -555);
    Module in(ModuleKind::AudioInput);
    EXPECT_EQ(in.Int(audio_input::InputDevice), -1);
}

class PatchTest : public ::testing::Test {
protected:
    Engine engine;
    Patch patch{engine};
};

TEST_F(PatchTest, DefaultNames) {
    Module* a = patch.CreateModule(ModuleKind::AudioOsc, {});
    EXPECT_EQ(a->name, "Oscillator module 1");
    patch.CreateModule(ModuleKind::AudioOsc, {}, "Oscillator module 5");
    EXPECT_EQ(patch.DefaultName(ModuleKind::AudioOsc), "Oscillator module 6");
    EXPECT_EQ(patch.CreateModule(ModuleKind::ControlSensor, {})->name, "S 1");

    Engine e2;
    Patch p2(e2);
    p2.CreateModule(ModuleKind::AudioOsc, {}, "Bass");
    EXPECT_EQ(p2.DefaultName(ModuleKind::AudioOsc), "Oscillator module 2");
    p2.CreateModule(ModuleKind::AudioOsc, {}, "Bass 7");
    EXPECT_EQ(p2.DefaultName(ModuleKind::AudioOsc), "Oscillator module 8");
}

TEST_F(PatchTest, SlotsAreTakenLowestFirstWithTheKindsInitialValues) {
    Module* osc = patch.CreateModule(ModuleKind::AudioOsc, {});
    Module* env = patch.CreateModule(ModuleKind::ControlNoteEnvelope, {});
    Module* out = patch.CreateModule(ModuleKind::AudioOutput, {});
    Module* split = patch.CreateModule(ModuleKind::AudioOutputSplit, {});
    EXPECT_EQ(osc->slot[0], 0);
    EXPECT_EQ(env->slot[0], 1);
    EXPECT_EQ(out->sinkSlot, 0);
    EXPECT_EQ(out->slot[0], -1);
    EXPECT_EQ(split->slot[0], 2);
    EXPECT_EQ(split->slot[1], 3);
    EXPECT_EQ(engine.slots[0].kind, 2);
    EXPECT_EQ(engine.slots[0].voiceCount, 1);
    EXPECT_EQ(engine.slots[0].velocity[0], 127.0);
    EXPECT_EQ(engine.slots[0].isAudioRate, 1);
    EXPECT_EQ(engine.slots[1].voiceCount, 0);
    EXPECT_EQ(engine.slots[1].isAudioRate, 0);
    EXPECT_EQ(engine.slots[3].outputIndex, 1);
    EXPECT_EQ(engine.slots[3].outputLabel, "Output-2");
    EXPECT_EQ(engine.sinks[0].type, uint8_t(SinkType::AudioOutput));
}

TEST_F(PatchTest, ResolveSource) {
    Module* split = patch.CreateModule(ModuleKind::AudioOutputSplit, {}, "Fader");
    patch.CreateModule(ModuleKind::AudioOsc, {}, "fader");
    EXPECT_EQ(patch.ResolveSource("-[manual]-", 7), kManualSource);
    EXPECT_EQ(patch.ResolveSource("speed ( raw )", 0), 1014);
    EXPECT_EQ(patch.ResolveSource("Direction", 3), 1000);
    EXPECT_EQ(patch.ResolveSource("", 0), kNoSource);
    EXPECT_EQ(patch.ResolveSource("-[INVALID]-", 0), kNoSource);
    EXPECT_EQ(patch.ResolveSource("FADER", 1), split->slot[1]);
    EXPECT_EQ(patch.ResolveSource("FADER", 0), 0); // the lowest slot of the two that match
    EXPECT_EQ(patch.ResolveSource("Fader", 2), kNoSource); // SubType matching no output
    EXPECT_EQ(patch.ResolveSource("nobody", 0), kNoSource);
    EXPECT_EQ(patch.SourceSubType(split->slot[1]), 1);
    EXPECT_EQ(patch.SourceName(1005), "Horizontal Position");
    EXPECT_EQ(patch.SourceName(kNoSource), "");
}

TEST_F(PatchTest, RemovedSourceIsInvalidAndRenamedSourceFollows) {
    Module* lfo = patch.CreateModule(ModuleKind::ControlModulator, {});
    Module* osc = patch.CreateModule(ModuleKind::AudioOsc, {});
    osc->Link(osc::Amplitude).source = lfo->slot[0].load();
    patch.Rename(lfo, "Wobble");
    EXPECT_EQ(patch.SourceName(osc->Link(osc::Amplitude).source), "Wobble");
    patch.RemoveModule(lfo);
    EXPECT_EQ(patch.SourceName(osc->Link(osc::Amplitude).source), "-[Invalid]-");
    EXPECT_EQ(patch.SourceSubType(osc->Link(osc::Amplitude).source), 0);
    EXPECT_EQ(engine.slots[0].kind, kNoEngineKind);
    EXPECT_EQ(patch.Count(ModuleKind::ControlModulator), 0u);
}

TEST_F(PatchTest, SlotExhaustionCreatesNothingAndGivesTheFirstSlotBack) {
    for (int i = 0; i < 127; ++i) ASSERT_NE(patch.CreateModule(ModuleKind::AudioOsc, {}), nullptr);
    EXPECT_EQ(patch.CreateModule(ModuleKind::AudioOutputSplit, {}), nullptr);
    EXPECT_FALSE(engine.slots[127].Taken());
    EXPECT_EQ(patch.Count(ModuleKind::AudioOutputSplit), 0u);
    EXPECT_NE(patch.CreateModule(ModuleKind::AudioOsc, {}), nullptr);
    EXPECT_EQ(patch.CreateModule(ModuleKind::ControlGain, {}), nullptr);
    // Sinks use their own table.
    EXPECT_NE(patch.CreateModule(ModuleKind::AudioOutput, {}), nullptr);
}

TEST_F(PatchTest, SplitterKeepsItsKindBytesOnRemoval) {
    Module* split = patch.CreateModule(ModuleKind::AudioOutputSplit, {});
    engine.slots[1].value[0] = 5.0;
    patch.RemoveModule(split);
    EXPECT_FALSE(engine.slots[0].Taken());
    EXPECT_EQ(engine.slots[0].kind, 11);
    EXPECT_EQ(engine.slots[1].value[0], 0.0);
}

TEST_F(PatchTest, QueuedRemovalsKeepTheirSlotsUntilProcessed) {
    patch.CreateModule(ModuleKind::AudioOsc, {});
    patch.QueueRemoveAll();
    Module* fresh = patch.CreateModule(ModuleKind::AudioOsc, {}, "New");
    EXPECT_EQ(fresh->slot[0], 1);
    patch.ProcessQueuedRemovals();
    EXPECT_EQ(patch.TotalCount(), 1u);
    EXPECT_FALSE(engine.slots[0].Taken());
}

TEST_F(PatchTest, SlidersTakeOneSlotEach) {
    Module* sl = patch.CreateModule(ModuleKind::ControlMIDIControllerInput, {});
    EXPECT_EQ(sl->sinkSlot, 0);
    EXPECT_EQ(sl->OutputCount(), 0);
    ASSERT_TRUE(patch.AddSlider(sl, 7, true));
    ASSERT_TRUE(patch.AddSlider(sl, 1, false));
    EXPECT_EQ(sl->OutputSlot(0), 0);
    EXPECT_EQ(sl->OutputSlot(1), 1);
    EXPECT_EQ(engine.slots[1].outputIndex, 1);
    EXPECT_EQ(engine.slots[1].outputLabel, "Slider 2");
    EXPECT_EQ(patch.ResolveSource("MIDI-Slider Module 1", 1), 1);
}

} // namespace
} // namespace mw
