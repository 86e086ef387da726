// A performance recorded from the sampler's readings replays offline with the same readings, so its render
// has the same bytes as the render of the path that was played.
#include <gtest/gtest.h>

#include "cli/gesture_recorder.hpp"
#include "cli/offline_renderer.hpp"
#include "patch/builtin_patches.hpp"
#include "sources/gestures.hpp"

namespace mw::cli {
namespace {

TEST(GestureRecording, TheRecordedPathRendersAsThePlayedOne) {
    const ScreenRect screen{0, 0, 1600, 900};
    std::vector<ScriptPoint> played, recorded;
    std::string error;
    ASSERT_TRUE(MakeBuiltInGesture("scribble", screen, 2000, 5, played, error)) << error;
    // The sampler's reads: one at its start, then one per 10 ms iteration.
    ScriptedPointer hand(played, screen);
    RecordingPointer recorder(hand);
    int x = 0, y = 0;
    recorder.ReadCursor(x, y);
    for (int k = 0; k < 200; ++k) {
        if (k > 0) hand.Advance();
        recorder.ReadCursor(x, y);
    }
    ASSERT_TRUE(ParseGestureCsv(recorder.Csv(), recorded, error)) << error;
    ASSERT_EQ(recorded.size(), 200u);
    EXPECT_EQ(recorded[199].tMs, 1990.0);

    const auto render = [&](const std::vector<ScriptPoint>& gesture) {
        RenderSettings s;
        s.seconds = 2;
        s.gesture = gesture;
        s.screen = screen;
        OfflineRenderer renderer(std::move(s));
        LoadBuiltInPatch(renderer.GetPatch(), 219); // Digital Modulation: mouse measures straight to sound
        return renderer.RenderFrames();
    };
    const std::vector<int16_t> original = render(played);
    EXPECT_NE(std::count(original.begin(), original.end(), int16_t(0)), long(original.size()));
    EXPECT_EQ(render(recorded), original);
}

} // namespace
} // namespace mw::cli
