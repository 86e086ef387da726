#include "engine/kinds/kind_ops.hpp"

#include <array>

namespace mw {

const KindOps& OpsFor(ModuleKind kind) {
    static const std::array<const KindOps*, kKindCount> table{
        &kOpsControlSensitizer,   &kOpsControlModulator,    &kOpsAudioOsc,
        &kOpsAudioOutput,         &kOpsControlEcho,         &kOpsControlCombine,
        &kOpsControlRange,        &kOpsControlMIDIInput,    &kOpsControlClosestNote,
        &kOpsAudioEcho,           &kOpsAudioInput,          &kOpsAudioPitchShift,
        &kOpsAudioOutputSplit,    &kOpsAudioInputCombine,   &kOpsAudioMultiDelay,
        &kOpsAudioWaveWriter,     &kOpsAudioDistortion,     &kOpsControlOffset,
        &kOpsControlGain,         &kOpsControlInput,        &kOpsControlSequence,
        &kOpsAudioDingDong,       &kOpsControlSensor,       &kOpsControlNoteCombine,
        &kOpsControlLowCut,       &kOpsControlNoteRetard,   &kOpsAudioOutputAnalyzer,
        &kOpsAudioLowPass,        &kOpsAudioHighPass,       &kOpsControlNeuron,
        &kOpsAudioStepFunction,   &kOpsControlStepFunction, &kOpsControlPolyphonicator,
        &kOpsControlNoteEnvelope, &kOpsControlMIDIControllerInput};
    return *table[Index(kind)];
}

} // namespace mw
