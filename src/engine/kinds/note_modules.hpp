#pragma once
// What the model thread and the module windows need from the note modules besides their KindOps:
// the MIDI slider module's learning mode and current values, and the poll that completes what the
// engine thread asked for (learned sliders, caught notes) on the model thread.
//
// The engine thread never allocates a slot nor touches a module's texts: a MIDI slider module that
// learns a new controller records a request, and a sequence's note catcher records the caught notes,
// both in fixed rings in the module's state. The patch's poll (user interface, 10 ms; the offline
// renderer, between blocks) turns them into sliders and appends the note names to the sequence text,
// which is then parsed again.

#include <cstdint>
#include <functional>

namespace mw {

class Module;

/// Gives a controller a slider with an output of its own in a MIDI slider module: the first free
/// entry (one without an output) or a new one after the last; false when no slot is free.
using AddSliderFn = std::function<bool(Module& module, int32_t controller, bool negative)>;

/// Model thread. Completes the learn requests of a MIDI slider module: a new controller takes the
/// first free slider, or a new slider is added through addSlider, its sign flag set to
/// newSliderSigned. True when a slider changed.
bool CompleteSliderRequests(Module& module, bool newSliderSigned, const AddSliderFn& addSlider);

/// Model thread. Appends the notes caught by a sequence's note catcher to its text, and parses the
/// text again when it changed since it was last parsed. True when notes were appended.
bool CompleteSequenceText(Module& module);

/// Switches the learning mode of a MIDI slider module; switching it on forgets the controller learned
/// last, so the controller moved most recently is offered again.
void SetSliderLearning(Module& module, bool on);
bool SliderLearning(const Module& module);

/// The raw value (0..127) last read for slider k of a MIDI slider module; 0 when unknown.
float SliderRawValue(const Module& module, int k);

/// Number of steps of the sequence the engine plays now (or will play from its next tick on).
int SequenceStepCount(const Module& module);

} // namespace mw
