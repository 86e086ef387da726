#include "sources/scripted_pointer.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mw {

namespace {

/// Rounds a coordinate to the nearest pixel, limited far beyond any screen (NaN gives 0).
int64_t RoundPixel(double v) {
    if (!(v == v)) return 0;
    return std::llround(std::clamp(v, -1e9, 1e9));
}

} // namespace

void ScriptPositionAt(const std::vector<ScriptPoint>& points, double tMs, double& x, double& y) {
    if (points.empty()) {
        x = y = 0.0;
        return;
    }
    // The first point later than t; the point before it is the one at or before t.
    const auto after = std::upper_bound(points.begin(), points.end(), tMs,
                                        [](double t, const ScriptPoint& p) { return t < p.tMs; });
    if (after == points.begin()) {
        x = points.front().x;
        y = points.front().y;
        return;
    }
    const ScriptPoint& a = *(after - 1);
    if (after == points.end() || a.tMs == tMs) {
        x = a.x;
        y = a.y;
        return;
    }
    const ScriptPoint& b = *after;
    const double f = (tMs - a.tMs) / (b.tMs - a.tMs);
    x = a.x + (b.x - a.x) * f;
    y = a.y + (b.y - a.y) * f;
}

ScriptedPointer::ScriptedPointer(std::vector<ScriptPoint> points, ScreenRect screen)
    : points_(std::move(points)), screen_(screen) {
    ScriptPositionAt(points_, 0.0, handX_, handY_);
    Store(RoundPixel(handX_), RoundPixel(handY_));
}

int64_t ScriptedPointer::Pack(int x, int y) {
    return int64_t((uint64_t(uint32_t(x)) << 32) | uint64_t(uint32_t(y)));
}

void ScriptedPointer::Store(int64_t x, int64_t y) {
    // The cursor stays on the screen: right and bottom lie one past the last pixel.
    const int64_t lastX = std::max(screen_.left, screen_.right - 1);
    const int64_t lastY = std::max(screen_.top, screen_.bottom - 1);
    x = std::clamp<int64_t>(x, screen_.left, lastX);
    y = std::clamp<int64_t>(y, screen_.top, lastY);
    cursor_.store(Pack(int(x), int(y)), std::memory_order_relaxed);
}

bool ScriptedPointer::ReadCursor(int& x, int& y) {
    const uint64_t v = uint64_t(cursor_.load(std::memory_order_relaxed));
    x = int(int32_t(uint32_t(v >> 32)));
    y = int(int32_t(uint32_t(v & 0xFFFFFFFFu)));
    return true;
}

bool ScriptedPointer::SetCursor(int x, int y) {
    Store(x, y);
    return true;
}

int ScriptedPointer::Advance() {
    iteration_.fetch_add(1, std::memory_order_relaxed);
    const double t = TimeMs();
    double x = 0.0, y = 0.0;
    ScriptPositionAt(points_, t, x, y);
    int cx = 0, cy = 0;
    ReadCursor(cx, cy);
    Store(int64_t(cx) + RoundPixel(x) - RoundPixel(handX_), int64_t(cy) + RoundPixel(y) - RoundPixel(handY_));
    handX_ = x;
    handY_ = y;

    int64_t notches = 0;
    while (nextNotch_ < points_.size() && points_[nextNotch_].tMs <= t)
        notches += points_[nextNotch_++].wheelNotches;
    return int(std::clamp<int64_t>(notches, std::numeric_limits<int>::min() / 120,
                                   std::numeric_limits<int>::max() / 120));
}

bool ScriptedPointer::Finished() const {
    return points_.empty() || TimeMs() > points_.back().tMs;
}

} // namespace mw
