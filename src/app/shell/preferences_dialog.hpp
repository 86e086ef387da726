#pragma once
#include "app/shell/app_context.hpp"
#include "editor/pill_widgets.hpp"
#include <functional>
namespace mw {
class PreferencesDialog : public ProgramDialog {
public:
    struct Hooks {
        std::function<void(int repaint)> settingsChanged;
        std::function<bool()> startupShortcutExists;
        std::function<bool(bool on)> setStartupShortcut;
        std::function<void()> openVisualPreferences;
    };
    PreferencesDialog(QWidget* parent, AppContext& c, Hooks) : ProgramDialog(parent, c.settings) {}
};
} // namespace mw
