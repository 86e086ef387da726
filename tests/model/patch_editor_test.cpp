// Editing a patch by module id: every field kind with what its change entails, the module's life
// (add, rename, move, remove), MIDI sliders in their places, and when the windows are refreshed.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <tuple>

#include "base/utf.hpp"
#include "engine/engine.hpp"
#include "engine/kinds/note_modules.hpp"
#include "patch/config_file.hpp"
#include "patch/patch.hpp"
#include "patch/patch_editor.hpp"

namespace mw {
namespace {

struct RecordingHooks final : ModuleViewHooks {
    int attached = 0, renamed = 0, detached = 0, refreshed = 0;
    std::tuple<int, int, int> Counts() const { return {attached, detached, refreshed}; }
    void Attach(Module&) override { ++attached; }
    void Renamed(Module&) override { ++renamed; }
    void Detach(Module&) override { ++detached; }
    void Refresh() override { ++refreshed; }
};

class PatchEditorTest : public ::testing::Test {
protected:
    RecordingHooks hooks; // outlives the patch, which detaches its modules when it goes
    Engine engine;
    Patch patch{engine};
    PatchEditor editor{patch};
};

TEST_F(PatchEditorTest, SetsEveryFieldKindAndRejectsWhatDoesNotFit) {
    using K = ModuleKind;
    using R = FieldRole;
    struct Row {
        K kind;
        R role;
        int index;
        FieldValue value;
        std::optional<FieldValue> stored; // nullopt: rejected, the field keeps its value
    };
    const Row rows[] = {
        {K::AudioOsc, R::LinkSource, osc::Amplitude, int64_t(1003), int64_t(1003)},
        {K::AudioOsc, R::LinkSource, osc::Amplitude, int64_t(128), std::nullopt},  // no such slot
        {K::AudioOsc, R::LinkSource, osc::Amplitude, int64_t(1019), std::nullopt}, // past the measures
        {K::AudioOsc, R::LinkSensitivity, osc::Frequency, 250.0, 250.0},
        {K::AudioOsc, R::LinkValue, osc::StepSize, int64_t(7), 7.0}, // a whole number for a real
        {K::AudioOsc, R::LinkValue, 7, 1.0, std::nullopt},           // the oscillator has 7 links
        {K::AudioEcho, R::Input, audio_echo::Input, int64_t(kManualSource), int64_t(kManualSource)},
        {K::ControlRange, R::Real, range::InputUpperLimit, -42.5, -42.5},
        {K::ControlMIDIInput, R::Integer, midi_input::InputDevice, int64_t(3), int64_t(3)},
        {K::ControlMIDIInput, R::Integer, midi_input::InputDevice, int64_t(1) << 40, std::nullopt},
        {K::AudioEcho, R::Bool, audio_echo::LongMode, true, true},
        {K::AudioEcho, R::Bool, audio_echo::LongMode, int64_t(0), std::nullopt}, // wrong type
        {K::ControlModulator, R::Enum, modulator::Effect, int64_t(-1), int64_t(-1)},
        {K::ControlModulator, R::Enum, modulator::Effect, int64_t(2), std::nullopt}, // AM and FM only
        {K::AudioOutputSplit, R::Device, output_split::Output2, int64_t(203), int64_t(203)},
        {K::AudioWaveWriter, R::Text, wave_writer::FilePath, std::string("/tmp/a b.wav"),
         std::string("/tmp/a b.wav")},
        {K::ControlSensor, R::Text, 0, std::string("x"), std::nullopt}, // the sensor keeps no text
    };
    std::map<K, ModuleId> ids;
    for (const Row& r : rows) {
        if (!ids.contains(r.kind)) ids[r.kind] = editor.Add(r.kind, {0, 0});
        const FieldRef ref{ids[r.kind], r.role, r.index};
        const auto before = editor.Get(ref);
        EXPECT_EQ(editor.Set(ref, r.value), r.stored.has_value()) << Info(r.kind).keyword << " " << r.index;
        EXPECT_EQ(editor.Get(ref), r.stored ? r.stored : before) << Info(r.kind).keyword << " " << r.index;
    }
    EXPECT_EQ(editor.Find(ids[K::AudioOsc])->Link(osc::Amplitude).source, 1003);
    EXPECT_FALSE(editor.Set({ModuleId(999), R::Real, 0}, 1.0));
    // A sequence's new text is parsed at once.
    const ModuleId seq = editor.Add(K::ControlSequence, {0, 0});
    ASSERT_TRUE(editor.Set({seq, R::Text, sequence::SequenceText}, std::string("A0A0A0")));
    EXPECT_EQ(SequenceStepCount(*editor.Find(seq)), 3);
}

TEST_F(PatchEditorTest, IdsOutliveRenamesAndAreNeverGivenAgain) {
    const ModuleId a = editor.Add(ModuleKind::ControlSensor, {10, 20});
    const ModuleId b = editor.Add(ModuleKind::ControlSensor, {0, 0}, "S 1"); // the same name
    ASSERT_NE(a, kNoModuleId);
    EXPECT_NE(a, b);
    EXPECT_TRUE(editor.Rename(a, "Renamed"));
    EXPECT_EQ(editor.Find(a)->name, "Renamed");
    EXPECT_TRUE(editor.Move(a, {300, -40}));
    const Module& moved = *editor.Find(a); // with the sensor's reference point
    EXPECT_EQ(std::tuple(moved.position, moved.refX.load(), moved.refY.load()),
              std::tuple(Point{300, -40}, 300, -40));
    EXPECT_TRUE(editor.Remove(a)); // as the close button: later
    EXPECT_NE(editor.Find(a), nullptr);
    editor.ProcessRemovals();
    EXPECT_EQ(editor.Find(a), nullptr);
    EXPECT_FALSE(editor.Rename(a, "gone"));
    const ModuleId c = editor.Add(ModuleKind::ControlSensor, {0, 0});
    EXPECT_TRUE(c != a && c != b);
    EXPECT_EQ(editor.Find(c)->slot[0], 0); // the slot is given again, the id is not
}

TEST_F(PatchEditorTest, SlidersKeepTheirPlaces) {
    const ModuleId id = editor.Add(ModuleKind::ControlMIDIControllerInput, {0, 0});
    Module& m = *editor.Find(id);
    ASSERT_TRUE(editor.AddSlider(id, 7, false));
    ASSERT_TRUE(editor.AddSlider(id, 20, true));
    const int firstSlot = (*m.sliders)[0].slot;
    EXPECT_TRUE(editor.RemoveSlider(id, 0)); // the place and its output stay
    EXPECT_EQ(std::tuple((*m.sliders)[0].controller.load(), (*m.sliders)[0].slot.load()),
              std::tuple(-1, firstSlot));
    ASSERT_TRUE(editor.AddSlider(id, 30, false)); // the first free place takes it
    EXPECT_EQ((*m.sliders)[0].slot, firstSlot);
    ASSERT_TRUE(editor.SetSliderController(id, 4, 9)); // slider 5: places 3 and 4 stay free
    EXPECT_TRUE(editor.SetSliderSign(id, 4, true));
    EXPECT_FALSE(editor.SetSliderController(id, 1, -1));
    EXPECT_FALSE(editor.RemoveSlider(id, 5));
    EXPECT_EQ(m.sliderCount, 5);
    EXPECT_EQ((*m.sliders)[2].slot, -1);
    const ModuleSlot& fifth = engine.slots[size_t((*m.sliders)[4].slot.load())];
    EXPECT_EQ(std::tuple(int(fifth.outputIndex), fifth.outputLabel), std::tuple(4, std::string("Slider 5")));
    EXPECT_EQ(utf::Utf16ToUtf8(WriteSection(m, patch)),
              "\r\n[Module_ControlMIDIControllerInput]\r\nName=MIDI-Slider Module 1\r\nPosition=0,0\r\n"
              "InputDeviceID=-555\r\nController1=30\r\nController2=-20\r\nController5=-9\r\n");
}

TEST_F(PatchEditorTest, ViewsAreRefreshedOncePerLoadPassAndLanguageChange) {
    patch.SetViewHooks(&hooks);
    const std::u16string text = utf::Utf8ToUtf16("[Module_AudioOsc]\r\nName=o\r\nAmplitudeControl=s\r\n"
                                                 "[Module_AudioOutputSplit]\r\nName=s\r\n"
                                                 "[Module_ControlSensor]\r\nName=t\r\n");
    EXPECT_EQ(ParseConfiguration(patch, text), 3u);
    EXPECT_EQ(hooks.Counts(), std::tuple(3, 0, 1)); // attached, detached, refreshed
    LinkConfiguration(patch);
    EXPECT_EQ(hooks.refreshed, 2);
    editor.Add(ModuleKind::ControlInput, {0, 0});
    EXPECT_EQ(hooks.refreshed, 3);
    // A whole load at once: the old four go, three come, one refresh.
    EXPECT_EQ(LoadConfigurationText(patch, text), 3u);
    EXPECT_EQ(hooks.Counts(), std::tuple(7, 4, 4));
    // Reading the patch while walking it.
    size_t seen = 0;
    patch.ForEachModule([&](const Module& m) { seen += patch.Count(m.kind) + (patch.Find(m.id) == &m); });
    EXPECT_EQ(seen, 6u);
    const Module* split = patch.Modules(ModuleKind::AudioOutputSplit)[0];
    const Module* sensor = patch.Modules(ModuleKind::ControlSensor)[0];
    patch.ChangeLanguage([](int number, std::string_view english) {
        return number == 132   ? std::string("Ausgang-%ld")
               : number == 273 ? "Polarität"
                               : std::string(english);
    });
    const auto label = [&](const Module* m, int k) {
        return engine.slots[size_t(m->slot[k].load())].outputLabel;
    };
    EXPECT_EQ(std::tuple(label(split, 1), label(sensor, 0), label(sensor, 1)),
              std::tuple("Ausgang-2", "Gravity", "Polarität"));
    EXPECT_EQ(hooks.refreshed, 5);
    patch.SetViewHooks(nullptr);
}

} // namespace
} // namespace mw
