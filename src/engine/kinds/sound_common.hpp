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

/// An audio-rate parameter at voice 0, by the scales of its catalogue row (ScaledLink).
inline double AudioParam(const Engine& e, const ControlLink& link, const LinkScale& scale) {
    return ScaledLink(e, link, 0, Reader::Smoothed, scale);
}

/// A link resolved at a block start for voice 0: a fixed value (a manual link, or one without a
/// readable source), or the slot or measure it reads at every sample. A link changed during a block
/// takes effect at the next one. Value() gives what EvaluateLink gives at the current sample.
struct BlockLink {
    const Relaxed<double>* source = nullptr; // read at every sample; null: the value is `fixed`
    const double* measureSeries = nullptr;   // a mouse measure's values over the whole block (ReadAhead)
    int measure = -1;                        // the mouse measure read, if any
    double sensitivity = 0.0;
    double sourceScale = 1.0;
    double fixed = 0.0;
    bool manual = true;
    bool readsSlot = false; // the value depends on modules evaluated during the block

    bool Fixed() const { return source == nullptr; }
    double Value() const { return source ? FromSource() : fixed; }
    /// As Value, but a source's value is taken without its sign (a manual value keeps it).
    double ValueUnsignedOnSource() const {
        if (!source) return fixed;
        const double r = FromSource();
        return r < 0 ? -r : r;
    }
    double FromSource() const { return source->load() * sensitivity * 0.01 * sourceScale; }
    /// Makes the values of the whole block known at its start (ValueAt); only for links that read no slot.
    void ReadAhead(const Engine& e) {
        if (measure >= 0) measureSeries = e.MeasureSeries(measure);
    }
    /// The value at sample i of the block, after ReadAhead.
    double ValueAt(int i) const {
        return measureSeries ? measureSeries[i] * sensitivity * 0.01 * sourceScale : fixed;
    }
};

/// Resolves a link with a manual and a source scale; the magnitude and the clamp are the caller's.
inline BlockLink ResolveLink(const Engine& e, const ControlLink& link, Reader reader, double manualScale,
                             double sourceScale) {
    BlockLink b;
    const SourceId src = link.source;
    if (src == kManualSource) {
        b.fixed = link.value.load() * manualScale;
        return b;
    }
    b.manual = false;
    b.sensitivity = link.sensitivity.load();
    b.sourceScale = sourceScale;
    if (IsSlot(src)) {
        b.source = reader == Reader::Smoothed ? &e.slots[size_t(src)].smoothedValue[0]
                                              : &e.slots[size_t(src)].value[0];
        b.readsSlot = true;
    } else if (IsMeasure(src)) {
        b.source = &e.smoothedMeasures[size_t(src - kFirstMeasure)];
        b.measure = src - kFirstMeasure;
    } else {
        b.fixed = 0.0 * b.sensitivity * 0.01 * sourceScale; // nothing to read: 0 (NaN for a NaN sensitivity)
    }
    return b;
}

/// Resolves a link with the manual and source scales of its catalogue row (see above).
inline BlockLink ResolveLink(const Engine& e, const ControlLink& link, Reader reader,
                             const LinkScale& scale) {
    return ResolveLink(e, link, reader, scale.manual, scale.source);
}

/// What a module input reads at voice 0 (GetSmoothedSourceValue): a slot's followed value or a mouse
/// measure; null when it reads nothing (0).
inline const Relaxed<double>* ResolveInput(const Engine& e, SourceId src) {
    if (IsSlot(src)) return &e.slots[size_t(src)].smoothedValue[0];
    if (IsMeasure(src)) return &e.smoothedMeasures[size_t(src - kFirstMeasure)];
    return nullptr;
}
inline double ReadInput(const Relaxed<double>* input) {
    return input ? input->load() : 0.0;
}

/// A resolved link's value with the clamp of its catalogue row on the branches the row names.
inline double ClampedLink(const BlockLink& b, double value, const LinkScale& scale) {
    if (scale.clampOn == ClampOn::None || (scale.clampOn == ClampOn::Source && b.manual)) return value;
    return Clamp(value, scale.lower, scale.upper, scale.absFirst);
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
