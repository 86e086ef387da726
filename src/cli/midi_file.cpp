#include "cli/midi_file.hpp"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <optional>
#include <string_view>

namespace mw::cli {

namespace {

constexpr uint64_t kMaxFileBytes = 64ull << 20; // far beyond any real performance
constexpr uint32_t kDefaultTempo = 500000;      // microseconds per quarter note: 120 beats a minute

// One event of interest, before the tempo map gives it a time.
struct TickedEvent {
    uint64_t tick;
    uint32_t message; // a channel message, or 0 for a tempo change
    uint32_t tempo;   // microseconds per quarter note, for a tempo change
};

class ByteReader {
public:
    ByteReader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    bool AtEnd() const { return pos_ >= n_; }
    size_t Position() const { return pos_; }
    std::optional<uint8_t> Byte() {
        if (pos_ >= n_) return std::nullopt;
        return p_[pos_++];
    }
    std::optional<uint8_t> Peek() const {
        if (pos_ >= n_) return std::nullopt;
        return p_[pos_];
    }
    /// A variable-length quantity: at most four bytes of seven bits each.
    std::optional<uint32_t> Vlq() {
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k) {
            const auto b = Byte();
            if (!b) return std::nullopt;
            v = (v << 7) | (*b & 0x7Fu);
            if (!(*b & 0x80)) return v;
        }
        return std::nullopt;
    }
    bool Skip(uint64_t count) {
        if (count > n_ - pos_) return false;
        pos_ += size_t(count);
        return true;
    }
    const uint8_t* Here() const { return p_ + pos_; }

private:
    const uint8_t* p_;
    size_t n_;
    size_t pos_ = 0;
};

uint32_t BigEndian(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int k = 0; k < bytes; ++k) v = (v << 8) | p[k];
    return v;
}

// The channel messages and tempo changes of one track chunk, in file order. Empty error on success.
std::string ReadTrack(const uint8_t* data, size_t size, int track, std::vector<TickedEvent>& events) {
    const std::string where = "track " + std::to_string(track + 1) + ": ";
    ByteReader r(data, size);
    uint64_t tick = 0;
    uint8_t running = 0;
    while (!r.AtEnd()) {
        const auto delta = r.Vlq();
        if (!delta) return where + "an event time runs past the end of the track";
        tick += *delta;
        const auto first = r.Byte();
        if (!first) return where + "an event is cut off by the end of the track";
        uint8_t status = *first;
        if (status < 0x80) { // running status: this byte is the first data byte
            if (!running)
                return where + "a data byte without a status byte at offset " +
                       std::to_string(r.Position() - 1);
            status = running;
        }
        if (status == 0xFF) { // meta event
            running = 0;
            const auto type = r.Byte();
            const auto length = type ? r.Vlq() : std::nullopt;
            if (!length) return where + "a meta event is cut off by the end of the track";
            const uint8_t* body = r.Here();
            if (!r.Skip(*length)) return where + "a meta event's length runs past the end of the track";
            if (*type == 0x2F) return {}; // end of track; what follows it is ignored
            if (*type == 0x51) {
                if (*length != 3) return where + "a tempo event whose length is not 3";
                const uint32_t tempo = BigEndian(body, 3);
                if (tempo == 0) return where + "a tempo of zero microseconds per quarter note";
                events.push_back({tick, 0, tempo});
            }
            continue;
        }
        if (status == 0xF0 || status == 0xF7) { // system exclusive
            running = 0;
            const auto length = r.Vlq();
            if (!length || !r.Skip(*length))
                return where + "a system-exclusive event runs past the end of the track";
            continue;
        }
        if (status >= 0xF0)
            return where + "a system message that has no place in a file at offset " +
                   std::to_string(r.Position() - 1);
        running = status;
        const int dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
        uint32_t message = status;
        for (int k = 0; k < dataBytes; ++k) {
            const auto d = (k == 0 && *first < 0x80) ? first : r.Byte();
            if (!d) return where + "a channel message is cut off by the end of the track";
            if (*d >= 0x80)
                return where + "a data byte above 127 at offset " + std::to_string(r.Position() - 1);
            message |= uint32_t(*d) << (8 * (k + 1));
        }
        events.push_back({tick, message, 0});
    }
    return where + "no end-of-track event";
}

} // namespace

bool ParseMidiFile(std::string_view bytes, std::vector<TimedMidiMessage>& out, std::string& error) {
    out.clear();
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    ByteReader file(data, bytes.size());
    if (bytes.size() < 14 || std::memcmp(data, "MThd", 4) != 0) {
        error = "not a Standard MIDI File";
        return false;
    }
    const uint32_t headerLength = BigEndian(data + 4, 4);
    if (headerLength < 6 || headerLength > bytes.size() - 8) {
        error = "a damaged header chunk";
        return false;
    }
    const uint32_t format = BigEndian(data + 8, 2);
    const uint32_t trackCount = BigEndian(data + 10, 2);
    const uint32_t division = BigEndian(data + 12, 2);
    if (format > 2) {
        error = "an unknown file format " + std::to_string(format);
        return false;
    }
    // Seconds per tick: quarter-note based, or SMPTE frames (-24, -25, -29 for 29.97, -30) times ticks.
    double tickSeconds = 0.0; // for SMPTE; for quarter notes it follows the tempo
    uint32_t ticksPerQuarter = 0;
    if (division & 0x8000) {
        const int fps = 256 - int(division >> 8);
        const uint32_t ticksPerFrame = division & 0xFF;
        const double frames = fps == 29 ? 30000.0 / 1001.0 : double(fps);
        if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || ticksPerFrame == 0) {
            error = "an invalid SMPTE time division";
            return false;
        }
        tickSeconds = 1.0 / (frames * ticksPerFrame);
    } else {
        ticksPerQuarter = division;
        if (ticksPerQuarter == 0) {
            error = "a time division of zero ticks per quarter note";
            return false;
        }
    }

    std::vector<TickedEvent> events;
    file.Skip(8 + uint64_t(headerLength));
    uint32_t tracksRead = 0;
    while (!file.AtEnd() && tracksRead < trackCount) {
        const uint8_t* chunk = file.Here();
        if (!file.Skip(8)) {
            error = "a chunk header is cut off by the end of the file";
            return false;
        }
        const uint32_t length = BigEndian(chunk + 4, 4);
        const uint8_t* body = file.Here();
        if (!file.Skip(length)) {
            error = "track " + std::to_string(tracksRead + 1) + ": its length runs past the end of the file";
            return false;
        }
        if (std::memcmp(chunk, "MTrk", 4) != 0) continue; // a chunk of an unknown kind is skipped
        std::vector<TickedEvent> trackEvents;
        error = ReadTrack(body, length, int(tracksRead), trackEvents);
        if (!error.empty()) return false;
        events.insert(events.end(), trackEvents.begin(), trackEvents.end());
        ++tracksRead;
    }
    if (tracksRead < trackCount) {
        error = "the header announces " + std::to_string(trackCount) + " tracks, the file holds " +
                std::to_string(tracksRead);
        return false;
    }

    // The tracks merged in time order (at equal times: by track, then in file order), then the tempo map.
    std::stable_sort(events.begin(), events.end(),
                     [](const TickedEvent& a, const TickedEvent& b) { return a.tick < b.tick; });
    double tempoStartSeconds = 0.0;
    uint64_t tempoStartTick = 0;
    uint32_t tempo = kDefaultTempo;
    const auto secondsAt = [&](uint64_t tick) {
        if (!ticksPerQuarter) return double(tick) * tickSeconds;
        return tempoStartSeconds +
               double(tick - tempoStartTick) * (double(tempo) / (double(ticksPerQuarter) * 1000000.0));
    };
    for (const TickedEvent& e : events) {
        if (e.message == 0) {
            tempoStartSeconds = secondsAt(e.tick);
            tempoStartTick = e.tick;
            tempo = e.tempo;
            continue;
        }
        out.push_back({secondsAt(e.tick), e.message});
    }
    return true;
}

bool ReadMidiFile(const std::string& path, std::vector<TimedMidiMessage>& out, std::string& error) {
    out.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open MIDI file '" + path + "'";
        return false;
    }
    std::string bytes;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, size_t(in.gcount()));
        if (bytes.size() > kMaxFileBytes) {
            error = "'" + path + "' is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB";
            return false;
        }
    }
    if (in.bad()) {
        error = "cannot read MIDI file '" + path + "'";
        return false;
    }
    if (!ParseMidiFile(bytes, out, error)) {
        error = "'" + path + "' is " +
                (error == "not a Standard MIDI File" ? error : "a damaged Standard MIDI File: " + error);
        return false;
    }
    return true;
}

} // namespace mw::cli
