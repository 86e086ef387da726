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

/// A parameter by the scales of its catalogue row (LinkScale): EvaluateLink with its manual and source
/// scales and its magnitude on the source branch, then its clamp on the branches the row names. A mouse
/// measure's further factor (LinkScale::measure) is the caller's.
inline double ScaledLink(const Engine& e, const ControlLink& link, int voice, Reader reader,
                         const LinkScale& s) {
    const SourceId src = link.source;
    if (src == kManualSource) {
        const double x = link.value.load() * s.manual;
        return s.clampOn == ClampOn::Both ? Clamp(x, s.lower, s.upper, s.absFirst) : x;
    }
    double r = ReadSource(e, reader, src, voice) * link.sensitivity.load() * 0.01 * s.source;
    if (s.absOnSource && r < 0) r = -r;
    return s.clampOn == ClampOn::None ? r : Clamp(r, s.lower, s.upper, s.absFirst);
}

} // namespace mw
