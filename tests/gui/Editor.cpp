// What every window shares: the pill buttons' colours and drawing, the module control colours, the
// dialog font rule and dialog units.
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "editor/colours.hpp"
#include "editor/dialog_units.hpp"
#include "editor/fonts.hpp"
#include "editor/pill_button.hpp"

Q_DECLARE_METATYPE(mw::ButtonState)
Q_DECLARE_METATYPE(mw::PillColours)
Q_DECLARE_METATYPE(mw::ControlColourKind)
Q_DECLARE_METATYPE(mw::ControlColours)

namespace {

constexpr uint32_t Rgb(int r, int g, int b) {
    return mw::ColourRefFromRgb(uint8_t(r), uint8_t(g), uint8_t(b));
}

constexpr uint32_t kBlack = Rgb(0, 0, 0);
constexpr uint32_t kWhite = Rgb(255, 255, 255);
constexpr uint32_t kModule = Rgb(204, 221, 221);
constexpr uint32_t kOuter = Rgb(211, 226, 226);
constexpr uint32_t kFocusedMiddle = Rgb(229, 238, 238);

uint32_t PixelAt(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return c.alpha() == 0 ? 0xFF000000u : Rgb(c.red(), c.green(), c.blue());
}

} // namespace

class Editor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pillColours_data();
    void pillColours();
    void ringsMixExactly();
    void pillPixels();
    void moduleControlColours_data();
    void moduleControlColours();
    void dialogFontRule();
    void dialogUnitsToPixels();
    void dialogUnitsScaleWithTheFont();
};

void Editor::pillColours_data() {
    using S = mw::ButtonState;
    using C = mw::PillColours;
    QTest::addColumn<S>("state");
    QTest::addColumn<C>("expected");
    QTest::newRow("normal") << S{} << C{Rgb(137, 137, 255), kWhite, kOuter, kModule, kOuter};
    QTest::newRow("focused") << S{.focus = true}
                             << C{Rgb(63, 127, 255), kWhite, kOuter, kFocusedMiddle, kOuter};
    QTest::newRow("disabled") << S{.disabled = true}
                              << C{Rgb(137, 152, 255), Rgb(200, 200, 200), kOuter, kModule, kOuter};
    QTest::newRow("focus wins over disabled")
        << S{.focus = true, .disabled = true} << C{Rgb(63, 127, 255), kWhite, kOuter, kFocusedMiddle, kOuter};
    QTest::newRow("focus and hot: hot")
        << S{.focus = true, .hot = true} << C{kBlack, kBlack, kOuter, kFocusedMiddle, kOuter};
    QTest::newRow("disabled wins over inactive")
        << S{.disabled = true, .inactive = true}
        << C{Rgb(137, 152, 255), Rgb(200, 200, 200), kOuter, kModule, kOuter};
    QTest::newRow("inactive, hot, default")
        << S{.inactive = true, .hot = true, .isDefault = true} << C{kBlack, kBlack, kOuter, kModule, kOuter};
}

void Editor::pillColours() {
    QFETCH(mw::ButtonState, state);
    QFETCH(mw::PillColours, expected);
    QVERIFY(mw::PillColoursOf(state, mw::kDefaultColourSettings) == expected);
}

void Editor::ringsMixExactly() {
    // 0.85 x 255 + 0.15 x 255 is 255, not a hair below it.
    mw::ColourSlots colours = mw::kDefaultColourSettings;
    colours[mw::kColourModuleBackground] = kWhite;
    QCOMPARE(mw::PillColoursOf({}, colours).outerRing, kWhite);
    QCOMPARE(mw::MixColours(Rgb(204, 221, 1), Rgb(255, 255, 0), 50), Rgb(229, 238, 0));
}

void Editor::pillPixels() {
    QImage image(200, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        mw::DrawPillButton(painter, image.rect(), {.focus = true}, mw::kDefaultColourSettings, "Start",
                           mw::PillButtonFont());
    }
    const uint32_t outside = 0xFF000000u;
    const struct {
        int x, y;
        uint32_t colour;
    } pixels[] = {
        {0, 0, outside},
        {2, 2, outside},
        {199, 19, outside}, // corners: round ends of radius 10
        {10, 0, kOuter},
        {0, 10, kOuter},
        {199, 10, kOuter},
        {20, 19, kOuter},
        {1, 10, kFocusedMiddle},
        {20, 1, kFocusedMiddle},
        {2, 10, kOuter},
        {20, 2, kOuter},
        {3, 10, Rgb(63, 127, 255)},
        {20, 3, Rgb(63, 127, 255)},
    };
    for (const auto& p : pixels) {
        QCOMPARE(PixelAt(image, p.x, p.y), p.colour);
    }
    bool textDrawn = false; // some white text in the middle
    for (int x = 60; x < 140; ++x) {
        textDrawn = textDrawn || PixelAt(image, x, 10) == kWhite;
    }
    QVERIFY(textDrawn);
}

void Editor::moduleControlColours_data() {
    using K = mw::ControlColourKind;
    using C = mw::ControlColours;
    QTest::addColumn<K>("kind");
    QTest::addColumn<int>("control");
    QTest::addColumn<C>("expected");
    const C label{Rgb(0, 0, 127), kModule, kModule};
    const C dropDown{Rgb(50, 0, 0), Rgb(200, 255, 255), kModule};
    QTest::newRow("label") << K::Static << 1000 << label;
    QTest::newRow("drop-down") << K::DropDown << 1000 << dropDown;
    QTest::newRow("window") << K::Dialog << 0 << dropDown;
    QTest::newRow("note-sequence text") << K::Edit << 1302 << label;
    QTest::newRow("polyphonicator slider") << K::ListBox << 1069 << label;
    QTest::newRow("installer folder") << K::Edit << 1396 << label;
}

void Editor::moduleControlColours() {
    QFETCH(mw::ControlColourKind, kind);
    QFETCH(int, control);
    QFETCH(mw::ControlColours, expected);
    QVERIFY(mw::ModuleControlColours(kind, control, mw::kDefaultColourSettings) == expected);
}

void Editor::dialogFontRule() {
    const struct {
        uint16_t language;
        mw::DialogFontGroup group;
        bool replaced;
        int points;
    } rows[] = {
        {0, mw::DialogFontGroup::Standard, false, 8},        {3, mw::DialogFontGroup::Setup, false, 8},
        {4, mw::DialogFontGroup::Standard, true, 8},         {1000, mw::DialogFontGroup::Standard, true, 8},
        {4, mw::DialogFontGroup::Setup, true, 10},           {5, mw::DialogFontGroup::Standard, false, 8},
        {1, mw::DialogFontGroup::LanguageChoice, false, 14},
    };
    const QFont templateFont = mw::DialogFont(0);
    const QFont replacementFont = mw::DialogFont(4); // the same as the template's where neither is installed
    for (const auto& row : rows) {
        QCOMPARE(mw::UsesReplacementDialogFont(row.language), row.replaced);
        const QFont font = mw::DialogFont(row.language, row.group);
        QCOMPARE(font.pointSize(), row.points);
        if (row.group == mw::DialogFontGroup::Standard) {
            QVERIFY(font == (row.replaced ? replacementFont : templateFont));
        }
    }
}

void Editor::dialogUnitsToPixels() {
    // Each edge rounds on its own: 7 x 6 / 4 = 10.5 -> 11, 57 x 6 / 4 = 85.5 -> 86, 7 x 13 / 8 = 11.375
    // -> 11, 21 x 13 / 8 = 34.125 -> 34.
    QCOMPARE(mw::DialogUnitsToPixels(QRect(7, 7, 50, 14), {6, 13}), QRect(11, 11, 75, 23));
    QCOMPARE(mw::DialogUnitsToPixels(QRect(0, 0, 4, 8), {8, 16}), QRect(0, 0, 8, 16));
    QCOMPARE(mw::MulDivRounded(-7, 6, 4), -11);
}

void Editor::dialogUnitsScaleWithTheFont() {
    QFont small = mw::DialogFont(0);
    QFont large = small;
    large.setPointSize(small.pointSize() * 2);
    const mw::DialogBaseUnits smallUnits = mw::BaseUnitsOf(small);
    QVERIFY(smallUnits.width > 0 && smallUnits.height > 0);
    const QRect dialogUnits(0, 0, 200, 100);
    const QRect smallRect = mw::DialogUnitsToPixels(dialogUnits, smallUnits);
    const QRect largeRect = mw::DialogUnitsToPixels(dialogUnits, mw::BaseUnitsOf(large));
    const double widthRatio = double(largeRect.width()) / smallRect.width();
    const double heightRatio = double(largeRect.height()) / smallRect.height();
    QVERIFY2(widthRatio > 1.8 && widthRatio < 2.2, qPrintable(QString::number(widthRatio)));
    QVERIFY2(heightRatio > 1.8 && heightRatio < 2.2, qPrintable(QString::number(heightRatio)));
}

QTEST_MAIN(Editor)
#include "Editor.moc"
