// Every built-in patch, played with the input it is made for, sounds: loud enough, not clipping, without
// a stuck offset, and answering its input.
#include <gtest/gtest.h>

#include <cmath>

#include "cli/midi_file.hpp"
#include "cli/offline_renderer.hpp"
#include "cli/wav_file.hpp"
#include "model/builtin_patches.hpp"
#include "sources/gestures.hpp"

namespace mw::cli {
namespace {

constexpr double kSeconds = 10.0;
// An RMS of 300 in 16-bit units is about -40 dB below full scale: quieter than that, a patch is barely
// heard at a normal listening level next to other programs.
constexpr double kRmsFloor = 300.0;
constexpr int kKnee = 26213; // the soft clip's knee after the x 32 scaling
constexpr double kMaxClipFraction = 0.001;

struct Sound {
    double rms = 0, mean = 0, clipFraction = 0;
    std::vector<int16_t> frames;
};

Sound Measure(std::vector<int16_t> f) {
    Sound s;
    double sum = 0, sq = 0;
    size_t clipped = 0;
    for (int16_t v : f) {
        sum += v;
        sq += double(v) * v;
        clipped += std::abs(int(v)) >= kKnee;
    }
    s.mean = sum / double(f.size());
    s.rms = std::sqrt(sq / double(f.size()));
    s.clipFraction = double(clipped) / double(f.size());
    s.frames = std::move(f);
    return s;
}

Sound Render(const BuiltInPatch& p, int variant) {
    RenderSettings s;
    s.seconds = kSeconds;
    std::string error;
    const std::string data = MW_TEST_DATA_DIR;
    const bool mic = p.submenu == 452, midi = p.submenu == 453;
    const char* gesture = (mic || midi) ? "still" : (variant == 0 ? "figure8" : "scribble");
    EXPECT_TRUE(MakeBuiltInGesture(gesture, s.screen, kSeconds * 1000, 3, s.gesture, error)) << error;
    if (midi) {
        EXPECT_TRUE(ReadMidiFile(data + (variant == 0 ? "/melody.mid" : "/riff.mid"), s.midi, error))
            << error;
    }
    if (mic) {
        EXPECT_TRUE(ReadWavFile(data + (variant == 0 ? "/speech.wav" : "/song.wav"), s.input, error))
            << error;
    }
    OfflineRenderer r(s);
    EXPECT_TRUE(LoadBuiltInPatch(r.GetPatch(), p.resource).has_value());
    return Measure(r.RenderFrames());
}

class BuiltInSound : public ::testing::TestWithParam<int> {};

TEST_P(BuiltInSound, IsHeardDoesNotClipAndAnswersItsInput) {
    const BuiltInPatch& p = BuiltInPatches()[size_t(GetParam())];
    SCOPED_TRACE(std::string(p.name));
    const Sound a = Render(p, 0), b = Render(p, 1);
    for (const Sound* s : {&a, &b}) {
        ASSERT_EQ(s->frames.size(), size_t(kSeconds * 48000) * 2);
        EXPECT_GE(s->rms, kRmsFloor);
        EXPECT_LE(s->clipFraction, kMaxClipFraction);
        EXPECT_LE(std::abs(s->mean), 0.3 * s->rms + 200.0); // no stuck offset
    }
    double diff = 0;
    for (size_t i = 0; i < a.frames.size(); ++i) {
        const double d = double(a.frames[i]) - b.frames[i];
        diff += d * d;
    }
    diff = std::sqrt(diff / double(a.frames.size()));
    EXPECT_GE(diff, 0.3 * std::max(a.rms, b.rms)) << "two inputs should sound clearly different";
}

INSTANTIATE_TEST_SUITE_P(All, BuiltInSound, ::testing::Range(0, kBuiltInPatchCount),
                         [](const ::testing::TestParamInfo<int>& param) {
                             return std::to_string(BuiltInPatches()[size_t(param.param)].resource);
                         });

} // namespace
} // namespace mw::cli
