// Every one of the 35 kinds: the keys a new module saves (writer order, defaults and exceptions of the
// catalogue, written out here by hand), what a bare section loads, and a byte-exact round trip.
#include <gtest/gtest.h>

#include "engine/engine.hpp"
#include "i18n/utf.hpp"
#include "model/config_file.hpp"
#include "model/patch.hpp"

namespace mw {
namespace {

using Lines = std::vector<std::string>;

// "link P = v": P+"Control", P+"ControlSubType", P+"ControlSensitivity", P+"Value".
Lines L(const std::string& p, const std::string& v, const std::string& source = "-[Manual]-") {
    return {p + "Control=" + source, p + "ControlSubType=0", p + "ControlSensitivity=100", p + "Value=" + v};
}
// "link P = v, no source".
Lines Ln(const std::string& p, const std::string& v) {
    return L(p, v, "");
}
// "input K".
Lines In(const std::string& k) {
    return {k + "=", k + "SubType=0"};
}
Lines K(const std::string& k, const std::string& v) {
    return {k + "=" + v};
}
Lines D(const std::string& k = "OutputDeviceID") {
    return {k + "=-1 (L+R)"};
}

Lines Cat(std::initializer_list<Lines> parts) {
    Lines out;
    for (const Lines& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The keys after Name and Position of a new module of each kind, in writer order.
Lines ExpectedDefaults(ModuleKind kind) {
    using MK = ModuleKind;
    const std::string manual = "-[Manual]-";
    switch (kind) {
    case MK::ControlSensitizer:
        return Cat({K("Attack", "0"), K("Decay", "0"), K("InputSource", ""), K("InputSourceSubType", "0"),
                    K("Sensitivity", "100"), K("Value_Input", "0"), K("DoFreqMode", "0")});
    case MK::ControlModulator:
        return Cat({K("Effect", "FM"), K("BaseFrequencyValue", "2"), K("FrequencyMultiplierValue", "1"),
                    L("Waveform", "0"), L("Ramp", "0"), L("Phase", "0"), L("StepSize", "0"), L("Noise", "0"),
                    K("InputSource", manual), K("InputSourceSubType", "0"), K("InputValue", "0"),
                    K("InputControlSensitivity", "100"), K("DoSignedOutput", "0"), K("DoLinearInput", "0")});
    case MK::AudioOsc:
        return Cat({L("Amplitude", "500"), K("FrequencyControl", manual), K("FrequencyControlSubType", "0"),
                    K("FrequencyControlSensitivity", "100"), K("BaseFrequencyValue", "4.4"),
                    K("FrequencyMultiplierValue", "100"), L("Noise", "0"), L("Waveform", "0"), L("Ramp", "0"),
                    L("Phase", "0"), L("StepSize", "0"), D()});
    case MK::AudioOutput:
        return Cat({D(), In("InputModule")});
    case MK::ControlEcho:
        return Cat({L("Interval", "250"), K("DoLongMode", "0"), L("Linger", "75"), In("InputSource"),
                    K("DoFreqMode", "0")});
    case MK::ControlCombine:
        return Cat({In("InputSource1"), In("InputSource2"), In("InputSource3"), In("InputSource4"),
                    In("InputSource5")});
    case MK::ControlRange:
        return Cat({K("OutputLowerLimit", "-100"), K("OutputUpperLimit", "100"), K("InputLowerLimit", "-100"),
                    K("InputUpperLimit", "100"), K("DoKeepInRange", "0"), K("InputSource", ""),
                    K("InputSourceSubType", "0"), K("Control_Sensitivity_Input", "100"),
                    K("Value_Input", "0")});
    case MK::ControlMIDIInput:
        return Cat({L("Transpose", "0"), L("Tuning", "0"), K("InputDeviceID", "-555"),
                    K("DoReversedNoteOrientation", "0")});
    case MK::ControlClosestNote:
        return Cat({L("Tuning", "0"), K("InputSource", ""), K("InputSourceSubType", "0"),
                    K("Control_Sensitivity_Input", "100"), K("Value_Input", "0")});
    case MK::AudioEcho:
        return Cat({L("Interval", "250"), K("DoLongMode", "0"), L("Linger", "75"), D(), In("InputModule")});
    case MK::AudioInput:
        return Cat({L("Gain", "100"), K("InputDeviceID", "-1")});
    case MK::AudioPitchShift:
        return Cat({L("Pitch", "100"), K("DoLowPassFilter", "0"), D(), In("InputModule")});
    case MK::AudioOutputSplit:
        return Cat({L("Fader", "0"), D("OutputDeviceID1"), D("OutputDeviceID2"), In("InputModule")});
    case MK::AudioInputCombine:
        return Cat({L("Fader", "0"), D(), In("InputModule1"), In("InputModule2")});
    case MK::AudioMultiDelay: {
        Lines out;
        for (int n = 1; n <= 5; ++n) {
            const std::string d = std::to_string(n);
            out =
                Cat({out, K("DelayControl" + d, manual), K("DelayControl" + d + "SubType", "0"),
                     K("DelayControlSensitivity" + d, "100"), K("DelayValue" + d, std::to_string(100 * n))});
        }
        return Cat({out, D(), In("InputModule")});
    }
    case MK::AudioWaveWriter:
        return Cat({D(), K("FilePath", ""), K("DoAppend", "1")});
    case MK::AudioDistortion:
        return Cat({L("Overdrive", "100"), L("Compression", "0"), L("CompressionWaveform", "-100"),
                    L("Noise", "0"), L("NoiseFidelity", "0"), D(), In("InputModule")});
    case MK::ControlOffset:
    case MK::ControlGain:
        return Cat({kind == MK::ControlOffset ? L("Offset", "0") : L("Gain", "100"), K("InputSource", ""),
                    K("InputSourceSubType", "0"), K("InputControlSensitivity", "100"), K("InputValue", "0")});
    case MK::ControlInput:
        return Cat({K("InputSource", manual), K("InputSourceSubType", "0"),
                    K("InputControlSensitivity", "100"), K("InputValue", "0")});
    case MK::ControlSequence:
        return Cat({L("BPM", "128"), L("NoteLength", "250"), L("NoteVelocity", "127"), L("Transpose", "0"),
                    L("Tuning", "0"), K("SequenceValue", ""), K("RecordingSourceID", "-555")});
    case MK::AudioDingDong:
        return Cat({K("NoteControl", ""), K("NoteControlSubType", "0"), K("NoteControlSensitivity", "100"),
                    L("NoteLength", "250"), L("NoteVelocity", "127"), D()});
    case MK::ControlSensor:
        return Cat({K("AngleValue", "0"), K("DoSignedOutput", "0")});
    case MK::ControlNoteCombine:
        return Cat({K("InputSource", manual), K("InputSourceSubType", "0"),
                    K("InputControlSensitivity", "100"), K("InputValue", "0"), K("DoSustain", "0")});
    case MK::ControlLowCut:
    case MK::ControlNoteRetard: {
        const Lines head = kind == MK::ControlLowCut
                               ? L("LowCutFreq", "120")
                               : Cat({L("Retardation", "50"), Ln("RetardationSource", "0")});
        return Cat({head, K("InputSource", ""), K("InputSourceSubType", "0"),
                    K("InputControlSensitivity", "100"), K("InputValue", "440")});
    }
    case MK::AudioOutputAnalyzer:
        return Cat({D(), K("Mode", "Oscilloscope")});
    case MK::AudioLowPass:
        return Cat({L("MaxFreq", "100"), D(), In("InputModule")});
    case MK::AudioHighPass:
        return Cat({L("Attenuation", "0"), D(), In("InputModule")});
    case MK::ControlNeuron:
        return Cat({K("DoMakeAllInputsPositive", "0"), K("EnergyFunctionControl", "Linear ( Identity )"),
                    L("InputOutputRatio", "100"), L("DischargeRate", "7"), L("Threshold", "1000"),
                    L("Leakthrough", "0"), L("Leakage", "0"), L("Dendrite4", "0"), L("Dendrite3", "0"),
                    L("Dendrite2", "0"), L("Dendrite1", "0"), L("Dendrite0", "0")});
    case MK::AudioStepFunction:
        return Cat({L("StepSize", "0"), D(), In("InputModule")});
    case MK::ControlStepFunction:
        return Cat({L("StepSize", "0"), K("InputControl", manual), K("InputControlSubType", "0"),
                    K("InputControlSensitivity", "100"), K("InputValue", "0")});
    case MK::ControlPolyphonicator: {
        Lines out;
        for (int n = 1; n <= 8; ++n) {
            const std::string d = std::to_string(n);
            out = Cat({out, K("Control_Input" + d, ""), K("Control_Input" + d + "SubType", "0"),
                       K("Control_Sensitivity_Input" + d, "100"), K("Value_Input" + d, "0"),
                       K("Velocity_Input" + d, "100")});
        }
        return out;
    }
    case MK::ControlNoteEnvelope: {
        Lines out = K("OutputMode", "Modify Velocity");
        const std::pair<const char*, const char*> stems[] = {
            {"Attack", "50"},   {"Ratio_AttackLevelToVelocity", "100"},
            {"Decay", "50"},    {"Sustain", "50"},
            {"Release", "200"}, {"Smoothing", "10"}};
        for (auto [s, v] : stems)
            out = Cat({out, K(std::string("Control_") + s, manual),
                       K(std::string("Control_") + s + "SubType", "0"),
                       K(std::string("Control_Sensitivity_") + s, "100"), K(std::string("Value_") + s, v)});
        return Cat({out, K("Control_Input", ""), K("Control_InputSubType", "0"),
                    K("Control_Sensitivity_Input", "100"), K("Control_Velocity_Input", "100"),
                    K("Value_Input", "0")});
    }
    case MK::ControlMIDIControllerInput:
        return K("InputDeviceID", "-555");
    }
    return {};
}

TEST(ConfigKinds, NewModulesSaveTheCatalogueKeysAndDefaults) {
    Engine engine;
    Patch patch(engine);
    for (int k = 0; k < kKindCount; ++k) {
        const ModuleKind kind = KindAt(k);
        Module* m = patch.CreateModule(kind, {0, 0});
        ASSERT_NE(m, nullptr) << k;
        std::string expected =
            "\r\n[" + std::string(Info(kind).keyword) + "]\r\nName=" + m->name + "\r\nPosition=0,0";
        for (const std::string& line : ExpectedDefaults(kind)) expected += "\r\n" + line;
        expected += "\r\n";
        EXPECT_EQ(utf::Utf16ToUtf8(WriteSection(*m, patch)), expected) << Info(kind).keyword;
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

    // Every key holds a value other than a new module's default.
    Engine freshEngine;
    Patch fresh(freshEngine);
    for (int k = 0; k < kKindCount; ++k) fresh.CreateModule(KindAt(k), {0, 0});
    const std::string firstUtf8 = utf::Utf16ToUtf8(first);
    fresh.ForEachModule([&](const Module& m) {
        ForEachWrittenKey(m, fresh, [&](const WrittenKey& w) {
            if (w.role == KeyRole::LinkSubType || w.role == KeyRole::InputSubType)
                return; // follow the sources
            const std::u16string section = WriteSection(m, fresh);
            std::string line = "\r\n" + w.key + "=";
            const std::string s = utf::Utf16ToUtf8(section);
            const size_t at = s.find(line);
            ASSERT_NE(at, std::string::npos);
            line = s.substr(at, s.find("\r\n", at + 2) - at);
            EXPECT_EQ(firstUtf8.find(line + "\r\n"), std::string::npos) << "default left in " << line;
        });
    });

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
