#include "patch/patch_editor.hpp"

#include <algorithm>
#include <limits>

#include "engine/kinds/kind_ops.hpp"
#include "patch/patch.hpp"

namespace mw {
namespace {

bool IsValidSource(int64_t id) {
    return id == kManualSource || id == kNoSource || IsSlot(SourceId(id)) || IsMeasure(SourceId(id));
}

std::optional<int64_t> WholeOf(const FieldValue& v) {
    if (const auto* n = std::get_if<int64_t>(&v)) return *n;
    return std::nullopt;
}

std::optional<int32_t> Int32Of(const FieldValue& v) {
    const auto n = WholeOf(v);
    if (!n || *n < std::numeric_limits<int32_t>::min() || *n > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return int32_t(*n);
}

std::optional<double> RealOf(const FieldValue& v) {
    if (const auto* r = std::get_if<double>(&v)) return *r;
    if (const auto* n = std::get_if<int64_t>(&v)) return double(*n);
    return std::nullopt;
}

} // namespace

std::optional<FieldRole> FieldRoleOf(KeyRole role) {
    switch (role) {
    case KeyRole::LinkSource:
        return FieldRole::LinkSource;
    case KeyRole::LinkSensitivity:
        return FieldRole::LinkSensitivity;
    case KeyRole::LinkValue:
        return FieldRole::LinkValue;
    case KeyRole::InputSource:
        return FieldRole::Input;
    case KeyRole::Real:
        return FieldRole::Real;
    case KeyRole::Integer:
        return FieldRole::Integer;
    case KeyRole::Bool:
        return FieldRole::Bool;
    case KeyRole::Text:
    case KeyRole::Sequence:
        return FieldRole::Text;
    case KeyRole::Enum:
        return FieldRole::Enum;
    case KeyRole::Device:
        return FieldRole::Device;
    case KeyRole::LinkSubType:
    case KeyRole::InputSubType:
    case KeyRole::Controllers:
        return std::nullopt;
    }
    return std::nullopt;
}

int FieldCount(ModuleKind kind, FieldRole role) {
    const KindSchema& s = Schema(kind);
    switch (role) {
    case FieldRole::LinkSource:
    case FieldRole::LinkSensitivity:
    case FieldRole::LinkValue:
        return int(s.links.size());
    case FieldRole::Input:
        return int(s.inputs.size());
    case FieldRole::Real:
        return int(s.reals.size());
    case FieldRole::Integer:
        return int(s.ints.size());
    case FieldRole::Bool:
        return int(s.bools.size());
    case FieldRole::Text:
        return int(s.texts.size());
    case FieldRole::Enum:
        return int(s.enums.size());
    case FieldRole::Device:
        return int(s.devices.size());
    }
    return 0;
}

Module* PatchEditor::Find(ModuleId id) const {
    return patch_.Find(id);
}

std::optional<FieldValue> PatchEditor::Get(const FieldRef& ref) const {
    const Module* m = Find(ref.module);
    if (!m || ref.index < 0 || ref.index >= FieldCount(m->kind, ref.role)) return std::nullopt;
    const int i = ref.index;
    switch (ref.role) {
    case FieldRole::LinkSource:
        return int64_t(m->Link(i).source);
    case FieldRole::LinkSensitivity:
        return double(m->Link(i).sensitivity);
    case FieldRole::LinkValue:
        return double(m->Link(i).value);
    case FieldRole::Input:
        return int64_t(m->Input(i));
    case FieldRole::Real:
        return m->Real(i);
    case FieldRole::Integer:
        return int64_t(m->Int(i));
    case FieldRole::Bool:
        return m->Bool(i);
    case FieldRole::Text:
        return m->texts[size_t(i)];
    case FieldRole::Enum:
        return int64_t(m->Enum(i));
    case FieldRole::Device:
        return int64_t(m->Device(i));
    }
    return std::nullopt;
}

bool PatchEditor::Set(const FieldRef& ref, const FieldValue& value) {
    Module* m = Find(ref.module);
    if (!m || ref.index < 0 || ref.index >= FieldCount(m->kind, ref.role)) return false;
    const int i = ref.index;
    switch (ref.role) {
    case FieldRole::LinkSource:
    case FieldRole::Input: {
        const auto id = WholeOf(value);
        if (!id || !IsValidSource(*id)) return false;
        if (ref.role == FieldRole::LinkSource)
            m->Link(i).source = SourceId(*id);
        else
            m->inputs[i] = SourceId(*id);
        return true;
    }
    case FieldRole::LinkSensitivity:
    case FieldRole::LinkValue:
    case FieldRole::Real: {
        const auto r = RealOf(value);
        if (!r) return false;
        if (ref.role == FieldRole::LinkSensitivity)
            m->Link(i).sensitivity = *r;
        else if (ref.role == FieldRole::LinkValue)
            m->Link(i).value = *r;
        else
            m->reals[i] = *r;
        return true;
    }
    case FieldRole::Integer:
    case FieldRole::Device: {
        const auto n = Int32Of(value);
        if (!n) return false;
        const KindSchema& schema = Schema(m->kind);
        if (ref.role == FieldRole::Integer) {
            m->ints[i] = *n;
            Follow(*m, schema.ints[size_t(i)].onChange);
        } else {
            m->devices[i] = *n;
            Follow(*m, schema.devices[size_t(i)].onChange);
        }
        return true;
    }
    case FieldRole::Enum: {
        const auto n = Int32Of(value);
        if (!n || *n < -1 || *n >= int32_t(Schema(m->kind).enums[size_t(i)].table.size())) return false;
        m->enums[i] = *n;
        return true;
    }
    case FieldRole::Bool: {
        const auto* b = std::get_if<bool>(&value);
        if (!b) return false;
        m->bools[i] = *b;
        return true;
    }
    case FieldRole::Text: {
        const auto* t = std::get_if<std::string>(&value);
        if (!t) return false;
        m->texts[size_t(i)] = *t;
        Follow(*m, Schema(m->kind).texts[size_t(i)].onChange);
        return true;
    }
    }
    return false;
}

// What a change of a field needs, as the kind's parameter table says.
void PatchEditor::Follow(Module& m, ChangeNeeds needs) {
    switch (needs) {
    case ChangeNeeds::Nothing:
        break;
    case ChangeNeeds::Republish:
        patch_.Republish();
        break;
    case ChangeNeeds::Reparse:
        if (const auto changed = patch_.GetEngine().Ops(m.kind).textChanged) changed(m);
        break;
    }
}

ModuleId PatchEditor::Add(ModuleKind kind, Point position, std::string name) {
    const Module* m = patch_.CreateModule(kind, position, std::move(name));
    return m ? m->id : kNoModuleId;
}

bool PatchEditor::Rename(ModuleId id, std::string name) {
    Module* m = Find(id);
    if (!m) return false;
    patch_.Rename(m, std::move(name));
    return true;
}

bool PatchEditor::Move(ModuleId id, Point position) {
    Module* m = Find(id);
    if (!m) return false;
    m->position = position;
    m->refX = position.x;
    m->refY = position.y;
    return true;
}

bool PatchEditor::Remove(ModuleId id) {
    Module* m = Find(id);
    if (!m) return false;
    patch_.QueueRemoval(m);
    return true;
}

void PatchEditor::ProcessRemovals() {
    patch_.ProcessQueuedRemovals();
}

Module* PatchEditor::Slider(ModuleId id) const {
    Module* m = Find(id);
    return m && m->sliders ? m : nullptr;
}

bool PatchEditor::AddSlider(ModuleId id, int32_t controller, bool negative) {
    Module* m = Slider(id);
    return m && controller >= 0 && controller <= 0xFFFF && patch_.AddSlider(m, controller, negative);
}

bool PatchEditor::RemoveSlider(ModuleId id, int k) {
    Module* m = Slider(id);
    if (!m || k < 0 || k >= m->sliderCount) return false;
    (*m->sliders)[size_t(k)].controller = -1;
    patch_.RequestRefresh();
    return true;
}

bool PatchEditor::SetSliderController(ModuleId id, int k, int32_t controller) {
    Module* m = Slider(id);
    if (!m || k < 0 || k >= kMaxSliders || controller < 0 || controller > 0xFFFF) return false;
    const bool negative = k < m->sliderCount && (*m->sliders)[size_t(k)].negative;
    return patch_.SetSlider(m, k, controller, negative);
}

bool PatchEditor::SetSliderSign(ModuleId id, int k, bool negative) {
    Module* m = Slider(id);
    if (!m || k < 0 || k >= m->sliderCount) return false;
    (*m->sliders)[size_t(k)].negative = negative;
    return true;
}

} // namespace mw
