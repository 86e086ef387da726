#pragma once
// The widgets every window is built from: the pill push button and the dialog base that carries
// the dialog font, the dialog colours, dialog-unit placement and the key rules of the program's
// dialogs.

#include <QDialog>
#include <QPushButton>
#include <QRect>
#include <QRegion>

#include "app/settings/program_settings.hpp"
#include "editor/dialog_units.hpp"
#include "editor/fonts.hpp"

namespace mw {

/// A push button drawn by `DrawPillButton` in the colours of the preferences. The colours are read
/// at every paint, so a colour change shows at the next repaint. Focus gives the focused pair; a
/// disabled button the disabled pair. Hover and the default-button state choose no pair of their
/// own (their default colours are black on black).
class PillButton : public QPushButton {
    Q_OBJECT
public:
    /// `colours` must outlive the button (the preferences live for the whole run).
    PillButton(const QString& text, const ColourSlots& colours, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    /// When the text is wider than the pill leaves room for (`PillTextRoom`) or higher than the
    /// pill, it is drawn smaller, down to `kSmallestPointSize`, instead of running over the ends;
    /// on by default (the stand-ins of the designed fonts differ in width from machine to machine).
    void SetShrinkToFit(bool on) { shrinkToFit_ = on; }
    static constexpr qreal kSmallestPointSize = 6.0;
    /// The font the text is drawn with at the button's present size.
    QFont DrawnFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ColourSlots& colours_;
    bool shrinkToFit_ = true;
};

/// The base of the program's dialogs: built with the dialog font of its group (the font rule of
/// the language), painted in dialog colours 1 (background) and 2 (text), placed in dialog units.
/// Esc does not close it (the key goes on to the focused control) and Enter presses no default
/// button unless a subclass asks for it.
class ProgramDialog : public QDialog {
    Q_OBJECT
public:
    ProgramDialog(QWidget* parent, const ProgramSettings& settings,
                  DialogFontGroup group = DialogFontGroup::Standard);

    const ProgramSettings& Settings() const { return settings_; }
    /// The base units of the dialog's font.
    DialogBaseUnits BaseUnits() const;
    /// A rectangle in dialog units converted to pixels.
    QRect Du(int x, int y, int width, int height) const;
    /// Sets the client size from dialog units.
    void SetSizeDu(int width, int height);
    /// Places a child on a rectangle given in dialog units.
    void PlaceDu(QWidget& child, int x, int y, int width, int height) const;
    /// A pill button child placed on a rectangle in dialog units.
    PillButton* AddButton(const QString& text, int x, int y, int width, int height);
    /// Re-reads the font rule and the dialog colours (after a language or colour change).
    void ApplyLook();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    const ProgramSettings& settings_;
    DialogFontGroup group_;
};

/// The width a centred line of text `textHeight` pixels high has inside a pill of `size`: the width
/// less, at each end, how far the round end's curve lies inside at the text's top and bottom.
int PillTextRoom(const QSize& size, int textHeight);

/// A rectangle with corners rounded to ellipses `ellipse` pixels wide and high (a window's shape).
QRegion RoundedRegion(const QRect& rectangle, int ellipse);

/// Sets a widget's palette to the dialog colours (window and text roles).
void ApplyDialogColours(QWidget& widget, const ColourSlots& colours);

} // namespace mw

namespace mw {

/// A file-dialog filter of the language texts ("Description (*.a)|*.a;*.b|All Files (*.*)|*.*||":
/// pairs of description and patterns) as Qt writes it ("Description (*.a *.b);;All Files (*)").
QString QtFileFilter(const QString& filter);

} // namespace mw
