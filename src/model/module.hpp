#pragma once
// The module record: one node of a patch. Its parameter fields are laid out by the kind's schema;
// values the engine reads while the user interface edits them are relaxed atomics.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/relaxed.hpp"
#include "model/module_kind.hpp"
#include "model/params.hpp"
#include "model/source_id.hpp"

namespace mw {

/// One controllable parameter.
struct ControlLink {
    Relaxed<SourceId> source{kManualSource};
    Relaxed<double> sensitivity{100.0};
    Relaxed<double> value{0.0};
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

/// One slider of a MIDI slider module: a controller number, the sign flag and the slot it feeds.
struct SliderEntry {
    Relaxed<int32_t> controller{0};
    Relaxed<bool> negative{false};
    Relaxed<int32_t> slot{-1};
};

/// A module's identity for the lifetime of its patch: given at creation, kept through renames and
/// parameter changes, never given to another module of the same patch (names need not be unique).
using ModuleId = uint64_t;
inline constexpr ModuleId kNoModuleId = 0;

/// The window that shows a module. Only the editor layer defines it; the model holds a handle.
struct ModuleView;

/// Signal-processing state of a module; each kind derives its own.
struct KindState {
    virtual ~KindState() = default;
};

class Module {
public:
    explicit Module(ModuleKind kind);
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const ModuleKind kind;

    // Owned by the user-interface thread.
    ModuleId id = kNoModuleId; // set by the patch that creates the module
    std::string name;
    Point position;
    std::u16string sectionText; // kept from the first to the second pass of a load
    ModuleView* view = nullptr; // the module window attached by the editor, if any
    /// Screen point of the module's window centre, as the engine may read it (the sensor's reference).
    Relaxed<int32_t> refX{0};
    Relaxed<int32_t> refY{0};

    // Parameters, laid out by Schema(kind).
    std::unique_ptr<ControlLink[]> links;
    std::unique_ptr<Relaxed<SourceId>[]> inputs;
    std::unique_ptr<Relaxed<double>[]> reals;
    std::unique_ptr<Relaxed<int32_t>[]> ints;
    std::unique_ptr<Relaxed<bool>[]> bools;
    std::vector<std::string> texts;
    std::unique_ptr<Relaxed<int32_t>[]> enums;
    std::unique_ptr<Relaxed<int32_t>[]> devices;

    /// Slider table of the MIDI slider module (null for other kinds). Entry k is slider k + 1 of the
    /// file and output k of the module; an entry whose controller is below 0 is free (a slider removed,
    /// or one the file skipped), and keeps its output slot if it had one. Entries from sliderCount on
    /// are unused.
    std::unique_ptr<std::array<SliderEntry, kMaxSliders>> sliders;
    Relaxed<int32_t> sliderCount{0};

    /// ModuleSlot numbers of the fixed outputs (-1 when not registered), and the SinkSlot of sink kinds.
    std::array<Relaxed<int32_t>, 2> slot{-1, -1};
    Relaxed<int32_t> sinkSlot{-1};

    /// Engine-side state; created with the module, touched only by the engine while the module is live.
    std::unique_ptr<KindState> state;

    ControlLink& Link(int i) { return links[i]; }
    const ControlLink& Link(int i) const { return links[i]; }
    SourceId Input(int i) const { return inputs[i]; }
    double Real(int i) const { return reals[i]; }
    int32_t Int(int i) const { return ints[i]; }
    bool Bool(int i) const { return bools[i]; }
    int32_t Enum(int i) const { return enums[i]; }
    int32_t Device(int i) const { return devices[i]; }

    /// Number of outputs (ModuleSlots) the module has now.
    int OutputCount() const;
    /// ModuleSlot of output k (-1 when none).
    int32_t OutputSlot(int k) const;
};

} // namespace mw
