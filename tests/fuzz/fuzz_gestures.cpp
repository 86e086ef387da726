// libFuzzer target: the gesture CSV reader on any byte sequence. Besides surviving every input it
// checks what a parse promises (points in time order within the limits, or no points and a message),
// then plays the points through a scripted pointer and the mouse sampler's measures, as a render
// does, and checks that the cursor stays on the screen and every measure stays finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sources/gestures.hpp"
#include "sources/mouse_measures.hpp"
#include "sources/scripted_pointer.hpp"

namespace {

constexpr int kMaxIterations = 300; // 3 s of the sampler's 10 ms iterations

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<mw::ScriptPoint> points;
    std::string error;
    if (!mw::ParseGestureCsv(text, points, error)) {
        if (!points.empty() || error.empty()) __builtin_trap();
        return 0;
    }
    if (points.empty() || !error.empty()) __builtin_trap();
    for (size_t i = 0; i < points.size(); ++i) {
        const mw::ScriptPoint& p = points[i];
        if (!(p.tMs >= 0.0 && p.tMs <= mw::kMaxGestureMs) || (i > 0 && p.tMs < points[i - 1].tMs))
            __builtin_trap();
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || p.wheelNotches < -10000 || p.wheelNotches > 10000)
            __builtin_trap();
    }

    const mw::ScreenRect screen{0, 0, 640, 480};
    mw::ScriptedPointer pointer(points, screen);
    mw::MouseSamplerCore core;
    mw::WheelState wheel;
    int x = 0, y = 0;
    pointer.ReadCursor(x, y);
    core.Start({x, y}, screen);
    const double lastMs = points.back().tMs;
    for (int k = 0; k < kMaxIterations && (k == 0 || !pointer.Finished()); ++k) {
        if (k > 0) {
            const int notches = pointer.Advance();
            if (notches != 0) wheel.OnWheel(notches * 120);
        }
        mw::SampleStep(core, pointer, wheel, (k & 1) != 0);
        pointer.ReadCursor(x, y);
        if (x < screen.left || x >= screen.right || y < screen.top || y >= screen.bottom) __builtin_trap();
        for (double m : core.Measures())
            if (!std::isfinite(m)) __builtin_trap();
    }
    (void)lastMs;
    return 0;
}
