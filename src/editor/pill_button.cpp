#include "editor/pill_button.hpp"

#include <QPainterPath>

namespace mw {

namespace {

/// The rectangle inset by `inset` pixels, rounded with corner ellipses `ends` wide and high.
QPainterPath PillPath(const QRect& rectangle, int inset, int ends) {
    QPainterPath path;
    const QRectF inner = QRectF(rectangle).adjusted(inset, inset, -inset, -inset);
    if (inner.isEmpty()) {
        return path;
    }
    const qreal radius = ends / 2.0;
    path.addRoundedRect(inner, radius, radius);
    return path;
}

} // namespace

void DrawPillButton(QPainter& painter, const QRect& rectangle, const ButtonState& state,
                    const ColourSlots& colours, const QString& text, const QFont& font) {
    if (rectangle.isEmpty()) {
        return;
    }
    const PillColours pill = PillColoursOf(state, colours);
    const int ends = rectangle.height();
    const QPainterPath outline = PillPath(rectangle, 0, ends);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false); // the rings are exactly one pixel wide
    painter.setClipPath(outline, Qt::IntersectClip);
    painter.fillRect(rectangle, ToQColor(pill.background));

    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(font);
    painter.setPen(ToQColor(pill.text));
    painter.drawText(rectangle,
                     Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip | Qt::TextShowMnemonic, text);

    const uint32_t rings[] = {pill.outerRing, pill.middleRing, pill.innerRing};
    QPainterPath outside = outline;
    for (int ring = 0; ring < 3; ++ring) {
        const QPainterPath inside = PillPath(rectangle, ring + 1, ends);
        painter.fillPath(outside.subtracted(inside), ToQColor(rings[ring]));
        outside = inside;
    }
    painter.restore();
}

} // namespace mw
