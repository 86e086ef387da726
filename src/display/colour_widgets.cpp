#include "display/colour_widgets.hpp"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
#include <cmath>

#include "display/colour_math.hpp"
#include "editor/colours.hpp"

namespace mw {

namespace {

// The eyedropper in the program's own colours: a glass tube with a drop of blue at its tip, a
// collar in the focused-button blue and a rubber bulb in the button blue, outlined in the dark
// blue of the texts and haloed in white so that it shows on dark colours too.
QPixmap EyedropperPixmap(qreal scale) {
    constexpr int kSize = 32;
    QPixmap pixmap(int(std::ceil(kSize * scale)), int(std::ceil(kSize * scale)));
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    // Drawn along the x axis from the tip, then turned to point down to the left.
    painter.translate(2.5, 29.5);
    painter.rotate(-45.0);

    // The glass tube and the drop inside it: the same pointed rod, `length` long from the tip.
    const auto rod = [](qreal length) {
        QPainterPath path;
        path.moveTo(0, 0);
        path.lineTo(4, -2);
        path.lineTo(length, -2);
        path.lineTo(length, 2);
        path.lineTo(4, 2);
        path.closeSubpath();
        return path;
    };
    QPainterPath tube = rod(19);
    QPainterPath drop = rod(9);
    QPainterPath collar;
    collar.addRoundedRect(QRectF(18, -4.5, 4, 9), 1, 1);
    QPainterPath bulb;
    bulb.addRoundedRect(QRectF(21.5, -3.5, 16, 7), 3.5, 3.5);

    const QColor outline(0x00, 0x00, 0x7F);
    const QPen halo(Qt::white, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QPen edge(outline, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    for (const QPainterPath* part : {&tube, &collar, &bulb}) {
        painter.strokePath(*part, halo);
    }
    painter.fillPath(tube, QColor(0xF4, 0xF8, 0xFF));
    painter.fillPath(drop, QColor(0x89, 0x89, 0xFF));
    painter.fillPath(bulb, QColor(0x89, 0x89, 0xFF));
    painter.fillPath(collar, QColor(0x3F, 0x7F, 0xFF));
    for (const QPainterPath* part : {&tube, &bulb, &collar}) {
        painter.strokePath(*part, edge);
    }
    // A highlight along the bulb.
    painter.setPen(QPen(QColor(0xDD, 0xE4, 0xFF), 1.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(24.5, -1.5), QPointF(34.5, -1.5));
    return pixmap;
}

} // namespace

QCursor PickingCursor() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal scale = screen ? std::max<qreal>(1.0, screen->devicePixelRatio()) : 1.0;
    // The hot spot is in the pixmap's own (scaled) pixels.
    return QCursor(EyedropperPixmap(scale), int(2 * scale), int(29 * scale));
}

ColourSwatch::ColourSwatch(std::function<uint32_t()> colour, QWidget* parent)
    : QWidget(parent), colour_(std::move(colour)) {}

void ColourSwatch::SetPickable(bool pickable) {
    pickable_ = pickable;
    if (pickable) {
        setCursor(PickingCursor());
    } else {
        unsetCursor();
    }
}

void ColourSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(colour_()));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColourSwatch::mousePressEvent(QMouseEvent* event) {
    if (pickable_ && event->button() == Qt::LeftButton) {
        Q_EMIT clicked();
        return;
    }
    QWidget::mousePressEvent(event);
}

HexColourField::HexColourField(std::function<uint32_t()> colour, QWidget* parent)
    : QLineEdit(parent), colour_(std::move(colour)) {
    setMaxLength(12);
    connect(this, &QLineEdit::textChanged, this, &HexColourField::TextChanged);
}

void HexColourField::Show(uint32_t colour) {
    showing_ = true;
    setText(QString::fromStdString(HexText(colour)));
    showing_ = false;
}

void HexColourField::TextChanged(const QString& text) {
    if (showing_) return;
    const std::string typed = text.toStdString();
    const std::string cleaned = CleanHexText(typed);
    if (cleaned != typed) {
        // The cursor stays behind the digits it was behind. Writing the cleaned text back changes
        // the text again, and that change reports the colour.
        int cursor = 0;
        for (int i = 0; i < cursorPosition() && i < text.size(); ++i) {
            if (!CleanHexText(QString(text[i]).toStdString()).empty()) ++cursor;
        }
        setText(QString::fromStdString(cleaned));
        setCursorPosition(cursor);
        return;
    }
    Q_EMIT colourTyped(ColourOfHexText(cleaned));
}

void HexColourField::focusOutEvent(QFocusEvent* event) {
    if (text().size() != 6) {
        Show(colour_());
    }
    QLineEdit::focusOutEvent(event);
}

} // namespace mw
