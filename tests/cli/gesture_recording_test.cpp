// A performance recorded from the live sampler's readings replays offline with the same readings, so its
// render has the same bytes as the render of the path that was played.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "cli/gesture_recorder.hpp"
#include "cli/offline_renderer.hpp"
#include "patch/builtin_patches.hpp"
#include "sources/gestures.hpp"
#include "sources/mouse_sampler.hpp"

namespace mw::cli {
namespace {

TEST(GestureRecording, TheRecordedPathRendersAsThePlayedOne) {
    const ScreenRect screen{0, 0, 1600, 900};
    std::vector<ScriptPoint> played, recorded;
    std::string error;
    ASSERT_TRUE(MakeBuiltInGesture("scribble", screen, 2000, 5, played, error)) << error;
    // The sampler's own thread reads the hand through the recorder: once at its start, then once per
    // iteration, the hand moving on by 10 ms before every iteration but the first, as offline.
    ScriptedPointer hand(played, screen);
    RecordingPointer recorder(hand);
    {
        Engine engine;
        MouseSamplerControls controls;
        controls.wrapMouse = false;
        bool first = true; // before the sampler: its thread reads it until the sampler is gone
        MouseSampler sampler(engine, recorder, controls);
        sampler.SetIterationHook([&] {
            if (!first) hand.Advance();
            first = false;
        });
        sampler.Start();
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (sampler.Iterations() < 200 && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(ParseGestureCsv(recorder.Csv(), recorded, error)) << error;
    ASSERT_GE(recorded.size(), 200u);
    EXPECT_EQ(recorded[199].tMs, 1990.0);

    const auto render = [&](const std::vector<ScriptPoint>& gesture) {
        RenderSettings s;
        s.seconds = 2;
        s.gesture = gesture;
        s.screen = screen;
        s.wrapMouse = false;
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
