#pragma once
// Edits of a patch as the module windows make them, each with what it entails: a changed device
// republishes the patch for the engine, a changed text is handed to the kind (a note sequence is
// parsed again), a moved module moves the reference point the sensor reads, removal is queued as a
// window's close button does it. Modules are addressed by their ModuleId, parameters by the role and
// index the kind's schema gives them, so one pair of Get and Set serves every kind and an undo step is
// a field reference with its old and new value. User-interface thread only.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "model/module.hpp"
#include "model/params.hpp"

namespace mw {

class Patch;

/// Which array of a module's parameter fields a field lives in (see Schema).
enum class FieldRole : uint8_t {
    LinkSource,      // links[index].source (a SourceId)
    LinkSensitivity, // links[index].sensitivity
    LinkValue,       // links[index].value
    Input,           // inputs[index] (a SourceId)
    Real,            // reals[index]
    Integer,         // ints[index] (device numbers: republishes)
    Bool,            // bools[index]
    Text,            // texts[index] (the kind is told: a sequence is parsed again)
    Enum,            // enums[index], -1 or an index into the schema's table
    Device,          // devices[index], an OutputDeviceId (republishes)
};

/// The field a file key edits; nullopt for SubTypes and the slider table, which are not fields.
std::optional<FieldRole> FieldRoleOf(KeyRole role);
/// Number of fields of a role a kind has.
int FieldCount(ModuleKind kind, FieldRole role);

struct FieldRef {
    ModuleId module = kNoModuleId;
    FieldRole role = FieldRole::Real;
    int index = 0;
    bool operator==(const FieldRef&) const = default;
};

/// A field's value: whole numbers (sources, integers, enumeration indices, device ids), reals, truth
/// values and texts. A real field also takes a whole number.
using FieldValue = std::variant<int64_t, double, bool, std::string>;

class PatchEditor {
public:
    explicit PatchEditor(Patch& patch) : patch_(patch) {}

    Patch& GetPatch() { return patch_; }
    Module* Find(ModuleId id) const;

    /// The current value of a field; nullopt when the module or the field does not exist.
    std::optional<FieldValue> Get(const FieldRef& ref) const;
    /// Sets a field and carries out what the change entails. False (nothing changed) when the module
    /// or field does not exist or the value does not fit the field: a source that is not manual,
    /// nothing, a slot or a measure; an integer outside 32 bits; an enumeration index outside -1 and
    /// the table; a value of another type.
    bool Set(const FieldRef& ref, const FieldValue& value);

    /// Adds a module of a kind centred on a screen point; an empty name takes the kind's default name.
    /// kNoModuleId when no slot is free.
    ModuleId Add(ModuleKind kind, Point position, std::string name = {});
    bool Rename(ModuleId id, std::string name);
    /// Moves a module's window centre (screen coordinates), and the reference point the engine reads.
    bool Move(ModuleId id, Point position);
    /// Asks for a module's removal, as its close button does; it keeps its slots until ProcessRemovals.
    bool Remove(ModuleId id);
    void ProcessRemovals();

    // MIDI sliders (slider k is entry k of the module's table and its output k).
    /// The first free slider takes the controller, or a new one after the last.
    bool AddSlider(ModuleId id, int32_t controller, bool negative);
    /// Frees slider k: its controller number becomes -1; its place and output stay.
    bool RemoveSlider(ModuleId id, int k);
    /// Puts a controller (0..65535) on slider k, giving a free place an output if it has none.
    bool SetSliderController(ModuleId id, int k, int32_t controller);
    bool SetSliderSign(ModuleId id, int k, bool negative);

private:
    Module* Slider(ModuleId id) const;
    void Follow(Module& m, ChangeNeeds needs);

    Patch& patch_;
};

} // namespace mw
