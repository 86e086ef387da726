#include "sources/mouse_sampler.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <vector>

#include "engine/engine.hpp"

namespace mw {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfPi = kPi / 2.0;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kDirectionScale = 318.3098861837907;   // 1000 / pi
constexpr double kDegreesPerRadian = 57.29577951308232; // 180 / pi
constexpr double kTurnLimit = 100000.0;

/// trunc(v) as an int, saturated at the int range (NaN gives 0).
int TruncInt(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

int64_t TruncInt64(double v) {
    if (!(v == v)) return 0;
    if (v >= 9.2e18) return std::numeric_limits<int64_t>::max();
    if (v <= -9.2e18) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(v);
}

uint32_t TruncUnsigned(double v) {
    if (!(v > 0.0)) return 0;
    if (v >= 4294967295.0) return std::numeric_limits<uint32_t>::max();
    return static_cast<uint32_t>(v);
}

/// The angle between theta and a reference direction, 0..pi, as the direction measures take it.
double AngleTo(double theta, double reference) {
    const double a = std::min(theta, reference);
    const double b = std::max(theta, reference);
    return std::min(b - a, (a + kTwoPi) - b);
}

constexpr std::array<std::string_view, 7> kSpeedClassEnglish{
    "Your mouse is currently halted at ",  "Your mouse is currently crawling at ",
    "Your mouse is currently walking at ", "Your mouse is currently jogging at ",
    "Your mouse is currently running at ", "Your mouse is blazingly travelling at ",
    "Your mouse is burning up at ",
};

std::vector<int> BuildControlRateTable() {
    std::vector<int> table{0};
    for (int d = 1; d <= kSampleRate; ++d)
        if (kSampleRate % d == 0) table.push_back(d);
    return table;
}

} // namespace

// ---- texts ----

std::string EnglishText(int /*number*/, std::string_view english) {
    return std::string(english);
}

int SpeedClassString(uint32_t pps) {
    if (pps == 0) return mouse_text::kHalted;
    if (pps < 20) return mouse_text::kCrawling;
    if (pps < 100) return mouse_text::kWalking;
    if (pps < 1600) return mouse_text::kJogging;
    if (pps < 7000) return mouse_text::kRunning;
    if (pps < 40000) return mouse_text::kBlazing;
    return mouse_text::kBurning;
}

std::string_view SpeedClassEnglish(int number) {
    if (number < mouse_text::kHalted || number > mouse_text::kBurning) return {};
    return kSpeedClassEnglish[number - mouse_text::kHalted];
}

// ---- control rates ----

std::span<const int> ControlRateTable() {
    static const std::vector<int> table = BuildControlRateTable();
    return table;
}

double ControlRateAt(int position) {
    const auto table = ControlRateTable();
    position = std::clamp(position, 0, int(table.size()) - 1);
    return double(table[size_t(position)]);
}

int ControlRateSliderPosition(double controlRate) {
    if (!(controlRate == controlRate) || controlRate == 0.0 || std::fabs(controlRate) > 1e12) return 0;
    const double divider = std::trunc(double(kSampleRate) / controlRate);
    if (divider == 0.0 || std::fabs(divider) > 1e12) return 0;
    const long long wanted = kSampleRate / static_cast<long long>(divider);
    const auto table = ControlRateTable();
    for (size_t k = 0; k < table.size(); ++k)
        if (table[k] == wanted) return int(k);
    return 0;
}

// ---- the wheel ----

void WheelState::OnWheel(int delta) {
    std::lock_guard lock(mutex_);
    position_ -= double(delta) * 0.06666666666666667;
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

// ---- the computation ----

MouseSamplerCore::MouseSamplerCore(TextLookup lookup) : lookup_(std::move(lookup)) {}

std::string MouseSamplerCore::Lookup(int number, std::string_view english) const {
    if (lookup_) return lookup_(number, english);
    return std::string(english);
}

void MouseSamplerCore::Start(CursorPoint cursor, const ScreenRect& startupScreen, int64_t clockMs) {
    const TextLookup lookup = std::move(lookup_);
    *this = MouseSamplerCore(lookup);
    const ScreenEdges e = EdgesOf(startupScreen);
    // A rectangle that reaches no further than pixel 0 counts as one pixel wide (no division by 0).
    maxAbsX_ = std::max(1.0, double(std::max(std::abs(int64_t(e.left)), std::abs(int64_t(e.right)))));
    maxAbsY_ = std::max(1.0, double(std::max(std::abs(int64_t(e.top)), std::abs(int64_t(e.bottom)))));
    indicators_.horizontalPosition = cursor.x;
    indicators_.verticalPosition = cursor.y;
    nextStatusTime_ = clockMs + kStatusPeriodMs;
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

    measures_[int(MouseMeasure::Direction)] = (theta_ - kHalfPi) * kDirectionScale;

    const double hDist = AngleTo(theta_, kPi);
    const double hSigned = (1.0 - (hDist / kPi + hDist / kPi)) * -1000.0;
    measures_[int(MouseMeasure::DirectionHorizontalSigned)] = hSigned;
    measures_[int(MouseMeasure::DirectionHorizontalUnsigned)] = (hSigned + 1000.0) * 0.5;

    const double vDist = AngleTo(theta_, kHalfPi);
    const double vSigned = (1.0 - 2.0 * vDist / kPi) * -1000.0;
    measures_[int(MouseMeasure::DirectionVerticalSigned)] = vSigned;
    measures_[int(MouseMeasure::DirectionVerticalUnsigned)] = (vSigned + 1000.0) * 0.5;
}

MotionResult MouseSamplerCore::Move(const MotionInput& in) {
    MotionResult res;
    const CursorPoint p = in.cursor.value_or(prevPos_);
    IndicatorPositions& ind = indicators_;

    double step = 0.0;
    if (p != prevPos_) {
        res.moved = true;
        ind.horizontalPosition = p.x;
        measures_[int(MouseMeasure::HorizontalPosition)] = 2000.0 / maxAbsX_ * p.x - 1000.0;
        ind.verticalPosition = p.y;
        measures_[int(MouseMeasure::VerticalPosition)] = 2000.0 / maxAbsY_ * p.y - 1000.0;
        const int64_t dx = int64_t(prevPos_.x) - p.x;
        const int64_t dy = int64_t(prevPos_.y) - p.y;
        step = std::sqrt(double(dx * dx + dy * dy));
        statusDistance_ += step;
        totalDistance_ += step;
        dirDistance_ += step;
        dirCount_ += 1;
        dirDX_ += double(int64_t(p.x) - prevPos_.x);
        dirDY_ += double(int64_t(p.y) - prevPos_.y);
        if (dirDistance_ >= 20.0 || dirCount_ >= 10) ComputeDirection(res);
        prevPos_ = p;
    }
    res.step = step;

    // Turning, counter-clockwise positive, with the crossing of north-east (0/360 degrees) taken the short
    // way.
    const double degrees = theta_ > 0.0 ? 360.0 - theta_ * kDegreesPerRadian : -theta_ * kDegreesPerRadian;
    double turn = degrees - prevDegrees_;
    if (prevDegrees_ >= 270.0 && degrees <= 90.0)
        turn = (360.0 - prevDegrees_) + degrees;
    else if (prevDegrees_ <= 90.0 && degrees >= 270.0)
        turn = -((360.0 - degrees) + prevDegrees_);
    turnState_ = std::clamp(turnState_ * 0.9 + turn * 0.1, -kTurnLimit, kTurnLimit);
    ind.turnInertia = TruncInt(turnState_ * 8.0);
    measures_[int(MouseMeasure::TurnInertia)] = turnState_ * 44.44444444444444;
    prevDegrees_ = degrees;
    turnChangeState_ = turnChangeState_ * 0.9 + (turnState_ - turnPrev_) * 0.1;
    ind.turnInertiaPrime = TruncInt(turnChangeState_ * 120.0);
    turnPrev_ = turnState_;
    measures_[int(MouseMeasure::TurnInertiaPrime)] = turnChangeState_ * 666.6666666666666;

    // Speed, velocity, acceleration.
    speedState_ = step * 0.3 + speedState_ * 0.7;
    ind.speed = TruncInt(speedState_);
    measures_[int(MouseMeasure::Speed)] = speedState_ * 5.0;
    measures_[int(MouseMeasure::SpeedRaw)] = step * 5.0;

    accelState_ = accelState_ * 0.8 + (speedState_ - speedPrev_) * 0.2;
    ind.acceleration = TruncInt(accelState_ * 20.0);
    speedPrev_ = speedState_;
    measures_[int(MouseMeasure::Acceleration)] = accelState_ * 200.0;

    hVelState_ = hVelState_ * 0.8 + double(int64_t(p.x) - velPrevPos_.x) * 0.2;
    ind.horizontalVelocity = TruncInt(hVelState_);
    measures_[int(MouseMeasure::HorizontalVelocity)] = hVelState_ * 10.0;
    vVelState_ = vVelState_ * 0.8 + double(int64_t(p.y) - velPrevPos_.y) * 0.2;
    ind.verticalVelocity = TruncInt(vVelState_);
    velPrevPos_ = p;
    measures_[int(MouseMeasure::VerticalVelocity)] = vVelState_ * 10.0;

    hAccState_ = hAccState_ * 0.8 + (hVelState_ - hVelPrev_) * 0.2;
    ind.horizontalAcceleration = TruncInt(hAccState_ * 20.0);
    measures_[int(MouseMeasure::HorizontalAcceleration)] = hAccState_ * 200.0;
    vAccState_ = vAccState_ * 0.8 + (vVelState_ - vVelPrev_) * 0.2;
    ind.verticalAcceleration = TruncInt(vAccState_ * 20.0);
    hVelPrev_ = hVelState_;
    vVelPrev_ = vVelState_;
    measures_[int(MouseMeasure::VerticalAcceleration)] = vAccState_ * 200.0;

    // The wheel.
    const double wheel = in.wheel.position;
    ind.scrollPosition = TruncInt(wheel);
    measures_[int(MouseMeasure::ScrollPosition)] = wheel * 10.0;
    scrollVelState_ = scrollVelState_ * 0.8 + (wheel - in.wheel.previous) * 0.2;
    ind.scrollVelocity = TruncInt(scrollVelState_ * 10.0);
    measures_[int(MouseMeasure::ScrollVelocity)] = scrollVelState_ * 100.0;
    scrollAccState_ = scrollAccState_ * 0.8 + (scrollVelState_ - scrollVelPrev_) * 0.2;
    ind.scrollAcceleration = TruncInt(scrollAccState_ * 60.0);
    scrollVelPrev_ = scrollVelState_;
    measures_[int(MouseMeasure::ScrollAcceleration)] = scrollAccState_ * 600.0;

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
    res.indicators = ind;
    res.position = prevPos_;
    res.screen = in.screen;
    return res;
}

StatusTexts MouseSamplerCore::Status(int64_t clockMs) {
    StatusTexts st;
    if (clockMs > nextStatusTime_) {
        nextStatusTime_ = clockMs + kStatusPeriodMs;
        const uint32_t pps = TruncUnsigned(statusDistance_ * 3.0);
        if (pps != lastShownSpeed_) {
            lastShownSpeed_ = pps;
            const int number = SpeedClassString(pps);
            std::string classText = Lookup(number, SpeedClassEnglish(number));
            if (classText != lastClassText_) {
                lastClassText_ = classText;
                st.speedClass = std::move(classText);
            }
            st.speed = FormatNumberText(
                Lookup(mouse_text::kPixelsPerSecond, mouse_text::kPixelsPerSecondEnglish), double(pps));
        }
        statusDistance_ = 0.0;
    }
    if (totalDistance_ != lastShownTotal_) {
        lastShownTotal_ = totalDistance_;
        st.distance =
            FormatNumberText(Lookup(mouse_text::kDistance, mouse_text::kDistanceEnglish), totalDistance_);
    }
    return st;
}

LabelUpdate MouseSamplerCore::Labels(const LabelInput& in) {
    LabelUpdate u;
    u.slidersPresent = in.slidersPresent;
    if (in.slidersPresent) {
        u.outputLatencyMs = in.outputLatencySlider;
        if (in.outputLatencySlider != lastShownOutputLatency_) {
            lastShownOutputLatency_ = in.outputLatencySlider;
            u.latencyCaption = FormatNumberText(
                Lookup(mouse_text::kMilliseconds, mouse_text::kMillisecondsEnglish), in.outputLatencySlider);
            u.startCaptionRestoreTimer = true;
        }
        u.inputLatencyMs = in.inputLatencySlider;
        if (in.inputLatencySlider != lastShownInputLatency_) {
            lastShownInputLatency_ = in.inputLatencySlider;
            u.latencyCaption = FormatNumberText(
                Lookup(mouse_text::kMilliseconds, mouse_text::kMillisecondsEnglish), in.inputLatencySlider);
            u.startCaptionRestoreTimer = true;
        }
        u.controlRate = ControlRateAt(in.controlRateSlider);
        if (u.controlRate != lastShownControlRate_) {
            lastShownControlRate_ = u.controlRate;
            u.controlRateCaption =
                FormatNumberText(Lookup(mouse_text::kHertz, mouse_text::kHertzEnglish), u.controlRate);
            u.startCaptionRestoreTimer = true;
        }
    }
    const int64_t current = TruncInt64(in.measuredLatencyMs);
    if (current != lastShownCurrentLatency_) {
        lastShownCurrentLatency_ = current;
        u.currentLatency = FormatNumberText(mouse_text::kCurrentLatencyFormat, double(current));
    }
    return u;
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

// ---- the direction needle ----

std::array<NeedleLine, 4> DirectionNeedleLines(int d, double theta) {
    // Points are rounded to the nearest pixel, so that cos(3 pi / 2) = -1.8e-16 stays on the centre column.
    auto Px = [](double v) { return int(std::lround(std::clamp(v, -1e9, 1e9))); };
    const int w = d, h = d;
    const int cx = w / 2, cy = h / 2;
    const int tipX = Px(cx + (w / 2) * std::cos(theta));
    const int tipY = Px(cy + (h / 2) * std::sin(theta));
    const int tailX = Px(cx + (w / 2) * std::cos(theta + kPi));
    const int tailY = Px(cy + (h / 2) * std::sin(theta + kPi));
    const int hw = w / 20, hh = h / 20;
    const int leftX = Px(cx + hw * std::cos(theta + kHalfPi));
    const int leftY = Px(cy + hh * std::sin(theta + kHalfPi));
    const int rightX = Px(cx + hw * std::cos(theta - kHalfPi));
    const int rightY = Px(cy + hh * std::sin(theta - kHalfPi));
    return {{
        {cx, cy, tipX, tipY, false},
        {cx, cy, tailX, tailY, true},
        {tipX, tipY, leftX, leftY, false},
        {tipX, tipY, rightX, rightY, false},
    }};
}

void DrawDirectionNeedle(std::span<uint32_t> pixels, int d, double theta, uint32_t foreground,
                         uint32_t background) {
    if (d <= 0 || pixels.size() < size_t(d) * size_t(d)) return;
    std::fill(pixels.begin(), pixels.begin() + ptrdiff_t(d) * d, background);
    auto mean = [&](int shift) {
        return ((((foreground >> shift) & 0xFF) + ((background >> shift) & 0xFF)) / 2) << shift;
    };
    const uint32_t meanColour = mean(16) | mean(8) | mean(0);
    for (const NeedleLine& l : DirectionNeedleLines(d, theta)) {
        const uint32_t colour = l.meanColour ? meanColour : foreground;
        // Bresenham, both ends included, pixels outside the picture skipped.
        int x = l.x0, y = l.y0;
        const int dx = std::abs(l.x1 - l.x0), sx = l.x0 < l.x1 ? 1 : -1;
        const int dy = -std::abs(l.y1 - l.y0), sy = l.y0 < l.y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            if (x >= 0 && x < d && y >= 0 && y < d) pixels[size_t(y) * size_t(d) + size_t(x)] = colour;
            if (x == l.x1 && y == l.y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }
}

// ---- the thread ----

namespace {
int64_t PackPair(int a, int b) {
    return int64_t((uint64_t(uint32_t(a)) << 32) | uint64_t(uint32_t(b)));
}
int PairFirst(int64_t v) {
    return int(int32_t(uint32_t(uint64_t(v) >> 32)));
}
int PairSecond(int64_t v) {
    return int(int32_t(uint32_t(uint64_t(v) & 0xFFFFFFFFu)));
}
} // namespace

bool SampledPointer::ReadCursor(int& x, int& y) {
    if (!valid_.load(std::memory_order_acquire)) return false;
    const int64_t v = position_.load(std::memory_order_relaxed);
    x = PairFirst(v);
    y = PairSecond(v);
    return true;
}

ScreenRect SampledPointer::Screen() {
    const int64_t a = topLeft_.load(std::memory_order_relaxed);
    const int64_t b = bottomRight_.load(std::memory_order_relaxed);
    return {PairFirst(a), PairSecond(a), PairFirst(b), PairSecond(b)};
}

void SampledPointer::Publish(CursorPoint position, const ScreenRect& screen) {
    position_.store(PackPair(position.x, position.y), std::memory_order_relaxed);
    topLeft_.store(PackPair(screen.left, screen.top), std::memory_order_relaxed);
    bottomRight_.store(PackPair(screen.right, screen.bottom), std::memory_order_relaxed);
    valid_.store(true, std::memory_order_release);
}

int64_t MonotonicMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SleepMilliseconds(int ms) {
    timespec request{ms / 1000, long(ms % 1000) * 1000000L};
    timespec remaining{};
    while (clock_nanosleep(CLOCK_MONOTONIC, 0, &request, &remaining) == EINTR) request = remaining;
}

MouseSampler::MouseSampler(Engine& engine, IPointer& pointer, MouseSamplerControls& controls,
                           MouseStatusView* view, TextLookup lookup)
    : engine_(engine), pointer_(pointer), controls_(controls), view_(view), core_(std::move(lookup)) {}

MouseSampler::~MouseSampler() {
    quit_.store(true, std::memory_order_relaxed);
    if (thread_.joinable()) thread_.join();
}

void MouseSampler::Start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { ThreadMain(); });
}

void MouseSampler::ThreadMain() {
    // Start-up: all measures 0, the start-up rectangle, the clock and the cursor.
    for (auto& m : engine_.rawMeasures) m.store(0.0);
    const ScreenRect startupScreen = pointer_.Screen();
    const int64_t startClock = MonotonicMilliseconds();
    CursorPoint start;
    if (!pointer_.ReadCursor(start.x, start.y)) start = {};
    core_.Start(start, startupScreen, startClock);
    if (view_) view_->Begin(startupScreen, core_.Indicators());

    while (!quit_.load(std::memory_order_relaxed)) {
        if (hook_) hook_();
        const MotionResult res = SampleStep(core_, pointer_, controls_.wheel, controls_.wrapMouse);
        sampled_.Publish(res.position, res.screen);
        const auto& measures = core_.Measures();
        for (int k = 0; k < kMeasureCount; ++k) engine_.rawMeasures[size_t(k)].store(measures[size_t(k)]);
        if (view_ && controls_.showStatusIndicators) {
            view_->ShowIndicators(res.indicators);
            if (res.directionChanged) view_->ShowDirection(res.theta);
        }

        SleepMilliseconds(kPeriodMs);

        const StatusTexts st = core_.Status(MonotonicMilliseconds());
        LabelInput li;
        li.slidersPresent = controls_.slidersPresent;
        li.outputLatencySlider = controls_.outputLatencySlider;
        li.inputLatencySlider = controls_.inputLatencySlider;
        li.controlRateSlider = controls_.controlRateSlider;
        li.measuredLatencyMs = engine_.measuredLatency;
        const LabelUpdate lu = core_.Labels(li);
        if (lu.slidersPresent) {
            engine_.outputLatencyMs.store(lu.outputLatencyMs);
            engine_.inputLatencyMs.store(lu.inputLatencyMs);
            engine_.controlRate.store(lu.controlRate);
        }
        if (view_) {
            if (st.speedClass) view_->ShowSpeedClass(*st.speedClass);
            if (st.speed) view_->ShowSpeed(*st.speed);
            if (st.distance) view_->ShowDistance(*st.distance);
            if (lu.latencyCaption) view_->ShowLatencyCaption(*lu.latencyCaption);
            if (lu.controlRateCaption) view_->ShowControlRateCaption(*lu.controlRateCaption);
            if (lu.startCaptionRestoreTimer) view_->StartCaptionRestoreTimer();
            if (lu.currentLatency) view_->ShowCurrentLatency(*lu.currentLatency);
        }
        iterations_.fetch_add(1, std::memory_order_release);
    }
}

} // namespace mw
