#pragma once
// What the windows of the application shell share: the preferences, the language tables and the way
// to save, with the helpers that turn language texts into window texts and ask the program's questions.

#include <QMessageBox>
#include <QString>
#include <functional>

#include "app/settings/program_settings.hpp"
#include "i18n/language_strings.hpp"

class QWidget;

namespace mw {

struct AppContext {
    ProgramSettings& settings;
    LanguageStrings& strings;
    const GeneralStrings& general;
    /// Saves the preferences to the default settings file (silent on failure; the next save tries again).
    std::function<void()> saveSettings;

    /// The text of a string number as the windows show it. Button captions keep "&&" and "&", which
    /// Qt reads as the language texts mean them (a literal ampersand, a mnemonic).
    QString Text(int number) const;
};

/// A Yes/No question with a question icon, text and caption from the language table. True for Yes.
bool AskYesNo(QWidget* parent, const AppContext& context, int textNumber, int captionNumber);
/// An information message with an information icon.
void Inform(QWidget* parent, const AppContext& context, int textNumber, int captionNumber);

/// The product name, the window and message-box caption of the program.
inline constexpr const char* kProductName = "Murmelwerk";
/// The version the program reports and installs as.
inline constexpr const char* kProductVersion = "1.0";

} // namespace mw
