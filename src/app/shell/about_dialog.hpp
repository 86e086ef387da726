#pragma once
#include "app/shell/app_context.hpp"
#include "editor/pill_widgets.hpp"
namespace mw {
class AboutDialog : public ProgramDialog {
public:
    AboutDialog(QWidget* parent, AppContext& c) : ProgramDialog(parent, c.settings) {}
};
} // namespace mw
