// The mouse sampler: the nineteen measures, the edge wrap, the wheel, the status texts and labels,
// and the thread that writes the measures into the engine.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <tuple>
#include <vector>

#include "engine/engine.hpp"
#include "sources/mouse_sampler.hpp"
#include "sources/scripted_pointer.hpp"

namespace mw {
namespace {

constexpr double kPi = 3.14159265358979323846;

/// Drives the computation on a 1920 x 1080 screen (last pixel 1919, 1079) from a start position.
struct Drive {
    MouseSamplerCore core;
    ScreenRect screen{0, 0, 1920, 1080};
    WheelState wheel;
    bool wrap = false;

    explicit Drive(CursorPoint start = {500, 500}, TextLookup lookup = {}) : core(std::move(lookup)) {
        core.Start(start, screen, 0);
    }
    MotionResult To(int x, int y) { return core.Move({CursorPoint{x, y}, screen, wrap, wheel.Take()}); }
    MotionResult By(int dx, int dy) {
        const CursorPoint p = core.PreviousPosition();
        return To(p.x + dx, p.y + dy);
    }
    MotionResult Still() { return By(0, 0); }
    double M(MouseMeasure m) const { return core.Measure(m); }
    void Expect(std::initializer_list<std::pair<MouseMeasure, double>> expected) const {
        for (const auto& [m, value] : expected) EXPECT_NEAR(M(m), value, 1e-9) << "measure " << int(m);
    }
};

using MM = MouseMeasure;

TEST(MouseSamplerMeasures, StraightMovesGiveDirectionsVelocitiesAndAccelerations) {
    struct Row {
        const char* name;
        int dx, dy;
        double dir, hSigned, vSigned; // the unsigned measures are (signed + 1000) / 2
    };
    const Row rows[] = {
        {"up", 0, -30, -1000, 0, 1000}, {"left", -25, 0, 500, -1000, 0}, {"right", 30, 0, -500, 1000, 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Drive d;
        EXPECT_TRUE(d.By(r.dx, r.dy).directionChanged); // 20 pixels or more: a direction at once
        d.Expect({{MM::Direction, r.dir},
                  {MM::DirectionHorizontalSigned, r.hSigned},
                  {MM::DirectionHorizontalUnsigned, (r.hSigned + 1000) / 2},
                  {MM::DirectionVerticalSigned, r.vSigned},
                  {MM::DirectionVerticalUnsigned, (r.vSigned + 1000) / 2}});
        // Speed State is 0.3 step, velocity states 0.2 step (upwards negative); accelerations are 0.2 of
        // their state.
        const double step = std::abs(r.dx + r.dy);
        d.Expect({{MM::SpeedRaw, step * 5},
                  {MM::Speed, 0.3 * step * 5},
                  {MM::HorizontalVelocity, 0.2 * r.dx * 10},
                  {MM::VerticalVelocity, 0.2 * r.dy * 10},
                  {MM::Acceleration, 0.2 * 0.3 * step * 200.0},
                  {MM::HorizontalAcceleration, 0.2 * 0.2 * r.dx * 200.0},
                  {MM::VerticalAcceleration, 0.2 * 0.2 * r.dy * 200.0}});
        EXPECT_FALSE(d.By(r.dx, r.dy).directionChanged); // the same direction again
    }
}

TEST(MouseSamplerMeasures, RestingOrAnUnreadableCursorDecaysTheStatesAndKeepsTheRest) {
    Drive d;
    for (double v : d.core.Measures()) EXPECT_EQ(v, 0.0);
    d.By(0, -30);
    // Up is 90 degrees counter-clockwise from rightwards: a turn of +90 from the start's 0.
    double speed = 0.3 * 30, accel = 0.2 * speed, vVel = 0.2 * -30, turn = 0.1 * 90.0;
    // Speed ( Raw ) is 0 at once; the states decay: Speed by 0.7, velocities by 0.8, Turn Inertia by 0.9.
    for (int i = 0; i < 5; ++i) {
        if (i > 0) {
            const MotionResult r =
                i % 2 ? d.Still() : d.core.Move({std::nullopt, d.screen, true, d.wheel.Take()});
            EXPECT_FALSE(r.moved);
            accel = 0.8 * accel + 0.2 * (0.7 * speed - speed);
            speed *= 0.7;
            vVel *= 0.8;
            turn *= 0.9;
            EXPECT_EQ(d.M(MM::SpeedRaw), 0.0);
        }
        d.Expect({{MM::Speed, speed * 5},
                  {MM::Acceleration, accel * 200.0},
                  {MM::VerticalVelocity, vVel * 10},
                  {MM::TurnInertia, turn * 400.0 / 9.0},
                  {MM::HorizontalPosition, 2000.0 / 1919.0 * 500 - 1000.0},
                  {MM::VerticalPosition, 2000.0 / 1079.0 * 470 - 1000.0},
                  {MM::Direction, -1000.0}});
    }
}

TEST(MouseSamplerMeasures, PositionsSpanTheStartUpScreen) {
    Drive d;
    d.To(0, 0);
    d.Expect({{MM::HorizontalPosition, -1000.0}, {MM::VerticalPosition, -1000.0}});
    d.To(1919, 1079);
    d.Expect({{MM::HorizontalPosition, 1000.0}, {MM::VerticalPosition, 1000.0}});
    // A later, smaller screen does not change the scale: the start-up rectangle stays.
    d.screen = {0, 0, 800, 600};
    d.To(959, 539);
    d.Expect({{MM::HorizontalPosition, 2000.0 / 1919.0 * 959 - 1000.0}});
}

TEST(MouseSamplerMeasures, DirectionAfterTenSmallMovesOrTwentyPixelsOrBackToTheStart) {
    {
        Drive d;
        for (int i = 0; i < 9; ++i) {
            EXPECT_FALSE(d.By(-1, 0).directionChanged);
            EXPECT_EQ(d.M(MM::Direction), 0.0);
        }
        EXPECT_TRUE(d.By(-1, 0).directionChanged); // the tenth moved sample
        d.Expect({{MM::Direction, 500.0}, {MM::DirectionHorizontalSigned, -1000.0}});
        // Resting iterations do not count as samples of the window.
        for (int i = 0; i < 20; ++i) d.Still();
        for (int i = 0; i < 9; ++i) d.By(0, -1);
        d.Expect({{MM::Direction, 500.0}});
        d.By(0, -1);
        d.Expect({{MM::Direction, -1000.0}});
    }
    {
        Drive d;
        d.By(0, -19); // 19 pixels: not yet
        EXPECT_EQ(d.M(MM::Direction), 0.0);
        d.By(0, -1); // 20 pixels in two samples
        d.Expect({{MM::Direction, -1000.0}});
    }
    {
        Drive d;
        d.By(-12, -16); // 20 pixels in one sample, up and left
        EXPECT_NEAR(d.core.Theta(), std::atan2(-16.0, -12.0), 1e-15);
        d.Expect({{MM::Direction, (std::atan2(-16.0, -12.0) - kPi / 2) * 1000.0 / kPi}});
    }
    {
        Drive d;
        d.By(-20, 0); // leftwards first
        for (int i = 0; i < 5; ++i) d.By(0, 1);
        for (int i = 0; i < 5; ++i) d.By(0, -1); // ten samples back to where the window began: rightwards
        EXPECT_EQ(d.core.Theta(), 0.0);
        d.Expect({{MM::Direction, -500.0}});
    }
}

TEST(MouseSamplerMeasures, TurningAcrossNorthEastTakesTheShortWay) {
    // dy = 18 is slightly down-right (about 350 degrees, y up), dy = -18 slightly up-right (about 10).
    const double a = std::atan2(18.0, 100.0) * 180.0 / kPi; // about 10.2 degrees
    for (const int s : {1, -1}) {
        SCOPED_TRACE(s);
        Drive d;
        d.By(100, 18 * s);
        const double ts1 = 0.1 * -s * a; // from the start's 0 degrees
        d.Expect({{MM::TurnInertia, ts1 * 400.0 / 9.0}, {MM::TurnInertiaPrime, 0.1 * ts1 * 2000.0 / 3.0}});
        d.By(100, -18 * s);
        const double ts2 = 0.9 * ts1 + 0.1 * (2 * s * a); // 350 to 10 is +2a, not 2a - 360
        const double tc2 = 0.9 * (0.1 * ts1) + 0.1 * (ts2 - ts1);
        d.Expect({{MM::TurnInertia, ts2 * 400.0 / 9.0}, {MM::TurnInertiaPrime, tc2 * 2000.0 / 3.0}});
    }
}

TEST(MouseSamplerWrap, RightEdgeJumpsLeftWithoutSpeedOrDistance) {
    Drive d({1900, 500});
    d.wrap = true;
    EXPECT_EQ(d.To(1919, 500).wrapTo, (CursorPoint{1, 500})); // onto the last pixel: 19 pixels moved
    d.Expect({{MM::SpeedRaw, 95.0}, {MM::HorizontalPosition, 1000.0}});
    // The cursor is now where the wrap put it; that counts as no movement at all.
    const MotionResult r2 = d.To(1, 500);
    EXPECT_FALSE(r2.moved || r2.wrapTo);
    d.Expect({{MM::SpeedRaw, 0.0}, {MM::HorizontalPosition, 1000.0}});
    EXPECT_DOUBLE_EQ(d.core.TotalDistance(), 19.0);
}

TEST(MouseSamplerWrap, EachEdgeOnlyOnExactEquality) {
    const std::pair<CursorPoint, std::optional<CursorPoint>> cases[] = {
        {{0, 500}, CursorPoint{1918, 500}}, {{1919, 500}, CursorPoint{1, 500}},
        {{700, 0}, CursorPoint{700, 1078}}, {{700, 1079}, CursorPoint{700, 1}},
        {{0, 0}, CursorPoint{1918, 1078}},  {{1919, 1079}, CursorPoint{1, 1}},
        {{1918, 1078}, std::nullopt},       {{1, 1}, std::nullopt},
    };
    for (const auto& [at, to] : cases) {
        SCOPED_TRACE(testing::Message() << at.x << "," << at.y);
        Drive d({900, 500});
        d.wrap = true;
        EXPECT_EQ(d.To(at.x, at.y).wrapTo, to);
        EXPECT_EQ(d.core.PreviousPosition(), to.value_or(at));
    }
    // Without WrapMouse the cursor stays on the edge.
    Drive d({900, 500});
    EXPECT_FALSE(d.To(1919, 500).wrapTo);
    // The fresh rectangle decides where the edges are.
    d.wrap = true;
    d.screen = {0, 0, 1280, 1024};
    EXPECT_EQ(d.To(1279, 500).wrapTo, (CursorPoint{1, 500}));
}

TEST(MouseSamplerWrap, ScriptedPointerFollowsTheWrap) {
    // The hand moves right by 10 pixels per iteration; the cursor stops at the edge, wraps and keeps
    // following the hand from the left (1910 -> 1919 is 9 pixels).
    ScriptedPointer pointer({{0, 1890, 300, 0}, {100, 1990, 300, 0}}, ScreenRect{0, 0, 1920, 1080});
    MouseSamplerCore core;
    WheelState wheel;
    core.Start({1890, 300}, pointer.Screen(), 0);
    const std::pair<int, double> expected[] = {{1900, 50}, {1910, 50}, {1, 45}, {11, 50}, {21, 50}};
    for (const auto& [x, speedRaw] : expected) {
        pointer.Advance();
        SampleStep(core, pointer, wheel, true);
        int cx = 0, cy = 0;
        pointer.ReadCursor(cx, cy);
        EXPECT_EQ(cx, x);
        EXPECT_EQ(core.Measure(MM::SpeedRaw), speedRaw) << x;
    }
}

TEST(MouseSamplerWheel, ThreeNotchesGiveMinus24AndTheWrapNearHundredNoVelocitySpike) {
    Drive d;
    for (int i = 0; i < 3; ++i) d.wheel.OnWheel(120); // away from the user
    EXPECT_NEAR(d.wheel.Position(), -24.0, 1e-12);
    d.Still();
    EXPECT_NEAR(d.M(MM::ScrollPosition), -240.0, 1e-9);
    double vel = 0.2 * -24.0;
    EXPECT_NEAR(d.M(MM::ScrollVelocity), vel * 100.0, 1e-9);
    EXPECT_NEAR(d.M(MM::ScrollAcceleration), 0.2 * vel * 600.0, 1e-9);
    for (int notch = 4; notch <= 13; ++notch) {
        d.wheel.OnWheel(120);
        d.Still();
        vel = vel * 0.8 + 0.2 * -8.0; // every notch, the thirteenth included, is a step of -8
        EXPECT_NEAR(d.M(MM::ScrollVelocity), vel * 100.0, 1e-9) << notch;
    }
    EXPECT_NEAR(d.wheel.Position(), 96.0, 1e-9); // -104 re-entered near +100
    EXPECT_NEAR(d.M(MM::ScrollPosition), 960.0, 1e-9);
    // And back across the wrap towards the user.
    d.wheel.OnWheel(-120);
    d.wheel.OnWheel(-120);
    EXPECT_NEAR(d.wheel.Position(), -88.0, 1e-9);
    d.Still();
    EXPECT_NEAR(d.M(MM::ScrollVelocity), (vel * 0.8 + 0.2 * 16.0) * 100.0, 1e-9);
    // A large delta at once stays in range too.
    WheelState w;
    w.OnWheel(120 * 30); // -240
    EXPECT_NEAR(w.Position(), -40.0, 1e-9);
    w.OnWheel(-32768);
    EXPECT_LE(std::abs(w.Position()), 100.0);
}

TEST(MouseSamplerStatus, SpeedClassBoundaries) {
    const std::pair<uint32_t, int> cases[] = {
        {0, 18},    {1, 19},    {19, 19},   {20, 20},    {99, 20},    {100, 21},        {1599, 21},
        {1600, 22}, {6999, 22}, {7000, 23}, {39999, 23}, {40000, 24}, {4000000000u, 24}};
    for (const auto& [pps, number] : cases) EXPECT_EQ(SpeedClassString(pps), number) << pps;
    EXPECT_EQ(SpeedClassEnglish(20), "Your mouse is currently walking at ");
    EXPECT_EQ(SpeedClassEnglish(25), "");
}

TEST(MouseSamplerStatus, TextsOnlyWhenChangedAndWalkingFromTwentyPixelsPerSecond) {
    const std::string travelled = "Your mouse has travelled a total of ";
    Drive d;
    d.Still();
    StatusTexts st = d.core.Status(10); // the first iteration shows the distance
    EXPECT_EQ(st.distance.value_or(""), travelled + "0 pixels since this program started.");
    EXPECT_FALSE(st.speedClass || st.speed);
    EXPECT_FALSE(d.core.Status(20).distance); // unchanged
    st = d.core.Status(334);                  // the first refresh at rest shows nothing new
    EXPECT_FALSE(st.speedClass || st.speed || st.distance);

    for (int i = 0; i < 3; ++i) d.By(1, 2); // 3 x sqrt(5) = 6.708 pixels: 20.1 per second
    st = d.core.Status(667);                // the next refresh is later than 333 ms after
    EXPECT_FALSE(st.speed);
    EXPECT_EQ(st.distance.value_or(""), travelled + "7 pixels since this program started.");
    st = d.core.Status(668);
    EXPECT_EQ(st.speedClass.value_or(""), "Your mouse is currently walking at ");
    EXPECT_EQ(st.speed.value_or(""), "20 pixels per second.");

    // 5 + sqrt(2) = 6.414 pixels: 19 per second is crawling.
    d.By(5, 0);
    d.By(1, 1);
    st = d.core.Status(1002);
    EXPECT_EQ(st.speedClass.value_or(""), "Your mouse is currently crawling at ");
    EXPECT_EQ(st.speed.value_or(""), "19 pixels per second.");
    // The distance of a refresh starts again at 0: 2 pixels is 6 per second, still crawling, so only
    // the number changes.
    d.By(2, 0);
    st = d.core.Status(1336);
    EXPECT_FALSE(st.speedClass);
    EXPECT_EQ(st.speed.value_or(""), "6 pixels per second.");
    st = d.core.Status(1670); // resting
    EXPECT_EQ(st.speedClass.value_or(""), "Your mouse is currently halted at ");
    EXPECT_EQ(st.speed.value_or(""), "0 pixels per second.");
}

TEST(MouseSamplerStatus, TextsComeThroughTheLookup) {
    std::vector<int> asked;
    Drive d({500, 500}, [&](int number, std::string_view english) {
        asked.push_back(number);
        if (number == 25) return std::string("%u Pixel pro Sekunde.");
        if (number == 53) return std::string("Strecke %.00f");
        return "<" + std::string(english) + ">";
    });
    d.By(40, 0);
    const StatusTexts st = d.core.Status(334);
    EXPECT_EQ(st.speedClass.value_or(""), "<Your mouse is currently jogging at >");
    EXPECT_EQ(st.speed.value_or(""), "120 Pixel pro Sekunde.");
    EXPECT_EQ(st.distance.value_or(""), "Strecke 40");
    EXPECT_EQ(asked, (std::vector<int>{21, 25, 53}));
}

TEST(MouseSamplerLabels, SliderValuesAreStoredAndCaptionsShownWhenChanged) {
    MouseSamplerCore core;
    core.Start({0, 0}, {0, 0, 1920, 1080}, 0);
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
        const LabelUpdate u = core.Labels(steps[i].in);
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
    EXPECT_EQ(ControlRateAt(-5), 0.0);
    EXPECT_EQ(ControlRateAt(500), 48000.0);
    EXPECT_EQ(table[size_t(ControlRateSliderPosition(4500.0))], 4800); // 48000 / trunc(10.67)
    for (double rate : {0.0, 1e9, std::nan(""), -100.0})
        EXPECT_EQ(ControlRateSliderPosition(rate), 0) << rate;
}

TEST(MouseSamplerFormat, OneNumberSafely) {
    EXPECT_EQ(FormatNumberText("%u pixels per second.", 20), "20 pixels per second.");
    EXPECT_EQ(FormatNumberText("total %.00f pixels", 1234.6), "total 1235 pixels");
    EXPECT_EQ(FormatNumberText("%ld milliseconds", 50), "50 milliseconds");
    EXPECT_EQ(FormatNumberText("%.05g hertz", 4000), "4000 hertz");
    EXPECT_EQ(FormatNumberText("%lg", 52), "52");
    EXPECT_EQ(FormatNumberText("%5d|%-4u|%04x", 42), "   42|%-4u|%04x");
    EXPECT_EQ(FormatNumberText("100%% %d", 7), "100% 7");
    EXPECT_EQ(FormatNumberText("%d %d", 7), "7 %d");
    // Conversions that would read something else are copied, never executed.
    EXPECT_EQ(FormatNumberText("%s and %n then %d", 3), "%s and %n then 3");
    EXPECT_EQ(FormatNumberText("%*d", 3), "%*d");
    EXPECT_EQ(FormatNumberText("end %", 3), "end %");
    EXPECT_EQ(FormatNumberText("end %.5", 3), "end %.5");
    EXPECT_EQ(FormatNumberText("%999999999d", 3).size(), 100u);
    EXPECT_EQ(FormatNumberText("%.999999f", 1.5).size(), 102u); // "1." and 100 decimals
    EXPECT_EQ(FormatNumberText("%d", std::nan("")), "0");
    EXPECT_EQ(FormatNumberText("%d", 1e300), "9223372036854775807");
}

TEST(MouseSamplerNeedle, PointsWhereTheMouseMoves) {
    const auto right = DirectionNeedleLines(100, 0.0);
    EXPECT_EQ((std::array{right[0].x0, right[0].y0, right[0].x1, right[0].y1}),
              (std::array{50, 50, 100, 50}));
    EXPECT_EQ(right[1].x1, 0); // the tail, in the mean colour
    EXPECT_TRUE(right[1].meanColour);
    EXPECT_EQ((std::array{right[2].x1, right[2].y1, right[3].y1}), (std::array{50, 55, 45})); // head: w/20

    const int d = 100;
    std::vector<uint32_t> px(size_t(d * d), 0xDEADBEEF);
    DrawDirectionNeedle(px, d, kPi / 2, 0xFFFFFF, 0x000000); // moving down
    auto at = [&](int x, int y) { return px[size_t(y * d + x)]; };
    EXPECT_EQ(at(50, 75), 0xFFFFFFu); // shaft below the centre (rows from the top)
    EXPECT_EQ(at(50, 25), 0x7F7F7Fu); // tail above, mean of white and black
    EXPECT_EQ(at(10, 10), 0x000000u);
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
        EXPECT_EQ(engine.outputLatencyMs.load(), 77);
        EXPECT_EQ(engine.inputLatencyMs.load(), 30);
        EXPECT_EQ(engine.controlRate.load(), 1000.0);
        // The cursor as the sampler saw it, for the engine thread.
        int sx = 0, sy = 0;
        ASSERT_TRUE(sampler.Sampled().ReadCursor(sx, sy));
        EXPECT_EQ(sy, 500);
        EXPECT_GT(sx, 100);
        EXPECT_EQ(sx % 5, 0);
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
    EXPECT_EQ(engine.rawMeasures[int(MM::SpeedRaw)].load(), 5.0); // 1 pixel down per iteration
    EXPECT_EQ(engine.outputLatencyMs.load(), 60);                 // no sliders: left alone
}

} // namespace
} // namespace mw
