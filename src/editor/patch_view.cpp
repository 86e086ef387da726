// The module windows over the canvas, and the edit history.

#include "editor/patch_view.hpp"

#include <QUndoCommand>

#include "patch/builtin_patches.hpp"
#include "patch/config_file.hpp"

namespace mw {

namespace {

constexpr int kConfigurationHeader = 158;
constexpr int kTickMs = 10;

enum CommandId { kFieldEdit = 1 };

// One field of one module, from its old value to its new one. Edits of the same field in one gesture
// (a slider drag, a typing session) merge into one step.
class FieldEditCommand : public QUndoCommand {
public:
    FieldEditCommand(PatchView& view, FieldRef ref, FieldValue before, FieldValue after, int gesture)
        : view_(view), ref_(ref), before_(std::move(before)), after_(std::move(after)), gesture_(gesture) {
        setText(QStringLiteral("Change"));
    }
    int id() const override { return kFieldEdit; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* o = static_cast<const FieldEditCommand*>(other);
        if (gesture_ == 0 || o->gesture_ != gesture_ || !(o->ref_ == ref_)) return false;
        after_ = o->after_;
        return true;
    }
    void undo() override { Put(before_); }
    void redo() override {
        if (done_) { // the first redo: the edit was made before the step was recorded
            done_ = false;
            return;
        }
        Put(after_);
    }

private:
    void Put(const FieldValue& value) {
        view_.Editor().Set(ref_, value);
        if (ModuleWindow* w = view_.WindowOf(ref_.module)) w->Refresh();
    }

    PatchView& view_;
    FieldRef ref_;
    FieldValue before_;
    FieldValue after_;
    int gesture_;
    bool done_ = true;
};

class RenameCommand : public QUndoCommand {
public:
    RenameCommand(PatchView& view, ModuleId id, std::string before, std::string after)
        : view_(view), id_(id), before_(std::move(before)), after_(std::move(after)) {
        setText(QStringLiteral("Rename"));
    }
    void undo() override { view_.Editor().Rename(id_, before_); }
    void redo() override { view_.Editor().Rename(id_, after_); }

private:
    PatchView& view_;
    ModuleId id_;
    std::string before_;
    std::string after_;
};

class MoveCommand : public QUndoCommand {
public:
    MoveCommand(PatchView& view, ModuleId id, Point before, Point after)
        : view_(view), id_(id), before_(before), after_(after) {
        setText(QStringLiteral("Move"));
    }
    void undo() override { Put(before_); }
    void redo() override { Put(after_); }

private:
    void Put(Point p) {
        view_.Editor().Move(id_, p);
        if (ModuleWindow* w = view_.WindowOf(id_)) w->CentreOn(QPoint(p.x, p.y));
    }

    PatchView& view_;
    ModuleId id_;
    Point before_;
    Point after_;
};

// An operation that adds or removes modules: undone by putting back the patch as it was before, redone
// by putting back the patch as it was after (taken at the first undo, when a load's link pass is done).
class SnapshotCommand : public QUndoCommand {
public:
    SnapshotCommand(PatchView& view, const QString& text, PatchView::Snapshot before)
        : view_(view), before_(std::move(before)) {
        setText(text);
    }
    void undo() override {
        if (!after_) after_ = view_.Capture();
        view_.Restore(before_);
    }
    void redo() override {
        if (!after_) return; // the first redo: the operation itself ran
        view_.Restore(*after_);
    }

private:
    PatchView& view_;
    PatchView::Snapshot before_;
    std::optional<PatchView::Snapshot> after_;
};

} // namespace

PatchView::PatchView(Session& session, ProgramSettings& settings, const LanguageStrings& strings,
                     QWidget* owner)
    : session_(session), editor_(session.GetPatch()), settings_(settings), strings_(strings), owner_(owner) {
    tick_.setInterval(kTickMs);
    connect(&tick_, &QTimer::timeout, this, &PatchView::Tick);
    connect(&history_, &QUndoStack::cleanChanged, this, &PatchView::modifiedChanged);
    session_.SetViewHooks(this);
    session_.SetNewSlidersSigned(settings_.NewSliderSigned != 0);
}

void PatchView::RememberSliderSign(bool negative) {
    settings_.NewSliderSigned = negative ? 1 : 0;
    session_.SetNewSlidersSigned(negative);
}

PatchView::~PatchView() {
    history_.blockSignals(true); // its commands go with it, and nothing is to be told of that
    session_.SetViewHooks(nullptr);
    for (auto& [id, window] : windows_) {
        window->Detach();
        delete window;
    }
}

std::string PatchView::Header() const {
    return strings_.Text(kConfigurationHeader);
}

QPoint PatchView::ClientOrigin() const {
    return owner_ ? owner_->mapToGlobal(QPoint(0, 0)) : QPoint();
}

ModuleWindow* PatchView::WindowOf(ModuleId id) const {
    const auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second;
}

void PatchView::MarkSaved() {
    changedOutside_ = false;
    history_.setClean();
    Q_EMIT modifiedChanged();
}

// ---------------------------------------------------------------- windows

void PatchView::Attach(Module& module) {
    auto* window = new ModuleWindow(*this, module, owner_);
    window->CentreOn(QPoint(module.position.x, module.position.y));
    windows_[module.id] = window;
    if (windowsShown_ && (!owner_ || (owner_->isVisible() && !owner_->isMinimized()))) window->show();
    if (window->Part() && !tick_.isActive()) tick_.start();
}

void PatchView::Renamed(Module&) {}

void PatchView::Detach(Module& module) {
    const auto it = windows_.find(module.id);
    if (it == windows_.end()) return;
    ModuleWindow* window = it->second;
    windows_.erase(it);
    window->Detach();
    delete window;
}

const std::vector<DeviceChoice>& PatchView::Devices(DeviceListKind kind) {
    std::optional<std::vector<DeviceChoice>>& cached = devices_[size_t(kind)];
    if (!cached) {
        switch (kind) {
        case DeviceListKind::Output:
            cached = session_.Outputs().ListDevices(kNoOutputDevice, false).entries;
            break;
        case DeviceListKind::MidiInput:
            cached = session_.Midi().ListDevices();
            break;
        case DeviceListKind::WaveInput:
            cached = session_.Inputs().ListDevices();
            break;
        }
    }
    return *cached;
}

void PatchView::Refresh() {
    for (auto& list : devices_) list.reset(); // the devices may have changed since the last refresh
    // In save order (kind order, then list order), as the lists are walked.
    session_.GetPatch().ForEachModule([this](Module& m) {
        if (ModuleWindow* w = WindowOf(m.id)) w->Refresh();
    });
}

void PatchView::RelayoutAll() {
    for (auto& list : devices_) list.reset();
    for (auto& [id, window] : windows_) {
        window->Refresh();
        window->Relayout();
    }
}

void PatchView::Follow(const QPoint& delta) {
    if (delta.isNull()) return;
    for (auto& [id, window] : windows_) window->Follow(delta);
}

void PatchView::SetWindowsShown(bool shown) {
    windowsShown_ = shown;
    for (auto& [id, window] : windows_) window->setVisible(shown);
}

int PatchView::CountModuleWindowsAt(const QPoint& global) const {
    int count = 0;
    for (const auto& [id, window] : windows_)
        if (window->isVisible() && window->frameGeometry().contains(global)) ++count;
    return count;
}

void PatchView::Tick() {
    bool any = false;
    for (auto& [id, window] : windows_)
        if (window->Part()) {
            window->Tick();
            any = true;
        }
    if (!any) tick_.stop();
}

// ---------------------------------------------------------------- edits

bool PatchView::EditField(const FieldRef& ref, const FieldValue& value, int gesture) {
    const std::optional<FieldValue> before = editor_.Get(ref);
    if (!before) return false;
    if (*before == value) return true;
    if (!editor_.Set(ref, value)) return false;
    history_.push(new FieldEditCommand(*this, ref, *before, value, gesture));
    return true;
}

void PatchView::RenameModule(ModuleId id, const std::string& name) {
    const Module* m = editor_.Find(id);
    if (!m || m->name == name) return;
    history_.push(new RenameCommand(*this, id, m->name, name));
}

void PatchView::ModuleMoved(ModuleId id, Point before, Point after) {
    if (!editor_.Find(id)) return;
    history_.push(new MoveCommand(*this, id, before, after));
}

void PatchView::RequestRemoval(ModuleId id) {
    // After the close button's handler has returned: the window is not destroyed from inside itself.
    QTimer::singleShot(0, this, [this, id] { RemoveModule(id); });
}

PatchView::Snapshot PatchView::Capture() {
    session_.FinishLoad();
    Snapshot s;
    s.text = ConfigurationText(session_.GetPatch(), Header(), ToPoint(ClientOrigin()));
    const Patch& patch = session_.GetPatch();
    patch.ForEachModule([&](const Module& m) {
        s.ids.push_back(m.id);
        s.slots[m.id] = patch.SlotsOf(m);
        for (int i = 0; i < FieldCount(m.kind, FieldRole::LinkSource); ++i)
            s.sources.push_back({{m.id, FieldRole::LinkSource, i}, m.Link(i).source.load()});
        for (int i = 0; i < FieldCount(m.kind, FieldRole::Input); ++i)
            s.sources.push_back({{m.id, FieldRole::Input, i}, m.Input(i)});
    });
    return s;
}

void PatchView::Restore(const Snapshot& snapshot) {
    session_.Restore(snapshot.text, ToPoint(ClientOrigin()), snapshot.ids, snapshot.slots);
    for (const auto& [ref, source] : snapshot.sources) {
        const std::optional<FieldValue> now = editor_.Get(ref);
        if (now && *now != FieldValue(source)) editor_.Set(ref, source);
    }
    Refresh();
}

void PatchView::StructuralStep(const QString& text, const std::function<void()>& operation) {
    Snapshot before = Capture();
    operation();
    history_.push(new SnapshotCommand(*this, text, std::move(before)));
}

ModuleId PatchView::AddModule(ModuleKind kind, const QPoint& global) {
    ModuleId id = kNoModuleId;
    Snapshot before = Capture();
    id = editor_.Add(kind, ToPoint(global));
    if (id != kNoModuleId)
        history_.push(new SnapshotCommand(*this, QStringLiteral("Add"), std::move(before)));
    return id;
}

void PatchView::RemoveModule(ModuleId id) {
    if (!editor_.Find(id)) return;
    StructuralStep(QStringLiteral("Remove"), [this, id] {
        editor_.Remove(id);
        editor_.ProcessRemovals();
    });
}

void PatchView::LoadText(std::u16string_view text) {
    StructuralStep(QStringLiteral("Load"), [this, text] { session_.Load(text, ToPoint(ClientOrigin())); });
}

ConfigStatus PatchView::LoadFile(const std::string& path) {
    std::u16string text;
    const ConfigStatus status = ReadConfigurationFile(path, text);
    if (status != ConfigStatus::Ok) return status;
    LoadText(text);
    MarkSaved();
    return status;
}

bool PatchView::LoadBuiltIn(int resource) {
    if (!FindBuiltInByResource(resource)) return false;
    StructuralStep(QStringLiteral("Load"), [&] { session_.LoadBuiltIn(resource, ToPoint(ClientOrigin())); });
    MarkSaved(); // a built-in patch counts as unchanged until it is edited
    return true;
}

void PatchView::Clear() {
    StructuralStep(QStringLiteral("Clear"), [this] { ClearConfiguration(session_.GetPatch()); });
}

std::u16string PatchView::SaveText() {
    session_.FinishLoad();
    return ConfigurationText(session_.GetPatch(), Header(), ToPoint(ClientOrigin()));
}

ConfigStatus PatchView::SaveFile(const std::string& path) {
    session_.FinishLoad();
    const ConfigStatus status =
        SaveConfigurationFile(session_.GetPatch(), path, Header(), ToPoint(ClientOrigin()));
    if (status == ConfigStatus::Ok) MarkSaved();
    return status;
}

void PatchView::PatchChangedOutsideEdits() {
    // The note catcher and MIDI learning change the patch on their own: the history cannot undo across
    // them, so it starts again from here.
    history_.clear();
    changedOutside_ = true;
    Q_EMIT modifiedChanged();
}

} // namespace mw
