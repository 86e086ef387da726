#pragma once
// Whether a window's texts fit their controls: every label, button and group box of the window is
// measured in its own font against its own rectangle, and every control must lie inside the window.

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QWidget>

#include "editor/pill_widgets.hpp"

/// The object names (class names for unnamed ones) of the shown controls of `window` whose text does
/// not fit: a push button's single line must fit inside its pill without running over the round ends
/// (`PillTextRoom`), for a pill button at the size it draws it; a check box's text beside the
/// indicator; a label's text, wrapped if the label wraps, inside its contents rectangle; a group box's title
/// across the box. A control that reaches outside the window counts as clipped as well. Controls of other
/// windows (message boxes, dialogs owned by this one) are not looked at.
inline QStringList ClippedTexts(const QWidget& window) {
    QStringList clipped;
    for (const QWidget* child : window.findChildren<QWidget*>()) {
        if (child->window() != &window || !child->isVisibleTo(&window)) {
            continue;
        }
        const QFontMetrics metrics(child->font());
        const QRect inWindow(child->mapTo(&window, QPoint(0, 0)), child->size());
        bool fits = window.rect().contains(inWindow);
        if (const auto* label = qobject_cast<const QLabel*>(child)) {
            const QRect room = label->contentsRect();
            if (!label->text().isEmpty()) {
                const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0) |
                                  (label->buddy() ? Qt::TextShowMnemonic : 0);
                const QRect need =
                    metrics.boundingRect(QRect(0, 0, room.width(), 100000), flags, label->text());
                fits = fits && need.width() <= room.width() && need.height() <= room.height();
            }
        } else if (const auto* group = qobject_cast<const QGroupBox*>(child)) {
            const QSize need = metrics.size(Qt::TextShowMnemonic, group->title());
            fits = fits && need.width() + metrics.averageCharWidth() * 2 <= group->width() &&
                   need.height() <= group->height();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(child)) {
            // A pill button draws a long text smaller, down to its smallest size.
            const auto* pill = qobject_cast<const mw::PillButton*>(button);
            const QFontMetrics drawn(pill ? pill->DrawnFont() : child->font());
            const QSize need = drawn.size(Qt::TextSingleLine | Qt::TextShowMnemonic, button->text());
            int room = mw::PillTextRoom(button->size(), need.height());
            if (qobject_cast<const QCheckBox*>(button) || qobject_cast<const QRadioButton*>(button)) {
                const QStyle* style = button->style();
                room = button->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, button) -
                       style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, button);
            }
            fits = fits &&
                   (button->text().isEmpty() || (need.width() <= room && need.height() <= button->height()));
        }
        if (!fits) {
            clipped << (child->objectName().isEmpty() ? QString::fromLatin1(child->metaObject()->className())
                                                      : child->objectName());
        }
    }
    return clipped;
}
