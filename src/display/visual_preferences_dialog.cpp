#include "display/visual_preferences_dialog.hpp"

#include <QApplication>

#include "display/colour_palette_dialog.hpp"

namespace mw {

const std::array<ColourRowInfo, kColourSlotCount> kColourRows = {{
    {kColourDialogBackground, 215, "dialogBackground", true},
    {kColourDialogText, 216, "dialogText", true},
    {kColourModuleBackground, 217, "moduleBackground", true},
    {kColourModuleText, 218, "moduleText", true},
    {kColourModuleDropDownBackground, 293, "moduleDropDownBackground", true},
    {kColourModuleDropDownText, 294, "moduleDropDownText", true},
    {kColourNormalButtonBackground, 220, "normalButtonBackground", true},
    {kColourNormalButtonText, 221, "normalButtonText", true},
    {kColourDefaultButtonBackground, 222, "defaultButtonBackground", false},
    {kColourDefaultButtonText, 223, "defaultButtonText", false},
    {kColourFocusedButtonBackground, 224, "focusedButtonBackground", true},
    {kColourFocusedButtonText, 225, "focusedButtonText", true},
    {kColourDisabledButtonBackground, 226, "disabledButtonBackground", true},
    {kColourDisabledButtonText, 227, "disabledButtonText", true},
    {kColourHotButtonBackground, 228, "hotButtonBackground", false},
    {kColourHotButtonText, 229, "hotButtonText", false},
    {kColourInactiveButtonBackground, 230, "inactiveButtonBackground", false},
    {kColourInactiveButtonText, 231, "inactiveButtonText", false},
}};

VisualPreferencesDialog::VisualPreferencesDialog(QWidget* parent, ProgramSettings& settings,
                                                 const LanguageStrings& strings, Hooks hooks)
    : ProgramDialog(parent, settings), settings_(settings), strings_(strings), hooks_(std::move(hooks)),
      rows_(settings.ColourSettings) {
    setObjectName(QStringLiteral("visualPreferences"));
    for (const ColourRowInfo& info : kColourRows) {
        if (!info.visible) continue;
        const ColourSlot slot = info.slot;
        const QString name = QString::fromLatin1(info.name);
        Row& row = controls_[slot];
        row.label = new QLabel(this);
        row.label->setObjectName(name + "Label");
        row.label->setWordWrap(true);
        row.label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        row.hex = new HexColourField([this, slot] { return rows_[slot]; }, this);
        row.hex->setObjectName(name + "Hex");
        row.hex->Show(rows_[slot]);
        connect(row.hex, &HexColourField::colourTyped, this,
                [this, slot](uint32_t colour) { ColourTyped(slot, colour); });
        row.swatch = new ColourSwatch([this, slot] { return rows_[slot]; }, this);
        row.swatch->setObjectName(name + "Swatch");
        row.swatch->SetPickable(true);
        connect(row.swatch, &ColourSwatch::clicked, this, [this, slot] { OpenPalette(slot); });
    }
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("restartNote"));
    note_->setWordWrap(true);
    ok_ = AddButton(QString(), 0, 0, 1, 1);
    ok_->setObjectName(QStringLiteral("ok"));
    cancel_ = AddButton(QString(), 0, 0, 1, 1);
    cancel_->setObjectName(QStringLiteral("cancel"));
    apply_ = AddButton(QString(), 0, 0, 1, 1);
    apply_->setObjectName(QStringLiteral("apply"));
    apply_->setEnabled(false);
    connect(ok_, &QPushButton::clicked, this, [this] {
        Apply();
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(apply_, &QPushButton::clicked, this, [this] { Apply(); });

    SetTexts();
    Place();
}

QString VisualPreferencesDialog::Text(int number) const {
    return QString::fromStdString(strings_.Text(number));
}

bool VisualPreferencesDialog::ApplyEnabled() const {
    return apply_->isEnabled();
}

void VisualPreferencesDialog::ColourTyped(ColourSlot slot, uint32_t colour) {
    if (colour == rows_[slot]) return;
    rows_[slot] = colour;
    controls_[slot].swatch->update();
    apply_->setEnabled(true);
}

void VisualPreferencesDialog::ShowAllColours() {
    for (const Row& row : controls_) {
        if (row.hex == nullptr) continue;
        const auto slot = ColourSlot(&row - controls_.data());
        row.hex->Show(rows_[slot]);
        row.swatch->update();
    }
}

void VisualPreferencesDialog::Apply() {
    settings_.ColourSettings = rows_;
    if (hooks_.settingsChanged) {
        hooks_.settingsChanged(1);
    }
    // Every open window paints in the new colours from now on (the backgrounds of open dialogs
    // keep theirs until they are opened again).
    for (QWidget* window : QApplication::topLevelWidgets()) {
        window->update();
    }
    update();
    if (hooks_.saveSettings) {
        hooks_.saveSettings();
    }
    apply_->setEnabled(false);
}

void VisualPreferencesDialog::OpenPalette(ColourSlot slot) {
    if (!kColourRows[slot].visible) return;
    ColourPaletteDialog palette(this, settings_, strings_, rows_[slot], [this] {
        ShowAllColours();
        apply_->setEnabled(true);
    });
    palette.exec();
}

void VisualPreferencesDialog::SetTexts() {
    setWindowTitle(Text(214));
    for (const ColourRowInfo& info : kColourRows) {
        if (info.visible) controls_[info.slot].label->setText(Text(info.text));
    }
    note_->setText(Text(219));
    ok_->setText(Text(45));
    cancel_->setText(Text(46));
    apply_->setText(Text(47));
}

void VisualPreferencesDialog::Place() {
    // Two columns of six rows: the dialog and module colours on the left, the buttons' on the
    // right; each row a label of up to two lines, the hex field and the swatch.
    constexpr int kLabelWidth = 150;
    constexpr int kColumnWidth = kLabelWidth + 4 + 44 + 4 + 26;
    constexpr int kRowPitch = 21;
    int column = 0;
    int line = 0;
    for (const ColourRowInfo& info : kColourRows) {
        if (!info.visible) continue;
        if (info.slot == kColourNormalButtonBackground) {
            column = 1;
            line = 0;
        }
        const Row& row = controls_[info.slot];
        const int x = 7 + column * (kColumnWidth + 12);
        const int y = 7 + line * kRowPitch;
        PlaceDu(*row.label, x, y, kLabelWidth, 18);
        PlaceDu(*row.hex, x + kLabelWidth + 4, y + 3, 44, 12);
        PlaceDu(*row.swatch, x + kLabelWidth + 52, y + 3, 26, 12);
        ++line;
    }
    const int width = 7 + 2 * kColumnWidth + 12 + 7;
    const int top = 7 + 6 * kRowPitch + 2;
    PlaceDu(*note_, 7, top, width - 14, 18);
    PlaceDu(*ok_, width - 7 - 3 * 80 - 2 * 5, top + 24, 80, 16);
    PlaceDu(*cancel_, width - 7 - 2 * 80 - 5, top + 24, 80, 16);
    PlaceDu(*apply_, width - 7 - 80, top + 24, 80, 16);
    SetSizeDu(width, top + 24 + 16 + 7);
}

} // namespace mw
