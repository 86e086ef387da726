#pragma once
// What the model thread and the module windows need from the note modules besides their KindOps:
// the MIDI slider module's learning mode and current values, and the poll that completes what the
// engine thread asked for (learned sliders, caught notes) on the model thread.
//
// The engine thread never allocates a slot nor touches a module's texts: a MIDI slider module that
// learns a new controller records a request, and a sequence's note catcher records the caught notes,
// both in fixed rings in the module's state. ProcessSliderLearning, called by the user interface's
// 10 ms poll and by the offline renderer between blocks, turns them into sliders (Patch::AddSlider)
// and appends the note names to the sequence text (which is then parsed again).

#include <cstdint>

namespace mw {

class Module;
class Patch;

/// Model thread. Completes the learn requests of every MIDI slider module (a new controller takes the
/// first free slider, or a new slider with an output of its own is added, its sign flag set to
/// newSliderSigned), appends the notes caught by every sequence's note catcher to its text, and parses
/// every sequence text that changed since it was last parsed. True when a slider or a text changed.
bool ProcessSliderLearning(Patch& patch, bool newSliderSigned = false);

/// Switches the learning mode of a MIDI slider module; switching it on forgets the controller learned
/// last, so the controller moved most recently is offered again.
void SetSliderLearning(Module& module, bool on);
bool SliderLearning(const Module& module);

/// The raw value (0..127) last read for slider k of a MIDI slider module; 0 when unknown.
float SliderRawValue(const Module& module, int k);

/// Number of steps of the sequence the engine plays now (or will play from its next tick on).
int SequenceStepCount(const Module& module);

} // namespace mw
