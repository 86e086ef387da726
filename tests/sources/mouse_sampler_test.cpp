// The mouse sampler: the nineteen measures, the edge wrap, the wheel, the status texts and labels,
// and the thread that writes the measures into the engine.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>
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
};

using MM = MouseMeasure;

// ---- measures ----

TEST(MouseSamplerMeasures, AllZeroAtStart) {
    Drive d;
    for (double v : d.core.Measures()) EXPECT_EQ(v, 0.0);
}

TEST(MouseSamplerMeasures, MovingStraightUpThenResting) {
    Drive d({500, 500});
    d.By(0, -30); // 30 pixels: a direction at once
    EXPECT_NEAR(d.M(MM::Direction), -1000.0, 1e-9);
    EXPECT_NEAR(d.M(MM::DirectionVerticalSigned), 1000.0, 1e-9);
    EXPECT_NEAR(d.M(MM::DirectionVerticalUnsigned), 1000.0, 1e-9);
    EXPECT_NEAR(d.M(MM::DirectionHorizontalSigned), 0.0, 1e-9);
    EXPECT_NEAR(d.M(MM::DirectionHorizontalUnsigned), 500.0, 1e-9);
    EXPECT_DOUBLE_EQ(d.M(MM::SpeedRaw), 150.0);                  // step 30 x 5
    EXPECT_DOUBLE_EQ(d.M(MM::Speed), 30 * 0.3 * 5);              // 45
    EXPECT_DOUBLE_EQ(d.M(MM::VerticalVelocity), -30 * 0.2 * 10); // upwards is negative
    EXPECT_DOUBLE_EQ(d.M(MM::HorizontalVelocity), 0.0);
    // Up is 90 degrees counter-clockwise from rightwards: a turn of +90 from the start's 0.
    EXPECT_NEAR(d.M(MM::TurnInertia), 9.0 * 400.0 / 9.0, 1e-9);
    const double hPos = 2000.0 / 1919.0 * 500 - 1000.0;
    const double vPos = 2000.0 / 1079.0 * 470 - 1000.0;
    EXPECT_DOUBLE_EQ(d.M(MM::HorizontalPosition), hPos);
    EXPECT_DOUBLE_EQ(d.M(MM::VerticalPosition), vPos);

    // Resting: Speed ( Raw ) is 0 at once, Speed decays by 0.7 and Turn Inertia by 0.9 per iteration;
    // positions and direction stay.
    double speed = 45.0, turn = 400.0;
    for (int i = 0; i < 5; ++i) {
        const MotionResult r = d.Still();
        speed *= 0.7;
        turn *= 0.9;
        EXPECT_FALSE(r.moved);
        EXPECT_EQ(d.M(MM::SpeedRaw), 0.0);
        EXPECT_NEAR(d.M(MM::Speed), speed, 1e-9);
        EXPECT_NEAR(d.M(MM::TurnInertia), turn, 1e-9);
        EXPECT_DOUBLE_EQ(d.M(MM::HorizontalPosition), hPos);
        EXPECT_DOUBLE_EQ(d.M(MM::VerticalPosition), vPos);
        EXPECT_NEAR(d.M(MM::Direction), -1000.0, 1e-9);
        EXPECT_NEAR(d.M(MM::DirectionVerticalSigned), 1000.0, 1e-9);
    }
}

TEST(MouseSamplerMeasures, MovingStraightLeft) {
    Drive d({500, 500});
    d.By(-25, 0);
    EXPECT_NEAR(d.M(MM::Direction), 500.0, 1e-9);
    EXPECT_NEAR(d.M(MM::DirectionHorizontalSigned), -1000.0, 1e-9);
    EXPECT_NEAR(d.M(MM::DirectionHorizontalUnsigned), 0.0, 1e-9);
    EXPECT_NEAR(d.M(MM::DirectionVerticalSigned), 0.0, 1e-9);
    EXPECT_DOUBLE_EQ(d.M(MM::HorizontalVelocity), -25 * 0.2 * 10);
}

TEST(MouseSamplerMeasures, PositionsSpanTheStartUpScreen) {
    Drive d({500, 500});
    d.To(0, 0);
    EXPECT_DOUBLE_EQ(d.M(MM::HorizontalPosition), -1000.0);
    EXPECT_DOUBLE_EQ(d.M(MM::VerticalPosition), -1000.0);
    d.To(1919, 1079);
    EXPECT_DOUBLE_EQ(d.M(MM::HorizontalPosition), 1000.0);
    EXPECT_DOUBLE_EQ(d.M(MM::VerticalPosition), 1000.0);
    // A later, smaller screen does not change the scale: the start-up rectangle stays.
    d.screen = {0, 0, 800, 600};
    d.To(959, 539);
    EXPECT_DOUBLE_EQ(d.M(MM::HorizontalPosition), 2000.0 / 1919.0 * 959 - 1000.0);
}

TEST(MouseSamplerMeasures, DirectionAfterTenSmallMovesOrTwentyPixels) {
    {
        Drive d({500, 500});
        for (int i = 0; i < 9; ++i) {
            EXPECT_FALSE(d.By(-1, 0).directionChanged);
            EXPECT_EQ(d.M(MM::Direction), 0.0);
            EXPECT_EQ(d.M(MM::DirectionHorizontalSigned), 0.0);
        }
        EXPECT_TRUE(d.By(-1, 0).directionChanged); // the tenth moved sample
        EXPECT_NEAR(d.M(MM::Direction), 500.0, 1e-9);
        EXPECT_NEAR(d.M(MM::DirectionHorizontalSigned), -1000.0, 1e-9);
        // Resting iterations do not count as samples of the window.
        for (int i = 0; i < 20; ++i) d.Still();
        for (int i = 0; i < 9; ++i) d.By(0, -1);
        EXPECT_NEAR(d.M(MM::Direction), 500.0, 1e-9);
        d.By(0, -1);
        EXPECT_NEAR(d.M(MM::Direction), -1000.0, 1e-9);
    }
    {
        Drive d({500, 500});
        d.By(0, -19); // 19 pixels: not yet
        EXPECT_EQ(d.M(MM::Direction), 0.0);
        d.By(0, -1); // 20 pixels in two samples
        EXPECT_NEAR(d.M(MM::Direction), -1000.0, 1e-9);
    }
    {
        Drive d({500, 500});
        d.By(-12, -16); // 20 pixels in one sample, up and left
        EXPECT_NEAR(d.core.Theta(), std::atan2(-16.0, -12.0), 1e-15);
        EXPECT_NEAR(d.M(MM::Direction), (std::atan2(-16.0, -12.0) - kPi / 2) * 1000.0 / kPi, 1e-9);
    }
}

TEST(MouseSamplerMeasures, MovementReturningToItsStartGivesRightwards) {
    Drive d({500, 500});
    d.By(-20, 0); // leftwards first
    EXPECT_NEAR(d.M(MM::Direction), 500.0, 1e-9);
    for (int i = 0; i < 5; ++i) d.By(0, 1);
    for (int i = 0; i < 5; ++i) d.By(0, -1); // ten samples back to where the window began
    EXPECT_EQ(d.core.Theta(), 0.0);
    EXPECT_NEAR(d.M(MM::Direction), -500.0, 1e-9);
    EXPECT_NEAR(d.M(MM::DirectionHorizontalSigned), 1000.0, 1e-9);
    EXPECT_NEAR(d.M(MM::DirectionHorizontalUnsigned), 1000.0, 1e-9);
}

TEST(MouseSamplerMeasures, FirstDirectionRightwardsIsWritten) {
    Drive d({500, 500});
    EXPECT_TRUE(d.By(30, 0).directionChanged);
    EXPECT_NEAR(d.M(MM::Direction), -500.0, 1e-9);
    EXPECT_NEAR(d.M(MM::DirectionHorizontalSigned), 1000.0, 1e-9);
    EXPECT_NEAR(d.M(MM::DirectionVerticalUnsigned), 500.0, 1e-9);
    // The same direction again is no change.
    EXPECT_FALSE(d.By(30, 0).directionChanged);
}

TEST(MouseSamplerMeasures, TurningAcrossNorthEastTakesTheShortWay) {
    const double a = std::atan2(18.0, 100.0) * 180.0 / kPi; // about 10.2 degrees
    {
        // Slightly down-right (about 350 degrees, y up) then slightly up-right (about 10 degrees).
        Drive d({500, 500});
        d.By(100, 18);
        const double ts1 = 0.1 * -a; // from the start's 0 degrees to 350: a turn of -a
        EXPECT_NEAR(d.M(MM::TurnInertia), ts1 * 400.0 / 9.0, 1e-9);
        EXPECT_NEAR(d.M(MM::TurnInertiaPrime), 0.1 * ts1 * 2000.0 / 3.0, 1e-9);
        d.By(100, -18);
        const double ts2 = 0.9 * ts1 + 0.1 * (2 * a); // +2a, not 2a - 360
        EXPECT_NEAR(d.M(MM::TurnInertia), ts2 * 400.0 / 9.0, 1e-9);
        const double tc2 = 0.9 * (0.1 * ts1) + 0.1 * (ts2 - ts1);
        EXPECT_NEAR(d.M(MM::TurnInertiaPrime), tc2 * 2000.0 / 3.0, 1e-9);
    }
    {
        // The other way round: 10 degrees to 350 is a turn of -2a.
        Drive d({500, 500});
        d.By(100, -18);
        const double ts1 = 0.1 * a;
        EXPECT_NEAR(d.M(MM::TurnInertia), ts1 * 400.0 / 9.0, 1e-9);
        d.By(100, 18);
        EXPECT_NEAR(d.M(MM::TurnInertia), (0.9 * ts1 - 0.1 * 2 * a) * 400.0 / 9.0, 1e-9);
    }
}

TEST(MouseSamplerMeasures, AccelerationsFollowTheirVelocities) {
    Drive d({500, 500});
    d.By(10, -5);
    // SpeedState = 0.3 step; AccelState = 0.2 (SpeedState - 0); HAcc = 0.2 HVel; VAcc = 0.2 VVel.
    const double step = std::sqrt(125.0);
    EXPECT_DOUBLE_EQ(d.M(MM::Acceleration), 0.2 * 0.3 * step * 200.0);
    EXPECT_DOUBLE_EQ(d.M(MM::HorizontalAcceleration), 0.2 * (0.2 * 10) * 200.0);
    EXPECT_DOUBLE_EQ(d.M(MM::VerticalAcceleration), 0.2 * (0.2 * -5) * 200.0);
    d.Still();
    const double speed1 = 0.3 * step, speed2 = 0.7 * speed1;
    EXPECT_NEAR(d.M(MM::Acceleration), (0.8 * 0.2 * speed1 + 0.2 * (speed2 - speed1)) * 200.0, 1e-9);
}

TEST(MouseSamplerMeasures, UnreadableCursorCountsAsRest) {
    Drive d({500, 500});
    d.By(30, 0);
    const double hPos = d.M(MM::HorizontalPosition);
    d.core.Move({std::nullopt, d.screen, true, d.wheel.Take()});
    EXPECT_EQ(d.M(MM::SpeedRaw), 0.0);
    EXPECT_DOUBLE_EQ(d.M(MM::HorizontalPosition), hPos);
    EXPECT_NEAR(d.M(MM::HorizontalVelocity), 0.8 * 0.2 * 30 * 10, 1e-9);
}

// ---- edge wrap ----

TEST(MouseSamplerWrap, RightEdgeJumpsLeftWithoutSpeedOrDistance) {
    Drive d({1900, 500});
    d.wrap = true;
    const MotionResult r = d.To(1919, 500); // onto the last pixel: 19 pixels moved
    ASSERT_TRUE(r.wrapTo);
    EXPECT_EQ(*r.wrapTo, (CursorPoint{1, 500}));
    EXPECT_DOUBLE_EQ(d.M(MM::SpeedRaw), 95.0);
    EXPECT_DOUBLE_EQ(d.M(MM::HorizontalPosition), 1000.0);
    EXPECT_DOUBLE_EQ(d.core.TotalDistance(), 19.0);
    // The cursor is now where the wrap put it; that counts as no movement at all.
    const MotionResult r2 = d.To(1, 500);
    EXPECT_FALSE(r2.moved);
    EXPECT_FALSE(r2.wrapTo);
    EXPECT_EQ(d.M(MM::SpeedRaw), 0.0);
    EXPECT_NEAR(d.M(MM::Speed), 19 * 0.3 * 0.7 * 5, 1e-9);
    EXPECT_NEAR(d.M(MM::HorizontalVelocity), 19 * 0.2 * 0.8 * 10, 1e-9);
    EXPECT_DOUBLE_EQ(d.core.TotalDistance(), 19.0);
    EXPECT_DOUBLE_EQ(d.M(MM::HorizontalPosition), 1000.0);
}

TEST(MouseSamplerWrap, EachEdgeOnlyOnExactEquality) {
    struct Case {
        CursorPoint at;
        std::optional<CursorPoint> to;
    };
    const Case cases[] = {
        {{0, 500}, CursorPoint{1918, 500}}, {{1919, 500}, CursorPoint{1, 500}},
        {{700, 0}, CursorPoint{700, 1078}}, {{700, 1079}, CursorPoint{700, 1}},
        {{0, 0}, CursorPoint{1918, 1078}},  {{1919, 1079}, CursorPoint{1, 1}},
        {{1918, 1078}, std::nullopt},       {{1, 1}, std::nullopt},
    };
    for (const Case& c : cases) {
        Drive d({900, 500});
        d.wrap = true;
        const MotionResult r = d.To(c.at.x, c.at.y);
        EXPECT_EQ(r.wrapTo, c.to) << c.at.x << "," << c.at.y;
        if (c.to) {
            EXPECT_EQ(d.core.PreviousPosition(), *c.to);
        }
    }
    // Without WrapMouse the cursor stays on the edge.
    Drive d({900, 500});
    EXPECT_FALSE(d.To(1919, 500).wrapTo);
    // The fresh rectangle decides where the edges are.
    Drive e({900, 500});
    e.wrap = true;
    e.screen = {0, 0, 1280, 1024};
    EXPECT_EQ(e.To(1279, 500).wrapTo, (CursorPoint{1, 500}));
}

TEST(MouseSamplerWrap, ScriptedPointerFollowsTheWrap) {
    // The hand keeps moving right by 10 pixels per iteration; the cursor stops at the edge, wraps and
    // keeps following the hand from the left.
    ScriptedPointer pointer({{0, 1890, 300, 0}, {100, 1990, 300, 0}}, ScreenRect{0, 0, 1920, 1080});
    MouseSamplerCore core;
    WheelState wheel;
    int x = 0, y = 0;
    pointer.ReadCursor(x, y);
    core.Start({x, y}, pointer.Screen(), 0);
    std::vector<int> xs;
    std::vector<double> speedRaw;
    for (int i = 0; i < 5; ++i) {
        pointer.Advance();
        SampleStep(core, pointer, wheel, true);
        pointer.ReadCursor(x, y);
        xs.push_back(x);
        speedRaw.push_back(core.Measure(MM::SpeedRaw));
    }
    EXPECT_EQ(xs, (std::vector<int>{1900, 1910, 1, 11, 21}));
    EXPECT_EQ(speedRaw, (std::vector<double>{50, 50, 45, 50, 50})); // 1910 -> 1919 is 9 pixels
}

// ---- the wheel ----

TEST(MouseSamplerWheel, ThreeNotchesAwayGiveMinus24) {
    Drive d;
    for (int i = 0; i < 3; ++i) d.wheel.OnWheel(120);
    EXPECT_NEAR(d.wheel.Position(), -24.0, 1e-12);
    d.Still();
    EXPECT_NEAR(d.M(MM::ScrollPosition), -240.0, 1e-9);
    EXPECT_NEAR(d.M(MM::ScrollVelocity), -24.0 * 0.2 * 100.0, 1e-9);
    EXPECT_NEAR(d.M(MM::ScrollAcceleration), -24.0 * 0.2 * 0.2 * 600.0, 1e-9);
    d.Still();
    EXPECT_NEAR(d.M(MM::ScrollVelocity), -24.0 * 0.2 * 0.8 * 100.0, 1e-9);
    // Towards the user raises it again.
    d.wheel.OnWheel(-120);
    EXPECT_NEAR(d.wheel.Position(), -16.0, 1e-12);
}

TEST(MouseSamplerWheel, WrapNearHundredGivesNoVelocitySpike) {
    Drive d;
    double vel = 0.0;
    for (int notch = 1; notch <= 13; ++notch) {
        d.wheel.OnWheel(120);
        d.Still();
        vel = vel * 0.8 + (-8.0) * 0.2; // every notch, the thirteenth included, is a step of -8
        EXPECT_NEAR(d.M(MM::ScrollVelocity), vel * 100.0, 1e-9) << notch;
    }
    EXPECT_NEAR(d.wheel.Position(), 96.0, 1e-9); // -104 re-entered near +100
    EXPECT_NEAR(d.M(MM::ScrollPosition), 960.0, 1e-9);
    // And back across the wrap towards the user.
    d.wheel.OnWheel(-120);
    d.wheel.OnWheel(-120);
    EXPECT_NEAR(d.wheel.Position(), -88.0, 1e-9);
    d.Still();
    EXPECT_NEAR(d.M(MM::ScrollVelocity), (vel * 0.8 + 16.0 * 0.2) * 100.0, 1e-9);
}

TEST(MouseSamplerWheel, LargeDeltaStaysInRange) {
    WheelState w;
    w.OnWheel(120 * 30); // -240 at once
    EXPECT_NEAR(w.Position(), -40.0, 1e-9);
    EXPECT_NEAR(w.Previous(), 200.0, 1e-9);
    w.OnWheel(-32768);
    EXPECT_GE(w.Position(), -100.0);
    EXPECT_LE(w.Position(), 100.0);
    const WheelState::Reading r = w.Take();
    EXPECT_EQ(w.Previous(), r.position);
}

// ---- status texts ----

TEST(MouseSamplerStatus, SpeedClassBoundaries) {
    const std::pair<uint32_t, int> cases[] = {
        {0, 18},    {1, 19},    {19, 19},   {20, 20},    {99, 20},    {100, 21},        {1599, 21},
        {1600, 22}, {6999, 22}, {7000, 23}, {39999, 23}, {40000, 24}, {4000000000u, 24}};
    for (const auto& [pps, number] : cases) EXPECT_EQ(SpeedClassString(pps), number) << pps;
    EXPECT_EQ(SpeedClassEnglish(20), "Your mouse is currently walking at ");
    EXPECT_EQ(SpeedClassEnglish(24), "Your mouse is burning up at ");
    EXPECT_EQ(SpeedClassEnglish(25), "");
}

TEST(MouseSamplerStatus, DistanceTextInTheFirstIterationAndSpeedOnlyWhenChanged) {
    Drive d;
    d.Still();
    StatusTexts st = d.core.Status(10);
    ASSERT_TRUE(st.distance);
    EXPECT_EQ(*st.distance, "Your mouse has travelled a total of 0 pixels since this program started.");
    EXPECT_FALSE(st.speedClass);
    EXPECT_FALSE(st.speed);
    d.Still();
    EXPECT_FALSE(d.core.Status(20).distance);
    // The first refresh (after 333 ms) with no movement shows nothing new.
    d.Still();
    st = d.core.Status(334);
    EXPECT_FALSE(st.speedClass);
    EXPECT_FALSE(st.speed);
    EXPECT_FALSE(st.distance);
}

TEST(MouseSamplerStatus, WalkingFromTwentyPixelsPerSecond) {
    Drive d;
    for (int i = 0; i < 3; ++i) d.By(1, 2); // 3 x sqrt(5) = 6.708 pixels: 20.1 per second
    StatusTexts st = d.core.Status(333);    // not yet later than 333
    EXPECT_FALSE(st.speed);
    ASSERT_TRUE(st.distance);
    EXPECT_EQ(*st.distance, "Your mouse has travelled a total of 7 pixels since this program started.");
    st = d.core.Status(334);
    ASSERT_TRUE(st.speedClass);
    EXPECT_EQ(*st.speedClass, "Your mouse is currently walking at ");
    ASSERT_TRUE(st.speed);
    EXPECT_EQ(*st.speed, "20 pixels per second.");

    // 5 + sqrt(2) = 6.414 pixels: 19 per second is crawling. The next refresh is 333 ms later.
    d.By(5, 0);
    d.By(1, 1);
    EXPECT_FALSE(d.core.Status(667).speed);
    st = d.core.Status(668);
    ASSERT_TRUE(st.speedClass);
    EXPECT_EQ(*st.speedClass, "Your mouse is currently crawling at ");
    EXPECT_EQ(st.speed.value_or(""), "19 pixels per second.");

    // The distance of a refresh starts again at 0: 2 pixels is 6 per second, still crawling, so only
    // the number changes.
    d.By(2, 0);
    st = d.core.Status(1002);
    EXPECT_FALSE(st.speedClass);
    EXPECT_EQ(st.speed.value_or(""), "6 pixels per second.");
    // Resting: halted at 0.
    st = d.core.Status(1336);
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

// ---- labels ----

TEST(MouseSamplerLabels, SliderValuesAreStoredAndShownWhenChanged) {
    MouseSamplerCore core;
    core.Start({0, 0}, {0, 0, 1920, 1080}, 0);
    const int pos4000 = ControlRateSliderPosition(4000.0);
    LabelInput in{true, 50, 20, pos4000, 0.0};
    LabelUpdate u = core.Labels(in);
    EXPECT_EQ(u.outputLatencyMs, 50);
    EXPECT_EQ(u.inputLatencyMs, 20);
    EXPECT_EQ(u.controlRate, 4000.0);
    EXPECT_EQ(u.latencyCaption.value_or(""),
              "20 milliseconds"); // both changed: the input latency is shown last
    EXPECT_EQ(u.controlRateCaption.value_or(""), "4000 hertz");
    EXPECT_TRUE(u.startCaptionRestoreTimer);
    EXPECT_FALSE(u.currentLatency); // 0 as last shown

    u = core.Labels(in);
    EXPECT_FALSE(u.latencyCaption);
    EXPECT_FALSE(u.controlRateCaption);
    EXPECT_FALSE(u.startCaptionRestoreTimer);
    EXPECT_EQ(u.outputLatencyMs, 50);

    in.outputLatencySlider = 61;
    in.measuredLatencyMs = 52.9;
    u = core.Labels(in);
    EXPECT_EQ(u.latencyCaption.value_or(""), "61 milliseconds");
    EXPECT_TRUE(u.startCaptionRestoreTimer);
    EXPECT_EQ(u.currentLatency.value_or(""), "52");
    in.measuredLatencyMs = 52.1;
    EXPECT_FALSE(core.Labels(in).currentLatency);

    in.controlRateSlider = 64;
    u = core.Labels(in);
    EXPECT_EQ(u.controlRate, 48000.0);
    EXPECT_EQ(u.controlRateCaption.value_or(""), "48000 hertz");

    // Without sliders only the current latency is looked at.
    u = core.Labels({false, 0, 0, 0, 70.0});
    EXPECT_FALSE(u.slidersPresent);
    EXPECT_FALSE(u.latencyCaption);
    EXPECT_EQ(u.currentLatency.value_or(""), "70");
}

TEST(MouseSamplerLabels, ControlRateTable) {
    const auto table = ControlRateTable();
    ASSERT_EQ(table.size(), 65u); // 0 and the 64 divisors of 48000 = 2^7 * 3 * 5^3
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[1], 1);
    EXPECT_EQ(table[2], 2);
    EXPECT_EQ(table[6], 6);
    EXPECT_EQ(table[7], 8);
    EXPECT_EQ(table[8], 10);
    EXPECT_EQ(table[63], 24000);
    EXPECT_EQ(table[64], 48000);
    for (size_t k = 1; k < table.size(); ++k) {
        EXPECT_EQ(48000 % table[k], 0);
        if (k > 1) {
            EXPECT_LT(table[k - 1], table[k]);
        }
    }
    EXPECT_EQ(ControlRateAt(-5), 0.0);
    EXPECT_EQ(ControlRateAt(500), 48000.0);
    EXPECT_EQ(table[size_t(ControlRateSliderPosition(4000.0))], 4000);
    EXPECT_EQ(table[size_t(ControlRateSliderPosition(4500.0))], 4800); // 48000 / trunc(10.67)
    EXPECT_EQ(ControlRateSliderPosition(0.0), 0);
    EXPECT_EQ(ControlRateSliderPosition(1e9), 0);
    EXPECT_EQ(ControlRateSliderPosition(std::nan("")), 0);
    EXPECT_EQ(ControlRateSliderPosition(-100.0), 0);
}

// ---- formatting ----

TEST(MouseSamplerFormat, OneNumberSafely) {
    EXPECT_EQ(FormatNumberText("%u pixels per second.", 20), "20 pixels per second.");
    EXPECT_EQ(FormatNumberText("total %.00f pixels", 1234.6), "total 1235 pixels");
    EXPECT_EQ(FormatNumberText("%ld milliseconds", 50), "50 milliseconds");
    EXPECT_EQ(FormatNumberText("%.05g hertz", 4000), "4000 hertz");
    EXPECT_EQ(FormatNumberText("%.05g hertz", 0), "0 hertz");
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
    EXPECT_EQ(FormatNumberText("", 3), "");
}

// ---- the needle ----

TEST(MouseSamplerNeedle, PointsWhereTheMouseMoves) {
    const auto right = DirectionNeedleLines(100, 0.0);
    EXPECT_EQ(right[0].x0, 50);
    EXPECT_EQ(right[0].y0, 50);
    EXPECT_EQ(right[0].x1, 100);
    EXPECT_EQ(right[0].y1, 50);
    EXPECT_EQ(right[1].x1, 0); // the tail, in the mean colour
    EXPECT_TRUE(right[1].meanColour);
    EXPECT_EQ(right[2].x1, 50); // head strokes end 5 pixels (w/20) beside the centre
    EXPECT_EQ(right[2].y1, 55);
    EXPECT_EQ(right[3].y1, 45);

    const int d = 100;
    std::vector<uint32_t> px(size_t(d * d), 0xDEADBEEF);
    DrawDirectionNeedle(px, d, kPi / 2, 0xFFFFFF, 0x000000); // moving down
    auto at = [&](int x, int y) { return px[size_t(y * d + x)]; };
    EXPECT_EQ(at(50, 75), 0xFFFFFFu); // shaft below the centre (rows from the top)
    EXPECT_EQ(at(50, 25), 0x7F7F7Fu); // tail above, mean of white and black
    EXPECT_EQ(at(10, 10), 0x000000u);
    EXPECT_EQ(at(90, 90), 0x000000u);
    // Too small a buffer draws nothing.
    std::vector<uint32_t> small(10, 7);
    DrawDirectionNeedle(small, d, 0.0, 1, 2);
    EXPECT_EQ(small[0], 7u);
}

// ---- the thread ----

class RecordingView : public MouseStatusView {
public:
    void ShowDistance(const std::string& text) override {
        std::lock_guard lock(mutex_);
        distances.push_back(text);
    }
    void ShowLatencyCaption(const std::string& text) override {
        std::lock_guard lock(mutex_);
        latencyCaptions.push_back(text);
    }
    void ShowDirection(double theta) override {
        std::lock_guard lock(mutex_);
        directions.push_back(theta);
    }
    void ShowIndicators(const IndicatorPositions&) override { ++indicatorCalls; }
    std::vector<std::string> Distances() {
        std::lock_guard lock(mutex_);
        return distances;
    }
    std::vector<std::string> LatencyCaptions() {
        std::lock_guard lock(mutex_);
        return latencyCaptions;
    }
    std::vector<double> Directions() {
        std::lock_guard lock(mutex_);
        return directions;
    }
    std::atomic<int> indicatorCalls{0};

private:
    std::mutex mutex_;
    std::vector<std::string> distances;
    std::vector<std::string> latencyCaptions;
    std::vector<double> directions;
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
        EXPECT_NEAR(engine.rawMeasures[int(MM::DirectionHorizontalSigned)].load(), 1000.0, 1e-9);
        EXPECT_NEAR(engine.rawMeasures[int(MM::ScrollPosition)].load(), -240.0, 1e-9);
        EXPECT_GT(engine.rawMeasures[int(MM::Speed)].load(), 20.0);
        EXPECT_EQ(engine.outputLatencyMs.load(), 77);
        EXPECT_EQ(engine.inputLatencyMs.load(), 30);
        EXPECT_EQ(engine.controlRate.load(), 1000.0);
        EXPECT_FALSE(pointer.Finished());
        // The cursor as the sampler saw it, for the engine thread.
        int sx = 0, sy = 0;
        ASSERT_TRUE(sampler.Sampled().ReadCursor(sx, sy));
        EXPECT_EQ(sy, 500);
        EXPECT_GT(sx, 100);
        EXPECT_EQ(sx % 5, 0);
        EXPECT_EQ(sampler.Sampled().Screen().right, 1000000);
        EXPECT_FALSE(sampler.Sampled().SetCursor(1, 1));
    }
    // Destroying the sampler ended its thread; the view saw the texts.
    const auto distances = view.Distances();
    ASSERT_FALSE(distances.empty());
    EXPECT_EQ(distances.front(), "Your mouse has travelled a total of 5 pixels since this program started.");
    EXPECT_EQ(view.LatencyCaptions(), (std::vector<std::string>{"30 milliseconds"}));
    EXPECT_EQ(view.Directions(), (std::vector<double>{0.0}));
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
