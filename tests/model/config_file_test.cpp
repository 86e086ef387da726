// Patch files: sections, the two-pass load, the writer's exact bytes and the failures reported.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/engine.hpp"
#include "i18n/utf.hpp"
#include "model/config_file.hpp"
#include "model/config_values.hpp"
#include "model/patch.hpp"

namespace mw {
namespace {

std::u16string U(std::string_view s) {
    return utf::Utf8ToUtf16(s);
}
std::string N(std::u16string_view s) {
    return utf::Utf16ToUtf8(s);
}

std::vector<std::string> Sections(std::u16string_view text) {
    std::vector<std::string> out;
    SectionScanner scanner(text);
    std::u16string_view s;
    while (scanner.Next(s)) out.push_back(N(s));
    return out;
}

Module* Only(Patch& patch, ModuleKind kind) {
    const auto list = patch.Modules(kind);
    return list.size() == 1 ? list[0] : nullptr;
}

std::filesystem::path TempDir() {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("mw_config_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                      "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    return dir;
}

TEST(ConfigSections, SectionsStartAtBracketsAfterALineFeed) {
    const std::u16string text = U("## header ##\r\n\r\n[A]\r\nName=x[y]\r\n\r\n[B] more\r\n[C]\r[D]\n[E]");
    EXPECT_EQ(Sections(text),
              (std::vector<std::string>{"[A]\r\nName=x[y]\r\n\r\n", "[B] more\r\n", "[C]\r[D]\n", "[E]"}));
    EXPECT_EQ(Sections(U("[First]\r\nKey=1")), (std::vector<std::string>{"[First]\r\nKey=1"}));
    EXPECT_TRUE(Sections(U("no sections [here]")).empty());
    EXPECT_TRUE(Sections(u"").empty());
}

TEST(ConfigSections, KeywordsIgnoreCaseBracketsAndTrailingText) {
    EXPECT_EQ(SectionKind(u"[Module_AudioOsc]\r\n"), ModuleKind::AudioOsc);
    EXPECT_EQ(SectionKind(u"[module_audioosc] trailing text\r\n"), ModuleKind::AudioOsc);
    EXPECT_EQ(SectionKind(u"[ ({Module_ControlMIDIControllerInput}) ]"),
              ModuleKind::ControlMIDIControllerInput);
    EXPECT_EQ(SectionKind(u"[Module_AudioOutput(x)"), ModuleKind::AudioOutput);
    EXPECT_EQ(SectionKind(u"[Module_AudioOscX]"), std::nullopt);
    EXPECT_EQ(SectionKind(u"[Module_AudioOsc\r\nName=a b]"),
              std::nullopt); // the keyword runs on over the line break
    EXPECT_EQ(SectionKind(u"[]"), std::nullopt);
}

class ConfigFileTest : public ::testing::Test {
protected:
    Engine engine;
    Patch patch{engine};

    std::u16string Save() { return ConfigurationText(patch); }
    size_t Load(std::u16string_view text, Point origin = {}) {
        return LoadConfigurationText(patch, text, origin);
    }
    size_t Load(std::string_view utf8, Point origin = {}) {
        return Load(std::u16string_view(U(utf8)), origin);
    }
};

TEST_F(ConfigFileTest, NewOscillatorIsSavedWithTheCatalogueDefaults) {
    patch.CreateModule(ModuleKind::AudioOsc, {881, 348});
    const std::u16string text = Save();
    const std::string expected = "\xEF\xBB\xBF## Murmelwerk Configuration (MWC) ##\r\n"
                                 "\r\n[Module_AudioOsc]"
                                 "\r\nName=Oscillator module 1"
                                 "\r\nPosition=881,348"
                                 "\r\nAmplitudeControl=-[Manual]-\r\nAmplitudeControlSubType=0"
                                 "\r\nAmplitudeControlSensitivity=100\r\nAmplitudeValue=500"
                                 "\r\nFrequencyControl=-[Manual]-\r\nFrequencyControlSubType=0"
                                 "\r\nFrequencyControlSensitivity=100\r\nBaseFrequencyValue=4.4"
                                 "\r\nFrequencyMultiplierValue=100"
                                 "\r\nNoiseControl=-[Manual]-\r\nNoiseControlSubType=0"
                                 "\r\nNoiseControlSensitivity=100\r\nNoiseValue=0"
                                 "\r\nWaveformControl=-[Manual]-\r\nWaveformControlSubType=0"
                                 "\r\nWaveformControlSensitivity=100\r\nWaveformValue=0"
                                 "\r\nRampControl=-[Manual]-\r\nRampControlSubType=0"
                                 "\r\nRampControlSensitivity=100\r\nRampValue=0"
                                 "\r\nPhaseControl=-[Manual]-\r\nPhaseControlSubType=0"
                                 "\r\nPhaseControlSensitivity=100\r\nPhaseValue=0"
                                 "\r\nStepSizeControl=-[Manual]-\r\nStepSizeControlSubType=0"
                                 "\r\nStepSizeControlSensitivity=100\r\nStepSizeValue=0"
                                 "\r\nOutputDeviceID=-1 (L+R)"
                                 "\r\n";
    EXPECT_EQ(N(text), expected);
    const std::string bytes = ToFileBytes(text);
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\xFF\xFE\x23\x00\x23\x00", 6));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\r\0\n\0", 4));

    // Loaded back: the same keys and values.
    Engine engine2;
    Patch patch2(engine2);
    EXPECT_EQ(LoadConfigurationText(patch2, text), 1u);
    EXPECT_EQ(ConfigurationText(patch2), text);
}

TEST_F(ConfigFileTest, HeaderTextIsAParameter) {
    const std::u16string text = ConfigurationText(patch, "Murmelwerk-Konfiguration (MWC)");
    EXPECT_EQ(N(text), "\xEF\xBB\xBF## Murmelwerk-Konfiguration (MWC) ##\r\n");
}

TEST_F(ConfigFileTest, LowerCaseKeywordsAndKeysLoadLikeTheSavedFile) {
    Module* mod = patch.CreateModule(ModuleKind::ControlModulator, {10, 20});
    Module* osc = patch.CreateModule(ModuleKind::AudioOsc, {30, 40});
    osc->Link(osc::Amplitude).source = mod->slot[0].load();
    osc->Link(osc::Frequency).source = MeasureSource(MouseMeasure::SpeedRaw);
    osc->Link(osc::Frequency).value = 0.3;
    osc->devices[osc::Output] = 203;
    mod->enums[modulator::Effect] = modulator::AM;
    mod->bools[modulator::SignedOutput] = true;
    const std::u16string saved = Save();

    // Lower-case every keyword and key (the text before "=" on each line), keep the values.
    std::string lower;
    std::string text = N(saved);
    bool inKey = true;
    for (char c : text) {
        if (c == '\n') inKey = true;
        if (c == '=') inKey = false;
        lower.push_back(inKey && c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c);
    }
    ASSERT_NE(
        lower.find("[module_audioosc]\r\nname=Oscillator module 1\r\nposition=30,40\r\namplitudecontrol="),
        std::string::npos);
    ASSERT_NE(lower.find("name=Oscillator module 1"), std::string::npos);

    Engine engine2;
    Patch patch2(engine2);
    LoadConfigurationText(patch2, U(lower));
    EXPECT_EQ(ConfigurationText(patch2), saved);
    const Module* osc2 = Only(patch2, ModuleKind::AudioOsc);
    ASSERT_NE(osc2, nullptr);
    EXPECT_EQ(osc2->Link(osc::Frequency).source, 1014);
    EXPECT_EQ(osc2->Link(osc::Amplitude).source, Only(patch2, ModuleKind::ControlModulator)->slot[0]);
    EXPECT_EQ(osc2->Device(osc::Output), 203);
}

TEST_F(ConfigFileTest, PositionsAreClientCoordinates) {
    Load("[Module_ControlInput]\r\nPosition=881,348\r\n"
         "[Module_ControlInput]\r\nPosition=881, 348\r\n"
         "[Module_ControlInput]\r\nPosition=-5,--7\r\n"
         "[Module_ControlInput]\r\nPosition=12\r\n"
         "[Module_ControlInput]\r\nPosition=x,9\r\n",
         Point{100, 50});
    const auto list = patch.Modules(ModuleKind::ControlInput);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0]->position, (Point{981, 398})); // converted to screen coordinates
    EXPECT_EQ(list[1]->position, (Point{981, 398}));
    EXPECT_EQ(list[2]->position, (Point{95, 50})); // y after "-5," is "--7": unreadable, stays
    EXPECT_EQ(list[3]->position, (Point{112, 50}));
    EXPECT_EQ(list[4]->position, (Point{100, 50})); // x unreadable; y is read from "x" too (nothing stripped)
    const std::string saved = N(ConfigurationText(patch, kDefaultConfigHeader, Point{100, 50}));
    EXPECT_NE(saved.find("\r\nPosition=881,348\r\n"), std::string::npos);
}

TEST_F(ConfigFileTest, BooleansAreOneOrTrueAndFalseWhenAbsent) {
    Load("[Module_AudioEcho]\r\nName=a\r\nDoLongMode=true\r\n"
         "[Module_AudioEcho]\r\nName=b\r\nDoLongMode=yes\r\n"
         "[Module_AudioEcho]\r\nName=c\r\n"
         "[Module_AudioEcho]\r\nName=d\r\nDoLongMode=1\r\n"
         "[Module_AudioWaveWriter]\r\nName=w\r\n");
    const auto echoes = patch.Modules(ModuleKind::AudioEcho);
    ASSERT_EQ(echoes.size(), 4u);
    EXPECT_TRUE(echoes[0]->Bool(audio_echo::LongMode));
    EXPECT_FALSE(echoes[1]->Bool(audio_echo::LongMode));
    EXPECT_FALSE(echoes[2]->Bool(audio_echo::LongMode));
    EXPECT_TRUE(echoes[3]->Bool(audio_echo::LongMode));
    // A new wave writer appends, but a section without DoAppend does not.
    EXPECT_TRUE(Module(ModuleKind::AudioWaveWriter).Bool(wave_writer::Append));
    EXPECT_FALSE(Only(patch, ModuleKind::AudioWaveWriter)->Bool(wave_writer::Append));
}

TEST_F(ConfigFileTest, AbsentAndUnreadableNumbersKeepTheDefaults) {
    Load("[Module_AudioOsc]\r\nName=o\r\nAmplitudeValue=nan\r\nAmplitudeControlSensitivity=inf\r\n"
         "BaseFrequencyValue=12abc\r\nFrequencyMultiplierValue=x\r\nNoiseValue= -3 \r\n"
         "[Module_ControlMIDIInput]\r\nName=m\r\nInputDeviceID=99999999999\r\n"
         "[Module_AudioInput]\r\nName=i\r\nInputDeviceID=2\r\n");
    const Module* o = Only(patch, ModuleKind::AudioOsc);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->Link(osc::Amplitude).value, 500.0);
    EXPECT_EQ(o->Link(osc::Amplitude).sensitivity, 100.0);
    EXPECT_EQ(o->Link(osc::Frequency).value, 12.0);
    EXPECT_EQ(o->Real(osc::FrequencyMultiplier), 100.0);
    EXPECT_EQ(o->Link(osc::Noise).value, -3.0);
    // Absent source keys give nothing (-1), an absent OutputDeviceID no output.
    EXPECT_EQ(o->Link(osc::Amplitude).source, kNoSource);
    EXPECT_EQ(o->Device(osc::Output), -555);
    EXPECT_EQ(Only(patch, ModuleKind::ControlMIDIInput)->Int(midi_input::InputDevice), -555);
    EXPECT_EQ(Only(patch, ModuleKind::AudioInput)->Int(audio_input::InputDevice), 2);
}

TEST_F(ConfigFileTest, OutputDeviceIdsInTheLinkPass) {
    Load("[Module_AudioOsc]\r\nName=a\r\nOutputDeviceID=2 (l)\r\n"
         "[Module_AudioOsc]\r\nName=b\r\nOutputDeviceID=-1 (R)\r\n"
         "[Module_AudioOsc]\r\nName=c\r\nOutputDeviceID=3\r\n"
         "[Module_AudioOutputSplit]\r\nName=s\r\nOutputDeviceID1=0 (L+R)\r\nOutputDeviceID2=1 (R)\r\n");
    const auto oscs = patch.Modules(ModuleKind::AudioOsc);
    ASSERT_EQ(oscs.size(), 3u);
    EXPECT_EQ(oscs[0]->Device(osc::Output), 102);
    EXPECT_EQ(oscs[1]->Device(osc::Output), 199);
    EXPECT_EQ(oscs[2]->Device(osc::Output), -555);
    const Module* split = Only(patch, ModuleKind::AudioOutputSplit);
    EXPECT_EQ(split->Device(output_split::Output1), 0);
    EXPECT_EQ(split->Device(output_split::Output2), 201);
}

TEST_F(ConfigFileTest, LinksResolveByNameAndSubTypeAfterAllModulesExist) {
    // The oscillator comes first and names modules further down the file.
    Load("[Module_AudioOsc]\r\nName=Osc\r\n"
         "AmplitudeControl=sensor\r\nAmplitudeControlSubType=1.9\r\n"
         "FrequencyControl=MIDI-Input Module 1\r\nFrequencyControlSubType=0\r\n"
         "NoiseControl=Sensor\r\nNoiseControlSubType=2\r\n"
         "WaveformControl=-[manual]-\r\nWaveformControlSubType=7\r\n"
         "RampControl=-[Invalid]-\r\n"
         "PhaseControl=Nobody\r\n"
         "StepSizeControl=scroll velocity\r\n"
         "[Module_ControlMIDIInput]\r\nName=MIDI-Input Module 1\r\n"
         "[Module_ControlSensor]\r\nName=Sensor\r\n");
    const Module* o = Only(patch, ModuleKind::AudioOsc);
    const Module* sensor = Only(patch, ModuleKind::ControlSensor);
    ASSERT_TRUE(o && sensor);
    EXPECT_EQ(o->Link(osc::Amplitude).source, sensor->slot[1]); // SubType 1.9 truncates to 1
    EXPECT_EQ(o->Link(osc::Frequency).source, Only(patch, ModuleKind::ControlMIDIInput)->slot[0]);
    EXPECT_EQ(o->Link(osc::Noise).source, kNoSource); // the sensor has no output 2
    EXPECT_EQ(o->Link(osc::Waveform).source, kManualSource);
    EXPECT_EQ(o->Link(osc::Ramp).source, kNoSource);
    EXPECT_EQ(o->Link(osc::Phase).source, kNoSource);
    EXPECT_EQ(o->Link(osc::StepSize).source, 1012);
    // Saved: names and SubTypes written from the links.
    const std::string saved = N(Save());
    EXPECT_NE(saved.find("\r\nAmplitudeControl=Sensor\r\nAmplitudeControlSubType=1\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\nRampControl=\r\nRampControlSubType=0\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\nStepSizeControl=Scroll Velocity\r\n"), std::string::npos);
}

TEST_F(ConfigFileTest, RemovedSourcesAreSavedAsInvalid) {
    Module* a = patch.CreateModule(ModuleKind::ControlInput, {0, 0});
    Module* o = patch.CreateModule(ModuleKind::AudioOsc, {0, 0});
    o->Link(osc::Amplitude).source = a->slot[0].load();
    patch.RemoveModule(a);
    const std::string saved = N(Save());
    EXPECT_NE(saved.find("\r\nAmplitudeControl=-[Invalid]-\r\nAmplitudeControlSubType=0\r\n"),
              std::string::npos);
    Load(saved);
    EXPECT_EQ(Only(patch, ModuleKind::AudioOsc)->Link(osc::Amplitude).source, kNoSource);
}

TEST_F(ConfigFileTest, BracketsInValuesAndAtLineStarts) {
    Load("[Module_AudioOsc]\r\nName=Osc [1]\r\nAmplitudeValue=200\r\n"
         "[Module_AudioOsc]\r\nName=Broken\r\n[not a section]\r\nAmplitudeValue=300\r\n");
    const auto oscs = patch.Modules(ModuleKind::AudioOsc);
    ASSERT_EQ(oscs.size(), 2u);
    EXPECT_EQ(oscs[0]->name, "Osc [1]");
    EXPECT_EQ(oscs[0]->Link(osc::Amplitude).value, 200.0);
    // The "[" at the line start ended the second section; its last key went to an unknown section.
    EXPECT_EQ(oscs[1]->name, "Broken");
    EXPECT_EQ(oscs[1]->Link(osc::Amplitude).value, 500.0);
}

TEST_F(ConfigFileTest, Enumerations) {
    Load("[Module_ControlModulator]\r\nName=a\r\nEffect=AM\r\n"
         "[Module_ControlModulator]\r\nName=b\r\nEffect=fm\r\n"
         "[Module_ControlModulator]\r\nName=c\r\nEffect=0\r\n"
         "[Module_ControlModulator]\r\nName=d\r\n"
         "[Module_ControlModulator]\r\nName=e\r\nEffect=7\r\n"
         "[Module_ControlModulator]\r\nName=f\r\nEffect=PM\r\n"
         "[Module_AudioOutputAnalyzer]\r\nName=g\r\nMode=analyzer\r\n"
         "[Module_AudioOutputAnalyzer]\r\nName=h\r\nMode=0\r\n"
         "[Module_AudioOutputAnalyzer]\r\nName=i\r\n"
         "[Module_ControlNoteEnvelope]\r\nName=j\r\nOutputMode=replace velocity AND signal\r\n"
         "[Module_ControlNeuron]\r\nName=k\r\nEnergyFunctionControl=Linear ( Identity )\r\n");
    std::vector<int> effects;
    for (const Module* m : patch.Modules(ModuleKind::ControlModulator))
        effects.push_back(m->Enum(modulator::Effect));
    EXPECT_EQ(effects, (std::vector<int>{0, 1, 0, -1, -1, -1}));
    std::vector<int> modes;
    for (const Module* m : patch.Modules(ModuleKind::AudioOutputAnalyzer))
        modes.push_back(m->Enum(analyzer::Mode));
    EXPECT_EQ(modes, (std::vector<int>{0, 1, 1})); // texts only; anything else keeps Oscilloscope
    EXPECT_EQ(Only(patch, ModuleKind::ControlNoteEnvelope)->Enum(note_envelope::OutputMode), 5);
    EXPECT_EQ(Only(patch, ModuleKind::ControlNeuron)->Enum(neuron::EnergyFunction), 0);
    // -1 is written as an empty text.
    EXPECT_NE(N(Save()).find("\r\nName=d\r\nPosition=0,0\r\nEffect=\r\n"), std::string::npos);
}

TEST_F(ConfigFileTest, MidiSliderControllers) {
    Load("[Module_ControlMIDIControllerInput]\r\nName=S\r\nInputDeviceID=0\r\n"
         "Controller1=5\r\nController2=6x\r\nController3=-7\r\nController4=\r\nController5=x\r\n"
         "[Module_ControlMIDIControllerInput]\r\nName=T\r\nController2=-65543\r\n");
    const auto sliders = patch.Modules(ModuleKind::ControlMIDIControllerInput);
    ASSERT_EQ(sliders.size(), 2u);
    const Module& s = *sliders[0];
    ASSERT_EQ(s.sliderCount, 3);
    EXPECT_EQ((*s.sliders)[0].controller, 5);
    EXPECT_EQ((*s.sliders)[1].controller, 6);
    EXPECT_EQ((*s.sliders)[2].controller, 7);
    EXPECT_TRUE((*s.sliders)[2].negative);
    EXPECT_FALSE((*s.sliders)[1].negative);
    for (int k = 0; k < 3; ++k) {
        const int slot = (*s.sliders)[k].slot;
        ASSERT_GE(slot, 0);
        EXPECT_EQ(engine.slots[slot].outputIndex, k);
        EXPECT_EQ(engine.slots[slot].module.load(), &s);
    }
    EXPECT_GE(s.sinkSlot, 0);
    EXPECT_EQ(s.Int(midi_slider::InputDevice), 0);
    // The absolute value masked to 16 bits: 65543 & 0xFFFF = 7. The sliders are kept in order without gaps.
    const Module& t = *sliders[1];
    ASSERT_EQ(t.sliderCount, 1);
    EXPECT_EQ((*t.sliders)[0].controller, 7);
    EXPECT_TRUE((*t.sliders)[0].negative);
    const std::string saved = N(Save());
    EXPECT_NE(saved.find("\r\nInputDeviceID=0\r\nController1=5\r\nController2=6\r\nController3=-7\r\n\r\n"),
              std::string::npos);
    EXPECT_NE(saved.find("\r\nInputDeviceID=-555\r\nController1=-7\r\n"), std::string::npos);
}

TEST_F(ConfigFileTest, MidiSliderSignOfControllerZeroSurvives) {
    Module* s = patch.CreateModule(ModuleKind::ControlMIDIControllerInput, {0, 0});
    ASSERT_TRUE(patch.AddSlider(s, 0, true));
    const std::u16string saved = Save();
    EXPECT_NE(N(saved).find("\r\nController1=-0\r\n"), std::string::npos);
    Load(saved);
    const Module* r = Only(patch, ModuleKind::ControlMIDIControllerInput);
    ASSERT_EQ(r->sliderCount, 1);
    EXPECT_EQ((*r->sliders)[0].controller, 0);
    EXPECT_TRUE((*r->sliders)[0].negative);
}

TEST_F(ConfigFileTest, TextsAndEscapes) {
    Module* seq = patch.CreateModule(ModuleKind::ControlSequence, {0, 0});
    seq->texts[sequence::SequenceText] = "C4 D4\tE4\r\nF#4 100%";
    Module* w = patch.CreateModule(ModuleKind::AudioWaveWriter, {0, 0});
    w->texts[wave_writer::FilePath] = "/tmp/take \xFF one.wav"; // not UTF-8: a path of any bytes
    patch.Rename(w, "Line\r\nbreak");
    const std::u16string saved = Save();
    const std::string text = N(saved);
    EXPECT_NE(text.find("\r\nSequenceValue=C4%20D4%09E4\\nF#4%20100%25\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nName=Line  break\r\n"), std::string::npos); // a name stays on its line
    Load(saved);
    EXPECT_EQ(Only(patch, ModuleKind::ControlSequence)->texts[sequence::SequenceText],
              "C4 D4\tE4\r\nF#4 100%");
    EXPECT_EQ(Only(patch, ModuleKind::AudioWaveWriter)->texts[wave_writer::FilePath],
              "/tmp/take \xFF one.wav");
    EXPECT_EQ(ConfigurationText(patch), saved);
}

TEST_F(ConfigFileTest, LoadingReplacesThePatchAndCountsAgainstItsSlots) {
    for (int i = 0; i < 120; ++i) ASSERT_NE(patch.CreateModule(ModuleKind::ControlInput, {0, 0}), nullptr);
    std::string text;
    for (int i = 0; i < 10; ++i) text += "[Module_AudioOsc]\r\nName=O" + std::to_string(i) + "\r\n";
    text += "[Module_AudioOutputSplit]\r\nName=two slots\r\n";
    EXPECT_EQ(ParseConfiguration(patch, U(text)), 8u); // the old modules still hold 120 slots
    EXPECT_EQ(patch.Count(ModuleKind::ControlInput), 120u);
    LinkConfiguration(patch);
    EXPECT_EQ(patch.Count(ModuleKind::ControlInput), 0u);
    EXPECT_EQ(patch.Count(ModuleKind::AudioOsc), 8u);
    EXPECT_EQ(patch.Count(ModuleKind::AudioOutputSplit), 0u);
    for (const Module* m : patch.Modules(ModuleKind::AudioOsc)) EXPECT_TRUE(m->sectionText.empty());
    // Loaded again, with the 8 oscillators still holding their slots during the first pass, all fit.
    EXPECT_EQ(Load(text), 11u);
    EXPECT_EQ(patch.Count(ModuleKind::AudioOsc), 10u);
    EXPECT_EQ(patch.Count(ModuleKind::AudioOutputSplit), 1u);
}

TEST_F(ConfigFileTest, TheLinkPassKeepsLinksOfModulesWithoutASectionText) {
    ParseConfiguration(patch, U("[Module_AudioOsc]\r\nName=loaded\r\nAmplitudeControl=Speed\r\n"));
    // A module added by hand between the passes keeps its manual links.
    Module* added = patch.CreateModule(ModuleKind::AudioOsc, {0, 0});
    LinkConfiguration(patch);
    EXPECT_EQ(added->Link(osc::Amplitude).source, kManualSource);
    EXPECT_EQ(patch.Modules(ModuleKind::AudioOsc)[0]->Link(osc::Amplitude).source, 1003);
}

TEST_F(ConfigFileTest, ATextWithoutSectionsClearsThePatch) {
    patch.CreateModule(ModuleKind::AudioOsc, {0, 0});
    EXPECT_EQ(Load(std::u16string_view{}), 0u);
    EXPECT_EQ(patch.TotalCount(), 0u);
    patch.CreateModule(ModuleKind::AudioOsc, {0, 0});
    EXPECT_EQ(Load("## header only ##\r\n[Module_Unknown]\r\nName=x\r\n"), 0u);
    EXPECT_EQ(patch.TotalCount(), 0u);
}

TEST_F(ConfigFileTest, DamagedBytesNeverCrash) {
    // Odd length, no BOM, a lone surrogate, a NUL, a huge line.
    std::u16string text = u"[Module_AudioOsc]\r\nName=";
    text += char16_t(0xD800);
    text += u'x';
    text += char16_t(0);
    text += std::u16string(100000, u'A');
    const std::string bytes = ToFileBytes(text) + "\x01";
    Load(FromFileBytes(bytes));
    const Module* o = Only(patch, ModuleKind::AudioOsc);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->name.substr(0, 4), "\xEF\xBF\xBDx"); // the lone surrogate became U+FFFD
    EXPECT_EQ(o->name.size(), 3u + 1u + 1u + 100000u);
    EXPECT_EQ(FromFileBytes(std::string("\x41", 1)), u"");
}

TEST_F(ConfigFileTest, FilesAndTheirFailures) {
    const auto dir = TempDir();
    patch.CreateModule(ModuleKind::AudioOsc, {1, 2});
    const std::string path = (dir / "one.mwc").string();
    ASSERT_EQ(SaveConfigurationFile(patch, path), ConfigStatus::Ok);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, ToFileBytes(Save()));

    Engine engine2;
    Patch patch2(engine2);
    EXPECT_EQ(LoadConfigurationFile(patch2, path), ConfigStatus::Ok);
    EXPECT_EQ(ConfigurationText(patch2), Save());

    // A hand-written file whose first section follows the byte-order mark directly keeps that section.
    const std::string handWritten = (dir / "hand.mwc").string();
    {
        std::ofstream h(handWritten, std::ios::binary);
        h << ToFileBytes(
            u"\xFEFF[Module_AudioOsc]\r\nName=First\r\n\r\n[Module_AudioOsc]\r\nName=Second\r\n");
    }
    Engine engine3;
    Patch patch3(engine3);
    EXPECT_EQ(LoadConfigurationFile(patch3, handWritten), ConfigStatus::Ok);
    ASSERT_EQ(patch3.TotalCount(), 2u);
    EXPECT_EQ(patch3.Modules(ModuleKind::AudioOsc)[0]->name, "First");

    // A file that cannot be opened leaves the patch as it was.
    EXPECT_EQ(LoadConfigurationFile(patch2, (dir / "missing.mwc").string()), ConfigStatus::OpenFailed);
    EXPECT_EQ(LoadConfigurationFile(patch2, dir.string()), ConfigStatus::OpenFailed); // a folder
    EXPECT_EQ(patch2.TotalCount(), 1u);
    EXPECT_EQ(SaveConfigurationFile(patch, (dir / "no" / "such" / "folder.mwc").string()),
              ConfigStatus::CreateFailed);
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(SaveConfigurationFile(patch, "/dev/full"), ConfigStatus::WriteFailed);
    }

    EXPECT_EQ(MessageFor(ConfigStatus::Ok), std::nullopt);
    EXPECT_EQ(MessageFor(ConfigStatus::CreateFailed)->text, 149);
    EXPECT_EQ(MessageFor(ConfigStatus::CreateFailed)->caption, 150);
    EXPECT_EQ(MessageFor(ConfigStatus::WriteFailed)->text, 156);
    EXPECT_EQ(MessageFor(ConfigStatus::WriteFailed)->caption, 157);
    EXPECT_EQ(MessageFor(ConfigStatus::OpenFailed)->text, 159);
    EXPECT_EQ(MessageFor(ConfigStatus::OpenFailed)->englishCaption,
              "The file could not be opened for reading.");
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace mw
