#pragma once
// How the engine evaluates each module kind. Each kind's signal processing lives in its own file under
// engine/kinds/ and provides one KindOps object; the engine calls them in its fixed schedule.

#include <memory>
#include <span>

#include "model/module.hpp"

namespace mw {

class Engine;

struct KindOps {
    /// Creates the module's signal-processing state (model thread, at creation). May be null.
    std::unique_ptr<KindState> (*createState)(Module& module) = nullptr;
    /// Evaluates every module of the kind in list order: control kinds on each control tick, audio kinds
    /// (and the neuron) at every sample. May be null.
    void (*evaluate)(Engine& engine, std::span<Module* const> modules) = nullptr;
    /// At block end, before the input devices are driven (the audio input fetches its samples). May be null.
    void (*blockEnd)(Engine& engine, Module& module) = nullptr;
    /// After the blocks were submitted (the output analyzer reads back). May be null.
    void (*afterSubmit)(Engine& engine, Module& module) = nullptr;
    /// A text parameter changed (model thread; e.g. a note sequence to parse). May be null.
    void (*textChanged)(Module& module) = nullptr;
    /// Once at each block start, before the first sample, for the modules of an audio-rate kind: what
    /// stays fixed for the block (manual values, where each link reads) may be resolved here. May be null.
    void (*beginBlock)(Engine& engine, std::span<Module* const> modules) = nullptr;
};

const KindOps& OpsFor(ModuleKind kind);

// One object per kind, defined in the kind's file.
extern const KindOps kOpsControlSensitizer, kOpsControlModulator, kOpsAudioOsc, kOpsAudioOutput,
    kOpsControlEcho, kOpsControlCombine, kOpsControlRange, kOpsControlMIDIInput, kOpsControlClosestNote,
    kOpsAudioEcho, kOpsAudioInput, kOpsAudioPitchShift, kOpsAudioOutputSplit, kOpsAudioInputCombine,
    kOpsAudioMultiDelay, kOpsAudioWaveWriter, kOpsAudioDistortion, kOpsControlOffset, kOpsControlGain,
    kOpsControlInput, kOpsControlSequence, kOpsAudioDingDong, kOpsControlSensor, kOpsControlNoteCombine,
    kOpsControlLowCut, kOpsControlNoteRetard, kOpsAudioOutputAnalyzer, kOpsAudioLowPass, kOpsAudioHighPass,
    kOpsControlNeuron, kOpsAudioStepFunction, kOpsControlStepFunction, kOpsControlPolyphonicator,
    kOpsControlNoteEnvelope, kOpsControlMIDIControllerInput;

} // namespace mw
