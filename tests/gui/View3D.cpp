// The mouse-status 3-D view: the smoothing of its three values, the freeze while hidden, and, on an
// X server with OpenGL, pixels of the picture at points projected from the scene's geometry; without
// OpenGL, its failure messages and a blank view.
#include <QMatrix4x4>
#include <QtTest>
#include <cmath>

#include "display/mouse_status_view.hpp"

using namespace mw;
using namespace mw::display;

namespace {

struct Fixture {
    ProgramSettings settings;
    RawMeasures measures{};
    QWidget top;
    MouseStatusView view{measures, settings, &top};
    std::vector<int> errors;

    explicit Fixture(QSize size = QSize(320, 200)) {
        view.reportError = [this](int n) { errors.push_back(n); };
        top.resize(size);
        view.setGeometry(QRect(QPoint(0, 0), size));
    }
    bool Show() {
        top.show();
        return QTest::qWaitForWindowExposed(&top);
    }
};

QRgb Rgb(uint32_t colourRef) {
    return qRgb(RedOf(colourRef), GreenOf(colourRef), BlueOf(colourRef));
}

// The scene's transforms as the view builds them, for a picture of `w` x `h` pixels.
QMatrix4x4 Projection(const ViewState& s, int w, int h) {
    QMatrix4x4 m;
    m.perspective(float(37.0 - s.smoothedAccel), float(w) / float(h), 0.1f, 100.0f);
    m.translate(float(s.smoothedTurn / 150.0), float(std::abs(s.smoothedTurn) / 1000.0 - 0.7), 0.0f);
    m.rotate(float(s.smoothedTurn / 15.0), 0, 1, 0);
    m.rotate(float(-s.smoothedTurn / 70.0), 0, 0, 1);
    m.rotate(6.0f, 1, 0, 0);
    return m;
}

struct Vertex {
    QVector2D at;
    uint32_t colour;
};

// The colour the triangle `t` (in the plane z of model space, transformed by `m`) shows at the centre
// of the pixel onto which the model point `probe` falls, with `pixel` set to that pixel.
QRgb ExpectedAt(const QMatrix4x4& m, const std::array<Vertex, 3>& t, float z, QVector2D probe, int w, int h,
                QPoint& pixel) {
    const QVector3D ndc = m.map(QVector3D(probe, z));
    pixel = QPoint(int(std::floor((ndc.x() + 1) / 2 * w)), int(std::floor((1 - ndc.y()) / 2 * h)));
    const float nx = (pixel.x() + 0.5f) / w * 2 - 1, ny = 1 - (pixel.y() + 0.5f) / h * 2;
    const QMatrix4x4 inverse = m.inverted();
    const QVector3D near = inverse.map(QVector3D(nx, ny, -1)), far = inverse.map(QVector3D(nx, ny, 1));
    const QVector3D q = near + (far - near) * ((z - near.z()) / (far.z() - near.z()));
    const QVector2D a = t[0].at, b = t[1].at, c = t[2].at, p(q.x(), q.y());
    const auto cross = [](QVector2D u, QVector2D v) { return u.x() * v.y() - u.y() * v.x(); };
    const float area = cross(b - a, c - a);
    const float l1 = cross(p - a, c - a) / area, l2 = cross(b - a, p - a) / area, l0 = 1 - l1 - l2;
    const auto mix = [&](auto channel) {
        return int(std::lround(
            255 * (l0 * channel(t[0].colour) + l1 * channel(t[1].colour) + l2 * channel(t[2].colour)) /
            255.0));
    };
    return qRgb(mix(RedOf), mix(GreenOf), mix(BlueOf));
}

bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3 &&
           std::abs(qBlue(a) - qBlue(b)) <= 3;
}

QString Text(QRgb c) {
    return QStringLiteral("(%1, %2, %3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

bool OnXWithOpenGl() {
    return QGuiApplication::platformName() == QLatin1String("xcb") &&
           qEnvironmentVariableIsEmpty("MW_VIEW3D_NO_GL");
}

} // namespace

class View3D : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void smoothing_data();
    void smoothing();
    void hidingFreezes();
    void pixels();
    void withoutOpenGl();
};

void View3D::smoothing_data() {
    QTest::addColumn<double>("turnInertia");
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("acceleration");
    QTest::addColumn<int>("frames");
    QTest::addColumn<double>("turn");
    QTest::addColumn<double>("accel");
    QTest::addColumn<double>("smoothedSpeed");
    QTest::addColumn<double>("needle");
    QTest::addColumn<double>("fieldOfView");
    // At rest nothing moves: the needle at -220 degrees, the field of view 37 degrees.
    QTest::newRow("rest") << 0.0 << 0.0 << 0.0 << 50 << 0.0 << 0.0 << 0.0 << -220.0 << 37.0;
    // One frame takes 7 %: 97 x 20/97 = 20, -450 x -1/450 = 1, 1000 x 0.001 = 1.
    QTest::newRow("one frame") << 97.0 << 1000.0 << -450.0 << 1 << 1.4 << 0.07 << 0.07 << -232.6 << 36.93;
    // Two frames: 0.07 + 0.93 x 0.07 = 0.1351 of the value.
    QTest::newRow("two frames") << -97.0 << 2000.0 << 450.0 << 2 << -2.702 << -0.1351 << 0.2702 << -268.636
                                << 37.1351;
    // 180 x 2 = 360 is beyond the needle's limit of 320.
    QTest::newRow("huge speed") << 0.0 << 2000.0 << 0.0 << 2000 << 0.0 << 0.0 << 2.0 << -540.0 << 37.0;
}

void View3D::smoothing() {
    QFETCH(double, turnInertia);
    QFETCH(double, speed);
    QFETCH(double, acceleration);
    QFETCH(int, frames);
    QFETCH(double, turn);
    QFETCH(double, accel);
    QFETCH(double, smoothedSpeed);
    ViewState s;
    for (int k = 0; k < frames; ++k) s = NextViewState(s, turnInertia, speed, acceleration);
    QVERIFY(std::abs(s.smoothedTurn - turn) < 1e-9);
    QVERIFY(std::abs(s.smoothedAccel - accel) < 1e-9);
    QVERIFY(std::abs(s.smoothedSpeed - smoothedSpeed) < 1e-9);
    QFETCH(double, needle);
    QFETCH(double, fieldOfView);
    QVERIFY(std::abs(NeedleRotation(s) - needle) < 1e-9);
    const Camera camera = CameraOf(s);
    QVERIFY(std::abs(camera.fieldOfView - fieldOfView) < 1e-9);
    QVERIFY(std::abs(camera.shiftX - s.smoothedTurn / 150) < 1e-12);
    QVERIFY(std::abs(camera.shiftY - (std::abs(s.smoothedTurn) / 1000 - 0.7)) < 1e-12);
    QCOMPARE(camera.tiltX, 6.0);
}

void View3D::hidingFreezes() {
    Fixture f;
    QVERIFY(f.Show());
    f.measures[kTurnInertiaMeasure] = 97.0;
    f.measures[kSpeedMeasure] = 1000.0;
    f.view.Tick();
    const ViewState one = NextViewState({}, 97.0, 1000.0, 0.0);
    QCOMPARE(f.view.State(), one);
    f.view.hide();
    for (int k = 0; k < 3; ++k) f.view.Tick();
    QCOMPARE(f.view.State(), one);
    f.view.show();
    f.view.Tick();
    QCOMPARE(f.view.State(), NextViewState(one, 97.0, 1000.0, 0.0));
    f.top.showMinimized();
    QTRY_VERIFY(f.top.isMinimized());
    const ViewState before = f.view.State();
    f.view.Tick();
    QCOMPARE(f.view.State(), before);
}

void View3D::pixels() {
    if (!OnXWithOpenGl()) QSKIP("needs an X server with OpenGL (run by tests/e2e/view3d.sh)");
    const int w = 1200, h = 800;
    Fixture f(QSize(w, h));
    auto& c = f.settings.ColourSettings;
    c[kColourDialogBackground] = ColourRefFromRgb(250, 240, 200);
    c[kColourModuleBackground] = ColourRefFromRgb(200, 30, 40);
    c[kColourModuleText] = ColourRefFromRgb(20, 60, 180);
    c[kColourDisabledButtonText] = ColourRefFromRgb(30, 160, 60);
    QVERIFY(f.Show());
    QVERIFY(!f.view.Grab().isNull());
    QVERIFY(f.view.Working());
    QVERIFY(f.errors.empty());

    struct Probe {
        const char* what;
        ViewState state;
        double direction;
        double rotation; // about z, degrees
        float z;
        std::array<Vertex, 3> triangle;
        QVector2D at;
    };
    const uint32_t B = c[kColourDialogBackground], MB = c[kColourModuleBackground], MT = c[kColourModuleText],
                   DT = c[kColourDisabledButtonText];
    // The arrow's first triangle (tip, left corner, centre). Where the needle would be, the tube's
    // front disc (depth -7, before the needle's -9.9) shows in MT.
    const std::array<Vertex, 3> arrow{{{{0.0f, 0.3f}, MB}, {{-0.15f, -0.3f}, DT}, {{0.0f, 0.0f}, B}}};
    const std::array<Vertex, 3> hidden{{{{0.0f, 0.45f}, MT}, {{-0.1125f, -0.45f}, MT}, {{0.0f, 0.0f}, MT}}};
    ViewState huge;
    huge.smoothedSpeed = 5.0;
    const Probe probes[] = {
        {"arrow tip at rest", {}, 0.0, 180.0, -0.99f, arrow, {-0.019f, 0.15f}},
        {"arrow's left corner, direction 500", {}, 500.0, 90.0, -0.99f, arrow, {-0.075f, -0.1f}},
        {"arrow tip, camera turned and widened",
         {10.0, -3.0, 0.0},
         0.0,
         180.0,
         -0.99f,
         arrow,
         {-0.019f, 0.15f}},
        // At rest (-220 degrees) and at the 320 limit (-540) the needle points downwards.
        {"needle at rest, hidden", {}, 0.0, -220.0, -3.9f, hidden, {-0.025f, 0.05f}},
        {"needle at the 320 limit, hidden", huge, 0.0, -540.0, -3.9f, hidden, {-0.025f, 0.05f}},
    };
    for (const Probe& p : probes) {
        f.view.SetState(p.state);
        f.measures[kDirectionMeasure] = p.direction;
        const QImage picture = f.view.Grab();
        QCOMPARE(picture.size(), QSize(w, h));
        QCOMPARE(QColor(picture.pixel(2, h - 3)).rgb(), Rgb(B));
        QMatrix4x4 model;
        model.translate(0, 0, -6);
        model.rotate(float(p.rotation), 0, 0, 1);
        QPoint pixel;
        const QRgb expected =
            ExpectedAt(Projection(p.state, w, h) * model, p.triangle, p.z, p.at, w, h, pixel);
        const QRgb seen = picture.pixel(pixel);
        if (!Near(seen, expected))
            QFAIL(qPrintable(QStringLiteral("%1: pixel (%2, %3) is %4, expected %5")
                                 .arg(QLatin1String(p.what))
                                 .arg(pixel.x())
                                 .arg(pixel.y())
                                 .arg(Text(seen), Text(expected))));
    }
}

void View3D::withoutOpenGl() {
    if (qEnvironmentVariableIsEmpty("MW_VIEW3D_NO_GL")) QSKIP("run by tests/e2e/view3d.sh without OpenGL");
    Fixture f;
    QVERIFY(f.Show());
    QTRY_COMPARE(f.errors, (std::vector<int>{MouseStatusView::kTextNoContext, MouseStatusView::kTextFailed}));
    QVERIFY(!f.view.Working());
    // The program goes on: the window still takes events.
    QTest::qWait(50);
    QVERIFY(f.top.isVisible());
}

QTEST_MAIN(View3D)
#include "View3D.moc"
