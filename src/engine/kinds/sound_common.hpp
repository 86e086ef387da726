#pragma once
// Small helpers shared by the oscillator, the modulator and the audio effects: reading a link at
// voice 0 and writing a module's one output voice.

#include <cmath>

#include "engine/control_eval.hpp"
#include "engine/engine.hpp"
#include "model/module.hpp"

namespace mw::sound {

inline bool IsManual(const ControlLink& link) {
    return link.source.load() == kManualSource;
}

/// An audio-rate parameter at voice 0: manual Value x manualScale, or smoothed source x sens% x sourceScale.
inline double AudioParam(const Engine& e, const ControlLink& link, double manualScale, double sourceScale,
                         bool absOnSource = false) {
    return EvaluateLink(e, link, 0, Reader::Smoothed, manualScale, sourceScale, absOnSource);
}

/// A parameter clamped on the source branch only; absFirst takes the absolute value before the clamp.
inline double AudioParamClampedOnSource(const Engine& e, const ControlLink& link, double manualScale,
                                        double sourceScale, double lower, double upper,
                                        bool absFirst = true) {
    if (IsManual(link)) return link.value.load() * manualScale;
    return Clamp(EvaluateLink(e, link, 0, Reader::Smoothed, manualScale, sourceScale), lower, upper,
                 absFirst);
}

/// NaN becomes `fallback`; everything else passes.
inline double NotNaN(double x, double fallback = 0.0) {
    return x == x ? x : fallback;
}

/// A finite output: NaN becomes 0, infinities become the largest finite values.
inline double FiniteOutput(double x) {
    if (x != x) return 0.0;
    constexpr double kBig = 1e300;
    if (x > kBig) return kBig;
    if (x < -kBig) return -kBig;
    return x;
}

inline bool ValidSlot(int s) {
    return s >= 0 && s < kSlotCount;
}

/// Writes voice 0 of a module slot: Value and its copy SmoothedValue.
inline void WriteVoice0(Engine& e, int slot, double v) {
    if (!ValidSlot(slot)) return;
    ModuleSlot& s = e.slots[size_t(slot)];
    s.value[0] = v;
    s.smoothedValue[0] = v;
}

template <class State> State* StateOf(Module& m) {
    return static_cast<State*>(m.state.get());
}

} // namespace mw::sound
