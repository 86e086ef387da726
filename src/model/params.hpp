#pragma once
// The parameter catalogue: for every module kind, the fields it keeps and the keys the patch-file
// writer emits for them, in writer order. The file reader and writer, the JSON dump and the module
// windows all read this one table; the signal processing reads the fields by the per-kind indices below.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "model/module_kind.hpp"
#include "model/source_id.hpp"

namespace mw {

enum class KeyRole : uint8_t {
    LinkSource,      // source name of links[field]
    LinkSubType,     // SubType of links[field]'s source
    LinkSensitivity, // links[field].sensitivity
    LinkValue,       // links[field].value
    InputSource,     // source name of inputs[field]
    InputSubType,    // SubType of inputs[field]
    Real,            // reals[field]
    Integer,         // ints[field]
    Bool,            // bools[field]
    Text,            // texts[field], written as is
    Sequence,        // texts[field], escaped (SequenceValue)
    Enum,            // enums[field], written as its table text
    Device,          // devices[field], OutputDeviceId text form
    Controllers,     // the MIDI slider table: Controller1..Controller128
};

struct KeyDesc {
    std::string_view key;
    KeyRole role;
    uint8_t field;
};

struct LinkDesc {
    std::string_view stem;   // parameter name as the module window labels it
    double defaultValue;
    SourceId defaultSource;  // kManualSource or kNoSource
    bool hasValue;           // false for the ding-dong's note link
};
struct InputDesc { std::string_view key; };
struct RealDesc { std::string_view key; double defaultValue; };
struct IntDesc { std::string_view key; int32_t defaultValue; };
struct BoolDesc { std::string_view key; bool defaultValue; };
struct TextDesc { std::string_view key; };
struct EnumDesc {
    std::string_view key;
    std::span<const std::string_view> table;
    int32_t defaultValue;
    bool keepOnUnknownText; // the analyzer's Mode: an unknown text keeps the current mode
};
struct DeviceDesc { std::string_view key; int32_t defaultValue; };

struct KindSchema {
    std::vector<LinkDesc> links;
    std::vector<InputDesc> inputs;
    std::vector<RealDesc> reals;
    std::vector<IntDesc> ints;
    std::vector<BoolDesc> bools;
    std::vector<TextDesc> texts;
    std::vector<EnumDesc> enums;
    std::vector<DeviceDesc> devices;
    bool controllers = false;
    std::vector<KeyDesc> keys; // writer order, after Name and Position
};

const KindSchema& Schema(ModuleKind kind);

inline constexpr int32_t kNoOutputDevice = -555;
inline constexpr int32_t kNoMidiDevice = -555;
inline constexpr int kMaxSliders = 128;

// ---- field indices per kind, in the order the catalogue declares them ----

namespace sensitizer {
enum Link { Input };
enum Real { Attack, Decay };
enum Bool { FreqMode };
} // namespace sensitizer

namespace modulator {
enum Link { Waveform, Ramp, Phase, StepSize, Noise, Input };
enum Real { BaseFrequency, FrequencyMultiplier };
enum Enum { Effect };
enum Bool { SignedOutput, LinearInput };
enum EffectValue { AM = 0, FM = 1 };
} // namespace modulator

namespace osc {
enum Link { Amplitude, Frequency, Noise, Waveform, Ramp, Phase, StepSize };
enum Real { FrequencyMultiplier };
enum Device { Output };
} // namespace osc

namespace output {
enum Input { Input };
enum Device { Output };
} // namespace output

namespace control_echo {
enum Link { Interval, Linger };
enum Bool { LongMode, FreqMode };
enum Input { Input };
} // namespace control_echo

namespace combine {
enum Input { Input1, Input2, Input3, Input4, Input5 };
}

namespace range {
enum Link { Input };
enum Real { OutputLowerLimit, OutputUpperLimit, InputLowerLimit, InputUpperLimit };
enum Bool { KeepInRange };
} // namespace range

namespace midi_input {
enum Link { Transpose, Tuning };
enum Int { InputDevice };
enum Bool { ReversedNoteOrientation };
} // namespace midi_input

namespace closest_note {
enum Link { Tuning, Input };
}

namespace audio_echo {
enum Link { Interval, Linger };
enum Bool { LongMode };
enum Device { Output };
enum Input { Input };
} // namespace audio_echo

namespace audio_input {
enum Link { Gain };
enum Int { InputDevice };
} // namespace audio_input

namespace pitch_shift {
enum Link { Pitch };
enum Bool { LowPassFilter };
enum Device { Output };
enum Input { Input };
} // namespace pitch_shift

namespace output_split {
enum Link { Fader };
enum Device { Output1, Output2 };
enum Input { Input };
} // namespace output_split

namespace input_combine {
enum Link { Fader };
enum Device { Output };
enum Input { Input1, Input2 };
} // namespace input_combine

namespace multi_delay {
enum Link { Delay1, Delay2, Delay3, Delay4, Delay5 };
enum Device { Output };
enum Input { Input };
} // namespace multi_delay

namespace wave_writer {
enum Device { Output };
enum Text { FilePath };
enum Bool { Append };
} // namespace wave_writer

namespace distortion {
enum Link { Overdrive, Compression, CompressionWaveform, Noise, NoiseFidelity };
enum Device { Output };
enum Input { Input };
} // namespace distortion

namespace offset {
enum Link { Offset, Input };
}

namespace gain {
enum Link { Gain, Input };
}

namespace control_input {
enum Link { Input };
}

namespace sequence {
enum Link { BPM, NoteLength, NoteVelocity, Transpose, Tuning };
enum Text { SequenceText };
enum Int { RecordingSource };
} // namespace sequence

namespace ding_dong {
enum Link { Note, NoteLength, NoteVelocity };
enum Device { Output };
} // namespace ding_dong

namespace sensor {
enum Real { Angle };
enum Bool { SignedOutput };
} // namespace sensor

namespace note_combine {
enum Link { Input };
enum Bool { Sustain };
} // namespace note_combine

namespace low_cut {
enum Link { LowCutFreq, Input };
}

namespace note_retard {
enum Link { Retardation, RetardationSource, Input };
}

namespace analyzer {
enum Device { Output };
enum Enum { Mode };
enum ModeValue { Analyzer = 0, Oscilloscope = 1 };
} // namespace analyzer

namespace low_pass {
enum Link { MaxFreq };
enum Device { Output };
enum Input { Input };
} // namespace low_pass

namespace high_pass {
enum Link { Attenuation };
enum Device { Output };
enum Input { Input };
} // namespace high_pass

namespace neuron {
enum Link {
    InputOutputRatio,
    DischargeRate,
    Threshold,
    Leakthrough,
    Leakage,
    Dendrite4,
    Dendrite3,
    Dendrite2,
    Dendrite1,
    Dendrite0
};
enum Bool { MakeAllInputsPositive };
enum Enum { EnergyFunction };
} // namespace neuron

namespace audio_step {
enum Link { StepSize };
enum Device { Output };
enum Input { Input };
} // namespace audio_step

namespace control_step {
enum Link { StepSize, Input };
}

namespace polyphonicator {
enum Link { Input1, Input2, Input3, Input4, Input5, Input6, Input7, Input8 };
enum Real { Velocity1, Velocity2, Velocity3, Velocity4, Velocity5, Velocity6, Velocity7, Velocity8 };
} // namespace polyphonicator

namespace note_envelope {
enum Link { Attack, RatioAttackLevelToVelocity, Decay, Sustain, Release, Smoothing, Input };
enum Real { InputVelocity };
enum Enum { OutputMode };
} // namespace note_envelope

namespace midi_slider {
enum Int { InputDevice };
}

} // namespace mw
