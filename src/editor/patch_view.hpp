#pragma once
// The patch as the user sees and edits it: a module window per module, over the window that owns them
// (the canvas), and the edit history. Every edit a user makes in a module window or through the canvas
// (add, remove, rename, move, load, clear, a parameter) is one step of the history; steps name modules
// by their ids, never by pointer. Parameter, name and place steps are undone field by field; the steps
// that add or remove modules put back the whole patch as it was saved before (with its modules' ids),
// so an undo gives back exactly the bytes the patch would have been saved as.

#include <QObject>
#include <QTimer>
#include <QUndoStack>
#include <array>
#include <map>
#include <optional>
#include <string>

#include "editor/module_window.hpp"
#include "patch/patch.hpp"
#include "session/session.hpp"

namespace mw {

class PatchView : public QObject, public ModuleViewHooks, public ModuleCanvas {
    Q_OBJECT
public:
    /// `owner` is the canvas window; `header` the configuration file's header text.
    PatchView(Session& session, ProgramSettings& settings, const LanguageStrings& strings, QWidget* owner);
    ~PatchView() override;

    QUndoStack& History() { return history_; }
    /// Whether the patch differs from the last file loaded or saved.
    bool Modified() const { return !history_.isClean() || changedOutside_; }
    /// The patch is now what a file holds (just loaded or saved).
    void MarkSaved();

    // ---- the canvas's commands (each one step of the history) ----
    /// Adds a module of a kind centred on a screen point; the new module's id, or kNoModuleId when no slot
    /// was free.
    ModuleId AddModule(ModuleKind kind, const QPoint& global);
    void RemoveModule(ModuleId id);
    /// Loads a patch text, a file or a built-in patch (as the live load does: the link pass 10 ms later).
    /// A file or a built-in patch loaded counts as unchanged.
    void LoadText(std::u16string_view text);
    ConfigStatus LoadFile(const std::string& path);
    bool LoadBuiltIn(int resource);
    void Clear();
    /// The patch as a file holds it (a pending link pass is run first).
    std::u16string SaveText();
    ConfigStatus SaveFile(const std::string& path);

    /// The canvas moved by `delta` (its top-left corner): every module window follows.
    void Follow(const QPoint& delta);
    /// Shows or hides every module window with the canvas.
    void SetWindowsShown(bool shown);
    /// The language or the colours changed: every window again.
    void RelayoutAll();
    /// After the session's poll: the note catcher or MIDI learning changed the patch.
    void PatchChangedOutsideEdits() override;

    ModuleWindow* WindowOf(ModuleId id) const;
    size_t WindowCount() const { return windows_.size(); }
    /// The configuration file's header text (string 158).
    std::string Header() const;

    // ModuleCanvas
    const std::vector<DeviceChoice>& Devices(DeviceListKind kind) override;
    Session& CanvasSession() override { return session_; }
    PatchEditor& Editor() override { return editor_; }
    const ProgramSettings& Settings() const override { return settings_; }
    const LanguageStrings& Strings() const override { return strings_; }
    int CountModuleWindowsAt(const QPoint& global) const override;
    bool& DragInProgress() override { return dragInProgress_; }
    QPoint& LastDragCursor() override { return lastDragCursor_; }
    QPoint ClientOrigin() const override;
    bool EditField(const FieldRef& ref, const FieldValue& value, int gesture = 0) override;
    void RenameModule(ModuleId id, const std::string& name) override;
    void ModuleMoved(ModuleId id, Point before, Point after) override;
    void RequestRemoval(ModuleId id) override;
    void RememberWaveFolder(const std::string& folder) override { settings_.WaveFolder = folder; }
    void RememberSliderSign(bool negative) override;

    // ModuleViewHooks
    void Attach(Module& module) override;
    void Renamed(Module& module) override;
    void Detach(Module& module) override;
    void Refresh() override;

    /// A saved state of the whole patch: its text, its modules' ids in save order, the slots they had
    /// and every link's and input's source number (a file names sources, and a name may be taken twice
    /// or name a module no longer there: the numbers keep what the names cannot).
    struct Snapshot {
        std::u16string text;
        std::vector<ModuleId> ids;
        std::map<ModuleId, Patch::SlotPlan> slots;
        std::vector<std::pair<FieldRef, int64_t>> sources;
    };
    Snapshot Capture();
    void Restore(const Snapshot& snapshot);

Q_SIGNALS:
    /// Modified() may have changed.
    void modifiedChanged();

private:
    /// Runs an operation that adds or removes modules as one step of the history, named by `text`.
    void StructuralStep(const QString& text, const std::function<void()>& operation);
    Point ToPoint(const QPoint& p) const { return {p.x(), p.y()}; }
    void Tick();

    Session& session_;
    PatchEditor editor_;
    ProgramSettings& settings_;
    const LanguageStrings& strings_;
    QWidget* owner_;
    QUndoStack history_;
    std::map<ModuleId, ModuleWindow*> windows_;
    QTimer tick_; // 10 ms: the kinds' own controls
    bool dragInProgress_ = false;
    QPoint lastDragCursor_;
    bool changedOutside_ = false;
    bool windowsShown_ = true;
    // The device lists, asked of the system once per refresh of the windows (not once per window).
    std::array<std::optional<std::vector<DeviceChoice>>, 3> devices_;
};

} // namespace mw
