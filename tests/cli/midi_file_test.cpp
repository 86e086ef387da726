#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/midi_file.hpp"

namespace mw::cli {
namespace {

std::string Bytes(const char* s, size_t n) {
    return std::string(s, n);
}
#define MIDI(literal) Bytes(literal, sizeof literal - 1)

const std::string kHeader = MIDI("MThd\0\0\0\6\0\0\0\1\0\x60");

// Damaged files are refused with the problem named; no byte sequence is read past its end.
TEST(MidiFile, DamagedFilesAreRefusedWithTheProblemNamed) {
    const struct {
        std::string bytes;
        const char* says;
    } rows[] = {
        {kHeader + MIDI("MTrk\0\0\0\x08\0\x90\x40\x40\x60\x80\x40\0"), "no end-of-track event"},
        {kHeader + MIDI("MTrk\0\0\0\x40\0\xFF\x2F\0"), "past the end of the file"},
        {kHeader + MIDI("MTrk\xFF\xFF\xFF\xFF\0\xFF\x2F\0"), "past the end of the file"},
        {kHeader + MIDI("MTrk\0\0\0\x08\0\xFF\x01\x7F\0\xFF\x2F\0"), "meta event's length"},
        {kHeader + MIDI("MTrk\0\0\0\x05\0\x40\x40\xFF\x2F"), "without a status byte"},
        {kHeader + MIDI("MTrk\0\0\0\x07\0\x90\xC0\x40\0\xFF\x2F"), "above 127"},
        {kHeader + MIDI("MTrk\0\0\0\x06\0\xF2\0\xFF\x2F\0"), "system message"},
        {kHeader + MIDI("MTrk\0\0\0\x08\xFF\xFF\xFF\xFF\x7F\xFF\x2F\0"), "event time"},
        {kHeader + MIDI("MTrk\0\0\0\x08\0\xFF\x51\x02\x07\xA1\0\xFF"), "tempo event"},
        {MIDI("MThd\0\0\0\6\0\0\0\2\0\x60MTrk\0\0\0\4\0\xFF\x2F\0"), "announces 2 tracks"},
        {MIDI("MThd\0\0\0\6\0\0\0\1\0\0MTrk\0\0\0\4\0\xFF\x2F\0"), "zero ticks"},
        {MIDI("MThd\0\0\0\6\0\3\0\1\0\x60"), "format 3"},
        {MIDI("MThd\0\0\xFF\xFF\0\0\0\1\0\x60"), "header chunk"},
        {MIDI("RIFF this is not MIDI"), "not a Standard MIDI File"},
    };
    for (const auto& row : rows) {
        std::vector<TimedMidiMessage> out;
        std::string error;
        EXPECT_FALSE(ParseMidiFile(row.bytes, out, error)) << row.says;
        EXPECT_NE(error.find(row.says), std::string::npos) << error;
    }
}

// Every prefix of a good file is refused (the cut leaves a chunk or event unfinished), and the whole
// file reads; an unknown chunk kind is skipped, and bytes after the last announced track are ignored.
TEST(MidiFile, EveryPrefixOfAGoodFileIsRefusedAndTheWholeFileReads) {
    std::ifstream in(std::string(MW_TEST_DATA_DIR) + "/melody.mid", std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(good.size(), 100u);
    std::vector<TimedMidiMessage> out;
    std::string error;
    for (size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(ParseMidiFile(good.substr(0, n), out, error)) << n;
    ASSERT_TRUE(ParseMidiFile(good, out, error)) << error;

    const std::string extra = kHeader + MIDI("XYZW\0\0\0\2ab") +
                              MIDI("MTrk\0\0\0\x0B\0\x90\x3C\x64\x60\x3C\0\0\xFF\x2F\0") + MIDI("\x90");
    ASSERT_TRUE(ParseMidiFile(extra, out, error)) << error;
    ASSERT_EQ(out.size(), 2u); // the second note-on by running status
    EXPECT_EQ(out[1].message, 0x90u | (60u << 8));
    EXPECT_DOUBLE_EQ(out[1].seconds, 0.5); // 96 ticks of a quarter note at 120 beats a minute
}

// SMPTE time: 25 frames of 40 ticks, so a tick is a millisecond, whatever the tempo says.
TEST(MidiFile, SmpteTimeDivisionCountsFramesAndTicks) {
    const std::string smpte = MIDI("MThd\0\0\0\6\0\0\0\1\xE7\x28MTrk\0\0\0\x0F"
                                   "\0\xFF\x51\3\0\0\1\x83\x60\xC0\x05\0\xFF\x2F\0");
    std::vector<TimedMidiMessage> out;
    std::string error;
    ASSERT_TRUE(ParseMidiFile(smpte, out, error)) << error;
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, 0xC0u | (5u << 8));
    EXPECT_DOUBLE_EQ(out[0].seconds, 0.48); // 480 ticks
}

} // namespace
} // namespace mw::cli
