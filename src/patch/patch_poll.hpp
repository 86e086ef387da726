#pragma once
// The model thread's share of the note modules' work: what the engine thread asked for but may not do
// itself (a slot for a learned MIDI controller, the text of a caught note) is completed here, by the
// user interface's 10 ms poll and by the offline renderer between blocks.

namespace mw {

class Patch;

/// Completes the learn requests of every MIDI slider module (a new controller takes the first free
/// slider, or a new slider with an output of its own is added, its sign flag set to newSliderSigned),
/// appends the notes caught by every sequence's note catcher to its text, and parses every sequence
/// text that changed since it was last parsed. True when a slider or a text changed.
bool ProcessSliderLearning(Patch& patch, bool newSliderSigned = false);
/// Whether the patch holds a module that ProcessSliderLearning serves (a MIDI slider or a sequence).
bool HasSliderLearningWork(const Patch& patch);

} // namespace mw
