#pragma once
// The about dialog: the product, its web site and the way there.

#include <QLineEdit>

#include "app/shell/app_context.hpp"
#include "editor/pill_widgets.hpp"

namespace mw {

class AboutDialog : public ProgramDialog {
    Q_OBJECT
public:
    AboutDialog(QWidget* parent, AppContext& context);

    /// "Send Feedback" opens the comment form, "View EULA" the agreement for reading.
    PillButton& SendFeedbackButton() const { return *sendFeedback_; }
    PillButton& ViewEulaButton() const { return *viewEula_; }

private:
    PillButton* sendFeedback_ = nullptr;
    PillButton* viewEula_ = nullptr;
};

} // namespace mw
