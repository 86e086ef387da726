#include <gtest/gtest.h>
#include <sndfile.h>

#include "../i18n/language_test_support.hpp"
#include "cli/midi_file.hpp"
#include "cli/wav_file.hpp"

namespace mw::cli {
namespace {

TEST(InputFiles, MidiFileFollowsTheTempoMap) {
    // A Standard MIDI File by hand: 480 pulses per quarter; 120 BPM (500000 us per quarter) for the first
    // quarter, then 60 BPM. A delta time of 480 pulses is written 0x83 0x60.
    test::TempFolder folder;
    const std::string path = folder.File("tempo.mid");
    const char bytes[] = "MThd\0\0\0\6\0\0\0\1\x01\xE0MTrk\0\0\0\x20"
                         "\0\xFF\x51\3\x07\xA1\x20\0\x90\x3C\x64\x83\x60\xFF\x51\3\x0F\x42\x40\0\x80\x3C\x40"
                         "\x83\x60\xB0\7\x7F\0\xFF\x2F\0";
    test::WriteBytes(path, std::string(bytes, sizeof bytes - 1));
    std::vector<TimedMidiMessage> msgs;
    std::string error;
    ASSERT_TRUE(ReadMidiFile(path, msgs, error)) << error;
    ASSERT_EQ(msgs.size(), 3u); // the tempo changes are not messages
    EXPECT_DOUBLE_EQ(msgs[0].seconds, 0.0);
    EXPECT_EQ(msgs[0].message, 0x90u | (60u << 8) | (100u << 16));
    EXPECT_NEAR(msgs[1].seconds, 0.5, 1e-9); // one quarter at 120 BPM
    EXPECT_EQ(msgs[1].message, 0x80u | (60u << 8) | (64u << 16));
    EXPECT_NEAR(msgs[2].seconds, 1.5, 1e-9); // then one quarter at 60 BPM
}

void WriteWav(const std::string& path, int channels, int rate, const std::vector<short>& frames) {
    SF_INFO info{0, rate, channels, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_writef_short(f, frames.data(), sf_count_t(frames.size() / size_t(channels)));
    sf_close(f);
}

TEST(InputFiles, AudioFilesAreReadAsMonoAt48kAndOtherFilesAreRefusedClearly) {
    test::TempFolder folder;
    const std::string stereo = folder.File("stereo.wav"), slow = folder.File("slow.wav"),
                      junk = folder.File("junk.mid");
    WriteWav(stereo, 2, 48000, {100, 300, -100, -301, 32767, 32767});
    WriteWav(slow, 2, 44100, std::vector<short>(2 * 44100, 1000)); // one second at 1000 on both channels
    test::WriteBytes(junk, "RIFF this is not MIDI");
    std::vector<int16_t> mono;
    std::vector<TimedMidiMessage> msgs;
    std::string error;
    ASSERT_TRUE(ReadWavFile(stereo, mono, error)) << error;
    EXPECT_EQ(mono, (std::vector<int16_t>{200, -200, 32767})); // the channels' mean, rounded towards zero

    const auto refused = [&](bool read, const char* says) {
        EXPECT_FALSE(read) << says;
        EXPECT_NE(error.find(says), std::string::npos) << error;
    };
    std::string note;
    ASSERT_TRUE(ReadWavFile(slow, mono, error, &note)) << error;
    EXPECT_NE(note.find("44100 Hz, 2 channel(s) to 16-bit mono at 48000 Hz"), std::string::npos) << note;
    EXPECT_NEAR(double(mono.size()), 48000.0, 2.0); // still one second
    EXPECT_NEAR(mono[24000], 1000, 2);
    refused(ReadWavFile(folder.File("absent.wav"), mono, error), "cannot read");
    refused(ReadMidiFile(folder.File("missing.mid"), msgs, error), "cannot open");
    refused(ReadMidiFile(junk, msgs, error), "not a Standard MIDI File");
}

} // namespace
} // namespace mw::cli
