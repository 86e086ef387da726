#pragma once
// Dialog units: the sizes of the windows' layouts, scaled by the font a window is built with.
//
// A horizontal dialog unit is a quarter of the font's average character width, a vertical one an
// eighth of its height, so a layout grows with the font (a larger language font, a larger screen
// scale) and keeps its proportions.

#include <QFont>
#include <QRect>

namespace mw {

/// The average character width and the character height of a font, in pixels.
struct DialogBaseUnits {
    int width = 0;
    int height = 0;
    bool operator==(const DialogBaseUnits&) const = default;
};

/// The base units of a font: the width of the 52 letters "A".."Z", "a".."z" divided by 26, halved
/// with rounding up; the height of the font (ascent plus descent).
DialogBaseUnits BaseUnitsOf(const QFont& font);

/// value × numerator / denominator, rounded to the nearest integer, halves away from zero
/// (denominator not 0).
int MulDivRounded(int value, int numerator, int denominator);

/// Converts a rectangle in dialog units to pixels: each edge on its own, x edges by width / 4 and
/// y edges by height / 8.
QRect DialogUnitsToPixels(const QRect& dialogUnits, const DialogBaseUnits& base);

} // namespace mw
