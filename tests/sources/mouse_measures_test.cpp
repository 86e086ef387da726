// The nineteen mouse measures, the edge wrap and the wheel.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>

#include "sources/mouse_measures.hpp"
#include "sources/scripted_pointer.hpp"

namespace mw {
namespace {

using std::numbers::pi;

/// Drives the computation on a 1920 x 1080 screen (last pixel 1919, 1079) from a start position.
struct Drive {
    MouseSamplerCore core;
    ScreenRect screen{0, 0, 1920, 1080};
    WheelState wheel;
    bool wrap = false;
    explicit Drive(CursorPoint start = {500, 500}) { core.Start(start, screen); }
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
        d.Expect({{MM::Direction, 0.0}});
        d.By(0, -1); // 20 pixels in two samples
        d.Expect({{MM::Direction, -1000.0}});
    }
    {
        Drive d;
        d.By(-12, -16); // 20 pixels in one sample, up and left
        EXPECT_NEAR(d.core.Theta(), std::atan2(-16.0, -12.0), 1e-15);
        d.Expect({{MM::Direction, (std::atan2(-16.0, -12.0) - pi / 2) * 1000.0 / pi}});
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
    const double a = std::atan2(18.0, 100.0) * 180.0 / pi; // about 10.2 degrees
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
    // following the hand from the left (1910 -> 1919 is 9 pixels): the jump is neither speed nor distance.
    ScriptedPointer pointer({{0, 1890, 300, 0}, {100, 1990, 300, 0}}, ScreenRect{0, 0, 1920, 1080});
    MouseSamplerCore core;
    WheelState wheel;
    core.Start({1890, 300}, pointer.Screen());
    const std::pair<int, double> expected[] = {{1900, 50}, {1910, 50}, {1, 45}, {11, 50}, {21, 50}};
    for (const auto& [x, speedRaw] : expected) {
        pointer.Advance();
        SampleStep(core, pointer, wheel, true);
        int cx = 0, cy = 0;
        pointer.ReadCursor(cx, cy);
        EXPECT_EQ(std::tuple(cx, core.Measure(MM::SpeedRaw)), std::tuple(x, speedRaw));
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
    for (int i = 0; i < 2; ++i) d.wheel.OnWheel(-120);
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

} // namespace
} // namespace mw
