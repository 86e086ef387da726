#include "editor/pill_widgets.hpp"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "editor/colours.hpp"
#include "editor/pill_button.hpp"

namespace mw {

PillButton::PillButton(const QString& text, const ColourSlots& colours, QWidget* parent)
    : QPushButton(text, parent), colours_(colours) {
    setAutoDefault(false);
    setFont(PillButtonFont());
}

QSize PillButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const QSize text = metrics.size(Qt::TextShowMnemonic, this->text());
    return QSize(text.width() + text.height() * 2, text.height() + 8);
}

QFont PillButton::DrawnFont() const {
    QFont drawn = font();
    if (!shrinkToFit_) return drawn;
    auto tooLarge = [&] {
        const QSize need = QFontMetrics(drawn).size(Qt::TextSingleLine | Qt::TextShowMnemonic, text());
        return need.width() > PillTextRoom(size(), need.height()) || need.height() > height();
    };
    while (drawn.pointSizeF() > kSmallestPointSize && tooLarge()) {
        drawn.setPointSizeF(std::max(kSmallestPointSize, drawn.pointSizeF() - 0.5));
    }
    return drawn;
}

void PillButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    ButtonState state;
    state.focus = hasFocus();
    state.disabled = !isEnabled();
    const QFont drawn = DrawnFont();
    DrawPillButton(painter, rect(), state, colours_, text(), drawn);
}

ProgramDialog::ProgramDialog(QWidget* parent, const ProgramSettings& settings, DialogFontGroup group)
    : QDialog(parent), settings_(settings), group_(group) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ApplyLook();
}

DialogBaseUnits ProgramDialog::BaseUnits() const {
    return BaseUnitsOf(font());
}

QRect ProgramDialog::Du(int x, int y, int width, int height) const {
    return DialogUnitsToPixels(QRect(x, y, width, height), BaseUnits());
}

void ProgramDialog::SetSizeDu(int width, int height) {
    setFixedSize(Du(0, 0, width, height).size());
}

void ProgramDialog::PlaceDu(QWidget& child, int x, int y, int width, int height) const {
    child.setGeometry(Du(x, y, width, height));
}

PillButton* ProgramDialog::AddButton(const QString& text, int x, int y, int width, int height) {
    auto* button = new PillButton(text, settings_.ColourSettings, this);
    PlaceDu(*button, x, y, width, height);
    return button;
}

void ProgramDialog::ApplyLook() {
    setFont(DialogFont(settings_.LanguageCode, group_));
    ApplyDialogColours(*this, settings_.ColourSettings);
}

void ProgramDialog::keyPressEvent(QKeyEvent* event) {
    // Esc closes none of the program's dialogs; Enter presses no button of its own accord.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

int PillTextRoom(const QSize& size, int textHeight) {
    const double r = size.height() / 2.0;
    const double y = std::min(r, textHeight / 2.0);
    const double inset = r - std::sqrt(r * r - y * y);
    return int(size.width() - 2.0 * inset);
}

void ApplyDialogColours(QWidget& widget, const ColourSlots& colours) {
    QPalette palette = widget.palette();
    const QColor background = ToQColor(colours[kColourDialogBackground]);
    const QColor text = ToQColor(colours[kColourDialogText]);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

} // namespace mw

namespace mw {

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        if (description.isEmpty()) break;
        const int open = description.lastIndexOf('(');
        if (open > 0 && description.endsWith(')')) description = description.left(open).trimmed();
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == "*.*") p = "*";
        }
        filters << description + " (" + patterns.join(' ') + ")";
    }
    return filters.join(";;");
}

// A rectangle with its corners cut to ellipses `ellipse` wide and high.
QRegion RoundedRegion(const QRect& r, int ellipse) {
    if (r.width() < ellipse || r.height() < ellipse) return QRegion(r);
    const int half = ellipse / 2;
    QRegion region(r.adjusted(half, 0, -half, 0));
    region += QRegion(r.adjusted(0, half, 0, -half));
    const QRect corner(0, 0, ellipse, ellipse);
    region += QRegion(corner.translated(r.left(), r.top()), QRegion::Ellipse);
    region += QRegion(corner.translated(r.right() - ellipse + 1, r.top()), QRegion::Ellipse);
    region += QRegion(corner.translated(r.left(), r.bottom() - ellipse + 1), QRegion::Ellipse);
    region += QRegion(corner.translated(r.right() - ellipse + 1, r.bottom() - ellipse + 1), QRegion::Ellipse);
    return region;
}

} // namespace mw
