#include "patch/patch.hpp"

#include <algorithm>

#include "base/text.hpp"
#include "engine/kinds/kind_ops.hpp"

namespace mw {

Patch::Patch(Engine& engine) : engine_(engine) {
    Publish();
}

Patch::~Patch() {
    Clear();
    const PublishTicket t = engine_.PublishSnapshot(nullptr);
    engine_.WaitUntilPassed(t);
}

std::string Patch::Text(int number, std::string_view english) const {
    return text_ ? text_(number, english) : std::string(english);
}

void Patch::ChangeLanguage(TextLookup lookup) {
    text_ = std::move(lookup);
    RelabelOutputs();
    RequestRefresh();
}

void Patch::RelabelOutputs() {
    ForEachModule([&](const Module& m) {
        for (int k = 0; k < m.OutputCount(); ++k)
            if (const int s = m.OutputSlot(k); s >= 0) engine_.slots[s].outputLabel = OutputLabel(m, k);
    });
}

Patch::RefreshBatch::~RefreshBatch() {
    if (--patch_.batchDepth_ == 0 && patch_.refreshOwed_) {
        patch_.refreshOwed_ = false;
        if (patch_.hooks_) patch_.hooks_->Refresh();
    }
}

void Patch::RequestRefresh() {
    if (batchDepth_ > 0)
        refreshOwed_ = true;
    else if (hooks_)
        hooks_->Refresh();
}

std::string Patch::OutputLabel(const Module& m, int k) const {
    const KindInfo& info = Info(m.kind);
    switch (m.kind) {
    case ModuleKind::AudioOutputSplit:
        return FormatNumberText(Text(132, "Output-%ld"), k + 1);
    case ModuleKind::ControlSensor:
        return k == 0 ? Text(272, "Gravity") : Text(273, "Polarity");
    case ModuleKind::ControlMIDIControllerInput:
        return FormatNumberText(Text(486, "Slider %ld"), k + 1);
    default:
        return info.outputLabel ? Text(info.outputLabel, info.outputLabelEnglish) : std::string();
    }
}

// ---------------------------------------------------------------- names

int Patch::NextDefaultNumber(ModuleKind kind) const {
    const ModuleList& list = lists_[Index(kind)];
    long long n = static_cast<long long>(list.size()) + 1;
    for (const auto& m : list) {
        long long digits = 0;
        for (char c : m->name)
            if (c >= '0' && c <= '9') {
                digits = digits * 10 + (c - '0');
                if (digits > 1'000'000'000LL)
                    digits = 1'000'000'000LL; // names are text; keep the number sane
            }
        if (digits >= n) n = digits + 1;
    }
    return static_cast<int>(std::min<long long>(n, 2'000'000'000LL));
}

std::string Patch::DefaultName(ModuleKind kind) const {
    const KindInfo& info = Info(kind);
    return FormatNumberText(Text(info.nameTemplate, info.nameTemplateEnglish), NextDefaultNumber(kind));
}

std::string Patch::SourceName(SourceId id) const {
    if (id == kManualSource) return std::string(kManualName);
    if (IsMeasure(id)) return std::string(kMeasureNames[id - kFirstMeasure]);
    if (IsSlot(id)) {
        const ModuleSlot& s = engine_.slots[id];
        return s.Taken() ? s.name : std::string(kInvalidName);
    }
    return {};
}

int Patch::SourceSubType(SourceId id) const {
    if (IsSlot(id) && engine_.slots[id].Taken()) return engine_.slots[id].outputIndex;
    return 0;
}

SourceId Patch::ResolveSource(std::string_view name, int subType) const {
    if (EqualsIgnoreCase(name, kManualName)) return kManualSource;
    if (name.empty()) return kNoSource;
    for (int i = 0; i < kMeasureCount; ++i)
        if (EqualsIgnoreCase(name, kMeasureNames[i])) return kFirstMeasure + i;
    if (EqualsIgnoreCase(name, kInvalidName)) return kNoSource;
    for (int s = 0; s < kSlotCount; ++s) {
        const ModuleSlot& slot = engine_.slots[s];
        if (slot.Taken() && slot.outputIndex == subType && EqualsIgnoreCase(slot.name, name)) return s;
    }
    return kNoSource;
}

// ---------------------------------------------------------------- lists

std::vector<Module*> Patch::Modules(ModuleKind kind) const {
    const ModuleList& list = lists_[Index(kind)];
    std::vector<Module*> out;
    out.reserve(list.size());
    for (const auto& m : list) out.push_back(m.get());
    return out;
}

size_t Patch::Count(ModuleKind kind) const {
    return lists_[Index(kind)].size();
}

size_t Patch::TotalCount() const {
    size_t n = 0;
    for (int k = 0; k < kKindCount; ++k) n += Count(KindAt(k));
    return n;
}

bool Patch::Contains(const Module* module) const {
    if (!module) return false;
    for (const ModuleList& list : lists_)
        for (const auto& m : list)
            if (m.get() == module) return true;
    return false;
}

Module* Patch::Find(ModuleId id) const {
    if (id == kNoModuleId) return nullptr;
    for (const ModuleList& list : lists_)
        for (const auto& m : list)
            if (m->id == id) return m.get();
    return nullptr;
}

// ---------------------------------------------------------------- creation and removal

bool Patch::RegisterSlots(Module& m) {
    const KindInfo& info = Info(m.kind);
    if (info.isSink) {
        const SinkType type = m.kind == ModuleKind::AudioOutput           ? SinkType::AudioOutput
                              : m.kind == ModuleKind::AudioWaveWriter     ? SinkType::WaveWriter
                              : m.kind == ModuleKind::AudioOutputAnalyzer ? SinkType::OutputAnalyzer
                                                                          : SinkType::MidiControllerInput;
        const int sink = engine_.RegisterSink(&m, type);
        if (sink < 0) return false;
        m.sinkSlot = sink;
    }
    if (m.sliders) {
        // One ModuleSlot per slider read from the file, output k for entry k; entries the file left
        // out stay free without a slot. A slider that finds no slot is dropped with those after it.
        const int n = std::clamp<int>(m.sliderCount, 0, kMaxSliders);
        int end = 0;
        for (int k = 0; k < n; ++k) {
            SliderEntry& e = (*m.sliders)[k];
            e.slot = -1;
            if (e.controller < 0) continue;
            if (!RegisterSliderSlot(m, k)) break;
            end = k + 1;
        }
        for (int k = end; k < n; ++k) (*m.sliders)[k].controller = -1;
        m.sliderCount = end;
        return true;
    }
    for (int k = 0; k < info.outputs; ++k) {
        const int s =
            engine_.RegisterSlot(&m, m.kind, k, m.name, OutputLabel(m, k), PlannedSlot(m, k, false));
        if (s < 0) return false;
        m.slot[k] = s;
    }
    return true;
}

void Patch::ReleaseSlots(Module& m) {
    // The single-output kinds and the sensor also mark their slots' Kind free; the splitter keeps it.
    const bool markFree = m.kind != ModuleKind::AudioOutputSplit;
    if (m.sliders) {
        for (int k = 0; k < m.sliderCount; ++k) {
            if (const int s = (*m.sliders)[k].slot; s >= 0) engine_.ReleaseSlot(s, markFree);
            (*m.sliders)[k].slot = -1;
        }
    }
    for (auto& s : m.slot) {
        if (s >= 0) engine_.ReleaseSlot(s, markFree);
        s = -1;
    }
    if (m.sinkSlot >= 0) engine_.ReleaseSink(m.sinkSlot);
    m.sinkSlot = -1;
}

Module* Patch::CreateModule(ModuleKind kind, Point position, std::string name,
                            std::u16string_view sectionText) {
    auto m = std::make_unique<Module>(kind);
    m->position = position;
    m->name = name.empty() && sectionText.empty() ? DefaultName(kind) : std::move(name);
    if (!sectionText.empty()) {
        m->sectionText.assign(sectionText);
        if (reader_) reader_(*m, sectionText);
    }
    if (const KindOps& ops = engine_.Ops(kind); ops.createState) m->state = ops.createState(*m);
    // The id first: the slots a restored module had are planned by its id.
    if (!reusedIds_.empty()) {
        m->id = reusedIds_.front();
        reusedIds_.erase(reusedIds_.begin());
        nextId_ = std::max(nextId_, m->id + 1);
    } else {
        m->id = nextId_++;
    }
    if (!RegisterSlots(*m)) {
        ReleaseSlots(*m); // a two-output kind gives its first slot back
        return nullptr;
    }
    m->refX = m->position.x;
    m->refY = m->position.y;
    Module* raw = m.get();
    if (hooks_) hooks_->Attach(*raw);
    lists_[Index(kind)].push_back(std::move(m));
    Publish();
    RequestRefresh();
    return raw;
}

std::unique_ptr<Module> Patch::Unlink(Module* module) {
    ModuleList& list = lists_[Index(module->kind)];
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const std::unique_ptr<Module>& p) { return p.get() == module; });
    if (it == list.end()) return nullptr;
    std::unique_ptr<Module> owned = std::move(*it);
    list.erase(it);
    return owned;
}

void Patch::RemoveModule(Module* module) {
    if (!Contains(module)) return;
    ReleaseSlots(*module);
    std::unique_ptr<Module> owned = Unlink(module);
    std::erase(queued_, module);
    std::vector<std::unique_ptr<Module>> doomed;
    doomed.push_back(std::move(owned));
    Destroy(doomed);
}

// The modules have left their slots and the lists. The engine may still be inside a block that walks the
// old lists: publish, wait until that block has passed, then let the views go and destroy the modules.
void Patch::Destroy(std::vector<std::unique_ptr<Module>>& doomed) {
    engine_.WaitUntilPassed(Publish());
    for (auto& m : doomed)
        if (hooks_) hooks_->Detach(*m);
    doomed.clear();
    CollectRetired();
    RequestRefresh();
}

void Patch::Clear() {
    std::vector<std::unique_ptr<Module>> doomed;
    for (ModuleList& list : lists_) {
        ModuleList taken;
        taken.swap(list);
        for (auto& m : taken) {
            ReleaseSlots(*m);
            doomed.push_back(std::move(m));
        }
    }
    queued_.clear();
    if (!doomed.empty()) Destroy(doomed);
}

void Patch::QueueRemoveAll() {
    for (int k = 0; k < kKindCount; ++k)
        for (Module* m : Modules(KindAt(k))) QueueRemoval(m);
}

void Patch::QueueRemoval(Module* module) {
    if (module && std::find(queued_.begin(), queued_.end(), module) == queued_.end())
        queued_.push_back(module);
}

void Patch::ProcessQueuedRemovals() {
    if (queued_.empty()) return;
    std::vector<Module*> q;
    q.swap(queued_);
    std::vector<std::unique_ptr<Module>> doomed;
    for (Module* m : q) {
        if (!Contains(m)) continue;
        ReleaseSlots(*m);
        doomed.push_back(Unlink(m));
    }
    Destroy(doomed);
}

void Patch::Rename(Module* module, std::string name) {
    if (!Contains(module)) return;
    module->name = std::move(name);
    for (int k = 0; k < module->OutputCount(); ++k) {
        const int s = module->OutputSlot(k);
        if (s < 0) continue;
        engine_.slots[s].name = module->name;
        if (module->OutputCount() > 1 || module->sliders)
            engine_.slots[s].outputLabel = OutputLabel(*module, k);
    }
    if (hooks_) hooks_->Renamed(*module);
    RequestRefresh();
}

int Patch::PlannedSlot(const Module& m, int k, bool slider) const {
    const auto it = slotPlan_.find(m.id);
    if (it == slotPlan_.end()) return -1;
    if (slider) return size_t(k) < it->second.sliders.size() ? it->second.sliders[size_t(k)] : -1;
    return k < 2 ? it->second.fixed[size_t(k)] : -1;
}

Patch::SlotPlan Patch::SlotsOf(const Module& m) const {
    SlotPlan plan;
    plan.fixed = {m.slot[0], m.slot[1]};
    if (m.sliders)
        for (int k = 0; k < std::clamp<int>(m.sliderCount, 0, kMaxSliders); ++k)
            plan.sliders.push_back((*m.sliders)[size_t(k)].slot);
    return plan;
}

bool Patch::RegisterSliderSlot(Module& m, int k) {
    const int s = engine_.RegisterSlot(&m, m.kind, k, m.name, OutputLabel(m, k), PlannedSlot(m, k, true));
    if (s < 0) return false;
    (*m.sliders)[k].slot = s;
    return true;
}

bool Patch::AddSlider(Module* module, int32_t controller, bool negative) {
    if (!module || !module->sliders) return false;
    const int count = std::clamp<int>(module->sliderCount, 0, kMaxSliders);
    int k = 0;
    while (k < count && (*module->sliders)[k].controller >= 0) ++k;
    return SetSlider(module, k, controller, negative);
}

bool Patch::SetSlider(Module* module, int k, int32_t controller, bool negative) {
    if (!module || !module->sliders || k < 0 || k >= kMaxSliders || !Contains(module)) return false;
    SliderEntry& e = (*module->sliders)[k];
    const int count = std::clamp<int>(module->sliderCount, 0, kMaxSliders);
    if (k >= count) e.slot = -1; // an unused entry
    const bool newOutput = e.slot < 0;
    if (newOutput && !RegisterSliderSlot(*module, k)) return false;
    for (int i = count; i < k; ++i) { // entries skipped on the way stay free, without an output
        (*module->sliders)[i].controller = -1;
        (*module->sliders)[i].slot = -1;
    }
    e.negative = negative;
    e.controller = controller;
    if (k >= count) module->sliderCount = k + 1;
    if (newOutput) {
        Publish();
        RequestRefresh();
    }
    return true;
}

void Patch::Republish() {
    Publish();
}

// ---------------------------------------------------------------- publication

PublishTicket Patch::Publish() {
    auto snap = std::make_unique<EngineSnapshot>();
    for (int k = 0; k < kKindCount; ++k)
        for (const auto& m : lists_[k]) snap->lists[k].push_back(m.get());
    for (int s = 0; s < kSlotCount; ++s)
        if (engine_.slots[s].Taken()) snap->moduleSlots.push_back(uint8_t(s));
    for (int s = 0; s < kSinkCount; ++s)
        if (engine_.sinks[s].module.load() != nullptr) snap->sinkSlots.push_back(uint8_t(s));
    for (int s = 0; s < kSlotCount; ++s) {
        const Module* sink = engine_.sinks[s].module;
        if (sink && sink->kind == ModuleKind::AudioOutput) snap->routes.push_back({uint8_t(s), true});
        const Module* owner = engine_.slots[s].module;
        if (owner && PlaysOnOutputDevice(owner->kind)) snap->routes.push_back({uint8_t(s), false});
    }
    snap->hasMidiModules = !snap->lists[Index(ModuleKind::ControlMIDIInput)].empty() ||
                           !snap->lists[Index(ModuleKind::ControlSequence)].empty() ||
                           !snap->lists[Index(ModuleKind::ControlMIDIControllerInput)].empty();
    const PublishTicket ticket = engine_.PublishSnapshot(snap.get());
    retired_.push_back({ticket, std::move(current_)});
    current_ = std::move(snap);
    CollectRetired();
    return ticket;
}

void Patch::CollectRetired() {
    std::erase_if(retired_, [&](const Retired& r) { return engine_.HasPassed(r.ticket); });
}

} // namespace mw
