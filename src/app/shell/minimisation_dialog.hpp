#pragma once
// The minimisation options: how the main window behaves when it is minimised, closed or dismissed
// with Esc, and whether it shows an icon in the system tray.

#include <QGroupBox>
#include <functional>
#include <vector>

#include "app/shell/app_context.hpp"
#include "app/shell/dialog_parts.hpp"
#include "editor/pill_widgets.hpp"

namespace mw {

class MinimisationDialog : public ProgramDialog {
    Q_OBJECT
public:
    /// Opening marks the main window's three one-time questions (tray, close, Esc) as asked; they
    /// stay marked when the dialog is cancelled. `settingsChanged` is the main window's
    /// `WM_SETTINGSCHANGED` with wParam 0.
    MinimisationDialog(QWidget* parent, AppContext& context, std::function<void()> settingsChanged);

    /// True while a box differs from its setting.
    bool ApplyEnabled() const;
    /// Stores the six boxes, tells the main window, saves the settings and disables Apply.
    void Apply();

private:
    void SetTexts();
    void Place();
    void UpdateControls();

    AppContext& context_;
    std::function<void()> settingsChanged_;
    QGroupBox* tray_ = nullptr;
    std::vector<CheckRow> boxes_;
    PillButton* ok_ = nullptr;
    PillButton* cancel_ = nullptr;
    PillButton* apply_ = nullptr;
};

} // namespace mw
