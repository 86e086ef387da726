// The colour dialogs: how typed hex texts are read and rewritten, the colour triangle's corners and
// brightness, picking, what Apply and Cancel keep, and that no text is clipped in any language.
#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QtTest>

#include "app/shell/main_window.hpp"
#include "audio/memory_output.hpp"
#include "display/colour_math.hpp"
#include "display/colour_palette_dialog.hpp"
#include "display/visual_preferences_dialog.hpp"
#include "layout_check.hpp"
#include "sources/memory_input.hpp"
#include "sources/memory_midi.hpp"
#include "sources/scripted_pointer.hpp"

namespace {

constexpr uint32_t Rgb(int r, int g, int b) {
    return mw::ColourRefFromRgb(uint8_t(r), uint8_t(g), uint8_t(b));
}

struct Fixture {
    mw::ProgramSettings settings;
    mw::LanguageStrings strings;
    int saves = 0;
    std::vector<int> changes;

    explicit Fixture(uint16_t language = mw::kLanguageEnglish) {
        settings.LanguageCode = language;
        mw::ApplyLanguage(settings, strings);
    }
    mw::VisualPreferencesDialog::Hooks Hooks() {
        return {[this](int repaint) { changes.push_back(repaint); }, [this] { ++saves; }};
    }
};

template <class T = QAbstractButton> T* Child(const QObject& parent, const QString& name) {
    T* child = parent.findChild<T*>(name);
    if (!child) qFatal("no control %s", qPrintable(name));
    return child;
}

void Type(QLineEdit& field, const QString& keys) {
    field.clear();
    QTest::keyClicks(&field, keys);
}

void LoseFocus(QWidget& field) {
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(&field, &out);
}

void SendMouse(QWidget& widget, QEvent::Type type, QPoint at) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget.mapToGlobal(at), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

class Colours : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typedHexTexts();
    void triangle();
    void pickingFollowsTheHeldButton();
    void channelsAndHexAgree();
    void applyAndCancel();
    void paletteCancelChangesNothing();
    void nothingClipped();
    void mainWindowTakesTheAppliedColours();
};

void Colours::typedHexTexts() {
    const struct {
        const char* typed;
        const char* shown;
        uint32_t colour;
        const char* afterFocusLoss;
    } rows[] = {
        {"abc", "abc", Rgb(0, 10, 188), "000ABC"},
        {"12G45Z", "1245", Rgb(0, 18, 69), "001245"},
        {"#ff8000", "ff8000", Rgb(255, 128, 0), "ff8000"},
        {"1234567", "1234567", Rgb(0x12, 0x34, 0x56), "123456"},
        {"", "", Rgb(0, 0, 0), "000000"},
    };
    for (const auto& row : rows) {
        // The same rule in the visual preferences and in the palette.
        Fixture f;
        mw::VisualPreferencesDialog visual(nullptr, f.settings, f.strings, f.Hooks());
        auto* field = Child<QLineEdit>(visual, "moduleTextHex");
        Type(*field, row.typed);
        QCOMPARE(std::pair(field->text(), visual.Edited()[mw::kColourModuleText]),
                 std::pair(QString(row.shown), row.colour));
        QVERIFY(visual.ApplyEnabled());
        LoseFocus(*field);
        QCOMPARE(field->text(), QString(row.afterFocusLoss));

        uint32_t edited = Rgb(1, 2, 3);
        mw::ColourPaletteDialog palette(nullptr, f.settings, f.strings, edited, {});
        auto* hex = Child<QLineEdit>(palette, "hex");
        Type(*hex, row.typed);
        QCOMPARE(std::pair(hex->text(), palette.NewColour()), std::pair(QString(row.shown), row.colour));
        LoseFocus(*hex);
        QCOMPARE(hex->text(), QString(row.afterFocusLoss));
    }
    QCOMPARE(mw::HexText(Rgb(0, 10, 188)), std::string("000ABC"));
}

void Colours::triangle() {
    // 200 pixels wide: e = 25; equilateral height 50 + floor(150 × √3 / 2) = 179.
    QCOMPARE(mw::TrianglePictureHeight(200), 179);
    QVERIFY(mw::TriangleCornersOf(200, 179) == (mw::TriangleCorners{{100, 25}, {25, 154}, {175, 154}}));
    const struct {
        int x, y, brightness;
        uint32_t colour;
    } rows[] = {
        {25, 154, 255, Rgb(255, 0, 0)},     // B
        {175, 154, 255, Rgb(0, 255, 0)},    // C
        {100, 25, 255, Rgb(1, 1, 255)},     // A: 255 − 255 × √22266 / 150 = 1.33 for red and green
        {25, 154, 128, Rgb(255, 127, 127)}, // 0 + 127/255 × 255 towards white
        {25, 154, 384, Rgb(127, 0, 0)},     // 255 − 128/255 × 255 towards black
        {0, 178, 255, Rgb(196, 0, 0)},      // 255 − 255 × √1201 / 150 = 196.09
    };
    for (const auto& row : rows) {
        QCOMPARE(mw::TriangleColourAt(200, 179, row.x, row.y, row.brightness), row.colour);
    }
    for (const auto& extreme : {std::pair(0, Rgb(255, 255, 255)), std::pair(511, Rgb(0, 0, 0))}) {
        const uint32_t colour = extreme.second;
        const std::vector<uint32_t> picture = mw::TrianglePicture(200, 179, extreme.first);
        QCOMPARE(picture.size(), size_t(200 * 179));
        QVERIFY(std::all_of(picture.begin(), picture.end(), [colour](uint32_t c) { return c == colour; }));
    }
}

void Colours::pickingFollowsTheHeldButton() {
    Fixture f;
    uint32_t edited = Rgb(1, 2, 3);
    mw::ColourPaletteDialog palette(nullptr, f.settings, f.strings, edited, {});
    auto* triangle = Child<mw::ColourTriangle>(palette, "triangle");
    triangle->setFixedSize(200, 179);
    SendMouse(*triangle, QEvent::MouseButtonPress, {25, 154});
    QCOMPARE(palette.NewColour(), Rgb(255, 0, 0));
    QCOMPARE(Child<QLineEdit>(palette, "hex")->text(), QString("FF0000"));
    QVERIFY(palette.ApplyEnabled());
    // Outside the picture the nearest pixel of its edge is picked.
    SendMouse(*triangle, QEvent::MouseMove, {-40, 300});
    QCOMPARE(palette.NewColour(), Rgb(196, 0, 0));
    SendMouse(*triangle, QEvent::MouseButtonRelease, {-40, 300});
    SendMouse(*triangle, QEvent::MouseMove, {175, 154});
    QCOMPARE(palette.NewColour(), Rgb(196, 0, 0));
    // A darker triangle at the brightest corner.
    Child<QSlider>(palette, "brightness")->setValue(384);
    SendMouse(*triangle, QEvent::MouseButtonPress, {25, 154});
    QCOMPARE(palette.NewColour(), Rgb(127, 0, 0));
    QCOMPARE(edited, Rgb(1, 2, 3));
}

void Colours::channelsAndHexAgree() {
    Fixture f;
    uint32_t edited = Rgb(1, 2, 3);
    mw::ColourPaletteDialog palette(nullptr, f.settings, f.strings, edited, {});
    auto* hex = Child<QLineEdit>(palette, "hex");
    QCOMPARE(std::pair(hex->text(), palette.ApplyEnabled()), std::pair(QString("010203"), false));
    Child<QSlider>(palette, "red")->setValue(200);
    QCOMPARE(std::pair(hex->text(), Child<QLineEdit>(palette, "redNumber")->text()),
             std::pair(QString("C80203"), QString("200")));
    Type(*Child<QLineEdit>(palette, "greenNumber"), "300"); // limited to 255
    QCOMPARE(std::pair(hex->text(), Child<QSlider>(palette, "green")->value()),
             std::pair(QString("C8FF03"), 255));
    Type(*hex, "010203");
    QCOMPARE(std::tuple(Child<QSlider>(palette, "red")->value(),
                        Child<QLineEdit>(palette, "blueNumber")->text(), palette.ApplyEnabled()),
             std::tuple(1, QString("3"), false));
}

void Colours::applyAndCancel() {
    Fixture f;
    f.settings.ColourSettings[mw::kColourHotButtonBackground] = Rgb(1, 2, 3); // hidden, kept
    const mw::ColourSlots before = f.settings.ColourSettings;
    {
        mw::VisualPreferencesDialog visual(nullptr, f.settings, f.strings, f.Hooks());
        QVERIFY(!visual.findChild<QWidget*>("hotButtonBackgroundHex"));
        QVERIFY(Child<QWidget>(visual, "dialogTextSwatch")->cursor().shape() == Qt::BitmapCursor);
        QVERIFY(!visual.ApplyEnabled());
        auto* field = Child<QLineEdit>(visual, "dialogTextHex");
        field->end(false);
        QTest::keyClicks(field, "xyz"); // dropped again: the same colour
        QVERIFY(!visual.ApplyEnabled() && field->text() == "00007F");
        Type(*field, "abc");
        Child(visual, "cancel")->click();
    }
    QVERIFY(f.settings.ColourSettings == before);
    QCOMPARE(std::pair(f.saves, f.changes.size()), std::pair(0, size_t(0)));

    mw::VisualPreferencesDialog visual(nullptr, f.settings, f.strings, f.Hooks());
    Type(*Child<QLineEdit>(visual, "dialogTextHex"), "abc");
    Child(visual, "apply")->click();
    mw::ColourSlots expected = before;
    expected[mw::kColourDialogText] = Rgb(0, 10, 188);
    QVERIFY(f.settings.ColourSettings == expected);
    QCOMPARE(std::tuple(f.saves, f.changes, visual.ApplyEnabled()),
             std::tuple(1, std::vector<int>{1}, false));
}

void Colours::paletteCancelChangesNothing() {
    Fixture f;
    const mw::ColourSlots before = f.settings.ColourSettings;
    mw::VisualPreferencesDialog visual(nullptr, f.settings, f.strings, f.Hooks());
    auto* hex = Child<QLineEdit>(visual, "moduleBackgroundHex");
    // The palette opens from the swatch; pick red in it, then leave by the named button.
    for (const char* leave : {"cancel", "ok"}) {
        QTimer::singleShot(0, [leave] {
            QWidget* palette = QApplication::activeModalWidget();
            QVERIFY(palette && palette->objectName() == "colourPalette");
            Type(*Child<QLineEdit>(*palette, "hex"), "FF0000");
            Child(*palette, leave)->click();
        });
        QTest::mouseClick(Child<QWidget>(visual, "moduleBackgroundSwatch"), Qt::LeftButton);
        if (QString(leave) == "cancel") {
            QCOMPARE(std::pair(hex->text(), visual.ApplyEnabled()), std::pair(QString("CCDDDD"), false));
            QVERIFY(visual.Edited() == before);
        }
    }
    QCOMPARE(std::tuple(hex->text(), visual.Edited()[mw::kColourModuleBackground], visual.ApplyEnabled()),
             std::tuple(QString("FF0000"), Rgb(255, 0, 0), true));
    QVERIFY(f.settings.ColourSettings == before); // not before the visual preferences apply
}

void Colours::nothingClipped() {
    QStringList clipped;
    for (const uint16_t language : {0, 1, 2, 3, 4}) {
        Fixture f(language);
        uint32_t edited = 0;
        mw::VisualPreferencesDialog visual(nullptr, f.settings, f.strings, f.Hooks());
        mw::ColourPaletteDialog palette(nullptr, f.settings, f.strings, edited, {});
        for (const QDialog* dialog : {static_cast<QDialog*>(&visual), static_cast<QDialog*>(&palette)}) {
            for (const QString& control : ClippedTexts(*dialog))
                clipped << QString("%1.%2 (%3)").arg(dialog->objectName(), control).arg(language);
        }
    }
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(", ")));
}

void Colours::mainWindowTakesTheAppliedColours() {
    mw::MemoryOutputBackend output;
    mw::MemoryMidiBackend midi;
    mw::MemoryInputBackend input;
    mw::ScriptedPointer pointer({}, mw::ScreenRect{0, 0, 1600, 1000});
    Fixture f;
    f.settings.FirstStartDone = 1;
    mw::GeneralStrings general;
    mw::AppContext context{f.settings, f.strings, general, [&f] { ++f.saves; }};
    mw::MainWindow window(context, {output, midi, input, pointer}, {});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Options, Visual Preferences, a new dialog background, Okay; then the preferences are cancelled.
    QTimer::singleShot(0, [] {
        QWidget* preferences = QApplication::activeModalWidget();
        QTimer::singleShot(0, [] {
            QWidget* visual = QApplication::activeModalWidget();
            Type(*Child<QLineEdit>(*visual, "dialogBackgroundHex"), "abc");
            Child(*visual, "ok")->click();
        });
        Child(*preferences, "visualPreferences")->click();
        Child(*preferences, "cancel")->click();
    });
    Child(window, "options")->click();
    QCOMPARE(std::tuple(f.settings.ColourSettings[mw::kColourDialogBackground], f.saves,
                        window.palette().color(QPalette::Window)),
             std::tuple(Rgb(0, 10, 188), 1, QColor(0, 10, 188)));
    QSignalSpy finished(&window, &mw::MainWindow::closingFinished);
    window.Exit();
    QVERIFY(finished.wait(2000));
}

QTEST_MAIN(Colours)
#include "Colours.moc"
