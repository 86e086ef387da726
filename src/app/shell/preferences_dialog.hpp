#pragma once
// The preferences dialog: mouse wrapping, the update check, automatic start, the start-up shortcut
// and the engine's priority, with the entries to the minimisation options, the language choice and
// the visual preferences.

#include <functional>
#include <vector>

#include "app/shell/app_context.hpp"
#include "app/shell/dialog_parts.hpp"
#include "editor/pill_widgets.hpp"

namespace mw {

class PreferencesDialog : public ProgramDialog {
    Q_OBJECT
public:
    /// What the dialog asks of the main window.
    struct Hooks {
        std::function<void(int repaint)> settingsChanged; ///< the main window's `WM_SETTINGSCHANGED`
        std::function<bool()> startupShortcutExists;      ///< state of the start-up shortcut box
        std::function<bool(bool on)> setStartupShortcut;  ///< write or delete it; false on failure
        std::function<void()> openVisualPreferences;      ///< null: that button is disabled
    };

    PreferencesDialog(QWidget* parent, AppContext& context, Hooks hooks);

    /// True while a box differs from what it edits.
    bool ApplyEnabled() const;
    /// Stores the boxes, writes or deletes the start-up shortcut when its box changed, tells the main
    /// window, saves the settings and disables Apply.
    void Apply();

private:
    enum Box { WrapMouse, CheckForUpdate, AutoStart, StartupShortcut, RealTimePriority, BoxCount };

    void SetTexts();
    void Place();
    void ReadBoxes();
    void UpdateApply();
    bool Stored(Box box) const;
    void ChooseLanguage();
    void OpenMinimisationOptions();

    AppContext& context_;
    Hooks hooks_;
    bool shortcutExists_ = false;
    std::vector<CheckRow> boxes_;
    PillButton* wrapHelp_ = nullptr;
    PillButton* minimisation_ = nullptr;
    PillButton* language_ = nullptr;
    PillButton* visual_ = nullptr;
    PillButton* ok_ = nullptr;
    PillButton* cancel_ = nullptr;
    PillButton* apply_ = nullptr;
};

} // namespace mw
