// Every built-in patch, played with the input it is made for, sounds: loud enough, not clipping, without
// a stuck offset, and answering its input.
#include <gtest/gtest.h>

#include <cmath>

#include "cli/midi_file.hpp"
#include "cli/offline_renderer.hpp"
#include "cli/wav_file.hpp"
#include "patch/builtin_patches.hpp"
#include "sources/gestures.hpp"

namespace mw::cli {
namespace {

constexpr double kSeconds = 10.0;

// Ten seconds of a patch with the first or second of its inputs: the mouse drawing a figure eight or
// scribbling; a MIDI melody or riff; recorded speech or a song.
std::vector<int16_t> Render(const BuiltInPatch& p, int variant) {
    RenderSettings s;
    s.seconds = kSeconds;
    std::string error;
    const std::string data = MW_TEST_DATA_DIR;
    const bool mic = p.submenu == 452, midi = p.submenu == 453;
    const char* gesture = (mic || midi) ? "still" : (variant == 0 ? "figure8" : "scribble");
    EXPECT_TRUE(MakeBuiltInGesture(gesture, s.screen, kSeconds * 1000, 3, s.gesture, error)) << error;
    if (midi) {
        EXPECT_TRUE(ReadMidiFile(data + (variant ? "/riff.mid" : "/melody.mid"), s.midi, error)) << error;
    } else if (mic) {
        EXPECT_TRUE(ReadWavFile(data + (variant ? "/song.wav" : "/speech.wav"), s.input, error)) << error;
    }
    OfflineRenderer r(s);
    EXPECT_TRUE(LoadBuiltInPatch(r.GetPatch(), p.resource).has_value());
    return r.RenderFrames();
}

class BuiltInSound : public ::testing::TestWithParam<int> {};

TEST_P(BuiltInSound, IsHeardDoesNotClipAndAnswersItsInput) {
    const BuiltInPatch& p = BuiltInPatches()[size_t(GetParam())];
    SCOPED_TRACE(std::string(p.name));
    const std::vector<int16_t> a = Render(p, 0), b = Render(p, 1);
    double rms[2] = {}, diff = 0;
    for (int k = 0; k < 2; ++k) {
        const std::vector<int16_t>& f = k ? b : a;
        ASSERT_EQ(f.size(), size_t(kSeconds * 48000) * 2);
        double sum = 0, sq = 0, clipped = 0;
        for (int16_t v : f) {
            sum += v;
            sq += double(v) * v;
            clipped += std::abs(int(v)) >= 26213; // the soft clip's knee after the x 32 scaling
        }
        rms[k] = std::sqrt(sq / double(f.size()));
        // An RMS of 300 in 16-bit units is about -40 dB below full scale: quieter than that, a patch is
        // barely heard at a normal listening level next to other programs.
        EXPECT_GE(rms[k], 300.0);
        EXPECT_LE(clipped / double(f.size()), 0.001);
        EXPECT_LE(std::abs(sum / double(f.size())), 0.3 * rms[k] + 200.0); // no stuck offset
    }
    for (size_t i = 0; i < a.size(); ++i) diff += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    EXPECT_GE(std::sqrt(diff / double(a.size())), 0.3 * std::max(rms[0], rms[1]))
        << "two inputs should sound clearly different";
}

INSTANTIATE_TEST_SUITE_P(All, BuiltInSound, ::testing::Range(0, kBuiltInPatchCount),
                         [](const ::testing::TestParamInfo<int>& param) {
                             return std::to_string(BuiltInPatches()[size_t(param.param)].resource);
                         });

} // namespace
} // namespace mw::cli
