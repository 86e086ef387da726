#include "sources/mouse_measures.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mw {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfPi = kPi / 2.0;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kDirectionScale = 1000.0 / kPi; // theta - pi/2 in -3pi/2..pi/2 as -1500..500
constexpr double kDegreesPerRadian = 180.0 / kPi;
constexpr double kTurnLimit = 100000.0;

/// trunc(v) as an int, saturated at the int range (NaN gives 0).
int TruncInt(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

/// One smoothing step per iteration: state × keep + input × take.
struct Smoothing {
    double keep;
    double take;
    double operator()(double state, double input) const { return state * keep + input * take; }
};
constexpr Smoothing kTurnSmoothing{0.9, 0.1};
constexpr Smoothing kSpeedSmoothing{0.7, 0.3};
constexpr Smoothing kChangeSmoothing{0.8, 0.2}; // accelerations, velocities and the wheel

/// How a state is shown: its indicator stands at trunc(state × gain) on a range of ±range (0..range for
/// the speed bar), and its measure spans ±1000 where the indicator spans its range.
struct Scale {
    double gain;
    double range;
    int Indicator(double state) const { return TruncInt(state * gain); }
    double Measure(double state) const { return state * (gain * 1000.0 / range); }
};
constexpr Scale kTurnScale{8.0, 180.0};          // Turn Inertia: 400/9 per degree of turn state
constexpr Scale kTurnChangeScale{120.0, 180.0};  // Turn Inertia': 2000/3
constexpr Scale kSpeedScale{1.0, 200.0};         // Speed and Speed ( Raw ): 5 per pixel
constexpr Scale kAccelerationScale{20.0, 100.0}; // the three accelerations: 200
constexpr Scale kVelocityScale{1.0, 100.0};      // the velocities and the wheel position: 10
constexpr Scale kScrollVelocityScale{10.0, 100.0};
constexpr Scale kScrollAccelerationScale{60.0, 100.0};

/// A cursor that moved this far, or this many times, since the last direction gets a new direction.
constexpr double kDirectionDistance = 20.0;
constexpr int kDirectionSamples = 10;

/// The angle between theta and a reference direction, 0..pi, as the direction measures take it.
double AngleTo(double theta, double reference) {
    const double a = std::min(theta, reference);
    const double b = std::max(theta, reference);
    return std::min(b - a, (a + kTwoPi) - b);
}

/// A direction measure from the angle to the direction it reaches +1000 at: -1000 opposite it.
double Towards(double theta, double reference) {
    return (1.0 - 2.0 * AngleTo(theta, reference) / kPi) * -1000.0;
}

} // namespace

// ---- the wheel ----

void WheelState::OnWheel(int delta) {
    std::lock_guard lock(mutex_);
    position_ -= double(delta) * (kPositionPerNotch / kDeltaPerNotch);
    // One notch moves the position by 8, so a single wrap of 200 brings it back; a delta of many
    // notches at once is brought back in full.
    if (position_ > 100.0) {
        const double wraps = std::ceil((position_ - 100.0) / 200.0);
        position_ -= 200.0 * wraps;
        previous_ -= 200.0 * wraps;
    } else if (position_ < -100.0) {
        const double wraps = std::ceil((-100.0 - position_) / 200.0);
        position_ += 200.0 * wraps;
        previous_ += 200.0 * wraps;
    }
}

WheelState::Reading WheelState::Take() {
    std::lock_guard lock(mutex_);
    const Reading r{position_, previous_};
    previous_ = position_;
    return r;
}

double WheelState::Position() const {
    std::lock_guard lock(mutex_);
    return position_;
}

double WheelState::Previous() const {
    std::lock_guard lock(mutex_);
    return previous_;
}

// ---- the measures ----

void MouseSamplerCore::Start(CursorPoint cursor, const ScreenRect& startupScreen) {
    *this = MouseSamplerCore();
    const ScreenEdges e = EdgesOf(startupScreen);
    // A rectangle that reaches no further than pixel 0 counts as one pixel wide (no division by 0).
    maxAbsX_ = std::max(1.0, double(std::max(std::abs(int64_t(e.left)), std::abs(int64_t(e.right)))));
    maxAbsY_ = std::max(1.0, double(std::max(std::abs(int64_t(e.top)), std::abs(int64_t(e.bottom)))));
    indicators_.horizontalPosition = cursor.x;
    indicators_.verticalPosition = cursor.y;
    prevPos_ = cursor;
    velPrevPos_ = cursor;
}

void MouseSamplerCore::ComputeDirection(MotionResult& res) {
    theta_ = (dirDX_ == 0.0 && dirDY_ == 0.0) ? 0.0 : std::atan2(dirDY_, dirDX_);
    dirDistance_ = 0.0;
    dirCount_ = 0;
    dirDX_ = 0.0;
    dirDY_ = 0.0;
    // The first direction is always written, also when it is 0 (rightwards).
    if (haveThetaPrev_ && theta_ == thetaPrev_) return;
    haveThetaPrev_ = true;
    thetaPrev_ = theta_;
    res.directionChanged = true;

    Set(MouseMeasure::Direction, (theta_ - kHalfPi) * kDirectionScale);
    // Signed: +1000 moving right (away from pi, leftwards) and moving up (away from pi/2, downwards).
    const double hSigned = Towards(theta_, kPi);
    Set(MouseMeasure::DirectionHorizontalSigned, hSigned);
    Set(MouseMeasure::DirectionHorizontalUnsigned, (hSigned + 1000.0) * 0.5);
    const double vSigned = Towards(theta_, kHalfPi);
    Set(MouseMeasure::DirectionVerticalSigned, vSigned);
    Set(MouseMeasure::DirectionVerticalUnsigned, (vSigned + 1000.0) * 0.5);
}

// Turning, counter-clockwise positive, with the crossing of north-east (0/360 degrees) taken the short way.
void MouseSamplerCore::Turn() {
    const double degrees = theta_ > 0.0 ? 360.0 - theta_ * kDegreesPerRadian : -theta_ * kDegreesPerRadian;
    double turn = degrees - prevDegrees_;
    if (prevDegrees_ >= 270.0 && degrees <= 90.0)
        turn = (360.0 - prevDegrees_) + degrees;
    else if (prevDegrees_ <= 90.0 && degrees >= 270.0)
        turn = -((360.0 - degrees) + prevDegrees_);
    turnState_ = std::clamp(kTurnSmoothing(turnState_, turn), -kTurnLimit, kTurnLimit);
    indicators_.turnInertia = kTurnScale.Indicator(turnState_);
    Set(MouseMeasure::TurnInertia, kTurnScale.Measure(turnState_));
    prevDegrees_ = degrees;
    turnChangeState_ = kTurnSmoothing(turnChangeState_, turnState_ - turnPrev_);
    indicators_.turnInertiaPrime = kTurnChangeScale.Indicator(turnChangeState_);
    turnPrev_ = turnState_;
    Set(MouseMeasure::TurnInertiaPrime, kTurnChangeScale.Measure(turnChangeState_));
}

// Speed, velocity, acceleration; `p` is where the cursor is (its previous place when it did not move).
void MouseSamplerCore::Motion(double step, CursorPoint p) {
    IndicatorPositions& ind = indicators_;
    speedState_ = kSpeedSmoothing(speedState_, step);
    ind.speed = kSpeedScale.Indicator(speedState_);
    Set(MouseMeasure::Speed, kSpeedScale.Measure(speedState_));
    Set(MouseMeasure::SpeedRaw, kSpeedScale.Measure(step));

    accelState_ = kChangeSmoothing(accelState_, speedState_ - speedPrev_);
    ind.acceleration = kAccelerationScale.Indicator(accelState_);
    speedPrev_ = speedState_;
    Set(MouseMeasure::Acceleration, kAccelerationScale.Measure(accelState_));

    hVelState_ = kChangeSmoothing(hVelState_, double(int64_t(p.x) - velPrevPos_.x));
    ind.horizontalVelocity = kVelocityScale.Indicator(hVelState_);
    Set(MouseMeasure::HorizontalVelocity, kVelocityScale.Measure(hVelState_));
    vVelState_ = kChangeSmoothing(vVelState_, double(int64_t(p.y) - velPrevPos_.y));
    ind.verticalVelocity = kVelocityScale.Indicator(vVelState_);
    velPrevPos_ = p;
    Set(MouseMeasure::VerticalVelocity, kVelocityScale.Measure(vVelState_));

    hAccState_ = kChangeSmoothing(hAccState_, hVelState_ - hVelPrev_);
    ind.horizontalAcceleration = kAccelerationScale.Indicator(hAccState_);
    Set(MouseMeasure::HorizontalAcceleration, kAccelerationScale.Measure(hAccState_));
    vAccState_ = kChangeSmoothing(vAccState_, vVelState_ - vVelPrev_);
    ind.verticalAcceleration = kAccelerationScale.Indicator(vAccState_);
    hVelPrev_ = hVelState_;
    vVelPrev_ = vVelState_;
    Set(MouseMeasure::VerticalAcceleration, kAccelerationScale.Measure(vAccState_));
}

void MouseSamplerCore::Wheel(const WheelState::Reading& wheel) {
    IndicatorPositions& ind = indicators_;
    ind.scrollPosition = kVelocityScale.Indicator(wheel.position);
    Set(MouseMeasure::ScrollPosition, kVelocityScale.Measure(wheel.position));
    scrollVelState_ = kChangeSmoothing(scrollVelState_, wheel.position - wheel.previous);
    ind.scrollVelocity = kScrollVelocityScale.Indicator(scrollVelState_);
    Set(MouseMeasure::ScrollVelocity, kScrollVelocityScale.Measure(scrollVelState_));
    scrollAccState_ = kChangeSmoothing(scrollAccState_, scrollVelState_ - scrollVelPrev_);
    ind.scrollAcceleration = kScrollAccelerationScale.Indicator(scrollAccState_);
    scrollVelPrev_ = scrollVelState_;
    Set(MouseMeasure::ScrollAcceleration, kScrollAccelerationScale.Measure(scrollAccState_));
}

MotionResult MouseSamplerCore::Move(const MotionInput& in) {
    MotionResult res;
    const CursorPoint p = in.cursor.value_or(prevPos_);

    if (p != prevPos_) {
        res.moved = true;
        indicators_.horizontalPosition = p.x;
        Set(MouseMeasure::HorizontalPosition, 2000.0 / maxAbsX_ * p.x - 1000.0);
        indicators_.verticalPosition = p.y;
        Set(MouseMeasure::VerticalPosition, 2000.0 / maxAbsY_ * p.y - 1000.0);
        const int64_t dx = int64_t(prevPos_.x) - p.x;
        const int64_t dy = int64_t(prevPos_.y) - p.y;
        res.step = std::sqrt(double(dx * dx + dy * dy));
        dirDistance_ += res.step;
        dirCount_ += 1;
        dirDX_ += double(int64_t(p.x) - prevPos_.x);
        dirDY_ += double(int64_t(p.y) - prevPos_.y);
        if (dirDistance_ >= kDirectionDistance || dirCount_ >= kDirectionSamples) ComputeDirection(res);
        prevPos_ = p;
    }
    Turn();
    Motion(res.step, p);
    Wheel(in.wheel);

    // Edge wrap: a cursor resting exactly on an edge jumps to one pixel inside the opposite edge;
    // the jump counts as neither distance nor velocity.
    if (in.wrapMouse && in.cursor) {
        const ScreenEdges e = EdgesOf(in.screen);
        CursorPoint w = p;
        if (p.x == e.left)
            w.x = e.right - 1;
        else if (p.x == e.right)
            w.x = e.left + 1;
        if (p.y == e.top)
            w.y = e.bottom - 1;
        else if (p.y == e.bottom)
            w.y = e.top + 1;
        if (w != p) {
            res.wrapTo = w;
            prevPos_ = w;
            velPrevPos_ = w;
        }
    }

    res.theta = theta_;
    res.indicators = indicators_;
    res.position = prevPos_;
    res.screen = in.screen;
    return res;
}

MotionResult SampleStep(MouseSamplerCore& core, IPointer& pointer, WheelState& wheel, bool wrapMouse) {
    MotionInput in;
    CursorPoint p;
    if (pointer.ReadCursor(p.x, p.y)) in.cursor = p;
    in.screen = pointer.Screen();
    in.wrapMouse = wrapMouse;
    in.wheel = wheel.Take();
    MotionResult res = core.Move(in);
    if (res.wrapTo) pointer.SetCursor(res.wrapTo->x, res.wrapTo->y);
    return res;
}

} // namespace mw
