#include <gtest/gtest.h>
#include <smf.h>
#include <sndfile.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cli/midi_file.hpp"
#include "cli/wav_file.hpp"

namespace mw::cli {
namespace {

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("mw_test_" + std::to_string(::getpid()) + "_" + name))
        .string();
}

TEST(InputFiles, MidiFileFollowsTheTempoMap) {
    // 480 pulses per quarter; 120 BPM for the first quarter, then 60 BPM.
    const std::string path = TempPath("tempo.mid");
    {
        smf_t* smf = smf_new();
        ASSERT_EQ(smf_set_ppqn(smf, 480), 0);
        smf_track_t* track = smf_track_new();
        smf_add_track(smf, track);
        unsigned char tempo120[] = {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}; // 500000 us per quarter
        unsigned char tempo60[] = {0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40};  // 1000000 us per quarter
        smf_track_add_event_pulses(track, smf_event_new_from_pointer(tempo120, 6), 0);
        smf_track_add_event_pulses(track, smf_event_new_from_bytes(0x90, 60, 100), 0);
        smf_track_add_event_pulses(track, smf_event_new_from_pointer(tempo60, 6), 480);
        smf_track_add_event_pulses(track, smf_event_new_from_bytes(0x80, 60, 64), 480);
        smf_track_add_event_pulses(track, smf_event_new_from_bytes(0xB0, 7, 127), 960);
        ASSERT_EQ(smf_save(smf, path.c_str()), 0);
        smf_delete(smf);
    }
    std::vector<TimedMidiMessage> msgs;
    std::string error;
    ASSERT_TRUE(ReadMidiFile(path, msgs, error)) << error;
    ASSERT_EQ(msgs.size(), 3u);
    EXPECT_DOUBLE_EQ(msgs[0].seconds, 0.0);
    EXPECT_EQ(msgs[0].message, 0x90u | (60u << 8) | (100u << 16));
    EXPECT_NEAR(msgs[1].seconds, 0.5, 1e-9); // one quarter at 120 BPM
    EXPECT_EQ(msgs[1].message, 0x80u | (60u << 8) | (64u << 16));
    EXPECT_NEAR(msgs[2].seconds, 1.5, 1e-9); // then one quarter at 60 BPM
    std::remove(path.c_str());
}

TEST(InputFiles, BadMidiFilesAreRefusedClearly) {
    std::vector<TimedMidiMessage> msgs;
    std::string error;
    EXPECT_FALSE(ReadMidiFile(TempPath("missing.mid"), msgs, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
    const std::string path = TempPath("junk.mid");
    std::ofstream(path) << "RIFF this is not MIDI";
    EXPECT_FALSE(ReadMidiFile(path, msgs, error));
    EXPECT_NE(error.find("not a Standard MIDI File"), std::string::npos);
    std::remove(path.c_str());
}

void WriteWav(const std::string& path, int channels, int rate, const std::vector<short>& frames) {
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = rate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_writef_short(f, frames.data(), sf_count_t(frames.size() / size_t(channels)));
    sf_close(f);
}

TEST(InputFiles, WavFilesAreReadAsMonoAt48k) {
    const std::string stereo = TempPath("stereo.wav");
    WriteWav(stereo, 2, 48000, {100, 300, -100, -301, 32767, 32767});
    std::vector<int16_t> mono;
    std::string error;
    ASSERT_TRUE(ReadWavFile(stereo, mono, error)) << error;
    EXPECT_EQ(mono, (std::vector<int16_t>{200, -200, 32767}));

    const std::string slow = TempPath("slow.wav");
    WriteWav(slow, 1, 44100, {1, 2, 3});
    EXPECT_FALSE(ReadWavFile(slow, mono, error));
    EXPECT_NE(error.find("48000"), std::string::npos);
    EXPECT_FALSE(ReadWavFile(TempPath("absent.wav"), mono, error));
    std::remove(stereo.c_str());
    std::remove(slow.c_str());
}

} // namespace
} // namespace mw::cli
