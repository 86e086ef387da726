// Patch files: sections, the two-pass load, the writer's exact bytes and the failures reported.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <tuple>

#include "../i18n/language_test_support.hpp"
#include "base/utf.hpp"
#include "engine/engine.hpp"
#include "model/config_values.hpp"
#include "patch/config_file.hpp"
#include "patch/patch.hpp"

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

TEST(ConfigSections, SectionsStartAtBracketsAfterALineFeed) {
    const std::u16string text = U("## header ##\r\n\r\n[A]\r\nName=x[y]\r\n\r\n[B] more\r\n[C]\r[D]\n[E]");
    EXPECT_EQ(Sections(text),
              (std::vector<std::string>{"[A]\r\nName=x[y]\r\n\r\n", "[B] more\r\n", "[C]\r[D]\n", "[E]"}));
    EXPECT_EQ(Sections(U("[First]\r\nKey=1")), (std::vector<std::string>{"[First]\r\nKey=1"}));
    EXPECT_TRUE(Sections(U("no sections [here]")).empty());
    EXPECT_TRUE(Sections(u"").empty());
}

TEST(ConfigSections, KeywordsIgnoreCaseBracketsAndTrailingText) {
    // (a keyword runs on over a line break)
    const std::pair<std::u16string_view, std::optional<ModuleKind>> rows[] = {
        {u"[Module_AudioOsc]\r\n", ModuleKind::AudioOsc},
        {u"[module_audioosc] trailing text\r\n", ModuleKind::AudioOsc},
        {u"[ ({Module_ControlMIDIControllerInput}) ]", ModuleKind::ControlMIDIControllerInput},
        {u"[Module_AudioOutput(x)", ModuleKind::AudioOutput},
        {u"[Module_AudioOscX]", std::nullopt},
        {u"[Module_AudioOsc\r\nName=a b]", std::nullopt},
        {u"[]", std::nullopt}};
    for (const auto& [text, kind] : rows) EXPECT_EQ(SectionKind(text), kind) << N(text);
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

TEST_F(ConfigFileTest, FileBytesOfANewModule) {
    EXPECT_EQ(N(ConfigurationText(patch, "Murmelwerk-Konfiguration (MWC)")),
              "\xEF\xBB\xBF## Murmelwerk-Konfiguration (MWC) ##\r\n"); // the header text is a parameter
    patch.CreateModule(ModuleKind::ControlSensor, {881, 348});
    const std::u16string text = Save();
    EXPECT_EQ(
        N(text),
        "\xEF\xBB\xBF## Murmelwerk Configuration (MWC) ##\r\n"
        "\r\n[Module_ControlSensor]\r\nName=S 1\r\nPosition=881,348\r\nAngleValue=0\r\nDoSignedOutput=0\r\n");
    const std::string bytes = ToFileBytes(text);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\xFF\xFE\x23\x00\x23\x00", 6));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\r\0\n\0", 4));
}

TEST_F(ConfigFileTest, LowerCaseKeywordsAndKeysLoadLikeTheSavedFile) {
    Module* mod = patch.CreateModule(ModuleKind::ControlModulator, {10, 20});
    Module* osc = patch.CreateModule(ModuleKind::AudioOsc, {30, 40});
    osc->Link(osc::Amplitude).source = mod->slot[0].load();
    osc->Link(osc::Frequency).source = MeasureSource(MouseMeasure::SpeedRaw);
    osc->devices[osc::Output] = 203;
    mod->enums[modulator::Effect] = modulator::AM;
    mod->bools[modulator::SignedOutput] = true;
    const std::u16string saved = Save();
    // Lower-case every keyword and key (the text before "=" on each line), keep the values.
    std::string lower = N(saved);
    bool inKey = true;
    for (char& c : lower) {
        inKey = c == '\n' || (inKey && c != '=');
        if (inKey && c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    ASSERT_NE(
        lower.find("[module_audioosc]\r\nname=Oscillator module 1\r\nposition=30,40\r\namplitudecontrol="),
        std::string::npos);
    Load(lower);
    EXPECT_EQ(Save(), saved);
}

TEST_F(ConfigFileTest, PositionsAreClientCoordinates) {
    Load("[Module_ControlInput]\r\nPosition=881,348\r\n"
         "[Module_ControlInput]\r\nPosition=881, 348\r\n"
         "[Module_ControlInput]\r\nPosition=-5,--7\r\n"
         "[Module_ControlInput]\r\nPosition=12\r\n"
         "[Module_ControlInput]\r\nPosition=x,9\r\n",
         Point{100, 50});
    // Converted to screen coordinates; an unreadable number ("--7"; "x", from which y is read too) stays.
    std::vector<Point> positions;
    for (const Module* m : patch.Modules(ModuleKind::ControlInput)) positions.push_back(m->position);
    EXPECT_EQ(positions, (std::vector<Point>{{981, 398}, {981, 398}, {95, 50}, {112, 50}, {100, 50}}));
    const std::string saved = N(ConfigurationText(patch, kDefaultConfigHeader, Point{100, 50}));
    EXPECT_NE(saved.find("\r\nPosition=881,348\r\n"), std::string::npos);
}

TEST_F(ConfigFileTest, ValuesAreReadInTheirFormsAndUnreadableOnesKeepTheDefaults) {
    Load("[Module_AudioOsc]\r\nName=o\r\nAmplitudeValue=nan\r\nAmplitudeControlSensitivity=inf\r\n"
         "BaseFrequencyValue=12abc\r\nFrequencyMultiplierValue=x\r\nNoiseValue= -3 \r\n"
         "[Module_ControlMIDIInput]\r\nName=m\r\nInputDeviceID=99999999999\r\n"
         "[Module_AudioInput]\r\nName=i\r\nInputDeviceID=2\r\n"
         "[Module_AudioEcho]\r\nName=a\r\nDoLongMode=true\r\n"
         "[Module_AudioEcho]\r\nName=b\r\nDoLongMode=yes\r\n"
         "[Module_AudioOutputSplit]\r\nName=s\r\nOutputDeviceID1=0 (L+R)\r\nOutputDeviceID2=1 (R)\r\n");
    const Module* o = Only(patch, ModuleKind::AudioOsc);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ((std::array<double, 5>{o->Link(osc::Amplitude).value, o->Link(osc::Amplitude).sensitivity,
                                     o->Link(osc::Frequency).value, o->Real(osc::FrequencyMultiplier),
                                     o->Link(osc::Noise).value}),
              (std::array{500.0, 100.0, 12.0, 100.0, -3.0}));
    EXPECT_EQ(Only(patch, ModuleKind::ControlMIDIInput)->Int(midi_input::InputDevice), -555);
    EXPECT_EQ(Only(patch, ModuleKind::AudioInput)->Int(audio_input::InputDevice), 2);
    std::vector<bool> longModes;
    for (const Module* m : patch.Modules(ModuleKind::AudioEcho))
        longModes.push_back(m->Bool(audio_echo::LongMode));
    EXPECT_EQ(longModes, (std::vector<bool>{true, false}));
    // Output devices are read in the link pass, each of a module's keys on its own.
    const Module* split = Only(patch, ModuleKind::AudioOutputSplit);
    EXPECT_EQ(std::tuple(split->Device(output_split::Output1), split->Device(output_split::Output2)),
              std::tuple(0, 201));
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
    Module* sensor = Only(patch, ModuleKind::ControlSensor);
    ASSERT_TRUE(o && sensor);
    // SubType 1.9 truncates to 1; the sensor has no output 2.
    const std::pair<int, SourceId> links[] = {
        {osc::Amplitude, sensor->slot[1]},
        {osc::Frequency, Only(patch, ModuleKind::ControlMIDIInput)->slot[0]},
        {osc::Noise, kNoSource},
        {osc::Waveform, kManualSource},
        {osc::Ramp, kNoSource},
        {osc::Phase, kNoSource},
        {osc::StepSize, 1012}};
    for (const auto& [link, source] : links) EXPECT_EQ(o->Link(link).source, source) << link;
    // Saved: names and SubTypes written from the links.
    const std::string saved = N(Save());
    EXPECT_NE(saved.find("\r\nAmplitudeControl=Sensor\r\nAmplitudeControlSubType=1\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\nRampControl=\r\nRampControlSubType=0\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\nStepSizeControl=Scroll Velocity\r\n"), std::string::npos);
    // A source whose module was removed is saved as "-[Invalid]-", which loads as no source.
    patch.RemoveModule(sensor);
    const std::string removed = N(Save());
    EXPECT_NE(removed.find("\r\nAmplitudeControl=-[Invalid]-\r\nAmplitudeControlSubType=0\r\n"),
              std::string::npos);
    Load(removed);
    EXPECT_EQ(Only(patch, ModuleKind::AudioOsc)->Link(osc::Amplitude).source, kNoSource);
}

TEST_F(ConfigFileTest, BracketsInValuesAndAtLineStarts) {
    Load("[Module_AudioOsc]\r\nName=Osc [1]\r\nAmplitudeValue=200\r\n"
         "[Module_AudioOsc]\r\nName=Broken\r\n[not a section]\r\nAmplitudeValue=300\r\n");
    // The "[" at the line start ended the second section; its last key went to an unknown section.
    std::vector<std::pair<std::string, double>> oscs;
    for (const Module* m : patch.Modules(ModuleKind::AudioOsc))
        oscs.emplace_back(m->name, m->Link(osc::Amplitude).value);
    EXPECT_EQ(oscs, (std::vector<std::pair<std::string, double>>{{"Osc [1]", 200.0}, {"Broken", 500.0}}));
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
         "[Module_ControlMIDIControllerInput]\r\nName=T\r\nController2=-65543\r\n"
         "[Module_ControlMIDIControllerInput]\r\nName=U\r\nController1=12\r\nController3=-7\r\n"
         "[Module_AudioOsc]\r\nName=O\r\nAmplitudeControl=U\r\nAmplitudeControlSubType=2\r\n");
    const auto sliders = patch.Modules(ModuleKind::ControlMIDIControllerInput);
    ASSERT_EQ(sliders.size(), 3u);
    // Digits are read up to the first other character, an empty or unreadable number gives no slider, the
    // absolute value is masked to 16 bits (65543 & 0xFFFF = 7), and every slider keeps its number.
    const std::string saved = N(Save());
    EXPECT_NE(saved.find("\r\nInputDeviceID=0\r\nController1=5\r\nController2=6\r\nController3=-7\r\n\r\n"),
              std::string::npos);
    EXPECT_NE(saved.find("\r\nName=T\r\nPosition=0,0\r\nInputDeviceID=-555\r\nController2=-7\r\n\r\n"),
              std::string::npos);
    EXPECT_TRUE(saved.ends_with("\r\nName=U\r\nPosition=0,0\r\nInputDeviceID=-555\r\n"
                                "Controller1=12\r\nController3=-7\r\n"));
    EXPECT_NE(saved.find("\r\nAmplitudeControl=U\r\nAmplitudeControlSubType=2\r\n"), std::string::npos);
    const Module& s = *sliders[0];
    ASSERT_EQ(s.sliderCount, 3);
    EXPECT_GE(s.sinkSlot, 0);
    for (int k = 0; k < 3; ++k) {
        const int slot = (*s.sliders)[k].slot;
        ASSERT_GE(slot, 0);
        EXPECT_EQ(engine.slots[slot].outputIndex, k);
        EXPECT_EQ(engine.slots[slot].module.load(), &s);
    }
    // Slider 2 of U is free and has no output; slider 3 is output 2, which the oscillator reads.
    const Module& u = *sliders[2];
    ASSERT_EQ(u.sliderCount, 3);
    EXPECT_EQ(std::tuple((*u.sliders)[1].controller.load(), (*u.sliders)[1].slot.load()), std::tuple(-1, -1));
    EXPECT_EQ(std::tuple((*u.sliders)[2].controller.load(), (*u.sliders)[2].negative.load()),
              std::tuple(7, true));
    EXPECT_EQ(engine.slots[(*u.sliders)[2].slot].outputLabel, "Slider 3");
    EXPECT_EQ(Only(patch, ModuleKind::AudioOsc)->Link(osc::Amplitude).source, (*u.sliders)[2].slot);
    // A new slider takes the first free place; the sign of controller 0 survives as "-0".
    ASSERT_TRUE(patch.AddSlider(sliders[1], 0, true));
    EXPECT_NE(N(Save()).find("\r\nController1=-0\r\nController2=-7\r\n"), std::string::npos);
    Load(Save());
    const Module* r = patch.Modules(ModuleKind::ControlMIDIControllerInput)[1];
    ASSERT_EQ(r->sliderCount, 2);
    EXPECT_EQ(std::tuple((*r->sliders)[0].controller.load(), (*r->sliders)[0].negative.load()),
              std::tuple(0, true));
}

TEST_F(ConfigFileTest, NamesStayOnTheirLineAndPathsKeepAnyBytes) {
    Module* w = patch.CreateModule(ModuleKind::AudioWaveWriter, {0, 0});
    w->texts[wave_writer::FilePath] = "/tmp/take \xFF one.wav"; // not UTF-8
    patch.Rename(w, "Line\r\nbreak");
    const std::u16string saved = Save();
    EXPECT_NE(N(saved).find("\r\nName=Line  break\r\n"), std::string::npos);
    Load(saved);
    EXPECT_EQ(Only(patch, ModuleKind::AudioWaveWriter)->texts[wave_writer::FilePath],
              "/tmp/take \xFF one.wav");
    EXPECT_EQ(ConfigurationText(patch), saved);
}

TEST_F(ConfigFileTest, LoadingReplacesThePatchAndCountsAgainstItsSlots) {
    for (int i = 0; i < 120; ++i) ASSERT_NE(patch.CreateModule(ModuleKind::ControlInput, {0, 0}), nullptr);
    std::string text;
    for (int i = 0; i < 10; ++i) text += "[Module_AudioOsc]\r\nName=O" + std::to_string(i) + "\r\n";
    text += "[Module_AudioOutputSplit]\r\nName=two slots\r\n";
    const auto counts = [&] {
        return std::tuple(patch.Count(ModuleKind::ControlInput), patch.Count(ModuleKind::AudioOsc),
                          patch.Count(ModuleKind::AudioOutputSplit));
    };
    EXPECT_EQ(ParseConfiguration(patch, U(text)), 8u); // the old modules still hold 120 slots
    EXPECT_EQ(std::get<0>(counts()), 120u);
    LinkConfiguration(patch);
    EXPECT_EQ(counts(), std::tuple(0u, 8u, 0u));
    for (const Module* m : patch.Modules(ModuleKind::AudioOsc)) EXPECT_TRUE(m->sectionText.empty());
    // Loaded again, with the 8 oscillators still holding their slots during the first pass, all fit.
    EXPECT_EQ(Load(text), 11u);
    EXPECT_EQ(counts(), std::tuple(0u, 10u, 1u));
    // A text without known sections clears the patch.
    EXPECT_EQ(Load("## header only ##\r\n[Module_Unknown]\r\nName=x\r\n"), 0u);
    EXPECT_EQ(patch.TotalCount(), 0u);
    patch.CreateModule(ModuleKind::AudioOsc, {0, 0});
    EXPECT_EQ(Load(std::u16string_view{}), 0u);
    EXPECT_EQ(patch.TotalCount(), 0u);
}

TEST_F(ConfigFileTest, TheLinkPassKeepsLinksOfModulesWithoutASectionText) {
    ParseConfiguration(patch, U("[Module_AudioOsc]\r\nName=loaded\r\nAmplitudeControl=Speed\r\n"));
    // A module added by hand between the passes keeps its manual links.
    Module* added = patch.CreateModule(ModuleKind::AudioOsc, {0, 0});
    LinkConfiguration(patch);
    EXPECT_EQ(added->Link(osc::Amplitude).source, kManualSource);
    EXPECT_EQ(patch.Modules(ModuleKind::AudioOsc)[0]->Link(osc::Amplitude).source, 1003);
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
    test::TempFolder folder;
    patch.CreateModule(ModuleKind::AudioOsc, {1, 2});
    const std::string path = folder.File("one.mwc");
    ASSERT_EQ(SaveConfigurationFile(patch, path), ConfigStatus::Ok);
    EXPECT_EQ(test::ReadBytes(path), ToFileBytes(Save()));
    Engine engine2;
    Patch patch2(engine2);
    EXPECT_EQ(LoadConfigurationFile(patch2, path), ConfigStatus::Ok);
    EXPECT_EQ(ConfigurationText(patch2), Save());
    // A hand-written file whose first section follows the byte-order mark directly keeps that section.
    const std::string handWritten = folder.File("hand.mwc");
    test::WriteBytes(
        handWritten,
        ToFileBytes(u"\xFEFF[Module_AudioOsc]\r\nName=First\r\n\r\n[Module_AudioOsc]\r\nName=Second\r\n"));
    Engine engine3;
    Patch patch3(engine3);
    EXPECT_EQ(LoadConfigurationFile(patch3, handWritten), ConfigStatus::Ok);
    ASSERT_EQ(patch3.TotalCount(), 2u);
    EXPECT_EQ(patch3.Modules(ModuleKind::AudioOsc)[0]->name, "First");
    // A file that cannot be opened leaves the patch as it was.
    EXPECT_EQ(LoadConfigurationFile(patch2, folder.File("missing.mwc")), ConfigStatus::OpenFailed);
    EXPECT_EQ(LoadConfigurationFile(patch2, folder.Path().string()), ConfigStatus::OpenFailed); // a folder
    EXPECT_EQ(patch2.TotalCount(), 1u);
    EXPECT_EQ(SaveConfigurationFile(patch, folder.File("no/such/folder.mwc")), ConfigStatus::CreateFailed);
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(SaveConfigurationFile(patch, "/dev/full"), ConfigStatus::WriteFailed);
    }
    EXPECT_EQ(MessageFor(ConfigStatus::Ok), std::nullopt);
    const std::tuple<ConfigStatus, int, int> messages[] = {{ConfigStatus::CreateFailed, 149, 150},
                                                           {ConfigStatus::WriteFailed, 156, 157},
                                                           {ConfigStatus::OpenFailed, 159, 160}};
    for (auto [status, text, caption] : messages)
        EXPECT_EQ(std::tuple(MessageFor(status)->text, MessageFor(status)->caption),
                  std::tuple(text, caption));
    EXPECT_EQ(MessageFor(ConfigStatus::OpenFailed)->englishCaption,
              "The file could not be opened for reading.");
}

} // namespace
} // namespace mw
