#pragma once
// The fonts of the windows: the dialog font rule and the font of the pill buttons.
//
// Each font is named by a list of families, the first installed one wins. The designed families
// are Windows fonts; on a Linux desktop their stand-ins are the sans-serifs of the distribution:
// for the templates' font the Arial-metric "Liberation Sans" (fonts-liberation2; "Arimo" and "Nimbus
// Sans" are the same design), for "Lucida Sans Unicode" and "Tahoma" the wide-coverage "DejaVu Sans"
// (fonts-dejavu-core), and "Noto Sans CJK JP" (fonts-noto-cjk) before it where Japanese text is
// expected. When none of a list is installed
// the system's general font family is used.

#include <QFont>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace mw {

/// The dialogs that share a font under the dialog font rule.
enum class DialogFontGroup {
    Standard,       ///< main window, module windows, about, help, preferences and the other dialogs
    Setup,          ///< legal agreement, installer, the rendering progress and the value entry dialog
    LanguageChoice, ///< the language dialog, whose font never depends on the language
};

/// True for the languages whose dialogs replace the font of their templates (Japanese and a user
/// language file, which may hold any script).
bool UsesReplacementDialogFont(uint16_t languageCode);

/// The font a dialog of the group is built with: with `LanguageCode` 4 or 1000 "Lucida Sans
/// Unicode" at 8 points (the setup group: "Tahoma" at 10 points); with any other code the templates'
/// own font, "Microsoft Sans Serif" at 8 points. The language dialog always uses "Lucida Sans
/// Unicode" at 14 points.
QFont DialogFont(uint16_t languageCode, DialogFontGroup group = DialogFontGroup::Standard);

/// The font of the text of every pill button: "Lucida Sans Unicode" at 12 points.
QFont PillButtonFont();

/// The first of the families that is installed, else the system's general font family.
QString FirstInstalledFamily(const QStringList& families);

} // namespace mw
