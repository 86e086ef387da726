#include "editor/dialog_units.hpp"

#include <QFontMetrics>
#include <QString>
#include <cstdint>

namespace mw {

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabet =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{(alphabet / 26 + 1) / 2, metrics.ascent() + metrics.descent()};
}

int MulDivRounded(int value, int numerator, int denominator) {
    int64_t product = int64_t(value) * numerator;
    if (denominator < 0) {
        product = -product;
        denominator = -denominator;
    }
    const int64_t half = denominator / 2;
    return int(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

QRect DialogUnitsToPixels(const QRect& dialogUnits, const DialogBaseUnits& base) {
    // Edges as exclusive coordinates, mapped one by one.
    const int left = MulDivRounded(dialogUnits.x(), base.width, 4);
    const int top = MulDivRounded(dialogUnits.y(), base.height, 8);
    const int right = MulDivRounded(dialogUnits.x() + dialogUnits.width(), base.width, 4);
    const int bottom = MulDivRounded(dialogUnits.y() + dialogUnits.height(), base.height, 8);
    return QRect(left, top, right - left, bottom - top);
}

} // namespace mw
