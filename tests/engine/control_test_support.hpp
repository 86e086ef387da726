#pragma once
// The control modules driven offline at a control rate of 500 Hz: every block holds exactly one control
// tick (at its first sample), 2 ms apart. The cursor and the MIDI devices are stand-ins.

#include <cmath>
#include <initializer_list>

#include "engine/engine.hpp"
#include "engine/kinds/kind_ops.hpp"
#include "fake_midi.hpp"
#include "patch/patch.hpp"
#include "test_pointer.hpp"

namespace mw::test {

/// The frequency of a note number, C0 = 16.35 Hz.
inline double Pitch(double semitones) {
    return 16.35 * std::pow(2.0, semitones / 12.0);
}

class ControlFixture {
protected:
    ControlFixture() {
        engine.SetDevices(nullptr, &midi, nullptr);
        engine.SetPointer(&pointer);
        engine.steerLatency = false;
        engine.controlRate = 500.0;
        engine.BeginOffline();
    }
    ~ControlFixture() { engine.EndOffline(); }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) engine.RenderBlock();
    }
    ModuleSlot& Out(const Module* m, int k = 0) { return engine.slots[size_t(m->slot[size_t(k)].load())]; }
    Module* Create(ModuleKind kind) { return patch.CreateModule(kind, {}); }
    static void Manual(Module* m, int link, double value) {
        m->Link(link).source = kManualSource;
        m->Link(link).value = value;
    }
    // A mouse measure that stays where it is put (raw and smoothed alike).
    SourceId Measure(MouseMeasure which, double value) {
        engine.rawMeasures[size_t(which)] = value;
        engine.smoothedMeasures[size_t(which)] = value;
        return MeasureSource(which);
    }
    // A polyphonicator with manual inputs 1..values.size() (notes 1, 2, ...), of value 10 x its value.
    Module* Poly(std::initializer_list<double> values) {
        Module* m = Create(ModuleKind::ControlPolyphonicator);
        int k = 0;
        for (double v : values) Manual(m, polyphonicator::Input1 + k++, v);
        return m;
    }
    FakeMidiInput midi;
    TestPointer pointer;
    Engine engine;
    Patch patch{engine};
};

} // namespace mw::test
