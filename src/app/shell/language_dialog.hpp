#pragma once
// The language choice: five buttons for the built-in languages and a picture that picks a user
// language file, under the "choose your language" prompt in every language at once.

#include <QLabel>
#include <functional>

#include "app/shell/app_context.hpp"
#include "editor/pill_widgets.hpp"

namespace mw {

class LanguageDialog : public ProgramDialog {
    Q_OBJECT
public:
    LanguageDialog(QWidget* parent, AppContext& context);

    /// Asks for a user language file; an empty text means the user cancelled. By default the
    /// desktop's open-file dialog.
    std::function<QString()> chooseFile;

    /// The picture's action: a chosen file that exists and is not a folder becomes the user language
    /// file (language code 1000) and closes the dialog; otherwise the dialog stays open.
    void PickUserFile();

private:
    void Choose(uint16_t code);
    QString AskForFile();

    AppContext& context_;
};

/// Shows the language dialog modally, then applies the language the settings now select
/// (ApplyLanguage; a user file that fails shows the fixed English message and loads English).
void ChooseLanguage(QWidget* parent, AppContext& context);

} // namespace mw
