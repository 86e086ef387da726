#pragma once
// Standard MIDI Files (formats 0, 1 and 2) as a list of timed short messages, tempo map honoured.
// The reader checks every chunk and event against the file's bounds: a damaged file is refused with
// a message naming the problem, never read past its end.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw::cli {

struct TimedMidiMessage {
    double seconds;   // from the start of the file
    uint32_t message; // status in bits 0-7, first data byte in bits 8-15, second in bits 16-23
};

/// The channel messages of every track of a file's bytes, merged in time order (at equal times by track,
/// then in file order). False with the problem in `error` when the file is damaged: a chunk or event
/// running past its end, a track without its end-of-track event, a data byte above 127, a system message.
bool ParseMidiFile(std::string_view bytes, std::vector<TimedMidiMessage>& out, std::string& error);

/// Reads a file (at most 64 MiB) and parses it. False with a message naming the file on failure.
bool ReadMidiFile(const std::string& path, std::vector<TimedMidiMessage>& out, std::string& error);

} // namespace mw::cli
