#pragma once
// The mouse sampler: every 10 ms it reads the cursor and derives the nineteen mouse measures that the
// engine smooths and offers as control sources, wraps the cursor at the screen edges, and keeps the
// speed, distance, latency and control-rate texts of the main window up to date.
//
// The computation (`MouseSamplerCore`) is a deterministic function of what it is given per iteration:
// the cursor position, the screen rectangle, `WrapMouse`, the wheel position and the clock. The thread
// (`MouseSampler`) only reads those, sleeps, and hands the results to the engine and the status view.
// The offline renderer drives `MouseSamplerCore` directly with a scripted pointer.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "base/relaxed.hpp"
#include "base/text.hpp"
#include "engine/pointer.hpp"
#include "model/source_id.hpp"

namespace mw {

class Engine;

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

// ---- texts ----

// The sampler's TextLookup is called on the sampler thread, so it must be safe against a concurrent
// language change.

/// The lookup that always answers with the English text.
std::string EnglishText(int number, std::string_view english);

namespace mouse_text {
inline constexpr int kHalted = 18;
inline constexpr int kCrawling = 19;
inline constexpr int kWalking = 20;
inline constexpr int kJogging = 21;
inline constexpr int kRunning = 22;
inline constexpr int kBlazing = 23;
inline constexpr int kBurning = 24;
inline constexpr int kPixelsPerSecond = 25;
inline constexpr int kHertz = 37;
inline constexpr int kDistance = 53;
inline constexpr int kMilliseconds = 94;

inline constexpr std::string_view kPixelsPerSecondEnglish = "%u pixels per second.";
inline constexpr std::string_view kHertzEnglish = "%.05g hertz";
inline constexpr std::string_view kDistanceEnglish =
    "Your mouse has travelled a total of %.00f pixels since this program started.";
inline constexpr std::string_view kMillisecondsEnglish = "%ld milliseconds";
/// The current-latency value has no text of its own; it is always shown with this format.
inline constexpr std::string_view kCurrentLatencyFormat = "%lg";
} // namespace mouse_text

/// The speed-class string number (18..24) for a speed in pixels per second.
int SpeedClassString(uint32_t pixelsPerSecond);
/// The English text of a speed-class string number 18..24 (empty for other numbers).
std::string_view SpeedClassEnglish(int number);


// ---- control rates ----

/// The control rates the control-rate slider offers: entry 0 is 0, then every divisor of 48000 in
/// ascending order (65 entries, slider positions 0..64).
std::span<const int> ControlRateTable();
/// The rate at a slider position; positions outside the table are limited to it.
double ControlRateAt(int sliderPosition);
/// The slider position of a control rate: the index of 48000 / trunc(48000 / rate) in the table, or
/// 0 when the rate is 0, not a usable number, or not in the table.
int ControlRateSliderPosition(double controlRate);

// ---- the wheel ----

/// `WheelPosition` and `PreviousWheelPosition`, shared by the wheel handler (user-interface thread)
/// and the sampler. A tiny lock makes the handler's wrap and the sampler's read-and-take one step
/// each, so a wrap can never land between the sampler's read and its update of the previous value.
class WheelState {
public:
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

// ---- the computation ----

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

/// The status texts that changed (each only present when it is to be shown).
struct StatusTexts {
    std::optional<std::string> speedClass; ///< first label of the status line (strings 18..24)
    std::optional<std::string> speed;      ///< second label, string 25
    std::optional<std::string> distance;   ///< distance label, string 53
};

/// The main window's slider positions and the engine's measured latency, read after the sleep.
struct LabelInput {
    bool slidersPresent = false; ///< without sliders (no main window) only the current latency is looked at
    int32_t outputLatencySlider = 0;
    int32_t inputLatencySlider = 0;
    int32_t controlRateSlider = 0;
    double measuredLatencyMs = 0.0;
};

struct LabelUpdate {
    bool slidersPresent = false;
    int32_t outputLatencyMs = 0; ///< to store into the engine (when sliders are present)
    int32_t inputLatencyMs = 0;
    double controlRate = 0.0;
    std::optional<std::string> latencyCaption;     ///< string 94; the input latency wins when both changed
    std::optional<std::string> controlRateCaption; ///< string 37
    bool startCaptionRestoreTimer = false;         ///< timer 900, 1000 ms
    std::optional<std::string> currentLatency;     ///< "%lg" of trunc(measured latency)
};

/// The sampler's state and computation, independent of threads, clocks and widgets.
class MouseSamplerCore {
public:
    static constexpr int kStatusPeriodMs = 333;

    explicit MouseSamplerCore(TextLookup lookup = {});

    /// Start-up: the cursor read at thread start, the start-up screen rectangle (used for the
    /// position measures for the whole life of the sampler) and the clock in milliseconds.
    void Start(CursorPoint cursor, const ScreenRect& startupScreen, int64_t clockMs);

    /// Steps 1 to 7 of one iteration: positions, direction, turning, speed, velocities,
    /// accelerations, the wheel measures and the edge wrap.
    MotionResult Move(const MotionInput& in);
    /// After the sleep: the speed texts (at most every 333 ms, only when changed) and the distance text.
    StatusTexts Status(int64_t clockMs);
    /// After the status texts: the latency and control-rate label values.
    LabelUpdate Labels(const LabelInput& in);

    const std::array<double, kMeasureCount>& Measures() const { return measures_; }
    double Measure(MouseMeasure m) const { return measures_[static_cast<int>(m)]; }

    // Read-only views of the state, for the status display and tests.
    double Theta() const { return theta_; }
    const IndicatorPositions& Indicators() const { return indicators_; }
    double TotalDistance() const { return totalDistance_; }
    CursorPoint PreviousPosition() const { return prevPos_; }

private:
    void ComputeDirection(MotionResult& res);
    std::string Lookup(int number, std::string_view english) const;

    TextLookup lookup_;
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

    double statusDistance_ = 0.0;
    int64_t nextStatusTime_ = 0;
    double totalDistance_ = 0.0;
    double lastShownTotal_ = 1.0;
    uint32_t lastShownSpeed_ = 0;
    std::string lastClassText_;

    int32_t lastShownOutputLatency_ = 0;
    int32_t lastShownInputLatency_ = 0;
    double lastShownControlRate_ = 0.0;
    int64_t lastShownCurrentLatency_ = 0;
};

/// One iteration up to the sleep, as the thread and the offline renderer run it: reads the cursor, a
/// fresh screen rectangle and the wheel, computes, and moves the cursor when it wraps.
MotionResult SampleStep(MouseSamplerCore& core, IPointer& pointer, WheelState& wheel, bool wrapMouse);

// ---- the direction needle ----

struct NeedleLine {
    int x0, y0, x1, y1;
    bool meanColour; ///< drawn in the mean of foreground and background instead of the foreground
};

/// The four lines of the direction needle in a d x d picture (screen orientation, y downwards): the
/// shaft from the centre to the tip, the tail to the opposite point, and the two strokes of the head.
std::array<NeedleLine, 4> DirectionNeedleLines(int d, double theta);

/// Draws the needle into a d x d buffer of 0x00RRGGBB pixels, rows from the top, after filling it with
/// `background`. Lines are clipped to the picture.
void DrawDirectionNeedle(std::span<uint32_t> pixels, int d, double theta, uint32_t foreground,
                         uint32_t background);

// ---- the thread ----

/// The cursor as the sampler last saw it, for readers that must not wait for the windowing system
/// (the engine thread's sensor modules): reading is two relaxed loads; setting is not offered.
class SampledPointer : public IPointer {
public:
    /// False until the sampler has read the cursor once.
    bool ReadCursor(int& x, int& y) override;
    bool SetCursor(int /*x*/, int /*y*/) override { return false; }
    ScreenRect Screen() override;
    /// Called by the sampler after each iteration.
    void Publish(CursorPoint position, const ScreenRect& screen);

private:
    std::atomic<int64_t> position_{0};
    std::atomic<int64_t> topLeft_{0};
    std::atomic<int64_t> bottomRight_{0};
    std::atomic<bool> valid_{false};
};

/// Settings and controls the sampler reads every iteration; written by the user-interface thread.
struct MouseSamplerControls {
    Relaxed<bool> wrapMouse{true};
    Relaxed<bool> showStatusIndicators{true};
    /// The main window mirrors its three slider positions here and sets `slidersPresent`.
    Relaxed<bool> slidersPresent{false};
    Relaxed<int32_t> outputLatencySlider{50};
    Relaxed<int32_t> inputLatencySlider{20};
    Relaxed<int32_t> controlRateSlider{0};
    /// The wheel handler of the main window calls `wheel.OnWheel(delta)`.
    WheelState wheel;
};

/// Where the sampler shows what it found. Every call comes from the sampler thread; a widget-based
/// implementation forwards them to the user-interface thread. The default implementations do nothing.
class MouseStatusView {
public:
    virtual ~MouseStatusView() = default;
    /// At thread start: the position indicators take their ranges from the start-up rectangle; every
    /// other indicator starts at 0.
    virtual void Begin(const ScreenRect& /*startupScreen*/, const IndicatorPositions& /*positions*/) {}
    virtual void ShowSpeedClass(const std::string& /*text*/) {}
    virtual void ShowSpeed(const std::string& /*text*/) {}
    virtual void ShowDistance(const std::string& /*text*/) {}
    virtual void ShowLatencyCaption(const std::string& /*text*/) {}
    virtual void ShowControlRateCaption(const std::string& /*text*/) {}
    virtual void StartCaptionRestoreTimer() {}
    virtual void ShowCurrentLatency(const std::string& /*text*/) {}
    /// Only while `ShowStatusIndicators` is on.
    virtual void ShowIndicators(const IndicatorPositions& /*positions*/) {}
    /// Only while `ShowStatusIndicators` is on, and only when the direction changed.
    virtual void ShowDirection(double /*theta*/) {}
};

/// The sampler thread. Started once; it runs until the object is destroyed (the program never
/// stops it; tests destroy it, which ends and joins the thread). Independent of Start/Stop of the sound.
class MouseSampler {
public:
    static constexpr int kPeriodMs = 10;

    /// `view` may be null. `pointer`, `controls`, `view` and `engine` must outlive the sampler.
    MouseSampler(Engine& engine, IPointer& pointer, MouseSamplerControls& controls,
                 MouseStatusView* view = nullptr, TextLookup lookup = {});
    ~MouseSampler();
    MouseSampler(const MouseSampler&) = delete;
    MouseSampler& operator=(const MouseSampler&) = delete;

    /// Called on the sampler thread at the start of every iteration, before the cursor is read (a
    /// scripted pointer advances here). Set before `Start`.
    void SetIterationHook(std::function<void()> hook) { hook_ = std::move(hook); }

    /// Starts the thread; later calls do nothing.
    void Start();
    bool Started() const { return thread_.joinable(); }
    /// The cursor as this sampler last saw it; hand it to the engine (`Engine::SetPointer`) so that
    /// modules reading the cursor never wait for the windowing system.
    SampledPointer& Sampled() { return sampled_; }
    /// Iterations completed so far.
    uint64_t Iterations() const { return iterations_.load(std::memory_order_acquire); }

private:
    void ThreadMain();

    Engine& engine_;
    IPointer& pointer_;
    MouseSamplerControls& controls_;
    MouseStatusView* view_;
    MouseSamplerCore core_;
    std::function<void()> hook_;
    SampledPointer sampled_;
    std::atomic<bool> quit_{false};
    std::atomic<uint64_t> iterations_{0};
    std::thread thread_;
};

/// Milliseconds of the monotonic clock (the sampler's processor clock).
int64_t MonotonicMilliseconds();

/// Sleeps for `ms` milliseconds on the monotonic clock, resuming after interruptions.
void SleepMilliseconds(int ms);

} // namespace mw
