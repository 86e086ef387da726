#pragma once
// The welcome shown on the very first start: a greeting, the example configurations and the
// tutorials on the product web site.

#include "app/shell/app_context.hpp"
#include "editor/pill_widgets.hpp"

namespace mw {

/// Which example the user asked for; None when the dialog was closed with Okay.
enum class WelcomeChoice { None, Mouse, Midi, Microphone, Modulation, Sequence };

class WelcomeDialog : public ProgramDialog {
    Q_OBJECT
public:
    WelcomeDialog(QWidget* parent, AppContext& context);

    WelcomeChoice Choice() const { return choice_; }

private:
    WelcomeChoice choice_ = WelcomeChoice::None;
};

} // namespace mw
