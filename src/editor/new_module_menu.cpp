#include "editor/new_module_menu.hpp"

#include <array>

namespace mw {

namespace {

using K = ModuleKind;

constexpr std::array kControlSources{K::ControlMIDIInput, K::ControlMIDIControllerInput,
                                     K::ControlInput,     K::ControlSensor,
                                     K::ControlNeuron,    K::ControlSequence,
                                     K::ControlModulator};
constexpr std::array kControlEffects{K::ControlGain,        K::ControlEcho,           K::ControlOffset,
                                     K::ControlRange,       K::ControlPolyphonicator, K::ControlLowCut,
                                     K::ControlCombine,     K::ControlSensitizer,     K::ControlNoteRetard,
                                     K::ControlClosestNote, K::ControlStepFunction,   K::ControlNoteCombine,
                                     K::ControlNoteEnvelope};
constexpr std::array kAudioSources{K::AudioOsc, K::AudioDingDong, K::AudioInput};
constexpr std::array kAudioEffects{K::AudioEcho,         K::AudioLowPass,     K::AudioDistortion,
                                   K::AudioHighPass,     K::AudioPitchShift,  K::AudioMultiDelay,
                                   K::AudioStepFunction, K::AudioOutputSplit, K::AudioInputCombine};
constexpr std::array kAudioOther{K::AudioOutput, K::AudioWaveWriter, K::AudioOutputAnalyzer};

const std::array<NewModuleGroup, 5> kGroups{{
    {301, kControlSources},
    {302, kControlEffects},
    {303, kAudioSources},
    {304, kAudioEffects},
    {305, kAudioOther},
}};

} // namespace

std::span<const NewModuleGroup> NewModuleGroups() {
    return kGroups;
}

void FillNewModuleMenu(QMenu& menu, const LanguageStrings& strings,
                       const std::function<void(ModuleKind)>& add) {
    for (size_t g = 0; g < kGroups.size(); ++g) {
        if (g == 2) menu.addSeparator();
        QMenu* group = menu.addMenu(QString::fromStdString(strings.Text(kGroups[g].title)));
        for (const ModuleKind kind : kGroups[g].kinds) {
            QAction* item = group->addAction(QString::fromStdString(strings.Text(Info(kind).menuLabel)));
            QObject::connect(item, &QAction::triggered, &menu, [add, kind] { add(kind); });
        }
    }
}

} // namespace mw
