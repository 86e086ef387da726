#include "sources/mouse_status.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "base/text.hpp"
#include "engine/engine.hpp"

namespace mw {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfPi = kPi / 2.0;
/// Pixels travelled in one refresh period of 333 ms, times this, are pixels per second.
constexpr double kRefreshesPerSecond = 3.0;

uint32_t TruncUnsigned(double v) {
    if (!(v > 0.0)) return 0;
    if (v >= 4294967295.0) return std::numeric_limits<uint32_t>::max();
    return static_cast<uint32_t>(v);
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

// ---- the status texts and labels ----

MouseStatusTexts::MouseStatusTexts(TextLookup lookup) : lookup_(std::move(lookup)) {}

std::string MouseStatusTexts::Lookup(int number, std::string_view english) const {
    if (lookup_) return lookup_(number, english);
    return std::string(english);
}

void MouseStatusTexts::Start(int64_t clockMs) {
    *this = MouseStatusTexts(std::move(lookup_));
    nextStatusTime_ = clockMs + kStatusPeriodMs;
}

void MouseStatusTexts::Travelled(double step) {
    statusDistance_ += step;
    totalDistance_ += step;
}

StatusTexts MouseStatusTexts::Status(int64_t clockMs) {
    StatusTexts st;
    if (clockMs > nextStatusTime_) {
        nextStatusTime_ = clockMs + kStatusPeriodMs;
        const uint32_t pps = TruncUnsigned(statusDistance_ * kRefreshesPerSecond);
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

LabelUpdate MouseStatusTexts::Labels(const LabelInput& in) {
    LabelUpdate u;
    u.slidersPresent = in.slidersPresent;
    if (in.slidersPresent) {
        // Both latency sliders write into the same caption; the later one wins.
        auto latency = [&](int32_t slider, int32_t& lastShown) {
            if (slider == lastShown) return;
            lastShown = slider;
            u.latencyCaption =
                FormatNumberText(Lookup(mouse_text::kMilliseconds, mouse_text::kMillisecondsEnglish), slider);
            u.startCaptionRestoreTimer = true;
        };
        u.outputLatencyMs = in.outputLatencySlider;
        latency(in.outputLatencySlider, lastShownOutputLatency_);
        u.inputLatencyMs = in.inputLatencySlider;
        latency(in.inputLatencySlider, lastShownInputLatency_);
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

// ---- the view ----

void MouseStatusView::Show(const StatusTexts& st, const LabelUpdate& lu) {
    if (st.speedClass) ShowSpeedClass(*st.speedClass);
    if (st.speed) ShowSpeed(*st.speed);
    if (st.distance) ShowDistance(*st.distance);
    if (lu.latencyCaption) ShowLatencyCaption(*lu.latencyCaption);
    if (lu.controlRateCaption) ShowControlRateCaption(*lu.controlRateCaption);
    if (lu.startCaptionRestoreTimer) StartCaptionRestoreTimer();
    if (lu.currentLatency) ShowCurrentLatency(*lu.currentLatency);
}

} // namespace mw
