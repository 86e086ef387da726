#pragma once
// The pieces both colour dialogs are built from: the colour swatch, the hexadecimal colour field
// and the picking cursor.

#include <QCursor>
#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace mw {

/// The eyedropper cursor shown over the colour pictures that a click picks from; its tip is the hot
/// spot. Drawn once per screen scale.
QCursor PickingCursor();

/// A solid picture of one colour in a thin frame. The colour is read at every paint, so a swatch
/// that shows a stored colour follows it at the next repaint. A pickable swatch shows the picking
/// cursor and reports left clicks.
class ColourSwatch : public QWidget {
    Q_OBJECT
public:
    ColourSwatch(std::function<uint32_t()> colour, QWidget* parent);
    void SetPickable(bool pickable);

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<uint32_t()> colour_;
    bool pickable_ = false;
};

/// A field that edits a colour as hexadecimal text (at most 12 characters): every change drops
/// the characters that are not hexadecimal digits (writing the cleaned text back when it dropped
/// any) and reports the colour the text stands for; losing the focus with a text that is not six
/// characters long rewrites it from the colour it edits.
class HexColourField : public QLineEdit {
    Q_OBJECT
public:
    /// `colour` reads the colour the field edits (for the rewrite on focus loss).
    HexColourField(std::function<uint32_t()> colour, QWidget* parent);
    /// Shows a colour's hex text without reporting it as typed.
    void Show(uint32_t colour);

Q_SIGNALS:
    /// The text now stands for this colour.
    void colourTyped(uint32_t colour);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void TextChanged(const QString& text);

    std::function<uint32_t()> colour_;
    bool showing_ = false;
};

} // namespace mw
