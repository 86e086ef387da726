#pragma once
// Pieces the shell's dialogs are built from: check boxes whose captions wrap, and texts taken from
// the language table.

#include <QCheckBox>
#include <QLabel>
#include <QString>

#include "editor/pill_widgets.hpp"

namespace mw {

/// A check box with its caption as a word-wrapping label beside it, so that a long caption takes
/// as many lines as its language needs. Clicking the caption clicks the box. The box carries the
/// object name; the caption is named after it with "Text" appended.
class CheckRow {
public:
    CheckRow(QWidget& parent, const QString& name);

    QCheckBox& Box() const { return *box_; }
    QLabel& Caption() const { return *caption_; }

    void SetText(const QString& text);
    void SetChecked(bool checked) { box_->setChecked(checked); }
    bool IsChecked() const { return box_->isChecked(); }
    /// Enables or disables the box and its caption together.
    void SetEnabled(bool enabled);
    /// Places the row on a rectangle in dialog units: the box at its top left, the caption beside it.
    void Place(const ProgramDialog& dialog, int x, int y, int width, int height);

private:
    QCheckBox* box_;
    QLabel* caption_;
};

/// A word-wrapping label with the given object name.
QLabel* AddWrappingLabel(QWidget& parent, const QString& name,
                         Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);

/// A pill button with an object name; its place is set later by the dialog's layout.
PillButton* AddNamedButton(ProgramDialog& dialog, const QString& name);

} // namespace mw
