#pragma once
#include "app/shell/app_context.hpp"
#include "editor/pill_widgets.hpp"
namespace mw {
class HelpDialog : public ProgramDialog {
public:
    HelpDialog(QWidget* parent, AppContext& c) : ProgramDialog(parent, c.settings) {}
};
} // namespace mw
