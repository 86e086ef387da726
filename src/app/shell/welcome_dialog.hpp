#pragma once
#include "app/shell/app_context.hpp"
#include "editor/pill_widgets.hpp"
namespace mw {
enum class WelcomeChoice { None, Mouse, Midi, Microphone, Modulation, Sequence };
class WelcomeDialog : public ProgramDialog {
public:
    WelcomeDialog(QWidget* parent, AppContext& c) : ProgramDialog(parent, c.settings) {}
    WelcomeChoice Choice() const { return WelcomeChoice::None; }
};
} // namespace mw
