// The offline renderer end to end: murmelwerk-render as a user runs it, and the WAV it writes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/offline_renderer.hpp"
#include "model/config_file.hpp"
#include "sources/gestures.hpp"

namespace mw::cli {
namespace {

namespace fs = std::filesystem;

std::string Temp(const std::string& name) {
    return (fs::temp_directory_path() / ("mw_render_" + std::to_string(::getpid()) + "_" + name)).string();
}

void WritePatch(const std::string& path, const std::string& body) {
    std::u16string text = u"\uFEFF## Murmelwerk Configuration (MWC) ##\r\n";
    std::string crlf;
    for (char c : body) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    for (char c : crlf) text += char16_t(static_cast<unsigned char>(c));
    std::ofstream(path, std::ios::binary) << ToFileBytes(text);
}

int RunCli(const std::string& args) {
    const std::string cmd = std::string(MW_BIN_DIR) + "/murmelwerk-render " + args + " >/dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

uint32_t Le32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

std::vector<int16_t> Samples(const std::string& wav) {
    std::vector<int16_t> s((wav.size() - 44) / 2);
    std::memcpy(s.data(), wav.data() + 44, s.size() * 2);
    return s;
}

constexpr const char* kOutputOfHorizontalPosition = R"([Module_AudioOutput]
Name=Out
Position=10,10
OutputDeviceID=-1 (L+R)
InputModule=Horizontal Position
InputModuleSubType=0
)";

TEST(Render, MouseMeasureIntoAnOutputModuleMakesAnExactWaveFile) {
    const std::string patch = Temp("out.mwc"), wav = Temp("out.wav"), csv = Temp("right.csv");
    WritePatch(patch, kOutputOfHorizontalPosition);
    // The hand moves to x = 1500 on a 2001-pixel screen in the first 10 ms and rests there; the sampler
    // sees the move at its second iteration (sample 480): Horizontal Position = 2000 x / 2000 - 1000 = 500.
    std::ofstream(csv) << "t_ms,x,y\n0,1490,100\n10,1500,100\n";
    ASSERT_EQ(RunCli(patch + " --out " + wav + " --seconds 0.5 --screen 2001x1000 --gesture " + csv +
                     " --no-progress"),
              0);
    const std::string b = ReadAll(wav);
    ASSERT_EQ(b.size(), 44u + 24000u * 4u); // exactly 0.5 s of stereo frames
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(Le32(b, 4), b.size() - 8);
    EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le32(b, 24), 48000u);
    EXPECT_EQ(Le32(b, 40), 24000u * 4u);
    const std::vector<int16_t> s = Samples(b);
    // The smoothed measure approaches 500 with weight 1/480 per sample; x 32 into the 16-bit output.
    for (int i = 0; i < 480; ++i) ASSERT_EQ(s[2 * i], 0) << i;
    for (int i : {0, 100, 4000}) {
        const double expected = 500.0 * (1.0 - std::pow(479.0 / 480.0, i + 1)) * 32.0;
        EXPECT_NEAR(s[2 * (480 + i)], expected, 1.0) << i;
        EXPECT_EQ(s[2 * (480 + i)], s[2 * (480 + i) + 1]);
    }
    fs::remove(patch);
    fs::remove(wav);
    fs::remove(csv);
}

TEST(Render, OscillatorPitchRisesAsTheCursorMovesRight) {
    const std::string patch = Temp("osc.mwc"), wav = Temp("osc.wav"), csv = Temp("sweep.csv");
    WritePatch(patch, R"([Module_AudioOsc]
Name=Sweep
Position=10,10
AmplitudeControl=-[Manual]-
AmplitudeValue=300
FrequencyControl=Horizontal Position
FrequencyControlSubType=0
FrequencyControlSensitivity=50
WaveformControl=-[Manual]-
OutputDeviceID=-1 (L+R)
)");
    // Left part of the screen for the first second, right part for the second.
    std::ofstream(csv) << "0,1090,500\n10,1100,500\n1000,1100,500\n1010,1900,500\n";
    ASSERT_EQ(RunCli(patch + " --out " + wav + " --seconds 2 --screen 2000x1000 --gesture " + csv +
                     " --no-progress"),
              0);
    const std::vector<int16_t> s = Samples(ReadAll(wav));
    ASSERT_EQ(s.size(), 2u * 96000u);
    auto crossings = [&](size_t from, size_t to) {
        int n = 0;
        for (size_t i = from + 1; i < to; ++i) n += (s[2 * (i - 1)] < 0) != (s[2 * i] < 0);
        return n;
    };
    // 0.5 s windows after the smoothing settled. Frequency = position x 0.5 x 6 Hz:
    // x = 1100 gives position 100.05, 300 Hz; x = 1900 gives 900.45, 2701 Hz (two crossings per cycle).
    const int low = crossings(24000, 48000), high = crossings(72000, 96000);
    EXPECT_NEAR(low, 300, 15);
    EXPECT_NEAR(high, 2701, 60);
    fs::remove(patch);
    fs::remove(wav);
    fs::remove(csv);
}

TEST(Render, SameCommandGivesTheSameBytes) {
    const std::string patch = Temp("det.mwc"), a = Temp("a.wav"), b = Temp("b.wav");
    WritePatch(patch, kOutputOfHorizontalPosition);
    const std::string args = patch + " --seconds 1 --gesture scribble --seed 7 --no-progress --out ";
    ASSERT_EQ(RunCli(args + a), 0);
    ASSERT_EQ(RunCli(args + b), 0);
    EXPECT_EQ(ReadAll(a), ReadAll(b));
    ASSERT_EQ(RunCli(patch + " --seconds 1 --gesture scribble --seed 8 --no-progress --out " + b), 0);
    EXPECT_NE(ReadAll(a), ReadAll(b));
    fs::remove(patch);
    fs::remove(a);
    fs::remove(b);
}

TEST(Render, ErrorsAreReportedWithTheirExitCodes) {
    const std::string patch = Temp("err.mwc"), wav = Temp("err.wav");
    WritePatch(patch, kOutputOfHorizontalPosition);
    EXPECT_EQ(RunCli(Temp("missing.mwc") + " --out " + wav), 1);
    EXPECT_EQ(RunCli(patch + " --out /nonexistent-folder/x.wav --no-progress"), 1);
    EXPECT_EQ(RunCli(patch + " --out " + wav + " --gesture " + Temp("missing.csv")), 1);
    EXPECT_EQ(RunCli(patch + " --out " + wav + " --midi " + Temp("missing.mid")), 1);
    EXPECT_EQ(RunCli(patch + " --out " + wav + " --seconds -3"), 2);
    EXPECT_EQ(RunCli(patch + " --out " + wav + " --screen 12by4"), 2);
    EXPECT_EQ(RunCli(patch + " --out " + wav + " --bogus"), 2);
    EXPECT_EQ(RunCli("--builtin \"No Such Patch\" --out " + wav), 1);
    fs::remove(patch);
    fs::remove(wav);
}

TEST(Render, MidiFileReachesMidiInputDeviceZero) {
    // A MIDI input module on device 0 feeding an oscillator: silent without notes, sounding with them.
    RenderSettings s;
    s.seconds = 1.0;
    s.midi = {{0.1, 0x90u | (69u << 8) | (100u << 16)}, {0.6, 0x80u | (69u << 8)}};
    std::string error;
    ASSERT_TRUE(MakeBuiltInGesture("still", s.screen, 1000, 1, s.gesture, error));
    OfflineRenderer r(s);
    const std::u16string text =
        u"[Module_AudioOsc]\r\nName=O\r\nAmplitudeControl=-[Manual]-\r\nAmplitudeValue=400\r\n"
        u"FrequencyControl=M\r\nOutputDeviceID=-1 (L+R)\r\n\r\n"
        u"[Module_ControlMIDIInput]\r\nName=M\r\nInputDeviceID=0\r\n"
        u"TransposeControl=-[Manual]-\r\nTuningControl=-[Manual]-\r\n";
    ASSERT_EQ(LoadConfigurationText(r.GetPatch(), text), 2u);
    const std::vector<int16_t> f = r.RenderFrames();
    ASSERT_EQ(f.size(), 96000u);
    auto peak = [&](size_t from, size_t to) {
        int m = 0;
        for (size_t i = from; i < to; ++i) m = std::max(m, std::abs(int(f[2 * i])));
        return m;
    };
    EXPECT_EQ(peak(0, 4000), 0);          // before the note
    EXPECT_GT(peak(10000, 20000), 10000); // the note sounds (amplitude 400 x 100/127 x 32)
    EXPECT_LT(peak(40000, 48000), 200);   // released
}

} // namespace
} // namespace mw::cli
