#include "cli/midi_file.hpp"

#include <smf.h>

#include <algorithm>
#include <fstream>
#include <memory>

namespace mw::cli {

bool ReadMidiFile(const std::string& path, std::vector<TimedMidiMessage>& out, std::string& error) {
    out.clear();
    std::ifstream probe(path, std::ios::binary);
    if (!probe) {
        error = "cannot open MIDI file '" + path + "'";
        return false;
    }
    char magic[4] = {};
    probe.read(magic, 4);
    if (probe.gcount() != 4 || std::string(magic, 4) != "MThd") {
        error = "'" + path + "' is not a Standard MIDI File";
        return false;
    }
    std::unique_ptr<smf_t, void (*)(smf_t*)> smf(smf_load(path.c_str()), smf_delete);
    if (!smf) {
        error = "'" + path + "' is a damaged Standard MIDI File";
        return false;
    }
    // smf_get_next_event merges the tracks in time order; time_seconds follows the tempo map.
    smf_rewind(smf.get());
    while (smf_event_t* e = smf_get_next_event(smf.get())) {
        if (smf_event_is_metadata(e) || smf_event_is_sysex(e) || e->midi_buffer_length < 1) continue;
        const uint8_t status = e->midi_buffer[0];
        if (status < 0x80 || status >= 0xF0) continue;
        const uint32_t d1 = e->midi_buffer_length > 1 ? e->midi_buffer[1] & 0x7F : 0;
        const uint32_t d2 = e->midi_buffer_length > 2 ? e->midi_buffer[2] & 0x7F : 0;
        out.push_back({e->time_seconds, uint32_t(status) | (d1 << 8) | (d2 << 16)});
    }
    std::stable_sort(out.begin(), out.end(), [](const TimedMidiMessage& a, const TimedMidiMessage& b) {
        return a.seconds < b.seconds;
    });
    return true;
}

} // namespace mw::cli
