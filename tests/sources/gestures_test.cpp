// Pointer scripts: the scripted pointer's interpolation, edge stop and wheel notches, the built-in
// gestures and the CSV reader.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "../i18n/language_test_support.hpp"
#include "sources/gestures.hpp"
#include "sources/scripted_pointer.hpp"

namespace mw {
namespace {

const ScreenRect kScreen{0, 0, 1920, 1080};

// A built-in gesture on kScreen, which must be made.
std::vector<ScriptPoint> BuiltIn(std::string_view name, double ms, uint32_t seed = 1) {
    std::vector<ScriptPoint> pts;
    std::string error;
    EXPECT_TRUE(MakeBuiltInGesture(name, kScreen, ms, seed, pts, error)) << error;
    return pts;
}

std::pair<int, int> Cursor(ScriptedPointer& p) {
    int x = 0, y = 0;
    p.ReadCursor(x, y);
    return {x, y};
}

TEST(ScriptedPointer, InterpolatesPerIterationAndHoldsTheLastPoint) {
    ScriptedPointer p({{0, 100, 200, 0}, {50, 200, 100, 0}, {50, 300, 300, 0}, {100, 300, 400, 0}}, kScreen);
    // Iterations of 10 ms; at 50 ms the later of the two points at 50 ms counts.
    const std::pair<int, std::pair<int, int>> steps[] = {
        {0, {100, 200}}, {1, {120, 180}}, {3, {180, 120}}, {1, {300, 300}}, {5, {300, 400}}};
    for (const auto& [advances, at] : steps) {
        for (int i = 0; i < advances; ++i) p.Advance();
        EXPECT_EQ(Cursor(p), at) << p.Iteration();
        EXPECT_FALSE(p.Finished()); // up to exactly the last point
    }
    p.Advance();
    EXPECT_TRUE(p.Finished());
    EXPECT_EQ(Cursor(p), (std::pair{300, 400})); // held
    EXPECT_EQ(p.Iteration(), 11);
    EXPECT_DOUBLE_EQ(p.TimeMs(), 110.0);
}

TEST(ScriptedPointer, StopsAtTheEdgesAndFollowsTheHandAfterAJump) {
    ScriptedPointer p({{0, 1900, 10, 0}, {40, 1940, -30, 0}, {80, 1900, 10, 0}}, kScreen);
    for (int i = 0; i < 4; ++i) p.Advance();
    EXPECT_EQ(Cursor(p), (std::pair{1919, 0})); // the hand went beyond the corner
    p.Advance();                                // the hand comes back by 10, 10
    EXPECT_EQ(Cursor(p), (std::pair{1909, 10}));
    p.SetCursor(500, 500);
    p.Advance();
    EXPECT_EQ(Cursor(p), (std::pair{490, 510}));
    p.SetCursor(-50, 5000); // kept on the screen
    EXPECT_EQ(Cursor(p), (std::pair{0, 1079}));
}

TEST(ScriptedPointer, WheelNotchesFallDueInTheirIterationAndAnEmptyScriptRests) {
    ScriptedPointer p({{-5, 10, 10, 2}, {0, 10, 10, 1}, {10, 10, 10, 3}, {15, 10, 10, -1}, {20, 10, 10, -1}},
                      kScreen);
    EXPECT_EQ(p.Advance(), 2 + 1 + 3); // first iteration: everything up to 10 ms
    EXPECT_EQ(p.Advance(), -2);        // (10, 20]
    EXPECT_EQ(p.Advance(), 0);
    // An empty script rests at the screen's origin.
    ScriptedPointer empty({}, ScreenRect{100, 50, 200, 150});
    EXPECT_EQ(Cursor(empty), (std::pair{100, 50}));
    EXPECT_EQ(empty.Advance(), 0);
    EXPECT_TRUE(empty.Finished());
}

TEST(Gestures, BuiltInGesturesCoverTheirDurationInsideTheScreen) {
    const auto names = BuiltInGestureNames();
    EXPECT_EQ(std::vector<std::string_view>(names.begin(), names.end()),
              (std::vector<std::string_view>{"still", "circle", "figure8", "zigzag", "scribble", "wheel"}));
    for (std::string_view name : names) {
        SCOPED_TRACE(name);
        const auto pts = BuiltIn(name, 2500, 7);
        ASSERT_FALSE(pts.empty());
        EXPECT_EQ(pts.front().tMs, 0.0);
        EXPECT_EQ(pts.back().tMs, 2500.0);
        for (size_t i = 0; i < pts.size(); ++i) {
            EXPECT_TRUE(i == 0 || pts[i - 1].tMs <= pts[i].tMs) << i;
            EXPECT_TRUE(pts[i].x >= 0 && pts[i].x <= 1919 && pts[i].y >= 0 && pts[i].y <= 1079) << i;
        }
    }
    const std::tuple<const char*, double, const char*> bad[] = {
        {"spiral", 1000, "unknown gesture \"spiral\""},
        {"circle", -1, "duration"},
        {"circle", std::nan(""), "duration"},
        {"circle", kMaxGestureMs + 1, "duration"}};
    for (const auto& [name, ms, expected] : bad) {
        std::vector<ScriptPoint> pts;
        std::string error;
        EXPECT_FALSE(MakeBuiltInGesture(name, kScreen, ms, 1, pts, error)) << name << " " << ms;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
}

TEST(Gestures, ShapesOfTheGestures) {
    EXPECT_EQ(BuiltIn("still", 1000), (std::vector<ScriptPoint>{{0, 959, 539, 0}, {1000, 959, 539, 0}}));
    auto pts = BuiltIn("circle", 2000);
    const double r = 0.35 * 1080;
    for (const ScriptPoint& p : pts) EXPECT_NEAR(std::hypot(p.x - 959, p.y - 539), r, 1e-6);
    ASSERT_GT(pts.size(), 50u);
    EXPECT_NEAR(pts[50].y, 539 + r, 1e-6); // a quarter turn (500 ms): below the centre
    pts = BuiltIn("zigzag", 1200);
    ASSERT_EQ(pts.size(), 4u); // 0, 500, 1000, 1200 ms: from 10 % to 90 % of the width, a tenth down
    EXPECT_EQ((std::array{pts[0].x, pts[1].x, pts[1].y - pts[0].y}), (std::array{192.0, 1728.0, 108.0}));
    pts = BuiltIn("wheel", 1000);
    int away = 0, towards = 0;
    for (const ScriptPoint& p : pts) (p.wheelNotches > 0 ? away : towards) += std::abs(p.wheelNotches);
    EXPECT_EQ(std::tuple(away, towards), std::tuple(5, 5));
}

TEST(Gestures, ScribbleIsASeededRandomWalk) {
    const auto a = BuiltIn("scribble", 5000, 42);
    EXPECT_EQ(a, BuiltIn("scribble", 5000, 42));
    EXPECT_NE(a, BuiltIn("scribble", 5000, 43));
    double travelled = 0.0;
    for (size_t i = 1; i < a.size(); ++i) {
        const double step = std::hypot(a[i].x - a[i - 1].x, a[i].y - a[i - 1].y);
        EXPECT_LE(step, 40.0 * std::sqrt(2.0) + 1e-9);
        travelled += step;
    }
    EXPECT_GT(travelled, 500.0);
}

TEST(GestureCsv, ReadsPointsWithHeaderAndNotches) {
    std::vector<ScriptPoint> pts;
    std::string error;
    ASSERT_TRUE(ParseGestureCsv("\xEF\xBB\xBFt_ms,x,y,wheel_notches\r\n"
                                "0,100,200\r\n"
                                "\r\n"
                                "# a comment\n"
                                " 50 , 150.5 ,250, 3\n"
                                "50,300,300,-2\n"
                                "1e2,+4,-5",
                                pts, error))
        << error;
    EXPECT_EQ(pts, (std::vector<ScriptPoint>{
                       {0, 100, 200, 0}, {50, 150.5, 250, 3}, {50, 300, 300, -2}, {100, 4, -5, 0}}));
    ASSERT_TRUE(ParseGestureCsv("0,1,2\n", pts, error)); // no header
    EXPECT_EQ(pts.size(), 1u);
}

TEST(GestureCsv, BadInputGivesAClearError) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "holds no points"},
        {"t_ms,x,y\n", "holds no points"},
        {"0,1\n", "line 1: expected t_ms,x,y[,wheel_notches] but found 2 fields"},
        {"0,1,2,3,4\n", "line 1: expected t_ms,x,y[,wheel_notches] but found 5 fields"},
        {"t,x,y\n0,1,2\nabc,1,2\n", "line 3: t_ms \"abc\" is not a number"},
        {"1O,5,5\n", "line 1: t_ms \"1O\" is not a number"},
        {"10,1,2\n5,1,2\n", "line 2: t_ms \"5\" is earlier than the line before"},
        {"-1,1,2\n", "line 1: t_ms \"-1\" is outside 0..3600000"},
        {"nan,1,2\n", "line 1: t_ms \"nan\" is not a number"},
        {"0,inf,2\n", "line 1: x \"inf\" is not a pixel coordinate"},
        {"0,1,1e99\n", "line 1: y \"1e99\" is not a pixel coordinate"},
        {"0,1,\n", "line 1: y \"\" is not a pixel coordinate"},
        {"0,1,2,1.5\n", "line 1: wheel_notches \"1.5\" is not a whole number"},
        {"0,1,2,99999999999999999999\n", "wheel_notches"},
        {"0,1,2\nt,x,y\n", "line 2: t_ms \"t\" is not a number"},
    };
    for (const auto& [text, expected] : cases) {
        std::vector<ScriptPoint> pts{{1, 2, 3, 4}};
        std::string error;
        EXPECT_FALSE(ParseGestureCsv(text, pts, error)) << text;
        EXPECT_NE(error.find(expected), std::string::npos) << "input: " << text << "\nerror: " << error;
        EXPECT_TRUE(pts.empty());
    }
    // Binary junk and a long field are reported, never a crash.
    std::string junk(5000, '\0');
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = char(i * 37 % 256);
    std::vector<ScriptPoint> pts;
    std::string error;
    EXPECT_FALSE(ParseGestureCsv(junk, pts, error));
    EXPECT_FALSE(ParseGestureCsv("0,1,2\n" + std::string(1000, 'x') + ",1,2\n", pts, error));
    EXPECT_LT(error.size(), 200u);
}

TEST(GestureCsv, FilesAndTheNameOrPathChoice) {
    test::TempFolder dir;
    const std::string good = dir.File("good.csv"), bad = dir.File("bad.csv");
    test::WriteBytes(good, "t_ms,x,y\n0,10,20\n100,30,40\n");
    std::vector<ScriptPoint> pts;
    std::string error;
    ASSERT_TRUE(MakeGesture(good, kScreen, 1000, 1, pts, error)) << error;
    EXPECT_EQ(pts.size(), 2u);
    ASSERT_TRUE(MakeGesture("circle", kScreen, 1000, 1, pts, error));
    EXPECT_EQ(pts.size(), 101u);
    test::WriteBytes(bad, "0,1,2\nx\n");
    EXPECT_FALSE(LoadGestureCsv(bad, pts, error));
    EXPECT_NE(error.find("bad.csv: gesture CSV line 2"), std::string::npos) << error;
    EXPECT_FALSE(MakeGesture(dir.File("missing.csv"), kScreen, 1000, 1, pts, error));
    EXPECT_NE(error.find("cannot open gesture file"), std::string::npos) << error;
    EXPECT_FALSE(LoadGestureCsv(dir.Path().string(), pts, error)); // a directory
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace mw
