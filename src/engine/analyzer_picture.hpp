#pragma once
// The output analyzer's picture: a buffer of 1600 played samples and the pixel picture drawn from it
// whenever the buffer is full, either as an oscilloscope trace or as 16 band-level bars.
//
// Threads: the engine thread appends samples and draws (no allocation, no lock); the user-interface
// thread takes the newest finished picture with TakePicture. The two meet in a lock-free triple buffer:
// the engine draws into its own picture and swaps it with the middle one; the reader swaps the middle one
// with its own when a new one is there. Size and colours are set from any thread and apply from the next
// drawing on.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "base/relaxed.hpp"

namespace mw {

class Module;

/// A pixel is 0x00RRGGBB.
using Pixel = uint32_t;

class AnalyzerPicture {
public:
    static constexpr int kBufferSamples = 1600;
    static constexpr int kBands = 16;
    static constexpr int kDefaultWidth = 150;
    static constexpr int kDefaultHeight = 80;
    static constexpr int kMaxWidth = 400;
    static constexpr int kMaxHeight = 200;
    static constexpr Pixel kDefaultBackground = 0x000000;
    static constexpr Pixel kDefaultForeground = 0x00FF00;

    enum class Mode : uint8_t { Analyzer = 0, Oscilloscope = 1 };

    /// A finished picture: rows top to bottom, `width` pixels each (row stride `width`).
    struct Picture {
        int width = 0;
        int height = 0;
        uint64_t number = 0; // 1 for the first picture drawn, counting up
        std::array<Pixel, size_t(kMaxWidth) * kMaxHeight> pixels{};
        Pixel At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    };

    AnalyzerPicture(); // allocates (model thread)
    AnalyzerPicture(const AnalyzerPicture&) = delete;
    AnalyzerPicture& operator=(const AnalyzerPicture&) = delete;

    // ---- settings (any thread) ----
    /// Picture size in pixels, limited to 1..kMaxWidth and 1..kMaxHeight.
    void SetSize(int width, int height);
    void SetColours(Pixel background, Pixel foreground);
    int Width() const { return width_; }
    int Height() const { return height_; }

    // ---- engine thread ----
    /// Appends samples (-1..1 scale); each time the buffer fills, draws it and starts it again with the
    /// samples not yet used.
    void Append(const double* samples, int count, Mode mode);
    /// Samples in the buffer now.
    int Fill() const { return fill_; }
    /// Band levels (0..1) as last estimated in Analyzer mode.
    const std::array<double, kBands>& BandLevels() const { return levels_; }
    /// Centre frequency (Hz) of band k.
    static double BandFrequency(int k);

    // ---- reader (one thread, e.g. the user interface) ----
    /// The newest finished picture, or null before the first. The pointer stays valid (and unchanged)
    /// until the next call.
    const Picture* TakePicture();

private:
    void Draw(Mode mode);
    void DrawOscilloscope(Picture& p, Pixel fg) const;
    void DrawBars(Picture& p, Pixel fg);

    std::array<double, kBufferSamples> buffer_{};
    int fill_ = 0;
    std::array<double, kBands> levels_{};
    std::array<double, kBands> coefficients_{};   // Goertzel 2cos(w) per band
    std::array<double, kBufferSamples> window_{}; // Hann window

    Relaxed<int> width_{kDefaultWidth};
    Relaxed<int> height_{kDefaultHeight};
    Relaxed<Pixel> background_{kDefaultBackground};
    Relaxed<Pixel> foreground_{kDefaultForeground};

    // Triple buffer: the engine owns pictures_[back_], the reader pictures_[front_]; middle_ holds the
    // index of the third with a "new" bit.
    static constexpr int kNewBit = 4;
    std::array<std::unique_ptr<Picture>, 3> pictures_;
    int back_ = 0;
    int front_ = 1;
    std::atomic<int> middle_{2};
    uint64_t drawn_ = 0;
    bool anyTaken_ = false;
};

/// The picture of an output-analyzer module (null for other kinds or before its state exists).
AnalyzerPicture* AnalyzerPictureOf(Module& module);

} // namespace mw
