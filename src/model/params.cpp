#include "model/params.hpp"

#include <array>
#include <deque>
#include <string>

namespace mw {
namespace {

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

// Adds a kind's keys, in writer order, to its tables.
class Builder {
public:
    explicit Builder(KindSchema tables) : s_(std::move(tables)) {}

    // The usual four keys: P+"Control", P+"ControlSubType", P+"ControlSensitivity", P+"Value".
    Builder& Link(int field) {
        const std::string p(s_.links[size_t(field)].stem);
        return LinkKeys(field, Keep(p + "Control"), Keep(p + "ControlSubType"),
                        Keep(p + "ControlSensitivity"), Keep(p + "Value"));
    }
    // A link whose keys follow no pattern: source, SubType, Sensitivity, Value (value may be empty).
    Builder& LinkKeys(int field, std::string_view src, std::string_view sub, std::string_view sens,
                      std::string_view val) {
        Key(src, KeyRole::LinkSource, field).Key(sub, KeyRole::LinkSubType, field);
        Key(sens, KeyRole::LinkSensitivity, field);
        if (!val.empty()) Key(val, KeyRole::LinkValue, field);
        return *this;
    }
    Builder& Key(std::string_view key, KeyRole role, int field) {
        s_.keys.push_back({key, role, uint8_t(field)});
        return *this;
    }
    Builder& Input(int field) {
        const std::string_view key = s_.inputs[size_t(field)].key;
        return Key(key, KeyRole::InputSource, field)
            .Key(Keep(std::string(key) + "SubType"), KeyRole::InputSubType, field);
    }
    Builder& Real(int field) { return Key(s_.reals[size_t(field)].key, KeyRole::Real, field); }
    Builder& Int(int field) { return Key(s_.ints[size_t(field)].key, KeyRole::Integer, field); }
    Builder& Bool(int field) { return Key(s_.bools[size_t(field)].key, KeyRole::Bool, field); }
    Builder& Text(int field, KeyRole role = KeyRole::Text) {
        return Key(s_.texts[size_t(field)].key, role, field);
    }
    Builder& Enum(int field) { return Key(s_.enums[size_t(field)].key, KeyRole::Enum, field); }
    Builder& Device(int field) { return Key(s_.devices[size_t(field)].key, KeyRole::Device, field); }
    Builder& Controllers() {
        s_.controllers = true;
        return Key("Controller", KeyRole::Controllers, 0);
    }
    KindSchema Done() { return std::move(s_); }

private:
    KindSchema s_;
};

// An input link in the common "InputSource" form with Sensitivity before Value.
Builder& InputLink(Builder& b, int field, std::string_view sensKey, std::string_view valueKey,
                   std::string_view srcKey = "InputSource") {
    return b.LinkKeys(field, srcKey, Keep(std::string(srcKey) + "SubType"), sensKey, valueKey);
}

std::array<KindSchema, kKindCount> BuildAll() {
    std::array<KindSchema, kKindCount> all;
    using K = ModuleKind;
    auto at = [&](K k) -> KindSchema& { return all[Index(k)]; };

    { // 0
        using namespace sensitizer;
        Builder b({.links = kLinks, .reals = kReals, .bools = kBools});
        b.Real(Attack).Real(Decay);
        InputLink(b, Input, "Sensitivity", "Value_Input");
        b.Bool(FreqMode);
        at(K::ControlSensitizer) = b.Done();
    }
    { // 1
        using namespace modulator;
        Builder b({.links = kLinks, .reals = kReals, .bools = kBools, .enums = kEnums});
        b.Enum(Effect);
        b.Real(BaseFrequency).Real(FrequencyMultiplier);
        b.Link(Waveform).Link(Ramp).Link(Phase).Link(StepSize).Link(Noise);
        b.Key("InputSource", KeyRole::LinkSource, Input)
            .Key("InputSourceSubType", KeyRole::LinkSubType, Input)
            .Key("InputValue", KeyRole::LinkValue, Input)
            .Key("InputControlSensitivity", KeyRole::LinkSensitivity, Input);
        b.Bool(SignedOutput).Bool(LinearInput);
        at(K::ControlModulator) = b.Done();
    }
    { // 2
        using namespace osc;
        Builder b({.links = kLinks, .reals = kReals, .devices = kDevices});
        b.Link(Amplitude);
        b.LinkKeys(Frequency, "FrequencyControl", "FrequencyControlSubType", "FrequencyControlSensitivity",
                   "BaseFrequencyValue");
        b.Real(FrequencyMultiplier);
        b.Link(Noise).Link(Waveform).Link(Ramp).Link(Phase).Link(StepSize);
        b.Device(Output);
        at(K::AudioOsc) = b.Done();
    }
    { // 3
        using namespace output;
        Builder b({.inputs = kInputs, .devices = kDevices});
        b.Device(Output).Input(Input);
        at(K::AudioOutput) = b.Done();
    }
    { // 4
        using namespace control_echo;
        Builder b({.links = kLinks, .inputs = kInputs, .bools = kBools});
        b.Link(Interval).Bool(LongMode).Link(Linger).Input(Input).Bool(FreqMode);
        at(K::ControlEcho) = b.Done();
    }
    { // 5
        using namespace combine;
        Builder b({.inputs = kInputs});
        for (int n = Input1; n <= Input5; ++n) b.Input(n);
        at(K::ControlCombine) = b.Done();
    }
    { // 6
        using namespace range;
        Builder b({.links = kLinks, .reals = kReals, .bools = kBools});
        b.Real(OutputLowerLimit).Real(OutputUpperLimit).Real(InputLowerLimit).Real(InputUpperLimit);
        b.Bool(KeepInRange);
        InputLink(b, Input, "Control_Sensitivity_Input", "Value_Input");
        at(K::ControlRange) = b.Done();
    }
    { // 7
        using namespace midi_input;
        Builder b({.links = kLinks, .ints = kInts, .bools = kBools});
        b.Link(Transpose).Link(Tuning).Int(InputDevice).Bool(ReversedNoteOrientation);
        at(K::ControlMIDIInput) = b.Done();
    }
    { // 8
        using namespace closest_note;
        Builder b({.links = kLinks});
        b.Link(Tuning);
        InputLink(b, Input, "Control_Sensitivity_Input", "Value_Input");
        at(K::ControlClosestNote) = b.Done();
    }
    { // 9
        using namespace audio_echo;
        Builder b({.links = kLinks, .inputs = kInputs, .bools = kBools, .devices = kDevices});
        b.Link(Interval).Bool(LongMode).Link(Linger).Device(Output).Input(Input);
        at(K::AudioEcho) = b.Done();
    }
    { // 10
        using namespace audio_input;
        Builder b({.links = kLinks, .ints = kInts});
        b.Link(Gain).Int(InputDevice);
        at(K::AudioInput) = b.Done();
    }
    { // 11
        using namespace pitch_shift;
        Builder b({.links = kLinks, .inputs = kInputs, .bools = kBools, .devices = kDevices});
        b.Link(Pitch).Bool(LowPassFilter).Device(Output).Input(Input);
        at(K::AudioPitchShift) = b.Done();
    }
    { // 12
        using namespace output_split;
        Builder b({.links = kLinks, .inputs = kInputs, .devices = kDevices});
        b.Link(Fader).Device(Output1).Device(Output2).Input(Input);
        at(K::AudioOutputSplit) = b.Done();
    }
    { // 13
        using namespace input_combine;
        Builder b({.links = kLinks, .inputs = kInputs, .devices = kDevices});
        b.Link(Fader).Device(Output).Input(Input1).Input(Input2);
        at(K::AudioInputCombine) = b.Done();
    }
    { // 14
        using namespace multi_delay;
        Builder b({.links = kLinks, .inputs = kInputs, .devices = kDevices});
        for (int n = 1; n <= 5; ++n) {
            const std::string d = std::to_string(n);
            b.LinkKeys(Delay1 + n - 1, Keep("DelayControl" + d), Keep("DelayControl" + d + "SubType"),
                       Keep("DelayControlSensitivity" + d), Keep("DelayValue" + d));
        }
        b.Device(Output).Input(Input);
        at(K::AudioMultiDelay) = b.Done();
    }
    { // 15
        using namespace wave_writer;
        Builder b({.bools = kBools, .texts = kTexts, .devices = kDevices});
        b.Device(Output).Text(FilePath).Bool(Append);
        at(K::AudioWaveWriter) = b.Done();
    }
    { // 16
        using namespace distortion;
        Builder b({.links = kLinks, .inputs = kInputs, .devices = kDevices});
        b.Link(Overdrive).Link(Compression).Link(CompressionWaveform).Link(Noise).Link(NoiseFidelity);
        b.Device(Output).Input(Input);
        at(K::AudioDistortion) = b.Done();
    }
    { // 17
        using namespace offset;
        Builder b({.links = kLinks});
        b.Link(Offset);
        InputLink(b, Input, "InputControlSensitivity", "InputValue");
        at(K::ControlOffset) = b.Done();
    }
    { // 18
        using namespace gain;
        Builder b({.links = kLinks});
        b.Link(Gain);
        InputLink(b, Input, "InputControlSensitivity", "InputValue");
        at(K::ControlGain) = b.Done();
    }
    { // 19
        using namespace control_input;
        Builder b({.links = kLinks});
        InputLink(b, Input, "InputControlSensitivity", "InputValue");
        at(K::ControlInput) = b.Done();
    }
    { // 20
        using namespace sequence;
        Builder b({.links = kLinks, .ints = kInts, .texts = kTexts});
        b.Link(BPM).Link(NoteLength).Link(NoteVelocity).Link(Transpose).Link(Tuning);
        b.Text(SequenceText, KeyRole::Sequence).Int(RecordingSource);
        at(K::ControlSequence) = b.Done();
    }
    { // 21
        using namespace ding_dong;
        Builder b({.links = kLinks, .devices = kDevices});
        b.LinkKeys(Note, "NoteControl", "NoteControlSubType", "NoteControlSensitivity", {});
        b.Link(NoteLength).Link(NoteVelocity).Device(Output);
        at(K::AudioDingDong) = b.Done();
    }
    { // 22
        using namespace sensor;
        Builder b({.reals = kReals, .bools = kBools});
        b.Real(Angle).Bool(SignedOutput);
        at(K::ControlSensor) = b.Done();
    }
    { // 23
        using namespace note_combine;
        Builder b({.links = kLinks, .bools = kBools});
        InputLink(b, Input, "InputControlSensitivity", "InputValue");
        b.Bool(Sustain);
        at(K::ControlNoteCombine) = b.Done();
    }
    { // 24
        using namespace low_cut;
        Builder b({.links = kLinks});
        b.Link(LowCutFreq);
        InputLink(b, Input, "InputControlSensitivity", "InputValue");
        at(K::ControlLowCut) = b.Done();
    }
    { // 25
        using namespace note_retard;
        Builder b({.links = kLinks});
        b.Link(Retardation).Link(RetardationSource);
        InputLink(b, Input, "InputControlSensitivity", "InputValue");
        at(K::ControlNoteRetard) = b.Done();
    }
    { // 26
        using namespace analyzer;
        Builder b({.enums = kEnums, .devices = kDevices});
        b.Device(Output).Enum(Mode);
        at(K::AudioOutputAnalyzer) = b.Done();
    }
    { // 27
        using namespace low_pass;
        Builder b({.links = kLinks, .inputs = kInputs, .devices = kDevices});
        b.Link(MaxFreq).Device(Output).Input(Input);
        at(K::AudioLowPass) = b.Done();
    }
    { // 28
        using namespace high_pass;
        Builder b({.links = kLinks, .inputs = kInputs, .devices = kDevices});
        b.Link(Attenuation).Device(Output).Input(Input);
        at(K::AudioHighPass) = b.Done();
    }
    { // 29
        using namespace neuron;
        Builder b({.links = kLinks, .bools = kBools, .enums = kEnums});
        b.Bool(MakeAllInputsPositive).Enum(EnergyFunction);
        b.Link(InputOutputRatio).Link(DischargeRate).Link(Threshold).Link(Leakthrough).Link(Leakage);
        b.Link(Dendrite4).Link(Dendrite3).Link(Dendrite2).Link(Dendrite1).Link(Dendrite0);
        at(K::ControlNeuron) = b.Done();
    }
    { // 30
        using namespace audio_step;
        Builder b({.links = kLinks, .inputs = kInputs, .devices = kDevices});
        b.Link(StepSize).Device(Output).Input(Input);
        at(K::AudioStepFunction) = b.Done();
    }
    { // 31
        using namespace control_step;
        Builder b({.links = kLinks});
        b.Link(StepSize);
        InputLink(b, Input, "InputControlSensitivity", "InputValue", "InputControl");
        at(K::ControlStepFunction) = b.Done();
    }
    { // 32
        using namespace polyphonicator;
        Builder b({.links = kLinks, .reals = kReals});
        for (int n = 1; n <= 8; ++n) {
            const std::string d = std::to_string(n);
            b.LinkKeys(Input1 + n - 1, Keep("Control_Input" + d), Keep("Control_Input" + d + "SubType"),
                       Keep("Control_Sensitivity_Input" + d), Keep("Value_Input" + d));
            b.Real(Velocity1 + n - 1);
        }
        at(K::ControlPolyphonicator) = b.Done();
    }
    { // 33
        using namespace note_envelope;
        Builder b({.links = kLinks, .reals = kReals, .enums = kEnums});
        b.Enum(OutputMode);
        for (int field = Attack; field <= Smoothing; ++field) {
            const std::string s(kLinks[field].stem);
            b.LinkKeys(field, Keep("Control_" + s), Keep("Control_" + s + "SubType"),
                       Keep("Control_Sensitivity_" + s), Keep("Value_" + s));
        }
        b.Key("Control_Input", KeyRole::LinkSource, Input)
            .Key("Control_InputSubType", KeyRole::LinkSubType, Input)
            .Key("Control_Sensitivity_Input", KeyRole::LinkSensitivity, Input);
        b.Real(InputVelocity);
        b.Key("Value_Input", KeyRole::LinkValue, Input);
        at(K::ControlNoteEnvelope) = b.Done();
    }
    { // 34
        using namespace midi_slider;
        Builder b({.ints = kInts});
        b.Int(InputDevice).Controllers();
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
