#pragma once
// A pointer that follows a script instead of a hand: timed points, interpolated per 10 ms iteration of
// the mouse sampler, plus wheel notches. Used by the offline renderer and by tests.
//
// The script describes where the hand moves the mouse; the cursor follows the hand's movements like a
// real mouse does: it starts at the first point, moves by the hand's displacement each iteration and
// stops at the screen edges. So after an edge wrap (SetCursor) the cursor keeps following the hand's
// movements from its new place instead of jumping back to the scripted coordinates.

#include <atomic>
#include <cstdint>
#include <vector>

#include "engine/pointer.hpp"

namespace mw {

/// One point of a pointer script: at `tMs` the hand is at (x, y); `wheelNotches` notches are rolled at
/// that moment, positive away from the user (lowering the scroll position), negative towards the user.
struct ScriptPoint {
    double tMs = 0.0;
    double x = 0.0;
    double y = 0.0;
    int wheelNotches = 0;
    bool operator==(const ScriptPoint&) const = default;
};

/// The hand position of a script at time t: linear between the points around t, the first point
/// before it, the last point after it. Points must be in time order; at a repeated time the later
/// point wins. An empty script gives (0, 0).
void ScriptPositionAt(const std::vector<ScriptPoint>& points, double tMs, double& x, double& y);

class ScriptedPointer : public IPointer {
public:
    static constexpr double kIterationMs = 10.0;

    /// `screen` is the rectangle the cursor moves in (right and bottom one past the last pixel).
    ScriptedPointer(std::vector<ScriptPoint> points, ScreenRect screen);

    /// The current cursor position. Safe to call from any thread.
    bool ReadCursor(int& x, int& y) override;
    /// Moves the cursor (limited to the screen). Safe to call from any thread.
    bool SetCursor(int x, int y) override;
    ScreenRect Screen() override { return screen_; }

    /// Goes on to the next iteration (10 ms later): the cursor follows the hand. Returns the wheel
    /// notches that fall due in this iteration: those with a time in (t - 10 ms, t], and for the first
    /// iteration also every earlier one. Call from one thread only.
    int Advance();

    /// The number of `Advance` calls so far; iteration 0 is the start (time 0). Safe from any thread.
    int64_t Iteration() const { return iteration_.load(std::memory_order_relaxed); }
    double TimeMs() const { return double(Iteration()) * kIterationMs; }
    /// True once the time has passed the last point of the script.
    bool Finished() const;

    const std::vector<ScriptPoint>& Points() const { return points_; }

private:
    static int64_t Pack(int x, int y);
    void Store(int64_t x, int64_t y);

    std::vector<ScriptPoint> points_;
    ScreenRect screen_;
    std::atomic<int64_t> iteration_{0};
    size_t nextNotch_ = 0; // first point whose notches are not yet handed out
    double handX_ = 0.0, handY_ = 0.0;
    std::atomic<int64_t> cursor_{0}; // x in the high, y in the low 32 bits
};

} // namespace mw
