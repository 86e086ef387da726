#include "engine/analyzer_picture.hpp"

#include <algorithm>
#include <cmath>

#include "engine/wave_functions.hpp"
#include "model/module.hpp"

namespace mw {
namespace {

constexpr double kLowestBand = 50.0;     // Hz
constexpr double kHighestBand = 16000.0; // Hz
constexpr double kFloorDb = -60.0;       // level 0 at this amplitude, level 1 at full scale
constexpr double kFallWeight = 0.25;     // how fast a falling band follows

} // namespace

AnalyzerPicture::AnalyzerPicture() {
    for (auto& p : pictures_) p = std::make_unique<Picture>();
    for (int n = 0; n < kBufferSamples; ++n)
        window_[size_t(n)] = 0.5 - 0.5 * std::cos(kTwoPi * n / kBufferSamples);
    for (int k = 0; k < kBands; ++k)
        coefficients_[size_t(k)] = 2.0 * std::cos(kTwoPi * BandFrequency(k) / 48000.0);
}

double AnalyzerPicture::BandFrequency(int k) {
    return kLowestBand * std::pow(kHighestBand / kLowestBand, double(k) / (kBands - 1));
}

void AnalyzerPicture::SetSize(int width, int height) {
    width_ = std::clamp(width, 1, kMaxWidth);
    height_ = std::clamp(height, 1, kMaxHeight);
}

void AnalyzerPicture::SetColours(Pixel background, Pixel foreground) {
    background_ = background & 0xFFFFFFu;
    foreground_ = foreground & 0xFFFFFFu;
}

void AnalyzerPicture::Append(const double* samples, int count, Mode mode) {
    for (int i = 0; i < count; ++i) {
        buffer_[size_t(fill_)] = samples[i];
        if (++fill_ == kBufferSamples) {
            Draw(mode);
            fill_ = 0;
        }
    }
}

void AnalyzerPicture::Draw(Mode mode) {
    Picture& p = *pictures_[size_t(back_)];
    p.width = width_;
    p.height = height_;
    std::fill_n(p.pixels.begin(), size_t(p.width) * size_t(p.height), background_.load());
    if (mode == Mode::Analyzer)
        DrawBars(p, foreground_);
    else
        DrawOscilloscope(p, foreground_);
    p.number = ++drawn_;
    back_ = middle_.exchange(back_ | kNewBit, std::memory_order_acq_rel) & 3;
}

void AnalyzerPicture::DrawOscilloscope(Picture& p, Pixel fg) const {
    const int w = p.width, h = p.height;
    // Two points per pixel column; y counts upwards from the bottom row.
    for (int twiceX = 0; twiceX < 2 * w; ++twiceX) {
        const double x = twiceX * 0.5;
        const int index = std::min(int(x * kBufferSamples / w), kBufferSamples - 1);
        double s = buffer_[size_t(index)];
        if (s != s) s = 0.0;
        double y = (s + 1.0) * h * 0.5;
        y = std::clamp(y, 0.0, double(h - 1));
        const int row = h - 1 - int(y);
        p.pixels[size_t(row) * size_t(w) + size_t(int(x))] = fg;
    }
}

void AnalyzerPicture::DrawBars(Picture& p, Pixel fg) {
    // Band levels: the windowed buffer's amplitude at each band's centre frequency (Goertzel), in decibels
    // from -60 (level 0) to full scale (level 1). Rising levels jump, falling ones glide.
    for (int k = 0; k < kBands; ++k) {
        const double c = coefficients_[size_t(k)];
        double s1 = 0.0, s2 = 0.0;
        for (int n = 0; n < kBufferSamples; ++n) {
            const double s0 = buffer_[size_t(n)] * window_[size_t(n)] + c * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double power = std::max(0.0, s1 * s1 + s2 * s2 - c * s1 * s2);
        const double amplitude = 4.0 * std::sqrt(power) / kBufferSamples;
        double level = amplitude > 0.0 ? (20.0 * std::log10(amplitude) - kFloorDb) / -kFloorDb : 0.0;
        if (!(level >= 0.0)) level = 0.0;
        if (level > 1.0) level = 1.0;
        double& held = levels_[size_t(k)];
        held = level >= held ? level : held + (level - held) * kFallWeight;
    }

    const int w = p.width, h = p.height;
    for (int k = 0; k < kBands; ++k) {
        const int x0 = k * w / kBands;
        int x1 = (k + 1) * w / kBands; // exclusive
        if (x1 - x0 >= 3) --x1;        // a one-pixel gap between bars
        const int barHeight = int(std::lround(levels_[size_t(k)] * h));
        for (int row = h - barHeight; row < h; ++row)
            for (int x = x0; x < x1; ++x) p.pixels[size_t(row) * size_t(w) + size_t(x)] = fg;
    }
}

const AnalyzerPicture::Picture* AnalyzerPicture::TakePicture() {
    if (middle_.load(std::memory_order_acquire) & kNewBit) {
        front_ = middle_.exchange(front_, std::memory_order_acq_rel) & 3;
        anyTaken_ = true;
    }
    return anyTaken_ ? pictures_[size_t(front_)].get() : nullptr;
}

} // namespace mw
