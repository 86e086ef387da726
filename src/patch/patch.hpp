#pragma once
// The patch: the 35 per-kind module lists, creation, naming and removal of modules, and the names of
// sources. Lives on the user-interface thread; the engine sees it through published snapshots.

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.hpp"
#include "engine/engine.hpp"
#include "model/module.hpp"

namespace mw {

/// Where the editor attaches and detaches module windows; the model knows no window toolkit.
class ModuleViewHooks {
public:
    virtual ~ModuleViewHooks() = default;
    /// A module was created (its window is to be made); called once per module.
    virtual void Attach(Module& module) = 0;
    virtual void Renamed(Module& module) = 0;
    /// A module is about to be destroyed; called once per module.
    virtual void Detach(Module& module) = 0;
    /// Modules were added, removed or renamed, a load's pass ended, or the language changed: every
    /// window should show its module again (source lists, labels). Called once per operation, so a
    /// load's first pass and its link pass refresh once each, however many modules they touch.
    virtual void Refresh() {}
};

/// Reads a module's section text (first pass of a load): name, position and plain parameters.
using SectionReader = std::function<void(Module& module, std::u16string_view sectionText)>;

class Patch {
public:
    explicit Patch(Engine& engine);
    ~Patch();
    Patch(const Patch&) = delete;
    Patch& operator=(const Patch&) = delete;

    Engine& GetEngine() { return engine_; }
    void SetViewHooks(ModuleViewHooks* hooks) { hooks_ = hooks; }
    void SetSectionReader(SectionReader reader) { reader_ = std::move(reader); }
    void SetTextLookup(TextLookup lookup) { text_ = std::move(lookup); }
    std::string Text(int number, std::string_view english) const;
    /// A new language: the text lookup changes, every taken slot's output label is formed again in it,
    /// and the windows are refreshed once.
    void ChangeLanguage(TextLookup lookup);
    /// Forms the output label of every output of every module again in the current language.
    void RelabelOutputs();

    /// Defers the view refreshes asked for while it lives; when the outermost batch ends, the views
    /// are refreshed once if any refresh was asked for.
    class RefreshBatch {
    public:
        explicit RefreshBatch(Patch& patch) : patch_(patch) { ++patch_.batchDepth_; }
        ~RefreshBatch();
        RefreshBatch(const RefreshBatch&) = delete;
        RefreshBatch& operator=(const RefreshBatch&) = delete;

    private:
        Patch& patch_;
    };
    /// Refreshes the views now, or at the end of the current batch.
    void RequestRefresh();

    /// Creates a module: defaults, then (with a section text) the first-pass reader, then its slots.
    /// An empty name gets the kind's default name. Returns null when no slot is free.
    Module* CreateModule(ModuleKind kind, Point position, std::string name = {},
                         std::u16string_view sectionText = {});
    /// Leaves the slots, unlinks the module, waits until no engine block can read it, destroys it.
    void RemoveModule(Module* module);
    /// Removes every module of every kind.
    void Clear();
    /// Asks every current module to remove itself later (as a load does); they keep their slots until
    /// ProcessQueuedRemovals runs.
    void QueueRemoveAll();
    void QueueRemoval(Module* module);
    void ProcessQueuedRemovals();
    bool HasQueuedRemovals() const { return !queued_.empty(); }

    /// The next modules created take these ids, in this order, instead of new ones (restoring an earlier
    /// state of the patch gives its modules back the ids they had). Ids still in use must not be given.
    void ReuseIds(std::vector<ModuleId> ids) { reusedIds_ = std::move(ids); }
    /// The ModuleSlots a module had: those of its fixed outputs and of its MIDI sliders' outputs.
    struct SlotPlan {
        std::array<int32_t, 2> fixed{-1, -1};
        std::vector<int32_t> sliders;
    };
    /// The slots each module to be created (by the id it will have) should take again where they are free.
    void PlanSlots(std::map<ModuleId, SlotPlan> plan) { slotPlan_ = std::move(plan); }
    SlotPlan SlotsOf(const Module& module) const;

    /// Renames a module; its slots follow.
    void Rename(Module* module, std::string name);

    int NextDefaultNumber(ModuleKind kind) const;
    std::string DefaultName(ModuleKind kind) const;

    // Source names at the file and window boundary.
    std::string SourceName(SourceId id) const;
    int SourceSubType(SourceId id) const;
    SourceId ResolveSource(std::string_view name, int subType) const;

    /// The modules of a kind, in list (creation) order.
    std::vector<Module*> Modules(ModuleKind kind) const;
    size_t Count(ModuleKind kind) const;
    size_t TotalCount() const;
    /// Every module in save order (kind order, then list order). f may read the patch (Count,
    /// Modules, Find) but must not create or remove modules.
    template <class F> void ForEachModule(F&& f) const {
        for (const ModuleList& list : lists_)
            for (const auto& m : list) f(static_cast<const Module&>(*m));
    }
    template <class F> void ForEachModule(F&& f) {
        for (ModuleList& list : lists_)
            for (const auto& m : list) f(*m);
    }
    bool Contains(const Module* module) const;
    /// The module with this id, or null when it was removed (or never existed in this patch).
    Module* Find(ModuleId id) const;

    /// Gives a MIDI slider module's controller a slider: the first free entry takes it (with an output
    /// slot of its own if it has none yet), else a new entry after the last. False when no slider entry
    /// or no slot is free.
    bool AddSlider(Module* module, int32_t controller, bool negative);
    /// Puts a controller on slider entry k of a MIDI slider module (0..127), registering the entry's
    /// output slot if it has none. False when k is out of range or no slot is free.
    bool SetSlider(Module* module, int k, int32_t controller, bool negative);
    /// Republishes the engine's view after a change of module parameters that affect the schedule
    /// (for example a MIDI device number).
    void Republish();

    /// The output label of output k of a module, in the current language.
    std::string OutputLabel(const Module& module, int k) const;

private:
    // The lists belong to the user-interface thread; the engine reads published snapshots only.
    using ModuleList = std::vector<std::unique_ptr<Module>>;

    bool RegisterSlots(Module& m);
    bool RegisterSliderSlot(Module& m, int k);
    int PlannedSlot(const Module& m, int k, bool slider) const;
    void ReleaseSlots(Module& m);
    std::unique_ptr<Module> Unlink(Module* m);
    PublishTicket Publish();
    void Destroy(std::vector<std::unique_ptr<Module>>& doomed);
    void CollectRetired();

    Engine& engine_;
    ModuleViewHooks* hooks_ = nullptr;
    SectionReader reader_;
    TextLookup text_;
    std::array<ModuleList, kKindCount> lists_;
    std::vector<Module*> queued_;
    ModuleId nextId_ = 1;
    std::vector<ModuleId> reusedIds_;
    std::map<ModuleId, SlotPlan> slotPlan_;
    int batchDepth_ = 0;
    bool refreshOwed_ = false;

    struct Retired {
        PublishTicket ticket;
        std::unique_ptr<EngineSnapshot> snapshot;
    };
    std::unique_ptr<EngineSnapshot> current_;
    std::vector<Retired> retired_;
};

} // namespace mw
