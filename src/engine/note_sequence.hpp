#pragma once
// The note-sequence text of the step sequencer: "[Note][octave]" steps such as "B3D3F#3", a space for a
// silent step, anything else (hyphens, other characters) ignored; and the names the note catcher writes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

/// Step values of 128 and above are silent; a space makes the step 128.
inline constexpr uint8_t kSilentStep = 128;

/// The steps of a sequence text, one byte each. Accepts any text; upper and lower case alike.
std::vector<uint8_t> ParseNoteSequence(std::string_view text);

/// The name of a note as the note catcher writes it: "C".."B" and the octave, note 58 is "A#4".
std::string NoteName(int note);

} // namespace mw
