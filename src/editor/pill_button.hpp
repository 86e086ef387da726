#pragma once
// The owner-drawn push button of every window: a pill in the colours of the preferences.

#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>

#include "editor/colours.hpp"

namespace mw {

/// Draws a push button into its rectangle: a pill whose ends are half-circles of the rectangle's
/// height, filled with the state's background colour, the text centred on one line in the state's
/// text colour (not clipped to the rectangle, only to the pill), and three rings of one pixel: on
/// the rectangle and on the rectangle inset by one and by two pixels. As in every button caption,
/// "&&" shows one ampersand and "&" underlines the mnemonic letter after it. Keeps no state; the
/// painter's settings are restored on return.
void DrawPillButton(QPainter& painter, const QRect& rectangle, const ButtonState& state,
                    const ColourSlots& colours, const QString& text, const QFont& font);

} // namespace mw
