// The offline renderer end to end: murmelwerk-render as a user runs it, and the WAV it writes.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "patch/config_file.hpp"

namespace mw::cli {
namespace {

namespace fs = std::filesystem;

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

class RenderCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(fs::path(MW_BIN_DIR) / "murmelwerk-render"))
            GTEST_SKIP() << "murmelwerk-render not built";
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Temp(const std::string& name) const { return (dir / name).string(); }

    // A patch file as the program saves them: UTF-16 with a byte order mark, the header line, CRLF.
    static std::string PatchBytes(const std::string& body, const std::u16string& newline = u"\r\n") {
        std::u16string text = u"\uFEFF## Murmelwerk Configuration (MWC) ##" + newline;
        for (char c : body) text += c == '\n' ? newline : std::u16string(1, char16_t(uint8_t(c)));
        return ToFileBytes(text);
    }
    std::string WritePatch(const std::string& body, const std::string& name = "patch.mwc") const {
        std::ofstream(Temp(name), std::ios::binary) << PatchBytes(body);
        return Temp(name);
    }

    // Runs murmelwerk-render; returns its exit status and leaves its standard output in `output` and its
    // standard error in `errors`.
    int Run(const std::string& args) {
        const std::string out = Temp("stdout.txt"), err = Temp("stderr.txt");
        const int status = std::system(
            (std::string(MW_BIN_DIR) + "/murmelwerk-render " + args + " >" + out + " 2>" + err).c_str());
        output = ReadAll(out);
        errors = ReadAll(err);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path dir = fs::temp_directory_path() / ("mw_render_" + std::to_string(::getpid()));
    std::string output, errors;
};

constexpr const char* kOutputOfHorizontalPosition =
    "[Module_AudioOutput]\nName=Out\nPosition=10,10\nOutputDeviceID=-1 (L+R)\nInputModule=Horizontal "
    "Position\n"
    "InputModuleSubType=0\n";
TEST_F(RenderCli, MouseMeasureIntoAnOutputModuleMakesAnExactAndRepeatableWaveFile) {
    const std::string patch = WritePatch(kOutputOfHorizontalPosition), wav = Temp("out.wav");
    // The hand moves to x = 1500 on a 2001-pixel screen in the first 10 ms and rests there; the sampler
    // sees the move at its second iteration (sample 480): Horizontal Position = 2000 x / 2000 - 1000 = 500.
    std::ofstream(Temp("right.csv")) << "t_ms,x,y\n0,1490,100\n10,1500,100\n";
    ASSERT_EQ(Run(patch + " --out " + wav + " --seconds 0.5 --screen 2001x1000 --gesture " +
                  Temp("right.csv") + " --no-progress"),
              0)
        << errors;
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

    // The same command gives the same bytes; another seed for the scribbling hand, others.
    const std::string args = patch + " --seconds 1 --gesture scribble --no-progress --out ";
    ASSERT_EQ(Run(args + Temp("a.wav") + " --seed 7"), 0) << errors;
    ASSERT_EQ(Run(args + Temp("b.wav") + " --seed 7"), 0) << errors;
    EXPECT_EQ(ReadAll(Temp("a.wav")), ReadAll(Temp("b.wav")));
    ASSERT_EQ(Run(args + Temp("b.wav") + " --seed 8"), 0) << errors;
    EXPECT_NE(ReadAll(Temp("a.wav")), ReadAll(Temp("b.wav")));
}

TEST_F(RenderCli, OscillatorPitchRisesAsTheCursorMovesRight) {
    const std::string patch = WritePatch(
        "[Module_AudioOsc]\nName=Sweep\nPosition=10,10\nAmplitudeControl=-[Manual]-\nAmplitudeValue=300\n"
        "FrequencyControl=Horizontal Position\nFrequencyControlSubType=0\nFrequencyControlSensitivity=50\n"
        "WaveformControl=-[Manual]-\nOutputDeviceID=-1 (L+R)\n");
    // The left of the screen for the first second, the right for the second.
    std::ofstream(Temp("sweep.csv")) << "0,1090,500\n10,1100,500\n1000,1100,500\n1010,1900,500\n";
    ASSERT_EQ(Run(patch + " --out " + Temp("osc.wav") + " --seconds 2 --screen 2000x1000 --gesture " +
                  Temp("sweep.csv") + " --no-progress"),
              0)
        << errors;
    const std::string wav = ReadAll(Temp("osc.wav"));
    ASSERT_EQ(wav.size(), 44u + 96000u * 4u);
    EXPECT_EQ(Le32(wav, 40), 96000u * 4u);
    const std::vector<int16_t> s = Samples(wav);
    auto crossings = [&](size_t from, size_t to) {
        int n = 0;
        for (size_t i = from + 1; i < to; ++i) n += (s[2 * (i - 1)] < 0) != (s[2 * i] < 0);
        return n;
    };
    // 0.5 s windows after the smoothing settled. Frequency = position x 0.5 x 6 Hz:
    // x = 1100 gives position 100.05, 300 Hz; x = 1900 gives 900.45, 2701 Hz (two crossings per cycle).
    EXPECT_NEAR(crossings(24000, 48000), 300, 15);
    EXPECT_NEAR(crossings(72000, 96000), 2701, 60);
}

TEST_F(RenderCli, ErrorsAreReportedWithTheirExitCodes) {
    // 1: a file that cannot be read or written; 2: a command line that makes no sense. Either way the
    // program says what is wrong.
    const std::string patch = WritePatch(kOutputOfHorizontalPosition), out = " --out " + Temp("err.wav");
    const struct {
        std::string args;
        int code;
        const char* says;
    } cases[] = {
        {Temp("missing.mwc") + out, 1, "missing.mwc"},
        {patch + " --out /nonexistent-folder/x.wav", 1, "/nonexistent-folder/x.wav"},
        {patch + out + " --gesture " + Temp("missing.csv"), 1, "missing.csv"},
        {patch + out + " --midi " + Temp("missing.mid"), 1, "missing.mid"},
        {"--builtin \"No Such Patch\"" + out, 2, "no built-in patch 'No Such Patch'"},
        {"--builtin Dizzyness" + out, 2, "did you mean 'Dizziness'?"},
        {"--builtin air" + out, 2, "could be 'Air Saw' or 'Air Synth'"},
        {"--builtin 24" + out, 2, "no built-in patch '24'"},
        {patch + out + " --gesture circel", 2, "one of still, circle, figure8"},
        {patch + out + " --check", 2, "--check goes alone"},
        {patch + " --out " + Temp("err.mp3"), 2, "names no format the program writes (.wav, .flac, .ogg)"},
        {patch + " --play --latency 0", 2, "--latency"},
        {patch + out + " --record-gesture " + Temp("p.csv"), 2, "go with --play"},
        {"--describe audioOscc", 2, "did you mean AudioOsc?"},
        {"--builtin 1 --convert --save-as " + Temp("c.mwc"), 2, "--builtin excludes --convert"},
        {"", 2, "see --help"},
        {patch + out + " --seconds -3", 2, "--seconds must be at least one sample"},
        {patch + out + " --seconds 0.00001", 2, "--seconds must be at least one sample"},
        {patch + " --play --seconds nan", 2, "--seconds must be above 0"},
        {patch + " --play --seconds -5", 2, "--seconds must be above 0"},
        {patch + " --out " + patch, 2, "is the patch file"},
        {patch + " --midi " + Temp("in.mid") + " --out " + Temp("in.mid"), 2, "is --midi"},
        {patch + out + " --save-as " + Temp("./err.wav"), 2, "name the same file"},
        {patch + " --save-as " + patch, 2, "is the patch file"},
        {patch + " --out /dev/null", 1, "not a regular file"},
        {patch + out + " --screen 12by4", 2, "--screen takes WIDTHxHEIGHT"},
        {patch + out + " --bogus", 2, "--bogus"}};
    std::ofstream(Temp("in.mid")) << "MThd";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(Run(c.args + " --no-progress"), c.code);
        EXPECT_NE(errors.find(c.says), std::string::npos) << errors;
        EXPECT_EQ(errors.rfind("murmelwerk-render: ", 0), 0u) << errors;
    }
    EXPECT_EQ(ReadAll(Temp("in.mid")), "MThd"); // the inputs named as outputs are untouched
    EXPECT_FALSE(fs::exists(Temp("err.wav")));
}

// A render or a save that fails for want of room (a file-size limit stands in for a full disk) exits 1
// and leaves the file that was at the path as it was, with no partial file beside it; several actions
// on one command line are all done.
TEST_F(RenderCli, FailedWritesLeaveTheOldFilesAndActionsCombine) {
    const std::string patch = WritePatch(kOutputOfHorizontalPosition);
    std::ofstream(Temp("old.wav")) << "old render";
    std::ofstream(Temp("old.mwc")) << "old patch";
    const std::string limited = "sh -c 'ulimit -f 2; trap \"\" XFSZ; exec \"$0\" \"$@\"' ";
    const auto run = [&](const std::string& args) {
        const int status = std::system((limited + MW_BIN_DIR + "/murmelwerk-render " + args +
                                        " --no-progress >/dev/null 2>" + Temp("stderr.txt"))
                                           .c_str());
        errors = ReadAll(Temp("stderr.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run(patch + " --out " + Temp("old.wav") + " --seconds 1"), 1);
    EXPECT_NE(errors.find("too large"), std::string::npos) << errors;
    EXPECT_EQ(ReadAll(Temp("old.wav")), "old render");
    EXPECT_EQ(run("--builtin 210 --save-as " + Temp("old.mwc")), 1); // a patch of more than 2 KiB
    EXPECT_EQ(ReadAll(Temp("old.mwc")), "old patch");
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();

    ASSERT_EQ(Run(patch + " --out " + Temp("new.wav") + " --save-as " + Temp("new.mwc") +
                  " --seconds 0.1 --no-progress"),
              0)
        << errors;
    EXPECT_EQ(ReadAll(Temp("new.wav")).size(), 44u + 4800u * 4u);
    EXPECT_EQ(ReadAll(Temp("new.mwc")).find("\r\0\n\0[\0M\0o\0d\0u\0l\0e\0_\0A\0u\0d\0i\0o\0O\0u\0t\0"), 74u);
}

// The check reads a file as the program does and says, per line, what the reader skips or reads
// otherwise than the text suggests; the built-in patches give it nothing to say.
TEST_F(RenderCli, CheckExplainsWhatTheReaderMakesOfAFile) {
    std::string full;
    for (int i = 0; i < 129; ++i) full += "[Module_ControlInput]\n"; // one output each: 128 slots
    const std::string utf8 = "## Header ##\r\n[Module_AudioOsc]\r\nName=O\r\n";
    const std::string osc = "[Module_AudioOsc]\n", routed = "OutputDeviceID=-1 (L+R)\n";
    const struct {
        std::string bytes;
        const char* finding; // "LINE: message", the header being line 1
    } cases[] = {
        {PatchBytes("[Module_AudioOscc]\nName=X\n"), "2: unknown section keyword 'Module_AudioOscc': the "
                                                     "section is skipped; did you mean Module_AudioOsc?"},
        {PatchBytes(osc + "AmplitudeValu=3\n" + routed),
         "3: unknown key 'AmplitudeValu' for Module_AudioOsc: ignored; did you mean AmplitudeValue?"},
        {PatchBytes(osc + "AmplitudeValue=abc\n" + routed),
         "3: unreadable value 'abc' for AmplitudeValue: the default 500 is kept"},
        {PatchBytes(osc + "FrequencyControl=Speedd\n" + routed),
         "3: source 'Speedd' names nothing: the link reads nothing; did you mean Speed"},
        {PatchBytes("[Module_ControlInput]\nName=C\n[Module_ControlInput]\nName=c\n[Module_ControlGain]\n"
                    "InputSource=C\n"),
         "7: source 'C' names 2 modules: the link goes to the one in the lowest slot (slot 0)"},
        {PatchBytes(osc + "OutputDeviceID=-1\n"), "3: OutputDeviceID=-1 means no device (-555)"},
        {PatchBytes(osc + "Name=O\n"), "2: Module_AudioOsc without OutputDeviceID: it plays to no device"},
        {PatchBytes(osc + "AmplitudeValue =300\n" + routed),
         "3: blank before '=' or at the line start: the reader does not find 'AmplitudeValue'"},
        {PatchBytes("[Module_AudioEcho]\nDoLongMode=yes\n" + routed),
         "3: 'yes' for DoLongMode reads as false (true is 1 or TRUE)"},
        {PatchBytes(full), "130: Module_ControlInput '' is not made: all 128 module output slots are taken"},
        {PatchBytes(""), "1: no module: the file has no section the reader knows"},
        {utf8, "1: not UTF-16LE: the file is UTF-8 or another 8-bit text; the reader finds no module in it"},
        {PatchBytes(osc + routed, u"\n"),
         "1: line ends are LF only (CR LF expected): the reader finds no key"},
    };
    const std::string file = Temp("check.mwc");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.finding);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << c.bytes;
        EXPECT_EQ(Run(file + " --check"), 3) << errors;
        EXPECT_NE(output.find(file + ":" + c.finding), std::string::npos) << output;
    }
    for (int n = 1; n <= 23; ++n) {
        EXPECT_EQ(Run("--builtin " + std::to_string(n) + " --check"), 0) << n;
        EXPECT_EQ(output, "") << n;
    }

    // Conversion only when asked: the UTF-8 LF-only file saves as its UTF-16 CR LF twin does.
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        << "## x ##\n"
        << kOutputOfHorizontalPosition << "[Module_AudioOsc]\nName=\xC3\x9C\n";
    const std::string twin =
        WritePatch(std::string(kOutputOfHorizontalPosition) + "[Module_AudioOsc]\nName=\xDC\n");
    ASSERT_EQ(Run(twin + " --save-as " + Temp("twin.mwc")), 0) << errors;
    ASSERT_EQ(Run(file + " --convert --save-as " + Temp("converted.mwc")), 0) << errors;
    EXPECT_NE(errors.find("converted UTF-8 to UTF-16LE, line ends to CR LF"), std::string::npos) << errors;
    EXPECT_EQ(ReadAll(Temp("converted.mwc")), ReadAll(Temp("twin.mwc")));
    ASSERT_EQ(Run(file + " --save-as " + Temp("unconverted.mwc")), 0) << errors;
    EXPECT_EQ(ReadAll(Temp("unconverted.mwc")).size(), 2u + 2u * 38u); // the header alone: no module
}

// A built-in patch by its position in --list-builtins, its resource number, its name or the start of it.
TEST_F(RenderCli, BuiltInsAreNamedByPositionNumberNameOrPrefix) {
    ASSERT_EQ(Run("--builtin 205 --save-as " + Temp("205.mwc")), 0) << errors;
    for (const char* name : {"3", "\"air SAW\"", "\"Air Sa\""}) { // Air Saw is the third in the menu
        SCOPED_TRACE(name);
        ASSERT_EQ(Run(std::string("--builtin ") + name + " --save-as " + Temp("b.mwc")), 0) << errors;
        EXPECT_EQ(ReadAll(Temp("b.mwc")), ReadAll(Temp("205.mwc")));
    }
}

// --out picks the format by the extension: FLAC holds the very frames of the WAV render (it is lossless).
TEST_F(RenderCli, FlacRendersHoldTheSameFramesAsWav) {
    const std::string args =
        WritePatch(kOutputOfHorizontalPosition) + " --seconds 0.5 --gesture figure8 --no-progress";
    ASSERT_EQ(Run(args + " --out " + Temp("r.wav")), 0) << errors;
    ASSERT_EQ(Run(args + " --out " + Temp("r.FLAC")), 0) << errors;
    SF_INFO info{};
    SNDFILE* flac = sf_open(Temp("r.FLAC").c_str(), SFM_READ, &info);
    ASSERT_NE(flac, nullptr);
    EXPECT_EQ(info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    std::vector<int16_t> frames(size_t(info.frames) * 2);
    EXPECT_EQ(sf_readf_short(flac, frames.data(), info.frames), 24000);
    sf_close(flac);
    EXPECT_EQ(frames, Samples(ReadAll(Temp("r.wav"))));
}

// With --record-writers the patch's wave writers record what their device plays, as --out does; a
// writer's file that exists and is not a WAV file is refused.
TEST_F(RenderCli, WaveWritersOfThePatchRecordWhenAsked) {
    const std::string writer =
        "[Module_AudioWaveWriter]\nName=W\nOutputDeviceID=-1 (L+R)\nDoAppend=0\nFilePath=";
    const std::string patch = WritePatch(kOutputOfHorizontalPosition + writer + Temp("w.wav") + "\n");
    ASSERT_EQ(Run(patch + " --record-writers --out " + Temp("o.wav") + " --seconds 0.1 --gesture figure8"), 0)
        << errors;
    const std::string out = ReadAll(Temp("o.wav")), recorded = ReadAll(Temp("w.wav"));
    ASSERT_EQ(out.size(), 44u + 4800u * 4u);
    ASSERT_GE(recorded.size(), out.size());
    EXPECT_EQ(recorded.substr(0, 4), "RIFF");
    EXPECT_EQ(recorded.substr(44, 4800 * 4), out.substr(44));

    const std::string refused =
        WritePatch(kOutputOfHorizontalPosition + writer + Temp("note.txt") + "\n", "r.mwc");
    std::ofstream(Temp("note.txt")) << "keep me";
    EXPECT_EQ(Run(refused + " --record-writers --out " + Temp("o.wav") + " --seconds 0.1"), 2);
    EXPECT_NE(errors.find("which is not a WAV file"), std::string::npos) << errors;
    EXPECT_EQ(ReadAll(Temp("note.txt")), "keep me");
}

// What a render cannot sound without is said on standard error, and a summary line ends it.
TEST_F(RenderCli, RendersWarnOfWhatTheyCannotHear) {
    const struct {
        std::string patch, args;
        std::vector<const char*> says;
    } cases[] = {
        {"[Module_AudioInput]\nName=Mic\n[Module_AudioOutput]\nInputModule=Mic\nOutputDeviceID=-1 (L+R)\n",
         "",
         {"warning: the patch has an audio input module but no --input",
          "warning: the render is silent: every sample that output device -1 played is 0",
          "0.100 s, peak -inf dBFS, RMS -inf dBFS, 0 clipped samples"}},
        {kOutputOfHorizontalPosition,
         " --gesture still",
         {"warning: --gesture still does not move the mouse: the measures the patch reads (Horizontal "
          "Position) "
          "stay still"}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(
            Run(WritePatch(c.patch) + " --out " + Temp("w.wav") + " --seconds 0.1 --no-progress" + c.args),
            0);
        for (const char* text : c.says) EXPECT_NE(errors.find(text), std::string::npos) << errors;
    }
}

} // namespace
} // namespace mw::cli
