// libFuzzer target: the Standard MIDI File reader on any byte sequence. Besides surviving every input
// (the input buffer is exactly as long as the file, so any read past its end is caught) it checks what
// a parse promises: channel messages with data bytes below 128 in time order, or nothing and a message.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/midi_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<mw::cli::TimedMidiMessage> out{{1.0, 0x90}};
    std::string error;
    if (!mw::cli::ParseMidiFile(std::string_view(reinterpret_cast<const char*>(data), size), out, error)) {
        if (!out.empty() || error.empty()) __builtin_trap();
        return 0;
    }
    double last = 0.0;
    for (const mw::cli::TimedMidiMessage& m : out) {
        if (!(m.seconds >= last) || std::isinf(m.seconds)) __builtin_trap();
        last = m.seconds;
        const uint32_t status = m.message & 0xFF;
        const int dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
        if (status < 0x80 || status >= 0xF0 || (m.message >> (8 * (dataBytes + 1))) != 0) __builtin_trap();
        for (int k = 1; k <= dataBytes; ++k)
            if ((m.message >> (8 * k)) & 0x80) __builtin_trap();
    }
    return 0;
}
