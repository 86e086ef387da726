#pragma once
// The parameter catalogue: for every module kind, one table per field type that lists each field in
// index order with its default, its label, its window slider and value text, its unit and, for links,
// the scales the signal processing applies. Schema(kind) adds the keys the patch-file writer emits, in
// writer order. The file reader and writer, the JSON dump, the module windows and the signal processing
// all read these tables; the signal processing reads the fields by the per-kind indices below, and each
// table is checked at compile time to list its fields in the order of its index enum.

#include <cstdint>
#include <limits>
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

/// What a value means (for a reference and for the value texts of the module windows): for a link the
/// number the kind works with (Value x manual scale), for an input what it reads, else the field itself.
enum class ParamUnit : uint8_t {
    Number,       // a plain number: a waveform blend, a rate setting, a step size
    ControlValue, // a control signal on its 0..1000 scale
    Percent,      // 100 is the whole
    Ratio,        // 1 is the whole
    Hertz,
    Milliseconds,
    Semitones,
    Cents, // hundredths of a semitone
    BeatsPerMinute,
    Velocity, // 0..127
    Radians,
    AudioSignal,  // samples of an audio module's output
    DeviceNumber, // a MIDI or wave input device number
};

/// What must follow a change of a field made outside a patch load.
enum class ChangeNeeds : uint8_t {
    Nothing,   // the engine reads the field as it stands
    Republish, // the device set the engine serves changes: republish the patch (Patch::Republish)
    Reparse,   // the kind works on a parsed form of the text: its textChanged operation re-reads it
};

/// A window slider: position = field x factor, truncated, within lower..upper; the poll stores
/// position / factor back. lower == upper: the field has no slider.
struct SliderRange {
    int32_t lower = 0;
    int32_t upper = 0;
    double factor = 1.0;
    constexpr bool Exists() const { return lower != upper; }
    constexpr bool Holds(double position) const { return position >= lower && position <= upper; }
};

/// The text a parameter's label shows for a second while its slider moves: LanguageStrings `format`
/// (one %g) of field x scale; with ofFrequency, of BaseFrequencyValue x FrequencyMultiplierValue (the
/// oscillator's frequency, the modulator's rate). format 0: no value text.
struct ValueLabel {
    int16_t format = 0;
    double scale = 1.0;
    bool ofFrequency = false;
};
/// The sensitivity sliders' value text: "Sensitivity of Control: %ld %%" of the position.
inline constexpr int16_t kSensitivityText = 115;

enum class ClampOn : uint8_t { None, Source, Both };

/// How the signal processing turns a link into a number: manual, Value x manual; from a source, the
/// reading x Sensitivity x 0.01 x source (x measure more for a mouse measure), its magnitude when
/// absOnSource; then Clamp(x, lower, upper, absFirst) on the branches clampOn names. Steps that follow
/// (a floor of one control period, a further factor) belong to the kind's processing.
struct LinkScale {
    double manual = 1.0;
    double source = 1.0;
    double measure = 1.0;
    bool absOnSource = false;
    ClampOn clampOn = ClampOn::None;
    double lower = 0.0;
    double upper = 0.0;
    bool absFirst = false;
    constexpr bool operator==(const LinkScale&) const = default;
};

/// A ControlLink: its source list offers "-[ Manual ]-" and shows the value slider while manual, the
/// sensitivity slider otherwise.
struct LinkDesc {
    int field;             // the kind's Link index this row describes
    std::string_view stem; // parameter name as the module window labels it
    double defaultValue = 0.0;
    SourceId defaultSource = kManualSource; // kManualSource or kNoSource
    bool hasValue = true;                   // false for the ding-dong's note link
    int16_t label = 0;                      // LanguageStrings number of the label
    int16_t labelArg = 0;                   // the number a "%ld" label is formatted with
    ParamUnit unit = ParamUnit::Number;     // of the number the kind works with: Value x scale.manual
    SliderRange slider{};                   // the value slider
    SliderRange longSlider{};               // the value slider while the kind's long-interval mode is on
    SliderRange sensitivity{0, 1000};
    ValueLabel shown{};
    LinkScale scale{};
    int16_t noneLabel = 0; // LanguageStrings label of the source list's "nothing" item (0: empty)
};
/// A plain input: its source list offers no manual value.
struct InputDesc {
    int field;
    std::string_view key;
    int16_t label = 0;
    int16_t labelArg = 0;
    ParamUnit unit = ParamUnit::AudioSignal;
};
struct RealDesc {
    int field;
    std::string_view key;
    double defaultValue = 0.0;
    int16_t label = 0;
    int16_t labelArg = 0;
    ParamUnit unit = ParamUnit::Number;
    SliderRange slider{};
    ValueLabel shown{};
};
struct IntDesc {
    int field;
    std::string_view key;
    int32_t defaultValue = 0;
    int16_t label = 0;
    ParamUnit unit = ParamUnit::DeviceNumber;
    ChangeNeeds onChange = ChangeNeeds::Republish;
};
struct BoolDesc {
    int field;
    std::string_view key;
    bool defaultValue = false;
    int16_t label = 0;
    int8_t longRangeOf = -1; // the link whose slider takes its longSlider range while this is set
};
struct TextDesc {
    int field;
    std::string_view key;
    int16_t label = 0;
    ChangeNeeds onChange = ChangeNeeds::Nothing;
};
struct EnumDesc {
    int field;
    std::string_view key;
    std::span<const std::string_view> table;
    int32_t defaultValue = 0;
    bool keepOnUnknownText = false; // the analyzer's Mode: an unknown text keeps the current mode
    int16_t label = 0;
    std::span<const int16_t> optionLabels = {}; // LanguageStrings option texts (empty: the table's)
};
struct DeviceParamDesc {
    int field;
    std::string_view key = "OutputDeviceID";
    int32_t defaultValue = -1;
    int16_t label = 89; // "Output device"
    int16_t labelArg = 0;
    ChangeNeeds onChange = ChangeNeeds::Republish;
};

struct KindSchema {
    std::span<const LinkDesc> links;
    std::span<const InputDesc> inputs;
    std::span<const RealDesc> reals;
    std::span<const IntDesc> ints;
    std::span<const BoolDesc> bools;
    std::span<const TextDesc> texts;
    std::span<const EnumDesc> enums;
    std::span<const DeviceParamDesc> devices;
    bool controllers = false;
    std::vector<KeyDesc> keys; // writer order, after Name and Position
};

const KindSchema& Schema(ModuleKind kind);

inline constexpr int32_t kNoOutputDevice = -555;
inline constexpr int32_t kNoMidiDevice = -555;
inline constexpr int kMaxSliders = 128;

/// True when the rows describe the fields 0..count-1 in this order (row i names field i).
template <class Desc, size_t N> constexpr bool InFieldOrder(const Desc (&rows)[N], int count) {
    if (N != size_t(count)) return false;
    for (size_t i = 0; i < N; ++i)
        if (rows[i].field != int(i)) return false;
    return true;
}

// ---- per kind: the field indices and their tables ----
//
// Each index enum ends with its count; the table beside it must list exactly those fields in that order.
// Labels are LanguageStrings numbers. Sliders are {lower, upper, factor}; value texts {format, scale}.
// (The tables are laid out by hand: one row per field.)
// clang-format off

inline constexpr ValueLabel kShowValue{450};   // "Value: %g"
inline constexpr ValueLabel kShowPercent{451}; // "%g %%"
inline constexpr ValueLabel kShowMs{443};      // "%g milliseconds"
inline constexpr ValueLabel kShowHertz{82};    // "Frequency: %g hertz"
inline constexpr ValueLabel kShowSemitones{444}, kShowCents{445}, kShowBpm{446}, kShowVelocity{447};

inline constexpr LinkScale kAsPercent{.manual = 0.01, .source = 0.001}; // a percent Value as a share
inline constexpr LinkScale kAsControlValue{.manual = 10.0};             // a percent Value as 0..1000
inline constexpr LinkScale kStepSizeScale{.manual = 0.01, .source = 0.001, .clampOn = ClampOn::Both,
                                          .lower = 0.0, .upper = 1.0, .absFirst = true};
inline constexpr LinkScale kHalfTurnScale{.source = 0.05, .clampOn = ClampOn::Source, .lower = -50.0,
                                          .upper = 50.0}; // Ramp and Phase
inline constexpr LinkScale kFrequencyScale{.measure = 6.0, .clampOn = ClampOn::Source, .lower = 0.0,
                                           .upper = 24000.0, .absFirst = true}; // a mouse measure x 6
inline constexpr LinkScale kTuningScale{.source = 0.05}, kTransposeScale{.source = 0.048};
// The echoes: an interval in milliseconds, a source at twice its magnitude; the linger a share.
inline constexpr LinkScale kIntervalScale{.source = 2.0, .absOnSource = true};
inline constexpr LinkScale kLingerScale{.manual = 0.01, .source = 0.001, .absOnSource = true};

namespace sensitizer {
enum Link { Input, LinkCount };
enum Real { Attack, Decay, RealCount };
enum Bool { FreqMode, BoolCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = Input, .stem = "Input", .defaultSource = kNoSource, .label = 55,
     .unit = ParamUnit::ControlValue, .slider = {0, 1000, 10}, .shown = kShowPercent,
     .scale = kAsControlValue},
};
inline constexpr RealDesc kReals[] = {
    {.field = Attack, .key = "Attack", .label = 56, .slider = {0, 1000}, .shown = kShowValue},
    {.field = Decay, .key = "Decay", .label = 57, .slider = {0, 1000}, .shown = kShowValue},
};
inline constexpr BoolDesc kBools[] = {{.field = FreqMode, .key = "DoFreqMode", .label = 116}};
} // namespace sensitizer

namespace modulator {
enum Link { Waveform, Ramp, Phase, StepSize, Noise, Input, LinkCount };
enum Real { BaseFrequency, FrequencyMultiplier, RealCount };
enum Enum { Effect, EnumCount };
enum Bool { SignedOutput, LinearInput, BoolCount };
enum EffectValue { AM = 0, FM = 1 };
inline constexpr std::string_view kEffectTexts[] = {"AM", "FM"};
inline constexpr LinkDesc kLinks[] = {
    {.field = Waveform, .stem = "Waveform", .label = 111, .slider = {0, 300}, .shown = kShowValue},
    {.field = Ramp, .stem = "Ramp", .label = 168, .slider = {-50, 50}, .shown = kShowPercent,
     .scale = kHalfTurnScale},
    {.field = Phase, .stem = "Phase", .label = 290, .slider = {-50, 50}, .shown = kShowPercent,
     .scale = kHalfTurnScale},
    {.field = StepSize, .stem = "StepSize", .label = 416, .unit = ParamUnit::Ratio, .slider = {0, 1000, 10},
     .shown = kShowValue, .scale = kStepSizeScale},
    {.field = Noise, .stem = "Noise", .label = 110, .unit = ParamUnit::Percent, .slider = {0, 100},
     .shown = kShowPercent, .scale = {.source = 0.1}},
    {.field = Input, .stem = "Input", .label = 80, .unit = ParamUnit::ControlValue, .slider = {-100, 100},
     .shown = kShowPercent, .scale = kAsControlValue},
};
inline constexpr RealDesc kReals[] = {
    {.field = BaseFrequency, .key = "BaseFrequencyValue", .defaultValue = 2, .label = 83,
     .unit = ParamUnit::Hertz, .slider = {0, 1000, 100}, .shown = {79, 1.0, true}},
    {.field = FrequencyMultiplier, .key = "FrequencyMultiplierValue", .defaultValue = 1, .label = 84,
     .slider = {1, 1000, 10}, .shown = {79, 1.0, true}},
};
inline constexpr EnumDesc kEnums[] = {
    {.field = Effect, .key = "Effect", .table = kEffectTexts, .defaultValue = FM, .label = 76}};
inline constexpr BoolDesc kBools[] = {{.field = SignedOutput, .key = "DoSignedOutput", .label = 77},
                                      {.field = LinearInput, .key = "DoLinearInput", .label = 78}};
} // namespace modulator

namespace osc {
enum Link { Amplitude, Frequency, Noise, Waveform, Ramp, Phase, StepSize, LinkCount };
enum Real { FrequencyMultiplier, RealCount };
enum Device { Output, DeviceCount };
// The Frequency link's manual value is BaseFrequencyValue x FrequencyMultiplierValue.
inline constexpr LinkDesc kLinks[] = {
    {.field = Amplitude, .stem = "Amplitude", .defaultValue = 500, .label = 85,
     .unit = ParamUnit::ControlValue, .slider = {0, 1000}, .shown = {451, 0.1}},
    {.field = Frequency, .stem = "Frequency", .defaultValue = 4.4, .label = 86, .unit = ParamUnit::Hertz,
     .slider = {0, 600, 10}, .shown = {82, 1.0, true}, .scale = kFrequencyScale},
    {.field = Noise, .stem = "Noise", .label = 110, .unit = ParamUnit::Percent, .slider = {0, 1000, 10},
     .shown = kShowPercent},
    {.field = Waveform, .stem = "Waveform", .label = 111, .slider = {0, 300}, .shown = kShowValue},
    {.field = Ramp, .stem = "Ramp", .label = 168, .slider = {-50, 50}, .shown = kShowPercent,
     .scale = kHalfTurnScale},
    {.field = Phase, .stem = "Phase", .label = 290, .slider = {-50, 50}, .shown = kShowPercent,
     .scale = kHalfTurnScale},
    {.field = StepSize, .stem = "StepSize", .label = 416, .unit = ParamUnit::Ratio, .slider = {0, 1000, 10},
     .shown = kShowValue, .scale = kStepSizeScale},
};
inline constexpr RealDesc kReals[] = {{.field = FrequencyMultiplier, .key = "FrequencyMultiplierValue",
                                       .defaultValue = 100, .label = 84, .slider = {1, 400},
                                       .shown = {82, 1.0, true}}};
inline constexpr DeviceParamDesc kDevices[] = {{.field = Output}};
} // namespace osc

namespace output {
enum Input { Input, InputCount };
enum Device { Output, DeviceCount };
inline constexpr InputDesc kInputs[] = {{.field = Input, .key = "InputModule", .label = 95}};
inline constexpr DeviceParamDesc kDevices[] = {{.field = Output}};
} // namespace output

namespace control_echo {
enum Link { Interval, Linger, LinkCount };
enum Bool { LongMode, FreqMode, BoolCount };
enum Input { Input, InputCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = Interval, .stem = "Interval", .defaultValue = 250, .label = 99, .unit = ParamUnit::Milliseconds,
     .slider = {1, 500}, .shown = {123}, .scale = kIntervalScale},
    {.field = Linger, .stem = "Linger", .defaultValue = 75, .label = 101, .unit = ParamUnit::Ratio,
     .slider = {0, 100}, .shown = kShowPercent, .scale = kLingerScale},
};
inline constexpr BoolDesc kBools[] = {{.field = LongMode, .key = "DoLongMode", .label = 100},
                                      {.field = FreqMode, .key = "DoFreqMode", .label = 116}};
inline constexpr InputDesc kInputs[] = {
    {.field = Input, .key = "InputSource", .label = 96, .unit = ParamUnit::ControlValue}};
} // namespace control_echo

namespace combine {
enum Input { Input1, Input2, Input3, Input4, Input5, InputCount };
inline constexpr InputDesc kInputs[] = {
    {.field = Input1, .key = "InputSource1", .label = 104, .labelArg = 1, .unit = ParamUnit::ControlValue},
    {.field = Input2, .key = "InputSource2", .label = 104, .labelArg = 2, .unit = ParamUnit::ControlValue},
    {.field = Input3, .key = "InputSource3", .label = 104, .labelArg = 3, .unit = ParamUnit::ControlValue},
    {.field = Input4, .key = "InputSource4", .label = 104, .labelArg = 4, .unit = ParamUnit::ControlValue},
    {.field = Input5, .key = "InputSource5", .label = 104, .labelArg = 5, .unit = ParamUnit::ControlValue},
};
} // namespace combine

namespace range {
enum Link { Input, LinkCount };
enum Real { OutputLowerLimit, OutputUpperLimit, InputLowerLimit, InputUpperLimit, RealCount };
enum Bool { KeepInRange, BoolCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = Input, .stem = "Input", .defaultSource = kNoSource, .label = 55,
     .unit = ParamUnit::ControlValue, .slider = {-1000, 1000, 10}, .shown = kShowPercent,
     .scale = kAsControlValue},
};
// The limits are percent of the 0..1000 scale; each pair shares one label.
inline constexpr RealDesc kReals[] = {
    {.field = OutputLowerLimit, .key = "OutputLowerLimit", .defaultValue = -100, .label = 442,
     .unit = ParamUnit::Percent, .slider = {-200, 200}, .shown = {448}},
    {.field = OutputUpperLimit, .key = "OutputUpperLimit", .defaultValue = 100, .label = 442,
     .unit = ParamUnit::Percent, .slider = {-200, 200}, .shown = {449}},
    {.field = InputLowerLimit, .key = "InputLowerLimit", .defaultValue = -100, .label = 105,
     .unit = ParamUnit::Percent, .slider = {-200, 200}, .shown = {448}},
    {.field = InputUpperLimit, .key = "InputUpperLimit", .defaultValue = 100, .label = 105,
     .unit = ParamUnit::Percent, .slider = {-200, 200}, .shown = {449}},
};
inline constexpr BoolDesc kBools[] = {{.field = KeepInRange, .key = "DoKeepInRange", .label = 106}};
} // namespace range

namespace midi_input {
enum Link { Transpose, Tuning, LinkCount };
enum Int { InputDevice, IntCount };
enum Bool { ReversedNoteOrientation, BoolCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = Transpose, .stem = "Transpose", .label = 117, .unit = ParamUnit::Semitones, .slider = {-48, 48},
     .shown = kShowSemitones, .scale = kTransposeScale},
    {.field = Tuning, .stem = "Tuning", .label = 118, .unit = ParamUnit::Cents, .slider = {-50, 50},
     .shown = kShowCents, .scale = kTuningScale},
};
inline constexpr IntDesc kInts[] = {
    {.field = InputDevice, .key = "InputDeviceID", .defaultValue = kNoMidiDevice, .label = 112}};
inline constexpr BoolDesc kBools[] = {
    {.field = ReversedNoteOrientation, .key = "DoReversedNoteOrientation", .label = 306}};
} // namespace midi_input

namespace closest_note {
enum Link { Tuning, Input, LinkCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = Tuning, .stem = "Tuning", .label = 118, .unit = ParamUnit::Cents, .slider = {-50, 50},
     .shown = kShowCents, .scale = kTuningScale},
    {.field = Input, .stem = "Input", .defaultSource = kNoSource, .label = 55, .unit = ParamUnit::Hertz,
     .slider = {0, 1000, 10}, .shown = {82, 10.0}, .scale = kAsControlValue},
};
} // namespace closest_note

namespace audio_echo {
enum Link { Interval, Linger, LinkCount };
enum Bool { LongMode, BoolCount };
enum Device { Output, DeviceCount };
enum Input { Input, InputCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = Interval, .stem = "Interval", .defaultValue = 250, .label = 99, .unit = ParamUnit::Milliseconds,
     .slider = {1, 1000}, .longSlider = {1, 10000}, .shown = {123}, .scale = kIntervalScale},
    {.field = Linger, .stem = "Linger", .defaultValue = 75, .label = 101, .unit = ParamUnit::Ratio,
     .slider = {0, 100}, .shown = kShowPercent, .scale = kLingerScale},
};
inline constexpr BoolDesc kBools[] = {
    {.field = LongMode, .key = "DoLongMode", .label = 100, .longRangeOf = Interval}};
inline constexpr DeviceParamDesc kDevices[] = {{.field = Output}};
inline constexpr InputDesc kInputs[] = {{.field = Input, .key = "InputModule", .label = 95}};
} // namespace audio_echo

namespace audio_input {
enum Link { Gain, LinkCount };
enum Int { InputDevice, IntCount };
inline constexpr LinkDesc kLinks[] = {{.field = Gain, .stem = "Gain", .defaultValue = 100, .label = 140,
                                       .unit = ParamUnit::Percent, .slider = {0, 1000},
                                       .shown = kShowPercent}};
inline constexpr IntDesc kInts[] = {
    {.field = InputDevice, .key = "InputDeviceID", .defaultValue = -1, .label = 127}};
} // namespace audio_input

namespace pitch_shift {
enum Link { Pitch, LinkCount };
enum Bool { LowPassFilter, BoolCount };
enum Device { Output, DeviceCount };
enum Input { Input, InputCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = Pitch, .stem = "Pitch", .defaultValue = 100, .label = 131, .unit = ParamUnit::Percent,
     .slider = {10, 1000}, .shown = kShowPercent, .scale = {.clampOn = ClampOn::Source, .lower = 10.0,
     .upper = 1000.0, .absFirst = true}},
};
inline constexpr BoolDesc kBools[] = {{.field = LowPassFilter, .key = "DoLowPassFilter", .label = 130}};
inline constexpr DeviceParamDesc kDevices[] = {{.field = Output}};
inline constexpr InputDesc kInputs[] = {{.field = Input, .key = "InputModule", .label = 95}};
} // namespace pitch_shift

inline constexpr LinkScale kFaderScale{.source = 0.1};

namespace output_split {
enum Link { Fader, LinkCount };
enum Device { Output1, Output2, DeviceCount };
enum Input { Input, InputCount };
inline constexpr LinkDesc kLinks[] = {{.field = Fader, .stem = "Fader", .label = 133,
.unit = ParamUnit::Percent,
                                       .slider = {-100, 100}, .shown = kShowPercent, .scale = kFaderScale}};
inline constexpr DeviceParamDesc kDevices[] = {
    {.field = Output1, .key = "OutputDeviceID1", .label = 136, .labelArg = 1},
    {.field = Output2, .key = "OutputDeviceID2", .label = 136, .labelArg = 2}};
inline constexpr InputDesc kInputs[] = {{.field = Input, .key = "InputModule", .label = 95}};
} // namespace output_split

namespace input_combine {
enum Link { Fader, LinkCount };
enum Device { Output, DeviceCount };
enum Input { Input1, Input2, InputCount };
inline constexpr LinkDesc kLinks[] = {{.field = Fader, .stem = "Fader", .label = 133,
.unit = ParamUnit::Percent,
                                       .slider = {-100, 100}, .shown = kShowPercent, .scale = kFaderScale}};
inline constexpr DeviceParamDesc kDevices[] = {{.field = Output}};
inline constexpr InputDesc kInputs[] = {
    {.field = Input1, .key = "InputModule1", .label = 139, .labelArg = 1},
    {.field = Input2, .key = "InputModule2", .label = 139, .labelArg = 2}};
} // namespace input_combine

namespace multi_delay {
enum Link { Delay1, Delay2, Delay3, Delay4, Delay5, LinkCount };
enum Device { Output, DeviceCount };
enum Input { Input, InputCount };
// A source's delay is its magnitude x 10, at least 1 ms.
inline constexpr LinkScale kDelayScale{.source = 10.0, .absOnSource = true, .clampOn = ClampOn::Source,
                                       .lower = 1.0, .upper = std::numeric_limits<double>::infinity()};
inline constexpr LinkDesc kLinks[] = {
    {.field = Delay1, .stem = "Delay1", .defaultValue = 100, .label = 169, .labelArg = 1,
     .unit = ParamUnit::Milliseconds, .slider = {1, 10000}, .shown = kShowMs, .scale = kDelayScale},
    {.field = Delay2, .stem = "Delay2", .defaultValue = 200, .label = 169, .labelArg = 2,
     .unit = ParamUnit::Milliseconds, .slider = {1, 10000}, .shown = kShowMs, .scale = kDelayScale},
    {.field = Delay3, .stem = "Delay3", .defaultValue = 300, .label = 169, .labelArg = 3,
     .unit = ParamUnit::Milliseconds, .slider = {1, 10000}, .shown = kShowMs, .scale = kDelayScale},
    {.field = Delay4, .stem = "Delay4", .defaultValue = 400, .label = 169, .labelArg = 4,
     .unit = ParamUnit::Milliseconds, .slider = {1, 10000}, .shown = kShowMs, .scale = kDelayScale},
    {.field = Delay5, .stem = "Delay5", .defaultValue = 500, .label = 169, .labelArg = 5,
     .unit = ParamUnit::Milliseconds, .slider = {1, 10000}, .shown = kShowMs, .scale = kDelayScale},
};
inline constexpr DeviceParamDesc kDevices[] = {{.field = Output}};
inline constexpr InputDesc kInputs[] = {{.field = Input, .key = "InputModule", .label = 95}};
} // namespace multi_delay

namespace wave_writer {
enum Device { Output, DeviceCount };
enum Text { FilePath, TextCount };
enum Bool { Append, BoolCount };
inline constexpr DeviceParamDesc kDevices[] = {{.field = Output}};
inline constexpr TextDesc kTexts[] = {{.field = FilePath, .key = "FilePath", .label = 143}};
inline constexpr BoolDesc kBools[] = {
    {.field = Append, .key = "DoAppend", .defaultValue = true, .label = 151}};
} // namespace wave_writer

namespace distortion {
enum Link { Overdrive, Compression, CompressionWaveform, Noise, NoiseFidelity, LinkCount };
enum Device { Output, DeviceCount };
enum Input { Input, InputCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = Overdrive, .stem = "Overdrive", .defaultValue = 100, .label = 162, .unit = ParamUnit::Percent,
     .slider = {1, 1000}, .shown = kShowPercent, .scale = {.absOnSource = true}},
    {.field = Compression, .stem = "Compression", .label = 163, .slider = {-100, 100}, .shown = kShowValue},
    {.field = CompressionWaveform, .stem = "CompressionWaveform", .defaultValue = -100, .label = 164,
     .slider = {-100, 100}, .shown = kShowValue},
    {.field = Noise, .stem = "Noise", .label = 110, .unit = ParamUnit::Percent, .slider = {0, 1000, 10},
     .shown = kShowPercent, .scale = {.absOnSource = true}},
    {.field = NoiseFidelity, .stem = "NoiseFidelity", .label = 165, .slider = {0, 1000}, .shown = kShowValue,
     .scale = {.absOnSource = true}},
};
inline constexpr DeviceParamDesc kDevices[] = {{.field = Output}};
inline constexpr InputDesc kInputs[] = {{.field = Input, .key = "InputModule", .label = 95}};
} // namespace distortion

// The offset, the control input and the note combine read a percent Value, a source at a tenth.
inline constexpr LinkScale kTenthOfSource{.source = 0.1};

namespace offset {
enum Link { Offset, Input, LinkCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = Offset, .stem = "Offset", .label = 253, .unit = ParamUnit::Percent, .slider = {-200, 200},
     .shown = kShowPercent, .scale = kTenthOfSource},
    {.field = Input, .stem = "Input", .defaultSource = kNoSource, .label = 55, .unit = ParamUnit::Percent,
     .slider = {-100, 100}, .shown = kShowPercent, .scale = kTenthOfSource},
};
} // namespace offset

namespace gain {
enum Link { Gain, Input, LinkCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = Gain, .stem = "Gain", .defaultValue = 100, .label = 256, .unit = ParamUnit::Ratio,
     .slider = {0, 1000}, .shown = kShowPercent, .scale = kAsPercent},
    {.field = Input, .stem = "Input", .defaultSource = kNoSource, .label = 55,
     .unit = ParamUnit::ControlValue, .slider = {-100, 100}, .shown = kShowPercent, .scale = kAsControlValue},
};
} // namespace gain

namespace control_input {
enum Link { Input, LinkCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = Input, .stem = "Input", .label = 55, .unit = ParamUnit::Percent, .slider = {-100, 100},
     .shown = kShowPercent, .scale = kTenthOfSource}};
} // namespace control_input

namespace sequence {
enum Link { BPM, NoteLength, NoteVelocity, Transpose, Tuning, LinkCount };
enum Text { SequenceText, TextCount };
enum Int { RecordingSource, IntCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = BPM, .stem = "BPM", .defaultValue = 128, .label = 259, .unit = ParamUnit::BeatsPerMinute,
     .slider = {-1200, 1200}, .shown = kShowBpm, .scale = {.source = 1.2}},
    {.field = NoteLength, .stem = "NoteLength", .defaultValue = 250, .label = 260,
     .unit = ParamUnit::Milliseconds, .slider = {0, 1000, 0.1}, .shown = kShowMs, .scale = {.source = 10.0,
     .absOnSource = true}},
    {.field = NoteVelocity, .stem = "NoteVelocity", .defaultValue = 127, .label = 261,
     .unit = ParamUnit::Velocity, .slider = {0, 127}, .shown = kShowVelocity, .scale = {.source = 0.127,
     .absOnSource = true}},
    {.field = Transpose, .stem = "Transpose", .label = 117, .unit = ParamUnit::Semitones, .slider = {-48, 48},
     .shown = kShowSemitones, .scale = kTransposeScale},
    {.field = Tuning, .stem = "Tuning", .label = 118, .unit = ParamUnit::Cents, .slider = {-50, 50},
     .shown = kShowCents, .scale = kTuningScale},
};
inline constexpr TextDesc kTexts[] = {
    {.field = SequenceText, .key = "SequenceValue", .label = 262, .onChange = ChangeNeeds::Reparse}};
inline constexpr IntDesc kInts[] = {
    {.field = RecordingSource, .key = "RecordingSourceID", .defaultValue = kNoMidiDevice, .label = 292}};
} // namespace sequence

namespace ding_dong {
enum Link { Note, NoteLength, NoteVelocity, LinkCount };
enum Device { Output, DeviceCount };
// The note link gives each voice's frequency; it has no manual value (a manual source reads as 0).
inline constexpr LinkDesc kLinks[] = {
    {.field = Note, .stem = "Note", .defaultSource = kNoSource, .hasValue = false, .label = 267,
     .unit = ParamUnit::Hertz, .scale = kFrequencyScale},
    {.field = NoteLength, .stem = "NoteLength", .defaultValue = 250, .label = 260,
     .unit = ParamUnit::Milliseconds, .slider = {0, 1000, 0.1}, .shown = kShowMs,
     .scale = {.absOnSource = true}},
    {.field = NoteVelocity, .stem = "NoteVelocity", .defaultValue = 127, .label = 261,
     .unit = ParamUnit::Velocity, .slider = {0, 127}, .shown = kShowVelocity},
};
inline constexpr DeviceParamDesc kDevices[] = {{.field = Output}};
} // namespace ding_dong

namespace sensor {
enum Real { Angle, RealCount };
enum Bool { SignedOutput, BoolCount };
inline constexpr RealDesc kReals[] = {
    {.field = Angle, .key = "AngleValue", .label = 278, .unit = ParamUnit::Radians}};
inline constexpr BoolDesc kBools[] = {{.field = SignedOutput, .key = "DoSignedOutput", .label = 274}};
} // namespace sensor

namespace note_combine {
enum Link { Input, LinkCount };
enum Bool { Sustain, BoolCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = Input, .stem = "Input", .label = 55, .unit = ParamUnit::Percent, .slider = {-100, 100},
     .shown = kShowPercent, .scale = kTenthOfSource}};
inline constexpr BoolDesc kBools[] = {{.field = Sustain, .key = "DoSustain", .label = 277}};
} // namespace note_combine

namespace low_cut {
enum Link { LowCutFreq, Input, LinkCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = LowCutFreq, .stem = "LowCutFreq", .defaultValue = 120, .label = 281, .unit = ParamUnit::Hertz,
     .slider = {0, 500}, .shown = kShowHertz, .scale = {.source = 0.5, .absOnSource = true}},
    {.field = Input, .stem = "Input", .defaultValue = 440, .defaultSource = kNoSource, .label = 55,
     .unit = ParamUnit::Hertz, .slider = {0, 24000}, .shown = kShowHertz, .scale = {.absOnSource = true}},
};
} // namespace low_cut

namespace note_retard {
enum Link { Retardation, RetardationSource, Input, LinkCount };
// The retardation is a share, kept within 0..1 on both branches.
inline constexpr LinkDesc kLinks[] = {
    {.field = Retardation, .stem = "Retardation", .defaultValue = 50, .label = 284, .unit = ParamUnit::Ratio,
     .slider = {0, 100}, .shown = kShowPercent, .scale = {.manual = 0.01, .source = 0.001,
     .absOnSource = true, .clampOn = ClampOn::Both, .lower = 0.0, .upper = 1.0}},
    {.field = RetardationSource, .stem = "RetardationSource", .defaultSource = kNoSource, .label = 307,
     .unit = ParamUnit::Hertz, .slider = {0, 24000}, .shown = kShowHertz, .scale = {.absOnSource = true},
     .noneLabel = 285},
    {.field = Input, .stem = "Input", .defaultValue = 440, .defaultSource = kNoSource, .label = 55,
     .unit = ParamUnit::Hertz, .slider = {0, 24000}, .shown = kShowHertz, .scale = {.absOnSource = true}},
};
} // namespace note_retard

namespace analyzer {
enum Device { Output, DeviceCount };
enum Enum { Mode, EnumCount };
enum ModeValue { Analyzer = 0, Oscilloscope = 1 };
inline constexpr std::string_view kModeTexts[] = {"Analyzer", "Oscilloscope"};
inline constexpr int16_t kModeLabels[] = {288, 289};
inline constexpr DeviceParamDesc kDevices[] = {{.field = Output}};
inline constexpr EnumDesc kEnums[] = {{.field = Mode, .key = "Mode", .table = kModeTexts,
                                       .defaultValue = Oscilloscope, .keepOnUnknownText = true, .label = 243,
                                       .optionLabels = kModeLabels}};
} // namespace analyzer

// The low-pass and high-pass settings: a source at a tenth, its magnitude kept within 0..100.
inline constexpr LinkScale kAverageScale{.source = 0.1, .clampOn = ClampOn::Source, .lower = 0.0,
                                         .upper = 100.0, .absFirst = true};

namespace low_pass {
enum Link { MaxFreq, LinkCount };
enum Device { Output, DeviceCount };
enum Input { Input, InputCount };
inline constexpr LinkDesc kLinks[] = {{.field = MaxFreq, .stem = "MaxFreq", .defaultValue = 100, .label = 295,
                                       .unit = ParamUnit::Percent, .slider = {0, 100}, .shown = kShowPercent,
                                       .scale = kAverageScale}};
inline constexpr DeviceParamDesc kDevices[] = {{.field = Output}};
inline constexpr InputDesc kInputs[] = {{.field = Input, .key = "InputModule", .label = 95}};
} // namespace low_pass

namespace high_pass {
enum Link { Attenuation, LinkCount };
enum Device { Output, DeviceCount };
enum Input { Input, InputCount };
inline constexpr LinkDesc kLinks[] = {{.field = Attenuation, .stem = "Attenuation", .label = 298,
                                       .unit = ParamUnit::Percent, .slider = {0, 100}, .shown = kShowPercent,
                                       .scale = kAverageScale}};
inline constexpr DeviceParamDesc kDevices[] = {{.field = Output}};
inline constexpr InputDesc kInputs[] = {{.field = Input, .key = "InputModule", .label = 95}};
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
    Dendrite0,
    LinkCount
};
enum Bool { MakeAllInputsPositive, BoolCount };
enum Enum { EnergyFunction, EnumCount };
inline constexpr std::string_view kEnergyFunctionTexts[] = {"Linear ( Identity )"};
inline constexpr int16_t kEnergyFunctionLabels[] = {411};
// The rates are shares per millisecond, kept within 0..100 on both branches.
inline constexpr LinkScale kRateScale{.manual = 0.01, .source = 0.001, .clampOn = ClampOn::Both, .lower = 0.0,
                                      .upper = 100.0, .absFirst = true};
inline constexpr SliderRange kSignedSensitivity{-1000, 1000};
inline constexpr LinkDesc kLinks[] = {
    {.field = InputOutputRatio, .stem = "InputOutputRatio", .defaultValue = 100, .label = 401,
     .unit = ParamUnit::Ratio, .slider = {-1000, 1000}, .sensitivity = kSignedSensitivity,
     .shown = kShowPercent, .scale = kAsPercent},
    {.field = DischargeRate, .stem = "DischargeRate", .defaultValue = 7, .label = 402,
     .slider = {0, 1000, 10}, .shown = kShowValue, .scale = kRateScale},
    {.field = Threshold, .stem = "Threshold", .defaultValue = 1000, .label = 403, .slider = {-10000, 10000},
     .shown = kShowValue, .scale = {.source = 10.0}},
    {.field = Leakthrough, .stem = "Leakthrough", .label = 404, .slider = {0, 1000, 10}, .shown = kShowValue,
     .scale = kRateScale},
    {.field = Leakage, .stem = "Leakage", .label = 405, .slider = {0, 1000, 10}, .shown = kShowValue,
     .scale = kRateScale},
    {.field = Dendrite4, .stem = "Dendrite4", .label = 406, .labelArg = 4, .slider = {-200, 200},
     .sensitivity = kSignedSensitivity, .shown = kShowValue, .scale = kAsPercent},
    {.field = Dendrite3, .stem = "Dendrite3", .label = 406, .labelArg = 3, .slider = {-200, 200},
     .sensitivity = kSignedSensitivity, .shown = kShowValue, .scale = kAsPercent},
    {.field = Dendrite2, .stem = "Dendrite2", .label = 406, .labelArg = 2, .slider = {-200, 200},
     .sensitivity = kSignedSensitivity, .shown = kShowValue, .scale = kAsPercent},
    {.field = Dendrite1, .stem = "Dendrite1", .label = 406, .labelArg = 1, .slider = {-200, 200},
     .sensitivity = kSignedSensitivity, .shown = kShowValue, .scale = kAsPercent},
    {.field = Dendrite0, .stem = "Dendrite0", .label = 406, .labelArg = 0, .slider = {-200, 200},
     .sensitivity = kSignedSensitivity, .shown = kShowValue, .scale = kAsPercent},
};
inline constexpr BoolDesc kBools[] = {
    {.field = MakeAllInputsPositive, .key = "DoMakeAllInputsPositive", .label = 409}};
inline constexpr EnumDesc kEnums[] = {{.field = EnergyFunction, .key = "EnergyFunctionControl",
                                       .table = kEnergyFunctionTexts, .label = 400,
                                       .optionLabels = kEnergyFunctionLabels}};
} // namespace neuron

namespace audio_step {
enum Link { StepSize, LinkCount };
enum Device { Output, DeviceCount };
enum Input { Input, InputCount };
// Unlike the control step function, a manual step size is taken as it is (no clamp).
inline constexpr LinkDesc kLinks[] = {
    {.field = StepSize, .stem = "StepSize", .label = 416, .unit = ParamUnit::Ratio, .slider = {0, 1000, 10},
     .shown = kShowValue,
     .scale = {.manual = 0.01, .source = 0.001, .clampOn = ClampOn::Source, .lower = 0.0, .upper = 1.0,
               .absFirst = true}},
};
inline constexpr DeviceParamDesc kDevices[] = {{.field = Output}};
inline constexpr InputDesc kInputs[] = {{.field = Input, .key = "InputModule", .label = 95}};
} // namespace audio_step

namespace control_step {
enum Link { StepSize, Input, LinkCount };
inline constexpr LinkDesc kLinks[] = {
    {.field = StepSize, .stem = "StepSize", .label = 416, .unit = ParamUnit::Ratio, .slider = {0, 1000, 10},
     .shown = kShowValue, .scale = kStepSizeScale},
    {.field = Input, .stem = "Input", .label = 55, .unit = ParamUnit::ControlValue,
     .slider = {-1000, 1000, 10},
     .shown = kShowPercent, .scale = kAsControlValue},
};
} // namespace control_step

namespace polyphonicator {
enum Link { Input1, Input2, Input3, Input4, Input5, Input6, Input7, Input8, LinkCount };
enum Real {
    Velocity1, Velocity2, Velocity3, Velocity4, Velocity5, Velocity6, Velocity7, Velocity8, RealCount
};
// Input n: a link labelled "Input n control", and the share of the velocity its voices take.
constexpr LinkDesc InputRow(Link field, std::string_view stem) {
    return {.field = field, .stem = stem, .defaultSource = kNoSource, .label = 421, .labelArg = int16_t(field + 1),
            .unit = ParamUnit::ControlValue, .slider = {0, 1000, 10}, .shown = kShowPercent,
            .scale = kAsControlValue};
}
constexpr RealDesc VelocityRow(Real field, std::string_view key) {
    return {.field = field, .key = key, .defaultValue = 100, .label = 308, .labelArg = int16_t(field + 1),
            .unit = ParamUnit::Percent, .slider = {0, 1000, 10}, .shown = kShowPercent};
}
inline constexpr LinkDesc kLinks[] = {
    InputRow(Input1, "Input1"), InputRow(Input2, "Input2"), InputRow(Input3, "Input3"),
    InputRow(Input4, "Input4"), InputRow(Input5, "Input5"), InputRow(Input6, "Input6"),
    InputRow(Input7, "Input7"), InputRow(Input8, "Input8"),
};
inline constexpr RealDesc kReals[] = {
    VelocityRow(Velocity1, "Velocity_Input1"), VelocityRow(Velocity2, "Velocity_Input2"),
    VelocityRow(Velocity3, "Velocity_Input3"), VelocityRow(Velocity4, "Velocity_Input4"),
    VelocityRow(Velocity5, "Velocity_Input5"), VelocityRow(Velocity6, "Velocity_Input6"),
    VelocityRow(Velocity7, "Velocity_Input7"), VelocityRow(Velocity8, "Velocity_Input8"),
};
} // namespace polyphonicator

namespace note_envelope {
enum Link { Attack, RatioAttackLevelToVelocity, Decay, Sustain, Release, Smoothing, Input, LinkCount };
enum Real { InputVelocity, RealCount };
enum Enum { OutputMode, EnumCount };
inline constexpr std::string_view kOutputModeTexts[] = {
    "Modify Velocity",
    "Replace Velocity",
    "Modify Signal",
    "Replace Signal",
    "Modify Velocity and Signal",
    "Replace Velocity and Signal",
    "Envelope as Velocity with Null Signal",
    "Envelope as Signal with Full Velocity",
};
// Times in milliseconds: a source at ten times its magnitude.
inline constexpr LinkScale kTimeScale{.source = 10.0, .absOnSource = true};
inline constexpr LinkDesc kLinks[] = {
    {.field = Attack, .stem = "Attack", .defaultValue = 50, .label = 433, .unit = ParamUnit::Milliseconds,
     .slider = {0, 10000}, .shown = kShowMs, .scale = kTimeScale},
    {.field = RatioAttackLevelToVelocity, .stem = "Ratio_AttackLevelToVelocity", .defaultValue = 100,
     .label = 434, .unit = ParamUnit::Percent, .slider = {0, 1000}, .shown = kShowPercent,
     .scale = {.absOnSource = true}},
    {.field = Decay, .stem = "Decay", .defaultValue = 50, .label = 435, .unit = ParamUnit::Milliseconds,
     .slider = {0, 10000}, .shown = kShowMs, .scale = kTimeScale},
    {.field = Sustain, .stem = "Sustain", .defaultValue = 50, .label = 436, .unit = ParamUnit::Percent,
     .slider = {0, 1000, 10}, .shown = kShowPercent, .scale = {.source = 0.1, .absOnSource = true}},
    {.field = Release, .stem = "Release", .defaultValue = 200, .label = 439, .unit = ParamUnit::Milliseconds,
     .slider = {0, 10000}, .shown = kShowMs, .scale = kTimeScale},
    {.field = Smoothing, .stem = "Smoothing", .defaultValue = 10, .label = 440, .slider = {0, 10000},
     .shown = kShowValue, .scale = {.source = 10.0}},
    {.field = Input, .stem = "Input", .defaultSource = kNoSource, .label = 55, .unit = ParamUnit::Hertz,
     .slider = {0, 1000, 10}, .shown = {82, 10.0}, .scale = kAsControlValue},
};
inline constexpr RealDesc kReals[] = {{.field = InputVelocity, .key = "Control_Velocity_Input",
                                       .defaultValue = 100, .label = 441, .unit = ParamUnit::Percent,
                                       .slider = {0, 1000}, .shown = kShowPercent}};
inline constexpr EnumDesc kEnums[] = {
    {.field = OutputMode, .key = "OutputMode", .table = kOutputModeTexts, .label = 432}};
} // namespace note_envelope

namespace midi_slider {
enum Int { InputDevice, IntCount };
inline constexpr IntDesc kInts[] = {
    {.field = InputDevice, .key = "InputDeviceID", .defaultValue = kNoMidiDevice, .label = 112}};
} // namespace midi_slider

// clang-format on

// Every table lists its kind's fields in index order.
static_assert(InFieldOrder(sensitizer::kLinks, sensitizer::LinkCount) &&
              InFieldOrder(sensitizer::kReals, sensitizer::RealCount) &&
              InFieldOrder(sensitizer::kBools, sensitizer::BoolCount));
static_assert(InFieldOrder(modulator::kLinks, modulator::LinkCount) &&
              InFieldOrder(modulator::kReals, modulator::RealCount) &&
              InFieldOrder(modulator::kBools, modulator::BoolCount) &&
              InFieldOrder(modulator::kEnums, modulator::EnumCount));
static_assert(InFieldOrder(osc::kLinks, osc::LinkCount) && InFieldOrder(osc::kReals, osc::RealCount) &&
              InFieldOrder(osc::kDevices, osc::DeviceCount));
static_assert(InFieldOrder(output::kInputs, output::InputCount) &&
              InFieldOrder(output::kDevices, output::DeviceCount));
static_assert(InFieldOrder(control_echo::kLinks, control_echo::LinkCount) &&
              InFieldOrder(control_echo::kInputs, control_echo::InputCount) &&
              InFieldOrder(control_echo::kBools, control_echo::BoolCount));
static_assert(InFieldOrder(combine::kInputs, combine::InputCount));
static_assert(InFieldOrder(range::kLinks, range::LinkCount) &&
              InFieldOrder(range::kReals, range::RealCount) && InFieldOrder(range::kBools, range::BoolCount));
static_assert(InFieldOrder(midi_input::kLinks, midi_input::LinkCount) &&
              InFieldOrder(midi_input::kInts, midi_input::IntCount) &&
              InFieldOrder(midi_input::kBools, midi_input::BoolCount));
static_assert(InFieldOrder(closest_note::kLinks, closest_note::LinkCount));
static_assert(InFieldOrder(audio_echo::kLinks, audio_echo::LinkCount) &&
              InFieldOrder(audio_echo::kInputs, audio_echo::InputCount) &&
              InFieldOrder(audio_echo::kBools, audio_echo::BoolCount) &&
              InFieldOrder(audio_echo::kDevices, audio_echo::DeviceCount));
static_assert(InFieldOrder(audio_input::kLinks, audio_input::LinkCount) &&
              InFieldOrder(audio_input::kInts, audio_input::IntCount));
static_assert(InFieldOrder(pitch_shift::kLinks, pitch_shift::LinkCount) &&
              InFieldOrder(pitch_shift::kInputs, pitch_shift::InputCount) &&
              InFieldOrder(pitch_shift::kBools, pitch_shift::BoolCount) &&
              InFieldOrder(pitch_shift::kDevices, pitch_shift::DeviceCount));
static_assert(InFieldOrder(output_split::kLinks, output_split::LinkCount) &&
              InFieldOrder(output_split::kInputs, output_split::InputCount) &&
              InFieldOrder(output_split::kDevices, output_split::DeviceCount));
static_assert(InFieldOrder(input_combine::kLinks, input_combine::LinkCount) &&
              InFieldOrder(input_combine::kInputs, input_combine::InputCount) &&
              InFieldOrder(input_combine::kDevices, input_combine::DeviceCount));
static_assert(InFieldOrder(multi_delay::kLinks, multi_delay::LinkCount) &&
              InFieldOrder(multi_delay::kInputs, multi_delay::InputCount) &&
              InFieldOrder(multi_delay::kDevices, multi_delay::DeviceCount));
static_assert(InFieldOrder(wave_writer::kBools, wave_writer::BoolCount) &&
              InFieldOrder(wave_writer::kTexts, wave_writer::TextCount) &&
              InFieldOrder(wave_writer::kDevices, wave_writer::DeviceCount));
static_assert(InFieldOrder(distortion::kLinks, distortion::LinkCount) &&
              InFieldOrder(distortion::kInputs, distortion::InputCount) &&
              InFieldOrder(distortion::kDevices, distortion::DeviceCount));
static_assert(InFieldOrder(offset::kLinks, offset::LinkCount));
static_assert(InFieldOrder(gain::kLinks, gain::LinkCount));
static_assert(InFieldOrder(control_input::kLinks, control_input::LinkCount));
static_assert(InFieldOrder(sequence::kLinks, sequence::LinkCount) &&
              InFieldOrder(sequence::kInts, sequence::IntCount) &&
              InFieldOrder(sequence::kTexts, sequence::TextCount));
static_assert(InFieldOrder(ding_dong::kLinks, ding_dong::LinkCount) &&
              InFieldOrder(ding_dong::kDevices, ding_dong::DeviceCount));
static_assert(InFieldOrder(sensor::kReals, sensor::RealCount) &&
              InFieldOrder(sensor::kBools, sensor::BoolCount));
static_assert(InFieldOrder(note_combine::kLinks, note_combine::LinkCount) &&
              InFieldOrder(note_combine::kBools, note_combine::BoolCount));
static_assert(InFieldOrder(low_cut::kLinks, low_cut::LinkCount));
static_assert(InFieldOrder(note_retard::kLinks, note_retard::LinkCount));
static_assert(InFieldOrder(analyzer::kEnums, analyzer::EnumCount) &&
              InFieldOrder(analyzer::kDevices, analyzer::DeviceCount));
static_assert(InFieldOrder(low_pass::kLinks, low_pass::LinkCount) &&
              InFieldOrder(low_pass::kInputs, low_pass::InputCount) &&
              InFieldOrder(low_pass::kDevices, low_pass::DeviceCount));
static_assert(InFieldOrder(high_pass::kLinks, high_pass::LinkCount) &&
              InFieldOrder(high_pass::kInputs, high_pass::InputCount) &&
              InFieldOrder(high_pass::kDevices, high_pass::DeviceCount));
static_assert(InFieldOrder(neuron::kLinks, neuron::LinkCount) &&
              InFieldOrder(neuron::kBools, neuron::BoolCount) &&
              InFieldOrder(neuron::kEnums, neuron::EnumCount));
static_assert(InFieldOrder(audio_step::kLinks, audio_step::LinkCount) &&
              InFieldOrder(audio_step::kInputs, audio_step::InputCount) &&
              InFieldOrder(audio_step::kDevices, audio_step::DeviceCount));
static_assert(InFieldOrder(control_step::kLinks, control_step::LinkCount));
static_assert(InFieldOrder(polyphonicator::kLinks, polyphonicator::LinkCount) &&
              InFieldOrder(polyphonicator::kReals, polyphonicator::RealCount));
static_assert(InFieldOrder(note_envelope::kLinks, note_envelope::LinkCount) &&
              InFieldOrder(note_envelope::kReals, note_envelope::RealCount) &&
              InFieldOrder(note_envelope::kEnums, note_envelope::EnumCount));
static_assert(InFieldOrder(midi_slider::kInts, midi_slider::IntCount));

} // namespace mw
