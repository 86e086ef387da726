#pragma once
// The name entry dialog of the module windows' rename button: the old name, read-only, and the new one.

#include <QLineEdit>
#include <optional>
#include <string>

#include "editor/pill_widgets.hpp"
#include "i18n/language_strings.hpp"

namespace mw {

class NameEntryDialog : public ProgramDialog {
    Q_OBJECT
public:
    NameEntryDialog(QWidget* parent, const ProgramSettings& settings, const LanguageStrings& strings,
                    const std::string& oldName);
    std::string NewName() const { return newValue_->text().toStdString(); }
    QLineEdit* OldEdit() const { return oldValue_; }
    QLineEdit* NewEdit() const { return newValue_; }
    PillButton* OkButton() const { return ok_; }
    PillButton* CancelButton() const { return cancel_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* oldValue_;
    QLineEdit* newValue_;
    PillButton* ok_;
    PillButton* cancel_;
};

/// Shows the dialog; the new name when the user confirmed with OK, else nothing.
std::optional<std::string> AskName(QWidget* parent, const ProgramSettings& settings,
                                   const LanguageStrings& strings, const std::string& oldName);

} // namespace mw
