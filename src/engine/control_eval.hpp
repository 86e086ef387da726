#pragma once
// The shared rule that turns a ControlLink into a number, and the note-keyed voice table that
// polyphonic modules keep.

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/engine.hpp"
#include "model/module.hpp"

namespace mw {

enum class Reader : uint8_t {
    Plain,    // GetSourceValue: control-rate modules
    Smoothed, // GetSmoothedSourceValue: audio-rate modules
};

inline double ReadSource(const Engine& e, Reader r, SourceId id, int voice) {
    return r == Reader::Smoothed ? e.GetSmoothedSourceValue(id, voice) : e.GetSourceValue(id, voice);
}

/// std::pow of the last arguments again, without working it out again: the settings a control module
/// raises to a power change far less often than its ticks come.
struct PowMemo {
    double base = std::numeric_limits<double>::quiet_NaN(); // (NaN: never equal, so worked out first)
    double exponent = 0.0;
    double result = 0.0;

    double operator()(double b, double x) {
        if (!(b == base && x == exponent)) {
            base = b;
            exponent = x;
            result = std::pow(b, x);
        }
        return result;
    }
};

/// Limits x to [lower, upper]; with absFirst a negative x is negated first.
inline double Clamp(double x, double lower, double upper, bool absFirst = false) {
    if (absFirst && x < 0) x = -x;
    if (x < lower) x = lower;
    if (x > upper) x = upper;
    return x;
}

/// Manual: Value x manualScale. Source: reader(source, voice) x Sensitivity x 0.01 x sourceScale,
/// made absolute when takeAbs.
inline double EvaluateLink(const Engine& e, const ControlLink& link, int voice, Reader reader,
                           double manualScale, double sourceScale, bool takeAbs = false) {
    const SourceId src = link.source;
    if (src == kManualSource) return link.value.load() * manualScale;
    double r = ReadSource(e, reader, src, voice) * link.sensitivity.load() * 0.01 * sourceScale;
    if (takeAbs && r < 0) r = -r;
    return r;
}

} // namespace mw
