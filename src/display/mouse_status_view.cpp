#include "display/mouse_status_view.hpp"

#include <GL/gl.h>
#include <GL/glu.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QPainter>
#include <QSurfaceFormat>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace mw::display {

namespace {

constexpr double kKeep = 0.93;
constexpr double kTake = 0.07;
constexpr double kPi = std::numbers::pi;

void Colour(uint32_t c) {
    glColor3d(RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0);
}

// A point on a circle of `radius` at `angle`, measured as (sin, cos): 0 is up, a quarter turn right.
void Rim(double radius, double angle, double z, double raiseY = 0.0) {
    glVertex3d(radius * std::sin(angle), radius * std::cos(angle) + raiseY, z);
}

struct Colours {
    uint32_t background, moduleBackground, moduleText, disabledText;
};

void DrawTorus(const Colours& c) {
    constexpr double kRing = 1.4, kTube = 0.13, du = kPi / 32, dv = kPi / 6;
    auto point = [](double u, double v) {
        const double r = kRing + kTube * std::sin(v);
        glVertex3d(r * std::sin(u), r * std::cos(u), kTube * std::cos(v));
    };
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 64; ++i) {
        const double u = i * du, u1 = (i + 1) * du;
        for (int j = 0; j < 12; ++j) {
            const double v = j * dv, v1 = (j + 1) * dv;
            Colour(c.moduleBackground);
            point(u, v);
            point(u1, v);
            point(u, v1);
            Colour(c.moduleText);
            point(u1, v);
            point(u1, v1);
            point(u, v1);
        }
    }
    glEnd();
}

void DrawTube(const Colours& c) {
    constexpr double kRadius = 0.4, step = kPi / 16;
    glBegin(GL_TRIANGLES);
    Colour(c.moduleText);
    for (int i = 0; i < 32; ++i) {
        glVertex3d(0.0, 0.0, -1.0);
        Rim(kRadius, i * step, -1.0);
        Rim(kRadius, (i + 1) * step, -1.0);
    }
    glEnd();
    glBegin(GL_QUADS);
    for (int i = 0; i < 32; ++i) {
        const double a = i * step, a1 = a + step;
        Colour(c.moduleText);
        Rim(kRadius, a, -1.0);
        Rim(kRadius, a1, -1.0);
        Colour(c.background);
        Rim(kRadius, a1, -13.0);
        Rim(kRadius, a, -13.0);
    }
    glEnd();
}

void DrawWedges(const Colours& c) {
    constexpr double kDegree = kPi / 180;
    glBegin(GL_QUADS);
    for (const auto& [from, to] : {std::pair{95.0, 125.0}, std::pair{235.0, 265.0}}) {
        Colour(c.moduleText);
        Rim(0.4, from * kDegree, -1.01, 0.1);
        Rim(0.4, to * kDegree, -1.01);
        Colour(c.moduleBackground);
        Rim(1.4, to * kDegree, -0.01);
        Rim(1.4, from * kDegree, -0.01);
    }
    glEnd();
}

void DrawRing(const Colours& c) {
    constexpr double kRadius = 0.5, step = kPi / 16;
    glBegin(GL_TRIANGLES);
    Colour(c.moduleBackground);
    for (int i = 0; i < 32; ++i) {
        glVertex3d(0.0, 0.0, -4.0);
        Rim(kRadius, i * step, -4.0);
        Rim(kRadius, (i + 1) * step, -4.0);
    }
    glEnd();
    glBegin(GL_QUADS);
    Colour(c.moduleText);
    for (int i = 0; i < 32; ++i) {
        const double a = i * step, a1 = a + step;
        for (const double z : {-3.6, -5.5}) {
            Rim(kRadius, a, -4.0);
            Rim(kRadius, a1, -4.0);
            Rim(kRadius, a1, z);
            Rim(kRadius, a, z);
        }
    }
    glEnd();
}

} // namespace

ViewState NextViewState(const ViewState& s, double turnInertia, double speed, double acceleration) {
    return {kKeep * s.smoothedTurn + kTake * (turnInertia * 20.0 / 97.0),
            kKeep * s.smoothedAccel + kTake * (acceleration * -1.0 / 450.0),
            kKeep * s.smoothedSpeed + kTake * (speed * 0.001)};
}

double NeedleRotation(const ViewState& s) {
    const double g = std::clamp(180.0 * s.smoothedSpeed, 0.0, 320.0);
    return -g - 220.0;
}

Camera CameraOf(const ViewState& s) {
    const double t = s.smoothedTurn;
    return {37.0 - s.smoothedAccel, t / 150.0, std::abs(t) / 1000.0 - 0.7, t / 15.0, -t / 70.0, 6.0};
}

struct MouseStatusView::Gl {
    QOpenGLContext context;
    QOffscreenSurface surface;
    std::unique_ptr<QOpenGLFramebufferObject> target;
    GLuint lists = 0; ///< the torus, tube and wedges; the ring after them
    ColourSlots listColours{};
};

MouseStatusView::MouseStatusView(const RawMeasures& measures, const ProgramSettings& settings,
                                 QWidget* parent)
    : QWidget(parent), measures_(measures), settings_(settings) {
    setObjectName(QStringLiteral("mouseStatusView"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    timer_.setInterval(kFrameMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &MouseStatusView::Tick);
}

MouseStatusView::~MouseStatusView() {
    if (gl_ && gl_->context.makeCurrent(&gl_->surface)) {
        if (gl_->lists != 0) glDeleteLists(gl_->lists, 2);
        gl_->target.reset();
        gl_->context.doneCurrent();
    }
}

bool MouseStatusView::FrameAllowed() const {
    const QWidget* top = window();
    return isVisible() && !(top->windowState() & Qt::WindowMinimized);
}

void MouseStatusView::Tick() {
    if (!FrameAllowed()) return;
    state_ = NextViewState(state_, measures_[kTurnInertiaMeasure], measures_[kSpeedMeasure],
                           measures_[kAccelerationMeasure]);
    // Unpaced, the picture is drawn on every third tick (24 a second, as often as the indicators in
    // front of it move), which keeps what a software renderer spends on it to a third.
    if (!paced_ && ++ticks_ % 3 == 0) DrawIfMoved();
}

void MouseStatusView::DrawIfMoved() {
    if (!working_ || !tried_ || !FrameAllowed()) return;
    // A picture that would move no point of the scene by more than about a quarter of a pixel is not
    // drawn again: the values creep towards rest for minutes after the mouse stops, and a software
    // renderer pays for every frame. The bounds are for a picture 213 pixels high (the status area at
    // the usual font): turning by 0.1 swings the torus by 0.2 degrees, about 0.25 pixels; the field of
    // view by 0.1 degrees; the needle 0.005 x 180 degrees near its axis; the arrow 5 x 0.18 degrees.
    const Shown now{state_, measures_[kDirectionMeasure], settings_.ColourSettings, size()};
    const double scale = 213.0 / std::max(1.0, height() * devicePixelRatioF());
    const auto near = [scale](double a, double b, double within) {
        return std::abs(a - b) <= within * scale;
    };
    if (!picture_.isNull() && now.colours == shown_.colours && now.size == shown_.size &&
        near(now.direction, shown_.direction, 5.0) &&
        near(now.state.smoothedTurn, shown_.state.smoothedTurn, 0.1) &&
        near(now.state.smoothedAccel, shown_.state.smoothedAccel, 0.1) &&
        near(now.state.smoothedSpeed, shown_.state.smoothedSpeed, 0.005))
        return;
    shown_ = now;
    Render();
    update();
}

QImage MouseStatusView::Grab() {
    if (!tried_) Initialise();
    Render();
    return picture_;
}

void MouseStatusView::Fail(int textNumber) {
    working_ = false;
    timer_.stop();
    gl_.reset(); // releases the context
    picture_ = QImage();
    for (const int n : {textNumber, kTextFailed}) {
        if (reportError)
            reportError(n);
        else
            std::fprintf(stderr, "murmelwerk: 3-D view: OpenGL failure (text %d)\n", n);
    }
}

void MouseStatusView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Set up when first shown, after the event: a failure message may then open at once.
    if (!tried_)
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!tried_ && Initialise()) timer_.start();
            },
            Qt::QueuedConnection);
}

bool MouseStatusView::Initialise() {
    tried_ = true;
    // The fixed-function pipeline: a compatibility context; depth-tested (32 depth bits are asked
    // for, the closest the system offers is taken), no alpha.
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(0);
    gl_ = std::make_unique<Gl>();
    gl_->context.setFormat(format);
    gl_->surface.setFormat(format);
    gl_->surface.create();
    if (!gl_->context.create() || !gl_->surface.isValid()) {
        Fail(kTextNoContext);
        return false;
    }
    if (!gl_->context.makeCurrent(&gl_->surface)) {
        Fail(kTextNotCurrent);
        return false;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    const uint32_t b = settings_.ColourSettings[kColourDialogBackground];
    glShadeModel(GL_SMOOTH);
    glClearColor(float(RedOf(b) / 255.0), float(GreenOf(b) / 255.0), float(BlueOf(b) / 255.0), 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    const bool fine = glGetError() == GL_NO_ERROR;
    gl_->context.doneCurrent();
    if (!fine) {
        Fail(kTextSetUpFailed);
        return false;
    }
    return true;
}

void MouseStatusView::Render() {
    if (!working_ || !gl_) return;
    const double ratio = devicePixelRatioF();
    // The picture in device pixels; a height of 0 counts as 1.
    const QSize size(std::max(1, int(std::lround(width() * ratio))),
                     std::max(1, int(std::lround(height() * ratio))));
    if (!gl_->context.makeCurrent(&gl_->surface)) {
        Fail(kTextNotCurrent);
        return;
    }
    if (!gl_->target || gl_->target->size() != size) {
        gl_->target.reset();
        QOpenGLFramebufferObjectFormat targetFormat;
        targetFormat.setAttachment(QOpenGLFramebufferObject::Depth);
        targetFormat.setInternalTextureFormat(GL_RGB8);
        gl_->target = std::make_unique<QOpenGLFramebufferObject>(size, targetFormat);
        if (!gl_->target->isValid()) {
            gl_->context.doneCurrent();
            Fail(kTextSetUpFailed);
            return;
        }
    }
    gl_->target->bind();
    DrawScene(size.width(), size.height());
    // The scene is drawn upside down (see DrawScene), so OpenGL's bottom-up rows read straight into
    // a top-down image, in the layout of 32-bit RGB.
    if (picture_.size() != size || picture_.format() != QImage::Format_RGB32)
        picture_ = QImage(size, QImage::Format_RGB32);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, size.width(), size.height(), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, picture_.bits());
    picture_.setDevicePixelRatio(ratio);
    gl_->target->release();
    gl_->context.doneCurrent();
}

void MouseStatusView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (picture_.isNull()) {
        const uint32_t b = settings_.ColourSettings[kColourDialogBackground];
        painter.fillRect(rect(), QColor(RedOf(b), GreenOf(b), BlueOf(b)));
        return;
    }
    painter.drawImage(rect(), picture_);
}

void MouseStatusView::DrawScene(int width, int height) {
    const ColourSlots& slots = settings_.ColourSettings;
    const Colours c{slots[kColourDialogBackground], slots[kColourModuleBackground], slots[kColourModuleText],
                    slots[kColourDisabledButtonText]};
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glViewport(0, 0, width, height);
    glMatrixMode(GLenum(mode));

    glClearColor(float(RedOf(c.background) / 255.0), float(GreenOf(c.background) / 255.0),
                 float(BlueOf(c.background) / 255.0), 0.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);

    const Camera cam = CameraOf(state_);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScaled(1.0, -1.0, 1.0); // upside down in the framebuffer: top row first in memory
    gluPerspective(cam.fieldOfView, double(width) / double(height), 0.1, 100.0);
    glTranslated(cam.shiftX, cam.shiftY, 0.0);
    glRotated(cam.turnY, 0.0, 1.0, 0.0);
    glRotated(cam.turnZ, 0.0, 0.0, 1.0);
    glRotated(cam.tiltX, 1.0, 0.0, 0.0);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(0.0, 0.0, -6.0);
    glRotated(180.0 - 0.18 * measures_[kDirectionMeasure], 0.0, 0.0, 1.0);
    glBegin(GL_POLYGON);
    Colour(c.moduleBackground);
    glVertex3d(0.0, 0.3, -0.99);
    Colour(c.disabledText);
    glVertex3d(-0.15, -0.3, -0.99);
    Colour(c.background);
    glVertex3d(0.0, 0.0, -0.99);
    Colour(c.disabledText);
    glVertex3d(0.15, -0.3, -0.99);
    glEnd();

    glLoadIdentity();
    glTranslated(0.0, 0.0, -6.0);
    glRotated(2.0 * state_.smoothedTurn, 0.0, 0.0, 1.0);
    // The fixed shapes are kept in display lists, made again when the colours change.
    if (gl_->lists == 0 || gl_->listColours != slots) {
        if (gl_->lists == 0) gl_->lists = glGenLists(2);
        gl_->listColours = slots;
        glNewList(gl_->lists, GL_COMPILE);
        DrawTorus(c);
        DrawTube(c);
        DrawWedges(c);
        glEndList();
        glNewList(gl_->lists + 1, GL_COMPILE);
        DrawRing(c);
        glEndList();
    }
    glCallList(gl_->lists);

    glLoadIdentity();
    glTranslated(0.0, 0.0, -6.0);
    glCallList(gl_->lists + 1);
    glRotated(NeedleRotation(state_), 0.0, 0.0, 1.0);
    glBegin(GL_POLYGON);
    Colour(c.moduleText);
    glVertex3d(0.0, 0.45, -3.9);
    Colour(c.background);
    glVertex3d(-0.1125, -0.45, -3.9);
    glVertex3d(0.0, 0.0, -3.9);
    glVertex3d(0.1125, -0.45, -3.9);
    glEnd();
}

} // namespace mw::display
