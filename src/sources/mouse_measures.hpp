#pragma once
// The nineteen mouse measures: a deterministic function of what the sampler gives them per iteration
// (the cursor position, the screen rectangle, `WrapMouse`, the wheel position), with the smoothed states
// behind them, the indicator positions that show them and the edge wrap. The thread
// (sources/mouse_sampler.hpp) and the offline renderer drive `MouseSamplerCore` once per iteration.

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>

#include "engine/pointer.hpp"
#include "model/source_id.hpp"

namespace mw {

/// A cursor position in screen pixels (origin top-left of the primary monitor, y downwards).
struct CursorPoint {
    int x = 0;
    int y = 0;
    bool operator==(const CursorPoint&) const = default;
};

/// The screen rectangle with inclusive edges: `right` and `bottom` are the last pixel.
struct ScreenEdges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
/// The inclusive edges of a rectangle whose right and bottom lie one past the last pixel.
inline ScreenEdges EdgesOf(const ScreenRect& r) {
    return {r.left, r.top, r.right - 1, r.bottom - 1};
}

/// `WheelPosition` and `PreviousWheelPosition`, shared by the wheel handler (user-interface thread)
/// and the sampler. A tiny lock makes the handler's wrap and the sampler's read-and-take one step
/// each, so a wrap can never land between the sampler's read and its update of the previous value.
class WheelState {
public:
    static constexpr double kDeltaPerNotch = 120.0;
    static constexpr double kPositionPerNotch = 8.0;

    struct Reading {
        double position = 0.0;
        double previous = 0.0;
    };

    /// The wheel handler: `delta` is the signed wheel delta, 120 per notch, positive when the wheel is
    /// rolled away from the user (which lowers the position by 8 per notch). The position wraps into
    /// -100..100 and the previous position moves with it, so the wrap produces no velocity.
    void OnWheel(int delta);
    /// The sampler's read: returns position and previous position, then sets previous = position.
    Reading Take();
    double Position() const;
    double Previous() const;

private:
    mutable std::mutex mutex_;
    double position_ = 0.0;
    double previous_ = 0.0;
};

/// Positions of the mouse-status indicators (shown only while `ShowStatusIndicators` is on).
struct IndicatorPositions {
    int horizontalPosition = 0; ///< x of the last moved sample, on the range left..right
    int verticalPosition = 0;   ///< y of the last moved sample, on the range top..bottom
    int turnInertia = 0;        ///< range -180..180
    int turnInertiaPrime = 0;   ///< range -180..180
    int speed = 0;              ///< bar 0..200
    int acceleration = 0;       ///< -100..100 from here on
    int horizontalVelocity = 0;
    int verticalVelocity = 0;
    int horizontalAcceleration = 0;
    int verticalAcceleration = 0;
    int scrollPosition = 0;
    int scrollVelocity = 0;
    int scrollAcceleration = 0;
};

/// What one iteration reads before the sleep.
struct MotionInput {
    std::optional<CursorPoint> cursor; ///< empty when the cursor could not be read (counts as no movement)
    ScreenRect screen;                 ///< a fresh screen rectangle, for the edge wrap
    bool wrapMouse = false;
    WheelState::Reading wheel;
};

struct MotionResult {
    bool moved = false;
    double step = 0.0;                 ///< pixels moved since the previous iteration
    std::optional<CursorPoint> wrapTo; ///< where the cursor must jump (edge wrap)
    CursorPoint position;              ///< where the cursor is now (after the wrap)
    ScreenRect screen;                 ///< the fresh screen rectangle of this iteration
    bool directionChanged = false;     ///< a new direction angle: redraw the direction needle
    double theta = 0.0;                ///< the current direction angle in radians
    IndicatorPositions indicators;
};

/// The measures' state and computation, independent of threads, clocks and widgets.
class MouseSamplerCore {
public:
    /// Start-up: the cursor read at thread start and the start-up screen rectangle (used for the
    /// position measures for the whole life of the sampler). Every measure and state starts at 0.
    void Start(CursorPoint cursor, const ScreenRect& startupScreen);

    /// One iteration up to the sleep: positions, direction, turning, speed, velocities, accelerations,
    /// the wheel measures and the edge wrap.
    MotionResult Move(const MotionInput& in);

    const std::array<double, kMeasureCount>& Measures() const { return measures_; }
    double Measure(MouseMeasure m) const { return measures_[static_cast<int>(m)]; }

    // Read-only views of the state, for the status display and tests.
    double Theta() const { return theta_; }
    const IndicatorPositions& Indicators() const { return indicators_; }
    CursorPoint PreviousPosition() const { return prevPos_; }

private:
    void ComputeDirection(MotionResult& res);
    void Turn();
    void Motion(double step, CursorPoint p);
    void Wheel(const WheelState::Reading& wheel);
    void Set(MouseMeasure m, double value) { measures_[static_cast<int>(m)] = value; }

    std::array<double, kMeasureCount> measures_{};

    double maxAbsX_ = 1.0; // from the start-up rectangle
    double maxAbsY_ = 1.0;
    CursorPoint prevPos_;
    CursorPoint velPrevPos_;
    double theta_ = 0.0;
    bool haveThetaPrev_ = false;
    double thetaPrev_ = 0.0;
    double dirDistance_ = 0.0;
    double dirDX_ = 0.0;
    double dirDY_ = 0.0;
    int dirCount_ = 0;
    double prevDegrees_ = 0.0;
    double turnState_ = 0.0, turnPrev_ = 0.0, turnChangeState_ = 0.0;
    double speedState_ = 0.0, speedPrev_ = 0.0, accelState_ = 0.0;
    double hVelState_ = 0.0, vVelState_ = 0.0, hVelPrev_ = 0.0, vVelPrev_ = 0.0;
    double hAccState_ = 0.0, vAccState_ = 0.0;
    double scrollVelState_ = 0.0, scrollVelPrev_ = 0.0, scrollAccState_ = 0.0;
    IndicatorPositions indicators_;
};

/// One iteration up to the sleep, as the thread and the offline renderer run it: reads the cursor, a
/// fresh screen rectangle and the wheel, computes, and moves the cursor when it wraps.
MotionResult SampleStep(MouseSamplerCore& core, IPointer& pointer, WheelState& wheel, bool wrapMouse);

} // namespace mw
