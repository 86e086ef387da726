// How the mouse sampler shows what it finds (the status texts, the labels, the control-rate table, the
// direction needle), and its thread, which writes the measures into the engine.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>
#include <tuple>
#include <vector>

#include "engine/engine.hpp"
#include "sources/mouse_sampler.hpp"
#include "sources/scripted_pointer.hpp"

namespace mw {
namespace {

using MM = MouseMeasure;

TEST(MouseSamplerStatus, SpeedClassBoundaries) {
    const std::pair<uint32_t, int> cases[] = {
        {0, 18},    {1, 19},    {19, 19},   {20, 20},    {99, 20},    {100, 21},        {1599, 21},
        {1600, 22}, {6999, 22}, {7000, 23}, {39999, 23}, {40000, 24}, {4000000000u, 24}};
    for (const auto& [pps, number] : cases) EXPECT_EQ(SpeedClassString(pps), number) << pps;
    EXPECT_EQ(SpeedClassEnglish(25), "");
}

TEST(MouseSamplerStatus, TextsOnlyWhenChangedAndWalkingFromTwentyPixelsPerSecond) {
    const std::string travelled = "Your mouse has travelled a total of ";
    MouseStatusTexts t;
    t.Start(0);
    StatusTexts st = t.Status(10); // the first iteration shows the distance
    EXPECT_EQ(st.distance.value_or(""), travelled + "0 pixels since this program started.");
    EXPECT_FALSE(st.speedClass || st.speed);
    EXPECT_FALSE(t.Status(20).distance); // unchanged
    st = t.Status(334);                  // the first refresh at rest shows nothing new
    EXPECT_FALSE(st.speedClass || st.speed || st.distance);
    for (int i = 0; i < 3; ++i) t.Travelled(std::sqrt(5.0)); // 6.708 pixels: 20.1 per second
    st = t.Status(667);                                      // the next refresh is later than 333 ms after
    EXPECT_FALSE(st.speed);
    EXPECT_EQ(st.distance.value_or(""), travelled + "7 pixels since this program started.");
    st = t.Status(668);
    EXPECT_EQ(st.speedClass.value_or(""), "Your mouse is currently walking at ");
    EXPECT_EQ(st.speed.value_or(""), "20 pixels per second.");
    // 5 + sqrt(2) = 6.414 pixels: 19 per second is crawling.
    t.Travelled(5.0);
    t.Travelled(std::sqrt(2.0));
    st = t.Status(1002);
    EXPECT_EQ(st.speedClass.value_or(""), "Your mouse is currently crawling at ");
    EXPECT_EQ(st.speed.value_or(""), "19 pixels per second.");
    // The distance of a refresh starts again at 0: 2 pixels is 6 per second, still crawling, so only
    // the number changes.
    t.Travelled(2.0);
    st = t.Status(1336);
    EXPECT_FALSE(st.speedClass);
    EXPECT_EQ(st.speed.value_or(""), "6 pixels per second.");
    st = t.Status(1670); // resting
    EXPECT_EQ(st.speedClass.value_or(""), "Your mouse is currently halted at ");
    EXPECT_EQ(st.speed.value_or(""), "0 pixels per second.");
}

TEST(MouseSamplerStatus, TextsComeThroughTheLookup) {
    std::vector<int> asked;
    MouseStatusTexts t([&](int number, std::string_view english) {
        asked.push_back(number);
        if (number == 25) return std::string("%u Pixel pro Sekunde.");
        if (number == 53) return std::string("Strecke %.00f");
        return "<" + std::string(english) + ">";
    });
    t.Start(0);
    t.Travelled(40.0);
    const StatusTexts st = t.Status(334);
    EXPECT_EQ(st.speedClass.value_or(""), "<Your mouse is currently jogging at >");
    EXPECT_EQ(st.speed.value_or(""), "120 Pixel pro Sekunde.");
    EXPECT_EQ(st.distance.value_or(""), "Strecke 40");
    EXPECT_EQ(asked, (std::vector<int>{21, 25, 53}));
}

TEST(MouseSamplerLabels, SliderValuesAreStoredAndCaptionsShownWhenChanged) {
    MouseStatusTexts texts;
    struct Step {
        LabelInput in;
        const char *latency, *rate, *current; // nullptr: not shown
    };
    const int rate4000 = ControlRateSliderPosition(4000.0);
    const Step steps[] = {
        {{true, 50, 20, rate4000, 0.0}, "20 milliseconds", "4000 hertz", nullptr}, // the input latency wins
        {{true, 50, 20, rate4000, 0.0}, nullptr, nullptr, nullptr},
        {{true, 61, 20, rate4000, 52.9}, "61 milliseconds", nullptr, "52"},
        {{true, 61, 20, rate4000, 52.1}, nullptr, nullptr, nullptr},
        {{true, 61, 20, 64, 52.1}, nullptr, "48000 hertz", nullptr},
        {{false, 0, 0, 0, 70.0}, nullptr, nullptr, "70"}, // without sliders only the current latency
    };
    auto shown = [](const std::optional<std::string>& text) { return text ? text->c_str() : nullptr; };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        const LabelUpdate u = texts.Labels(steps[i].in);
        EXPECT_STREQ(shown(u.latencyCaption), steps[i].latency);
        EXPECT_STREQ(shown(u.controlRateCaption), steps[i].rate);
        EXPECT_STREQ(shown(u.currentLatency), steps[i].current);
        EXPECT_EQ(u.startCaptionRestoreTimer, steps[i].latency || steps[i].rate);
        EXPECT_EQ(u.slidersPresent, steps[i].in.slidersPresent);
    }
}

TEST(MouseSamplerLabels, ControlRateTable) {
    // 0, then the 64 divisors of 48000 = 2^7 * 3 * 5^3 in increasing order.
    const auto table = ControlRateTable();
    ASSERT_EQ(table.size(), 65u);
    EXPECT_EQ(table[0], 0);
    for (size_t k = 1; k < table.size(); ++k) {
        EXPECT_EQ(48000 % table[k], 0) << k;
        EXPECT_LT(table[k - 1], table[k]) << k;
    }
    EXPECT_EQ(std::tuple(ControlRateAt(-5), ControlRateAt(500)), std::tuple(0.0, 48000.0));
    EXPECT_EQ(table[size_t(ControlRateSliderPosition(4500.0))], 4800); // 48000 / trunc(10.67)
    for (double rate : {0.0, 1e9, std::nan(""), -100.0})
        EXPECT_EQ(ControlRateSliderPosition(rate), 0) << rate;
}

TEST(MouseSamplerFormat, OneNumberSafely) {
    // Conversions after the first, or ones that would read something else, are copied, never executed.
    // clang-format off
    const std::tuple<const char*, double, const char*> rows[] = {
        {"total %.00f pixels", 1234.6, "total 1235 pixels"}, {"%5d|%-4u|%04x", 42, "   42|%-4u|%04x"},
        {"100%% %d", 7, "100% 7"}, {"%d %d", 7, "7 %d"}, {"%s and %n then %d", 3, "%s and %n then 3"},
        {"%*d", 3, "%*d"}, {"end %", 3, "end %"}, {"end %.5", 3, "end %.5"}, {"%d", std::nan(""), "0"},
        {"%d", 1e300, "9223372036854775807"}};
    // clang-format on
    for (const auto& [format, value, expected] : rows) EXPECT_EQ(FormatNumberText(format, value), expected);
    // Widths and precisions are limited ("1." and 100 decimals).
    EXPECT_EQ(
        std::tuple(FormatNumberText("%999999999d", 3).size(), FormatNumberText("%.999999f", 1.5).size()),
        std::tuple(100u, 102u));
}

TEST(MouseSamplerNeedle, PointsWhereTheMouseMoves) {
    const auto right = DirectionNeedleLines(100, 0.0);
    EXPECT_EQ((std::array{right[0].x0, right[0].y0, right[0].x1, right[0].y1}),
              (std::array{50, 50, 100, 50}));
    EXPECT_EQ(std::tuple(right[1].x1, right[1].meanColour),
              std::tuple(0, true)); // the tail, in the mean colour
    EXPECT_EQ((std::array{right[2].x1, right[2].y1, right[3].y1}), (std::array{50, 55, 45})); // head: w/20
    const int d = 100;
    std::vector<uint32_t> px(size_t(d * d), 0xDEADBEEF);
    DrawDirectionNeedle(px, d, std::numbers::pi / 2, 0xFFFFFF, 0x000000); // moving down
    auto at = [&](int x, int y) { return px[size_t(y * d + x)]; };
    // The shaft below the centre (rows from the top), the tail above in the mean of white and black.
    EXPECT_EQ((std::array{at(50, 75), at(50, 25), at(10, 10)}),
              (std::array{0xFFFFFFu, 0x7F7F7Fu, 0x000000u}));
    // Too small a buffer draws nothing.
    std::vector<uint32_t> small(10, 7);
    DrawDirectionNeedle(small, d, 0.0, 1, 2);
    EXPECT_EQ(small[0], 7u);
}

// Written by the sampler thread; read only after the sampler, and with it its thread, has ended.
class RecordingView : public MouseStatusView {
public:
    void ShowDistance(const std::string& text) override { distances.push_back(text); }
    void ShowLatencyCaption(const std::string& text) override { latencyCaptions.push_back(text); }
    void ShowDirection(double theta) override { directions.push_back(theta); }
    void ShowIndicators(const IndicatorPositions&) override { ++indicatorCalls; }
    std::vector<std::string> distances, latencyCaptions;
    std::vector<double> directions;
    std::atomic<int> indicatorCalls{0};
};

bool WaitFor(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

TEST(MouseSamplerThreading, WritesMeasuresIntoTheEngine) {
    Engine engine;
    engine.rawMeasures[3] = 123.0; // cleared at start-up
    // The hand moves right by 5 pixels per iteration for a minute.
    ScriptedPointer pointer({{0, 100, 500, 0}, {60000, 30100, 500, 0}}, ScreenRect{0, 0, 1000000, 1080});
    MouseSamplerControls controls;
    controls.wrapMouse = false;
    controls.slidersPresent = true;
    controls.outputLatencySlider = 77;
    controls.inputLatencySlider = 30;
    controls.controlRateSlider = ControlRateSliderPosition(1000.0);
    RecordingView view;
    {
        MouseSampler sampler(engine, pointer, controls, &view);
        sampler.SetIterationHook([&] {
            for (int n = pointer.Advance(); n != 0; n -= n > 0 ? 1 : -1)
                controls.wheel.OnWheel(n > 0 ? 120 : -120);
        });
        EXPECT_FALSE(sampler.Started());
        sampler.Start();
        sampler.Start(); // once only
        EXPECT_TRUE(sampler.Started());
        // The wheel handler runs on this thread meanwhile.
        for (int i = 0; i < 3; ++i) {
            controls.wheel.OnWheel(120);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_TRUE(WaitFor([&] { return sampler.Iterations() >= 15; }));
        EXPECT_EQ(engine.rawMeasures[int(MM::SpeedRaw)].load(), 25.0);
        EXPECT_NEAR(engine.rawMeasures[int(MM::Direction)].load(), -500.0, 1e-9);
        EXPECT_NEAR(engine.rawMeasures[int(MM::ScrollPosition)].load(), -240.0, 1e-9);
        EXPECT_GT(engine.rawMeasures[int(MM::Speed)].load(), 20.0);
        EXPECT_EQ(std::tuple(engine.outputLatencyMs.load(), engine.inputLatencyMs.load(),
                             engine.controlRate.load()),
                  std::tuple(77, 30, 1000.0));
        // The cursor as the sampler saw it, for the engine thread.
        int sx = 0, sy = 0;
        ASSERT_TRUE(sampler.Sampled().ReadCursor(sx, sy));
        EXPECT_TRUE(sy == 500 && sx > 100 && sx % 5 == 0) << sx << "," << sy;
        EXPECT_FALSE(sampler.Sampled().SetCursor(1, 1));
    }
    // Destroying the sampler ended its thread; the view saw the texts.
    ASSERT_FALSE(view.distances.empty());
    EXPECT_EQ(view.distances.front(),
              "Your mouse has travelled a total of 5 pixels since this program started.");
    EXPECT_EQ(view.latencyCaptions, (std::vector<std::string>{"30 milliseconds"}));
    EXPECT_EQ(view.directions, (std::vector<double>{0.0}));
    EXPECT_GT(view.indicatorCalls.load(), 10);
}

TEST(MouseSamplerThreading, IndependentOfTheEngineStartAndStop) {
    Engine engine;
    ScriptedPointer pointer({{0, 100, 100, 0}, {100000, 100, 10100, 0}}, ScreenRect{0, 0, 1920, 100000});
    MouseSamplerControls controls;
    controls.showStatusIndicators = false;
    MouseSampler sampler(engine, pointer, controls);
    sampler.SetIterationHook([&] { pointer.Advance(); });
    sampler.Start();
    engine.StartEngine();
    ASSERT_TRUE(WaitFor([&] { return sampler.Iterations() >= 5; }));
    engine.StopEngine();
    engine.JoinThreads();
    const uint64_t before = sampler.Iterations();
    ASSERT_TRUE(WaitFor([&] { return sampler.Iterations() >= before + 5; }));
    // 1 pixel down per iteration; no sliders: the latency is left alone.
    EXPECT_EQ(std::tuple(engine.rawMeasures[int(MM::SpeedRaw)].load(), engine.outputLatencyMs.load()),
              std::tuple(5.0, 60));
}

} // namespace
} // namespace mw
