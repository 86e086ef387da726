#include "patch/builtin_patches.hpp"

#include "base/text.hpp"
#include "patch/config_file.hpp"
#include "patch/patch.hpp"

namespace mw {

namespace builtin_files {
struct EmbeddedFile {
    std::string_view name;
    const unsigned char* data;
    std::size_t size;
};
extern const EmbeddedFile kEmbeddedFiles[];
} // namespace builtin_files

namespace {

using K = ModuleKind;

constexpr int kMicrophone = 452, kMidi = 453, kModulation = 454, kMouse = 455, kNeuron = 456, kSequence = 457;

std::vector<BuiltInPatch> MakeTable() {
    return {
        {0x8008,
         226,
         kMicrophone,
         458,
         "Simple Pitch and Echo",
         "226_simple_pitch_and_echo.mwc",
         {{K::AudioEcho, 1},
          {K::AudioInput, 1},
          {K::AudioPitchShift, 1},
          {K::AudioMultiDelay, 1},
          {K::AudioOutputAnalyzer, 1}}},
        {0x801E,
         241,
         kMicrophone,
         494,
         "Basically Robotic",
         "241_basically_robotic.mwc",
         {{K::AudioOsc, 2}, {K::AudioEcho, 2}, {K::AudioInput, 1}, {K::ControlInput, 1}}},
        {0x8009,
         205,
         kMidi,
         459,
         "Air Saw",
         "205_air_saw.mwc",
         {{K::AudioOsc, 5},
          {K::ControlMIDIInput, 1},
          {K::AudioEcho, 2},
          {K::AudioInputCombine, 1},
          {K::ControlOffset, 1},
          {K::AudioOutputAnalyzer, 1},
          {K::ControlPolyphonicator, 1}}},
        {0x800A,
         228,
         kMidi,
         460,
         "Air Synth",
         "228_air_synth.mwc",
         {{K::AudioOsc, 2}, {K::ControlMIDIInput, 2}, {K::AudioEcho, 2}, {K::AudioLowPass, 2}}},
        {0x800B,
         208,
         kMidi,
         461,
         "Distorted Air",
         "208_distorted_air.mwc",
         {{K::AudioOsc, 1},
          {K::ControlMIDIInput, 1},
          {K::AudioEcho, 2},
          {K::AudioOutputAnalyzer, 1},
          {K::AudioLowPass, 1}}},
        {0x800C,
         207,
         kMidi,
         462,
         "Distorted Air ( Breathable )",
         "207_distorted_air_breathable.mwc",
         {{K::AudioOsc, 1},
          {K::ControlMIDIInput, 1},
          {K::AudioEcho, 2},
          {K::AudioOutputAnalyzer, 1},
          {K::AudioLowPass, 1}}},
        {0x800D,
         209,
         kMidi,
         463,
         "Simple Organ Thing",
         "209_simple_organ_thing.mwc",
         {{K::ControlModulator, 1}, {K::AudioOsc, 1}, {K::ControlRange, 1}, {K::ControlMIDIInput, 1}}},
        {0x800E,
         210,
         kMidi,
         464,
         "Space-Circus Gets Flushed Down Note-Drain",
         "210_space_circus_note_drain.mwc",
         {{K::ControlSensitizer, 1},
          {K::ControlModulator, 3},
          {K::AudioOsc, 5},
          {K::ControlEcho, 1},
          {K::ControlMIDIInput, 2},
          {K::AudioEcho, 3},
          {K::ControlSequence, 1},
          {K::ControlNoteRetard, 1},
          {K::AudioLowPass, 2}}},
        {0x800F,
         211,
         kMidi,
         465,
         "Space-Circus of Confused Tonality",
         "211_space_circus_confused_tonality.mwc",
         {{K::ControlSensitizer, 1},
          {K::ControlModulator, 3},
          {K::AudioOsc, 4},
          {K::ControlMIDIInput, 2},
          {K::AudioEcho, 3},
          {K::ControlSequence, 1},
          {K::ControlNoteRetard, 1},
          {K::AudioLowPass, 2}}},
        {0x8010,
         212,
         kMidi,
         466,
         "With Modulation",
         "212_with_modulation.mwc",
         {{K::ControlSensitizer, 1},
          {K::ControlModulator, 2},
          {K::AudioOsc, 3},
          {K::ControlMIDIInput, 1},
          {K::AudioEcho, 1},
          {K::AudioOutputAnalyzer, 1}}},
        {0x8011,
         213,
         kModulation,
         467,
         "Animalistic 1",
         "213_animalistic_1.mwc",
         {{K::ControlModulator, 2}, {K::AudioOsc, 2}, {K::AudioEcho, 2}}},
        {0x8012,
         214,
         kModulation,
         468,
         "Animalistic 2",
         "214_animalistic_2.mwc",
         {{K::ControlModulator, 4},
          {K::AudioOsc, 2},
          {K::ControlRange, 1},
          {K::AudioEcho, 2},
          {K::ControlOffset, 2}}},
        {0x8013,
         215,
         kModulation,
         469,
         "Distant Signal",
         "215_distant_signal.mwc",
         {{K::AudioOsc, 4},
          {K::AudioEcho, 2},
          {K::ControlOffset, 1},
          {K::AudioOutputAnalyzer, 1},
          {K::ControlPolyphonicator, 1}}},
        {0x8014,
         216,
         kModulation,
         470,
         "Dizziness",
         "216_dizziness.mwc",
         {{K::AudioOsc, 4}, {K::AudioEcho, 2}, {K::ControlOffset, 1}, {K::AudioOutputAnalyzer, 1}}},
        {0x8015,
         217,
         kModulation,
         471,
         "Plastic Hand-Saw",
         "217_plastic_hand_saw.mwc",
         {{K::AudioOsc, 4},
          {K::ControlRange, 1},
          {K::AudioEcho, 2},
          {K::ControlOffset, 1},
          {K::AudioDingDong, 2},
          {K::AudioOutputAnalyzer, 1},
          {K::ControlPolyphonicator, 1}}},
        {0x8016,
         218,
         kModulation,
         472,
         "Twisted",
         "218_twisted.mwc",
         {{K::AudioOsc, 4},
          {K::ControlRange, 1},
          {K::AudioEcho, 2},
          {K::ControlOffset, 1},
          {K::AudioDingDong, 2},
          {K::AudioOutputAnalyzer, 1}}},
        {0x8017,
         219,
         kMouse,
         473,
         "Digital Modulation",
         "219_digital_modulation.mwc",
         {{K::AudioOsc, 3}, {K::AudioOutputAnalyzer, 2}}},
        {0x8018,
         220,
         kMouse,
         474,
         "Drainpipe Dreams of Rain",
         "220_drainpipe_dreams_of_rain.mwc",
         {{K::AudioOsc, 1},
          {K::AudioEcho, 2},
          {K::AudioInputCombine, 1},
          {K::ControlLowCut, 2},
          {K::AudioOutputAnalyzer, 1},
          {K::ControlPolyphonicator, 1}}},
        {0x8019,
         221,
         kMouse,
         475,
         "Powerful Electric Motor",
         "221_powerful_electric_motor.mwc",
         {{K::ControlSensitizer, 2},
          {K::ControlModulator, 1},
          {K::AudioOsc, 2},
          {K::AudioEcho, 1},
          {K::AudioInputCombine, 1},
          {K::ControlGain, 1},
          {K::ControlSensor, 1}}},
        {0x801A,
         222,
         kMouse,
         476,
         "Vacuum Cleaner from Outer Space",
         "222_vacuum_cleaner_from_outer_space.mwc",
         {{K::ControlSensitizer, 3},
          {K::ControlModulator, 1},
          {K::AudioOsc, 3},
          {K::AudioEcho, 3},
          {K::AudioInputCombine, 1},
          {K::ControlGain, 1},
          {K::ControlSensor, 1},
          {K::AudioOutputAnalyzer, 1}}},
        {0x801B,
         223,
         kNeuron,
         477,
         "Neuronic Beat",
         "223_neuronic_beat.mwc",
         {{K::ControlModulator, 1},
          {K::AudioOsc, 2},
          {K::AudioPitchShift, 1},
          {K::ControlOffset, 1},
          {K::AudioLowPass, 1},
          {K::ControlNeuron, 3}}},
        {0x801C,
         224,
         kSequence,
         478,
         "ABCs Can Bump",
         "224_abcs_can_bump.mwc",
         {{K::ControlModulator, 1},
          {K::AudioOsc, 1},
          {K::AudioEcho, 2},
          {K::AudioPitchShift, 1},
          {K::ControlSequence, 1},
          {K::AudioOutputAnalyzer, 1},
          {K::ControlNoteEnvelope, 2}}},
        {0x801D,
         225,
         kSequence,
         479,
         "Micro-Mechanics",
         "225_micro_mechanics.mwc",
         {{K::ControlModulator, 1},
          {K::AudioOsc, 2},
          {K::ControlEcho, 1},
          {K::ControlSequence, 1},
          {K::AudioOutputAnalyzer, 1},
          {K::ControlStepFunction, 1}}},
    };
}

} // namespace

const std::vector<BuiltInPatch>& BuiltInPatches() {
    static const std::vector<BuiltInPatch> table = MakeTable();
    return table;
}

std::vector<BuiltInSubmenu> BuiltInMenu() {
    std::vector<BuiltInSubmenu> menu{
        {kMicrophone, "Microphone based", {}}, {kMidi, "MIDI based", {}},
        {kModulation, "Modulation based", {}}, {kMouse, "Mouse based", {}},
        {kNeuron, "Neuron based", {}},         {kSequence, "Sequence based", {}}};
    for (const BuiltInPatch& p : BuiltInPatches())
        for (BuiltInSubmenu& s : menu)
            if (s.title == p.submenu) s.patches.push_back(&p);
    return menu;
}

const BuiltInPatch* FindBuiltInByResource(int resource) {
    for (const BuiltInPatch& p : BuiltInPatches())
        if (p.resource == resource) return &p;
    return nullptr;
}

const BuiltInPatch* FindBuiltInByCommand(int command) {
    for (const BuiltInPatch& p : BuiltInPatches())
        if (p.command == command) return &p;
    return nullptr;
}

const BuiltInPatch* FindBuiltInByName(std::string_view name) {
    for (const BuiltInPatch& p : BuiltInPatches())
        if (EqualsIgnoreCase(p.name, name)) return &p;
    return nullptr;
}

std::string_view BuiltInPatchBytes(const BuiltInPatch& patch) {
    for (const builtin_files::EmbeddedFile* f = builtin_files::kEmbeddedFiles; f->data; ++f)
        if (f->name == patch.file) return {reinterpret_cast<const char*>(f->data), f->size};
    return {};
}

std::optional<size_t> LoadBuiltInPatch(Patch& patch, int resource) {
    const BuiltInPatch* p = FindBuiltInByResource(resource);
    if (!p) return std::nullopt;
    std::u16string text = FromFileBytes(BuiltInPatchBytes(*p));
    if (!text.empty()) text.pop_back(); // the resource is taken without its last code unit (the final LF)
    return LoadConfigurationText(patch, text);
}

} // namespace mw
