#pragma once
// The help dialog: the online help centre, the forum and the command-line options.

#include "app/shell/app_context.hpp"
#include "editor/pill_widgets.hpp"

namespace mw {

class HelpDialog : public ProgramDialog {
    Q_OBJECT
public:
    HelpDialog(QWidget* parent, AppContext& context);

    /// Shows the command-line help (string 16) in a message box captioned with string 17.
    void ShowCommandLineHelp();

private:
    AppContext& context_;
};

} // namespace mw
