// Module kinds, their parameter tables and the patch: default names, engine slots, sources by name,
// removal and sliders.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <tuple>
#include <vector>

#include "engine/engine.hpp"
#include "i18n/language_strings.hpp"
#include "model/module_kind.hpp"
#include "model/params.hpp"
#include "patch/patch.hpp"

namespace mw {
namespace {

TEST(ModuleKinds, FixedOrderAndFacts) {
    // Engine kinds are the list order without the three kinds that only sink; the MIDI slider module
    // sinks too and has one output per slider; the splitter and the sensor have two outputs.
    using MK = ModuleKind;
    uint8_t engineKind = 0;
    for (int k = 0; k < kKindCount; ++k) {
        const MK kind = KindAt(k);
        const bool sinkOnly =
            kind == MK::AudioOutput || kind == MK::AudioWaveWriter || kind == MK::AudioOutputAnalyzer;
        const bool sink = sinkOnly || kind == MK::ControlMIDIControllerInput;
        EXPECT_EQ(Info(kind).engineKind, sinkOnly ? kNoEngineKind : engineKind++) << k;
        EXPECT_EQ(Info(kind).isSink, sink) << k;
        const int outputs = sink ? 0 : (kind == MK::AudioOutputSplit || kind == MK::ControlSensor) ? 2 : 1;
        EXPECT_EQ(Info(kind).outputs, outputs) << k;
    }
    EXPECT_EQ(engineKind, 32);
    // The reader's keyword order names every kind once.
    EXPECT_EQ(std::set<ModuleKind>(ReaderKindOrder().begin(), ReaderKindOrder().end()).size(),
              size_t(kKindCount));
}

// Every parameter of every kind: its label (and value text) reads in all five built-in languages, a new
// module's value lies on its slider, a default option lies in its table, and every field has its keys.
TEST(ModuleKinds, ParameterTablesAreComplete) {
    std::vector<LanguageStrings> languages(5);
    for (size_t i = 0; i < languages.size(); ++i) LoadLanguageZone(languages[i], ZoneNameFor(uint16_t(i)));
    const auto readsEverywhere = [&](int number) {
        for (const LanguageStrings& l : languages)
            if (number <= 0 || l.Text(number).empty()) return false;
        return true;
    };
    const auto onSlider = [](const SliderRange& s, double value) {
        return !s.Exists() || s.Holds(std::trunc(value * s.factor));
    };
    for (int k = 0; k < kKindCount; ++k) {
        const KindSchema& s = Schema(KindAt(k));
        const auto hasKey = [&](KeyRole role, size_t field) {
            return std::any_of(s.keys.begin(), s.keys.end(),
                               [&](const KeyDesc& d) { return d.role == role && d.field == field; });
        };
        for (size_t i = 0; i < s.links.size(); ++i) {
            const LinkDesc& d = s.links[i];
            EXPECT_TRUE(readsEverywhere(d.label)) << k << " " << d.stem;
            EXPECT_TRUE(!d.shown.format || readsEverywhere(d.shown.format)) << k << " " << d.stem;
            EXPECT_EQ(d.slider.Exists(), d.hasValue) << k << " " << d.stem;
            EXPECT_TRUE(onSlider(d.slider, d.defaultValue) && onSlider(d.longSlider, d.defaultValue) &&
                        d.sensitivity.Holds(100.0))
                << k << " " << d.stem;
            EXPECT_TRUE(hasKey(KeyRole::LinkSource, i) && hasKey(KeyRole::LinkSensitivity, i))
                << k << " " << i;
        }
        for (size_t i = 0; i < s.inputs.size(); ++i)
            EXPECT_TRUE(readsEverywhere(s.inputs[i].label) && hasKey(KeyRole::InputSource, i))
                << k << " " << i;
        for (size_t i = 0; i < s.reals.size(); ++i)
            EXPECT_TRUE(readsEverywhere(s.reals[i].label) &&
                        onSlider(s.reals[i].slider, s.reals[i].defaultValue) && hasKey(KeyRole::Real, i))
                << k << " " << s.reals[i].key;
        for (size_t i = 0; i < s.ints.size(); ++i)
            EXPECT_TRUE(readsEverywhere(s.ints[i].label) && hasKey(KeyRole::Integer, i)) << k << " " << i;
        for (size_t i = 0; i < s.bools.size(); ++i)
            EXPECT_TRUE(readsEverywhere(s.bools[i].label) && hasKey(KeyRole::Bool, i)) << k << " " << i;
        for (size_t i = 0; i < s.texts.size(); ++i)
            EXPECT_TRUE(readsEverywhere(s.texts[i].label)) << k << " " << i;
        for (size_t i = 0; i < s.devices.size(); ++i)
            EXPECT_TRUE(readsEverywhere(s.devices[i].label) && hasKey(KeyRole::Device, i)) << k << " " << i;
        for (size_t i = 0; i < s.enums.size(); ++i) {
            const EnumDesc& d = s.enums[i];
            EXPECT_TRUE(d.defaultValue >= 0 && size_t(d.defaultValue) < d.table.size()) << k << " " << d.key;
            EXPECT_TRUE(d.optionLabels.empty() || d.optionLabels.size() == d.table.size())
                << k << " " << d.key;
            EXPECT_TRUE(readsEverywhere(d.label) &&
                        std::all_of(d.optionLabels.begin(), d.optionLabels.end(), readsEverywhere))
                << k << " " << d.key;
        }
    }
    // A few rows as the windows set them: the oscillator's base frequency in tenths, the echo's long
    // interval range, the neuron's signed dendrite sensitivities, the sequence's note length in tens.
    EXPECT_EQ(osc::kLinks[osc::Frequency].slider.upper, 600);
    EXPECT_EQ(osc::kLinks[osc::Frequency].slider.factor, 10.0);
    EXPECT_EQ(audio_echo::kLinks[audio_echo::Interval].longSlider.upper, 10000);
    EXPECT_EQ(audio_echo::kBools[audio_echo::LongMode].longRangeOf, audio_echo::Interval);
    EXPECT_EQ(neuron::kLinks[neuron::Dendrite2].sensitivity.lower, -1000);
    EXPECT_EQ(sequence::kLinks[sequence::NoteLength].slider.factor, 0.1);
    EXPECT_EQ(note_retard::kLinks[note_retard::RetardationSource].noneLabel, 285);
}

class PatchTest : public ::testing::Test {
protected:
    Engine engine;
    Patch patch{engine};
};

TEST_F(PatchTest, DefaultNamesCountModulesAndNumbersInUse) {
    EXPECT_EQ(patch.CreateModule(ModuleKind::AudioOsc, {})->name, "Oscillator module 1");
    EXPECT_EQ(patch.CreateModule(ModuleKind::ControlSensor, {})->name, "S 1");
    patch.CreateModule(ModuleKind::AudioOsc, {}, "Bass");
    EXPECT_EQ(patch.DefaultName(ModuleKind::AudioOsc), "Oscillator module 3"); // one past the count
    patch.CreateModule(ModuleKind::AudioOsc, {}, "Bass 7");
    EXPECT_EQ(patch.DefaultName(ModuleKind::AudioOsc), "Oscillator module 8"); // one past the highest number
}

TEST_F(PatchTest, SlotsAreTakenLowestFirstWithTheKindsInitialValues) {
    Module* osc = patch.CreateModule(ModuleKind::AudioOsc, {});
    Module* env = patch.CreateModule(ModuleKind::ControlNoteEnvelope, {});
    Module* out = patch.CreateModule(ModuleKind::AudioOutput, {});
    Module* split = patch.CreateModule(ModuleKind::AudioOutputSplit, {});
    EXPECT_EQ((std::array<int, 6>{osc->slot[0], env->slot[0], out->sinkSlot, out->slot[0], split->slot[0],
                                  split->slot[1]}),
              (std::array{0, 1, 0, -1, 2, 3}));
    const ModuleSlot* s = engine.slots.data();
    // kind, voices, velocity and audio rate of the oscillator's slot, then of the envelope's
    EXPECT_EQ(
        std::tuple(int(s[0].kind), int(s[0].voiceCount), s[0].velocity[0].load(), int(s[0].isAudioRate)),
        std::tuple(2, 1, 127.0, 1));
    EXPECT_EQ(std::tuple(int(s[1].voiceCount), int(s[1].isAudioRate)), std::tuple(0, 0));
    EXPECT_EQ(std::tuple(int(s[3].outputIndex), s[3].outputLabel), std::tuple(1, std::string("Output-2")));
    EXPECT_EQ(engine.sinks[0].type, uint8_t(SinkType::AudioOutput));
    // A MIDI slider module takes a sink slot, and one slot for each slider.
    Module* sliders = patch.CreateModule(ModuleKind::ControlMIDIControllerInput, {});
    EXPECT_EQ(std::tuple(sliders->sinkSlot.load(), sliders->OutputCount()), std::tuple(1, 0));
    ASSERT_TRUE(patch.AddSlider(sliders, 7, true));
    ASSERT_TRUE(patch.AddSlider(sliders, 1, false));
    EXPECT_EQ(sliders->OutputSlot(1), 5);
    EXPECT_EQ(std::tuple(int(s[5].outputIndex), s[5].outputLabel), std::tuple(1, std::string("Slider 2")));
    EXPECT_EQ(patch.ResolveSource("MIDI-Slider Module 1", 1), 5);
}

TEST_F(PatchTest, ResolveSource) {
    Module* split = patch.CreateModule(ModuleKind::AudioOutputSplit, {}, "Fader");
    patch.CreateModule(ModuleKind::AudioOsc, {}, "fader");
    const std::tuple<const char*, int, SourceId> rows[] = {
        {"-[manual]-", 7, kManualSource},
        {"speed ( raw )", 0, 1014},
        {"Direction", 3, 1000},
        {"", 0, kNoSource},
        {"-[INVALID]-", 0, kNoSource},
        {"FADER", 1, split->slot[1]}, // names match ignoring case
        {"FADER", 0, 0},              // the lowest slot of the two that match
        {"Fader", 2, kNoSource},      // a SubType matching no output
        {"nobody", 0, kNoSource}};
    for (auto [name, subType, id] : rows)
        EXPECT_EQ(patch.ResolveSource(name, subType), id) << name << subType;
    EXPECT_EQ(patch.SourceSubType(split->slot[1]), 1);
    EXPECT_EQ(patch.SourceName(1005), "Horizontal Position");
    EXPECT_EQ(patch.SourceName(kNoSource), "");
}

TEST_F(PatchTest, SlotExhaustionCreatesNothingAndGivesTheFirstSlotBack) {
    for (int i = 0; i < 127; ++i) ASSERT_NE(patch.CreateModule(ModuleKind::AudioOsc, {}), nullptr);
    EXPECT_EQ(patch.CreateModule(ModuleKind::AudioOutputSplit, {}), nullptr);
    EXPECT_FALSE(engine.slots[127].Taken());
    EXPECT_EQ(patch.Count(ModuleKind::AudioOutputSplit), 0u);
    EXPECT_NE(patch.CreateModule(ModuleKind::AudioOsc, {}), nullptr);
    EXPECT_EQ(patch.CreateModule(ModuleKind::ControlGain, {}), nullptr);
    EXPECT_NE(patch.CreateModule(ModuleKind::AudioOutput, {}), nullptr); // sinks use their own table
}

TEST_F(PatchTest, RemovalFreesSlotsAndInvalidatesLinks) {
    Module* lfo = patch.CreateModule(ModuleKind::ControlModulator, {});
    Module* split = patch.CreateModule(ModuleKind::AudioOutputSplit, {});
    Module* osc = patch.CreateModule(ModuleKind::AudioOsc, {});
    osc->Link(osc::Amplitude).source = lfo->slot[0].load();
    patch.Rename(lfo, "Wobble");
    EXPECT_EQ(patch.SourceName(osc->Link(osc::Amplitude).source), "Wobble");
    patch.RemoveModule(lfo);
    EXPECT_EQ(patch.SourceName(osc->Link(osc::Amplitude).source), "-[Invalid]-");
    EXPECT_EQ(patch.SourceSubType(osc->Link(osc::Amplitude).source), 0);
    EXPECT_EQ(engine.slots[0].kind, kNoEngineKind);
    EXPECT_EQ(patch.Count(ModuleKind::ControlModulator), 0u);
    // The splitter's slots are cleared, but the first keeps its kind byte.
    engine.slots[2].value[0] = 5.0;
    patch.RemoveModule(split);
    EXPECT_FALSE(engine.slots[1].Taken());
    EXPECT_EQ(std::tuple(int(engine.slots[1].kind), engine.slots[2].value[0].load()), std::tuple(11, 0.0));
    // Queued removals keep their slots until they are processed.
    patch.QueueRemoveAll();
    EXPECT_TRUE(engine.slots[3].Taken());
    EXPECT_EQ(patch.CreateModule(ModuleKind::AudioOsc, {}, "New")->slot[0], 0);
    patch.ProcessQueuedRemovals();
    EXPECT_EQ(patch.TotalCount(), 1u);
    EXPECT_FALSE(engine.slots[3].Taken());
}

} // namespace
} // namespace mw
