// The main window's status display: what the sampler thread hands its view reaches the widgets, the
// check box shows and hides the indicators, the needle is the sampler's picture, the texts fit.
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include "app/shell/app_context.hpp"
#include "app/shell/status_display.hpp"
#include "base/text.hpp"
#include "editor/fonts.hpp"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Fixture {
    mw::ProgramSettings settings;
    mw::LanguageStrings strings;
    mw::GeneralStrings general;
    mw::AppContext context{settings, strings, general, [] {}};
    mw::MouseSamplerControls controls;
    mw::StatusDisplay display{context, controls, nullptr};

    Fixture() {
        mw::ApplyLanguage(strings, mw::kLanguageEnglish, {});
        display.Retranslate();
        display.resize(1100, 360);
        display.show();
    }
    /// Runs `feed` on a thread of its own, as the sampler does.
    void FromSampler(const std::function<void(mw::MouseStatusView&)>& feed) {
        std::thread([&] { feed(display.View()); }).join();
    }
    template <class W> W* Find(const char* name) { return display.findChild<W*>(QString::fromLatin1(name)); }
};

} // namespace

class StatusDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void indicatorsFollowTheView_data();
    void indicatorsFollowTheView();
    void checkBoxShowsAndHides();
    void needleIsTheSamplersPicture();
    void textsAndColours();
    void textsFitInEveryLanguage();
};

void StatusDisplay::indicatorsFollowTheView_data() {
    QTest::addColumn<double>("theta");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("horizontal");
    QTest::addColumn<int>("vertical");
    QTest::newRow("left") << kPi << 500 << -1000 << 0;
    QTest::newRow("up") << -kPi / 2 << -1000 << 0 << 1000;
    QTest::newRow("down and right") << kPi / 4 << -250 << 500 << -500;
    QTest::newRow("up and left") << -3 * kPi / 4 << -1250 << -500 << 500;
}

void StatusDisplay::indicatorsFollowTheView() {
    QFETCH(double, theta);
    QFETCH(int, direction);
    QFETCH(int, horizontal);
    QFETCH(int, vertical);
    Fixture f;
    f.FromSampler([&](mw::MouseStatusView& view) {
        view.Begin(mw::ScreenRect{-1280, 0, 1920, 1080}, {});
        view.ShowIndicators({1234, 567, -90, 45, 250, -12, 3, -4, 5, -6, 7, -8, 9});
        view.ShowDirection(theta);
    });
    struct Expected {
        const char* name;
        int minimum, maximum, value;
        Qt::Orientation orientation;
    };
    const Expected expected[] = {
        {"Horizontal Position", -1280, 1919, 1234, Qt::Horizontal},
        {"Vertical Position", 0, 1079, 567, Qt::Vertical},
        {"Turn Inertia", -180, 180, -90, Qt::Horizontal},
        {"Turn Inertia'", -180, 180, 45, Qt::Horizontal},
        {"Acceleration", -100, 100, -12, Qt::Horizontal},
        {"Horizontal Velocity", -100, 100, 3, Qt::Horizontal},
        {"Vertical Velocity", -100, 100, -4, Qt::Vertical},
        {"Horizontal Acceleration", -100, 100, 5, Qt::Horizontal},
        {"Vertical Acceleration", -100, 100, -6, Qt::Vertical},
        {"Scroll Position", -100, 100, 7, Qt::Vertical},
        {"Scroll Velocity", -100, 100, -8, Qt::Vertical},
        {"Scroll Acceleration", -100, 100, 9, Qt::Vertical},
        {"Direction", -1500, 500, direction, Qt::Horizontal},
        {"Direction Horizontal Signed", -1000, 1000, horizontal, Qt::Horizontal},
        {"Direction Vertical Signed", -1000, 1000, vertical, Qt::Horizontal},
    };
    QTRY_COMPARE(f.Find<QSlider>("Direction")->value(), direction);
    for (const Expected& e : expected) {
        const QSlider* slider = f.Find<QSlider>(e.name);
        QVERIFY2(slider, e.name);
        QCOMPARE(slider->minimum(), e.minimum);
        QCOMPARE(slider->maximum(), e.maximum);
        QCOMPARE(slider->value(), e.value);
        QCOMPARE(slider->orientation(), e.orientation);
        QCOMPARE(slider->focusPolicy(), Qt::NoFocus);
    }
    // The speed bar: 0..200, a faster speed stands at the end.
    const QProgressBar* bar = f.Find<QProgressBar>("Speed");
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 200);
    QCOMPARE(bar->value(), 200);
    QCOMPARE(f.display.findChildren<QSlider*>().size(), 15);
}

void StatusDisplay::checkBoxShowsAndHides() {
    Fixture f;
    QSignalSpy spy(&f.display, &mw::StatusDisplay::indicatorsShownChanged);
    auto* check = f.Find<QCheckBox>("indicatorCheck");
    QVERIFY(check->isChecked());
    QCOMPARE(check->text(), QStringLiteral("Show mouse-status indicator items"));
    QCOMPARE(f.display.title(), QStringLiteral("Status Display"));
    for (const bool shown : {false, true}) {
        check->click();
        QCOMPARE(f.settings.ShowStatusIndicators, uint8_t(shown));
        QCOMPARE(bool(f.controls.showStatusIndicators), shown);
        QCOMPARE(spy.takeFirst().at(0).toBool(), shown);
        for (const char* name : {"Horizontal Position", "Scroll Acceleration", "Speed", "needle", "backdrop"})
            QCOMPARE(f.Find<QWidget>(name)->isVisible(), shown);
    }
    // Set by the program: the check box follows, nothing is announced.
    f.display.SetIndicatorsShown(false);
    QVERIFY(!check->isChecked());
    QVERIFY(!f.controls.showStatusIndicators);
    QVERIFY(spy.isEmpty());
}

void StatusDisplay::needleIsTheSamplersPicture() {
    Fixture f;
    f.display.SetNeedleSize(40);
    f.FromSampler([](mw::MouseStatusView& view) { view.ShowDirection(0.0); });
    auto* needle = f.Find<mw::DirectionNeedle>("needle");
    QCOMPARE(needle->size(), QSize(40, 40));
    // Dialog text 00007F on the dialog background FFFFFF, as 0x00RRGGBB.
    std::vector<uint32_t> expected(40 * 40);
    mw::DrawDirectionNeedle(expected, 40, 0.0, 0x00007F, 0xFFFFFF);
    QImage shown;
    QTRY_VERIFY((shown = needle->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 shown.pixel(30, 20) % 0x1000000 == 0x00007F));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) QCOMPARE(shown.pixel(x, y) & 0xFFFFFFu, expected[size_t(y * 40 + x)]);
    // Moving right from the centre (20, 20): the tail to the left in the mean colour, 127 127 191.
    QCOMPARE(shown.pixel(10, 20) & 0xFFFFFFu, 0x7F7FBFu);
    QCOMPARE(shown.pixel(20, 10) & 0xFFFFFFu, 0xFFFFFFu);
}

void StatusDisplay::textsAndColours() {
    Fixture f;
    QSignalSpy latency(&f.display, &mw::StatusDisplay::latencyCaption);
    QSignalSpy rate(&f.display, &mw::StatusDisplay::controlRateCaption);
    QSignalSpy restore(&f.display, &mw::StatusDisplay::captionRestoreTimer);
    QSignalSpy current(&f.display, &mw::StatusDisplay::currentLatency);
    f.FromSampler([](mw::MouseStatusView& view) {
        view.ShowSpeedClass("Your mouse is currently walking at ");
        view.ShowSpeed("21 pixels per second.");
        for (int k = 0; k < 50; ++k) view.ShowDistance(std::to_string(k));
        view.ShowLatencyCaption("20 milliseconds");
        view.ShowControlRateCaption("1000 hertz");
        view.StartCaptionRestoreTimer();
        view.ShowCurrentLatency("12");
    });
    QTRY_COMPARE(f.Find<QLabel>("distance")->text(), QStringLiteral("49"));
    QCOMPARE(f.Find<QLabel>("speedClass")->text(), QStringLiteral("Your mouse is currently walking at "));
    QCOMPARE(f.Find<QLabel>("speed")->text(), QStringLiteral("21 pixels per second."));
    QCOMPARE(latency.size(), 1);
    QCOMPARE(latency.at(0).at(0).toString(), QStringLiteral("20 milliseconds"));
    QCOMPARE(rate.at(0).at(0).toString(), QStringLiteral("1000 hertz"));
    QCOMPARE(restore.size(), 1);
    QCOMPARE(current.at(0).at(0).toString(), QStringLiteral("12"));

    auto* device = f.Find<QLabel>("deviceMessage");
    f.display.SetDeviceMessage(QStringLiteral("The output device cannot be opened."));
    QVERIFY(device->isVisible());
    f.display.SetDeviceMessage({});
    QVERIFY(!device->isVisible());

    // White on dark green, or the dialog colours (text 00007F on FFFFFF) with PlainStatusColours.
    const QWidget* distance = f.Find<QWidget>("distance");
    QCOMPARE(distance->palette().color(QPalette::Window), QColor(0, 0x50, 0));
    QCOMPARE(distance->palette().color(QPalette::WindowText), QColor(Qt::white));
    f.settings.PlainStatusColours = 1;
    f.display.ApplyColours();
    QCOMPARE(distance->palette().color(QPalette::Window), QColor(255, 255, 255));
    QCOMPARE(distance->palette().color(QPalette::WindowText), QColor(0, 0, 127));
}

void StatusDisplay::textsFitInEveryLanguage() {
    Fixture f;
    for (const uint16_t code : {mw::kLanguageEnglish, mw::kLanguageDeutsch, mw::kLanguageFrancais,
                                mw::kLanguageEspanol, mw::kLanguageJapanese}) {
        mw::ApplyLanguage(f.strings, code, {});
        f.display.setFont(mw::DialogFont(code));
        f.display.Retranslate();
        const QFontMetrics metrics(f.display.font());
        auto fits = [&](const QString& text, const char* widget) {
            const int room = f.Find<QWidget>(widget)->width();
            QVERIFY2(
                metrics.horizontalAdvance(text) <= room,
                qPrintable(
                    QStringLiteral("%1 (%2 > %3)").arg(text).arg(metrics.horizontalAdvance(text)).arg(room)));
        };
        const auto text = [&](int number) { return f.strings.Text(number); };
        for (int number = 18; number <= 24; ++number)
            fits(QString::fromStdString(text(number) + mw::FormatNumberText(text(25), 4294967295.0)),
                 "speedLine");
        fits(QString::fromStdString(mw::FormatNumberText(text(53), 1e12)), "distance");
        auto* check = f.Find<QCheckBox>("indicatorCheck");
        QVERIFY2(check->sizeHint().width() <= check->width(), qPrintable(check->text()));
    }
}

QTEST_MAIN(StatusDisplay)
#include "StatusDisplay.moc"
