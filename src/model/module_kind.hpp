#pragma once
// The 35 module kinds, their fixed order and their static facts.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace mw {

enum class ModuleKind : uint8_t {
    ControlSensitizer,        // 0
    ControlModulator,         // 1
    AudioOsc,                 // 2
    AudioOutput,              // 3
    ControlEcho,              // 4
    ControlCombine,           // 5
    ControlRange,             // 6
    ControlMIDIInput,         // 7
    ControlClosestNote,       // 8
    AudioEcho,                // 9
    AudioInput,               // 10
    AudioPitchShift,          // 11
    AudioOutputSplit,         // 12
    AudioInputCombine,        // 13
    AudioMultiDelay,          // 14
    AudioWaveWriter,          // 15
    AudioDistortion,          // 16
    ControlOffset,            // 17
    ControlGain,              // 18
    ControlInput,             // 19
    ControlSequence,          // 20
    AudioDingDong,            // 21
    ControlSensor,            // 22
    ControlNoteCombine,       // 23
    ControlLowCut,            // 24
    ControlNoteRetard,        // 25
    AudioOutputAnalyzer,      // 26
    AudioLowPass,             // 27
    AudioHighPass,            // 28
    ControlNeuron,            // 29
    AudioStepFunction,        // 30
    ControlStepFunction,      // 31
    ControlPolyphonicator,    // 32
    ControlNoteEnvelope,      // 33
    ControlMIDIControllerInput // 34
};

inline constexpr int kKindCount = 35;
inline constexpr uint8_t kNoEngineKind = 255;

/// Sink type byte of a SinkSlot.
enum class SinkType : uint8_t { AudioOutput = 0, WaveWriter = 1, OutputAnalyzer = 2, MidiControllerInput = 3 };

struct KindInfo {
    ModuleKind kind;
    std::string_view keyword;       // section keyword, e.g. "Module_AudioOsc"
    uint8_t engineKind;             // Kind byte in a ModuleSlot; kNoEngineKind for the sink kinds
    bool isSink;                    // registers a SinkSlot (the MIDI slider module does both)
    uint8_t outputs;                // fixed number of ModuleSlots (0 for sinks; the MIDI slider has one per slider)
    bool isAudioRate;               // IsAudioRate byte of its slots
    int menuGroup;                  // LanguageStrings number of the "Get New Module" submenu
    int menuLabel;                  // LanguageStrings number of the menu label
    std::string_view menuLabelEnglish;
    int nameTemplate;               // LanguageStrings number of the default-name template
    std::string_view nameTemplateEnglish;
    int command;                    // menu command that adds a module of the kind
    int outputLabel;                // LanguageStrings number of the output labels (0: none)
    std::string_view outputLabelEnglish;
    uint8_t initialVoiceCount;      // slot values on registration
    double initialVelocity;
};

const KindInfo& Info(ModuleKind kind);
constexpr int Index(ModuleKind kind) { return static_cast<int>(kind); }
constexpr ModuleKind KindAt(int index) { return static_cast<ModuleKind>(index); }
const std::array<KindInfo, kKindCount>& AllKinds();

/// Case-insensitive keyword lookup in the reader's fixed order.
std::optional<ModuleKind> KindFromKeyword(std::string_view keyword);

/// The reader's keyword order (also the link-pass order).
const std::array<ModuleKind, kKindCount>& ReaderKindOrder();

/// Kind of the engine kind byte (0..31); nullopt for 255 or out of range.
std::optional<ModuleKind> KindOfEngineKind(uint8_t engineKind);

} // namespace mw
