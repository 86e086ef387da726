#pragma once
// The visual preferences: the 18 colours of the windows as hexadecimal texts with a swatch beside
// each; a click on a swatch picks its colour in the colour palette.

#include <QLabel>
#include <array>
#include <functional>

#include "app/settings/program_settings.hpp"
#include "display/colour_widgets.hpp"
#include "editor/pill_widgets.hpp"
#include "i18n/language_strings.hpp"

namespace mw {

/// One colour of the dialog: its slot, its label text, the stem of its controls' object names
/// ("<name>Label", "<name>Hex", "<name>Swatch") and whether the dialog shows it. A hidden colour has
/// no controls; it keeps its value and the windows go on using it.
struct ColourRowInfo {
    ColourSlot slot;
    int text;
    const char* name;
    bool visible;
};
extern const std::array<ColourRowInfo, kColourSlotCount> kColourRows;

class VisualPreferencesDialog : public ProgramDialog {
    Q_OBJECT
public:
    /// What the dialog asks of its owner when colours are applied.
    struct Hooks {
        std::function<void(int repaint)> settingsChanged; ///< the owner's `WM_SETTINGSCHANGED`
        std::function<void()> saveSettings;
    };

    VisualPreferencesDialog(QWidget* parent, ProgramSettings& settings, const LanguageStrings& strings,
                            Hooks hooks);

    /// The colours as edited, in slot order.
    const ColourSlots& Edited() const { return rows_; }
    bool ApplyEnabled() const;
    /// Copies the edited colours into the preferences, tells the owner, repaints every open window,
    /// saves the preferences and disables Apply.
    void Apply();
    /// Opens the colour palette for the colour of a slot, as a click on its swatch does.
    void OpenPalette(ColourSlot slot);

private:
    struct Row {
        QLabel* label = nullptr;
        HexColourField* hex = nullptr;
        ColourSwatch* swatch = nullptr;
    };

    void ColourTyped(ColourSlot slot, uint32_t colour);
    void ShowAllColours();
    void SetTexts();
    void Place();
    QString Text(int number) const;

    ProgramSettings& settings_;
    const LanguageStrings& strings_;
    Hooks hooks_;
    ColourSlots rows_;
    std::array<Row, kColourSlotCount> controls_{};
    QLabel* note_ = nullptr;
    PillButton* ok_ = nullptr;
    PillButton* cancel_ = nullptr;
    PillButton* apply_ = nullptr;
};

} // namespace mw
