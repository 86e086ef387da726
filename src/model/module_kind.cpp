#include "model/module_kind.hpp"

#include "base/text.hpp"

namespace mw {
namespace {

using K = ModuleKind;
constexpr uint8_t S = kNoEngineKind;

constexpr KindInfo Row(K k, std::string_view kw, uint8_t ek, uint8_t outputs, bool audio, int group,
                       int label, std::string_view labelEn, int tmpl, std::string_view tmplEn, int cmd,
                       int outLabel = 0, std::string_view outLabelEn = {}) {
    return KindInfo{k,       kw,   ek,     ek == S, outputs,  audio,      group,      label,
                    labelEn, tmpl, tmplEn, cmd,     outLabel, outLabelEn, uint8_t(1), 127.0};
}

constexpr std::array<KindInfo, kKindCount> MakeTable() {
    std::array<KindInfo, kKindCount> t{
        Row(K::ControlSensitizer, "Module_ControlSensitizer", 0, 1, false, 302, 8,
            "Control-Sensitizer Module", 74, "Control-Sensitizer Module %ld", 1050),
        Row(K::ControlModulator, "Module_ControlModulator", 1, 1, false, 301, 10, "Control-Modulator Module",
            75, "Control-Modulator Module %ld", 1051),
        Row(K::AudioOsc, "Module_AudioOsc", 2, 1, true, 303, 88, "Oscillator module", 81,
            "Oscillator module %ld", 1052),
        Row(K::AudioOutput, "Module_AudioOutput", S, 0, false, 305, 90, "Output module", 91,
            "Output module %ld", 1053),
        Row(K::ControlEcho, "Module_ControlEcho", 3, 1, false, 302, 97, "Control-Echo Module", 98,
            "Control-Echo Module %ld", 1054),
        Row(K::ControlCombine, "Module_ControlCombine", 4, 1, false, 302, 102, "Control-Combine Module", 103,
            "Control-Combine Module %ld", 1055),
        Row(K::ControlRange, "Module_ControlRange", 5, 1, false, 302, 107, "Control-Range Module", 108,
            "Control-Range Module %ld", 1056),
        Row(K::ControlMIDIInput, "Module_ControlMIDIInput", 6, 1, false, 301, 113, "MIDI-Input Module", 114,
            "MIDI-Input Module %ld", 1057),
        Row(K::ControlClosestNote, "Module_ControlClosestNote", 7, 1, false, 302, 119,
            "Control-Closest-Note Module", 120, "Control-Closest-Note Module %ld", 1058),
        Row(K::AudioEcho, "Module_AudioEcho", 8, 1, true, 304, 121, "Echo module", 122, "Echo module %ld",
            1059),
        Row(K::AudioInput, "Module_AudioInput", 9, 1, true, 303, 124, "Audio-Input module", 125,
            "Audio-Input module %ld", 1060),
        Row(K::AudioPitchShift, "Module_AudioPitchShift", 10, 1, true, 304, 128, "Pitch-Shift module", 129,
            "Pitch-Shift module %ld", 1061),
        Row(K::AudioOutputSplit, "Module_AudioOutputSplit", 11, 2, true, 304, 134,
            "Output-splitter/fader module", 135, "Output-splitter/fader module %ld", 1062, 132, "Output-%ld"),
        Row(K::AudioInputCombine, "Module_AudioInputCombine", 12, 1, true, 304, 137,
            "Input-combiner/fader module", 138, "Input-combiner/fader module %ld", 1063),
        Row(K::AudioMultiDelay, "Module_AudioMultiDelay", 13, 1, true, 304, 141, "Multi-delay module", 142,
            "Multi-delay module %ld", 1064),
        Row(K::AudioWaveWriter, "Module_AudioWaveWriter", S, 0, false, 305, 147, "Wave-writer module", 148,
            "Wave-writer module %ld", 1065),
        Row(K::AudioDistortion, "Module_AudioDistortion", 14, 1, true, 304, 166, "Distortion module", 167,
            "Distortion module %ld", 1069),
        Row(K::ControlOffset, "Module_ControlOffset", 15, 1, false, 302, 251, "Control-Offset Module", 252,
            "Control-Offset Module %ld", 1074),
        Row(K::ControlGain, "Module_ControlGain", 16, 1, false, 302, 254, "Control-Gain Module", 255,
            "Control-Gain Module %ld", 1075),
        Row(K::ControlInput, "Module_ControlInput", 17, 1, false, 301, 257, "Control-Input Module", 258,
            "Control-Input Module %ld", 1079),
        Row(K::ControlSequence, "Module_ControlSequence", 18, 1, false, 301, 265, "Control-Sequence Module",
            266, "Control-Sequence Module %ld", 1080),
        Row(K::AudioDingDong, "Module_AudioDingDong", 19, 1, true, 303, 268, "Ding-Dong module", 269,
            "Ding-Dong module %ld", 1081),
        Row(K::ControlSensor, "Module_ControlSensor", 20, 2, false, 301, 270, "Control-Sensor Module", 271,
            "S %ld", 1082),
        Row(K::ControlNoteCombine, "Module_ControlNoteCombine", 21, 1, false, 302, 275,
            "Control-Note-Combine Module", 276, "Control-Note-Combine Module %ld", 1083),
        Row(K::ControlLowCut, "Module_ControlLowCut", 22, 1, false, 302, 279, "Control-Low-Cut Module", 280,
            "Control-Low-Cut Module %ld", 1084),
        Row(K::ControlNoteRetard, "Module_ControlNoteRetard", 23, 1, false, 302, 282,
            "Control-Note-Retard Module", 283, "Control-Note-Retard Module %ld", 1085),
        Row(K::AudioOutputAnalyzer, "Module_AudioOutputAnalyzer", S, 0, false, 305, 286,
            "Output-analyzer module", 287, "Output-analyzer module %ld", 1086),
        Row(K::AudioLowPass, "Module_AudioLowPass", 24, 1, true, 304, 296, "Low-pass module", 297,
            "Low-pass module %ld", 1088),
        Row(K::AudioHighPass, "Module_AudioHighPass", 25, 1, true, 304, 299, "High-pass module", 300,
            "High-pass module %ld", 1089),
        Row(K::ControlNeuron, "Module_ControlNeuron", 26, 1, false, 301, 407, "Control-Neuron Module", 408,
            "Control-Neuron Module %ld", 1091),
        Row(K::AudioStepFunction, "Module_AudioStepFunction", 27, 1, true, 304, 412,
            "Audio Step-Function module", 413, "Audio Step-Function module %ld", 1094),
        Row(K::ControlStepFunction, "Module_ControlStepFunction", 28, 1, false, 302, 414,
            "Control Step-Function Module", 415, "Control Step-Function Module %ld", 1095),
        Row(K::ControlPolyphonicator, "Module_ControlPolyphonicator", 29, 1, false, 302, 422,
            "Polyphonicator Module", 423, "Polyphonicator Module %ld", 1096),
        Row(K::ControlNoteEnvelope, "Module_ControlNoteEnvelope", 30, 1, false, 302, 437,
            "Control-Note-Envelope Module", 438, "Control-Note-Envelope Module %ld", 1097),
        Row(K::ControlMIDIControllerInput, "Module_ControlMIDIControllerInput", 31, 0, false, 301, 484,
            "MIDI-Slider Module", 485, "MIDI-Slider Module %ld", 1070, 486, "Slider %ld"),
    };
    // The sensor labels its two outputs individually (see OutputLabel()).
    t[Index(K::ControlSensor)].outputLabel = 272;
    t[Index(K::ControlSensor)].outputLabelEnglish = "Gravity";
    // The note envelope starts without voices; it makes them from its input's notes.
    t[Index(K::ControlNoteEnvelope)].initialVoiceCount = 0;
    t[Index(K::ControlNoteEnvelope)].initialVelocity = 0.0;
    // The MIDI slider module sits in the sink table and takes one ModuleSlot per slider.
    t[Index(K::ControlMIDIControllerInput)].isSink = true;
    return t;
}

constexpr std::array<KindInfo, kKindCount> kTable = MakeTable();

constexpr std::array<ModuleKind, kKindCount> kReaderOrder{K::AudioInput,
                                                          K::AudioEcho,
                                                          K::AudioInputCombine,
                                                          K::AudioMultiDelay,
                                                          K::AudioOsc,
                                                          K::AudioOutputSplit,
                                                          K::AudioPitchShift,
                                                          K::ControlClosestNote,
                                                          K::ControlCombine,
                                                          K::ControlEcho,
                                                          K::ControlModulator,
                                                          K::ControlSensitizer,
                                                          K::ControlRange,
                                                          K::ControlMIDIInput,
                                                          K::AudioOutput,
                                                          K::AudioWaveWriter,
                                                          K::AudioDistortion,
                                                          K::ControlOffset,
                                                          K::ControlGain,
                                                          K::ControlInput,
                                                          K::ControlSequence,
                                                          K::AudioDingDong,
                                                          K::ControlSensor,
                                                          K::ControlNoteCombine,
                                                          K::ControlLowCut,
                                                          K::ControlNoteRetard,
                                                          K::AudioOutputAnalyzer,
                                                          K::AudioLowPass,
                                                          K::AudioHighPass,
                                                          K::ControlNeuron,
                                                          K::AudioStepFunction,
                                                          K::ControlStepFunction,
                                                          K::ControlPolyphonicator,
                                                          K::ControlNoteEnvelope,
                                                          K::ControlMIDIControllerInput};

static_assert([] {
    for (int i = 0; i < kKindCount; ++i)
        if (Index(kTable[i].kind) != i) return false;
    return true;
}());

} // namespace

const KindInfo& Info(ModuleKind kind) {
    return kTable[Index(kind)];
}
const std::array<KindInfo, kKindCount>& AllKinds() {
    return kTable;
}
const std::array<ModuleKind, kKindCount>& ReaderKindOrder() {
    return kReaderOrder;
}

std::optional<ModuleKind> KindFromKeyword(std::string_view keyword) {
    for (ModuleKind k : kReaderOrder)
        if (EqualsIgnoreCase(Info(k).keyword, keyword)) return k;
    return std::nullopt;
}

std::optional<ModuleKind> KindOfEngineKind(uint8_t engineKind) {
    for (const KindInfo& info : kTable)
        if (info.engineKind == engineKind) return info.kind;
    return std::nullopt;
}

} // namespace mw
