// Every one of the 35 kinds: the keys a new module saves (writer order, defaults and exceptions of the
// catalogue, written out here by hand), what a bare section loads, and a byte-exact round trip.
#include <gtest/gtest.h>

#include "base/utf.hpp"
#include "engine/engine.hpp"
#include "patch/config_file.hpp"
#include "patch/patch.hpp"

namespace mw {
namespace {

using Lines = std::vector<std::string>;

// The key lines of a new module after Name and Position, in shorthand: "L P=v" is a link with a manual
// source (P "Control", P "ControlSubType", P "ControlSensitivity", P "Value"), "N P=v" the same without
// a source, "I K" an input (K and K "SubType"), "D" or "D K" an output device (routed to -1 (L+R));
// any other item is a line as written.
Lines Expand(const Lines& items) {
    Lines out;
    for (const std::string& item : items) {
        const char shorthand = item.size() > 2 && item[1] == ' ' ? item[0] : item == "D" ? 'D' : 0;
        const std::string rest = shorthand && item.size() > 2 ? item.substr(2) : "";
        const std::string p = rest.substr(0, rest.find('=')), v = rest.substr(rest.find('=') + 1);
        if (shorthand == 'L' || shorthand == 'N')
            out.insert(out.end(), {p + "Control=" + (shorthand == 'L' ? "-[Manual]-" : ""),
                                   p + "ControlSubType=0", p + "ControlSensitivity=100", p + "Value=" + v});
        else if (shorthand == 'I')
            out.insert(out.end(), {rest + "=", rest + "SubType=0"});
        else if (shorthand == 'D')
            out.push_back((rest.empty() ? "OutputDeviceID" : rest) + "=-1 (L+R)");
        else
            out.push_back(item);
    }
    return out;
}

Lines Cat(std::initializer_list<Lines> parts) {
    Lines out;
    for (const Lines& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Every kind in kind order: its section header, then the key lines of a new module after Name and
// Position.
std::vector<Lines> ExpectedSections() {
    Lines delays, voices, envelope = {"[Module_ControlNoteEnvelope]", "OutputMode=Modify Velocity"};
    for (int n = 1; n <= 5; ++n) {
        const std::string d = std::to_string(n);
        delays =
            Cat({delays,
                 {"DelayControl" + d + "=-[Manual]-", "DelayControl" + d + "SubType=0",
                  "DelayControlSensitivity" + d + "=100", "DelayValue" + d + "=" + std::to_string(100 * n)}});
    }
    for (int n = 1; n <= 8; ++n) {
        const std::string d = std::to_string(n);
        voices = Cat({voices,
                      {"Control_Input" + d + "=", "Control_Input" + d + "SubType=0",
                       "Control_Sensitivity_Input" + d + "=100", "Value_Input" + d + "=0",
                       "Velocity_Input" + d + "=100"}});
    }
    for (const std::string stem : {"Attack=50", "Ratio_AttackLevelToVelocity=100", "Decay=50", "Sustain=50",
                                   "Release=200", "Smoothing=10"}) {
        const std::string s = stem.substr(0, stem.find('=')), v = stem.substr(stem.find('=') + 1);
        envelope = Cat({envelope,
                        {"Control_" + s + "=-[Manual]-", "Control_" + s + "SubType=0",
                         "Control_Sensitivity_" + s + "=100", "Value_" + s + "=" + v}});
    }
    const Lines effectInput = {"InputSource=", "InputSourceSubType=0", "InputControlSensitivity=100"};
    return {
        {"[Module_ControlSensitizer]", "Attack=0", "Decay=0", "InputSource=", "InputSourceSubType=0",
         "Sensitivity=100", "Value_Input=0", "DoFreqMode=0"},
        {"[Module_ControlModulator]", "Effect=FM", "BaseFrequencyValue=2", "FrequencyMultiplierValue=1",
         "L Waveform=0", "L Ramp=0", "L Phase=0", "L StepSize=0", "L Noise=0", "InputSource=-[Manual]-",
         "InputSourceSubType=0", "InputValue=0", "InputControlSensitivity=100", "DoSignedOutput=0",
         "DoLinearInput=0"},
        {"[Module_AudioOsc]", "L Amplitude=500", "FrequencyControl=-[Manual]-", "FrequencyControlSubType=0",
         "FrequencyControlSensitivity=100", "BaseFrequencyValue=4.4", "FrequencyMultiplierValue=100",
         "L Noise=0", "L Waveform=0", "L Ramp=0", "L Phase=0", "L StepSize=0", "D"},
        {"[Module_AudioOutput]", "D", "I InputModule"},
        {"[Module_ControlEcho]", "L Interval=250", "DoLongMode=0", "L Linger=75", "I InputSource",
         "DoFreqMode=0"},
        {"[Module_ControlCombine]", "I InputSource1", "I InputSource2", "I InputSource3", "I InputSource4",
         "I InputSource5"},
        {"[Module_ControlRange]", "OutputLowerLimit=-100", "OutputUpperLimit=100", "InputLowerLimit=-100",
         "InputUpperLimit=100", "DoKeepInRange=0", "InputSource=", "InputSourceSubType=0",
         "Control_Sensitivity_Input=100", "Value_Input=0"},
        {"[Module_ControlMIDIInput]", "L Transpose=0", "L Tuning=0", "InputDeviceID=-555",
         "DoReversedNoteOrientation=0"},
        {"[Module_ControlClosestNote]", "L Tuning=0", "InputSource=", "InputSourceSubType=0",
         "Control_Sensitivity_Input=100", "Value_Input=0"},
        {"[Module_AudioEcho]", "L Interval=250", "DoLongMode=0", "L Linger=75", "D", "I InputModule"},
        {"[Module_AudioInput]", "L Gain=100", "InputDeviceID=-1"},
        {"[Module_AudioPitchShift]", "L Pitch=100", "DoLowPassFilter=0", "D", "I InputModule"},
        {"[Module_AudioOutputSplit]", "L Fader=0", "D OutputDeviceID1", "D OutputDeviceID2", "I InputModule"},
        {"[Module_AudioInputCombine]", "L Fader=0", "D", "I InputModule1", "I InputModule2"},
        Cat({{"[Module_AudioMultiDelay]"}, delays, {"D", "I InputModule"}}),
        {"[Module_AudioWaveWriter]", "D", "FilePath=", "DoAppend=1"},
        {"[Module_AudioDistortion]", "L Overdrive=100", "L Compression=0", "L CompressionWaveform=-100",
         "L Noise=0", "L NoiseFidelity=0", "D", "I InputModule"},
        Cat({{"[Module_ControlOffset]", "L Offset=0"}, effectInput, {"InputValue=0"}}),
        Cat({{"[Module_ControlGain]", "L Gain=100"}, effectInput, {"InputValue=0"}}),
        {"[Module_ControlInput]", "InputSource=-[Manual]-", "InputSourceSubType=0",
         "InputControlSensitivity=100", "InputValue=0"},
        {"[Module_ControlSequence]", "L BPM=128", "L NoteLength=250", "L NoteVelocity=127", "L Transpose=0",
         "L Tuning=0", "SequenceValue=", "RecordingSourceID=-555"},
        {"[Module_AudioDingDong]", "NoteControl=", "NoteControlSubType=0", "NoteControlSensitivity=100",
         "L NoteLength=250", "L NoteVelocity=127", "D"},
        {"[Module_ControlSensor]", "AngleValue=0", "DoSignedOutput=0"},
        {"[Module_ControlNoteCombine]", "InputSource=-[Manual]-", "InputSourceSubType=0",
         "InputControlSensitivity=100", "InputValue=0", "DoSustain=0"},
        Cat({{"[Module_ControlLowCut]", "L LowCutFreq=120"}, effectInput, {"InputValue=440"}}),
        Cat({{"[Module_ControlNoteRetard]", "L Retardation=50", "N RetardationSource=0"},
             effectInput,
             {"InputValue=440"}}),
        {"[Module_AudioOutputAnalyzer]", "D", "Mode=Oscilloscope"},
        {"[Module_AudioLowPass]", "L MaxFreq=100", "D", "I InputModule"},
        {"[Module_AudioHighPass]", "L Attenuation=0", "D", "I InputModule"},
        {"[Module_ControlNeuron]", "DoMakeAllInputsPositive=0", "EnergyFunctionControl=Linear ( Identity )",
         "L InputOutputRatio=100", "L DischargeRate=7", "L Threshold=1000", "L Leakthrough=0", "L Leakage=0",
         "L Dendrite4=0", "L Dendrite3=0", "L Dendrite2=0", "L Dendrite1=0", "L Dendrite0=0"},
        {"[Module_AudioStepFunction]", "L StepSize=0", "D", "I InputModule"},
        {"[Module_ControlStepFunction]", "L StepSize=0", "InputControl=-[Manual]-", "InputControlSubType=0",
         "InputControlSensitivity=100", "InputValue=0"},
        Cat({{"[Module_ControlPolyphonicator]"}, voices}),
        Cat({envelope,
             {"Control_Input=", "Control_InputSubType=0", "Control_Sensitivity_Input=100",
              "Control_Velocity_Input=100", "Value_Input=0"}}),
        {"[Module_ControlMIDIControllerInput]", "InputDeviceID=-555"}};
}

TEST(ConfigKinds, NewModulesSaveTheCatalogueKeysAndDefaults) {
    Engine engine;
    Patch patch(engine);
    const std::vector<Lines> sections = ExpectedSections();
    ASSERT_EQ(sections.size(), size_t(kKindCount));
    for (int k = 0; k < kKindCount; ++k) {
        const Lines& lines = sections[size_t(k)];
        Module* m = patch.CreateModule(KindAt(k), {0, 0});
        ASSERT_NE(m, nullptr) << lines[0];
        std::string expected = "\r\n" + lines[0] + "\r\nName=" + m->name + "\r\nPosition=0,0";
        for (const std::string& line : Expand(Lines(lines.begin() + 1, lines.end())))
            expected += "\r\n" + line;
        EXPECT_EQ(utf::Utf16ToUtf8(WriteSection(*m, patch)), expected + "\r\n") << lines[0];
    }
}

TEST(ConfigKinds, BareSectionsLoadTheDefaultsOfAbsentKeys) {
    Engine engine;
    Patch patch(engine);
    std::string text;
    for (int k = 0; k < kKindCount; ++k) text += "[" + std::string(Info(KindAt(k)).keyword) + "]\r\n";
    EXPECT_EQ(LoadConfigurationText(patch, utf::Utf8ToUtf16(text)), size_t(kKindCount));
    patch.ForEachModule([&](const Module& m) {
        const KindSchema& s = Schema(m.kind);
        SCOPED_TRACE(std::string(Info(m.kind).keyword));
        EXPECT_EQ(m.name, "");
        for (size_t i = 0; i < s.links.size(); ++i) {
            EXPECT_EQ(m.Link(int(i)).source, kNoSource); // even links whose new modules start manual
            EXPECT_EQ(m.Link(int(i)).sensitivity, 100.0);
            EXPECT_EQ(m.Link(int(i)).value, s.links[i].defaultValue);
        }
        for (size_t i = 0; i < s.inputs.size(); ++i) EXPECT_EQ(m.Input(int(i)), kNoSource);
        for (size_t i = 0; i < s.reals.size(); ++i) EXPECT_EQ(m.Real(int(i)), s.reals[i].defaultValue);
        for (size_t i = 0; i < s.ints.size(); ++i) EXPECT_EQ(m.Int(int(i)), s.ints[i].defaultValue);
        for (size_t i = 0; i < s.bools.size(); ++i) EXPECT_FALSE(m.Bool(int(i)));
        for (size_t i = 0; i < s.devices.size(); ++i) EXPECT_EQ(m.Device(int(i)), -555);
        for (const std::string& t : m.texts) EXPECT_EQ(t, "");
    });
    EXPECT_EQ(patch.Modules(ModuleKind::ControlModulator)[0]->Enum(modulator::Effect), -1);
    EXPECT_EQ(patch.Modules(ModuleKind::ControlNoteEnvelope)[0]->Enum(note_envelope::OutputMode), -1);
    EXPECT_EQ(patch.Modules(ModuleKind::AudioOutputAnalyzer)[0]->Enum(analyzer::Mode),
              analyzer::Oscilloscope);
    EXPECT_FALSE(patch.Modules(ModuleKind::AudioWaveWriter)[0]->Bool(wave_writer::Append));
    EXPECT_EQ(patch.Modules(ModuleKind::ControlMIDIInput)[0]->Int(midi_input::InputDevice), -555);
    EXPECT_EQ(patch.Modules(ModuleKind::AudioInput)[0]->Int(audio_input::InputDevice), -1);
    EXPECT_EQ(patch.Modules(ModuleKind::ControlMIDIControllerInput)[0]->sliderCount, 0);
}

// One module of every kind with a value other than the default in every key.
void FillEveryKey(Patch& patch) {
    std::vector<Module*> all;
    for (int k = 0; k < kKindCount; ++k) all.push_back(patch.CreateModule(KindAt(k), {10 * k - 100, 7 * k}));
    Module* sliders = all[Index(ModuleKind::ControlMIDIControllerInput)];
    ASSERT_TRUE(patch.AddSlider(sliders, 7, true));
    ASSERT_TRUE(patch.AddSlider(sliders, 64, false));
    ASSERT_TRUE(patch.AddSlider(sliders, 0, false));
    patch.Rename(all[Index(ModuleKind::ControlSensor)], "Glöckchen ♪");
    // Sources to pick from: outputs of other modules (with their SubTypes), measures, manual, nothing.
    std::vector<SourceId> sources{kManualSource, kNoSource, 1000, 1018};
    for (const Module* m : all)
        for (int k = 0; k < m->OutputCount(); ++k) sources.push_back(m->OutputSlot(k));
    const int32_t devices[] = {-555, 0, 8, 102, 203, 99};
    int n = 0;
    for (Module* m : all) {
        const KindSchema& s = Schema(m->kind);
        for (size_t i = 0; i < s.links.size(); ++i, ++n) {
            m->Link(int(i)).source = sources[(n * 7 + 3) % sources.size()];
            if (m->Link(int(i)).source == s.links[i].defaultSource)
                m->Link(int(i)).source = sources[n % 4 == 0 ? 4 : 5];
            m->Link(int(i)).sensitivity = 12.5 + n;
            m->Link(int(i)).value = -3.25 * (n + 1);
        }
        for (size_t i = 0; i < s.inputs.size(); ++i, ++n)
            m->inputs[i] = sources[4 + (n * 5) % (sources.size() - 4)];
        for (size_t i = 0; i < s.reals.size(); ++i, ++n) m->reals[i] = 1000.5 + 0.25 * n;
        for (size_t i = 0; i < s.ints.size(); ++i, ++n) m->ints[i] = 3 + n;
        for (size_t i = 0; i < s.bools.size(); ++i) m->bools[i] = !s.bools[i].defaultValue;
        for (size_t i = 0; i < s.enums.size(); ++i) {
            const int32_t last = int32_t(s.enums[i].table.size()) - 1;
            m->enums[i] = s.enums[i].defaultValue == last ? (s.enums[i].keepOnUnknownText ? 0 : -1) : last;
        }
        for (size_t i = 0; i < s.devices.size(); ++i, ++n) m->devices[i] = devices[n % 6];
    }
    all[Index(ModuleKind::ControlSequence)]->texts[sequence::SequenceText] = "C4 D#4\tE4\r\nrest  G4";
    all[Index(ModuleKind::AudioWaveWriter)]->texts[wave_writer::FilePath] = "/home/me/Takes/Mouse Song 2.wav";
}

TEST(ConfigKinds, EveryKindRoundTripsByteForByte) {
    Engine engine;
    Patch patch(engine);
    FillEveryKey(patch);
    const std::u16string first = ConfigurationText(patch);
    const std::string firstUtf8 = utf::Utf16ToUtf8(first);

    // No key line of new modules (SubTypes follow the sources) is left in the filled patch.
    Engine freshEngine;
    Patch fresh(freshEngine);
    for (int k = 0; k < kKindCount; ++k) fresh.CreateModule(KindAt(k), {0, 0});
    const std::string defaults = utf::Utf16ToUtf8(ConfigurationText(fresh));
    for (size_t at = defaults.find("\r\n"); at != std::string::npos; at = defaults.find("\r\n", at + 2)) {
        const std::string line = defaults.substr(at + 2, defaults.find("\r\n", at + 2) - at - 2);
        if (line.empty() || line[0] == '[' || line.rfind("Name=", 0) == 0 ||
            line.rfind("Position=", 0) == 0 || line.find("SubType=") != std::string::npos)
            continue;
        EXPECT_EQ(firstUtf8.find("\r\n" + line + "\r\n"), std::string::npos) << "default left in " << line;
    }

    Engine engine2;
    Patch patch2(engine2);
    EXPECT_EQ(LoadConfigurationText(patch2, first), size_t(kKindCount));
    const std::u16string second = ConfigurationText(patch2);
    EXPECT_EQ(utf::Utf16ToUtf8(second), firstUtf8);
    EXPECT_EQ(ToFileBytes(second), ToFileBytes(first));
    const Module* s = patch2.Modules(ModuleKind::ControlMIDIControllerInput)[0];
    ASSERT_EQ(s->sliderCount, 3);
    EXPECT_EQ((*s->sliders)[0].controller, 7);
    EXPECT_TRUE((*s->sliders)[0].negative);
    EXPECT_EQ(patch2.Modules(ModuleKind::ControlSensor)[0]->name, "Glöckchen ♪");

    // Loading into the same patch (old modules removed) gives the same bytes again.
    LoadConfigurationText(patch2, second);
    EXPECT_EQ(ConfigurationText(patch2), first);
}

} // namespace
} // namespace mw
