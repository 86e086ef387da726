#include "model/params.hpp"

#include <array>
#include <deque>
#include <string>

namespace mw {
namespace {

constexpr std::array<std::string_view, 2> kEffectTable{"AM", "FM"};
constexpr std::array<std::string_view, 2> kAnalyzerModeTable{"Analyzer", "Oscilloscope"};
constexpr std::array<std::string_view, 1> kEnergyFunctionTable{"Linear ( Identity )"};
constexpr std::array<std::string_view, 8> kOutputModeTable{
    "Modify Velocity",
    "Replace Velocity",
    "Modify Signal",
    "Replace Signal",
    "Modify Velocity and Signal",
    "Replace Velocity and Signal",
    "Envelope as Velocity with Null Signal",
    "Envelope as Signal with Full Velocity",
};

// Key names must outlive the schema; the builder keeps composed names here.
// (a deque never moves its elements, so views into them stay valid).
std::deque<std::string>& KeyStore() {
    static std::deque<std::string> store;
    return store;
}
std::string_view Keep(std::string s) {
    auto& store = KeyStore();
    store.push_back(std::move(s));
    return store.back();
}

class Builder {
public:
    // The usual four keys: P+"Control", P+"ControlSubType", P+"ControlSensitivity", P+"Value".
    Builder& Link(std::string_view stem, double value, SourceId source = kManualSource) {
        const std::string p(stem);
        return LinkKeys(stem, value, source, Keep(p + "Control"), Keep(p + "ControlSubType"),
                        Keep(p + "ControlSensitivity"), Keep(p + "Value"));
    }
    // A link whose keys follow no pattern: source, SubType, Sensitivity, Value (value may be empty).
    Builder& LinkKeys(std::string_view stem, double value, SourceId source, std::string_view src,
                      std::string_view sub, std::string_view sens, std::string_view val) {
        const uint8_t f = NewLink(stem, value, source, !val.empty());
        Key(src, KeyRole::LinkSource, f).Key(sub, KeyRole::LinkSubType, f).Key(sens, KeyRole::LinkSensitivity, f);
        if (!val.empty()) Key(val, KeyRole::LinkValue, f);
        return *this;
    }
    uint8_t NewLink(std::string_view stem, double value, SourceId source, bool hasValue = true) {
        s_.links.push_back({stem, value, source, hasValue});
        return uint8_t(s_.links.size() - 1);
    }
    Builder& Key(std::string_view key, KeyRole role, uint8_t field) {
        s_.keys.push_back({key, role, field});
        return *this;
    }
    Builder& Input(std::string_view key) {
        s_.inputs.push_back({key});
        const auto f = uint8_t(s_.inputs.size() - 1);
        return Key(key, KeyRole::InputSource, f).Key(Keep(std::string(key) + "SubType"), KeyRole::InputSubType, f);
    }
    Builder& Real(std::string_view key, double def) {
        s_.reals.push_back({key, def});
        return Key(key, KeyRole::Real, uint8_t(s_.reals.size() - 1));
    }
    Builder& Int(std::string_view key, int32_t def) {
        s_.ints.push_back({key, def});
        return Key(key, KeyRole::Integer, uint8_t(s_.ints.size() - 1));
    }
    Builder& Bool(std::string_view key, bool def = false) {
        s_.bools.push_back({key, def});
        return Key(key, KeyRole::Bool, uint8_t(s_.bools.size() - 1));
    }
    Builder& Text(std::string_view key, KeyRole role = KeyRole::Text) {
        s_.texts.push_back({key});
        return Key(key, role, uint8_t(s_.texts.size() - 1));
    }
    Builder& Enum(std::string_view key, std::span<const std::string_view> table, int32_t def,
                  bool keepOnUnknown = false) {
        s_.enums.push_back({key, table, def, keepOnUnknown});
        return Key(key, KeyRole::Enum, uint8_t(s_.enums.size() - 1));
    }
    Builder& Device(std::string_view key = "OutputDeviceID", int32_t def = -1) {
        s_.devices.push_back({key, def});
        return Key(key, KeyRole::Device, uint8_t(s_.devices.size() - 1));
    }
    Builder& Controllers() {
        s_.controllers = true;
        return Key("Controller", KeyRole::Controllers, 0);
    }
    KindSchema Done() { return std::move(s_); }

private:
    KindSchema s_;
};

// An input link in the common "InputSource" form with Sensitivity before Value.
Builder& InputLink(Builder& b, std::string_view sensKey, std::string_view valueKey, double value, SourceId source,
                   std::string_view srcKey = "InputSource") {
    return b.LinkKeys("Input", value, source, srcKey, Keep(std::string(srcKey) + "SubType"), sensKey, valueKey);
}

std::array<KindSchema, kKindCount> BuildAll() {
    std::array<KindSchema, kKindCount> all;
    using K = ModuleKind;
    auto at = [&](K k) -> KindSchema& { return all[Index(k)]; };

    { // 0
        Builder b;
        b.Real("Attack", 0).Real("Decay", 0);
        InputLink(b, "Sensitivity", "Value_Input", 0, kNoSource);
        b.Bool("DoFreqMode");
        at(K::ControlSensitizer) = b.Done();
    }
    { // 1
        Builder b;
        b.Enum("Effect", kEffectTable, modulator::FM);
        b.Real("BaseFrequencyValue", 2).Real("FrequencyMultiplierValue", 1);
        b.Link("Waveform", 0).Link("Ramp", 0).Link("Phase", 0).Link("StepSize", 0).Link("Noise", 0);
        const uint8_t in = b.NewLink("Input", 0, kManualSource);
        b.Key("InputSource", KeyRole::LinkSource, in)
            .Key("InputSourceSubType", KeyRole::LinkSubType, in)
            .Key("InputValue", KeyRole::LinkValue, in)
            .Key("InputControlSensitivity", KeyRole::LinkSensitivity, in);
        b.Bool("DoSignedOutput").Bool("DoLinearInput");
        at(K::ControlModulator) = b.Done();
    }
    { // 2
        Builder b;
        b.Link("Amplitude", 500);
        b.LinkKeys("Frequency", 4.4, kManualSource, "FrequencyControl", "FrequencyControlSubType",
                   "FrequencyControlSensitivity", "BaseFrequencyValue");
        b.Real("FrequencyMultiplierValue", 100);
        b.Link("Noise", 0).Link("Waveform", 0).Link("Ramp", 0).Link("Phase", 0).Link("StepSize", 0);
        b.Device();
        at(K::AudioOsc) = b.Done();
    }
    { // 3
        Builder b;
        b.Device().Input("InputModule");
        at(K::AudioOutput) = b.Done();
    }
    { // 4
        Builder b;
        b.Link("Interval", 250).Bool("DoLongMode").Link("Linger", 75).Input("InputSource").Bool("DoFreqMode");
        at(K::ControlEcho) = b.Done();
    }
    { // 5
        Builder b;
        for (int n = 1; n <= 5; ++n) b.Input(Keep("InputSource" + std::to_string(n)));
        at(K::ControlCombine) = b.Done();
    }
    { // 6
        Builder b;
        b.Real("OutputLowerLimit", -100).Real("OutputUpperLimit", 100);
        b.Real("InputLowerLimit", -100).Real("InputUpperLimit", 100);
        b.Bool("DoKeepInRange");
        InputLink(b, "Control_Sensitivity_Input", "Value_Input", 0, kNoSource);
        at(K::ControlRange) = b.Done();
    }
    { // 7
        Builder b;
        b.Link("Transpose", 0).Link("Tuning", 0).Int("InputDeviceID", kNoMidiDevice).Bool("DoReversedNoteOrientation");
        at(K::ControlMIDIInput) = b.Done();
    }
    { // 8
        Builder b;
        b.Link("Tuning", 0);
        InputLink(b, "Control_Sensitivity_Input", "Value_Input", 0, kNoSource);
        at(K::ControlClosestNote) = b.Done();
    }
    { // 9
        Builder b;
        b.Link("Interval", 250).Bool("DoLongMode").Link("Linger", 75).Device().Input("InputModule");
        at(K::AudioEcho) = b.Done();
    }
    { // 10
        Builder b;
        b.Link("Gain", 100).Int("InputDeviceID", -1);
        at(K::AudioInput) = b.Done();
    }
    { // 11
        Builder b;
        b.Link("Pitch", 100).Bool("DoLowPassFilter").Device().Input("InputModule");
        at(K::AudioPitchShift) = b.Done();
    }
    { // 12
        Builder b;
        b.Link("Fader", 0).Device("OutputDeviceID1").Device("OutputDeviceID2").Input("InputModule");
        at(K::AudioOutputSplit) = b.Done();
    }
    { // 13
        Builder b;
        b.Link("Fader", 0).Device().Input("InputModule1").Input("InputModule2");
        at(K::AudioInputCombine) = b.Done();
    }
    { // 14
        Builder b;
        for (int n = 1; n <= 5; ++n) {
            const std::string d = std::to_string(n);
            b.LinkKeys(Keep("Delay" + d), 100.0 * n, kManualSource, Keep("DelayControl" + d),
                       Keep("DelayControl" + d + "SubType"), Keep("DelayControlSensitivity" + d),
                       Keep("DelayValue" + d));
        }
        b.Device().Input("InputModule");
        at(K::AudioMultiDelay) = b.Done();
    }
    { // 15
        Builder b;
        b.Device().Text("FilePath").Bool("DoAppend", true);
        at(K::AudioWaveWriter) = b.Done();
    }
    { // 16
        Builder b;
        b.Link("Overdrive", 100).Link("Compression", 0).Link("CompressionWaveform", -100);
        b.Link("Noise", 0).Link("NoiseFidelity", 0).Device().Input("InputModule");
        at(K::AudioDistortion) = b.Done();
    }
    { // 17
        Builder b;
        b.Link("Offset", 0);
        InputLink(b, "InputControlSensitivity", "InputValue", 0, kNoSource);
        at(K::ControlOffset) = b.Done();
    }
    { // 18
        Builder b;
        b.Link("Gain", 100);
        InputLink(b, "InputControlSensitivity", "InputValue", 0, kNoSource);
        at(K::ControlGain) = b.Done();
    }
    { // 19
        Builder b;
        InputLink(b, "InputControlSensitivity", "InputValue", 0, kManualSource);
        at(K::ControlInput) = b.Done();
    }
    { // 20
        Builder b;
        b.Link("BPM", 128).Link("NoteLength", 250).Link("NoteVelocity", 127).Link("Transpose", 0).Link("Tuning", 0);
        b.Text("SequenceValue", KeyRole::Sequence).Int("RecordingSourceID", kNoMidiDevice);
        at(K::ControlSequence) = b.Done();
    }
    { // 21
        Builder b;
        b.LinkKeys("Note", 0, kNoSource, "NoteControl", "NoteControlSubType", "NoteControlSensitivity", {});
        b.Link("NoteLength", 250).Link("NoteVelocity", 127).Device();
        at(K::AudioDingDong) = b.Done();
    }
    { // 22
        Builder b;
        b.Real("AngleValue", 0).Bool("DoSignedOutput");
        at(K::ControlSensor) = b.Done();
    }
    { // 23
        Builder b;
        InputLink(b, "InputControlSensitivity", "InputValue", 0, kManualSource);
        b.Bool("DoSustain");
        at(K::ControlNoteCombine) = b.Done();
    }
    { // 24
        Builder b;
        b.Link("LowCutFreq", 120);
        InputLink(b, "InputControlSensitivity", "InputValue", 440, kNoSource);
        at(K::ControlLowCut) = b.Done();
    }
    { // 25
        Builder b;
        b.Link("Retardation", 50).Link("RetardationSource", 0, kNoSource);
        InputLink(b, "InputControlSensitivity", "InputValue", 440, kNoSource);
        at(K::ControlNoteRetard) = b.Done();
    }
    { // 26
        Builder b;
        b.Device().Enum("Mode", kAnalyzerModeTable, analyzer::Oscilloscope, true);
        at(K::AudioOutputAnalyzer) = b.Done();
    }
    { // 27
        Builder b;
        b.Link("MaxFreq", 100).Device().Input("InputModule");
        at(K::AudioLowPass) = b.Done();
    }
    { // 28
        Builder b;
        b.Link("Attenuation", 0).Device().Input("InputModule");
        at(K::AudioHighPass) = b.Done();
    }
    { // 29
        Builder b;
        b.Bool("DoMakeAllInputsPositive").Enum("EnergyFunctionControl", kEnergyFunctionTable, 0);
        b.Link("InputOutputRatio", 100).Link("DischargeRate", 7).Link("Threshold", 1000);
        b.Link("Leakthrough", 0).Link("Leakage", 0);
        b.Link("Dendrite4", 0).Link("Dendrite3", 0).Link("Dendrite2", 0).Link("Dendrite1", 0).Link("Dendrite0", 0);
        at(K::ControlNeuron) = b.Done();
    }
    { // 30
        Builder b;
        b.Link("StepSize", 0).Device().Input("InputModule");
        at(K::AudioStepFunction) = b.Done();
    }
    { // 31
        Builder b;
        b.Link("StepSize", 0);
        InputLink(b, "InputControlSensitivity", "InputValue", 0, kManualSource, "InputControl");
        at(K::ControlStepFunction) = b.Done();
    }
    { // 32
        Builder b;
        for (int n = 1; n <= 8; ++n) {
            const std::string d = std::to_string(n);
            b.LinkKeys(Keep("Input" + d), 0, kNoSource, Keep("Control_Input" + d), Keep("Control_Input" + d + "SubType"),
                       Keep("Control_Sensitivity_Input" + d), Keep("Value_Input" + d));
            b.Real(Keep("Velocity_Input" + d), 100);
        }
        at(K::ControlPolyphonicator) = b.Done();
    }
    { // 33
        Builder b;
        b.Enum("OutputMode", kOutputModeTable, 0);
        const std::array<std::pair<const char*, double>, 6> stems{{{"Attack", 50},
                                                                   {"Ratio_AttackLevelToVelocity", 100},
                                                                   {"Decay", 50},
                                                                   {"Sustain", 50},
                                                                   {"Release", 200},
                                                                   {"Smoothing", 10}}};
        for (auto [stem, value] : stems) {
            const std::string s = stem;
            b.LinkKeys(Keep(s), value, kManualSource, Keep("Control_" + s), Keep("Control_" + s + "SubType"),
                       Keep("Control_Sensitivity_" + s), Keep("Value_" + s));
        }
        const uint8_t in = b.NewLink("Input", 0, kNoSource);
        b.Key("Control_Input", KeyRole::LinkSource, in)
            .Key("Control_InputSubType", KeyRole::LinkSubType, in)
            .Key("Control_Sensitivity_Input", KeyRole::LinkSensitivity, in);
        b.Real("Control_Velocity_Input", 100);
        b.Key("Value_Input", KeyRole::LinkValue, in);
        at(K::ControlNoteEnvelope) = b.Done();
    }
    { // 34
        Builder b;
        b.Int("InputDeviceID", kNoMidiDevice).Controllers();
        at(K::ControlMIDIControllerInput) = b.Done();
    }
    return all;
}

} // namespace

const KindSchema& Schema(ModuleKind kind) {
    static const std::array<KindSchema, kKindCount> all = BuildAll();
    return all[Index(kind)];
}

} // namespace mw
