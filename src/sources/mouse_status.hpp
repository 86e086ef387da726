#pragma once
// How the mouse sampler shows what it finds: the speed and distance texts of the main window's status
// display, the latency and control-rate labels (with the control-rate slider's table), the direction
// needle, and the view that receives them.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/text.hpp"
#include "sources/mouse_measures.hpp"

namespace mw {

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

// ---- the status texts and labels ----

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

/// What the status display and the labels last showed, and the texts that are due, independent of
/// threads and widgets.
class MouseStatusTexts {
public:
    static constexpr int kStatusPeriodMs = 333;

    explicit MouseStatusTexts(TextLookup lookup = {});

    /// Start-up: the clock in milliseconds; the first speed texts are due 333 ms later.
    void Start(int64_t clockMs);
    /// Counts the pixels of one iteration's move (`MotionResult::step`).
    void Travelled(double step);
    /// After the sleep: the speed texts (at most every 333 ms, only when changed) and the distance text.
    StatusTexts Status(int64_t clockMs);
    /// After the status texts: the latency and control-rate label values.
    LabelUpdate Labels(const LabelInput& in);

    /// Pixels travelled since the start.
    double TotalDistance() const { return totalDistance_; }

private:
    std::string Lookup(int number, std::string_view english) const;

    TextLookup lookup_;
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

// ---- the view ----

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

    /// Shows the texts and labels that changed.
    void Show(const StatusTexts& status, const LabelUpdate& labels);
};

} // namespace mw
