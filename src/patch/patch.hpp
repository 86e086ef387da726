#pragma once
// The patch: the 35 per-kind module lists, creation, naming and removal of modules, and the names of
// sources. Lives on the user-interface thread; the engine sees it through published snapshots.

#include <array>
#include <functional>
#include <memory>
#include <mutex>
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
    virtual void Attach(Module& module) = 0;
    virtual void Renamed(Module& module) = 0;
    virtual void Detach(Module& module) = 0;
    /// After modules were added, removed or renamed: every source list should be refreshed.
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
    /// Every module in save order (kind order, then list order).
    template <class F> void ForEachModule(F&& f) const {
        for (int k = 0; k < kKindCount; ++k) {
            std::lock_guard lock(lists_[k].mutex);
            for (const auto& m : lists_[k].modules) f(*m);
        }
    }
    bool Contains(const Module* module) const;

    /// Registers one more output slot for a MIDI slider module (a new slider); false when none is free.
    bool AddSlider(Module* module, int32_t controller, bool negative);
    /// Republishes the engine's view after a change of module parameters that affect the schedule
    /// (for example a MIDI device number).
    void Republish();

    /// The output label of output k of a module, in the current language.
    std::string OutputLabel(const Module& module, int k) const;

private:
    struct ModuleList {
        mutable std::mutex mutex;
        std::vector<std::unique_ptr<Module>> modules;
    };

    bool RegisterSlots(Module& m);
    void ReleaseSlots(Module& m);
    std::unique_ptr<Module> Unlink(Module* m);
    PublishTicket Publish();
    void CollectRetired();

    Engine& engine_;
    ModuleViewHooks* hooks_ = nullptr;
    SectionReader reader_;
    TextLookup text_;
    std::array<ModuleList, kKindCount> lists_;
    std::vector<Module*> queued_;

    struct Retired {
        PublishTicket ticket;
        std::unique_ptr<EngineSnapshot> snapshot;
    };
    std::unique_ptr<EngineSnapshot> current_;
    std::vector<Retired> retired_;
};

} // namespace mw
