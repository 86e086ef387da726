#pragma once
// Standard MIDI Files (format 0 or 1) as a list of timed short messages, tempo map honoured.

#include <cstdint>
#include <string>
#include <vector>

namespace mw::cli {

struct TimedMidiMessage {
    double seconds;   // from the start of the file
    uint32_t message; // status in bits 0-7, first data byte in bits 8-15, second in bits 16-23
};

/// Reads the channel messages of every track, merged in time order. False with a message on failure.
bool ReadMidiFile(const std::string& path, std::vector<TimedMidiMessage>& out, std::string& error);

} // namespace mw::cli
